// Helpers of the settings tests: pooled objects released at the end of the scope and
// raw file access that does not go through the code under test.
#pragma once
#include "support/Released.h"
#include <windows.h>

#include <memory>
#include <string>

template <class T>
using Held = Released<T>;

inline std::wstring exeFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, n);
    return text.substr(0, text.find_last_of(L'\\'));
}

inline bool writeRaw(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                    done == bytes.size();
    CloseHandle(h);
    return ok;
}

inline std::string readRaw(const std::wstring& path) {
    std::string bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got != 0) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

inline size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}
