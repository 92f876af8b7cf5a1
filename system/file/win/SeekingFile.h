#pragma once
#include <windows.h>

#include <cstdint>

namespace s::file::win {

// What both file streams share: the handle, the position, the last read's failure and
// the seek family over the handle's file pointer. Stream derives from
// SeekingFile<Stream, Interface> and says through readyToMove() whether the pointer may
// move now; a move the stream or the system refuses keeps the old position.
template <class Stream, class Interface>
class SeekingFile : public Interface {
public:
    int64_t position() const override { return position_; }
    bool isSeekable() const override { return true; }
    bool readFailed() const override { return readFailed_; }
    void rewind() override { moveTo(0, FILE_BEGIN); }
    void seekEnd() override { moveTo(0, FILE_END); }
    void seek(int64_t position) override {
        if (position != position_) {
            moveTo(position, FILE_BEGIN);
        }
    }
    void seekFromEnd(int64_t distance) override { moveTo(-distance, FILE_END); }
    int64_t skip(int64_t n) override {
        if (n != 0) {
            moveTo(n, FILE_CURRENT);
        }
        return n;
    }
    int64_t skipBack(int64_t n) override {
        if (n != 0) {
            moveTo(-n, FILE_CURRENT);
        }
        return n;
    }
    void reset() override {
        static_cast<Stream*>(this)->close();
        position_ = 0;
        readFailed_ = false;
    }

protected:
    bool moveTo(int64_t distance, DWORD method) {
        if (!static_cast<Stream*>(this)->readyToMove()) {
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

    HANDLE handle_ = nullptr;
    int64_t position_ = 0;
    bool readFailed_ = false;
};

} // namespace s::file::win
