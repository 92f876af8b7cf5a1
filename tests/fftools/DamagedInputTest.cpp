// Inputs that must neither end the process nor pass for a conversion: samples far
// outside full scale, and files whose audio does not decode.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "TranscoderFixture.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/DecodableAudio.h"
#include "engine/fftools/SampleGuard.h"
#include "support/DamagedMedia.h"
#include "support/FfmpegTools.h"
#include "support/RawFile.h"
#include "support/Wav.h"

namespace ff = s::ffmpeg;
using s::fftools::DecodableAudio;
using s::fftools::SampleGuard;

namespace {

const double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
const double ENDLESS = std::numeric_limits<double>::infinity();

const double LIMIT = SampleGuard::LIMIT;

// Samples as they come and as the guard leaves them.
const struct {
    double in, out;
} SAMPLES[] = {
    {0.0, 0.0},        {0.5, 0.5},          {-1.0, -1.0},       {5.0, 5.0},           {-5.0, -5.0},
    {LIMIT - 0.5, LIMIT - 0.5}, {LIMIT + 0.5, LIMIT}, {3.3e37, LIMIT}, {-2.9e37, -LIMIT}, {ENDLESS, LIMIT},
    {-ENDLESS, -LIMIT}, {NOT_A_NUMBER, 0.0},
};

} // namespace

TEST(SampleGuard, HoldsEverySampleWithinReachOfFullScale) {
    std::vector<float> floats;
    std::vector<double> doubles;
    size_t changed = 0;
    for (const auto& s : SAMPLES) {
        floats.push_back(static_cast<float>(s.in));
        doubles.push_back(s.in);
        changed += s.in == s.out ? 0 : 1;
    }
    EXPECT_EQ(SampleGuard::boundFloats(floats.data(), floats.size()), changed);
    EXPECT_EQ(SampleGuard::boundDoubles(doubles.data(), doubles.size()), changed);
    for (size_t i = 0; i < doubles.size(); ++i) {
        EXPECT_EQ(doubles[i], SAMPLES[i].out) << SAMPLES[i].in;
        EXPECT_EQ(floats[i], static_cast<float>(SAMPLES[i].out)) << SAMPLES[i].in;
    }
}

class DamagedInput : public TranscoderTest {};

// Every sample layout a decoder hands on: packed and planar floats and doubles are
// bounded on every channel; integers are left alone.
TEST_F(DamagedInput, FramesOfEveryFloatLayoutAreBounded) {
    const struct {
        AVSampleFormat format;
        bool bounded;
    } layouts[] = {{AV_SAMPLE_FMT_FLT, true}, {AV_SAMPLE_FMT_FLTP, true}, {AV_SAMPLE_FMT_DBL, true},
                   {AV_SAMPLE_FMT_DBLP, true}, {AV_SAMPLE_FMT_S32, false}};
    const int channels = 3, count = 4;
    for (const auto& l : layouts) {
        SCOPED_TRACE(ff::av_get_sample_fmt_name(l.format));
        AVFrame* frame = ff::av_frame_alloc();
        frame->format = l.format;
        frame->nb_samples = count;
        ff::av_channel_layout_default(&frame->ch_layout, channels);
        ASSERT_EQ(ff::av_frame_get_buffer(frame, 0), 0);
        const bool planar = l.format == AV_SAMPLE_FMT_FLTP || l.format == AV_SAMPLE_FMT_DBLP;
        const bool isDouble = l.format == AV_SAMPLE_FMT_DBL || l.format == AV_SAMPLE_FMT_DBLP;
        // Sample i of channel c: absurd on the last channel's last sample, else 0.25.
        auto at = [&](int c, int i) -> uint8_t* {
            const int plane = planar ? c : 0, index = planar ? i : i * channels + c;
            return frame->extended_data[plane] + index * (isDouble ? 8 : 4);
        };
        for (int c = 0; c < channels; ++c) {
            for (int i = 0; i < count; ++i) {
                const double v = c == channels - 1 && i == count - 1 ? -3.3e37 : 0.25;
                if (isDouble) {
                    std::memcpy(at(c, i), &v, 8);
                } else if (l.format == AV_SAMPLE_FMT_S32) {
                    const int32_t n = INT32_MIN;
                    std::memcpy(at(c, i), &n, 4);
                } else {
                    const float f = static_cast<float>(v);
                    std::memcpy(at(c, i), &f, 4);
                }
            }
        }
        EXPECT_EQ(SampleGuard::boundFrame(frame), l.bounded ? 1 : 0);
        if (l.bounded) {
            double last = 0, first = 0;
            if (isDouble) {
                std::memcpy(&last, at(channels - 1, count - 1), 8);
                std::memcpy(&first, at(0, 0), 8);
            } else {
                float f = 0;
                std::memcpy(&f, at(channels - 1, count - 1), 4);
                last = f;
                std::memcpy(&f, at(0, 0), 4);
                first = f;
            }
            EXPECT_EQ(last, -SampleGuard::LIMIT);
            EXPECT_EQ(first, 0.25);
        }
        ff::av_frame_free(&frame);
    }
}

// A float WAV with a few damaged samples converts with every encoder of the output list
// at the settings where it takes the least (LAME used to fail its own assertion and end
// the process; WMA at its lowest bit rates refuses peaks not far above 16), louder too,
// and the output plays.
TEST_F(DamagedInput, FloatWavWithAbsurdSamplesConvertsWithEveryEncoder) {
    const struct {
        const wchar_t* name;
        bool doubles;
        uint16_t channels;
    } inputs[] = {{L"float-stereo.wav", false, 2}, {L"double-mono.wav", true, 1}};
    const struct {
        const char* encoder;
        const char* extension;
        std::vector<std::string> options;  // the lowest bit rates the audio rules give it
    } encoders[] = {
        {"wmav2", "wma", {"-ar", "44100", "-ab", "32000"}},
        {"wmav2", "wma", {"-ar", "22050", "-ab", "24000"}},
        {"wmav2", "wma", {"-ar", "8000", "-ab", "24000"}},
        {"libmp3lame", "mp3", {"-ar", "8000", "-ab", "32000"}},
        {"libmp3lame", "mp3", {"-ar", "44100", "-ab", "32000"}},
        {"libvorbis", "ogg", {"-ar", "8000", "-ab", "16000"}},
        {"aac", "m4a", {"-ar", "8000", "-ab", "8000"}},
        {"ac3", "ac3", {"-ar", "32000", "-ab", "64000"}},
        {"mp2", "mp2", {"-ar", "16000", "-ab", "32000"}},
        {"libopencore_amrnb", "amr", {"-ar", "8000", "-ac", "1", "-ab", "4750"}},
        {"libgsm_ms", "wav", {"-ar", "8000", "-ac", "1"}},
        {"adpcm_ima_wav", "wav", {}},
        {"adpcm_ms", "wav", {}},
        {"adpcm_yamaha", "mmf", {"-ar", "22050", "-strict", "experimental"}},
        {"flac", "flac", {}},
        {"alac", "m4a", {}},
        {"pcm_s16be", "aiff", {}},
        {"pcm_f32le", "wav", {}},
        {"pcm_mulaw", "au", {}},
    };
    for (const auto& in : inputs) {
        ASSERT_TRUE(testsupport::writeRaw(path(in.name), testsupport::damagedFloatWav(in.doubles, in.channels)));
        for (const auto& e : encoders) {
            for (const char* volume : {"256", "768"}) {
                SCOPED_TRACE(std::string(e.encoder) + " " + (e.options.empty() ? "" : e.options[1]) + " from " +
                             utf8(in.name) + " at volume " + volume);
                clearLog();
                const std::string extension = e.extension;
                const std::wstring output = std::wstring(in.name) + L"." + std::wstring(extension.begin(), extension.end());
                std::vector<std::string> args = {"-i", utf8(in.name), "-y", "-acodec", e.encoder, "-vol", volume};
                args.insert(args.end(), e.options.begin(), e.options.end());
                args.push_back(utf8(output));
                ASSERT_EQ(run(args), 0) << logText();
                EXPECT_TRUE(logHas(L"damaged samples")) << logText();
                EXPECT_TRUE(DecodableAudio::holds(path(output).c_str()));
            }
        }
    }
}

namespace {

// The largest magnitude among a 32-bit float WAV file's samples.
double floatPeak(const std::wstring& file) {
    std::string data;
    testsupport::findWavData(testsupport::readRaw(file), data);
    double peak = 0;
    for (size_t i = 0; i + 4 <= data.size(); i += 4) {
        float v = 0;
        std::memcpy(&v, data.data() + i, 4);
        peak = std::max(peak, static_cast<double>(std::fabs(v)));
    }
    return peak;
}

} // namespace

// Real overs are sound, not damage: they reach the encoder as the decoder gave them.
// A float WAV at +14 dB passes sample for sample; an MP3 of a loud master keeps the
// peaks above full scale that ffmpeg.exe decodes from it.
TEST_F(DamagedInput, RealOversPassUnchanged) {
    std::string loud;
    for (int i = 0; i < 44100; ++i) {
        const float v = static_cast<float>(5.0 * std::sin(2 * 3.141592653589793 * 441.0 * i / 44100));
        loud.append(reinterpret_cast<const char*>(&v), 4);
    }
    ASSERT_TRUE(testsupport::writeRaw(path(L"loud-float.wav"), testsupport::wavOf(3, 1, 44100, 32, loud)));
    ASSERT_EQ(run({"-i", utf8(L"loud-float.wav"), "-y", "-acodec", "pcm_f32le", utf8(L"loud-float-out.wav")}), 0)
        << logText();
    EXPECT_FALSE(logHas(L"damaged samples")) << logText();
    std::string passed;
    testsupport::findWavData(testsupport::readRaw(path(L"loud-float-out.wav")), passed);
    EXPECT_TRUE(passed == loud) << floatPeak(path(L"loud-float-out.wav"));

    // Noise clipped hard at full scale, as a loud master is: its MP3 decodes to overs.
    ASSERT_TRUE(testsupport::makeMedia(L"-f lavfi -i anoisesrc=c=white:a=1:r=44100:d=2:seed=7,volume=4,aformat=s16 "
                                       L"-ac 2 -c:a libmp3lame -b:a 128k loud.mp3",
                                       folder_));
    ASSERT_TRUE(testsupport::makeMedia(L"-i loud.mp3 -c:a pcm_f32le loud-external.wav", folder_));
    ASSERT_EQ(run({"-i", utf8(L"loud.mp3"), "-y", "-acodec", "pcm_f32le", utf8(L"loud-in-process.wav")}), 0)
        << logText();
    const double external = floatPeak(path(L"loud-external.wav"));
    EXPECT_GT(external, 1.41);
    EXPECT_NEAR(floatPeak(path(L"loud-in-process.wav")), external, 0.01);
}

// The judge of success: a file holds audio only when its first audio stream decodes.
TEST_F(DamagedInput, OnlyAudioThatDecodesCounts) {
    ASSERT_TRUE(made(L"tone.wav") && made(L"six.flac") && made(L"song.mp3"));
    // Outputs of the list the in-process runs do not make.
    ASSERT_TRUE(testsupport::makeMedia(L"-f lavfi -i sine=sample_rate=8000:duration=0.02 -ac 1 -c:a "
                                       L"libopencore_amrnb -b:a 12.2k one-frame.amr",
                                       folder_));
    ASSERT_TRUE(testsupport::makeMedia(L"-f lavfi -i sine=sample_rate=44100:duration=0.5 -ac 2 -c:a ac3 tone.ac3 "
                                       L"-c:a libvorbis tone.ogg -c:a wmav2 tone.wma",
                                       folder_));
    const struct {
        const wchar_t* name;
        std::string bytes;  // empty: the file is there already
        bool holds;
    } cases[] = {
        {L"tone.wav", "", true},
        {L"six.flac", "", true},
        {L"song.mp3", "", true},  // the cover comes first
        {L"one-frame.amr", "", true},
        {L"tone.ac3", "", true},
        {L"tone.ogg", "", true},
        {L"tone.wma", "", true},
        {L"damaged.wav", testsupport::damagedFloatWav(false, 2), true},
        {L"absurd-rate.wav", testsupport::absurdRateWav(), true},  // decodes; no encoder takes the rate
        {L"header-only.flac", testsupport::headerOnlyFlac(testsupport::readRaw(path(L"six.flac"))), false},
        {L"undecodable.wav", testsupport::undecodableMp3Wav(), false},
        {L"sub-sample.wav", testsupport::wavOf(1, 1, 8000, 16, std::string(1, '\0')), false},
        {L"id3-only.mp3", std::string("ID3\x03\x00\x00\x00\x00\x07\x69", 10) + std::string(1001, '\0'), false},
        {L"notes.mp3", "Milk, bread, not sound.\r\n", false},
        {L"missing.wav", "", false},
        {L"cover.jpg", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(utf8(c.name));
        if (!c.bytes.empty()) {
            ASSERT_TRUE(testsupport::writeRaw(path(c.name), c.bytes));
        }
        EXPECT_EQ(DecodableAudio::holds(path(c.name).c_str()), c.holds);
    }
}
