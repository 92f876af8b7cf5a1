// Whole-file reads and writes that do not go through the code under test.
#pragma once
#include <windows.h>

#include <string>

namespace testsupport {

// Replaces the file with bytes; false unless every byte was written.
inline bool writeRaw(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok =
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
    CloseHandle(h);
    return ok;
}

// The file's bytes, empty when it cannot be opened; a file another program is still
// writing can be read too.
inline std::string readRaw(const std::wstring& path) {
    std::string bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got != 0) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

} // namespace testsupport
