// Operations that remove, wipe or copy whole trees never reach past what the caller
// named: volume and share roots in any spelling are refused, and a folder is never
// copied into another spelling of itself. Destructive cases run on a drive letter
// mapped onto a scratch folder for the test only.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Released.h"
#include "Scratch.h"
#include "ScratchDrive.h"
#include "system/file/win/FileInputStream.h"
#include "system/file/win/FileOutputStream.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/PathWin.h"

using s::file::win::FileInputStream;
using s::str::strbuffer::StrBuffer;
using s::file::win::FileOutputStream;
using s::file::win::PathWin;

namespace {

std::string contentOf(const std::wstring& file) {
    std::string bytes;
    return Scratch::read(file, bytes) ? bytes : "<missing>";
}

// Every spelling below names the root of drive X once normalised.
std::vector<std::wstring> rootSpellings(const std::wstring& x) {
    return {x + L"\\dir\\..",        x + L"\\.",           x + L"\\dir\\..\\.",      x + L"/dir/../",
            x + L"\\dir\\sub\\..\\..", x + L"\\dir\\..\\dir\\..", L"\\\\?\\" + x + L"\\dir\\..", L"\\\\?\\" + x + L"\\",
            L"\\\\?\\" + x,          L"\\\\.\\" + x + L"\\dir\\.."};
}

} // namespace

TEST(VolumeGuard, NoSpellingOfADriveRootIsRemovedWipedOrRecycled) {
    Scratch scratch;
    ScratchDrive drive(scratch.root());
    if (!drive.available()) {
        GTEST_SKIP() << drive.reason();
    }
    const std::wstring x = drive.root();
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"dir")));
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"dir\\sub")));
    for (const std::wstring& spelling : rootSpellings(x)) {
        SCOPED_TRACE(spelling);
        ASSERT_TRUE(drive.stillMapped());
        ASSERT_TRUE(Scratch::write(scratch.at(L"keep.txt"), "keep"));
        ASSERT_TRUE(Scratch::write(scratch.at(L"dir\\sub\\song.mp3"), "song"));
        EXPECT_FALSE(path(spelling)->remove(false, false));
        EXPECT_FALSE(path(spelling)->WipeFileContents(false, false, nullptr, 0));
        EXPECT_FALSE(path(spelling)->recycle(false, false));
        EXPECT_FALSE(path(spelling)->ScrambleFileName(1, nullptr, false));
        EXPECT_EQ("keep", contentOf(scratch.at(L"keep.txt")));
        EXPECT_EQ("song", contentOf(scratch.at(L"dir\\sub\\song.mp3")));
    }

    // A relative text that climbs to the root is refused the same way.
    wchar_t saved[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW((x + L"\\dir").c_str()));
    const bool removedFromBelow = path(L"..")->remove(false, false);
    const bool wipedFromBelow = path(L"sub\\..\\..")->WipeFileContents(false, false, nullptr, 0);
    SetCurrentDirectoryW(saved);
    EXPECT_FALSE(removedFromBelow);
    EXPECT_FALSE(wipedFromBelow);
    EXPECT_EQ("keep", contentOf(scratch.at(L"keep.txt")));

    // What lies below the root is still the caller's to remove, however it is spelt.
    EXPECT_TRUE(path(x + L"\\dir\\..\\dir\\sub\\..\\sub\\song.mp3")->remove(false, false));
    EXPECT_FALSE(Scratch::exists(scratch.at(L"dir\\sub\\song.mp3")));
    EXPECT_TRUE(path(L"\\\\?\\" + x + L"\\dir")->remove(false, false));
    EXPECT_FALSE(Scratch::exists(scratch.at(L"dir")));
    EXPECT_EQ("keep", contentOf(scratch.at(L"keep.txt")));
}

TEST(VolumeGuard, ShareRootsAreRefusedBeforeAnyNetworkCall) {
    const wchar_t* roots[] = {L"\\\\brisquelton-nohost\\share", L"\\\\brisquelton-nohost\\share\\",
                              L"\\\\brisquelton-nohost\\share\\dir\\..", L"\\\\brisquelton-nohost",
                              L"\\\\?\\UNC\\brisquelton-nohost\\share", L"//brisquelton-nohost/share/./"};
    for (const wchar_t* root : roots) {
        SCOPED_TRACE(root);
        EXPECT_FALSE(path(root)->remove(false, false));
        EXPECT_FALSE(path(root)->WipeFileContents(false, false, nullptr, 0));
    }
}

TEST(VolumeGuard, AFolderIsNotCopiedIntoAnotherSpellingOfItself) {
    Scratch scratch;
    ScratchDrive drive(scratch.root());
    if (!drive.available()) {
        GTEST_SKIP() << drive.reason();
    }
    const std::wstring album = scratch.at(L"album collection");
    ASSERT_TRUE(Scratch::makeFolder(album));
    ASSERT_TRUE(Scratch::write(album + L"\\1.mp3", "one"));
    wchar_t shortForm[MAX_PATH + 1] = {};
    const DWORD n = GetShortPathNameW(album.c_str(), shortForm, MAX_PATH);
    ASSERT_TRUE(n != 0 && n <= MAX_PATH);
    ASSERT_NE(album, std::wstring(shortForm)) << "the file system gives no short names";

    const std::wstring intoItself[] = {
        std::wstring(shortForm) + L"\\inner",                      // its 8.3 name
        drive.root() + L"\\album collection\\inner",               // the same folder on the mapped drive
        drive.root() + L"\\ALBUM COLLECTION\\deeper\\inner",       // and in another case
        drive.root() + L"\\album collection",                      // itself
    };
    auto source = path(album);
    for (const std::wstring& target : intoItself) {
        SCOPED_TRACE(target);
        EXPECT_FALSE(source->copyTo(target.c_str(), true));
        EXPECT_FALSE(Scratch::exists(album + L"\\inner"));
        EXPECT_FALSE(Scratch::exists(album + L"\\deeper"));
    }
    // The other way round too: the mapped spelling copied into the plain one.
    EXPECT_FALSE(path(drive.root() + L"\\album collection")->copyTo((album + L"\\inner").c_str(), true));
    EXPECT_FALSE(Scratch::exists(album + L"\\inner"));

    // A sibling is a real copy.
    EXPECT_TRUE(source->copyTo((drive.root() + L"\\album copy").c_str(), false));
    EXPECT_EQ("one", contentOf(scratch.at(L"album copy\\1.mp3")));
}

TEST(VolumeGuard, ReplacingAShortcutNeverRemovesAFolder) {
    Scratch scratch;
    ASSERT_TRUE(Scratch::write(scratch.at(L"song.mp3"), "song"));
    // Folders that carry the names the shortcuts would take.
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"link.lnk")));
    ASSERT_TRUE(Scratch::write(scratch.at(L"link.lnk\\mine.txt"), "mine"));
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"site.url")));
    ASSERT_TRUE(Scratch::write(scratch.at(L"site.url\\mine.txt"), "mine"));

    EXPECT_FALSE(path(scratch.at(L"song.mp3"))->createShortcut(scratch.at(L"link").c_str(), true, nullptr));
    EXPECT_FALSE(path(scratch.at(L"site.url"))->createInternetShortcut(L"http://example.com/", true));
    EXPECT_EQ("mine", contentOf(scratch.at(L"link.lnk\\mine.txt")));
    EXPECT_EQ("mine", contentOf(scratch.at(L"site.url\\mine.txt")));

    // An existing file of that name is replaced.
    ASSERT_TRUE(Scratch::write(scratch.at(L"other.url"), "old"));
    EXPECT_TRUE(path(scratch.at(L"other.url"))->createInternetShortcut(L"http://example.com/", true));
    EXPECT_NE("old", contentOf(scratch.at(L"other.url")));
}

TEST(PathText, APrefixedDriveIsNoStream) {
    struct Case {
        const wchar_t* text;
        bool stream;
    };
    const Case cases[] = {
        {L"\\\\?\\X:", false},          {L"\\\\?\\X:\\", false},        {L"\\\\.\\X:", false},
        {L"X:", false},                 {L"\\\\?\\X:\\a.txt:s", true},  {L"\\\\?\\X:\\a.txt", false},
        {L"X:\\a.txt:s:$DATA", true},   {L"a.txt:s", true},             {L"\\\\?\\UNC\\h\\s\\a:b", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.stream, path(c.text)->isStream());
    }
}

TEST(FileStream, AReadOfNoBytesAnswersFalseWithoutFailing) {
    Scratch scratch;
    const std::wstring file = scratch.at(L"data.bin");
    ASSERT_TRUE(Scratch::write(file, "abc"));
    char buffer[8] = {};
    uint32_t got = 7;
    {
        auto input = held(FileInputStream::pool());
        ASSERT_TRUE(input->open(path(file).get()));
        EXPECT_FALSE(input->read(buffer, 0, got));
        EXPECT_EQ(0u, got);
        EXPECT_FALSE(input->readFailed());
        EXPECT_TRUE(input->read(buffer, sizeof(buffer), got));
        EXPECT_EQ(3u, got);
    }
    {
        auto output = held(FileOutputStream::pool());
        ASSERT_TRUE(output->open(path(file).get(), true));
        output->rewind();
        got = 7;
        EXPECT_FALSE(output->read(buffer, 0, got));
        EXPECT_EQ(0u, got);
        EXPECT_FALSE(output->readFailed());
    }
}

TEST(FileOperation, ScrambledNamesDifferOnEveryThread) {
    Scratch scratch;
    // The first scramble runs here, as a program's first one would.
    ASSERT_TRUE(Scratch::write(scratch.at(L"first.txt"), "x"));
    EXPECT_TRUE(path(scratch.at(L"first.txt"))->ScrambleFileName(1, nullptr, false));
    // Each later one on a thread of its own, the same name in a folder of its own.
    std::set<std::wstring> names;
    for (int i = 0; i < 4; ++i) {
        const std::wstring folder = scratch.at(L"t" + std::to_wstring(i));
        ASSERT_TRUE(Scratch::makeFolder(folder));
        ASSERT_TRUE(Scratch::write(folder + L"\\song.mp3", "x"));
        std::wstring name;
        std::thread worker([&] {
            auto out = held(StrBuffer::pool());
            if (path(folder + L"\\song.mp3")->ScrambleFileName(1, out.get(), false)) {
                name = std::wstring(out->c_str()).substr(folder.size() + 1);
            }
        });
        worker.join();
        ASSERT_FALSE(name.empty());
        names.insert(name);
    }
    EXPECT_EQ(4u, names.size()) << "names drawn on fresh threads repeat";
}
