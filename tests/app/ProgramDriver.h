// Starting Brisquelton.exe as a user would and looking at what it shows and stores.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/BoxWatchdog.h"
#include "support/ChildProcess.h"
#include "support/FrameInput.h"
#include "system/reg/MappedData.h"

namespace apptest {

// The product's registry key and its settings.
constexpr wchar_t PRODUCT_KEY[] = L"Software\\Kexo\\Kexo Brisquelton";
constexpr wchar_t SAVE_KEY[] = L"Software\\Kexo\\Kexo Brisquelton\\SaveData";

inline void deleteProductKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, PRODUCT_KEY);
    RegDeleteKeyW(HKEY_CURRENT_USER, PRODUCT_KEY);
}

inline std::wstring savePath(const std::wstring& group) {
    return group.empty() ? std::wstring(SAVE_KEY) : std::wstring(SAVE_KEY) + L"\\" + group;
}

// The UI scale the program takes on this display (1, 2 or 4), and the geometry group it
// keeps at that scale.
inline int32_t displayScale() {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    return w >= 4097 && h >= 3240 ? 4 : w >= 1921 && h >= 1620 ? 2 : 1;
}
inline std::wstring viewGroup() {
    const int32_t scale = displayScale();
    return scale == 4 ? L"MainWindow\\View8K" : scale == 2 ? L"MainWindow\\View4K" : L"MainWindow\\View";
}

// One registry key below HKEY_CURRENT_USER, read and written through the settings store.
class Key {
public:
    explicit Key(const std::wstring& path) : store_(s::reg::MappedData::create(path.c_str())) {}
    ~Key() { store_->release(); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    s::reg::MappedData* operator->() const { return store_; }

private:
    s::reg::MappedData* store_;
};

// A value of the key; false when it is missing.
inline bool readString(const std::wstring& key, const wchar_t* name, std::wstring* out) {
    Key k(key);
    return k->hasValue(L"", name) && (*out = k->getString(L"", name, L"", nullptr, false), true);
}
inline bool readInt(const std::wstring& key, const wchar_t* name, int32_t* out) {
    Key k(key);
    return k->hasValue(L"", name) && (*out = k->getS32(L"", name, 0), true);
}
inline bool readBinary64(const std::wstring& key, const wchar_t* name, int64_t* out) {
    Key k(key);
    return k->hasValue(L"", name) && (*out = k->getS64(L"", name, 0), true);
}
inline bool writeInt(const std::wstring& key, const wchar_t* name, int32_t value) {
    return Key(key)->setS32(L"", name, value);
}
inline bool writeBinary64(const std::wstring& key, const wchar_t* name, int64_t value) {
    return Key(key)->setS64(L"", name, value);
}
inline bool writeString(const std::wstring& key, const wchar_t* name, const wchar_t* text) {
    return Key(key)->setString(L"", name, text);
}
inline bool hasValue(const std::wstring& key, const wchar_t* name) {
    return Key(key)->hasValue(L"", name);
}

// The hours since 1970 now, as the program counts them.
inline int64_t currentHour() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const int64_t ticks = (static_cast<int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000LL) / 10000 / 1000 / 3600;
}

// The update check has just run: a window opens without asking the network.
inline bool markUpdateChecked() {
    return writeBinary64(savePath(L"MainWindow\\Version"), L"Update", currentHour());
}

// A clean product key whose update check has just run, so a start asks nothing.
inline void freshSettings() {
    deleteProductKey();
    markUpdateChecked();
}

// Top-level windows of a process that show a caption (frames, not helper windows).
inline std::vector<HWND> visibleFrames(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
            if (owner == s->processId && IsWindowVisible(window) && (style & WS_CAPTION) == WS_CAPTION) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Closes the program's frame as a person does (its close button, else Alt+F4); true when
// the process then ends within ms.
inline bool closeAndWaitForExit(HANDLE process, HWND frame, DWORD ms) {
    if (frame != nullptr && IsWindowVisible(frame)) {
        testsupport::closeFrame(frame, ms < 10000 ? ms : 10000);
    }
    return WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
}

// One run of the program from the test program's folder.
class Program {
public:
    // extraEnvironment: "NAME=value" added to this process's environment.
    explicit Program(const std::wstring& arguments = L"", const std::wstring& extraEnvironment = L"") {
        const std::wstring exe = testsupport::programFolder() + L"\\Brisquelton.exe";
        std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        std::wstring environment;
        if (!extraEnvironment.empty()) {
            wchar_t* block = GetEnvironmentStringsW();
            for (const wchar_t* p = block; *p != 0; p += wcslen(p) + 1) {
                environment.append(p).push_back(L'\0');
            }
            FreeEnvironmentStringsW(block);
            environment.append(extraEnvironment).push_back(L'\0');
            environment.push_back(L'\0');
        }
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        started_ = testsupport::startProcess(commandLine, FALSE, environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
                                             environment.empty() ? nullptr : environment.data(), nullptr, &si, &info_,
                                             &startError_);
        if (started_) {
            watcher_ = new testsupport::BoxWatchdog(info_.dwProcessId);
        }
    }
    ~Program() {
        if (started_) {
            if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info_.hProcess, 9);
                WaitForSingleObject(info_.hProcess, 5000);
            }
            delete watcher_;
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return started_; }
    DWORD startError() const { return startError_; }
    DWORD id() const { return info_.dwProcessId; }
    int boxes() const { return watcher_ != nullptr ? watcher_->boxes() : 0; }
    // While paused the caller answers the program's boxes itself.
    void pauseWatchdog(bool on) const {
        if (watcher_ != nullptr) watcher_->pause(on);
    }

    // The first visible frame within ms, else null.
    HWND waitForFrame(DWORD ms = 15000) const {
        for (DWORD spent = 0; spent < ms; spent += 20) {
            const std::vector<HWND> frames = visibleFrames(info_.dwProcessId);
            if (!frames.empty()) {
                return frames.front();
            }
            if (WaitForSingleObject(info_.hProcess, 20) == WAIT_OBJECT_0) {
                return nullptr;
            }
        }
        return nullptr;
    }
    bool waitForExit(DWORD ms) const { return WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }
    // True when the process ends within ms without ever showing a frame.
    bool endsWithoutAFrame(DWORD ms) const {
        for (const DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
            if (!visibleFrames(info_.dwProcessId).empty()) {
                return false;
            }
            if (waitForExit(20)) {
                return true;
            }
        }
        return false;
    }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

    // Closes frame by its close button; true when the process ends within ms.
    bool close(HWND frame, DWORD ms = 5000) const { return closeAndWaitForExit(info_.hProcess, frame, ms); }
    // A visible frame other than frame (a second window), or null.
    HWND otherFrame(HWND frame) const {
        for (HWND w : visibleFrames(info_.dwProcessId)) {
            if (w != frame) return w;
        }
        return nullptr;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    DWORD startError_ = 0;
    testsupport::BoxWatchdog* watcher_ = nullptr;
};

} // namespace apptest
