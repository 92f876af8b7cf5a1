#include "system/file/win/FileInputStream.h"

#include "system/file/IPath.h"

namespace s::file::win {

FileInputStream::FileInputStream() : handle_(nullptr), position_(0), readFailed_(false) {}

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

bool FileInputStream::moveTo(int64_t distance, DWORD method) {
    if (handle_ == nullptr) {
        return false;
    }
    LARGE_INTEGER move;
    LARGE_INTEGER now;
    move.QuadPart = distance;
    if (!SetFilePointerEx(handle_, move, &now, method)) {
        return false;
    }
    position_ = now.QuadPart;
    return true;
}

void FileInputStream::rewind() {
    moveTo(0, FILE_BEGIN);
}

void FileInputStream::seekEnd() {
    moveTo(0, FILE_END);
}

void FileInputStream::seek(int64_t position) {
    if (position != position_) {
        moveTo(position, FILE_BEGIN);
    }
}

void FileInputStream::seekFromEnd(int64_t distance) {
    moveTo(-distance, FILE_END);
}

int64_t FileInputStream::skip(int64_t n) {
    if (n != 0) {
        moveTo(n, FILE_CURRENT);
    }
    return n;
}

int64_t FileInputStream::skipBack(int64_t n) {
    if (n != 0) {
        moveTo(-n, FILE_CURRENT);
    }
    return n;
}

void FileInputStream::reset() {
    close();
    position_ = 0;
    readFailed_ = false;
}

} // namespace s::file::win
