#pragma once
#include <cstddef>
#include <cstdint>

struct AVFrame;

namespace s::fftools {

// Keeps decoded floating-point samples within what every encoder of the output list
// takes before any of them sees them: a damaged file may decode to NaN, infinities or
// values like 3e37, on which encoder libraries fail their own assertions and end the
// whole process, or refuse the file. Non-finite samples become silence; finite ones
// are held to +-limit.
class SampleGuard {
public:
    // 24 dB above full scale: far past any real over, which passes untouched, and below
    // the isolated peaks WMA refuses at its lowest bit rates (about 19), the first of
    // the encoders to give up.
    static constexpr double LIMIT = 16.0;

    // The limit for samples a volume change (FFmpeg's -vol, 256 unchanged) makes louder
    // afterwards: what it makes of them still ends within LIMIT.
    static double limitBeforeVolume(int volume);

    // Each answers how many samples it changed.
    static size_t boundFloats(float* samples, size_t count, double limit = LIMIT);
    static size_t boundDoubles(double* samples, size_t count, double limit = LIMIT);
    // A decoded audio frame in place (packed or planar float and double; integer
    // formats are bounded by nature). Negative: the frame could not be made writable.
    static int64_t boundFrame(AVFrame* frame, double limit = LIMIT);

private:
    SampleGuard() = delete;
};

} // namespace s::fftools
