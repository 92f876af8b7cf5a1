#include <atomic>
#include <climits>
#include <string>
#include <vector>

#include "TranscoderFixture.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/ffmpeg/InProcessRunner.h"
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
TEST(InProcessCommand, SplitsAtBlanksAndDropsOuterQuotes) {
    struct Case {
        const wchar_t* command;
        std::vector<std::wstring> args;
    };
    const Case cases[] = {
        {L"ffmpeg -i \"a.mp3\" -y", {L"ffmpeg", L"-i", L"a.mp3", L"-y"}},
        // quotes do not group: the command builder gives blank-free short paths
        {L"ffmpeg -i \"a b.mp3\"", {L"ffmpeg", L"-i", L"a", L"b.mp3"}},
        {L"ffmpeg \"\"x\"\" \"", {L"ffmpeg", L"\"x\"", L""}},
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
