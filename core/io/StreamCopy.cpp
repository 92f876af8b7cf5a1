#include "core/io/StreamCopy.h"

#include "core/thread/ObjLocker.h"

namespace s::io {

namespace {

constexpr uint32_t CHUNK = 1024;

// Shared chunk buffers with their locks; never destroyed, so copies made while the
// process ends still find them.
struct SharedBuffer {
    thread::ObjLocker lock;
    uint8_t bytes[CHUNK];
};

SharedBuffer& chunkBuffer() {
    static SharedBuffer* const buffer = new SharedBuffer();
    return *buffer;
}

SharedBuffer& lockedCopyBuffer() {
    static SharedBuffer* const buffer = new SharedBuffer();
    return *buffer;
}

enum class Chunk { Copied, End, Failed };

Chunk copyChunk(IInputStream* input, IOutputStream* output, uint8_t* buffer) {
    uint32_t got = 0;
    if (!input->read(buffer, CHUNK, got)) {
        return input->readFailed() ? Chunk::Failed : Chunk::End;
    }
    if (got == 0) {
        return Chunk::End;  // a stream that reports success without data has nothing more
    }
    return transferAll(output, buffer, got) ? Chunk::Copied : Chunk::Failed;
}

} // namespace

bool transferAll(IInputStream* stream, void* bytes, uint32_t length) {
    uint8_t* at = static_cast<uint8_t*>(bytes);
    while (length != 0) {
        uint32_t got = 0;
        if (!stream->read(at, length, got) || got == 0 || got > length) {
            return false;
        }
        at += got;
        length -= got;
    }
    return true;
}

bool skipAll(IInputStream* stream, int64_t n) {
    while (n > 0) {
        const int64_t step = stream->skip(n);
        if (step <= 0) {
            return false;
        }
        n -= step;
    }
    return true;
}

bool transferAll(IOutputStream* stream, const void* bytes, uint32_t length) {
    const uint8_t* at = static_cast<const uint8_t*>(bytes);
    while (length != 0) {
        uint32_t done = 0;
        if (!stream->write(at, length, done) || done == 0 || done > length) {
            return false;
        }
        at += done;
        length -= done;
    }
    return true;
}

bool copyStream(IInputStream* input, IOutputStream* output) {
    if (input == nullptr || output == nullptr) {
        return false;
    }
    SharedBuffer& shared = chunkBuffer();
    for (;;) {
        // The lock covers the read and the write of one chunk, so no other copy can
        // overwrite the buffer in between; other copies run between chunks.
        shared.lock.lock();
        const Chunk result = copyChunk(input, output, shared.bytes);
        shared.lock.unlock();
        if (result != Chunk::Copied) {
            return result == Chunk::End;
        }
    }
}

bool copyStreamLocked(IInputStream* input, IOutputStream* output) {
    if (input == nullptr || output == nullptr) {
        return false;
    }
    SharedBuffer& shared = lockedCopyBuffer();
    thread::ObjLocker::Guard guard(shared.lock);
    for (;;) {
        const Chunk result = copyChunk(input, output, shared.bytes);
        if (result != Chunk::Copied) {
            return result == Chunk::End;
        }
    }
}

} // namespace s::io
