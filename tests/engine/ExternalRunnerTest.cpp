#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "RunnerTestSupport.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/ExternalRunner.h"
#include "engine/ffmpeg/OutputCleanup.h"

using s::ffmpeg::ExternalRun;
using s::ffmpeg::runExternalFfmpeg;
using s::str::strbuffer::StrBuffer;
using s::thread::Held;

namespace {

struct RunSetup {
    std::wstring command;
    const wchar_t* workingDirectory = nullptr;
    int64_t durationMs = 10000;
    int32_t pass = 0;
    double weight = 0.0;
};

int32_t run(const RunSetup& setup, StrBuffer* log, RecordingHost* host, const std::atomic<uint8_t>* cancel) {
    ExternalRun job{setup.command.c_str(), L"song.mp3", setup.workingDirectory, setup.pass, setup.weight,
                    setup.durationMs, cancel, log, host};
    return runExternalFfmpeg(job);
}

std::wstring text(const StrBuffer* log) {
    return std::wstring(log->c_str());
}

// Sets the cancel byte once the file shows that the child is under way.
class Canceller {
public:
    Canceller(std::atomic<uint8_t>* cancel, std::wstring readyFile)
        : thread_([this, cancel, readyFile] {
              ready = waitForFile(readyFile, 20000);
              setAt = GetTickCount64();
              cancel->store(1);
          }) {}
    ~Canceller() { join(); }
    void join() {
        if (thread_.joinable()) thread_.join();
    }
    std::atomic<bool> ready{false};
    std::atomic<ULONGLONG> setAt{0};

private:
    std::thread thread_;
};

} // namespace

TEST(ExternalRunner, ExitCodesGiveSucceededOrFailed) {
    ScratchFolder scratch;
    struct Case {
        std::wstring command;
        int32_t status;
    } cases[] = {
        {standIn(L"-x 0"), 0},
        {standIn(L"-x 1"), 1},
        {standIn(L"-x 3"), 1},
        {standIn(L"-x -1"), 1},
        {standIn(L"-e \"Error opening input\\r\\n\" -x 2"), 1},  // ffmpeg's own 2 is no cancel
        {L"\"" + scratch.file(L"no-such-program.exe") + L"\" -i a.wav b.mp3", 1},
        {L"", 1},
    };
    for (const Case& c : cases) {
        Held<StrBuffer> log(StrBuffer::pool());
        std::atomic<uint8_t> cancel{0};
        RunSetup setup;
        setup.command = c.command;
        EXPECT_EQ(run(setup, log.get(), nullptr, &cancel), c.status) << testing::PrintToString(c.command);
    }
}

TEST(ExternalRunner, CancelledBeforeTheStartRunsNothing) {
    ScratchFolder scratch;
    std::atomic<uint8_t> cancel{1};
    RunSetup setup;
    setup.command = standIn(L"-f \"" + scratch.file(L"out.mp3") + L"\" -x 0");
    EXPECT_EQ(run(setup, nullptr, nullptr, &cancel), 2);
    EXPECT_FALSE(fileExists(scratch.file(L"out.mp3")));
}

TEST(ExternalRunner, ChildRunsInTheGivenFolderWithNullInput) {
    ScratchFolder scratch;
    Held<StrBuffer> log(StrBuffer::pool());
    RunSetup setup;
    setup.command = standIn(L"-i -f relative.out -x 0");
    setup.workingDirectory = scratch.path().c_str();
    EXPECT_EQ(run(setup, log.get(), nullptr, nullptr), 0);
    EXPECT_TRUE(fileExists(scratch.file(L"relative.out")));
    // The null device answers a read at once with nothing, instead of blocking on a
    // console or failing on a missing handle.
    EXPECT_NE(text(log.get()).find(L"stdin:0"), std::wstring::npos) << text(log.get());
}

TEST(ExternalRunner, ProgressLinesReportAndOtherLinesAreLogged) {
    Held<StrBuffer> log(StrBuffer::fromText(L"[Input Path]: a.wav\n"));
    RecordingHost host(false, log.get());
    RunSetup setup;
    setup.durationMs = 130000;
    setup.command = standIn(
        L"-e \"Input #0, wav, from 'a.wav':\\r\\n\" -o \"Output #0, mp3, to 'b.mp3':\\r\\n\" "
        L"-t N/A -t -00:00:00.02 -t 00:01:05.50 -t 00:02:10.00 -e \"Grüße 日本.wav\\r\\n\" -x 0");
    EXPECT_EQ(run(setup, log.get(), &host, nullptr), 0);

    const int64_t expected[] = {1, 1, 655, 1300};
    ASSERT_EQ(host.reports.size(), 4u);
    for (size_t i = 0; i < host.reports.size(); ++i) {
        EXPECT_EQ(host.reports[i].total, 1300);
        EXPECT_EQ(host.reports[i].position, expected[i]);
        EXPECT_EQ(host.reports[i].name, L"song.mp3");
    }
    const std::wstring logged = text(log.get());
    EXPECT_EQ(logged.find(L"[Input Path]: a.wav\n[FFmpeg Output]:\nInput #0, wav, from 'a.wav':"), 0u) << logged;
    EXPECT_NE(logged.find(L"\nOutput #0, mp3, to 'b.mp3':"), std::wstring::npos) << logged;  // standard output too
    EXPECT_NE(logged.find(L"Grüße 日本.wav"), std::wstring::npos) << logged;                 // UTF-8 names
    EXPECT_EQ(logged.find(L"time="), std::wstring::npos) << logged;
    EXPECT_EQ(logged.find(L'\r'), std::wstring::npos) << logged;
    EXPECT_EQ(logged.rfind(L"[FFmpeg Output]:"), logged.find(L"[FFmpeg Output]:")) << "one heading";
    EXPECT_EQ(logged.substr(logged.size() - 2), L"\n\n");
}

TEST(ExternalRunner, LogStopsGrowingPastTheCapWhileProgressGoesOn) {
    Held<StrBuffer> log(StrBuffer::pool());
    RecordingHost host(false, log.get());
    RunSetup setup;
    setup.durationMs = 4000;
    // Lines of 29 characters, 500 between progress lines: the second batch crosses the cap.
    const std::wstring batch = L" -n 500 \"\\n[mp3 @ 0000012345] warning x\" ";
    const uint32_t lineLength = 29;
    setup.command = standIn(L"-t 00:00:01.00" + batch + L"-t 00:00:02.00" + batch + L"-t 00:00:03.00" + batch +
                            L"-t 00:00:04.00 -x 0");
    EXPECT_EQ(run(setup, log.get(), &host, nullptr), 0);

    ASSERT_EQ(host.reports.size(), 4u);
    for (size_t i = 0; i < host.reports.size(); ++i) {
        EXPECT_EQ(host.reports[i].position, 1000 * static_cast<int64_t>(i + 1));
    }
    EXPECT_EQ(host.reports[1].logLength, 17 + 500 * lineLength) << "heading and the first batch";
    // The line that crosses the cap is the last one taken; nothing follows it.
    EXPECT_GT(host.reports[2].logLength, s::ffmpeg::LOG_CAP);
    EXPECT_LE(host.reports[2].logLength, s::ffmpeg::LOG_CAP + lineLength);
    EXPECT_EQ(host.reports[3].logLength, host.reports[2].logLength);
    EXPECT_EQ(log->length(), host.reports[3].logLength + 2) << "only the closing \"\\n\\n\"";
}

TEST(ExternalRunner, ChildPriorityFollowsTheHost) {
    struct Case {
        bool idle;
        const wchar_t* reported;
    } cases[] = {
        {false, L"priority:16384"},  // BELOW_NORMAL_PRIORITY_CLASS
        {true, L"priority:64"},      // IDLE_PRIORITY_CLASS
    };
    for (const Case& c : cases) {
        Held<StrBuffer> log(StrBuffer::pool());
        RecordingHost host(c.idle);
        RunSetup setup;
        // The first line lets the runner apply the rule before the child looks.
        setup.command = standIn(L"-e \"first\\r\" -s 500 -q -x 0");
        EXPECT_EQ(run(setup, log.get(), &host, nullptr), 0);
        EXPECT_GE(host.priorityQuestions, 2);
        EXPECT_NE(text(log.get()).find(c.reported), std::wstring::npos) << c.idle << text(log.get());
    }
}

TEST(ExternalRunner, CancelEndsASilentChildAndWhatItStarted) {
    ScratchFolder scratch;
    const std::wstring partial = scratch.file(L"_TMP.mp3");
    const std::wstring childId = scratch.file(L"child.pid");
    const std::wstring grandchildId = scratch.file(L"grandchild.pid");
    Held<StrBuffer> log(StrBuffer::pool());
    RecordingHost host;
    std::atomic<uint8_t> cancel{0};
    RunSetup setup;
    // Opens its output, starts a helper, announces itself, then prints nothing for a minute.
    setup.command = standIn(L"-f \"" + partial + L"\" -c \"" + grandchildId + L"\" -p \"" + childId +
                            L"\" -s 60000 -x 0");
    Canceller canceller(&cancel, childId);
    const int32_t status = run(setup, log.get(), &host, &cancel);
    const ULONGLONG returnedAt = GetTickCount64();
    canceller.join();

    ASSERT_TRUE(canceller.ready);
    EXPECT_EQ(status, 2);
    EXPECT_LT(returnedAt - canceller.setAt, 1500u) << "cancel is seen while the child is silent";
    EXPECT_FALSE(processRunning(childId));
    EXPECT_FALSE(processRunning(grandchildId));
    EXPECT_TRUE(host.reports.empty());
    // Nothing holds the partial output any more: it goes at the first try.
    const ULONGLONG before = GetTickCount64();
    EXPECT_TRUE(s::ffmpeg::removeRetrying(partial.c_str()));
    EXPECT_LT(GetTickCount64() - before, 1000u);
    EXPECT_FALSE(fileExists(partial));
}

TEST(ExternalRunner, EndOfTheChildEndsTheRunWhileItsHelperHoldsThePipe) {
    ScratchFolder scratch;
    const std::wstring grandchildId = scratch.file(L"grandchild.pid");
    Held<StrBuffer> log(StrBuffer::pool());
    RunSetup setup;
    // The helper inherits the pipe's write end and sleeps a minute.
    setup.command = standIn(L"-c \"" + grandchildId + L"\" -e \"done\\r\\n\" -x 0");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(run(setup, log.get(), nullptr, nullptr), 0);
    EXPECT_LT(GetTickCount64() - start, 10000u);
    EXPECT_NE(text(log.get()).find(L"done"), std::wstring::npos);
    EXPECT_TRUE(fileExists(grandchildId));
    EXPECT_FALSE(processRunning(grandchildId)) << "left-overs of the run are ended with it";
}

TEST(OutputCleanup, RemovalWaitsForAFileToBeReleased) {
    ScratchFolder scratch;
    const std::wstring held = scratch.file(L"held.mp3");
    ASSERT_TRUE(writeFile(held, "partial"));
    HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    // Locked for the whole limit: given up.
    EXPECT_FALSE(s::ffmpeg::removeRetrying(held.c_str(), 300, 100));
    EXPECT_TRUE(fileExists(held));
    // Released while retrying: removed.
    std::thread releaser([h] {
        Sleep(300);
        CloseHandle(h);
    });
    EXPECT_TRUE(s::ffmpeg::removeRetrying(held.c_str(), 5000, 50));
    releaser.join();
    EXPECT_FALSE(fileExists(held));
    // Nothing there is nothing to do.
    EXPECT_TRUE(s::ffmpeg::removeRetrying(held.c_str(), 0, 0));
    EXPECT_TRUE(s::ffmpeg::removeRetrying(nullptr));
}

#ifdef FFMPEG_TOOLS_DIR
namespace {

std::wstring ffmpeg(const std::wstring& arguments) {
    return L"\"" + std::wstring(FFMPEG_TOOLS_DIR) + L"\\ffmpeg.exe\" -hide_banner " + arguments;
}

} // namespace

TEST(ExternalRunnerWithFfmpeg, ConversionReportsProgressToTheEnd) {
    ScratchFolder scratch;
    Held<StrBuffer> log(StrBuffer::pool());
    RecordingHost host(false, log.get());
    RunSetup setup;
    setup.workingDirectory = scratch.path().c_str();
    setup.durationMs = 3000;
    setup.command = ffmpeg(L"-f lavfi -i sine=frequency=440:duration=3 -y out.wav");
    EXPECT_EQ(run(setup, log.get(), &host, nullptr), 0) << text(log.get());
    EXPECT_TRUE(fileExists(scratch.file(L"out.wav")));
    ASSERT_FALSE(host.reports.empty());
    EXPECT_EQ(host.reports.back().total, 3000);
    EXPECT_EQ(host.reports.back().position, 3000);
    const std::wstring logged = text(log.get());
    EXPECT_EQ(logged.find(L"[FFmpeg Output]:\n"), 0u) << logged;
    EXPECT_NE(logged.find(L"Output #0, wav"), std::wstring::npos) << logged;
    EXPECT_EQ(logged.find(L"time="), std::wstring::npos) << logged;
}

TEST(ExternalRunnerWithFfmpeg, MissingInputFails) {
    ScratchFolder scratch;
    Held<StrBuffer> log(StrBuffer::pool());
    RunSetup setup;
    setup.workingDirectory = scratch.path().c_str();
    setup.command = ffmpeg(L"-i missing.wav -y out.mp3");
    EXPECT_EQ(run(setup, log.get(), nullptr, nullptr), 1);
    EXPECT_NE(text(log.get()).find(L"missing.wav"), std::wstring::npos) << text(log.get());
    EXPECT_FALSE(fileExists(scratch.file(L"out.mp3")));
}

TEST(ExternalRunnerWithFfmpeg, CancelStopsARunningConversion) {
    ScratchFolder scratch;
    const std::wstring output = scratch.file(L"endless.wav");
    Held<StrBuffer> log(StrBuffer::pool());
    RecordingHost host;
    std::atomic<uint8_t> cancel{0};
    RunSetup setup;
    setup.workingDirectory = scratch.path().c_str();
    // An endless source read in real time: it never ends by itself.
    setup.command = ffmpeg(L"-re -f lavfi -i sine=frequency=440 -y endless.wav");
    Canceller canceller(&cancel, output);
    const int32_t status = run(setup, log.get(), &host, &cancel);
    const ULONGLONG returnedAt = GetTickCount64();
    canceller.join();
    ASSERT_TRUE(canceller.ready) << text(log.get());
    EXPECT_EQ(status, 2);
    EXPECT_LT(returnedAt - canceller.setAt, 1500u);
    EXPECT_TRUE(s::ffmpeg::removeRetrying(output.c_str()));
    EXPECT_FALSE(fileExists(output));
}
#endif
