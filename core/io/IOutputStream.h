#pragma once
#include <cstdint>

namespace s::io {

// A byte output stream. Positions are in bytes. release() and reset() are the pool
// operations of the class behind the stream.
class IOutputStream {
public:
    virtual ~IOutputStream() = default;
    virtual void release() = 0;
    virtual void reset() = 0;

    // Writes count bytes; true and done = count on success.
    virtual bool write(const void* bytes, uint32_t count, uint32_t& done) = 0;
    virtual bool flush() = 0;
    virtual void truncate() = 0;
    virtual void close() = 0;
    virtual int64_t position() const = 0;
    virtual bool isSeekable() const = 0;
    virtual void rewind() = 0;
    virtual void seekEnd() = 0;
    virtual void seek(int64_t position) = 0;
    virtual void seekFromEnd(int64_t distance) = 0;
    virtual int64_t skip(int64_t n) = 0;
    virtual int64_t skipBack(int64_t n) = 0;
    virtual void dispose() { close(); }
    virtual void disposeRelease() { close(); }
};

} // namespace s::io
