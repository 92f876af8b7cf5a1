#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "TranscoderFixture.h"
#include "engine/fftools/TranscoderState.h"
#include "support/RawFile.h"

namespace ft = s::fftools;

namespace {

// The sample bytes of a WAV file's "data" chunk.
std::string wavData(const std::wstring& file) {
    const std::string bytes = testsupport::readRaw(file);
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint32_t size = static_cast<uint8_t>(bytes[at + 4]) | static_cast<uint8_t>(bytes[at + 5]) << 8 |
                              static_cast<uint8_t>(bytes[at + 6]) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 7])) << 24;
        if (bytes.compare(at, 4, "data") == 0) {
            return bytes.substr(at + 8, size);
        }
        at += 8 + size + (size & 1);
    }
    return std::string();
}

int peak16(const std::string& data) {
    int peak = 0;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const int16_t v = static_cast<int16_t>(static_cast<uint8_t>(data[i]) | static_cast<uint8_t>(data[i + 1]) << 8);
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    return peak;
}

double number(const std::map<std::string, std::string>& values, const std::string& key) {
    const auto it = values.find(key);
    return it != values.end() ? std::atof(it->second.c_str()) : -1;
}

std::string text(const std::map<std::string, std::string>& values, const std::string& key) {
    const auto it = values.find(key);
    return it != values.end() ? it->second : std::string("(none)");
}

} // namespace

class InProcessRun : public TranscoderTest {};

// Conversions as the program's command lines ask for them, judged by ffprobe.exe.
TEST_F(InProcessRun, ConvertsToWhatTheCommandAsks) {
    struct Case {
        const wchar_t* input;
        std::vector<std::string> options;
        const wchar_t* output;
        const char* codec;
        int rate;
        int channels;
        double duration;
        bool cover;
    };
    const std::vector<Case> cases = {
        {L"tone.wav", {"-vn", "-acodec", "libmp3lame", "-ab", "128000"}, L"o1.mp3", "mp3", 44100, 2, 2.0, false},
        {L"tone.wav", {"-vn", "-acodec", "libvorbis", "-ar", "22050"}, L"o2.ogg", "vorbis", 22050, 2, 2.0, false},
        {L"tone.wav", {"-vn", "-f", "flac", "-acodec", "flac", "-ac", "1"}, L"o3.flac", "flac", 44100, 1, 2.0, false},
        {L"tone.wav", {"-vn", "-acodec", "aac", "-strict", "experimental", "-ab", "96000"}, L"o4.m4a", "aac", 44100, 2,
         2.0, false},
        {L"tone.wav", {"-vn", "-f", "wav", "-bitexact", "-acodec", "pcm_u8", "-ar", "8000", "-ac", "1"}, L"o5.wav",
         "pcm_u8", 8000, 1, 2.0, false},
        {L"tone.wav", {"-vn", "-acodec", "libopencore_amrnb", "-ar", "8000", "-ac", "1", "-ab", "12200"}, L"o6.amr",
         "amr_nb", 8000, 1, 2.0, false},
        {L"six.flac", {"-vn", "-acodec", "ac3", "-ab", "384000"}, L"o7.ac3", "ac3", 44100, 6, 2.0, false},
        {L"six.flac", {"-vn", "-f", "wav", "-bitexact", "-acodec", "pcm_s16le"}, L"o8.wav", "pcm_s16le", 44100, 6, 2.0,
         false},
        {L"song.mp3", {"-codec:v", "copy", "-map", "0:a:0", "-map", "0:v:0", "-map_metadata", "0", "-id3v2_version",
                       "3", "-codec:a", "copy"},
         L"o9.mp3", "mp3", 44100, 2, 2.0, true},
        {L"song.mp3", {"-codec:v", "copy", "-map", "0:v:0", "-map", "0:a:0", "-acodec", "aac", "-strict",
                       "experimental"},
         L"o10.mp4", "aac", 44100, 2, 2.0, true},
        {L"tone.m4a", {"-vn", "-codec:a", "copy"}, L"o11.m4a", "aac", 44100, 2, 2.0, false},
        {L"tone.wav", {"-vn", "-f", "s16be", "-acodec", "pcm_s16be"}, L"o12.raw", nullptr, 0, 0, 0, false},
        {L"tone.wav", {"-vn", "-acodec", "wmav2", "-ab", "64000"}, L"o13.wma", "wmav2", 44100, 2, 2.0, false},
        {L"tone.wav", {"-vn", "-acodec", "adpcm_yamaha", "-ar", "8000", "-ac", "1"}, L"o14.mmf", "adpcm_yamaha", 8000, 1, 2.0, false},
        {L"tone.wav", {"-vn", "-acodec", "mp2", "-ar", "48000"}, L"o15.mp2", "mp2", 48000, 2, 2.0, false},
        {L"tone.wav", {"-vn", "-f", "wav", "-bitexact", "-acodec", "libgsm_ms", "-ar", "8000", "-ac", "1"}, L"o16.wav",
         "gsm_ms", 8000, 1, 2.0, false},
        {L"tone.wav", {"-vn", "-acodec", "alac"}, L"o17.m4a", "alac", 44100, 2, 2.0, false},
        {L"tone.wav", {"-vn", "-acodec", "ac3", "-ar", "48000"}, L"o18.ra", "ac3", 48000, 2, 2.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.output, c.output + wcslen(c.output)));
        ASSERT_TRUE(made(c.input));
        std::vector<std::string> args = {"-probesize", "100M", "-analyzeduration", "100M", "-i", utf8(c.input), "-y",
                                         "-max_muxing_queue_size", "9999"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(utf8(c.output));
        clearLog();
        ASSERT_EQ(0, run(args)) << logText();
        if (c.codec == nullptr) {
            // raw samples: 2 s of 16-bit stereo
            EXPECT_EQ(2 * 44100 * 2 * 2, fileSize(path(c.output)));
            continue;
        }
        const auto values = probe(path(c.output));
        EXPECT_EQ(c.codec, text(values, "stream.0.codec_name"));
        EXPECT_EQ(c.rate, static_cast<int>(number(values, "stream.0.sample_rate")));
        EXPECT_EQ(c.channels, static_cast<int>(number(values, "stream.0.channels")));
        EXPECT_NEAR(c.duration, number(values, "format.duration"), 0.1);
        const bool cover = text(values, "stream.1.disposition.attached_pic") == "1" ||
                           text(values, "stream.0.disposition.attached_pic") == "1";
        EXPECT_EQ(c.cover, cover);
    }
}

// Sample-exact outcomes: volume, identity and repeatability.
TEST_F(InProcessRun, SamplesComeOutExactly) {
    const std::vector<std::string> wav = {"-vn", "-f", "wav", "-bitexact", "-acodec", "pcm_s16le"};
    auto convert = [&](const wchar_t* in, std::vector<std::string> extra, const wchar_t* out) {
        std::vector<std::string> args = {"-i", utf8(in), "-y"};
        args.insert(args.end(), wav.begin(), wav.end());
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(utf8(out));
        return run(args);
    };
    ASSERT_EQ(0, convert(L"quiet.wav", {}, L"same.wav"));
    EXPECT_EQ(wavData(path(L"quiet.wav")), wavData(path(L"same.wav"))) << "same layout: the same samples";

    ASSERT_EQ(0, convert(L"quiet.wav", {"-vol", "512"}, L"loud.wav"));
    const int before = peak16(wavData(path(L"quiet.wav")));
    const int after = peak16(wavData(path(L"loud.wav")));
    ASSERT_GT(before, 500);
    EXPECT_NEAR(2.0, static_cast<double>(after) / before, 0.01);

    ASSERT_EQ(0, convert(L"song.mp3", {}, L"exact1.wav"));
    ASSERT_EQ(0, convert(L"song.mp3", {}, L"exact2.wav"));
    EXPECT_EQ(testsupport::readRaw(path(L"exact1.wav")), testsupport::readRaw(path(L"exact2.wav")));

    // a test range: 0.5 s in, 1 s long
    std::vector<std::string> args = {"-ss", "00:00:00.500", "-t", "00:00:01.000", "-i", utf8(L"tone.wav"), "-y"};
    args.insert(args.end(), wav.begin(), wav.end());
    args.push_back(utf8(L"range.wav"));
    ASSERT_EQ(0, run(args));
    EXPECT_EQ(44100u * 2 * 2, wavData(path(L"range.wav")).size());
    EXPECT_TRUE(logHas(L"-t is not an input option, keeping it for the next output"));
}

namespace {

struct HookRecord {
    std::vector<std::pair<int32_t, int32_t>> calls;
    std::atomic<uint8_t>* cancelAt = nullptr;
};

int32_t recordHook(int32_t position, int32_t total, const wchar_t*, void* owner) {
    HookRecord* record = static_cast<HookRecord*>(owner);
    record->calls.emplace_back(position, total);
    if (record->cancelAt != nullptr) {
        record->cancelAt->store(1);
    }
    return 0;
}

} // namespace

// The hook the runner installs sees the progress; a cancel stops the run within a step.
TEST_F(InProcessRun, ProgressReachesTheHookAndCancelStops) {
    HookRecord record;
    ft::progressHook = &recordHook;
    ft::progressOwner = &record;
    ft::totalSeconds = 600;
    ASSERT_EQ(0, run({"-i", utf8(L"long.wav"), "-y", "-vn", "-acodec", "flac", utf8(L"long.flac")})) << logText();
    ASSERT_FALSE(record.calls.empty());
    EXPECT_EQ(std::make_pair(600, 600), record.calls.back());
    for (size_t i = 1; i < record.calls.size(); ++i) {
        EXPECT_LE(record.calls[i - 1].first, record.calls[i].first) << "positions never go back";
    }
    EXPECT_EQ(nullptr, ft::progressHook) << "the run's parameters end with it";

    // set before the run: it stops after its first step, without a report or a trailer
    std::atomic<uint8_t> cancel{1};
    HookRecord none;
    ft::progressHook = &recordHook;
    ft::progressOwner = &none;
    ft::cancelFlag = &cancel;
    ft::totalSeconds = 600;
    EXPECT_EQ(2, run({"-i", utf8(L"long.wav"), "-y", "-vn", "-f", "wav", "-acodec", "pcm_s16le", utf8(L"cut.wav")}));
    EXPECT_TRUE(none.calls.empty());
    EXPECT_LT(fileSize(path(L"cut.wav")), 600 * 16000 / 10);

    // set by the hook's first call: no further call
    std::atomic<uint8_t> later{0};
    HookRecord fromHook;
    fromHook.cancelAt = &later;
    ft::progressHook = &recordHook;
    ft::progressOwner = &fromHook;
    ft::cancelFlag = &later;
    ft::totalSeconds = 600;
    const int status = run({"-i", utf8(L"long.wav"), "-y", "-vn", "-acodec", "libmp3lame", "-ar", "44100", "-ac", "2",
                            utf8(L"cut.mp3")});
    ASSERT_FALSE(fromHook.calls.empty()) << "the encode took under one report interval";
    EXPECT_EQ(2, status);
    EXPECT_EQ(1u, fromHook.calls.size());
}
