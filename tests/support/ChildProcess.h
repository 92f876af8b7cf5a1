// Running other programs from the tests (ffmpeg.exe, ffprobe.exe, helpers) and the
// folders they work in.
#pragma once
#include <windows.h>

#include <string>

#include "support/LostInput.h"
#include "support/WaitFor.h"

namespace testsupport {

// CreateProcessW; a start the machine refuses (a loaded Wine can fail one before the
// program runs a line) is made again until it is taken, for up to ten seconds, and
// counted as lost input. error gets the last refusal's code.
inline bool startProcess(std::wstring commandLine, BOOL inherit, DWORD flags, void* environment,
                         const wchar_t* folder, STARTUPINFOW* si, PROCESS_INFORMATION* pi, DWORD* error = nullptr) {
    DWORD code = 0;
    auto start = [&] {
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, inherit, flags, environment, folder, si, pi)) {
            return true;
        }
        code = GetLastError();
        if (error != nullptr) *error = code;
        return false;
    };
    if (start()) return true;
    LostInput::repeated(("process start, error " + std::to_string(code)).c_str());
    return waitFor(start, 10000);
}

// Runs a command line in `folder` (empty: ours) with stdout and stderr captured, "\r"
// dropped; the exit code, or -1 when it cannot start or runs past two minutes.
inline int runCaptured(std::wstring commandLine, const std::wstring& folder, std::string& output) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    PROCESS_INFORMATION pi{};
    const bool started = startProcess(commandLine, TRUE, CREATE_NO_WINDOW, nullptr,
                                      folder.empty() ? nullptr : folder.c_str(), &si, &pi);
    CloseHandle(writeEnd);
    CloseHandle(nul);
    if (!started) {
        CloseHandle(readEnd);
        return -1;
    }
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got; ++i) {
            if (buffer[i] != '\r') output.push_back(buffer[i]);
        }
    }
    CloseHandle(readEnd);
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return static_cast<int>(code);
}

// The folder of the running test program (where the FFmpeg DLLs are copied).
inline std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, n);
    return text.substr(0, text.find_last_of(L'\\'));
}

// A new, empty folder under the temporary folder.
inline std::wstring freshTempFolder(const std::wstring& name) {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring dir = std::wstring(base) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

// Deletes a folder with everything in it, read-only files too.
inline void removeTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

} // namespace testsupport
