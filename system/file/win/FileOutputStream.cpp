#include "system/file/win/FileOutputStream.h"

#include <cstring>
#include <new>

#include "system/file/IPath.h"

namespace s::file::win {

FileOutputStream::FileOutputStream() : buffer_(nullptr), pending_(0) {}

FileOutputStream::~FileOutputStream() {
    close();
}

bool FileOutputStream::open(IPath* path, bool append) {
    reset();
    if (path == nullptr || !path->isValid()) {
        return false;
    }
    HANDLE h = CreateFileW(path->getApiText(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = h;
    buffer_ = new (std::nothrow) uint8_t[BUFFER_SIZE];
    if (buffer_ == nullptr) {
        close();
        return false;
    }
    if (append) {
        seekEnd();
    }
    return true;
}

bool FileOutputStream::writeOut() {
    if (handle_ == nullptr) {
        return false;
    }
    while (pending_ != 0) {
        DWORD written = 0;
        const BOOL ok = WriteFile(handle_, buffer_, pending_, &written, nullptr);
        if (written != 0 && written < pending_) {
            // Keep only what the file has not taken, so a retry does not write twice.
            std::memmove(buffer_, buffer_ + written, pending_ - written);
        }
        pending_ -= written < pending_ ? written : pending_;
        if (!ok || written == 0) {
            return pending_ == 0;
        }
    }
    return true;
}

bool FileOutputStream::write(const void* bytes, uint32_t count, uint32_t& done) {
    done = 0;
    if (handle_ == nullptr) {
        return false;
    }
    const uint8_t* from = static_cast<const uint8_t*>(bytes);
    uint32_t left = count;
    while (left != 0) {
        if (pending_ == BUFFER_SIZE && !writeOut()) {
            return false;
        }
        const uint32_t room = BUFFER_SIZE - pending_;
        const uint32_t take = left < room ? left : room;
        std::memcpy(buffer_ + pending_, from, take);
        pending_ += take;
        from += take;
        left -= take;
        done += take;
        position_ += take;
        if (left != 0 && !writeOut()) {
            return false;
        }
    }
    return true;
}

bool FileOutputStream::flush() {
    if (!writeOut()) {
        return false;
    }
    return FlushFileBuffers(handle_) != FALSE;
}

void FileOutputStream::truncate() {
    if (flush()) {
        SetEndOfFile(handle_);
    }
}

void FileOutputStream::close() {
    if (handle_ != nullptr) {
        flush();
        CloseHandle(handle_);
        handle_ = nullptr;
    }
    delete[] buffer_;
    buffer_ = nullptr;
    pending_ = 0;
}

bool FileOutputStream::read(void* buffer, uint32_t max, uint32_t& got) {
    got = 0;
    readFailed_ = true;
    if (handle_ == nullptr || !writeOut()) {
        return false;
    }
    readFailed_ = false;
    if (max == 0) {
        return false;  // nothing read, as for every read that brings no bytes
    }
    DWORD n = 0;
    if (!ReadFile(handle_, buffer, max, &n, nullptr)) {
        readFailed_ = true;
        return false;
    }
    if (n == 0) {
        return false;
    }
    got = n;
    position_ += n;
    return true;
}

} // namespace s::file::win
