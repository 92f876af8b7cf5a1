#include "Scratch.h"

namespace {
int scratchCounter = 0;
}

Scratch::Scratch() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring base = temp;
    if (!base.empty() && base.back() == L'\\') {
        base.pop_back();
    }
    root_ = base + L"\\fileops_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++scratchCounter);
    removeTree(root_);
    CreateDirectoryW(longForm(root_).c_str(), nullptr);
}

Scratch::~Scratch() {
    removeTree(root_);
}

void Scratch::removeTree(const std::wstring& path) {
    const std::wstring api = longForm(path);
    const DWORD a = GetFileAttributesW(api.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    SetFileAttributesW(api.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(api.c_str());
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE h = FindFirstFileW((api + L"\\*").c_str(), &entry);
    if (h != INVALID_HANDLE_VALUE) {
        std::vector<std::wstring> names;
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") {
                names.push_back(name);
            }
        } while (FindNextFileW(h, &entry));
        FindClose(h);
        for (const std::wstring& name : names) {
            removeTree(path + L"\\" + name);
        }
    }
    RemoveDirectoryW(api.c_str());
}

bool Scratch::write(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD done = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                    done == bytes.size();
    CloseHandle(h);
    return ok;
}

bool Scratch::read(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    HANDLE h = CreateFileW(longForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got != 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(h);
    return true;
}

bool Scratch::exists(const std::wstring& path) {
    return attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool Scratch::makeFolder(const std::wstring& path) {
    return CreateDirectoryW(longForm(path).c_str(), nullptr) != FALSE;
}

DWORD Scratch::attributes(const std::wstring& path) {
    return GetFileAttributesW(longForm(path).c_str());
}

int64_t Scratch::size(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(longForm(path).c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
