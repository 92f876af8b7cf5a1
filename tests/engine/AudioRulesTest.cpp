#include <gtest/gtest.h>

#include <cstdint>

#include "engine/sound/ffmpeg/AudioRules.h"

using s::sound::ffmpeg::AudioRules;

namespace {

// FFmpeg codec ids of the sources below.
constexpr int32_t MP3 = 86017;
constexpr int32_t AC3 = 86019;
constexpr int32_t VORBIS = 86021;
constexpr int32_t FLAC = 86028;
constexpr int32_t ALAC = 86032;
constexpr int32_t PCM_S16LE = 65536;
constexpr int32_t PCM_U8 = 65541;
constexpr int32_t PCM_F32LE = 65557;

struct Case {
    const char* what;
    const wchar_t* encoder;
    int32_t channels, rate;
    int64_t bitRate;
    int32_t quality;
    int32_t sourceCodec, sourceRate, sourceChannels;
    int64_t sourceBitRate;
    int32_t wantChannels, wantRate;
    int64_t wantBitRate;
    int32_t wantQuality;
};

void check(const Case& c) {
    int32_t channels = c.channels;
    int32_t rate = c.rate;
    int64_t bitRate = c.bitRate;
    int32_t quality = c.quality;
    AudioRules::chooseAudioCodecOptions(c.encoder, channels, rate, bitRate, quality, c.sourceCodec, c.sourceRate,
                                        c.sourceChannels, c.sourceBitRate);
    EXPECT_EQ(channels, c.wantChannels) << c.what;
    EXPECT_EQ(rate, c.wantRate) << c.what;
    EXPECT_EQ(bitRate, c.wantBitRate) << c.what;
    EXPECT_EQ(quality, c.wantQuality) << c.what;
}

} // namespace

TEST(AudioRules, EncoderChannelLimitsAndRateLadders) {
    const Case cases[] = {
        {"aac raises 7000 Hz", L"aac", 2, 7000, 0, 0, MP3, 7000, 2, 0, 2, 8000, 0, 0},
        {"aac past 48000 Hz", L"aac", 2, 50000, 0, 0, MP3, 50000, 2, 0, 2, 64000, 0, 0},
        {"aac keeps 5.1 from 3 channels", L"aac", 3, 44100, 0, 0, MP3, 44100, 3, 0, 6, 44100, 0, 0},
        {"ac3 tops at 48000 Hz", L"ac3", 8, 96000, 0, 0, MP3, 96000, 8, 0, 6, 48000, 0, 0},
        // The AC-3 encoder takes 32000, 44100 and 48000 Hz only.
        {"ac3 raises 8000 Hz", L"ac3", 1, 8000, 0, 0, MP3, 8000, 1, 0, 1, 32000, 0, 0},
        {"ac3 raises 11025 Hz", L"ac3", 2, 11025, 0, 0, MP3, 11025, 2, 0, 2, 32000, 0, 0},
        {"ac3 raises 22050 Hz", L"ac3", 2, 22050, 0, 0, MP3, 22050, 2, 0, 2, 32000, 0, 0},
        {"ac3 raises 37800 Hz", L"ac3", 2, 37800, 0, 0, MP3, 37800, 2, 0, 2, 44100, 0, 0},
        {"ac3 keeps 44100 Hz", L"ac3", 2, 44100, 0, 0, MP3, 44100, 2, 0, 2, 44100, 0, 0},
        {"yamaha 16000 Hz", L"adpcm_yamaha", 6, 16000, 0, 0, MP3, 16000, 6, 0, 2, 22050, 0, 0},
        {"yamaha past 22050 Hz", L"adpcm_yamaha", 1, 32000, 0, 0, MP3, 32000, 1, 0, 1, 44100, 0, 0},
        {"flac 11025 Hz", L"flac", 4, 11025, 0, 0, MP3, 11025, 4, 0, 6, 16000, 0, 0},
        {"flac 88200 Hz", L"flac", 2, 88200, 0, 0, MP3, 88200, 2, 0, 2, 96000, 0, 0},
        // ALAC takes FLAC's high step past the AAC list it is offered with.
        {"alac keeps 96000 Hz", L"alac", 2, 96000, 0, 0, MP3, 96000, 2, 0, 2, 96000, 0, 0},
        {"alac 88200 Hz", L"alac", 2, 88200, 0, 0, MP3, 88200, 2, 0, 2, 96000, 0, 0},
        {"alac keeps a chosen 64000 Hz", L"alac", 6, 64000, 0, 0, MP3, 64000, 6, 0, 6, 64000, 0, 0},
        {"wma 12000 Hz", L"wmav2", 6, 12000, 0, 0, MP3, 12000, 6, 0, 2, 16000, 0, 0},
        {"wma past 22050 Hz", L"wmav2", 2, 32000, 0, 0, MP3, 32000, 2, 0, 2, 44100, 0, 0},
        {"mp3 family by both names", L"mp3", 6, 11000, 0, 0, MP3, 11000, 6, 0, 2, 11025, 0, 0},
        {"mp2 has no rate below 16000", L"mp2", 2, 8000, 0, 0, MP3, 8000, 2, 0, 2, 16000, 0, 0},
        {"vorbis tops at 48000 Hz", L"vorbis", 2, 96000, 0, 0, MP3, 96000, 2, 0, 2, 48000, 0, 0},
        {"16-bit PCM keeps 5.1 and any rate", L"pcm_s16le", 6, 96000, 0, 0, MP3, 96000, 6, 0, 6, 96000, 0, 0},
        {"a-law takes 5.1 from 4 channels", L"pcm_alaw", 4, 8000, 0, 0, MP3, 8000, 4, 0, 6, 8000, 0, 0},
        // Every PCM layout stores any channel count.
        {"24-bit PCM keeps 5.1", L"pcm_s24le", 6, 96000, 0, 0, MP3, 96000, 6, 0, 6, 96000, 0, 0},
        {"8-bit PCM takes 5.1 from 8 channels", L"pcm_s8", 8, 8000, 0, 0, MP3, 8000, 8, 0, 6, 8000, 0, 0},
        {"unsigned 8-bit PCM keeps 5.1", L"pcm_u8", 6, 22050, 0, 0, MP3, 22050, 6, 0, 6, 22050, 0, 0},
        {"64-bit float PCM keeps 5.1", L"pcm_f64be", 6, 44100, 0, 0, MP3, 44100, 6, 0, 6, 44100, 0, 0},
        {"other encoders stay stereo", L"adpcm_ima_wav", 6, 44100, 0, 0, MP3, 44100, 6, 0, 2, 44100, 0, 0},
        {"mono stays mono", L"aac", 1, 44100, 0, 0, MP3, 44100, 1, 0, 1, 44100, 0, 0},
        {"an unknown rate is not raised", L"libvorbis", 2, 0, 0, 0, MP3, 0, 2, 0, 2, 0, 0, 0},
        {"no encoder at all", nullptr, 6, 44100, 0, 0, MP3, 44100, 6, 0, 2, 44100, 0, 0},
    };
    for (const Case& c : cases) {
        check(c);
    }
}

TEST(AudioRules, SimilarQualityBySourceKind) {
    const Case cases[] = {
        {"FLAC source takes level 9", L"libmp3lame", 2, 44100, 900000, 100, FLAC, 44100, 2, 900000, 2, 44100, 320000, 9},
        {"ALAC source takes level 9", L"aac", 2, 44100, 0, 101, ALAC, 44100, 2, 0, 2, 44100, 423360, 9},
        {"16-bit PCM source", L"libvorbis", 2, 44100, 1411200, 100, PCM_S16LE, 44100, 2, 1411200, 2, 44100, 320000, 9},
        {"float PCM source", L"wmav2", 2, 44100, 2822400, 100, PCM_F32LE, 44100, 2, 2822400, 2, 44100, 320000, 9},
        {"8-bit PCM source takes level 2", L"libmp3lame", 1, 22050, 176400, 100, PCM_U8, 22050, 1, 176400, 1, 22050, 32000, 2},
        {"lossy source without a bit rate", L"libmp3lame", 2, 44100, 0, 101, VORBIS, 44100, 2, 0, 2, 44100, 192000, 6},
        {"101 keeps the source bit rate", L"libmp3lame", 2, 22050, 100000, 101, MP3, 44100, 2, 100000, 2, 22050, 128000, 0},
        {"100 follows the rate change", L"libmp3lame", 2, 22050, 128000, 100, MP3, 44100, 2, 128000, 2, 22050, 64000, 0},
        {"5.1 to stereo caps at 192000", L"libvorbis", 2, 44100, 384000, 100, AC3, 44100, 6, 384000, 2, 44100, 192000, 0},
        {"5.1 to stereo halves below 192000", L"libmp3lame", 2, 44100, 160000, 100, AC3, 44100, 6, 160000, 2, 44100, 96000, 0},
        {"stereo to 5.1 triples", L"aac", 6, 48000, 128000, 100, MP3, 48000, 2, 128000, 6, 48000, 384000, 0},
        {"unknown source rate: no scaling", L"libmp3lame", 2, 48000, 112000, 100, MP3, 0, 2, 112000, 2, 48000, 128000, 0},
        {"past the top of the ladder", L"ac3", 6, 48000, 640000, 101, AC3, 48000, 6, 640000, 6, 48000, 320000, 0},
        {"not for lossless encoders", L"flac", 2, 44100, 128000, 100, MP3, 44100, 2, 128000, 2, 44100, 128000, 100},
    };
    for (const Case& c : cases) {
        check(c);
    }
}

TEST(AudioRules, QualityLevelsAndLimits) {
    const Case cases[] = {
        {"aac level 9 above 4.8 x channels x rate", L"aac", 2, 44100, 0, 9, MP3, 44100, 2, 0, 2, 44100, 423360, 9},
        {"aac level scaled by rate, truncated", L"aac", 2, 48000, 0, 1, MP3, 48000, 2, 0, 2, 48000, 69659, 1},
        {"aac level tripled for 5.1", L"aac", 6, 44100, 0, 3, MP3, 44100, 6, 0, 6, 44100, 480000, 3},
        {"mp3 level 9 at 22050 Hz", L"libmp3lame", 2, 22050, 0, 9, MP3, 22050, 2, 0, 2, 22050, 160000, 9},
        {"mp3 level 9 at 11025 Hz", L"libmp3lame", 2, 11025, 0, 9, MP3, 11025, 2, 0, 2, 11025, 64000, 9},
        {"mp3 level 1 at 8000 Hz meets the floor", L"libmp3lame", 1, 8000, 0, 1, MP3, 8000, 1, 0, 1, 8000, 32000, 1},
        {"mp2 halves in its low group", L"mp2", 2, 16000, 0, 3, MP3, 16000, 2, 0, 2, 16000, 48000, 3},
        {"ac3 5.1 level rate above 256000", L"ac3", 6, 48000, 0, 5, MP3, 48000, 6, 0, 6, 48000, 320000, 5},
        {"ac3 5.1 level 1 from 22050 Hz", L"ac3", 6, 22050, 0, 1, MP3, 22050, 6, 0, 6, 32000, 96000, 1},
        {"ac3 stereo level 1 at 48000 Hz", L"ac3", 2, 48000, 0, 1, MP3, 48000, 2, 0, 2, 48000, 64000, 1},
        // Vorbis: what libvorbis manages for the rate and layout, the nearest when the table's is not.
        {"vorbis level 9 mono at 24000 Hz", L"libvorbis", 1, 24000, 0, 9, MP3, 24000, 1, 0, 1, 24000, 90000, 9},
        {"vorbis mono 11025 Hz from PCM", L"libvorbis", 1, 11025, 0, 100, PCM_S16LE, 11025, 1, 176400, 1, 11025,
         50000, 9},
        {"vorbis stereo 11025 Hz keeps 64000", L"libvorbis", 2, 11025, 0, 9, MP3, 11025, 2, 0, 2, 11025, 64000, 9},
        {"vorbis mono 8000 Hz level 9", L"libvorbis", 1, 8000, 0, 9, MP3, 8000, 1, 0, 1, 8000, 42000, 9},
        {"vorbis stereo 16000 Hz ceiling", L"libvorbis", 2, 16000, 192000, 0, MP3, 16000, 2, 0, 2, 16000, 172000, 0},
        {"vorbis mono 44100 Hz keeps the table", L"libvorbis", 1, 44100, 0, 9, MP3, 44100, 1, 0, 1, 44100, 160000, 9},
        {"a given bit rate keeps within limits", L"wmav2", 2, 11025, 128000, 0, MP3, 11025, 2, 0, 2, 11025, 64000, 0},
        {"wma floor", L"wmav2", 2, 16000, 10000, 0, MP3, 16000, 2, 0, 2, 16000, 24000, 0},
        {"mp2 ceiling at 22050 Hz", L"mp2", 2, 22050, 256000, 0, MP3, 22050, 2, 0, 2, 22050, 160000, 0},
        {"vorbis floor at 8000 Hz", L"libvorbis", 2, 8000, 8000, 0, MP3, 8000, 2, 0, 2, 8000, 16000, 0},
        {"ac3 floor at 44100 Hz", L"ac3", 2, 44100, 32000, 0, MP3, 44100, 2, 0, 2, 44100, 64000, 0},
        {"aac ceiling for mono 8000 Hz", L"aac", 1, 8000, 64000, 0, MP3, 8000, 1, 0, 1, 8000, 38400, 0},
        {"no bit rate stays none", L"libmp3lame", 2, 44100, 0, 0, MP3, 44100, 2, 0, 2, 44100, 0, 0},
        {"levels mean nothing to PCM", L"pcm_s16le", 2, 44100, 0, 5, MP3, 44100, 2, 0, 2, 44100, 0, 5},
    };
    for (const Case& c : cases) {
        check(c);
    }
}
