#include "system/file/win/FileInputStream.h"

#include "system/file/IPath.h"

namespace s::file::win {

FileInputStream::FileInputStream() = default;

FileInputStream::~FileInputStream() {
    close();
}

bool FileInputStream::open(IPath* path) {
    reset();
    if (path == nullptr || !path->isValid()) {
        return false;
    }
    HANDLE h = CreateFileW(path->getApiText(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = h;
    return true;
}

bool FileInputStream::read(void* buffer, uint32_t max, uint32_t& got) {
    got = 0;
    if (handle_ == nullptr) {
        readFailed_ = true;
        return false;
    }
    if (max == 0) {
        // Nothing read is false, as for every read that brings no bytes.
        readFailed_ = false;
        return false;
    }
    DWORD n = 0;
    if (!ReadFile(handle_, buffer, max, &n, nullptr)) {
        readFailed_ = true;
        return false;
    }
    readFailed_ = false;
    if (n == 0) {
        return false;  // end of the file
    }
    got = n;
    position_ += n;
    return true;
}

void FileInputStream::close() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
        handle_ = nullptr;
    }
}

} // namespace s::file::win
