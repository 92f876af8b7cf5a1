#include <initializer_list>
#include <map>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "TranscoderFixture.h"
#include "engine/fftools/DecodableAudio.h"
#include "engine/fftools/TranscoderState.h"
#include "support/RawFile.h"
#include "support/Wav.h"

namespace ft = s::fftools;

namespace {

// The sample bytes of a WAV file's "data" chunk.
std::string wavData(const std::wstring& file) {
    std::string data;
    testsupport::findWavData(testsupport::readRaw(file), data);
    return data;
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

// Every output container and encoder of the "Convert to:" list that the transcode tests
// do not reach already, with the options the command builder gives it, judged by
// ffprobe.exe.
TEST_F(InProcessRun, ConvertsToEveryListedFormat) {
    struct Case {
        int formatId;
        const wchar_t* input;
        std::vector<std::string> options;
        const wchar_t* output;
        const char* codec;  // null: raw samples, judged by size
        int rate;
        int channels;
        bool cover;
    };
    const std::vector<std::string> amr = {"-acodec", "libopencore_amrnb", "-ar", "8000", "-ac", "1", "-ab", "12200"};
    const std::vector<std::string> aac = {"-acodec", "aac", "-strict", "experimental", "-ab", "96000"};
    auto with = [](std::vector<std::string> a, std::initializer_list<std::string> more) {
        a.insert(a.begin(), more);
        return a;
    };
    const std::vector<Case> cases = {
        {1, L"tone.wav", with(aac, {"-vn"}), L"f1.3gp", "aac", 44100, 2, false},
        {2, L"tone.wav", with(amr, {"-vn"}), L"f2.3gp", "amr_nb", 8000, 1, false},
        {3, L"tone.wav", with(aac, {"-vn"}), L"f3.3g2", "aac", 44100, 2, false},
        {4, L"tone.wav", with(amr, {"-vn"}), L"f4.3g2", "amr_nb", 8000, 1, false},
        {5, L"tone.wav", with(aac, {"-vn"}), L"f5.aac", "aac", 44100, 2, false},
        {7, L"tone.wav", {"-vn", "-acodec", "pcm_s24be"}, L"f7.aiff", "pcm_s24be", 44100, 2, false},
        {8, L"tone.wav", with(amr, {"-vn"}), L"f8.amr", "amr_nb", 8000, 1, false},
        {9, L"tone.wav", {"-vn", "-acodec", "pcm_s16be", "-ar", "22050"}, L"f9.au", "pcm_s16be", 22050, 2, false},
        {10, L"tone.wav", {"-vn", "-acodec", "pcm_alaw", "-ar", "8000", "-ac", "1"}, L"f10.au", "pcm_alaw", 8000, 1,
         false},
        {11, L"tone.wav", {"-vn", "-acodec", "pcm_mulaw"}, L"f11.au", "pcm_mulaw", 44100, 2, false},
        {14, L"tone.wav", {"-vn", "-acodec", "alac"}, L"f14.m4a", "alac", 44100, 2, false},
        {15, L"tone.wav", {"-vn", "-acodec", "adpcm_yamaha", "-ar", "8000", "-ac", "1"}, L"f15.mmf", "adpcm_yamaha",
         8000, 1, false},
        // the QuickTime muxer stores no cover (ffmpeg.exe drops it alike)
        {16, L"song.mp3", with(aac, {"-codec:v", "copy", "-map", "0:v:0", "-map", "0:a:0"}), L"f16.mov", "aac", 44100,
         2, false},
        {17, L"tone.wav", {"-vn", "-acodec", "mp2", "-ar", "48000", "-ab", "192000"}, L"f17.mp2", "mp2", 48000, 2,
         false},
        {19, L"song.mp3", with(aac, {"-codec:v", "copy", "-map", "0:v:0", "-map", "0:a:0"}), L"f19.mp4", "aac", 44100,
         2, true},
        {20, L"six.flac", {"-vn", "-acodec", "flac"}, L"f20.ogg", "flac", 44100, 6, false},
        {22, L"tone.wav", {"-vn", "-f", "u16le", "-acodec", "pcm_u16le"}, L"f22.raw", nullptr, 44100, 2, false},
        {23, L"tone.wav", {"-vn", "-f", "f64be", "-acodec", "pcm_f64be", "-ac", "1"}, L"f23.raw", nullptr, 44100, 1,
         false},
        {24, L"tone.wav", {"-vn", "-f", "alaw", "-acodec", "pcm_alaw"}, L"f24.raw", nullptr, 44100, 2, false},
        {25, L"tone.wav", {"-vn", "-f", "mulaw", "-acodec", "pcm_mulaw", "-ar", "8000"}, L"f25.raw", nullptr, 8000, 2,
         false},
        {26, L"six.flac", {"-vn", "-acodec", "ac3", "-ab", "384000"}, L"f26.ra", "ac3", 44100, 6, false},
        {27, L"tone.wav", {"-vn", "-acodec", "ac3", "-ar", "48000"}, L"f27.rm", "ac3", 48000, 2, false},
        {30, L"tone.wav", {"-vn", "-f", "wav", "-bitexact", "-acodec", "libgsm_ms", "-ar", "8000", "-ac", "1"},
         L"f30.wav", "gsm_ms", 8000, 1, false},
        {31, L"tone.wav", {"-vn", "-f", "wav", "-bitexact", "-acodec", "adpcm_ima_wav"}, L"f31.wav", "adpcm_ima_wav",
         44100, 2, false},
        {32, L"tone.wav", {"-vn", "-f", "wav", "-bitexact", "-acodec", "adpcm_ms", "-ac", "1"}, L"f32.wav", "adpcm_ms",
         44100, 1, false},
        {33, L"tone.wav", {"-vn", "-f", "wav", "-bitexact", "-acodec", "adpcm_yamaha"}, L"f33.wav", "adpcm_yamaha",
         44100, 2, false},
    };
    // bytes per sample of the raw outputs, by format id
    const std::map<int, int> rawBytes = {{22, 2}, {23, 8}, {24, 1}, {25, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("format " + std::to_string(c.formatId));
        ASSERT_TRUE(made(c.input));
        std::vector<std::string> args = {"-probesize", "100M", "-analyzeduration", "100M", "-i", utf8(c.input), "-y",
                                         "-max_muxing_queue_size", "9999"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(utf8(c.output));
        clearLog();
        ASSERT_EQ(0, run(args)) << logText();
        if (c.codec == nullptr) {
            // 2 s of samples and nothing else
            EXPECT_EQ(2 * c.rate * c.channels * rawBytes.at(c.formatId), fileSize(path(c.output)));
            continue;
        }
        // what the job loop's judge of success must see as sound
        EXPECT_TRUE(s::fftools::DecodableAudio::holds(path(c.output).c_str()));
        const auto values = probe(path(c.output));
        const std::string audio = "stream.0.";
        EXPECT_EQ(c.codec, text(values, audio + "codec_name")) << logText();
        EXPECT_EQ(c.rate, static_cast<int>(number(values, audio + "sample_rate")));
        EXPECT_EQ(c.channels, static_cast<int>(number(values, audio + "channels")));
        EXPECT_NEAR(2.0, number(values, "format.duration"), 0.1);
        // the cover picture travels as a copied JPEG stream after the audio
        const bool cover = text(values, "stream.1.codec_name") == "mjpeg" &&
                           text(values, "stream.1.disposition.attached_pic") == "1";
        EXPECT_EQ(c.cover, cover);
    }
}

// The program's test range puts "-t" before "-i": it limits the output, with FFmpeg's
// warning about it.
TEST_F(InProcessRun, LengthBeforeTheInputLimitsTheOutput) {
    ASSERT_EQ(0, run({"-ss", "00:00:00.500", "-t", "00:00:01.000", "-i", utf8(L"tone.wav"), "-y", "-vn", "-f", "wav",
                      "-bitexact", "-acodec", "pcm_s16le", utf8(L"range.wav")}))
        << logText();
    EXPECT_EQ(44100u * 2 * 2, wavData(path(L"range.wav")).size());
    EXPECT_TRUE(logHas(L"-t is not an input option, keeping it for the next output"));
}

// Whoever waits for a fresh output may open it without sharing for a moment (a scanner,
// a driver polling it): the judge waits for the file instead of failing it.
TEST_F(InProcessRun, JudgeWaitsForAnOutputHeldUnshared) {
    ASSERT_EQ(0, run({"-i", utf8(L"tone.wav"), "-y", "-vn", "-acodec", "libmp3lame", "-ar", "48000", "-ac", "2", "-ab",
                      "320000", utf8(L"held.mp3")}))
        << logText();
    HANDLE held = CreateFileW(path(L"held.mp3").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    std::thread release([held] {
        Sleep(300);
        CloseHandle(held);
    });
    const bool holds = s::fftools::DecodableAudio::holds(path(L"held.mp3").c_str());
    release.join();
    EXPECT_TRUE(holds);
}
