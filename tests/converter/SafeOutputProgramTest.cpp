// Brisquelton.exe converting what users really have: names whose short forms collide,
// blanks, dashes, ".mp3" in folder names, non-ASCII and long paths, inputs without
// audio, folders that take no files, and a file whose rate changes half-way. Every file
// the program did not make is watched: its size and time during the batch, its MD5
// after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ConverterDriver.h"
#include "core/digest/md5/Md5.h"
#include "core/str/strbuffer/StrBuffer.h"
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

std::string md5Of(const std::wstring& path) {
    const std::string bytes = testsupport::readRaw(path);
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
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
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
        const DWORD attributes = GetFileAttributesW(path.c_str());
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
    ASSERT_TRUE(writeWav(path, 8000, 1, seconds, 0.3)) << narrow(path);
}

// A started program and the batches it is given: every box is answered (and its text
// kept), and the watched files' size and time are compared while the batch runs.
class Session {
public:
    explicit Session(const std::map<std::wstring, FileState>* watched = nullptr) : watched_(watched) {}
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
    // Files that changed size or time while watched.
    const std::set<std::wstring>& touched() const { return touched_; }

private:
    void answerBoxes() {
        std::wstring text;
        if (answerer_.step(program_.id(), &text) != nullptr) {
            boxes_.push_back(text);
        }
    }
    void watch() {
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
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
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
};

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
