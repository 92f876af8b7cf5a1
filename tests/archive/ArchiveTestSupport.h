#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/col/_array/ArrayU08.h"
#include "images/archive/dll/win/Archive.h"
#include "support/ChildProcess.h"
#include "support/RawFile.h"

// Files and folders of the archive tests: the test executable's own path, scratch
// folders under the temporary folder (removed with their contents), whole-file reads.
namespace archive_test {

using testsupport::removeTree;
using testsupport::writeRaw;

inline std::wstring ownPath() {
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), n);
}

inline std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

inline bool readFile(const std::wstring& path, std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) != FALSE;
    bytes.assign(ok ? static_cast<size_t>(size.QuadPart) : 0, '\0');
    DWORD got = 0;
    ok = ok && (bytes.empty() || (ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                                  got == bytes.size()));
    CloseHandle(h);
    return ok;
}

inline bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The bytes of an archive's entry index; empty when it cannot be read.
inline std::string entryBytes(s::archive::dll::win::Archive* a, uint32_t index) {
    s::col::_array::ArrayU08* bytes = s::col::_array::ArrayU08::pool();
    std::string out;
    if (a->readEntry(a->entry(index), bytes)) {
        out.assign(reinterpret_cast<const char*>(bytes->items()), bytes->count());
    }
    bytes->release();
    return out;
}

// A fresh folder under the temporary folder, removed with its contents at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* tag) {
        static int serial = 0;
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"brisquelton-" + tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++serial);
        removeTree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { removeTree(path_); }
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const wchar_t* name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Bytes placed so that they end exactly where an inaccessible page begins: a read
// past their end faults instead of passing unnoticed.
class GuardedBytes {
public:
    GuardedBytes(const void* bytes, uint32_t size) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t page = info.dwPageSize;
        const size_t dataPages = (size + page - 1) / page;
        total_ = (dataPages + 1) * page;
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, total_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &old);
        data_ = base_ + dataPages * page - size;
        memcpy(data_, bytes, size);
        size_ = size;
    }
    ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    const uint8_t* data() const { return data_; }
    uint32_t size() const { return size_; }

private:
    uint8_t* base_;
    uint8_t* data_;
    size_t total_;
    uint32_t size_;
};

} // namespace archive_test
