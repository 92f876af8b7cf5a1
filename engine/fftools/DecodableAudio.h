#pragma once
#include <cstdint>

namespace s::fftools {

// Whether a file holds audio that decodes: the judge of every conversion's input and
// output, whichever road made the output. A short look, not a full decode: the file's
// first audio stream must give one frame of samples within its first PACKET_LIMIT
// packets. Needs the bound FFmpeg libraries; runs on the conversion worker, between
// runs (it shares no state with the prober or transcoder).
class DecodableAudio {
public:
    static constexpr int32_t PACKET_LIMIT = 500;

    // path is wide, handed to FFmpeg as UTF-8. False also when the file cannot be
    // opened or has no audio stream.
    static bool holds(const wchar_t* path);

private:
    DecodableAudio() = delete;
};

} // namespace s::fftools
