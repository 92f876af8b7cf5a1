#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "RunnerTestSupport.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/ExternalRunner.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/ffmpeg/OutputCleanup.h"

using s::ffmpeg::ExternalRun;
using s::ffmpeg::runExternalFfmpeg;
using s::str::strbuffer::StrBuffer;
using s::thread::Held;

namespace {

// One run of a command in a scratch folder, logged to a fresh log unless the test
// points `log` elsewhere (null included).
class RunFixture : public testing::Test {
protected:
    int32_t run(RecordingHost* host = nullptr, const std::atomic<uint8_t>* cancel = nullptr) {
        ExternalRun job{command.c_str(), L"song.mp3", workingDirectory, 0,    0.0,
                        durationMs,      cancel,      log,              host, startFailure.get()};
        return runExternalFfmpeg(job);
    }

    struct Cancelled {
        int32_t status;
        bool ready;
        // From setting the cancel byte to the run's return.
        ULONGLONG latency;
    };
    // Sets the cancel byte once readyFile shows that the child is under way.
    Cancelled runAndCancel(const std::wstring& readyFile, RecordingHost* host) {
        std::atomic<uint8_t> cancel{0};
        bool ready = false;
        ULONGLONG setAt = 0;
        std::thread canceller([&] {
            ready = waitForFile(readyFile, 20000);
            setAt = GetTickCount64();
            cancel.store(1);
        });
        const int32_t status = run(host, &cancel);
        const ULONGLONG returnedAt = GetTickCount64();
        canceller.join();
        return {status, ready, returnedAt - setAt};
    }

    std::wstring logged() const { return log->c_str(); }

    ScratchFolder scratch;
    Held<StrBuffer> ownLog{StrBuffer::pool()};
    StrBuffer* log = ownLog.get();
    Held<StrBuffer> startFailure{StrBuffer::pool()};
    std::wstring command;
    const wchar_t* workingDirectory = nullptr;
    int64_t durationMs = 10000;
};

using ExternalRunner = RunFixture;

} // namespace

TEST_F(ExternalRunner, ExitCodesGiveSucceededFailedOrNotStarted) {
    struct Case {
        std::wstring command;
        int32_t status;
        const wchar_t* reason;  // the system's words for a child that did not start
    } cases[] = {
        {standIn(L"-x 0"), 0, nullptr},
        {standIn(L"-x 1"), 1, nullptr},
        {standIn(L"-x 3"), 1, nullptr},
        {standIn(L"-x -1"), 1, nullptr},
        {standIn(L"-e \"Error opening input\\r\\n\" -x 2"), 1, nullptr},  // ffmpeg's own 2 is no cancel
        {L"\"" + scratch.file(L"no-such-program.exe") + L"\" -i a.wav b.mp3", 5, L"(system error 2)"},
        // What the loader ends a child with when a DLL it needs is missing.
        {standIn(L"-x -1073741515"), 5, L"(system error 126)"},
        {L"", 1, nullptr},
    };
    const std::atomic<uint8_t> notCancelled{0};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.command));
        command = c.command;
        log->clear();
        startFailure->clear();
        EXPECT_EQ(run(nullptr, &notCancelled), c.status);
        const std::wstring reason = startFailure->c_str();
        EXPECT_EQ(reason.find(c.reason != nullptr ? c.reason : L"") != std::wstring::npos && !reason.empty(),
                  c.reason != nullptr)
            << reason;
        EXPECT_EQ(logged().find(L"[FFmpeg]: the external tool ffmpeg.exe could not be started: " + reason) !=
                      std::wstring::npos,
                  c.reason != nullptr)
            << logged();
    }
}

namespace {

int refusalsLeft = 0;
int startsMade = 0;

// The system's start, refusing the first refusalsLeft as a loaded machine once did.
BOOL WINAPI refusingStart(LPCWSTR application, LPWSTR line, LPSECURITY_ATTRIBUTES process,
                          LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment, LPCWSTR folder,
                          LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info) {
    ++startsMade;
    if (refusalsLeft > 0) {
        --refusalsLeft;
        SetLastError(ERROR_INTERNAL_ERROR);
        return FALSE;
    }
    return CreateProcessW(application, line, process, thread, inherit, flags, environment, folder, startup, info);
}

} // namespace

// One refused start costs the run nothing; a second refusal fails it, saying both were made.
TEST_F(ExternalRunner, ARefusedStartIsMadeOnceMore) {
    const s::ffmpeg::ProcessStartFn previous = s::ffmpeg::setProcessStart(&refusingStart);
    command = standIn(L"-f \"" + scratch.file(L"ran.txt") + L"\" -x 0");
    const struct {
        int refusals;
        int32_t status;
    } cases[] = {{1, 0}, {2, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusals);
        refusalsLeft = c.refusals;
        startsMade = 0;
        log->clear();
        startFailure->clear();
        DeleteFileW(scratch.file(L"ran.txt").c_str());
        EXPECT_EQ(run(), c.status) << logged();
        EXPECT_EQ(startsMade, 2);
        EXPECT_EQ(fileExists(scratch.file(L"ran.txt")), c.status == 0);
        const std::wstring reason = startFailure->c_str();
        const bool failed = c.status != 0;
        EXPECT_EQ(reason.find(L"(system error 1359); the start was tried twice") != std::wstring::npos, failed) << reason;
        EXPECT_EQ(logged().find(L"could not be started: " + reason) != std::wstring::npos, failed) << logged();
    }
    s::ffmpeg::setProcessStart(previous);
}

TEST_F(ExternalRunner, CancelledBeforeTheStartRunsNothing) {
    const std::atomic<uint8_t> cancelled{1};
    log = nullptr;
    command = standIn(L"-f \"" + scratch.file(L"out.mp3") + L"\" -x 0");
    EXPECT_EQ(run(nullptr, &cancelled), 2);
    EXPECT_FALSE(fileExists(scratch.file(L"out.mp3")));
}

TEST_F(ExternalRunner, ChildRunsInTheGivenFolderWithNullInput) {
    command = standIn(L"-i -f relative.out -x 0");
    workingDirectory = scratch.path().c_str();
    EXPECT_EQ(run(), 0);
    EXPECT_TRUE(fileExists(scratch.file(L"relative.out")));
    // The null device answers a read at once with nothing, instead of blocking on a
    // console or failing on a missing handle.
    EXPECT_NE(logged().find(L"stdin:0"), std::wstring::npos) << logged();
}

TEST_F(ExternalRunner, ProgressLinesReportAndOtherLinesAreLogged) {
    Held<StrBuffer> earlier(StrBuffer::fromText(L"[Input Path]: a.wav\n"));
    log = earlier.get();
    RecordingHost host(false, log);
    durationMs = 130000;
    command = standIn(
        L"-e \"Input #0, wav, from 'a.wav':\\r\\n\" -o \"Output #0, mp3, to 'b.mp3':\\r\\n\" "
        L"-t N/A -t -00:00:00.02 -t 00:01:05.50 -t 00:02:10.00 -e \"Grüße 日本.wav\\r\\n\" -x 0");
    EXPECT_EQ(run(&host), 0);

    const int64_t expected[] = {1, 1, 655, 1300};
    ASSERT_EQ(host.reports.size(), 4u);
    for (size_t i = 0; i < host.reports.size(); ++i) {
        EXPECT_EQ(host.reports[i].total, 1300);
        EXPECT_EQ(host.reports[i].position, expected[i]);
        EXPECT_EQ(host.reports[i].name, L"song.mp3");
    }
    const std::wstring text = logged();
    EXPECT_EQ(text.find(L"[Input Path]: a.wav\n[FFmpeg Output]:\nInput #0, wav, from 'a.wav':"), 0u) << text;
    EXPECT_NE(text.find(L"\nOutput #0, mp3, to 'b.mp3':"), std::wstring::npos) << text;  // standard output too
    EXPECT_NE(text.find(L"Grüße 日本.wav"), std::wstring::npos) << text;                 // UTF-8 names
    EXPECT_EQ(text.find(L"time="), std::wstring::npos) << text;
    EXPECT_EQ(text.find(L'\r'), std::wstring::npos) << text;
    EXPECT_EQ(text.rfind(L"[FFmpeg Output]:"), text.find(L"[FFmpeg Output]:")) << "one heading";
    EXPECT_EQ(text.substr(text.size() - 2), L"\n\n");
}

TEST_F(ExternalRunner, LogStopsGrowingPastTheCapWhileProgressGoesOn) {
    RecordingHost host(false, log);
    durationMs = 4000;
    // Lines of 29 characters, 500 between progress lines: the second batch crosses the cap.
    const std::wstring batch = L" -n 500 \"\\n[mp3 @ 0000012345] warning x\" ";
    const uint32_t lineLength = 29;
    command = standIn(L"-t 00:00:01.00" + batch + L"-t 00:00:02.00" + batch + L"-t 00:00:03.00" + batch +
                      L"-t 00:00:04.00 -x 0");
    EXPECT_EQ(run(&host), 0);

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

// The retry of a file keeps its own share of the cap, on either road, after a first
// attempt that filled the log.
TEST_F(ExternalRunner, EachRunHasItsOwnShareOfTheLogCap) {
    log->append(std::wstring(s::ffmpeg::LOG_CAP + 100, L'x').c_str());
    command = standIn(L"-e \"second attempt\\r\\n\" -x 1");
    EXPECT_EQ(run(), 1);
    EXPECT_NE(logged().find(L"[FFmpeg Output]:\nsecond attempt", s::ffmpeg::LOG_CAP), std::wstring::npos);

    s::ffmpeg::FfmpegLog::setTarget(log);
    s::ffmpeg::FfmpegLog::append("in-process attempt\n");
    s::ffmpeg::FfmpegLog::setTarget(nullptr);
    EXPECT_NE(logged().find(L"[FFmpeg Output]:\nin-process attempt\n"), std::wstring::npos);
}

TEST_F(ExternalRunner, ChildPriorityFollowsTheHost) {
    struct Case {
        bool idle;
        const wchar_t* reported;
    } cases[] = {
        {false, L"priority:16384"},  // BELOW_NORMAL_PRIORITY_CLASS
        {true, L"priority:64"},      // IDLE_PRIORITY_CLASS
    };
    // The first line lets the runner apply the rule before the child looks.
    command = standIn(L"-e \"first\\r\" -s 500 -q -x 0");
    for (const Case& c : cases) {
        log->clear();
        RecordingHost host(c.idle);
        EXPECT_EQ(run(&host), 0);
        EXPECT_GE(host.priorityQuestions, 2);
        EXPECT_NE(logged().find(c.reported), std::wstring::npos) << c.idle << logged();
    }
}

TEST_F(ExternalRunner, CancelEndsASilentChildAndWhatItStarted) {
    const std::wstring partial = scratch.file(L"_TMP.mp3");
    const std::wstring childId = scratch.file(L"child.pid");
    const std::wstring grandchildId = scratch.file(L"grandchild.pid");
    RecordingHost host;
    // Opens its output, starts a helper, announces itself, then prints nothing for a minute.
    command = standIn(L"-f \"" + partial + L"\" -c \"" + grandchildId + L"\" -p \"" + childId + L"\" -s 60000 -x 0");
    const Cancelled r = runAndCancel(childId, &host);

    ASSERT_TRUE(r.ready);
    EXPECT_EQ(r.status, 2);
    EXPECT_LT(r.latency, 1500u) << "cancel is seen while the child is silent";
    EXPECT_FALSE(processRunning(childId));
    EXPECT_FALSE(processRunning(grandchildId));
    EXPECT_TRUE(host.reports.empty());
    // Nothing holds the partial output any more: it goes at the first try.
    const ULONGLONG before = GetTickCount64();
    EXPECT_TRUE(s::ffmpeg::removeRetrying(partial.c_str()));
    EXPECT_LT(GetTickCount64() - before, 1000u);
    EXPECT_FALSE(fileExists(partial));
}

TEST_F(ExternalRunner, EndOfTheChildEndsTheRunWhileItsHelperHoldsThePipe) {
    const std::wstring grandchildId = scratch.file(L"grandchild.pid");
    // The helper inherits the pipe's write end and sleeps a minute.
    command = standIn(L"-c \"" + grandchildId + L"\" -e \"done\\r\\n\" -x 0");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(run(), 0);
    EXPECT_LT(GetTickCount64() - start, 10000u);
    EXPECT_NE(logged().find(L"done"), std::wstring::npos);
    EXPECT_TRUE(fileExists(grandchildId));
    EXPECT_FALSE(processRunning(grandchildId)) << "left-overs of the run are ended with it";
}

TEST(OutputCleanup, RemovalWaitsForAFileToBeReleased) {
    ScratchFolder scratch;
    const std::wstring held = scratch.file(L"held.mp3");
    ASSERT_TRUE(testsupport::writeRaw(held, "partial"));
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

class ExternalRunnerWithFfmpeg : public RunFixture {
protected:
    // Runs ffmpeg.exe in the scratch folder.
    void ffmpeg(const std::wstring& arguments) {
        command = L"\"" + std::wstring(FFMPEG_TOOLS_DIR) + L"\\ffmpeg.exe\" -hide_banner " + arguments;
        workingDirectory = scratch.path().c_str();
    }
};

} // namespace

TEST_F(ExternalRunnerWithFfmpeg, ConversionReportsProgressToTheEnd) {
    RecordingHost host(false, log);
    durationMs = 3000;
    ffmpeg(L"-f lavfi -i sine=frequency=440:duration=3 -y out.wav");
    EXPECT_EQ(run(&host), 0) << logged();
    EXPECT_TRUE(fileExists(scratch.file(L"out.wav")));
    ASSERT_FALSE(host.reports.empty());
    EXPECT_EQ(host.reports.back().total, 3000);
    EXPECT_EQ(host.reports.back().position, 3000);
    const std::wstring text = logged();
    EXPECT_EQ(text.find(L"[FFmpeg Output]:\n"), 0u) << text;
    EXPECT_NE(text.find(L"Output #0, wav"), std::wstring::npos) << text;
    EXPECT_EQ(text.find(L"time="), std::wstring::npos) << text;
}

TEST_F(ExternalRunnerWithFfmpeg, MissingInputFails) {
    ffmpeg(L"-i missing.wav -y out.mp3");
    EXPECT_EQ(run(), 1);
    EXPECT_NE(logged().find(L"missing.wav"), std::wstring::npos) << logged();
    EXPECT_FALSE(fileExists(scratch.file(L"out.mp3")));
}

// An ffmpeg.exe copied without the DLLs it needs: the loader's reason, nothing written.
TEST_F(ExternalRunnerWithFfmpeg, WithoutItsLibrariesItDoesNotStart) {
    const std::wstring lonely = scratch.file(L"ffmpeg.exe");
    ASSERT_TRUE(CopyFileW((std::wstring(FFMPEG_TOOLS_DIR) + L"\\ffmpeg.exe").c_str(), lonely.c_str(), FALSE));
    command = L"\"" + lonely + L"\" -f lavfi -i sine=duration=1 -y out.wav";
    workingDirectory = scratch.path().c_str();
    EXPECT_EQ(run(), 5) << logged();
    EXPECT_NE(std::wstring(startFailure->c_str()).find(L"(system error 126)"), std::wstring::npos)
        << startFailure->c_str();
    EXPECT_FALSE(fileExists(scratch.file(L"out.wav")));
}

// The judge of outputs without the libraries: one decoded frame of the first audio stream.
TEST_F(ExternalRunnerWithFfmpeg, JudgeFindsDecodableAudio) {
    ffmpeg(L"-v error -f lavfi -i sine=duration=1 -f lavfi -i color=c=blue:s=64x48:d=1 -map 0:a tone.wav "
           L"-map 0:a -c:a libmp3lame tone.mp3 -map 1:v -frames:v 1 cover.jpg");
    ASSERT_EQ(run(), 0) << logged();
    testsupport::writeRaw(scratch.file(L"notes.mp3"), "Milk, bread, not sound.\r\n");
    testsupport::writeRaw(scratch.file(L"id3-only.mp3"), std::string("ID3\x03\x00\x00\x00\x00\x07\x69", 10) + std::string(1001, '\0'));
    testsupport::writeRaw(scratch.file(L"empty.wav"), "");
    const struct {
        const wchar_t* name;
        bool holds;
    } cases[] = {{L"tone.wav", true},    {L"tone.mp3", true},  {L"notes.mp3", false}, {L"id3-only.mp3", false},
                 {L"cover.jpg", false},  {L"empty.wav", false}, {L"missing.wav", false}};
    const std::wstring program = std::wstring(FFMPEG_TOOLS_DIR) + L"\\ffmpeg.exe";
    for (const auto& c : cases) {
        EXPECT_EQ(s::ffmpeg::externalDecodesAudio(program.c_str(), scratch.file(c.name).c_str(), nullptr, 20000,
                                                  nullptr),
                  c.holds)
            << testing::PrintToString(std::wstring(c.name));
    }
}

TEST_F(ExternalRunnerWithFfmpeg, CancelStopsARunningConversion) {
    const std::wstring output = scratch.file(L"endless.wav");
    RecordingHost host;
    // An endless source read in real time: it never ends by itself.
    ffmpeg(L"-re -f lavfi -i sine=frequency=440 -y endless.wav");
    const Cancelled r = runAndCancel(output, &host);
    ASSERT_TRUE(r.ready) << logged();
    EXPECT_EQ(r.status, 2);
    EXPECT_LT(r.latency, 1500u);
    EXPECT_TRUE(s::ffmpeg::removeRetrying(output.c_str()));
    EXPECT_FALSE(fileExists(output));
}
#endif
