#pragma once
#include <cstdint>

#include "core/io/IInputStream.h"
#include "core/io/IOutputStream.h"

namespace s::io {

// For an object that is both kinds of stream (arrays, strings) a writable buffer
// picks the read and a const one the write; cast the stream to be explicit.

// Repeats read until length bytes have arrived: true at once for 0, false as soon
// as one read fails.
bool transferAll(IInputStream* stream, void* bytes, uint32_t length);
// Repeats write until length bytes have gone out: true at once for 0, false as
// soon as one write fails.
bool transferAll(IOutputStream* stream, const void* bytes, uint32_t length);

// Repeats skip until n bytes are passed: true at once for 0 or less, false as soon as
// a skip passes nothing (the end of the data).
bool skipAll(IInputStream* stream, int64_t n);
// Copies the input to its end into the output in 1024-byte chunks through one shared
// buffer (its lock held for the read and the write of each chunk). False when a
// write fails or a read fails for a reason other than the end of the input.
bool copyStream(IInputStream* input, IOutputStream* output);
// The same through a second shared buffer whose lock is held for the whole copy.
bool copyStreamLocked(IInputStream* input, IOutputStream* output);

} // namespace s::io
