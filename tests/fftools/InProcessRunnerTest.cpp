#include <atomic>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "TranscoderFixture.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/fftools/MediaProber.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/video/VideoInfo.h"
#include "support/RawFile.h"
#include "support/Released.h"
#include "support/Seams.h"
#include "support/Wav.h"
#include "engine/sound/ffmpeg/IJobDialog.h"

using s::str::strbuffer::StrBuffer;

namespace {

// The converter dialog as the runner sees it: it keeps the job log and the progress events.
class RecordingDialog : public s::sound::ffmpeg::IJobDialog {
public:
    RecordingDialog() : log_(StrBuffer::pool()) {}
    ~RecordingDialog() override { log_->release(); }

    void lockQueue() override {}
    void unlockQueue() override {}
    int32_t queueCount() override { return 0; }
    const wchar_t* queuedPath(int32_t) override { return nullptr; }
    void setCurrentIndex(int32_t) override {}
    const std::atomic<uint8_t>* cancelFlag() override { return &cancel; }
    const wchar_t* outputFolder() override { return L""; }
    const s::sound::gui::dialogs::mp3conv::Setting* setting() override { return nullptr; }
    void setLastFileSucceeded(bool) override {}
    StrBuffer* jobLog() override { return log_; }
    void setExternalRun(bool) override {}
    intptr_t sendWorkerEvent(const wchar_t* name, intptr_t total, intptr_t position, const wchar_t* text) override {
        events.push_back({name, total, position, text != nullptr ? text : L""});
        return 0;
    }
    int32_t updateWorkerPriority(bool) override { return 1; }
    bool wantsIdlePriority() override { return false; }
    s::sound::ffmpeg::ITaskbarProgress* taskbar() override { return nullptr; }

    struct Event {
        std::wstring name;
        intptr_t total, position;
        std::wstring text;
    };
    std::vector<Event> events;
    std::atomic<uint8_t> cancel{0};
    std::wstring log() const { return log_->c_str(); }

private:
    StrBuffer* log_;
};

std::string bytesOf(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace

// The command text becomes the tool's argument vector.
TEST(InProcessCommand, SplitsAtBlanksOutsideQuotesAndDropsTheQuotes) {
    struct Case {
        const wchar_t* command;
        std::vector<std::wstring> args;
    };
    const Case cases[] = {
        {L"ffmpeg -i \"a.mp3\" -y", {L"ffmpeg", L"-i", L"a.mp3", L"-y"}},
        // a quoted path is one argument, however many blanks and dashes it holds
        {L"ffmpeg -i \"C:\\x\\song.mp3 remix.wav\" \"C:\\best.mp3 collection\\ -a.mp3\"",
         {L"ffmpeg", L"-i", L"C:\\x\\song.mp3 remix.wav", L"C:\\best.mp3 collection\\ -a.mp3"}},
        {L"ffmpeg \"\"x\"\" \"\"", {L"ffmpeg", L"x", L""}},
        {L"ffmpeg a\"b c\"d", {L"ffmpeg", L"ab cd"}},
        {L"ffmpeg  -y", {L"ffmpeg", L"", L"-y"}},
        // names beyond the ANSI code page survive the trip
        {L"ffmpeg -i C:\\Grüße\\日本.wav", {L"ffmpeg", L"-i", L"C:\\Grüße\\日本.wav"}},
        {L"ffmpeg", {L"ffmpeg"}},
    };
    // a text past the old 780-byte buffers, as a long tag would be
    const std::wstring longTag = L"comment=" + std::wstring(1200, L'x');
    std::vector<Case> all(std::begin(cases), std::end(cases));
    const std::wstring longCommand = L"ffmpeg -metadata " + longTag;
    all.push_back({longCommand.c_str(), {L"ffmpeg", L"-metadata", longTag}});
    for (const auto& c : all) {
        int argc = -1;
        char** argv = s::ffmpeg::splitInProcessCommand(c.command, &argc);
        ASSERT_NE(nullptr, argv);
        ASSERT_EQ(static_cast<int>(c.args.size()), argc);
        for (int i = 0; i < argc; ++i) {
            EXPECT_EQ(bytesOf(c.args[i]), argv[i]) << i;
        }
        EXPECT_EQ(nullptr, argv[argc]);
        s::ffmpeg::freeInProcessArguments(argv);
    }
}

TEST(InProcessCommand, DurationInWholeSecondsAtLeastOne) {
    const struct {
        int64_t ms;
        int32_t seconds;
    } cases[] = {{400, 1}, {0, 1}, {-5000, 1}, {1999, 1}, {2000, 2}, {3723456, 3723}, {INT64_MAX, INT32_MAX}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.seconds, s::ffmpeg::durationSeconds(c.ms)) << c.ms;
    }
}

// The output's clock may pass the probed length; the bar stops at its end.
TEST(InProcessCommand, ProgressNeverPassesTheTotal) {
    RecordingDialog dialog;
    const int32_t positions[][2] = {{5, 5}, {10, 10}, {12, 10}};
    for (const auto& p : positions) {
        s::ffmpeg::onFfmpegProgress(p[0], 10, L"x.mp3", &dialog);
        ASSERT_FALSE(dialog.events.empty());
        EXPECT_EQ(dialog.events.back().position, p[1]) << p[0];
        EXPECT_EQ(dialog.events.back().total, 10);
    }
}

class InProcessRunner : public TranscoderTest {};

// A run as the job loop makes it: relative names resolve in the working folder, the
// current directory comes back, FFmpeg's messages and the progress reach the dialog.
TEST_F(InProcessRunner, RunsInTheWorkingFolderAndReportsToTheDialog) {
    const std::wstring work = path(L"work Ω");
    CreateDirectoryW(work.c_str(), nullptr);
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);

    RecordingDialog dialog;
    const std::wstring command = L"ffmpeg -i \"" + path(L"tone.wav") + L"\" -y -vn -max_muxing_queue_size 9999 "
                                 L"-f wav -bitexact -acodec pcm_s16le -ar 8000 Ausgabe_Ωü.wav";
    EXPECT_EQ(0, s::ffmpeg::runFfmpegInProcess(command.c_str(), 0, 0.5, work.c_str(), 2400, &dialog, L"Ausgabe_Ωü.wav",
                                               &dialog.cancel));
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_EQ(2 * 8000 * 2 * 2 + 44, fileSize(work + L"\\Ausgabe_Ωü.wav"));

    ASSERT_FALSE(dialog.events.empty());
    const auto& last = dialog.events.back();
    EXPECT_EQ(L"ProcessStatusUpdate", last.name);
    EXPECT_EQ(2, last.total) << "2400 ms is 2 whole seconds";
    EXPECT_EQ(2, last.position);
    EXPECT_EQ(L"Ausgabe_Ωü.wav", last.text);
    EXPECT_NE(std::wstring::npos, dialog.log().find(L"[FFmpeg Output]:\n"));
    EXPECT_NE(std::wstring::npos, dialog.log().find(L"Stream mapping:"));
    EXPECT_EQ(std::wstring::npos, dialog.log().find(L"size=")) << "progress lines stay out of the log";
}

// A refused command fails, says why in the job log, and leaves the directory alone.
TEST_F(InProcessRunner, RefusedCommandFailsWithItsReasonInTheLog) {
    RecordingDialog dialog;
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    const std::wstring command = L"ffmpeg -loglevel quiet -i " + path(L"tone.wav") + L" -y out.wav";
    EXPECT_EQ(1, s::ffmpeg::runFfmpegInProcess(command.c_str(), 0, 0.5, folder_.c_str(), 2000, &dialog, L"out.wav",
                                               &dialog.cancel));
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_NE(std::wstring::npos, dialog.log().find(L"Unrecognized option 'loglevel'."));
    EXPECT_FALSE(exists(path(L"out.wav")));
    EXPECT_TRUE(dialog.events.empty());
}

// A run that wrote no audio packet, in-process: a WAV header over less than one sample
// probes and opens, but gives a file of tags only. The run fails and says why.
TEST_F(InProcessRunner, RunWithoutAnAudioPacketFails) {
    const std::wstring input = path(L"under one sample.wav");
    ASSERT_TRUE(testsupport::writeRaw(input, testsupport::wavHeader(8000, 1, 1) + std::string(1, '\0')));
    RecordingDialog dialog;
    const std::wstring command =
        L"ffmpeg -i \"" + input + L"\" -y -vn -max_muxing_queue_size 9999 -acodec libmp3lame \"" + path(L"none.mp3") + L"\"";
    EXPECT_EQ(1, s::ffmpeg::runFfmpegInProcess(command.c_str(), 0, 0.5, folder_.c_str(), 0, &dialog, L"none.mp3",
                                               &dialog.cancel));
    EXPECT_NE(std::wstring::npos, dialog.log().find(s::ffmpeg::NO_AUDIO_TEXT)) << testsupport::narrow(dialog.log());
}

namespace {

// ffprobe's name for what an encoder writes.
std::string probedCodecOf(const std::string& encoder) {
    static const std::map<std::string, std::string> NAMES = {
        {"libmp3lame", "mp3"}, {"libvorbis", "vorbis"}, {"libopencore_amrnb", "amr_nb"}, {"libgsm_ms", "gsm_ms"}};
    const auto it = NAMES.find(encoder);
    return it != NAMES.end() ? it->second : encoder;
}

// The word after `option` in the command, or empty.
std::string wordAfter(const std::wstring& command, const wchar_t* option) {
    const size_t at = command.find(option);
    if (at == std::wstring::npos) {
        return std::string();
    }
    const size_t start = at + wcslen(option);
    return bytesOf(command.substr(start, command.find(L' ', start) - start));
}

} // namespace

// The job loop's road for real: the command the builder makes for every format of the
// "Convert to:" list with every option at "same" (where the format has a "same"), from a WAV, a 5.1 FLAC, an MP3 with
// a cover and an AAC .m4a, run in-process and judged by ffprobe.exe.
TEST_F(InProcessRunner, EveryListedFormatFromEverySource) {
    namespace snd = s::sound::ffmpeg;
    using s::sound::gui::dialogs::mp3conv::Setting;
    const std::wstring out = path(L"jobs");
    CreateDirectoryW(out.c_str(), nullptr);
    const struct {
        const wchar_t* name;
        const char* codec;
        bool cover;
    } sources[] = {{L"tone.wav", "pcm_s16le", false}, {L"six.flac", "flac", false}, {L"song.mp3", "mp3", true},
                   {L"tone.m4a", "aac", false}};
    for (const auto& source : sources) {
        ASSERT_TRUE(made(source.name));
        Released<s::video::VideoInfo> info(s::fftools::probeMediaFile(path(source.name).c_str()));
        ASSERT_EQ(1, info->streamInfoFound);
        for (int32_t id = 1; id <= 34; ++id) {
            const std::wstring ext = snd::FormatTable::audioOutputExtension(id);
            const std::wstring output = out + L"\\j" + std::to_wstring(id) + ext;
            SCOPED_TRACE(bytesOf(std::wstring(source.name) + L" -> " + std::to_wstring(id) + ext));
            Released<Setting> setting(Setting::create());
            setting->formatId = id;
            setting->quality = Setting::QUALITY_SIMILAR;
            // AMR and GSM take 8000 Hz mono only, and FFmpeg 5.1 writes SMAF in mono
            // only: their panels offer nothing else
            if (id == 2 || id == 4 || id == 8 || id == 15 || id == 30) {
                setting->sampleRate = 8000;
                setting->channels = 1;
            }
            // GSM has one rate: the source's would be refused
            if (id == 30) {
                setting->bitRate = 13000;
            }
            const bool copy = setting->canCopyAudioStream(info.get(), ext.c_str());
            double weight = 0;
            Released<StrBuffer> command(snd::CommandBuilder::buildFfmpegCommand(
                setting.get(), info.get(), path(source.name).c_str(), output.c_str(), nullptr, false, 0, copy,
                nullptr, &weight));
            ASSERT_TRUE(command);
            RecordingDialog dialog;
            const int32_t status = s::ffmpeg::runFfmpegInProcess(command->c_str(), 0, weight, out.c_str(),
                                                                 info->duration / 1000, &dialog, L"j", &dialog.cancel);
            ASSERT_EQ(0, status) << bytesOf(command->c_str()) << "\n" << bytesOf(dialog.log());
            const std::wstring text = command->c_str();
            const std::string expected = copy ? source.codec : probedCodecOf(wordAfter(text, L" -acodec "));
            if (id >= 22 && id <= 25) {
                // raw samples: no container to probe
                EXPECT_GT(fileSize(output), 0);
            } else {
                const auto values = probe(output);
                // the first audio stream (a cover mapped first comes before it in ASF)
                std::string audio = "stream.0.";
                if (values.count("stream.0.codec_type") && values.at("stream.0.codec_type") != "audio") {
                    audio = "stream.1.";
                }
                EXPECT_EQ(expected, values.count(audio + "codec_name") ? values.at(audio + "codec_name") : "")
                    << bytesOf(text);
                const double seconds = values.count("format.duration") ? std::atof(values.at("format.duration").c_str()) : 0;
                // a raw AMR file's length is estimated from its bit rate: from the AAC source
                // ffprobe says 2.106 s, for ffmpeg.exe's output as well
                EXPECT_NEAR(2.0, seconds, ext == L".amr" ? 0.11 : 0.1) << bytesOf(text);
                if (source.cover && (ext == L".mp3" || ext == L".mp4")) {
                    const std::string picture = audio == "stream.0." ? "stream.1." : "stream.0.";
                    EXPECT_EQ("1", values.count(picture + "disposition.attached_pic")
                                       ? values.at(picture + "disposition.attached_pic")
                                       : "")
                        << "the cover is kept";
                }
            }
            DeleteFileW(output.c_str());
        }
    }
}
