#pragma once
#include <cstdint>

namespace s::io {

// A byte input stream. Positions are in bytes. release() and reset() are the pool
// operations of the class behind the stream.
class IInputStream {
public:
    virtual ~IInputStream() = default;
    virtual void release() = 0;
    virtual void reset() = 0;

    // Reads up to max bytes: true with got > 0 when bytes were read; max 0 gives got 0
    // and true; at the end of the data (or on failure) got 0 and false.
    virtual bool read(void* buffer, uint32_t max, uint32_t& got) = 0;
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

    // True when the last read that returned false failed for a reason other than
    // the end of the data, so copies do not take a failure for the end.
    virtual bool readFailed() const { return false; }
};

} // namespace s::io
