#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "RunnerTestSupport.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLocator.h"
#include "system/reg/win/RegDir.h"
#include "system/system/win/OsFacts.h"

using s::ffmpeg::FfmpegLocator;
using s::reg::win::RegDir;
using s::str::strbuffer::StrBuffer;
using s::system::win::OsFacts;
using s::thread::Held;

namespace {

enum Place { User, Machine, Machine32, None };

// Scratch keys under HKCU stand in for all three registry places; the real
// installation keys are never written.
class LocatorScene {
public:
    LocatorScene() {
        static int counter = 0;
        root_ = L"Software\\BrisqueltonLocatorTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        keys_[User] = root_ + L"\\User";
        keys_[Machine] = root_ + L"\\Machine";
        keys_[Machine32] = root_ + L"\\WOW6432Node\\Machine";
        program_ = scratch_.file(L"program");
        CreateDirectoryW(program_.c_str(), nullptr);
        sources_ = {program_.c_str(), HKEY_CURRENT_USER, keys_[User].c_str(),
                    HKEY_CURRENT_USER, keys_[Machine].c_str(), keys_[Machine32].c_str()};
        facts(6, 1, true);
    }
    ~LocatorScene() {
        Held<RegDir>(RegDir::create(HKEY_CURRENT_USER, root_.c_str()))->remove(true);
        OsFacts::inject(nullptr);
        FfmpegLocator::inject(nullptr);
    }

    static void facts(uint32_t major, uint32_t minor, bool is64Bit) {
        OsFacts::Facts f = OsFacts::derive(major, minor, 7601, true, false);
        f.is64BitOs = is64Bit;
        OsFacts::inject(&f);
    }
    std::wstring bundle() {
        CreateDirectoryW((program_ + L"\\optional_tools").c_str(), nullptr);
        testsupport::writeRaw(program_ + L"\\optional_tools\\ffmpeg.exe", "MZ");
        return program_ + L"\\optional_tools\\ffmpeg.exe";
    }
    // An installation key and its folder; withFile false leaves bin\ffmpeg.exe out.
    std::wstring install(Place place, const wchar_t* major, const wchar_t* minor, bool withFile = true) {
        const std::wstring folder = scratch_.file((L"install" + std::to_wstring(place)).c_str());
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"\\bin").c_str(), nullptr);
        if (withFile) testsupport::writeRaw(folder + L"\\bin\\ffmpeg.exe", "MZ");
        Held<RegDir> key(RegDir::create(HKEY_CURRENT_USER, keys_[place].c_str()));
        key->setString(L"InstallLocation", folder.c_str());
        if (major != nullptr) key->setString(L"VersionMajor", major);
        if (minor != nullptr) key->setString(L"VersionMinor", minor);
        return folder + L"\\bin\\ffmpeg.exe";
    }
    RegDir* key(Place place) { return RegDir::create(HKEY_CURRENT_USER, keys_[place].c_str()); }

    struct Result {
        bool usable;
        int32_t major, minor;
        std::wstring path;
    };
    Result locate() {
        Result r{false, -1, -1, L""};
        Held<StrBuffer> path(StrBuffer::fromText(L"old text"));
        r.usable = FfmpegLocator::locate(sources_, &r.major, &r.minor, path.get());
        r.path = path->c_str();
        return r;
    }
    const FfmpegLocator::Sources& sources() const { return sources_; }

private:
    ScratchFolder scratch_;
    std::wstring root_, keys_[3], program_;
    FfmpegLocator::Sources sources_{};
};

} // namespace

TEST(FfmpegLocator, BundledCopyOnlyOnA64BitWindows7OrLater) {
    struct Case {
        uint32_t major, minor;
        bool is64Bit, bundled;
    } cases[] = {{6, 1, true, true}, {10, 0, true, true}, {6, 0, true, false}, {5, 2, true, false},
                 {6, 1, false, false}};
    for (const Case& c : cases) {
        LocatorScene scene;
        scene.facts(c.major, c.minor, c.is64Bit);
        const std::wstring bundled = scene.bundle();
        const std::wstring user = scene.install(User, L"1", L"06");
        const auto r = scene.locate();
        const std::wstring label = std::to_wstring(c.major) + L"." + std::to_wstring(c.minor) + L" " +
                                   std::to_wstring(c.is64Bit);
        EXPECT_TRUE(r.usable) << label;
        EXPECT_EQ(r.path, c.bundled ? bundled : user) << label;
        EXPECT_EQ(r.major * 100 + r.minor, c.bundled ? 9999999 : 106) << label;
        EXPECT_EQ(FfmpegLocator::isBundledUsable(scene.sources(), nullptr), c.bundled) << label;
    }
}

TEST(FfmpegLocator, InstalledCopiesInOrderAndByVersion) {
    struct Case {
        const wchar_t* name;
        const wchar_t* versions[3][2];  // per place; a null major and minor: no key
        bool userFile;
        bool usable;
        Place winner;
        int32_t major, minor;
    } cases[] = {
        {L"1.06 accepted", {{L"1", L"06"}}, true, true, User, 1, 6},
        {L"1.05 refused", {{L"1", L"05"}}, true, false, User, 1, 5},
        {L"1.6 counts as 1.06", {{L"1", L"6"}}, true, true, User, 1, 6},
        {L"0.106 counts as 1.06", {{L"0", L"106"}}, true, true, User, 0, 106},
        {L"1.0 refused", {{L"1", L"0"}}, true, false, User, 1, 0},
        {L"user copy first", {{L"2", L"0"}, {L"3", L"0"}, {L"4", L"0"}}, true, true, User, 2, 0},
        {L"an old user copy still wins", {{L"1", L"05"}, {L"3", L"0"}}, true, false, User, 1, 5},
        {L"user key without its file is passed", {{L"2", L"0"}, {L"3", L"1"}}, false, true, Machine, 3, 1},
        {L"machine copy", {{}, {L"1", L"10"}}, true, true, Machine, 1, 10},
        {L"machine before its 32-bit view", {{}, {L"3", L"0"}, {L"4", L"0"}}, true, true, Machine, 3, 0},
        {L"32-bit view of the machine key", {{}, {}, {L"1", L"07"}}, true, true, Machine32, 1, 7},
        {L"nothing installed", {}, true, false, None, 0, 0},
    };
    for (const Case& c : cases) {
        LocatorScene scene;
        scene.facts(6, 0, true);  // no bundled copy on Vista
        scene.bundle();
        std::wstring expected;
        for (Place place : {User, Machine, Machine32}) {
            const wchar_t* const* v = c.versions[place];
            if (v[0] != nullptr) {
                const std::wstring path = scene.install(place, v[0], v[1], place != User || c.userFile);
                if (place == c.winner) expected = path;
            }
        }
        const auto r = scene.locate();
        EXPECT_EQ(r.usable, c.usable) << c.name;
        EXPECT_EQ(r.path, expected) << c.name;
        EXPECT_EQ(r.major, c.major) << c.name;
        EXPECT_EQ(r.minor, c.minor) << c.name;
    }
}

TEST(FfmpegLocator, VersionWithoutTextValues) {
    LocatorScene scene;
    scene.facts(6, 0, true);
    const std::wstring path = scene.install(User, nullptr, nullptr);
    EXPECT_FALSE(scene.locate().usable) << "no version at all";
    Held<RegDir> key(scene.key(User));
    key->setU32(L"VersionMajor", 1);
    key->setU32(L"VersionMinor", 6);
    const auto r = scene.locate();
    EXPECT_TRUE(r.usable) << "numbers read as well as texts";
    EXPECT_EQ(r.path, path);
    EXPECT_EQ(r.major * 100 + r.minor, 106);
}

TEST(FfmpegLocator, ProcessWideSourcesCanBeReplaced) {
    LocatorScene scene;
    const std::wstring bundled = scene.bundle();
    FfmpegLocator::inject(&scene.sources());
    EXPECT_TRUE(s::ffmpeg::isOptionalToolsFfmpegUsable());
    Held<StrBuffer> path(StrBuffer::pool());
    int32_t major = 0;
    EXPECT_TRUE(s::ffmpeg::locateFfmpegExecutable(&major, nullptr, path.get()));
    EXPECT_EQ(std::wstring(path->c_str()), bundled);
    EXPECT_EQ(major, 99999);
    scene.facts(6, 0, true);
    EXPECT_FALSE(s::ffmpeg::isOptionalToolsFfmpegUsable());
    EXPECT_FALSE(s::ffmpeg::locateFfmpegExecutable(nullptr, nullptr, nullptr));
}
