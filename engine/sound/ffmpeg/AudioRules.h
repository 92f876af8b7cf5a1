#pragma once
#include <cstdint>

namespace s::sound::ffmpeg {

// Turns the requested channel count, sample rate, bit rate and quality choice into
// values the chosen FFmpeg encoder accepts: each encoder has its channel limit, its
// ladder of sample rates and bit rates, and its bit-rate limits per rate class.
class AudioRules {
public:
    // FFmpeg's codec ids of the sources that decide "similar quality" alone.
    static constexpr int32_t CODEC_PCM_S16LE = 65536;
    static constexpr int32_t CODEC_PCM_S8 = 65540;
    static constexpr int32_t CODEC_PCM_U8 = 65541;
    static constexpr int32_t CODEC_PCM_MULAW = 65542;
    static constexpr int32_t CODEC_PCM_LXF = 65561;
    static constexpr int32_t CODEC_FLAC = 86028;
    static constexpr int32_t CODEC_ALAC = 86032;

    // Adjusts channels, sampleRate, bitRate and quality in place for the encoder.
    // On entry they hold the record's values with "same" already replaced by the
    // source's; a quality of 100 (similar, adjusted for channel and rate changes) or
    // 101 (the source's bit rate as it is) becomes either a level (1 to 9) or a bit rate
    // with quality 0. A rate of 0 or less (unknown) is left as it is, and so is a bit
    // rate of 0 or less that no quality level replaced: FFmpeg then keeps its own.
    static void chooseAudioCodecOptions(const wchar_t* encoder, int32_t& channels, int32_t& sampleRate,
                                        int64_t& bitRate, int32_t& quality, int32_t sourceCodecId,
                                        int32_t sourceSampleRate, int32_t sourceChannels, int64_t sourceBitRate);

private:
    AudioRules() = delete;
};

} // namespace s::sound::ffmpeg
