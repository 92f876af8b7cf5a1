#pragma once
#include <cstdint>

namespace s::fftools {

// Whether a file holds audio that decodes: the judge of a conversion's output, whichever
// road made it. A short look, not a full decode: the file's first audio stream must give
// one frame of samples. It reads until that frame or the end of the file (audio may
// start late, after many packets that decode to nothing), bounded by TIME_LIMIT_MS
// rather than by a count of packets; a file another program holds unshared is waited for
// within the same limit. Needs the bound FFmpeg libraries; runs on the
// conversion worker, between runs (it shares no state with the prober or transcoder).
class DecodableAudio {
public:
    static constexpr int64_t TIME_LIMIT_MS = 20000;

    // path is wide, handed to FFmpeg as UTF-8. False also when the file cannot be
    // opened or has no audio stream.
    static bool holds(const wchar_t* path);

private:
    DecodableAudio() = delete;
};

} // namespace s::fftools
