#pragma once
#include <windows.h>

#include <string>

// Temporary files the fetches leave behind ("NEW*.tmp" in the temporary folder).
inline int tempFileCount() {
    wchar_t folder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH, folder);
    std::wstring pattern = std::wstring(folder) + L"NEW*.tmp";
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int count = 0;
    do {
        ++count;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}
