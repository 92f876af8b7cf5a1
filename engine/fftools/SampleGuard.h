#pragma once
#include <cstddef>
#include <cstdint>

struct AVFrame;

namespace s::fftools {

// Keeps decoded floating-point samples within reach of full scale before any encoder
// sees them: a damaged file may decode to NaN, infinities or values like 3e37, on
// which encoder libraries fail their own assertions and end the whole process.
// Non-finite samples become silence; finite ones are held to +-LIMIT.
class SampleGuard {
public:
    // 60 dB above full scale: far past any real over, which passes untouched, and well
    // inside what every encoder computes with.
    static constexpr double LIMIT = 1000.0;

    // Each answers how many samples it changed.
    static size_t boundFloats(float* samples, size_t count);
    static size_t boundDoubles(double* samples, size_t count);
    // A decoded audio frame in place (packed or planar float and double; integer
    // formats are bounded by nature). Negative: the frame could not be made writable.
    static int64_t boundFrame(AVFrame* frame);

private:
    SampleGuard() = delete;
};

} // namespace s::fftools
