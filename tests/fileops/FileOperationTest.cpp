// File operations on a scratch folder: free names, long paths, moving, copying,
// removing, creating, wiping, sizes and times.
#include <gtest/gtest.h>

#include <string>

#include "Released.h"
#include "Scratch.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/PathWin.h"

using s::file::win::PathWin;
using s::str::strbuffer::StrBuffer;

namespace {

// A folder chain under root whose file paths run past 260 characters.
std::wstring deepFolder(const Scratch& scratch) {
    return scratch.at(std::wstring(100, L'd') + L"\\" + std::wstring(100, L'e') + L"\\" + std::wstring(60, L'f'));
}

} // namespace

TEST(FileOperation, UniqueNamesCountFromOne) {
    Scratch scratch;
    ASSERT_TRUE(Scratch::write(scratch.at(L"a.mp3"), "x"));
    ASSERT_TRUE(Scratch::write(scratch.at(L"a (1).mp3"), "x"));
    EXPECT_EQ(scratch.at(L"a (2).mp3"), text(held(path(scratch.at(L"a.mp3"))->uniqueName())));
    EXPECT_EQ(scratch.at(L"free.mp3"), text(held(path(scratch.at(L"free.mp3"))->uniqueName())));
    EXPECT_EQ(scratch.at(L"a1.mp3"), text(held(path(scratch.at(L"a.mp3"))->uniqueNumberedName())));

    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"New.dir")));
    EXPECT_EQ(scratch.at(L"New.dir (1)"), text(held(path(scratch.at(L"New.dir"))->uniqueName())));

    // Names past 260 characters are tested through their long form, so a taken one
    // is never handed out.
    const std::wstring deep = deepFolder(scratch);
    auto folder = path(deep);
    ASSERT_TRUE(folder->makeDirectory(false));
    const std::wstring taken = deep + L"\\song.mp3";
    ASSERT_GT(taken.size(), 260u);
    ASSERT_TRUE(Scratch::write(taken, "x"));
    ASSERT_TRUE(Scratch::write(deep + L"\\song (1).mp3", "x"));
    auto p = path(taken);
    EXPECT_TRUE(p->exists());
    EXPECT_TRUE(p->isFile());
    EXPECT_EQ(deep + L"\\song (2).mp3", text(held(p->uniqueName())));
}

TEST(FileOperation, LongPathsWorkThroughTheLongForm) {
    Scratch scratch;
    const std::wstring deep = deepFolder(scratch);
    ASSERT_TRUE(path(deep + L"\\first.txt")->createFile(false));  // makes the whole missing chain
    EXPECT_TRUE(Scratch::exists(deep + L"\\first.txt"));
    // Written with the separators doubled and a detour: the long form must still
    // name the right place.
    auto file = path(deep + L"\\.\\x\\..\\\\made.txt");
    EXPECT_EQ(L"\\\\?\\" + deep + L"\\made.txt", std::wstring(file->getApiText()));
    ASSERT_TRUE(file->createFile(false));
    EXPECT_TRUE(Scratch::exists(deep + L"\\made.txt"));
    EXPECT_TRUE(file->exists());

    auto made = path(deep + L"\\made.txt");
    ASSERT_TRUE(made->writeText(L"content", false));
    EXPECT_EQ(7, made->getSize(false, true, nullptr, nullptr, true));
    auto copy = path(deep + L"\\copy.txt");
    ASSERT_TRUE(made->copyTo(copy->getText(), false));
    EXPECT_TRUE(copy->exists());
    // remove() of a long path deletes it; it does not take "missing" for "done".
    EXPECT_TRUE(made->remove(false, false));
    EXPECT_FALSE(Scratch::exists(deep + L"\\made.txt"));
    EXPECT_TRUE(path(deep)->remove(false, false));
    EXPECT_FALSE(Scratch::exists(deep));
}

TEST(FileOperation, MissingPathsAnswerNoAttributeQuestions) {
    Scratch scratch;
    auto missing = path(scratch.at(L"nothing.here"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, missing->getAttributes());
    EXPECT_FALSE(missing->isDirectory());
    EXPECT_FALSE(missing->isHidden());
    EXPECT_FALSE(missing->isFile());
    EXPECT_FALSE(missing->hide());
    EXPECT_TRUE(missing->remove(false, false));  // nothing to remove
    EXPECT_FALSE(path(L"C:")->remove(false, false));
    EXPECT_FALSE(path(L"C:\\")->makeDirectory(false));
}

TEST(FileOperation, MoveRenameAndRemove) {
    Scratch scratch;
    const std::wstring a = scratch.at(L"a.txt");
    const std::wstring b = scratch.at(L"b.txt");
    ASSERT_TRUE(Scratch::write(a, "aaa"));
    ASSERT_TRUE(Scratch::write(b, "bb"));

    // Moving onto an existing file fails and keeps both.
    EXPECT_FALSE(path(a)->moveTo(b.c_str()));
    std::string content;
    ASSERT_TRUE(Scratch::read(b, content));
    EXPECT_EQ("bb", content);
    EXPECT_TRUE(Scratch::exists(a));

    // rename replaces only when asked to.
    EXPECT_FALSE(path(a)->rename(b.c_str(), false, false));
    EXPECT_TRUE(path(a)->rename(b.c_str(), true, false));
    EXPECT_FALSE(Scratch::exists(a));
    ASSERT_TRUE(Scratch::read(b, content));
    EXPECT_EQ("aaa", content);
    EXPECT_TRUE(path(b)->moveTo(scratch.at(L"c.txt").c_str()));
    EXPECT_TRUE(Scratch::exists(scratch.at(L"c.txt")));

    // A read-only file is refused by the system; remove clears the flag and retries.
    const std::wstring locked = scratch.at(L"locked.txt");
    ASSERT_TRUE(Scratch::write(locked, "x"));
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_FALSE(DeleteFileW(locked.c_str()));
    auto lockedPath = path(locked);
    EXPECT_FALSE(lockedPath->canWrite());
    EXPECT_TRUE(lockedPath->remove(false, false));
    EXPECT_FALSE(Scratch::exists(locked));

    // A tree with hidden, system and read-only entries goes completely.
    const std::wstring tree = scratch.at(L"tree");
    ASSERT_TRUE(Scratch::makeFolder(tree));
    ASSERT_TRUE(Scratch::makeFolder(tree + L"\\sub"));
    ASSERT_TRUE(Scratch::write(tree + L"\\sub\\h.txt", "h"));
    ASSERT_TRUE(Scratch::write(tree + L"\\s.txt", "s"));
    ASSERT_TRUE(Scratch::write(tree + L"\\r.txt", "r"));
    SetFileAttributesW((tree + L"\\sub\\h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((tree + L"\\s.txt").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((tree + L"\\r.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(path(tree)->remove(false, false));
    EXPECT_FALSE(Scratch::exists(tree));
}

TEST(FileOperation, CopiesFoldersBesideButNeverIntoThemselves) {
    Scratch scratch;
    const std::wstring album = scratch.at(L"album");
    ASSERT_TRUE(Scratch::makeFolder(album));
    ASSERT_TRUE(Scratch::makeFolder(album + L"\\disc2"));
    ASSERT_TRUE(Scratch::write(album + L"\\1.mp3", "one"));
    ASSERT_TRUE(Scratch::write(album + L"\\.cover", "hidden"));
    SetFileAttributesW((album + L"\\.cover").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(Scratch::write(album + L"\\disc2\\2.mp3", "two"));

    // A sibling folder sharing the parent is a normal target.
    auto source = path(album);
    EXPECT_TRUE(source->copyTo(scratch.at(L"album copy").c_str(), false));
    std::string content;
    EXPECT_TRUE(Scratch::read(scratch.at(L"album copy\\1.mp3"), content));
    EXPECT_EQ("one", content);
    EXPECT_TRUE(Scratch::read(scratch.at(L"album copy\\disc2\\2.mp3"), content));
    EXPECT_EQ("two", content);
    EXPECT_TRUE(Scratch::exists(scratch.at(L"album copy\\.cover")));
    // ...but an existing one only when overwriting.
    EXPECT_FALSE(source->copyTo(scratch.at(L"album copy").c_str(), false));
    EXPECT_TRUE(source->copyTo(scratch.at(L"album copy").c_str(), true));

    // Into itself or below itself: refused, nothing made. Case and a trailing
    // separator do not get around it.
    EXPECT_FALSE(source->copyTo((album + L"\\inner").c_str(), true));
    EXPECT_FALSE(Scratch::exists(album + L"\\inner"));
    std::wstring upper = album;
    for (wchar_t& c : upper) {
        c = towupper(c);
    }
    EXPECT_FALSE(source->copyTo((upper + L"\\disc2\\deeper\\").c_str(), true));
    EXPECT_FALSE(Scratch::exists(album + L"\\disc2\\deeper"));
    EXPECT_FALSE(source->copyTo(album.c_str(), true));
    // "album" is a prefix of "albums" but not its folder.
    EXPECT_TRUE(source->copyTo(scratch.at(L"albums").c_str(), false));

    // A file copy makes the missing target folders.
    EXPECT_TRUE(path(album + L"\\1.mp3")->copyTo(scratch.at(L"x\\y\\1.mp3").c_str(), false));
    EXPECT_TRUE(Scratch::exists(scratch.at(L"x\\y\\1.mp3")));
}

TEST(FileOperation, CreatesFilesAndFolderChains) {
    Scratch scratch;
    auto file = path(scratch.at(L"a\\b\\c.txt"));
    EXPECT_TRUE(file->createFile(false));
    EXPECT_EQ(0, Scratch::size(scratch.at(L"a\\b\\c.txt")));
    EXPECT_FALSE(file->createFile(false));  // exists already

    auto folder = path(scratch.at(L"p\\q\\r"));
    EXPECT_TRUE(folder->makeDirectory(false));
    EXPECT_TRUE(Scratch::attributes(scratch.at(L"p\\q\\r")) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(folder->makeDirectory(false));
    EXPECT_TRUE(path(scratch.at(L"p\\q\\r"))->isEmptyDirectory());
    EXPECT_FALSE(path(scratch.at(L"p\\q"))->isEmptyDirectory());
    EXPECT_TRUE(path(scratch.at(L"new\\x.txt"))->ensureParentFolder());
    EXPECT_TRUE(Scratch::exists(scratch.at(L"new")));
}

TEST(FileOperation, WipeOverwritesTheContents) {
    Scratch scratch;
    const std::wstring secret = scratch.at(L"secret.txt");
    const std::string original(100000, 'S');
    ASSERT_TRUE(Scratch::write(secret, original));
    SetFileAttributesW(secret.c_str(), FILE_ATTRIBUTE_HIDDEN);

    EXPECT_TRUE(path(secret)->WipeFileContents(false, true, nullptr, 0));
    std::string after;
    ASSERT_TRUE(Scratch::read(secret, after));
    EXPECT_EQ(std::string(original.size(), '\0'), after);
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, Scratch::attributes(secret) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));

    // A caller's pattern is repeated over the file; folders are wiped entry by entry.
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"dir")));
    ASSERT_TRUE(Scratch::write(scratch.at(L"dir\\f.bin"), "abcdefg"));
    uint8_t pattern[2] = {'-', '+'};
    EXPECT_TRUE(path(scratch.at(L"dir"))->WipeFileContents(false, false, pattern, 2));
    ASSERT_TRUE(Scratch::read(scratch.at(L"dir\\f.bin"), after));
    EXPECT_EQ("-+-+-+-", after);

    // A file held open without sharing cannot be wiped: that is a failure.
    ASSERT_TRUE(Scratch::write(secret, "keep"));
    HANDLE h = CreateFileW(secret.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_FALSE(path(secret)->WipeFileContents(false, true, nullptr, 0));
    CloseHandle(h);
    EXPECT_FALSE(path(scratch.at(L"missing"))->WipeFileContents(false, true, nullptr, 0));
}

TEST(FileOperation, SizesAndSizeOnDisk) {
    Scratch scratch;
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"t")));
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"t\\u")));
    ASSERT_TRUE(Scratch::write(scratch.at(L"t\\one"), "1"));
    ASSERT_TRUE(Scratch::write(scratch.at(L"t\\u\\many"), std::string(5000, 'm')));
    ASSERT_TRUE(Scratch::write(scratch.at(L"t\\empty"), ""));

    uint32_t files = 0;
    uint32_t folders = 0;
    EXPECT_EQ(5001, path(scratch.at(L"t"))->getSize(true, true, &files, &folders, true));
    EXPECT_EQ(3u, files);
    EXPECT_EQ(1u, folders);
    EXPECT_EQ(1, path(scratch.at(L"t"))->getSize(true, false, nullptr, nullptr, true));

    // The size on disk rounds up to whole clusters of the volume.
    auto tRoot = path(scratch.at(L"t\\one"));
    DWORD sectors = 0;
    DWORD bytes = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    ASSERT_TRUE(GetDiskFreeSpaceW(tRoot->getVolumeRoot(), &sectors, &bytes, &freeClusters, &clusters));
    const int64_t cluster = static_cast<int64_t>(sectors) * bytes;
    EXPECT_EQ(cluster, tRoot->getSizeOnDisk());
    EXPECT_EQ(0, path(scratch.at(L"t\\empty"))->getSizeOnDisk());
    EXPECT_EQ((5000 + cluster - 1) / cluster * cluster, path(scratch.at(L"t\\u\\many"))->getSizeOnDisk());
    EXPECT_STRNE(L"", tRoot->getSizeText());
    EXPECT_STREQ(L"", path(scratch.at(L"t"))->getSizeText());
}

TEST(FileOperation, TimesAndAttributes) {
    Scratch scratch;
    const std::wstring f = scratch.at(L"dated.txt");
    ASSERT_TRUE(Scratch::write(f, "x"));
    auto p = path(f);
    const int64_t when = 1262304000;  // 2010-01-01 00:00:00 UTC
    ASSERT_TRUE(p->setTimes(-1, when, when + 60, true, true, true, true, false));
    EXPECT_EQ(when, p->getModificationTime(true));
    EXPECT_EQ(when + 60, p->getAccessTime(false));

    // Read-only files are left alone when not asked for, and keep their flag.
    ASSERT_TRUE(p->setWritable(false));
    auto again = path(f);
    EXPECT_TRUE(again->setTimes(-1, when + 3600, -1, true, false, true, true, false));
    EXPECT_EQ(when, again->getModificationTime(true));
    EXPECT_TRUE(again->setTimes(-1, when + 3600, -1, false, true, false, false, false));
    EXPECT_EQ(when + 3600, again->getModificationTime(true));
    EXPECT_TRUE(Scratch::attributes(f) & FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(again->makeWritable());
    EXPECT_TRUE(again->hide());
    EXPECT_TRUE(again->isHidden());
    EXPECT_TRUE(Scratch::attributes(f) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(Scratch::attributes(f) & FILE_ATTRIBUTE_READONLY);
}

TEST(FileOperation, ScrambleRenamesKeepingTheContents) {
    Scratch scratch;
    const std::wstring f = scratch.at(L"ab");
    ASSERT_TRUE(Scratch::write(f, "payload"));
    Released<StrBuffer> name = held(StrBuffer::pool());
    EXPECT_TRUE(path(f)->ScrambleFileName(3, name.get(), true));
    EXPECT_FALSE(Scratch::exists(f));
    std::wstring renamed = name->c_str();
    ASSERT_EQ(scratch.root() + L"\\", renamed.substr(0, scratch.root().size() + 1));
    EXPECT_EQ(4u, renamed.size() - scratch.root().size() - 1);  // short names grow by "__"
    std::string content;
    EXPECT_TRUE(Scratch::read(renamed, content));
    EXPECT_EQ("payload", content);
    EXPECT_FALSE(path(scratch.at(L"none"))->ScrambleFileName(1, nullptr, false));
}
