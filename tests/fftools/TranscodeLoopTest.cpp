#include "engine/fftools/TranscodeLoop.h"
#include "fftools/TranscoderRuns.h"

using namespace fftoolstest;
namespace fft = s::fftools;

namespace {

std::string codecOf(const s::video::VideoInfo* info, int32_t type) {
    const s::video::StreamInfo* stream = info->firstStreamOfType(type);
    return stream != nullptr ? narrow(stream->codecName.c_str()) : "<none>";
}

uint32_t riffSize(const std::wstring& path) {
    const std::string bytes = testsupport::readRaw(path);
    uint32_t size = 0;
    if (bytes.size() >= 8) {
        std::memcpy(&size, bytes.data() + 4, 4);
    }
    return size;
}

// Makes a file in folder with ffmpeg.exe; what it said when it failed.
std::string makeWithFfmpeg(const std::wstring& arguments, const std::wstring& folder) {
    std::string said;
    const std::wstring command = L"\"" FFMPEG_TOOLS_DIR L"\\ffmpeg.exe\" -hide_banner -loglevel error -y " + arguments;
    return testsupport::runCaptured(command, folder, said) == 0 ? std::string() : "ffmpeg.exe failed: " + said;
}

} // namespace

// Conversions of the generated media through decoder, graph, encoder and muxer, or
// stream copies, checked by probing the outputs.
TEST_F(TranscodeRun, ConvertsToEveryKindOfOutput) {
    const struct {
        const wchar_t* input;
        std::vector<std::string> options;  // between the input and the output name
        const wchar_t* output;
        const char* codec;
        int rate, channels;
        double seconds;
        const char* videoCodec;  // the cover picture's, or null for none
    } cases[] = {
        {L"tone.wav", {"-acodec", "libmp3lame", "-ab", "128k", "-f", "mp3"}, L"o.mp3", "mp3", 44100, 2, 3.0, nullptr},
        {L"tone.wav", {"-acodec", "libmp3lame", "-ar", "22050", "-ac", "1", "-f", "mp3"}, L"o.mp3", "mp3", 22050, 1,
         3.0, nullptr},
        {L"tone.wav", {"-acodec", "libvorbis", "-f", "ogg"}, L"o.ogg", "vorbis", 44100, 2, 3.0, nullptr},
        {L"tone.wav", {"-acodec", "aac", "-ab", "128k", "-f", "ipod"}, L"o.m4a", "aac", 44100, 2, 3.0, nullptr},
        {L"tone.wav", {"-acodec", "flac", "-f", "flac"}, L"o.flac", "flac", 44100, 2, 3.0, nullptr},
        {L"tone.wav", {"-acodec", "ac3", "-ar", "48000", "-f", "ac3"}, L"o.ac3", "ac3", 48000, 2, 3.0, nullptr},
        {L"tone.wav", {"-acodec", "wmav2", "-f", "asf"}, L"o.wma", "wmav2", 44100, 2, 3.0, nullptr},
        {L"tone.wav", {"-acodec", "pcm_u8", "-ar", "8000", "-f", "wav", "-bitexact"}, L"o.wav", "pcm_u8", 8000, 2,
         3.0, nullptr},
        {L"six.flac", {"-acodec", "ac3", "-f", "ac3"}, L"o.ac3", "ac3", 44100, 6, 3.0, nullptr},
        {L"six.flac", {"-acodec", "pcm_s16le", "-f", "wav"}, L"o.wav", "pcm_s16le", 44100, 6, 3.0, nullptr},
        {L"song.mp3",
         {"-map", "0:a:0", "-map", "0:v:0", "-codec:v", "copy", "-acodec", "libmp3lame", "-id3v2_version", "3", "-f",
          "mp3"},
         L"o.mp3", "mp3", 44100, 2, 3.0, "mjpeg"},
        {L"song.mp3", {"-map", "0:a:0", "-map", "0:v:0", "-codec:v", "copy", "-acodec", "aac", "-f", "ipod"}, L"o.m4a",
         "aac", 44100, 2, 3.0, "mjpeg"},
        {L"tone.m4a", {"-acodec", "copy", "-f", "ipod"}, L"o.m4a", "aac", 44100, 2, 3.0, nullptr},
        {L"tone.m4a", {"-acodec", "libmp3lame", "-f", "mp3"}, L"o.mp3", "mp3", 44100, 2, 3.0, nullptr},
        {L"song.mp3", {"-vn", "-acodec", "copy", "-f", "mp3"}, L"o.mp3", "mp3", 44100, 2, 3.0, nullptr},
    };
    for (const auto& c : cases) {
        Scratch out;
        std::vector<std::string> args{"-i", media().arg(c.input), "-y"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(out.arg(c.output));
        LogCapture::clear();
        const int status = runTranscoder(args);
        SCOPED_TRACE(narrow(c.input) + " -> " + narrow(c.output) + " " + c.options[1]);
        ASSERT_EQ(0, status) << LogCapture::get();
        auto info = probe(out.path(c.output));
        ASSERT_EQ(1, info->streamInfoFound);
        EXPECT_EQ(c.codec, codecOf(info.get(), s::video::StreamInfo::TYPE_AUDIO));
        const s::video::StreamInfo* audio = info->firstStreamOfType(s::video::StreamInfo::TYPE_AUDIO);
        ASSERT_NE(nullptr, audio);
        EXPECT_EQ(c.rate, audio->sampleRate);
        EXPECT_EQ(c.channels, audio->channels);
        EXPECT_NEAR(c.seconds, info->duration / 1e6, 0.1);
        EXPECT_EQ(c.videoCodec != nullptr ? c.videoCodec : "<none>",
                  codecOf(info.get(), s::video::StreamInfo::TYPE_VIDEO));
    }
}

// A start and a length before the input, or a length on the output, cut that range.
TEST_F(TranscodeRun, TimeRangesGiveTheirLength) {
    const struct {
        std::vector<std::string> before, after;
        double seconds;
    } cases[] = {
        {{"-ss", "0.5", "-t", "1.5"}, {}, 1.5},
        {{"-t", "2"}, {}, 2.0},
        {{}, {"-t", "1"}, 1.0},
        {{"-ss", "1"}, {}, 2.0},
    };
    for (const auto& c : cases) {
        for (const char* codec : {"pcm_s16le", "libmp3lame"}) {
            Scratch out;
            std::vector<std::string> args = c.before;
            args.insert(args.end(), {"-i", media().arg(L"tone.wav"), "-y"});
            args.insert(args.end(), c.after.begin(), c.after.end());
            const bool wav = std::string(codec) == "pcm_s16le";
            args.insert(args.end(), {"-acodec", codec, "-f", wav ? "wav" : "mp3", out.arg(wav ? L"o.wav" : L"o.mp3")});
            ASSERT_EQ(0, runTranscoder(args)) << LogCapture::get();
            auto info = probe(out.path(wav ? L"o.wav" : L"o.mp3"));
            EXPECT_NEAR(c.seconds, info->duration / 1e6, 0.1) << codec << " " << c.seconds;
        }
    }
}

// MPEG-TS pieces whose clocks disagree, joined byte for byte, convert to the length of
// their sound: a jump of the clock beyond -dts_delta_threshold is taken up (unless the
// times are kept with -copyts), and a counter that wraps within the file is followed.
TEST_F(TranscodeRun, TimestampJumpsInTheInputAreTakenUp) {
    Scratch out;
    const struct {
        const wchar_t* name;
        const wchar_t* offset;  // of the piece's clock, in seconds
        const wchar_t* length;
    } pieces[] = {{L"a.ts", L"0", L"1"}, {L"b.ts", L"100", L"1"}, {L"late.ts", L"50", L"1"},
                  {L"five.ts", L"5", L"1"}, {L"wrap.ts", L"95441.5", L"2"}};
    for (const auto& piece : pieces) {
        ASSERT_EQ("", makeWithFfmpeg(std::wstring(L"-f lavfi -i sine=frequency=440:sample_rate=44100:duration=") +
                                         piece.length + L" -ac 2 -c:a mp2 -output_ts_offset " + piece.offset +
                                         L" -f mpegts " + piece.name,
                                     out.path(L".")));
    }
    const struct {
        std::vector<const wchar_t*> joined;
        std::vector<std::string> options;  // before the input
        double seconds;
    } cases[] = {
        {{L"a.ts", L"b.ts"}, {}, 2.0},
        {{L"late.ts", L"a.ts"}, {}, 2.0},
        {{L"a.ts", L"five.ts"}, {"-dts_delta_threshold", "1"}, 2.0},
        {{L"a.ts", L"five.ts"}, {}, 6.0},
        {{L"a.ts", L"b.ts"}, {"-copyts"}, 102.4},  // the clock kept from its start, 1.4 s
        {{L"wrap.ts"}, {}, 2.0},
    };
    for (const auto& c : cases) {
        std::string bytes;
        std::string what;
        for (const wchar_t* piece : c.joined) {
            bytes += testsupport::readRaw(out.path(piece));
            what += narrow(piece) + " ";
        }
        for (const std::string& option : c.options) {
            what += option + " ";
        }
        SCOPED_TRACE(what);
        ASSERT_TRUE(testsupport::writeRaw(out.path(L"in.ts"), bytes));
        std::vector<std::string> args = c.options;
        args.insert(args.end(),
                    {"-i", out.arg(L"in.ts"), "-y", "-vn", "-acodec", "aac", "-f", "ipod", out.arg(L"o.m4a")});
        LogCapture::clear();
        ASSERT_EQ(0, runTranscoder(args)) << LogCapture::get();
        auto info = probe(out.path(L"o.m4a"));
        EXPECT_NEAR(c.seconds, info->duration / 1e6, 0.15) << LogCapture::get();
    }
}

// WAV to WAV at the same layout keeps every sample; bitexact runs repeat byte for byte.
TEST_F(TranscodeRun, WavToWavIsExactAndRepeatable) {
    Scratch out;
    std::string outputs[2];
    for (int run = 0; run < 2; ++run) {
        const std::wstring name = L"o" + std::to_wstring(run) + L".wav";
        ASSERT_EQ(0, runTranscoder({"-i", media().arg(L"tone.wav"), "-y", "-acodec", "pcm_s16le", "-f", "wav",
                                    "-bitexact", out.arg(name)}))
            << LogCapture::get();
        outputs[run] = testsupport::readRaw(out.path(name));
    }
    const std::string input = testsupport::readRaw(media().path(L"tone.wav"));
    EXPECT_EQ(wavData(input).size(), wavData(outputs[0]).size());
    EXPECT_TRUE(wavData(input) == wavData(outputs[0])) << "samples changed on the way";
    EXPECT_TRUE(outputs[0] == outputs[1]) << "two bitexact runs differ";
    EXPECT_EQ(std::string::npos, outputs[0].find("LIST")) << "bitexact output carries the encoder tag";
}

// The position and total handed to the hook for an output time, by pass and weight.
TEST(TranscoderProgress, HookValuesFollowPassAndWeight) {
    const struct {
        int32_t pass;
        float weight;
        int32_t total, secs;
        bool called;
        int32_t position, reportedTotal;
    } cases[] = {
        {0, 0.5f, 200, 0, true, 0, 200},     {0, 0.5f, 200, 137, true, 137, 200}, {0, 0.5f, 200, 200, true, 200, 200},
        {1, 0.5f, 200, 0, true, 0, 200},     {1, 0.5f, 200, 200, true, 100, 200}, {1, 0.5f, 200, 51, true, 25, 200},
        {2, 0.5f, 200, 0, true, 100, 200},   {2, 0.5f, 200, 200, true, 200, 200}, {2, 0.5f, 200, 51, true, 125, 200},
        {1, 0.25f, 200, 200, true, 50, 200}, {2, 0.25f, 200, 0, true, 50, 200},   {2, 0.25f, 200, 200, true, 200, 200},
        {0, 0.5f, 0, 57, true, 1, 1},        {2, 0.5f, 0, 57, true, 1, 1},        {3, 0.5f, 200, 50, false, 0, 0},
        {-1, 0.5f, 200, 50, false, 0, 0},
    };
    for (const auto& c : cases) {
        fft::runPass = c.pass;
        fft::passWeight = c.weight;
        fft::totalSeconds = c.total;
        int32_t position = -5, total = -5;
        const bool called = fft::progressHookValues(c.secs, &position, &total);
        SCOPED_TRACE(std::to_string(c.pass) + " " + std::to_string(c.weight) + " " + std::to_string(c.secs));
        EXPECT_EQ(c.called, called);
        if (c.called) {
            EXPECT_EQ(c.position, position);
            EXPECT_EQ(c.reportedTotal, total);
        }
    }
    fft::resetTranscoderState();
}

// The report's throttle: the first report only starts the clock, then one per 500 ms
// of wall time, and the last report always; without statistics only the last one.
TEST_F(TranscodeRun, ReportThrottle) {
    const struct {
        int printStats;
        std::vector<std::pair<int, int64_t>> reports;  // (last, microseconds)
        size_t hookCalls;
    } cases[] = {
        {-1, {{0, 1000}, {0, 400000}, {0, 501000}, {0, 900000}, {0, 1001000}, {1, 1001001}}, 3},
        {-1, {{0, 0}, {0, 499999}, {0, 500000}, {0, 999999}}, 1},
        {-1, {{0, 5000000}}, 0},
        {-1, {{1, 10}, {1, 20}}, 2},
        {0, {{0, 0}, {0, 600000}, {0, 1200000}, {1, 1300000}}, 1},
    };
    for (const auto& c : cases) {
        HookRecord record;
        fft::print_stats = c.printStats;
        fft::totalSeconds = 0;
        fft::progressHook = &recordingHook;
        fft::progressOwner = &record;
        currentRecord() = &record;
        for (const auto& r : c.reports) {
            fft::print_report(r.first, 0, r.second);
        }
        currentRecord() = nullptr;
        EXPECT_EQ(c.hookCalls, record.calls.size());
        for (const HookCall& call : record.calls) {
            EXPECT_EQ(1, call.position);
            EXPECT_EQ(1, call.total);
            EXPECT_EQ(&record, call.owner);
        }
        fft::resetTranscoderState();
        EXPECT_EQ(-1, fft::lastReportTime);
    }
}

// A real run (read at the input's own pace) reports seconds of output against the
// total, never going back, at most every 500 ms, and ends at the total.
TEST_F(TranscodeRun, ProgressOfARunInRealTime) {
    Scratch out;
    HookRecord record;
    RunParameters p;
    p.totalSeconds = 3;
    p.record = &record;
    const ULONGLONG started = GetTickCount64();
    ASSERT_EQ(0, runTranscoder({"-re", "-i", media().arg(L"tone.wav"), "-y", "-acodec", "libmp3lame", "-f", "mp3",
                                out.arg(L"o.mp3")},
                               p))
        << LogCapture::get();
    EXPECT_GE(GetTickCount64() - started, 2500u) << "-re read ahead of the clock";
    ASSERT_GE(record.calls.size(), 4u);
    ASSERT_LE(record.calls.size(), 8u);
    for (size_t i = 0; i < record.calls.size(); ++i) {
        const HookCall& call = record.calls[i];
        EXPECT_EQ(3, call.total);
        EXPECT_STREQ(L"out.name", call.name);
        EXPECT_EQ(&record, call.owner);
        if (i > 0) {
            EXPECT_GE(call.position, record.calls[i - 1].position);
        }
        if (i > 0 && i + 1 < record.calls.size()) {
            EXPECT_GE(call.at - record.calls[i - 1].at, 400u) << "reports closer than the throttle allows";
        }
    }
    EXPECT_EQ(3, record.calls.back().position);
}

// In a two-pass job each pass covers its share of the scale; without a total every
// report is (1, 1).
TEST_F(TranscodeRun, PassWeighting) {
    const struct {
        int32_t pass;
        float weight;
        int32_t total;
        int32_t lastPosition, lastTotal;
    } cases[] = {
        {1, 0.5f, 3, 1, 3}, {2, 0.5f, 3, 3, 3}, {1, 0.25f, 3, 0, 3}, {2, 0.25f, 3, 3, 3}, {0, 0.5f, 0, 1, 1},
    };
    for (const auto& c : cases) {
        Scratch out;
        HookRecord record;
        RunParameters p;
        p.pass = c.pass;
        p.weight = c.weight;
        p.totalSeconds = c.total;
        p.record = &record;
        ASSERT_EQ(0, runTranscoder({"-i", media().arg(L"tone.wav"), "-y", "-acodec", "pcm_s16le", "-f", "wav",
                                    out.arg(L"o.wav")},
                                   p));
        ASSERT_FALSE(record.calls.empty());
        EXPECT_EQ(c.lastPosition, record.calls.back().position) << c.pass << " " << c.weight;
        EXPECT_EQ(c.lastTotal, record.calls.back().total);
    }
}

// A cancel byte stops the run after the step in which it was seen: result 2, no trailer,
// no further report.
TEST_F(TranscodeRun, CancelStopsWithinOneStep) {
    {
        Scratch out;
        HookRecord record;
        std::atomic<uint8_t> cancel{1};
        RunParameters p;
        p.totalSeconds = 240;
        p.record = &record;
        p.cancel = &cancel;
        EXPECT_EQ(2, runTranscoder({"-i", media().arg(L"long.wav"), "-y", "-acodec", "pcm_s16le", "-f", "wav",
                                    out.arg(L"o.wav")},
                                   p));
        EXPECT_TRUE(record.calls.empty());
        ASSERT_TRUE(exists(out.path(L"o.wav")));
        // The header's size stays the muxer's placeholder: the trailer never ran.
        EXPECT_EQ(0xFFFFFFFFu, riffSize(out.path(L"o.wav")));
        EXPECT_LT(testsupport::readRaw(out.path(L"o.wav")).size(), 1000000u);
    }
    {
        Scratch out;
        HookRecord record;
        std::atomic<uint8_t> cancel{0};
        record.cancelOnCall = &cancel;
        RunParameters p;
        p.totalSeconds = 240;
        p.record = &record;
        p.cancel = &cancel;
        EXPECT_EQ(2, runTranscoder({"-re", "-i", media().arg(L"long.wav"), "-y", "-acodec", "libmp3lame", "-f",
                                    "mp3", out.arg(L"o.mp3")},
                                   p));
        ASSERT_EQ(1u, record.calls.size());
        EXPECT_LE(record.calls[0].position, 2);
    }
    {
        // The same job without a cancel completes, and its header is final.
        Scratch out;
        EXPECT_EQ(0, runTranscoder({"-i", media().arg(L"tone.wav"), "-y", "-acodec", "pcm_s16le", "-f", "wav",
                                    out.arg(L"o.wav")}));
        EXPECT_EQ(testsupport::readRaw(out.path(L"o.wav")).size() - 8, riffSize(out.path(L"o.wav")));
    }
}

// Pictures whose times are less regular than the rate they are encoded at: two that fall
// on one tick of the encoder's clock keep the first, and the conversion goes through.
TEST_F(TranscodeRun, IrregularPicturesKeepOnePerTick) {
    Scratch out;
    // every third picture 30 ms late, on the tick of the next one
    ASSERT_EQ("", makeWithFfmpeg(L"-f lavfi -i testsrc=size=160x120:rate=25:duration=3 "
                                 L"-vf \"setpts=N/25/TB+if(eq(mod(N\\,3)\\,1)\\,0.03/TB\\,0)\" -vsync passthrough "
                                 L"-c:v ffv1 late.mkv",
                                 out.path(L".")));
    ASSERT_EQ(0, runTranscoder({"-i", out.arg(L"late.mkv"), "-y", "-vcodec", "mpeg4", "-f", "avi", out.arg(L"o.avi")}))
        << LogCapture::get();
    EXPECT_NEAR(3.0, probe(out.path(L"o.avi"))->duration / 1e6, 0.1);
    EXPECT_EQ(std::string::npos, LogCapture::get().find("Invalid pts"));
}
