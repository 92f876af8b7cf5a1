#pragma once
#include <windows.h>

#include <string>

// A helper program started by a test; ended by its handle when the test leaves it
// running.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { end(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool start(const std::wstring& exe, const std::wstring& arguments) {
        std::wstring line = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            return false;
        }
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
        return true;
    }
    DWORD id() const { return id_; }
    // The exit code, or -1 when it did not end within ms (it is then ended).
    long waitExit(DWORD ms) {
        if (process_ == nullptr) {
            return -1;
        }
        if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) {
            end();
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        CloseHandle(process_);
        process_ = nullptr;
        return static_cast<long>(code);
    }
    void end() {
        if (process_ != nullptr) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
            CloseHandle(process_);
            process_ = nullptr;
        }
    }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};
