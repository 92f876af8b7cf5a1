#include "engine/fftools/FilterGraphs.h"
#include "fftools/TranscoderRuns.h"

using namespace fftoolstest;
namespace ff = s::ffmpeg;

// The buffer source names every layout so that FFmpeg reads back the same one; a mask
// written as a decimal number after "0x" would turn 5.1 (63) into 0x63.
TEST_F(TranscodeRun, AudioSourceNamesTheLayoutItReadsBack) {
    const struct {
        uint64_t mask;  // 0: only a count
        int channels;
    } cases[] = {
        {AV_CH_LAYOUT_MONO, 1},    {AV_CH_LAYOUT_STEREO, 2},         {AV_CH_LAYOUT_2POINT1, 3},
        {AV_CH_LAYOUT_QUAD, 4},    {AV_CH_LAYOUT_5POINT0_BACK, 5},   {AV_CH_LAYOUT_5POINT1, 6},
        {AV_CH_LAYOUT_5POINT1_BACK, 6}, {AV_CH_LAYOUT_7POINT1, 8},   {0, 3},
    };
    for (const auto& c : cases) {
        AVChannelLayout layout = {};
        if (c.mask != 0) {
            ASSERT_EQ(0, ff::av_channel_layout_from_mask(&layout, c.mask));
        } else {
            layout.order = AV_CHANNEL_ORDER_UNSPEC;
            layout.nb_channels = c.channels;
        }
        char args[512];
        s::fftools::audio_source_args(args, sizeof(args), 48000, AV_SAMPLE_FMT_FLTP, &layout);
        const std::string text = args;
        SCOPED_TRACE(text);
        EXPECT_EQ(0u, text.find("time_base=1/48000:sample_rate=48000:sample_fmt=fltp:"));
        const std::string key = c.mask != 0 ? ":channel_layout=" : ":channels=";
        const size_t at = text.find(key);
        ASSERT_NE(std::string::npos, at);
        const std::string value = text.substr(at + key.size());
        if (c.mask == 0) {
            EXPECT_EQ(std::to_string(c.channels), value);
            continue;
        }
        AVChannelLayout back = {};
        ASSERT_EQ(0, ff::av_channel_layout_from_string(&back, value.c_str()));
        EXPECT_EQ(c.channels, back.nb_channels);
        EXPECT_EQ(0, ff::av_channel_layout_compare(&layout, &back));
        ff::av_channel_layout_uninit(&back);
    }
}

// What the graph between decoder and encoder does to the samples: volume, resampling,
// channel changes, a multichannel source, and a text that is no simple graph.
TEST_F(TranscodeRun, GraphsBetweenDecoderAndEncoder) {
    const struct {
        const wchar_t* input;
        std::vector<std::string> options;
        int status;
        int rate, channels;
        double peakRatio;  // output peak over input peak; 0: not measured
        const char* logged;
        const char* notLogged;
    } cases[] = {
        {L"tone.wav", {"-vol", "512"}, 0, 44100, 2, 2.0,
         "-vol is forwarded to lavfi similarly to -af volume=2.000000.", nullptr},
        {L"tone.wav", {"-vol", "512"}, 0, 44100, 2, 2.0,
         "-vol has been deprecated. Use the volume audio filter instead.", nullptr},
        {L"tone.wav", {"-vol", "128"}, 0, 44100, 2, 0.5, "volume=0.500000", nullptr},
        {L"tone.wav", {}, 0, 44100, 2, 1.0, nullptr, "volume"},
        {L"tone.wav", {"-ar", "22050", "-ac", "1"}, 0, 22050, 1, 0, nullptr, nullptr},
        {L"tone.wav", {"-ar", "48000"}, 0, 48000, 2, 1.0, nullptr, nullptr},
        {L"tone.wav", {"-async", "1"}, 0, 44100, 2, 1.0,
         "-async is forwarded to lavfi similarly to -af aresample=async=1:min_hard_comp=0.100000:first_pts=0.",
         nullptr},
        {L"six.flac", {}, 0, 44100, 6, 0, nullptr, nullptr},
        {L"six.flac", {"-ac", "2"}, 0, 44100, 2, 0, nullptr, nullptr},
        {L"tone.wav", {"-af", "asplit"}, 1, 0, 0, 0,
         "Simple filtergraph 'asplit' does not have exactly one input and output.", nullptr},
    };
    const int inputPeak = wavPeak(media().path(L"tone.wav"));
    ASSERT_GT(inputPeak, 7000);
    for (const auto& c : cases) {
        Scratch out;
        std::vector<std::string> args{"-i", media().arg(c.input), "-y"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), {"-acodec", "pcm_s16le", "-f", "wav", out.arg(L"out.wav")});
        LogCapture::clear();
        const int status = runTranscoder(args);
        const std::string log = LogCapture::get();
        SCOPED_TRACE(std::string(narrow(c.input)) + " " + (c.options.empty() ? "" : c.options[0]));
        ASSERT_EQ(c.status, status) << log;
        if (c.logged != nullptr) {
            EXPECT_NE(std::string::npos, log.find(c.logged)) << log;
        }
        if (c.notLogged != nullptr) {
            EXPECT_EQ(std::string::npos, log.find(c.notLogged)) << log;
        }
        if (c.status != 0) {
            continue;
        }
        auto info = probe(out.path(L"out.wav"));
        ASSERT_EQ(1u, info->streamCount());
        EXPECT_EQ(c.rate, info->stream(0)->sampleRate);
        EXPECT_EQ(c.channels, info->stream(0)->channels);
        EXPECT_NEAR(3.0, info->duration / 1e6, 0.1);
        if (c.peakRatio > 0) {
            EXPECT_NEAR(c.peakRatio, static_cast<double>(wavPeak(out.path(L"out.wav"))) / inputPeak, 0.03);
        }
    }
}

// A source whose sample rate changes half-way rebuilds its graph, unless the stream
// forbids it; the output keeps the rate its encoder was opened with (the one the
// demuxer reported) and all of both halves.
TEST_F(TranscodeRun, GraphRebuiltWhenTheSourceChanges) {
    Scratch out;
    const std::string joined = testsupport::readRaw(media().path(L"rate1.mp2")) +
                               testsupport::readRaw(media().path(L"rate2.mp2"));
    ASSERT_TRUE(testsupport::writeRaw(out.path(L"joined.mp2"), joined));
    const struct {
        std::vector<std::string> before;
        int status;
    } cases[] = {
        {{}, 0},
        {{"-reinit_filter", "0"}, 1},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.before;
        args.insert(args.end(), {"-i", out.arg(L"joined.mp2"), "-y", "-acodec", "pcm_s16le", "-f", "wav",
                                 out.arg(L"o.wav")});
        LogCapture::clear();
        EXPECT_EQ(c.status, runTranscoder(args)) << LogCapture::get();
        if (c.status != 0) {
            continue;
        }
        auto source = probe(out.path(L"joined.mp2"));
        auto info = probe(out.path(L"o.wav"));
        ASSERT_EQ(1u, info->streamCount());
        ASSERT_EQ(1u, source->streamCount());
        EXPECT_EQ(source->stream(0)->sampleRate, info->stream(0)->sampleRate);
        EXPECT_NEAR(2.0, info->duration / 1e6, 0.1);
    }
}
