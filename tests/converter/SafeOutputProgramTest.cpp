// Brisquelton.exe converting what users really have: names whose short forms collide,
// blanks, dashes, ".mp3" in folder names, names ending in a dot or a blank, non-ASCII
// and long paths, inputs without audio, folders that take no files, and a file whose
// rate changes half-way; in-process and through an installed ffmpeg.exe. Every file the
// program did not make is watched: its size and time during the batch, its MD5 after it.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ConverterDriver.h"
#include "core/digest/md5/Md5.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "support/DamagedMedia.h"
#include "support/RealInput.h"
#include "support/Seams.h"

using namespace convtest;
using testsupport::narrow;

namespace {

// What a file is: size, write time and MD5.
struct FileState {
    int64_t size;
    uint64_t written;
    std::string md5;
    bool operator==(const FileState& o) const { return size == o.size && written == o.written && md5 == o.md5; }
};

// The form that names path exactly, a name ending in a dot or a blank too.
std::wstring exact(const std::wstring& path) {
    return L"\\\\?\\" + path;
}

std::string md5Of(const std::wstring& path) {
    const std::string bytes = testsupport::readRaw(exact(path));
    s::digest::md5::Md5* md5 = s::digest::md5::Md5::pool();
    md5->update(bytes.data(), bytes.size());
    md5->finish(nullptr);
    s::str::strbuffer::StrBuffer* hex = md5->toHex(nullptr, false);
    const std::string text = narrow(hex->c_str());
    hex->release();
    md5->release();
    return text;
}

// Size and write time only (cheap enough to poll during a batch).
FileState quickState(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(exact(path).c_str(), GetFileExInfoStandard, &data)) {
        return {-1, 0, ""};
    }
    return {(static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime,
            ""};
}

// Every file under root with its state.
std::map<std::wstring, FileState> snapshot(const std::wstring& root) {
    std::map<std::wstring, FileState> files;
    for (const std::wstring& name : listFolder(root)) {
        const std::wstring path = root + L"\\" + name;
        const DWORD attributes = GetFileAttributesW(exact(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            files.merge(snapshot(path));
        } else {
            files[path] = quickState(path);
            files[path].md5 = md5Of(path);
        }
    }
    return files;
}

// The files of after that before did not hold.
std::set<std::wstring> newFiles(const std::map<std::wstring, FileState>& before,
                                const std::map<std::wstring, FileState>& after) {
    std::set<std::wstring> added;
    for (const auto& entry : after) {
        if (before.count(entry.first) == 0) added.insert(entry.first);
    }
    return added;
}

double durationOf(const std::wstring& file) {
    const std::string text = probe(file)["format.duration"];
    return text.empty() ? -1.0 : std::stod(text);
}

// 8 kHz mono tone of the length.
void writeTone(const std::wstring& path, double seconds) {
    ASSERT_TRUE(writeWav(exact(path), 8000, 1, seconds, 0.3)) << narrow(path);
}

// A copy of the program with the third-party ffmpeg.exe installed in its
// "optional_tools", which sends every file to an ffmpeg.exe child; empty when it fails.
std::wstring programWithFfmpeg() {
    const std::wstring program = testsupport::freshTempFolder(L"safe-output-program");
    const std::wstring tools = program + L"\\optional_tools";
    CreateDirectoryW(tools.c_str(), nullptr);
    const std::pair<std::wstring, std::wstring> copies[] = {{testsupport::programFolder(), program},
                                                            {FFMPEG_TOOLS_DIR, tools}};
    bool copied = true;
    for (const auto& [from, to] : copies) {
        for (const std::wstring& name : listFolder(from)) {
            if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".dll") == 0) {
                copied = copied && CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
            }
        }
    }
    const std::wstring exe = L"\\Brisquelton.exe";
    copied = copied && CopyFileW((copies[0].first + exe).c_str(), (program + exe).c_str(), FALSE);
    copied = copied && CopyFileW(FFMPEG_TOOLS_DIR L"\\ffmpeg.exe", (tools + L"\\ffmpeg.exe").c_str(), FALSE);
    return copied ? program : L"";
}

// A started program and the batches it is given: every box is answered (and its text
// kept), the watched files' size and time are compared while the batch runs, and the
// ffmpeg.exe children it starts are noticed.
class Session {
public:
    explicit Session(const std::map<std::wstring, FileState>* watched = nullptr,
                     const std::wstring& program = testsupport::programFolder())
        : program_(program), watched_(watched) {}
    bool started() const { return program_.frame() != nullptr; }

    // Drops paths and waits until done() holds and the program is back at "Ready".
    template <class Done>
    bool run(const std::vector<std::wstring>& paths, Done done, DWORD ms = 120000) {
        if (!drop(program_.frame(), paths)) {
            return false;
        }
        for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(100)) {
            answerBoxes();
            watch();
            if (done() && showing(program_.frame(), L"Ready") != nullptr) {
                return true;
            }
        }
        return false;
    }
    const std::vector<std::wstring>& boxes() const { return boxes_; }
    bool running() const { return !program_.exited(0); }
    // Files that changed size or time while watched.
    const std::set<std::wstring>& touched() const { return touched_; }
    bool startedFfmpeg() const { return startedFfmpeg_; }

private:
    void answerBoxes() {
        std::wstring text;
        if (answerer_.step(program_.id(), &text) != nullptr) {
            boxes_.push_back(text);
        }
    }
    void watch() {
        HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(processes, &entry); more; more = Process32NextW(processes, &entry)) {
            startedFfmpeg_ = startedFfmpeg_ || (entry.th32ParentProcessID == program_.id() &&
                                                _wcsicmp(entry.szExeFile, L"ffmpeg.exe") == 0);
        }
        CloseHandle(processes);
        if (watched_ == nullptr) {
            return;
        }
        for (const auto& [path, state] : *watched_) {
            const FileState now = quickState(path);
            if (now.size != state.size || now.written != state.written) {
                touched_.insert(path);
            }
        }
    }

    Converter program_;
    const std::map<std::wstring, FileState>* watched_;
    std::vector<std::wstring> boxes_;
    testsupport::BoxAnswerer answerer_;
    std::set<std::wstring> touched_;
    bool startedFfmpeg_ = false;
};

const wchar_t CREATE_FAILED[] = L"Failed to create the output file.\r\nProblem in the file system permissions?";

// A folder that takes no new file. Under Wine a process of root writes into any folder
// whatever its Windows attribute or Unix mode says, so the file system's immutable flag
// is set through the Unix chattr (Wine starts Unix programs too). True when the folder
// then refuses (on) or takes (off) a new file.
bool setReadOnly(const std::wstring& folder, bool on) {
    typedef char*(CDECL * UnixName)(LPCWSTR);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(found));
    char* name = unixName != nullptr ? unixName(folder.c_str()) : nullptr;
    if (name == nullptr) {
        return false;
    }
    const std::string unixPath = name;
    HeapFree(GetProcessHeap(), 0, name);
    std::wstring command = std::wstring(L"Z:\\usr\\bin\\chattr ") + (on ? L"+i" : L"-i") + L" \"" +
                           std::wstring(unixPath.begin(), unixPath.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!testsupport::startProcess(command, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // The Unix program's end is not waited for: watch for its effect. Each probe is a new
    // name, since a probe made just before the flag took hold cannot be deleted after it.
    int attempt = 0;
    return waitFor(
        [&] {
            const std::wstring probePath = folder + L"\\probe-" + std::to_wstring(++attempt);
            HANDLE made = CreateFileW(probePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            const bool taken = made != INVALID_HANDLE_VALUE;
            if (taken) {
                CloseHandle(made);
                DeleteFileW(probePath.c_str());
            }
            return taken != on;
        },
        5000);
}

// ffmpeg.exe with its libraries (or without them) in the program's "optional_tools":
// the external road for as long as it lives.
class BundledFfmpeg {
public:
    explicit BundledFfmpeg(bool withLibraries = true) : folder_(testsupport::programFolder() + L"\\optional_tools") {
        CreateDirectoryW(folder_.c_str(), nullptr);
        for (const std::wstring& name : listFolder(FFMPEG_TOOLS_DIR)) {
            if (name == L"ffmpeg.exe" || (withLibraries && name.find(L".dll") != std::wstring::npos)) {
                const std::wstring to = folder_ + L"\\" + name;
                copied_.push_back(to);
                allCopied_ = CopyFileW((std::wstring(FFMPEG_TOOLS_DIR) + L"\\" + name).c_str(), to.c_str(), FALSE) &&
                             allCopied_;
            }
        }
    }
    ~BundledFfmpeg() {
        for (const std::wstring& file : copied_) DeleteFileW(file.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    bool installed() const { return allCopied_ && exists(folder_ + L"\\ffmpeg.exe"); }

private:
    std::wstring folder_;
    std::vector<std::wstring> copied_;
    bool allCopied_ = true;
};

class SafeOutputProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        Converter::prepare();
        root_ = testsupport::freshTempFolder(L"safe-output");
    }
    void TearDown() override {
        if (exists(root_ + L"\\read-only")) {
            setReadOnly(root_ + L"\\read-only", false);
        }
        testsupport::removeTree(root_);
        if (!program_.empty()) {
            testsupport::removeTree(program_);
        }
        apptest::deleteProductKey();
    }
    std::wstring folder(const std::wstring& relative) {
        std::wstring path = root_;
        size_t from = 0;
        for (size_t to; from <= relative.size(); from = to + 1) {
            to = relative.find(L'\\', from);
            if (to == std::wstring::npos) to = relative.size();
            path += L"\\" + relative.substr(from, to - from);
            CreateDirectoryW(path.c_str(), nullptr);
        }
        return path;
    }
    // Every file before, less those the program wrote, is as it was; the new files
    // are exactly made.
    void expectOnly(const std::map<std::wstring, FileState>& before, const std::set<std::wstring>& made) {
        const std::map<std::wstring, FileState> after = snapshot(root_);
        for (const auto& [path, state] : before) {
            const auto now = after.find(path);
            EXPECT_TRUE(now != after.end() && now->second == state) << "changed: " << narrow(path);
        }
        const std::set<std::wstring> added = newFiles(before, after);
        for (const std::wstring& path : added) {
            if (made.count(path) == 0) ADD_FAILURE() << "unexpected: " << narrow(path);
        }
        for (const std::wstring& path : made) {
            if (added.count(path) == 0) ADD_FAILURE() << "not written: " << narrow(path);
        }
    }

    std::wstring root_;
    std::wstring program_;  // a copy with ffmpeg.exe installed, when a test made one
};

// The short (8.3) name the system gives an existing path.
std::wstring shortName(const std::wstring& path) {
    wchar_t buffer[1024] = {};
    const DWORD n = GetShortPathNameW(path.c_str(), buffer, 1024);
    return n != 0 && n < 1024 ? std::wstring(buffer, n) : L"";
}

} // namespace

// Thirty inputs, each of its own length, among the user's files of the same names;
// first each folder's own, then all of them into the long folder with every odd trait at once.
TEST_F(SafeOutputProgramTest, ThirtyOddlyNamedFilesConvertToTheirOwnAudioAndNoOtherFileChanges) {
    const std::wstring pair = folder(L"pair");
    const std::wstring odd = folder(L"-lead dir.mp3 ö");
    const std::wstring deep = folder(std::wstring(110, L'L') + L"\\-" + std::wstring(110, L'M') + L" ü.mp3 x");
    ASSERT_GT(deep.size() + 20, 260u);
    struct Input {
        std::wstring folder, name;  // name without ".wav"
    };
    // "Track 18 - Finale" and "Track 04 - Intro" share one short name under Wine.
    std::vector<Input> inputs = {{pair, L"Track 18 - Finale"}, {pair, L"Track 04 - Intro"},
                                 {odd, L"song.mp3 remix"},     {odd, L"-x"},
                                 {odd, L"best.mp3 collection"}, {deep, L"long name ü"}};
    for (int i = 1; inputs.size() < 30; ++i) {
        inputs.push_back({pair, L"Track " + std::to_wstring(10 + i) + L" - Part " + std::to_wstring(i)});
    }
    std::map<std::wstring, double> lengths;
    for (size_t i = 0; i < inputs.size(); ++i) {
        const std::wstring path = inputs[i].folder + L"\\" + inputs[i].name + L".wav";
        lengths[path] = 0.5 + 0.5 * static_cast<double>(i);
        writeTone(path, lengths[path]);
    }
    // The user's own files with the names a wrong split or short name would hit.
    for (const std::wstring& own : {pair + L"\\Track 04 - Intro.mp3", odd + L"\\song.mp3", odd + L"\\best.mp3",
                                    odd + L"\\remix.wav", deep + L"\\long.mp3", deep + L"\\best.mp3"}) {
        ASSERT_TRUE(testsupport::writeRaw(own, "the user's own " + narrow(own)));
    }

    // The outputs of a drop go beside its first file: first each folder's files as one
    // drop, then all thirty as one drop led by the file in the long folder.
    std::vector<std::vector<Input>> beside(3);
    for (const Input& in : inputs) {
        beside[in.folder == pair ? 0 : in.folder == odd ? 1 : 2].push_back(in);
    }
    std::vector<Input> longFirst = inputs;
    std::rotate(longFirst.begin(), longFirst.begin() + 5, longFirst.begin() + 6);
    struct Phase {
        const char* what;
        std::vector<std::vector<Input>> drops;
    };
    const Phase phases[] = {{"beside the inputs", beside}, {"all into the long folder", {longFirst}}};
    for (const Phase& phase : phases) {
        SCOPED_TRACE(phase.what);
        Converter::prepare();
        const std::map<std::wstring, FileState> before = snapshot(root_);
        Session session(&before);
        ASSERT_TRUE(session.started());
        std::set<std::wstring> made;
        std::map<std::wstring, std::wstring> sourceOf;
        for (const std::vector<Input>& drop : phase.drops) {
            std::vector<std::wstring> paths, outputs;
            for (const Input& in : drop) {
                const std::wstring base = drop.front().folder + L"\\" + in.name;
                const std::wstring output = before.count(base + L".mp3") != 0 ? base + L" (1).mp3" : base + L".mp3";
                paths.push_back(in.folder + L"\\" + in.name + L".wav");
                outputs.push_back(output);
                made.insert(output);
                sourceOf[output] = paths.back();
            }
            ASSERT_TRUE(session.run(paths, [&] { return std::all_of(outputs.begin(), outputs.end(), exists); }))
                << narrow(paths.front()) << [&] {
                       std::string added;
                       for (const std::wstring& path : newFiles(before, snapshot(root_))) added += "\nnew: " + narrow(path);
                       return added;
                   }();
        }
        EXPECT_TRUE(session.boxes().empty()) << narrow(session.boxes().front());
        EXPECT_TRUE(session.touched().empty()) << narrow(*session.touched().begin());
        expectOnly(before, made);
        // An 8 kHz MP3 runs up to a quarter second longer (encoder delay, last frame):
        // each output is its own input's length, never a neighbour's half a second off.
        for (const std::wstring& output : made) {
            const double length = lengths[sourceOf[output]];
            const double got = durationOf(output);
            EXPECT_TRUE(got >= length && got < length + 0.25) << narrow(output) << ": " << got << " for " << length;
        }
    }
}

// Both roads convert each file by its exact name: inputs whose short names are the same,
// a user's file whose short name is the output's, names ending in a dot or a blank beside
// the names without, a folder named like the output, and an output folder longer than
// 300 characters. Each output is its own input's length; no other file changes.
TEST_F(SafeOutputProgramTest, BothRoadsConvertEachFileByItsExactName) {
    program_ = programWithFfmpeg();
    ASSERT_FALSE(program_.empty());
    const struct {
        const char* what;
        std::wstring program, folder;
        bool child;
    } roads[] = {{"in-process", testsupport::programFolder(), L"own", false},
                 {"ffmpeg.exe", program_, L"child", true}};
    for (const auto& road : roads) {
        SCOPED_TRACE(road.what);
        const std::wstring dir = folder(road.folder);
        const std::wstring deep =
            folder(road.folder + L"\\" + std::wstring(150, L'd') + L"\\" + std::wstring(150, L'e'));
        ASSERT_GT(deep.size(), 300u);
        // Inputs by name, with their outputs: a drop's outputs go beside its first file.
        const std::vector<std::vector<std::pair<std::wstring, std::wstring>>> drops = {
            {{dir + L"\\My Song 2118.wav", dir + L"\\My Song 2118.mp3"},
             {dir + L"\\My Song 3002.wav", dir + L"\\My Song 3002.mp3"},
             {dir + L"\\Holiday Song.wav", dir + L"\\Holiday Song.mp3"},
             {dir + L"\\end.wav", dir + L"\\end.mp3"},
             {dir + L"\\end.wav.", dir + L"\\end.wav.mp3"},
             {dir + L"\\lonely.wav.", dir + L"\\lonely.wav.mp3"},
             {dir + L"\\sp.wav", dir + L"\\sp.mp3"},
             {dir + L"\\sp.wav ", dir + L"\\sp (1).mp3"},
             {dir + L"\\x.wav", dir + L"\\x (1).mp3"}},
            {{deep + L"\\a.wav", deep + L"\\a.mp3"}}};
        std::map<std::wstring, double> lengths;
        for (const auto& drop : drops) {
            for (const auto& [input, output] : drop) {
                lengths[output] = 0.5 * static_cast<double>(lengths.size() + 1);
                writeTone(input, lengths[output]);
            }
        }
        ASSERT_EQ(shortName(dir + L"\\My Song 2118.wav"), shortName(dir + L"\\My Song 3002.wav"));
        const std::wstring holiday = dir + L"\\Holiday take 10331.mp3";
        ASSERT_TRUE(testsupport::writeRaw(dir + L"\\Holiday Song.mp3", ""));
        ASSERT_TRUE(testsupport::writeRaw(holiday, "the user's own"));
        ASSERT_EQ(shortName(dir + L"\\Holiday Song.mp3"), shortName(holiday));
        DeleteFileW((dir + L"\\Holiday Song.mp3").c_str());
        folder(road.folder + L"\\x.mp3");
        ASSERT_TRUE(testsupport::writeRaw(dir + L"\\x.mp3\\kept.txt", "a folder of the user's"));

        Converter::prepare();
        const std::map<std::wstring, FileState> before = snapshot(root_);
        Session session(&before, road.program);
        ASSERT_TRUE(session.started());
        std::set<std::wstring> made;
        for (const auto& drop : drops) {
            std::vector<std::wstring> paths, outputs;
            for (const auto& [input, output] : drop) {
                paths.push_back(input);
                outputs.push_back(output);
                made.insert(output);
            }
            // Not fatal: what a road did to the other files is told all the same.
            EXPECT_TRUE(session.run(paths, [&] { return std::all_of(outputs.begin(), outputs.end(), exists); }, 60000))
                << narrow(paths.front());
        }
        EXPECT_TRUE(session.boxes().empty()) << narrow(session.boxes().front());
        EXPECT_TRUE(session.touched().empty()) << narrow(*session.touched().begin());
        EXPECT_EQ(session.startedFfmpeg(), road.child);
        expectOnly(before, made);
        for (const std::wstring& output : made) {
            const double got = durationOf(output);
            EXPECT_TRUE(got >= lengths[output] && got < lengths[output] + 0.25)
                << narrow(output) << ": " << got << " for " << lengths[output];
        }
    }
}

// A file that gives no audio fails with its log and leaves nothing; a read-only folder
// fails the file before FFmpeg runs, and nothing is written anywhere.
TEST_F(SafeOutputProgramTest, WhatCannotBeConvertedFailsAndLeavesNoOutput) {
    const std::wstring inputs = folder(L"inputs");
    const std::wstring locked = folder(L"read-only");
    // A WAV header over less than one sample: it probes, and decodes to nothing.
    ASSERT_TRUE(testsupport::writeRaw(inputs + L"\\silent.wav", testsupport::wavHeader(8000, 1, 1) + std::string(1, '\0')));
    writeTone(locked + L"\\tone.wav", 0.5);
    ASSERT_TRUE(setReadOnly(locked, true));
    struct Case {
        const char* what;
        std::wstring input;
        const wchar_t* failedBox;  // a box before the failure's own; null: none
        const char* errorLog;      // what "_error.txt" beside the input says; null: none can be written
    };
    const Case cases[] = {
        {"no audio", inputs + L"\\silent.wav", nullptr, "no audio could be encoded"},
        {"read-only folder", locked + L"\\tone.wav", CREATE_FAILED, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Converter::prepare();
        const std::map<std::wstring, FileState> before = snapshot(root_);
        Session session(&before);
        ASSERT_TRUE(session.started());
        // The failure is told in a box that names the input.
        ASSERT_TRUE(session.run({c.input}, [&] {
            return std::any_of(session.boxes().begin(), session.boxes().end(),
                               [&](const std::wstring& text) { return text.find(c.input) != std::wstring::npos; });
        }));
        ASSERT_EQ(session.boxes().size(), c.failedBox != nullptr ? 2u : 1u);
        if (c.failedBox != nullptr) {
            EXPECT_EQ(session.boxes().front(), c.failedBox);
        }
        std::set<std::wstring> made;
        if (c.errorLog != nullptr) {
            const std::wstring log = c.input.substr(0, c.input.rfind(L'\\')) + L"\\_error.txt";
            made.insert(log);
            const std::string text = testsupport::readRaw(log);
            EXPECT_NE(text.find(c.errorLog), std::string::npos) << text;
        }
        EXPECT_TRUE(session.touched().empty());
        expectOnly(before, made);
    }
}

// An ffmpeg.exe installed without the DLLs it needs: the box and the log say that it could
// not be started and why, and the empty output is gone before the box shows.
TEST_F(SafeOutputProgramTest, FfmpegThatCannotStartIsNamedWithItsReason) {
    const std::wstring dir = folder(L"inputs");
    writeTone(dir + L"\\tone.wav", 0.5);
    BundledFfmpeg lonely(false);
    ASSERT_TRUE(lonely.installed());
    const std::map<std::wstring, FileState> before = snapshot(root_);
    Session session(&before);
    ASSERT_TRUE(session.started());
    bool outputWithTheBox = false;
    ASSERT_TRUE(session.run({dir + L"\\tone.wav"}, [&] {
        outputWithTheBox = outputWithTheBox || (!session.boxes().empty() && exists(dir + L"\\tone.mp3"));
        return !session.boxes().empty();
    }));
    ASSERT_EQ(session.boxes().size(), 1u);
    const std::wstring said = L"The external tool ffmpeg.exe could not be started: ";
    EXPECT_NE(session.boxes().front().find(said), std::wstring::npos) << narrow(session.boxes().front());
    EXPECT_NE(session.boxes().front().find(L"(system error 126)"), std::wstring::npos);
    const std::string log = testsupport::readRaw(dir + L"\\_error.txt");
    EXPECT_NE(log.find("ffmpeg.exe could not be started: "), std::string::npos) << log;
    EXPECT_NE(log.find("(system error 126)"), std::string::npos) << log;
    EXPECT_FALSE(outputWithTheBox);
    expectOnly(before, {dir + L"\\_error.txt"});
}

// A 44.1 kHz stereo MP3 joined to a 22.05 kHz mono one converts whole: the encoders'
// frame size holds across the rebuilt filter graph.
TEST_F(SafeOutputProgramTest, JoinedRatesConvertWholeToM4aOggAndWma) {
    const std::wstring dir = folder(L"joined");
    ASSERT_TRUE(writeWav(dir + L"\\a.wav", 44100, 2, 3.0, 0.3));
    ASSERT_TRUE(writeWav(dir + L"\\b.wav", 22050, 1, 3.0, 0.3));
    ASSERT_TRUE(makeMp3(dir + L"\\a.wav", dir + L"\\a.mp3"));
    ASSERT_TRUE(makeMp3(dir + L"\\b.wav", dir + L"\\b.mp3"));
    ASSERT_TRUE(testsupport::writeRaw(dir + L"\\joined.mp3",
                                      testsupport::readRaw(dir + L"\\a.mp3") + testsupport::readRaw(dir + L"\\b.mp3")));
    const struct {
        const wchar_t* format;
        const wchar_t* output;
        const char* codec;
    } cases[] = {{L".M4A", L"joined.m4a", "aac"}, {L".OGG", L"joined.ogg", "vorbis"}, {L".WMA", L"joined.wma", "wmav2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(narrow(c.format));
        Converter::prepare();
        ASSERT_TRUE(apptest::writeString(VIEW, L"ConvertTo", c.format));
        const std::wstring output = dir + L"\\" + c.output;
        Session session;
        ASSERT_TRUE(session.started());
        ASSERT_TRUE(session.run({dir + L"\\joined.mp3"}, [&] { return written(output); }));
        EXPECT_TRUE(session.boxes().empty()) << narrow(session.boxes().front());
        EXPECT_EQ(c.codec, probe(output)["stream.0.codec_name"]);
        EXPECT_NEAR(6.0, durationOf(output), 0.3);
    }
}

// On both roads: a float WAV with absurd samples converts and ends nothing,
// and inputs without decodable audio (a FLAC header alone, MP3 packets that do not
// decode, copied; a rate no encoder takes) fail with their log and leave no output.
TEST_F(SafeOutputProgramTest, DamagedAndSilentInputsFailAloneOnBothRoads) {
    const std::wstring dir = folder(L"inputs");
    ASSERT_TRUE(testsupport::writeRaw(dir + L"\\damaged.wav", testsupport::damagedFloatWav(false, 2)));
    writeTone(dir + L"\\good.wav", 1.0);
    ASSERT_TRUE(testsupport::makeMedia(L"-f lavfi -i sine=sample_rate=44100:duration=1 -c:a flac full.flac", dir));
    ASSERT_TRUE(testsupport::writeRaw(dir + L"\\header.flac",
                                      testsupport::headerOnlyFlac(testsupport::readRaw(dir + L"\\full.flac"))));
    DeleteFileW((dir + L"\\full.flac").c_str());
    ASSERT_TRUE(testsupport::writeRaw(dir + L"\\undecodable.wav", testsupport::undecodableMp3Wav()));
    ASSERT_TRUE(testsupport::writeRaw(dir + L"\\absurd.wav", testsupport::absurdRateWav()));
    const std::vector<std::wstring> names = {L"damaged", L"good", L"header", L"undecodable", L"absurd"};
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) {
        paths.push_back(dir + L"\\" + name + (name == L"header" ? L".flac" : L".wav"));
    }
    const struct {
        const char* road;
        bool external;
        std::vector<std::wstring> converted;  // the others fail
    } roads[] = {
        {"in-process", false, {L"damaged", L"good"}},
        // ffmpeg.exe gets the sample guard as a filter
        {"ffmpeg.exe", true, {L"damaged", L"good"}},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.road);
        std::unique_ptr<BundledFfmpeg> bundled(road.external ? new BundledFfmpeg : nullptr);
        ASSERT_TRUE(!bundled || bundled->installed());
        Converter::prepare();
        const std::map<std::wstring, FileState> before = snapshot(root_);
        Session session(&before);
        ASSERT_TRUE(session.started());
        const size_t failures = names.size() - road.converted.size();
        std::set<std::wstring> made;
        for (const std::wstring& name : road.converted) {
            made.insert(dir + L"\\" + name + L".mp3");
        }
        ASSERT_TRUE(session.run(paths, [&] {
            return session.boxes().size() >= failures && std::all_of(made.begin(), made.end(), written);
        }, 240000)) << session.boxes().size() << " boxes, program " << (session.running() ? "up" : "gone");
        EXPECT_TRUE(session.running());
        EXPECT_NEAR(1.0, durationOf(dir + L"\\good.mp3"), 0.2);
        // One box and one log for each failed file, naming it.
        std::string logs;
        for (size_t i = 0; i < failures; ++i) {
            const std::wstring log = dir + (i == 0 ? L"\\_error.txt" : L"\\_error (" + std::to_wstring(i) + L").txt");
            made.insert(log);
            logs += testsupport::readRaw(log);
        }
        EXPECT_EQ(session.boxes().size(), failures);
        for (size_t i = 0; i < names.size(); ++i) {
            const bool failed = std::find(road.converted.begin(), road.converted.end(), names[i]) == road.converted.end();
            EXPECT_EQ(logs.find("[Input Path]: " + narrow(paths[i])) != std::string::npos, failed) << narrow(names[i]);
        }
        EXPECT_TRUE(session.touched().empty());
        expectOnly(before, made);
        for (const std::wstring& path : made) {
            DeleteFileW(path.c_str());
        }
    }
}
