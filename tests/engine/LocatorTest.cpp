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

// Scratch keys under HKCU stand in for all three registry places; the real
// installation keys are never written.
class LocatorScene {
public:
    LocatorScene() {
        static int counter = 0;
        root_ = L"Software\\BrisqueltonLocatorTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        userKey_ = root_ + L"\\User";
        machineKey_ = root_ + L"\\Machine";
        machineKey32_ = root_ + L"\\WOW6432Node\\Machine";
        program_ = scratch_.file(L"program");
        CreateDirectoryW(program_.c_str(), nullptr);
        sources_ = FfmpegLocator::Sources{program_.c_str(),    HKEY_CURRENT_USER,      userKey_.c_str(),
                                          HKEY_CURRENT_USER,   machineKey_.c_str(),    machineKey32_.c_str()};
        facts(6, 1, true);
    }
    ~LocatorScene() {
        Held<RegDir> key(RegDir::create(HKEY_CURRENT_USER, root_.c_str()));
        key->remove(true);
        OsFacts::inject(nullptr);
        FfmpegLocator::inject(nullptr);
    }

    void facts(uint32_t major, uint32_t minor, bool is64Bit) {
        OsFacts::Facts f = OsFacts::derive(major, minor, 7601, true, false);
        f.is64BitOs = is64Bit;
        OsFacts::inject(&f);
    }

    std::wstring bundle() {
        const std::wstring folder = program_ + L"\\optional_tools";
        CreateDirectoryW(folder.c_str(), nullptr);
        writeFile(folder + L"\\ffmpeg.exe", "MZ");
        return folder + L"\\ffmpeg.exe";
    }

    // An installation key; withFile false leaves its ffmpeg.exe missing.
    std::wstring install(const std::wstring& keyPath, const wchar_t* major, const wchar_t* minor, bool withFile) {
        const std::wstring folder = scratch_.file((L"install" + std::to_wstring(++installs_)).c_str());
        CreateDirectoryW(folder.c_str(), nullptr);
        CreateDirectoryW((folder + L"\\bin").c_str(), nullptr);
        if (withFile) writeFile(folder + L"\\bin\\ffmpeg.exe", "MZ");
        Held<RegDir> key(RegDir::create(HKEY_CURRENT_USER, keyPath.c_str()));
        key->setString(L"InstallLocation", folder.c_str());
        if (major != nullptr) key->setString(L"VersionMajor", major);
        if (minor != nullptr) key->setString(L"VersionMinor", minor);
        return folder + L"\\bin\\ffmpeg.exe";
    }
    std::wstring user(const wchar_t* major, const wchar_t* minor, bool withFile = true) {
        return install(userKey_, major, minor, withFile);
    }
    std::wstring machine(const wchar_t* major, const wchar_t* minor) { return install(machineKey_, major, minor, true); }
    std::wstring machine32(const wchar_t* major, const wchar_t* minor) {
        return install(machineKey32_, major, minor, true);
    }
    const std::wstring& userKey() const { return userKey_; }

    struct Result {
        bool usable;
        int32_t major;
        int32_t minor;
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
    std::wstring root_, userKey_, machineKey_, machineKey32_, program_;
    FfmpegLocator::Sources sources_{};
    int installs_ = 0;
};

} // namespace

TEST(FfmpegLocator, VersionRule) {
    struct Case {
        int32_t major, minor;
        bool usable;
    } cases[] = {{1, 5, false}, {1, 6, true}, {1, 0, false}, {0, 106, true}, {2, 0, true},
                 {0, 0, false}, {FfmpegLocator::BUNDLED_MAJOR, FfmpegLocator::BUNDLED_MINOR, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(FfmpegLocator::isUsableVersion(c.major, c.minor), c.usable) << c.major << "." << c.minor;
    }
}

TEST(FfmpegLocator, BundledCopyOnlyOnA64BitWindows7OrLater) {
    struct Case {
        uint32_t major, minor;
        bool is64Bit;
        bool bundled;
    } cases[] = {{6, 1, true, true}, {10, 0, true, true}, {6, 0, true, false}, {5, 2, true, false},
                 {6, 1, false, false}};
    for (const Case& c : cases) {
        LocatorScene scene;
        scene.facts(c.major, c.minor, c.is64Bit);
        const std::wstring bundled = scene.bundle();
        const std::wstring user = scene.user(L"1", L"06");
        const auto r = scene.locate();
        const std::wstring label = std::to_wstring(c.major) + L"." + std::to_wstring(c.minor) +
                                   (c.is64Bit ? L" 64-bit" : L" 32-bit");
        EXPECT_TRUE(r.usable) << label;
        EXPECT_EQ(r.path, c.bundled ? bundled : user) << label;
        EXPECT_EQ(r.major, c.bundled ? 99999 : 1) << label;
        EXPECT_EQ(r.minor, c.bundled ? 99 : 6) << label;
        EXPECT_EQ(FfmpegLocator::isBundledUsable(scene.sources(), nullptr), c.bundled) << label;
    }
}

TEST(FfmpegLocator, InstalledCopiesInOrderAndByVersion) {
    enum Place { None, User, Machine, Machine32 };
    struct Case {
        const wchar_t* name;
        const wchar_t* user[2];      // version texts, null: no such key
        bool userFile;
        const wchar_t* machine[2];
        const wchar_t* machine32[2];
        bool usable;
        Place winner;
        int32_t major, minor;
    } cases[] = {
        {L"1.06 accepted", {L"1", L"06"}, true, {}, {}, true, User, 1, 6},
        {L"1.05 refused", {L"1", L"05"}, true, {}, {}, false, User, 1, 5},
        {L"1.6 counts as 1.06", {L"1", L"6"}, true, {}, {}, true, User, 1, 6},
        {L"missing version refused", {nullptr, nullptr}, true, {}, {}, false, User, 0, 0},
        {L"user copy first", {L"2", L"0"}, true, {L"3", L"0"}, {L"4", L"0"}, true, User, 2, 0},
        {L"an old user copy still wins", {L"1", L"05"}, true, {L"3", L"0"}, {}, false, User, 1, 5},
        {L"user key without its file is passed", {L"2", L"0"}, false, {L"3", L"1"}, {}, true, Machine, 3, 1},
        {L"machine copy", {}, true, {L"1", L"10"}, {}, true, Machine, 1, 10},
        {L"machine before its 32-bit view", {}, true, {L"3", L"0"}, {L"4", L"0"}, true, Machine, 3, 0},
        {L"32-bit view of the machine key", {}, true, {}, {L"1", L"07"}, true, Machine32, 1, 7},
        {L"nothing installed", {}, true, {}, {}, false, None, 0, 0},
    };
    for (const Case& c : cases) {
        LocatorScene scene;
        scene.facts(6, 0, true);  // no bundled copy on Vista
        scene.bundle();
        std::wstring expected;
        const bool hasUser = c.user[0] != nullptr || c.winner == User;
        if (hasUser) {
            const std::wstring path = scene.user(c.user[0], c.user[1], c.userFile);
            if (c.winner == User) expected = path;
        }
        if (c.machine[0] != nullptr) {
            const std::wstring path = scene.machine(c.machine[0], c.machine[1]);
            if (c.winner == Machine) expected = path;
        }
        if (c.machine32[0] != nullptr) {
            const std::wstring path = scene.machine32(c.machine32[0], c.machine32[1]);
            if (c.winner == Machine32) expected = path;
        }
        const auto r = scene.locate();
        EXPECT_EQ(r.usable, c.usable) << c.name;
        EXPECT_EQ(r.path, expected) << c.name;
        EXPECT_EQ(r.major, c.major) << c.name;
        EXPECT_EQ(r.minor, c.minor) << c.name;
    }
}

TEST(FfmpegLocator, VersionStoredAsNumbersReadsToo) {
    LocatorScene scene;
    const std::wstring path = scene.user(nullptr, nullptr);
    Held<RegDir> key(RegDir::create(HKEY_CURRENT_USER, scene.userKey().c_str()));
    key->setU32(L"VersionMajor", 1);
    key->setU32(L"VersionMinor", 6);
    const auto r = scene.locate();
    EXPECT_TRUE(r.usable);
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
