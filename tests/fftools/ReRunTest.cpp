#include "fftools/TranscoderRuns.h"

#include <psapi.h>

using namespace fftoolstest;
namespace fft = s::fftools;

namespace {

// Every value the clean-up promises to restore holds its initial value.
void expectResetState() {
    EXPECT_EQ(0, fft::runPass);
    EXPECT_EQ(0.5f, fft::passWeight);
    EXPECT_EQ(0, fft::totalSeconds);
    EXPECT_EQ(nullptr, fft::progressOwner);
    EXPECT_EQ(nullptr, fft::progressName);
    EXPECT_EQ(nullptr, fft::cancelFlag);
    EXPECT_EQ(nullptr, fft::progressHook);
    EXPECT_EQ(1, fft::runStatus);
    EXPECT_EQ(-1, fft::lastReportTime);
    EXPECT_EQ(0, fft::video_size + fft::audio_size + fft::subtitle_size + fft::extra_size);
    EXPECT_EQ(256, fft::audio_volume);
    EXPECT_EQ(0, fft::audio_sync_method);
    EXPECT_EQ(fft::VSYNC_AUTO, fft::video_sync_method);
    EXPECT_EQ(0.1f, fft::audio_drift_threshold);
    EXPECT_EQ(-1, fft::print_stats);
    EXPECT_EQ(1, fft::stdin_interaction);
    EXPECT_EQ(INT64_MAX, fft::input_recording_time);
    EXPECT_EQ(0, fft::file_overwrite);
    EXPECT_EQ(0, fft::nb_input_files + fft::nb_input_streams + fft::nb_output_files + fft::nb_output_streams +
                     fft::nb_filtergraphs);
    EXPECT_EQ(nullptr, fft::input_files);
    EXPECT_EQ(nullptr, fft::output_files);
    EXPECT_EQ(nullptr, fft::filtergraphs);
    EXPECT_EQ(nullptr, fft::progress_avio);
}

size_t privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    return counters.PrivateUsage;
}

} // namespace

// Options of one run never reach the next: after "-t", "-vol", "-async", "-vsync" (and
// an input's "-t") the next run without them converts the whole input unchanged.
TEST_F(TranscodeRun, OptionsOfOneRunDoNotReachTheNext) {
    const std::vector<std::string> firstRuns[] = {
        {"-i", "IN", "-y", "-t", "1", "-vol", "512", "-async", "1"},
        {"-t", "1", "-i", "IN", "-y"},
        {"-i", "IN", "-y", "-vsync", "1", "-vol", "64"},
    };
    const int inputPeak = wavPeak(media().path(L"tone.wav"));
    for (const auto& first : firstRuns) {
        Scratch out;
        std::vector<std::string> args;
        for (const std::string& a : first) {
            args.push_back(a == "IN" ? media().arg(L"tone.wav") : a);
        }
        args.insert(args.end(), {"-acodec", "pcm_s16le", "-f", "wav", out.arg(L"first.wav")});
        ASSERT_EQ(0, runTranscoder(args)) << LogCapture::get();
        expectResetState();
        ASSERT_EQ(0, runTranscoder({"-i", media().arg(L"tone.wav"), "-y", "-acodec", "pcm_s16le", "-f", "wav",
                                    out.arg(L"second.wav")}))
            << LogCapture::get();
        auto info = probe(out.path(L"second.wav"));
        EXPECT_NEAR(3.0, info->duration / 1e6, 0.05) << first[3];
        EXPECT_EQ(inputPeak, wavPeak(out.path(L"second.wav"))) << first[3];
    }
}

// A run that fails while parsing or opening returns 1, leaves no output behind and still
// resets everything.
TEST_F(TranscodeRun, FailedRunsLeaveNothingBehind) {
    const std::vector<std::string> cases[] = {
        {"-i", "IN", "-vol", "512", "-nosuchoption", "1", "OUT"},
        {"-vol", "512", "-y", "OUT"},
        {"-i", "IN"},
        {"-i", "MISSING", "-y", "OUT"},
        {"-i", "IN", "-y", "-acodec", "nosuchcodec", "OUT"},
        {"-i", "IN", "-y", "-f", "nosuchformat", "OUT"},
        {"-i", "IN", "-y", "-map", "0:v:0", "OUT"},
    };
    for (const auto& c : cases) {
        Scratch out;
        std::vector<std::string> args;
        for (const std::string& a : c) {
            args.push_back(a == "IN" ? media().arg(L"tone.wav")
                           : a == "OUT" ? out.arg(L"o.wav")
                           : a == "MISSING" ? out.arg(L"missing.wav")
                                            : a);
        }
        LogCapture::clear();
        EXPECT_EQ(1, runTranscoder(args)) << c[2];
        EXPECT_FALSE(exists(out.path(L"o.wav"))) << c[2];
        expectResetState();
    }
}

// Hundreds of runs in one process: the same result each time, and no growing memory.
TEST_F(TranscodeRun, ManyRunsInOneProcess) {
    Scratch out;
    ASSERT_TRUE(writeSineWav(out.path(L"short.wav"), 44100, 2, 0.2, 8000));
    const std::vector<std::string> args{"-i", out.arg(L"short.wav"), "-y", "-vol", "300", "-acodec", "pcm_s16le",
                                        "-f", "wav", "-bitexact", out.arg(L"o.wav")};
    std::string first;
    size_t before = 0;
    for (int run = 0; run < 220; ++run) {
        ASSERT_EQ(0, runTranscoder(args)) << "run " << run << "\n" << LogCapture::get();
        if (run == 0) {
            first = testsupport::readRaw(out.path(L"o.wav"));
        } else if (run % 50 == 0) {
            EXPECT_TRUE(first == testsupport::readRaw(out.path(L"o.wav"))) << "run " << run;
        }
        if (run == 19) {
            before = privateBytes();
        }
        LogCapture::clear();
    }
    const size_t after = privateBytes();
    EXPECT_LT(after, before + 8 * 1024 * 1024) << "private bytes grew from " << before << " to " << after;
}
