#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ProbedMedia.h"
#include "RunnerTestSupport.h"
#include "support/ChildProcess.h"
#include "support/JobHost.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLocator.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "engine/sound/ffmpeg/ITaskbarProgress.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "engine/sound/ffmpeg/VideoPresets.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "system/reg/win/RegDir.h"
#include "system/system/win/OsFacts.h"
#ifdef FFMPEG_TOOLS_DIR
#include "support/FfmpegTools.h"
#endif

using s::ffmpeg::FfmpegLocator;
using s::sound::ffmpeg::CommandBuilder;
using s::sound::ffmpeg::IJobDialog;
using s::sound::ffmpeg::ITaskbarProgress;
using s::sound::ffmpeg::JobLoop;
using s::sound::ffmpeg::VideoPresets;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::str::strbuffer::StrBuffer;
using s::reg::win::RegDir;
using s::system::win::OsFacts;
using testsupport::readRaw;
using testsupport::writeRaw;

namespace {

// The converter dialog as the loop sees it, recording every event, taskbar call and
// flag in one sequence.
class RecordingDialog : public testsupport::JobHost, public ITaskbarProgress {
public:
    struct Event {
        std::wstring name;
        intptr_t value1, value2;
        std::wstring text;
        // "ReportError" carries paths in its values.
        std::wstring input, output;
        // Whether the output was there when the box would show.
        bool outputThere;
        std::wstring reason;
    };

    ~RecordingDialog() override {
        for (std::thread& t : droppers_) t.join();
    }

    void setCurrentIndex(int32_t index) override { trail.push_back(L"index " + std::to_wstring(index)); }
    void setLastFileSucceeded(bool ok) override { trail.push_back(ok ? L"succeeded" : L"failed"); }
    void setExternalRun(bool isExternal) override { trail.push_back(isExternal ? L"external" : L"in-process"); }

    intptr_t sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) override {
        // Listeners compare names by identity: only the shared constants may come.
        EXPECT_TRUE(name == s::sound::ffmpeg::EVENT_PROCESS_STATUS_START ||
                    name == s::sound::ffmpeg::EVENT_PROCESS_STATUS_UPDATE ||
                    name == s::sound::ffmpeg::EVENT_PROCESS_STATUS_END ||
                    name == s::sound::ffmpeg::EVENT_REPORT_ERROR);
        Event e{name, value1, value2, text != nullptr ? text : L"", L"", L"", false, L""};
        if (e.name == L"ReportError") {
            e.input = reinterpret_cast<const wchar_t*>(value1);
            e.output = reinterpret_cast<const wchar_t*>(value2);
            e.outputThere = GetFileAttributesW(e.output.c_str()) != INVALID_FILE_ATTRIBUTES;
            e.reason = failureReason;
        }
        events.push_back(e);
        trail.push_back(e.name);
        if (dropWhileDelivering) dropFromWindowThread();
        return 0;
    }
    int32_t updateWorkerPriority(bool forceDefault) override {
        trail.push_back(forceDefault ? L"priority default" : L"priority");
        return 1;
    }
    bool wantsIdlePriority() override { return false; }
    ITaskbarProgress* taskbar() override { return this; }

    void taskbarStart() override { trail.push_back(L"taskbar start"); }
    void taskbarProgress(int32_t total, int32_t done) override { bars.push_back({total, done}); }
    void taskbarEnd() override { trail.push_back(L"taskbar end"); }

    // What a drop of files does on the window's thread while the worker waits for the
    // event: take the queue lock and add to the queue. Gives up after two seconds.
    void dropFromWindowThread() {
        auto done = std::make_shared<std::atomic<bool>>(false);
        droppers_.emplace_back([this, done] {
            lockQueue();
            done->store(true);
            unlockQueue();
        });
        const ULONGLONG start = GetTickCount64();
        while (!done->load() && GetTickCount64() - start < 2000) Sleep(1);
        if (!done->load()) ++blockedDrops;
    }

    size_t updatesFor(const std::wstring& name) const {
        return std::count_if(events.begin(), events.end(),
                             [&](const Event& e) { return e.name == L"ProcessStatusUpdate" && e.text == name; });
    }
    const Event* reportError() const {
        for (const Event& e : events)
            if (e.name == L"ReportError") return &e;
        return nullptr;
    }

    std::vector<Event> events;
    std::vector<std::wstring> trail;
    std::vector<std::pair<int32_t, int32_t>> bars;
    bool dropWhileDelivering = false;
    int blockedDrops = 0;

private:
    std::vector<std::thread> droppers_;
};

// The in-process road's stand-in: reports progress like the real one, answers a chosen
// status and keeps each run's pass and folder.
int32_t inProcessStatus = 0;
const char* inProcessWrites = nullptr;  // what the run writes to its output; null: nothing
std::vector<std::pair<int32_t, std::wstring>> inProcessRuns;
int32_t fakeInProcess(const wchar_t* command, int32_t pass, double, const wchar_t* workingDirectory, int64_t,
                      IJobDialog* owner, const wchar_t* outputName, const std::atomic<uint8_t>*) {
    EXPECT_EQ(std::wstring(command).rfind(L"ffmpeg ", 0), 0u) << command;
    inProcessRuns.push_back({pass, workingDirectory});
    if (inProcessWrites != nullptr) {
        writeRaw(std::wstring(workingDirectory) + L"\\" + outputName, inProcessWrites);
    }
    owner->reportProgress(1000, 500, outputName);
    return inProcessStatus;
}
int boxesShown = 0;
int WINAPI countBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    ++boxesShown;
    return IDOK;
}
// The judge of audio: a file holding exactly this has none (empty: every file has).
std::string silentContent;
bool fakeAudioCheck(const wchar_t* path) {
    return silentContent.empty() || readRaw(path) != silentContent;
}
bool bound() { return true; }
bool unbound() { return false; }
void noSleep(uint32_t) {}

// Where ffmpeg.exe is found: the stand-in as the program's own copy, as an installed
// copy, or nowhere.
enum class Ffmpeg { Bundled, Installed, None };

class JobLoopTest : public testing::Test {
protected:
    JobLoopTest() {
        dialog.folder = scratch.file(L"out");
        dialog.job.formatId = 18;  // mp3
        program = scratch.file(L"program");
        CreateDirectoryW(program.c_str(), nullptr);
        key = L"Software\\BrisqueltonJobLoopTest-" + std::to_wstring(GetCurrentProcessId());
        userKey = key + L"\\User";
        sources = {program.c_str(), HKEY_CURRENT_USER, userKey.c_str(), HKEY_CURRENT_USER, key.c_str(), key.c_str()};
        OsFacts::Facts facts = OsFacts::derive(6, 1, 7601, true, false);
        facts.is64BitOs = true;
        OsFacts::inject(&facts);
        CommandBuilder::setSleepFunction(&noSleep);
        JobLoop::setLibrariesBoundCheck(&unbound);
        JobLoop::setInProcessRunner(nullptr);
        JobLoop::setAudioCheck(&fakeAudioCheck);
        silentContent.clear();
        inProcessWrites = nullptr;
        ffmpeg(Ffmpeg::Bundled);
    }
    ~JobLoopTest() override {
        SetEnvironmentVariableW(L"STANDIN_STEPS", nullptr);
        s::thread::Held<RegDir>(RegDir::create(HKEY_CURRENT_USER, key.c_str()))->remove(true);
        FfmpegLocator::inject(nullptr);
        OsFacts::inject(nullptr);
        CommandBuilder::setSleepFunction(nullptr);
        JobLoop::setLibrariesBoundCheck(nullptr);
        JobLoop::setInProcessRunner(nullptr);
        JobLoop::setAudioCheck(nullptr);
    }

    void ffmpeg(Ffmpeg where, const std::wstring& exe = L"") {
        const std::wstring from = exe.empty() ? testsupport::programFolder() + L"\\engine_standin.exe" : exe;
        DeleteFileW((program + L"\\optional_tools\\ffmpeg.exe").c_str());
        s::thread::Held<RegDir>(RegDir::create(HKEY_CURRENT_USER, key.c_str()))->remove(true);
        if (where == Ffmpeg::Bundled) {
            CreateDirectoryW((program + L"\\optional_tools").c_str(), nullptr);
            CopyFileW(from.c_str(), (program + L"\\optional_tools\\ffmpeg.exe").c_str(), FALSE);
        } else if (where == Ffmpeg::Installed) {
            CreateDirectoryW(scratch.file(L"install").c_str(), nullptr);
            CreateDirectoryW(scratch.file(L"install\\bin").c_str(), nullptr);
            CopyFileW(from.c_str(), scratch.file(L"install\\bin\\ffmpeg.exe").c_str(), FALSE);
            s::thread::Held<RegDir> user(RegDir::create(HKEY_CURRENT_USER, userKey.c_str()));
            user->setString(L"InstallLocation", scratch.file(L"install").c_str());
            user->setString(L"VersionMajor", L"5");
            user->setString(L"VersionMinor", L"1");
        }
        FfmpegLocator::inject(&sources);
    }

    // The stand-in's steps for every ffmpeg.exe the loop starts.
    static void steps(const wchar_t* script) { SetEnvironmentVariableW(L"STANDIN_STEPS", script); }
    // A queued input in the scratch folder.
    std::wstring input(const wchar_t* name) {
        const std::wstring path = scratch.file(name);
        writeRaw(path, "RIFF");
        dialog.queue.push_back(path);
        return path;
    }
    std::wstring out(const wchar_t* name) const { return dialog.folder + L"\\" + name; }
    void run() { JobLoop::runQueue(&dialog); }

    ScratchFolder scratch;
    RecordingDialog dialog;
    std::wstring program, key, userKey;
    FfmpegLocator::Sources sources{};
};

bool contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

} // namespace

TEST_F(JobLoopTest, BatchSendsItsEventsInOrder) {
    steps(L"-t|00:00:00.50|-w|-x|0");
    input(L"a.wav");
    dialog.queue.push_back(scratch.file(L"missing.wav"));  // skipped without a word
    const std::wstring b = input(L"My b.wav");
    // The window's thread takes the queue lock for drops while it handles each event.
    dialog.dropWhileDelivering = true;
    run();

    EXPECT_EQ(dialog.blockedDrops, 0);
    // Per file: the bar starts over when the output is named and again when its command
    // is built, then follows the progress lines; the file of unknown length (nothing
    // probed) stands at 1 of 1.
    const std::vector<std::wstring> file = {L"ProcessStatusUpdate", L"priority", L"external",
                                            L"ProcessStatusUpdate", L"priority", L"ProcessStatusUpdate",
                                            L"priority", L"succeeded"};
    std::vector<std::wstring> expected = {L"taskbar start", L"ProcessStatusStart", L"priority", L"index 1"};
    expected.insert(expected.end(), file.begin(), file.end());
    expected.insert(expected.end(), {L"index 2", L"index 3"});
    expected.insert(expected.end(), file.begin(), file.end());
    expected.insert(expected.end(), {L"priority default", L"taskbar end", L"ProcessStatusEnd"});
    EXPECT_EQ(dialog.trail, expected) << dialog.log->c_str();
    EXPECT_EQ(readRaw(out(L"a.mp3")), "converted");
    EXPECT_EQ(readRaw(out(L"My b.mp3")), "converted");
    // ffmpeg.exe is given the output by its exact name, quoted.
    EXPECT_TRUE(contains(dialog.log->c_str(), L" \"" + out(L"My b.mp3") + L"\"")) << dialog.log->c_str();
    EXPECT_EQ(readRaw(b), "RIFF");
    EXPECT_FALSE(fileExists(out(L"missing.mp3")));
    std::vector<std::pair<intptr_t, intptr_t>> updates;
    for (const RecordingDialog::Event& e : dialog.events) {
        if (e.name == L"ProcessStatusUpdate") {
            updates.push_back({e.value1, e.value2});
            EXPECT_TRUE(e.text == L"a.mp3" || e.text == L"My b.mp3") << e.text;
        } else {
            EXPECT_EQ(e.value1, 0);
            EXPECT_EQ(e.value2, 0);
        }
    }
    EXPECT_EQ(updates, (std::vector<std::pair<intptr_t, intptr_t>>{{100, 0}, {100, 0}, {1, 1}, {100, 0}, {100, 0}, {1, 1}}));
    EXPECT_EQ(dialog.bars, (std::vector<std::pair<int32_t, int32_t>>{{100, 0}, {100, 0}, {1, 1}, {100, 0}, {100, 0}, {1, 1}}));
}

TEST_F(JobLoopTest, EachRoadEndsTheFileAsItsRunDid) {
    struct Case {
        bool bound;
        Ffmpeg ffmpeg;
        const wchar_t* steps;  // of ffmpeg.exe
        int32_t inProcess;     // what the in-process road answers
        uint8_t twoPass;
        std::vector<int32_t> inProcessPasses;
        bool retried;
        const wchar_t* reported;  // the status "ReportError" carries; null: none
        const char* output;       // null: no output left
        const wchar_t* logged;
    } cases[] = {
        // The program's own ffmpeg.exe is taken first.
        {true, Ffmpeg::Bundled, L"-w|-x|0", 0, 0, {}, false, nullptr, "converted", L"[FFmpeg Command]:\n"},
        {true, Ffmpeg::Bundled, L"-x|0", 0, 0, {}, false, nullptr, "", L""},  // what it wrote, even nothing
        {true, Ffmpeg::Bundled, L"-e|Unknown encoder\\r\\n|-w|-x|1", 0, 0, {}, false, L"1", nullptr,
         L"[FFmpeg Output]:\nUnknown encoder"},
        {true, Ffmpeg::Bundled, L"-x|2", 0, 0, {}, false, L"1", nullptr, L""},  // its exit code 2 is no cancel
        // One whose loader ends it (a DLL missing): the system's reason, no retry.
        {true, Ffmpeg::Bundled, L"-x|-1073741515", 0, 0, {}, false, L"5", nullptr,
         L"[FFmpeg]: the external tool ffmpeg.exe could not be started: "},
        // Else the in-process road, retried once by an installed ffmpeg.exe.
        {true, Ffmpeg::Installed, L"-x|1", 0, 0, {0}, false, nullptr, "", L"[FFmpeg Command]:\nffmpeg "},
        {true, Ffmpeg::Installed, L"-w|-x|0", 1, 0, {0}, true, nullptr, "converted", L""},
        {true, Ffmpeg::Installed, L"-e|second try failed\\r\\n|-x|1", 1, 0, {0}, true, L"1", nullptr,
         L"second try failed"},
        {true, Ffmpeg::None, L"", 1, 0, {0}, false, L"1", nullptr, L""},
        {true, Ffmpeg::Installed, L"-w|-x|0", 3, 0, {0}, false, L"3", nullptr, L""},  // the dialog explains 3, 4
        {true, Ffmpeg::Installed, L"-w|-x|0", 4, 0, {0}, false, L"4", nullptr, L""},
        {true, Ffmpeg::Installed, L"-x|1", 0, 1, {1, 2}, false, nullptr, "", L"-pass 2"},
        {true, Ffmpeg::Installed, L"-x|1", 1, 1, {1}, true, L"1", nullptr, L"-pass 1"},
        // Unbound libraries are never asked: nothing probed, nothing run in-process.
        {false, Ffmpeg::Installed, L"-w|-x|0", 0, 0, {}, false, nullptr, "converted", L"Number of Streams: 0"},
        {false, Ffmpeg::None, L"", 0, 0, {}, false, L"1", nullptr, L"no usable ffmpeg.exe"},
    };
    JobLoop::setInProcessRunner(&fakeInProcess);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bound << " " << c.steps << " " << c.inProcess);
        RecordingDialog d;
        d.folder = dialog.folder;
        d.job.formatId = 18;
        d.job.twoPass = c.twoPass;
        const std::wstring in = scratch.file(L"song.wav");
        writeRaw(in, "RIFF");
        d.queue.push_back(in);
        JobLoop::setLibrariesBoundCheck(c.bound ? &bound : &unbound);
        ffmpeg(c.ffmpeg);
        steps(c.steps);
        inProcessRuns.clear();
        inProcessStatus = c.inProcess;
        JobLoop::runQueue(&d);

        std::vector<int32_t> passes;
        for (const auto& run : inProcessRuns) {
            passes.push_back(run.first);
            // Passes of two run in their own folder, gone afterwards.
            EXPECT_EQ(run.second == out(L"Pass1.TMP~"), c.twoPass != 0) << run.second;
        }
        EXPECT_EQ(passes, c.inProcessPasses);
        // In-process progress reaches the window like any other.
        const bool progressed = std::any_of(d.events.begin(), d.events.end(), [](const RecordingDialog::Event& e) {
            return e.value1 == 1000 && e.value2 == 500 && e.text == L"song.mp3";
        });
        EXPECT_EQ(progressed, !passes.empty());
        EXPECT_FALSE(fileExists(out(L"Pass1.TMP~")));
        // With no road at all the file fails before one is chosen.
        const bool noRoad = !c.bound && c.ffmpeg == Ffmpeg::None;
        EXPECT_EQ(d.trail[6], noRoad ? L"ReportError" : passes.empty() ? L"external" : L"in-process");
        const std::wstring log = d.log->c_str();
        EXPECT_TRUE(contains(log, c.logged)) << log;
        EXPECT_EQ(contains(log, JobLoop::DEBUG_MODE_LINE), c.retried) << log;
        if (c.retried) {
            // Both attempts stay in the log, the second through ffmpeg.exe.
            const size_t marker = log.find(JobLoop::DEBUG_MODE_LINE);
            EXPECT_NE(log.find(L"[Input Path]: ", marker), std::wstring::npos) << log;
            EXPECT_NE(log.find(L"[FFmpeg Command]:\n", marker), std::wstring::npos) << log;
            EXPECT_EQ(log.find(L"[FFmpeg Command]:\nffmpeg ", marker), std::wstring::npos) << log;
        }
        const RecordingDialog::Event* error = d.reportError();
        ASSERT_EQ(error != nullptr, c.reported != nullptr);
        if (error != nullptr) {
            EXPECT_EQ(error->text, c.reported);
            EXPECT_EQ(error->input, in);
            EXPECT_EQ(error->output, out(L"song.mp3"));
            EXPECT_FALSE(error->outputThere);  // gone before the box shows
            EXPECT_EQ(error->reason.find(L"(system error 126)") != std::wstring::npos, error->text == L"5")
                << error->reason;
            EXPECT_EQ(readRaw(out(L"_error.txt")).find("####### Going into Debug Mode #######") != std::string::npos,
                      c.retried);
        }
        EXPECT_EQ(fileExists(out(L"song.mp3")), c.output != nullptr);
        if (c.output != nullptr) {
            EXPECT_EQ(readRaw(out(L"song.mp3")), c.output);
        }
        EXPECT_EQ(d.trail[d.trail.size() - 4], c.output != nullptr ? L"succeeded" : L"failed");
        EXPECT_EQ(d.trail.back(), L"ProcessStatusEnd");
        DeleteFileW(out(L"song.mp3").c_str());
        DeleteFileW(out(L"_error.txt").c_str());
    }
}

// Each input is opened by its exact name, a name ending in a dot or a blank too, and each
// output numbered before its extension, beside a folder of its name too.
TEST_F(JobLoopTest, EveryFileIsNamedExactly) {
    steps(L"-w|-x|0");
    CreateDirectoryW(dialog.folder.c_str(), nullptr);
    CreateDirectoryW(out(L"x.mp3").c_str(), nullptr);
    const struct {
        const wchar_t* input;
        const wchar_t* output;
    } files[] = {{L"x.wav", L"x (1).mp3"},         {L"end.wav", L"end.mp3"},   {L"end.wav.", L"end.wav.mp3"},
                 {L"lonely.wav.", L"lonely.wav.mp3"}, {L"sp.wav", L"sp.mp3"}, {L"sp.wav ", L"sp (1).mp3"}};
    for (const auto& f : files) {
        writeRaw(L"\\\\?\\" + scratch.file(f.input), "RIFF");
        dialog.queue.push_back(scratch.file(f.input));
    }
    run();
    const std::wstring log = dialog.log->c_str();
    for (const auto& f : files) {
        SCOPED_TRACE(testing::Message() << f.output);
        EXPECT_EQ(readRaw(out(f.output)), "converted");
        EXPECT_EQ(readRaw(L"\\\\?\\" + scratch.file(f.input)), "RIFF");
    }
    EXPECT_EQ(std::count(dialog.trail.begin(), dialog.trail.end(), L"succeeded"), 6);
    // The log holds the last file's command.
    EXPECT_TRUE(contains(log, L" -i \"\\\\?\\" + scratch.file(L"sp.wav ") + L"\" -y")) << log;
    EXPECT_EQ(GetFileAttributesW(out(L"x.mp3").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

// An ffmpeg.exe child starts in a short folder whatever the output's folder.
TEST_F(JobLoopTest, ChildStartsInAShortFolder) {
    steps(L"-d|-w|-x|0");
    dialog.folder = scratch.file((std::wstring(150, L'o') + L"\\" + std::wstring(160, L'p')).c_str());
    input(L"a.wav");
    run();
    EXPECT_EQ(readRaw(out(L"a.mp3")), "converted");
    EXPECT_TRUE(contains(dialog.log->c_str(), L"folder:" + program + L"\\optional_tools")) << dialog.log->c_str();
}

// A success is an output that holds audio, on every road, the libraries bound or not;
// the input is asked only for headerless samples. A failed check is a failure like any
// other: logged, reported, the output removed.
TEST_F(JobLoopTest, ASoundJobSucceedsByItsOutput) {
    const struct {
        const char* what;
        bool bound;
        Ffmpeg ffmpeg;
        const char* input;
        const char* silent;  // the content the judge finds without audio
        const char* logged;  // null: a success
        int32_t formatId = 18;
    } cases[] = {
        // An input the judge cannot read that the run converted well.
        {"external, input judged silent", true, Ffmpeg::Bundled, "silent", "silent", nullptr},
        {"external, silent output", true, Ffmpeg::Bundled, "RIFF", "converted", "the output holds no decodable"},
        {"in-process, input judged silent", true, Ffmpeg::None, "silent", "silent", nullptr},
        {"in-process, silent output", true, Ffmpeg::None, "RIFF", "converted", "the output holds no decodable"},
        {"libraries not bound, silent output", false, Ffmpeg::Bundled, "RIFF", "converted",
         "the output holds no decodable"},
        {"libraries not bound, output holds audio", false, Ffmpeg::Bundled, "silent", "silent", nullptr},
        // Headerless samples cannot be probed: any byte of them counts.
        {"raw samples", true, Ffmpeg::Bundled, "RIFF", "converted", nullptr, 22},
        {"raw samples of a silent input", true, Ffmpeg::Bundled, "silent", "silent", "the input gives no", 22},
    };
    JobLoop::setInProcessRunner(&fakeInProcess);
    inProcessStatus = 0;
    inProcessWrites = "converted";
    steps(L"-w|-x|0");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingDialog d;
        d.folder = dialog.folder;
        d.job.formatId = c.formatId;
        const std::wstring output = out(c.formatId == 18 ? L"song.mp3" : L"song.raw");
        const std::wstring in = scratch.file(L"song.wav");
        writeRaw(in, c.input);
        d.queue.push_back(in);
        JobLoop::setLibrariesBoundCheck(c.bound ? &bound : &unbound);
        ffmpeg(c.ffmpeg);
        silentContent = c.silent;
        JobLoop::runQueue(&d);
        EXPECT_EQ(fileExists(output), c.logged == nullptr);
        ASSERT_EQ(d.reportError() != nullptr, c.logged != nullptr);
        if (c.logged != nullptr) {
            EXPECT_EQ(d.reportError()->text, L"1");
            EXPECT_NE(readRaw(out(L"_error.txt")).find(c.logged), std::string::npos);
        }
        DeleteFileW(output.c_str());
        DeleteFileW(out(L"_error.txt").c_str());
    }
}

TEST_F(JobLoopTest, FailureLogGoesToTheNextFreeErrorFile) {
    steps(L"-e|Error while opening encoder\\r\\n|-x|1");
    const std::wstring in = input(L"Grüße.wav");
    CreateDirectoryW(dialog.folder.c_str(), nullptr);
    writeRaw(out(L"_error.txt"), "an earlier batch");
    writeRaw(out(L"Grüße.mp3"), "the user's");
    dialog.dropWhileDelivering = true;
    run();

    EXPECT_EQ(dialog.blockedDrops, 0);
    EXPECT_EQ(readRaw(out(L"_error.txt")), "an earlier batch");
    EXPECT_EQ(readRaw(out(L"Grüße.mp3")), "the user's");
    // The taken name got " (1)", and that partial output is gone again.
    EXPECT_FALSE(fileExists(out(L"Grüße (1).mp3")));
    ASSERT_NE(dialog.reportError(), nullptr);
    EXPECT_EQ(dialog.reportError()->output, out(L"Grüße (1).mp3"));
    EXPECT_EQ(dialog.updatesFor(L"Grüße (1).mp3"), 2u);

    const std::string saved = readRaw(out(L"_error (1).txt"));
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(dialog.errorLogName, L"_error (1).txt");
    EXPECT_NE(saved.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(saved.find("[Input Path]: "), 0u) << saved;
    EXPECT_NE(saved.find("Gr\xC3\xBC\xC3\x9F" "e.wav\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\n[FFmpeg Command]:\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("[FFmpeg Output]:\r\nError while opening encoder"), std::string::npos) << saved;
    // Every line break is CR LF.
    for (size_t i = saved.find('\n'); i != std::string::npos; i = saved.find('\n', i + 1)) {
        ASSERT_GT(i, 0u);
        EXPECT_EQ(saved[i - 1], '\r') << i;
    }
    EXPECT_EQ(readRaw(in), "RIFF");
}

// A folder that cannot take the output stops the file before any road runs: the
// in-process road is not called and no ffmpeg.exe is started, on the retry neither.
TEST_F(JobLoopTest, OutputThatCannotBeCreatedStopsTheFileBeforeAnyRun) {
    const auto previousBox = s::system::win::MessageBoxSeam::set(&countBox);
    JobLoop::setInProcessRunner(&fakeInProcess);
    writeRaw(scratch.file(L"plain"), "a file where the folder would be");
    const struct {
        bool bound;
        Ffmpeg ffmpeg;
        int boxes;
    } cases[] = {{true, Ffmpeg::Installed, 2}, {false, Ffmpeg::Installed, 1}, {true, Ffmpeg::Bundled, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bound << static_cast<int>(c.ffmpeg));
        RecordingDialog d;
        d.folder = scratch.file(L"plain\\out");
        d.job.formatId = 18;
        d.queue.push_back(scratch.file(L"song.wav"));
        writeRaw(d.queue.back(), "RIFF");
        JobLoop::setLibrariesBoundCheck(c.bound ? &bound : &unbound);
        ffmpeg(c.ffmpeg);
        steps(L"-w|-x|0");  // a started ffmpeg.exe would write the output
        inProcessRuns.clear();
        boxesShown = 0;
        JobLoop::runQueue(&d);
        EXPECT_TRUE(inProcessRuns.empty());
        EXPECT_EQ(boxesShown, c.boxes);
        ASSERT_NE(d.reportError(), nullptr);
        EXPECT_EQ(d.reportError()->text, L"1");
        EXPECT_TRUE(contains(d.log->c_str(), L"[Output Path]: Failed to create the output file.\n")) << d.log->c_str();
        EXPECT_FALSE(contains(d.log->c_str(), L"[FFmpeg Output]")) << d.log->c_str();
        EXPECT_EQ(readRaw(scratch.file(L"plain")), "a file where the folder would be");
    }
    s::system::win::MessageBoxSeam::set(previousBox);
}

TEST_F(JobLoopTest, CancelOfASilentChildEndsTheBatch) {
    steps(L"-w|-s|60000");
    input(L"first.wav");
    input(L"second.wav");
    std::atomic<ULONGLONG> cancelledAt{0};
    std::thread canceller([&] {
        waitForFile(out(L"first.mp3"), 20000);
        cancelledAt = GetTickCount64();
        dialog.cancel.store(1);
    });
    run();
    const ULONGLONG returnedAt = GetTickCount64();
    canceller.join();

    // The child was silent and would have slept a minute.
    EXPECT_LT(returnedAt - cancelledAt.load(), 2000u);
    EXPECT_FALSE(fileExists(out(L"first.mp3")));
    EXPECT_FALSE(fileExists(out(L"second.mp3")));
    EXPECT_EQ(dialog.updatesFor(L"second.mp3"), 0u);
    EXPECT_EQ(dialog.reportError(), nullptr);
    EXPECT_FALSE(fileExists(out(L"_error.txt")));
    EXPECT_EQ(dialog.trail[1], L"ProcessStatusStart");
    EXPECT_EQ(dialog.trail.back(), L"ProcessStatusEnd");
    EXPECT_NE(std::find(dialog.trail.begin(), dialog.trail.end(), L"failed"), dialog.trail.end());
}

#ifdef FFMPEG_TOOLS_DIR
TEST_F(JobLoopTest, RealFfmpegConvertsAndReportsProgress) {
    ffmpeg(Ffmpeg::Installed, std::wstring(FFMPEG_TOOLS_DIR) + L"\\ffmpeg.exe");
    // Its libraries beside it, as an installed add-on has them.
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((std::wstring(FFMPEG_TOOLS_DIR) + L"\\*.dll").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        CopyFileW((std::wstring(FFMPEG_TOOLS_DIR) + L"\\" + found.cFileName).c_str(),
                  scratch.file((std::wstring(L"install\\bin\\") + found.cFileName).c_str()).c_str(), FALSE);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    // A real input, made by ffmpeg.exe itself.
    const std::wstring wav = scratch.file(L"tone.wav");
    ASSERT_TRUE(testsupport::makeMedia(L"-f lavfi -i sine=duration=2 \"" + wav + L"\"", scratch.path()));
    dialog.queue.push_back(wav);
    dialog.queue.push_back(scratch.file(L"broken.wav"));
    writeRaw(scratch.file(L"broken.wav"), "not a sound");
    // The libraries are not bound: ffmpeg.exe itself judges the outputs.
    JobLoop::setAudioCheck(nullptr);
    run();

    EXPECT_GT(readRaw(out(L"tone.mp3")).size(), 1000u);
    // Unbound libraries: no probe, so the bar's total is the file's unknown length.
    EXPECT_GT(dialog.updatesFor(L"tone.mp3"), 2u);
    ASSERT_NE(dialog.reportError(), nullptr);
    EXPECT_EQ(dialog.reportError()->output, out(L"broken.mp3"));
    EXPECT_FALSE(fileExists(out(L"broken.mp3")));
    const std::string saved = readRaw(out(L"_error.txt"));
    EXPECT_NE(saved.find("[FFmpeg Output]:\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("broken"), std::string::npos) << saved;
}
#endif

// Video jobs: the probe a test gives each input by its name.
namespace {

s::video::VideoInfo* probedVideo(const wchar_t* path) {
    s::video::VideoInfo* info = s::video::VideoInfo::pool();
    const std::wstring name = path;
    const bool flv = name.find(L"old.flv") != std::wstring::npos;
    const bool tv = name.find(L"tv.mpg") != std::wstring::npos;
    info->duration = name.find(L"endless") != std::wstring::npos ? -1 : 60000000;
    info->width = tv ? 720 : 1920;
    info->height = tv ? 576 : 1080;
    info->formatName.assign(flv ? L"flv" : tv ? L"mpeg" : L"matroska,webm");
    s::video::StreamInfo* video = videoStream(flv ? L"flv" : tv ? L"mpeg2video" : L"h264");
    video->realFrameRateNum = 25;
    video->realFrameRateDen = 1;
    addStream(info, video);
    addStream(info, flv ? audioStream(L"mp3", 86017, 44100, 2, 128000)
                   : tv ? audioStream(L"mp2", 86016, 48000, 2, 192000)
                        : audioStream(L"aac", 86018, 48000, 2, 128000));
    return info;
}

} // namespace

TEST_F(JobLoopTest, VideoJobsAreNamedAndRoutedByTheirPreset) {
    const struct {
        const char* what;
        const wchar_t* input;
        int32_t outputId, formatId, videoQuality, audioQuality;
        int32_t width, height;
        uint8_t twoPass;
        int64_t testStart, testLength;
        Ffmpeg ffmpeg;
        const wchar_t* output;
        std::vector<int32_t> inProcessPasses;  // empty: the run went to ffmpeg.exe
        const wchar_t* logged;
    } rows[] = {
        {"size, codec and sound tags", L"clip.mkv", 10020, 19, 0, 0, 854, 480, 0, 0, 0, Ffmpeg::None,
         L"clip.480p.x264.aac.mp4", {0}, L"-vcodec libx264"},
        {"libx264 goes to an installed ffmpeg.exe", L"clip.mkv", 10020, 19, 0, 0, 854, 480, 0, 0, 0, Ffmpeg::Installed,
         L"clip.480p.x264.aac.mp4", {}, L"-vcodec libx264"},
        {"so does Xvid", L"clip.mkv", 10503, 0, 5, 0, 0, 0, 0, 0, 0, Ffmpeg::Installed, L"clip.xvid.avi", {},
         L"-vcodec mpeg4 -vtag xvid"},
        {"MPEG-4 stays in this process", L"clip.mkv", 10003, 0, 5, 0, 0, 0, 0, 0, 0, Ffmpeg::Installed,
         L"clip.mpeg4.avi", {0}, L"-vcodec mpeg4"},
        {"copies are named after the source's codecs and run once", L"clip.mkv", 10005, 5, 101, 100, 0, 0, 1, 0, 0,
         Ffmpeg::None, L"clip.x264.aac.mkv", {0}, L"-vcodec copy"},
        {"two passes of a re-encode", L"clip.mkv", 10005, 5, 5, 100, 0, 0, 1, 0, 0, Ffmpeg::None,
         L"clip.mpeg4.aac.mkv", {1, 2}, L"-pass 2"},
        {"same as an FLV source, Xvid family: one pass", L"old.flv", VideoPresets::SAME_AS_SOURCE_XVID, 0, 5, 0, 0, 0,
         1, 0, 0, Ffmpeg::None, L"old.x264.mp3.flv", {0}, L"-vcodec libx264"},
        {"MPEG-2 copied into a transport stream", L"tv.mpg", 10061, 17, 101, 0, 0, 0, 0, 0, 0, Ffmpeg::None,
         L"tv.mpeg2.mp2.ts", {0}, L"-vcodec copy"},
        {"a test encode", L"clip.mkv", 10001, 0, 5, 0, 0, 0, 0, 1, 5000, Ffmpeg::None, L"clip.mpeg4.=TEST=.3g2", {0},
         L" -t 00:00:05.000"},
        {"a test encode of a file of unknown length", L"endless.mkv", 10001, 0, 5, 0, 0, 0, 0, 1, 5000, Ffmpeg::None,
         L"endless.mpeg4.=TEST=.3g2", {0}, L"[Test Encode]: the input's length is not known"},
        {"a relative size has no height tag", L"clip.mkv", 10001, 0, 5, 0, 16384, 5000, 0, 0, 0, Ffmpeg::None,
         L"clip.mpeg4.3g2", {0}, L"-s 960x540"},
        {"an id without a preset", L"clip.mkv", 268435455, 0, 0, 0, 0, 0, 0, 0, 0, Ffmpeg::None, L"clip.avi", {0},
         L" -vn"},
    };
    JobLoop::setInProcessRunner(&fakeInProcess);
    JobLoop::setLibrariesBoundCheck(&bound);
    const JobLoop::ProbeFn previousProber = JobLoop::setProber(&probedVideo);
    steps(L"-w|-x|0");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RecordingDialog d;
        d.folder = dialog.folder;
        d.job.outputId = row.outputId;
        d.job.formatId = row.formatId;
        d.job.videoQuality = row.videoQuality;
        d.job.quality = row.audioQuality;
        d.job.width = row.width;
        d.job.height = row.height;
        d.job.twoPass = row.twoPass;
        d.job.testStart = row.testStart;
        d.job.testLength = row.testLength;
        const std::wstring in = scratch.file(row.input);
        writeRaw(in, "media");
        d.queue.push_back(in);
        ffmpeg(row.ffmpeg);
        inProcessRuns.clear();
        inProcessStatus = 0;
        JobLoop::runQueue(&d);

        std::vector<int32_t> passes;
        for (const auto& run : inProcessRuns) passes.push_back(run.first);
        EXPECT_EQ(passes, row.inProcessPasses);
        // Named before the run and again for each command.
        EXPECT_GE(d.updatesFor(row.output), 2u) << d.log->c_str();
        const std::wstring log = d.log->c_str();
        EXPECT_TRUE(contains(log, row.logged)) << log;
        EXPECT_EQ(contains(log, L" -t "), row.testLength > 0 && !contains(row.input, L"endless")) << log;
        // The batch's record is left as the dialog filled it.
        EXPECT_EQ(d.job.outputId, row.outputId);
        EXPECT_EQ(d.job.twoPass, row.twoPass);
        EXPECT_EQ(d.trail[d.trail.size() - 4], L"succeeded");
        DeleteFileW(out(row.output).c_str());
    }
    JobLoop::setProber(previousProber);
}

// Each file of a batch takes its own concrete preset from a same-as-source id.
TEST_F(JobLoopTest, SameAsSourceIsChosenAgainForEveryFile) {
    JobLoop::setInProcessRunner(&fakeInProcess);
    JobLoop::setLibrariesBoundCheck(&bound);
    const JobLoop::ProbeFn previousProber = JobLoop::setProber(&probedVideo);
    ffmpeg(Ffmpeg::None);
    dialog.job.outputId = VideoPresets::SAME_AS_SOURCE_MPEG4;
    dialog.job.formatId = 0;
    dialog.job.videoQuality = 5;
    input(L"clip.mkv");
    input(L"old.flv");
    input(L"tv.mpg");
    run();
    JobLoop::setProber(previousProber);

    EXPECT_EQ(dialog.updatesFor(L"clip.mpeg4.aac.mkv"), 3u);
    EXPECT_EQ(dialog.updatesFor(L"old.flv.mp3.flv"), 3u);
    EXPECT_EQ(dialog.updatesFor(L"tv.mpeg4.ac3.avi"), 3u);
    EXPECT_EQ(dialog.job.outputId, VideoPresets::SAME_AS_SOURCE_MPEG4);
}
