// Directory listings with Explorer's visibility rules, wildcard searches, sibling
// files, alternate streams, and the path list with its groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "Released.h"
#include "Scratch.h"
#include "core/col/_array/ArrayP.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/Extension.h"
#include "system/file/win/ListingFilter.h"
#include "system/file/win/PathArray.h"
#include "system/file/win/PathWin.h"
#include "system/file/win/StreamLister.h"

using s::col::_array::ArrayP;
using s::file::Extension;
using s::file::win::ListingFilter;
using s::file::win::PathArray;
using s::file::win::PathWin;
using s::file::win::StreamLister;
using s::str::strarray::StrArray;
using s::str::strbuffer::StrBuffer;

namespace {

std::vector<std::wstring> sorted(const StrArray* names) {
    std::vector<std::wstring> out;
    for (uint32_t i = 0; i < names->count(); ++i) {
        out.push_back(names->get(i)->c_str());
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Paths in listing order, relative to the scratch root.
std::vector<std::wstring> relative(const Scratch& scratch, const ArrayP* paths) {
    std::vector<std::wstring> out;
    for (uint32_t i = 0; i < paths->count(); ++i) {
        out.push_back(std::wstring(static_cast<PathWin*>(paths->get(i))->getText()).substr(scratch.root().size() + 1));
    }
    return out;
}

// The library: a.mp3, b.txt, hidden.txt (hidden), sys.txt (system), sub\c.mp3,
// sub\deeper\d.mp3 and the empty folder sub\none.
void makeLibrary(const Scratch& scratch) {
    ASSERT_TRUE(Scratch::write(scratch.at(L"a.mp3"), "a"));
    ASSERT_TRUE(Scratch::write(scratch.at(L"b.txt"), "b"));
    ASSERT_TRUE(Scratch::write(scratch.at(L"hidden.txt"), "h"));
    ASSERT_TRUE(Scratch::write(scratch.at(L"sys.txt"), "s"));
    SetFileAttributesW(scratch.at(L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(scratch.at(L"sys.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"sub")));
    ASSERT_TRUE(Scratch::write(scratch.at(L"sub\\c.mp3"), "c"));
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"sub\\deeper")));
    ASSERT_TRUE(Scratch::write(scratch.at(L"sub\\deeper\\d.mp3"), "d"));
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"sub\\none")));
}

// Sets Explorer's two visibility values for the length of a test.
class ExplorerSettings {
public:
    ExplorerSettings(DWORD hidden, DWORD superHidden) {
        RegCreateKeyExW(HKEY_CURRENT_USER, KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr);
        RegSetValueExW(key_, L"Hidden", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&hidden), sizeof(hidden));
        RegSetValueExW(key_, L"ShowSuperHidden", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&superHidden),
                       sizeof(superHidden));
    }
    ~ExplorerSettings() {
        RegDeleteValueW(key_, L"Hidden");
        RegDeleteValueW(key_, L"ShowSuperHidden");
        RegCloseKey(key_);
    }

private:
    static constexpr const wchar_t* KEY = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
    HKEY key_ = nullptr;
};

} // namespace

TEST(Listing, ExplorerSettingsDecideVisibility) {
    Scratch scratch;
    makeLibrary(scratch);
    auto root = path(scratch.root());
    const std::vector<std::wstring> everything = {L"a.mp3", L"b.txt", L"hidden.txt", L"sub", L"sys.txt"};
    EXPECT_EQ(everything, sorted(held(root->listNames(false, true)).get()));
    {
        ExplorerSettings hideBoth(2, 0);
        EXPECT_EQ((std::vector<std::wstring>{L"a.mp3", L"b.txt", L"sub"}), sorted(held(root->listNames(false, false)).get()));
        // Everything asked for: the settings do not count.
        EXPECT_EQ(everything, sorted(held(root->listNames(false, true)).get()));
    }
    {
        ExplorerSettings showBoth(1, 1);
        EXPECT_EQ(everything, sorted(held(root->listNames(false, false)).get()));
    }
    {
        ExplorerSettings hiddenOnly(1, 0);
        EXPECT_EQ((std::vector<std::wstring>{L"a.mp3", L"b.txt", L"hidden.txt"}),
                  sorted(held(root->listFileNames(false, false)).get()));
    }
    EXPECT_EQ((std::vector<std::wstring>{scratch.at(L"sub")}), sorted(held(root->listFolderNames(true, true)).get()));

    // Reparse points and the dot entries never pass; boot files only on the system drive.
    WIN32_FIND_DATAW entry = {};
    std::wcscpy(entry.cFileName, L"CONFIG.SYS");
    EXPECT_FALSE(ListingFilter(false, true, false, true).passes(entry));
    EXPECT_TRUE(ListingFilter(false, true, false, false).passes(entry));
    EXPECT_TRUE(ListingFilter(false, true, true, true).passes(entry));
    EXPECT_TRUE(ListingFilter(true, false, false, true).passes(entry));
    entry.dwFileAttributes = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_FALSE(ListingFilter(true, true, true, false).passes(entry));
    entry.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    std::wcscpy(entry.cFileName, L"..");
    EXPECT_FALSE(ListingFilter(true, true, true, false).passes(entry));
}

TEST(Listing, RecursiveListingsAreDepthFirst) {
    Scratch scratch;
    makeLibrary(scratch);
    auto root = path(scratch.root());

    Released<ArrayP> files = held(root->listFilePaths(true, true, nullptr));
    std::vector<std::wstring> names = relative(scratch, files.get());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"a.mp3", L"b.txt", L"hidden.txt", L"sub\\c.mp3", L"sub\\deeper\\d.mp3",
                                         L"sys.txt"}),
              names);

    // Every folder comes right before its contents.
    Released<ArrayP> all = held(path(scratch.at(L"sub"))->listPaths(true, true, nullptr));
    names = relative(scratch, all.get());
    ASSERT_EQ(4u, names.size());
    auto deeper = std::find(names.begin(), names.end(), L"sub\\deeper");
    ASSERT_NE(names.end(), deeper);
    ASSERT_NE(names.end(), deeper + 1);
    EXPECT_EQ(L"sub\\deeper\\d.mp3", *(deeper + 1));

    Released<ArrayP> folders = held(root->listFolderPaths(true, true, nullptr));
    names = relative(scratch, folders.get());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"sub", L"sub\\deeper", L"sub\\none"}), names);

    Released<PathArray> list = held(root->listFilePathsInto(true, false, nullptr));
    EXPECT_EQ(4u, list->count());

    EXPECT_TRUE(root->hasChildren(true));
    EXPECT_FALSE(path(scratch.at(L"sub\\none"))->hasChildren(true));
    EXPECT_EQ(0u, held(path(scratch.at(L"missing"))->listNames(false, true))->count());
}

TEST(Listing, WildcardSearchesAndSiblings) {
    Scratch scratch;
    makeLibrary(scratch);
    Released<ArrayP> found = held(path(scratch.at(L"*.mp3"))->findFiles(true, true, nullptr));
    std::vector<std::wstring> names = relative(scratch, found.get());
    ASSERT_EQ(3u, names.size());
    EXPECT_EQ(L"a.mp3", names[0]);  // a folder's matches come before its subfolders'
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ(L"sub\\c.mp3", names[1]);
    EXPECT_EQ(L"sub\\deeper\\d.mp3", names[2]);

    Released<ArrayP> matching = held(path(scratch.at(L"s*"))->findAll(true, false, nullptr));
    names = relative(scratch, matching.get());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"sub", L"sys.txt"}), names);

    // Siblings in sorted order, optionally kept to some extensions.
    auto a = path(scratch.at(L"a.mp3"));
    EXPECT_EQ(scratch.at(L"b.txt"), held(a->siblingFile(true, nullptr, true, false))->getText());
    EXPECT_EQ(nullptr, held(a->siblingFile(false, nullptr, true, false)).get());
    Released<StrArray> texts = held(StrArray::pool());
    texts->add(L".TXT");
    auto b = path(scratch.at(L"b.txt"));
    EXPECT_EQ(scratch.at(L"hidden.txt"), held(b->siblingFile(true, texts.get(), true, false))->getText());
    EXPECT_EQ(nullptr, held(path(scratch.at(L"hidden.txt"))->siblingFile(true, texts.get(), true, false)).get());
}

TEST(Listing, AlternateStreamsOfAFileAreListed) {
    Scratch scratch;
    ASSERT_TRUE(Scratch::write(scratch.at(L"song.mp3"), "x"));
    const bool written = Scratch::write(scratch.at(L"song.mp3:meta"), "tag");
    Released<ArrayP> streams = held(path(scratch.at(L"song.mp3"))->listStreams(nullptr));
    ASSERT_TRUE(streams);
    if (!written || streams->count() == 0) {
        GTEST_SKIP() << "the file system lists no alternate data streams (Wine keeps none), so there is "
                        "nothing to compare the listing with";
    }
    ASSERT_EQ(1u, streams->count());
    const auto* meta = static_cast<PathWin*>(streams->get(0));
    EXPECT_TRUE(meta->isStream());
    const std::wstring text = meta->getText();
    EXPECT_EQ(L":meta", text.substr(text.size() - 5));
}

TEST(Listing, StreamsAreListedOnlyWhereTheyExist) {
    Scratch scratch;
    ASSERT_TRUE(Scratch::write(scratch.at(L"song.mp3"), "x"));
    EXPECT_EQ(0, path(scratch.at(L"song.mp3:none"))->getSize(false, true, nullptr, nullptr, true));

    // The record walk: the unnamed data stream is skipped, names are cut at their
    // second ":", and a record running past the buffer ends the walk.
    alignas(8) uint8_t buffer[512] = {};
    auto put = [&](size_t at, const wchar_t* name, int64_t size, ULONG next) {
        StreamLister::StreamRecord* record = reinterpret_cast<StreamLister::StreamRecord*>(buffer + at);
        record->nextEntryOffset = next;
        record->streamNameLength = static_cast<ULONG>(std::wcslen(name) * 2);
        record->streamSize.QuadPart = size;
        std::memcpy(record->streamName, name, record->streamNameLength);
    };
    const size_t header = offsetof(StreamLister::StreamRecord, streamName);
    put(0, L"::$DATA", 1, 64);
    put(64, L":meta:$DATA", 1234, 64);
    put(128, L":x:$DATA", 5, 0);
    Released<ArrayP> out = held(ArrayP::pool());
    out->setCleaner(&PathWin::pooler());
    EXPECT_EQ(2u, StreamLister::addStreams(buffer, 192, L"C:\\m\\song.mp3", out.get()));
    ASSERT_EQ(2u, out->count());
    PathWin* meta = static_cast<PathWin*>(out->get(0));
    EXPECT_STREQ(L"C:\\m\\song.mp3:meta", meta->getText());
    EXPECT_TRUE(meta->isStream());
    EXPECT_EQ(1234, meta->getSize(false, true, nullptr, nullptr, true));
    out->clear();
    EXPECT_EQ(1u, StreamLister::addStreams(buffer, static_cast<uint32_t>(128 + header + 4), L"C:\\s", out.get()));
    // A next-entry offset that wraps the walk back to the start ends it instead of looping.
    out->clear();
    put(64, L":meta:$DATA", 1234, 0xFFFFFFC0u);
    EXPECT_EQ(1u, StreamLister::addStreams(buffer, 192, L"C:\\s", out.get()));
}

TEST(Listing, PathListsAndGroups) {
    Scratch scratch;
    ASSERT_TRUE(Scratch::write(scratch.at(L"small.wav"), std::string(1023, 's')));
    ASSERT_TRUE(Scratch::write(scratch.at(L"kilo.mp3"), std::string(1024, 'k')));
    ASSERT_TRUE(Scratch::write(scratch.at(L"ten.mp3"), std::string(10240, 't')));
    ASSERT_TRUE(Scratch::write(scratch.at(L"Other.MP3"), std::string(2000, 'o')));
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"dir")));
    ASSERT_TRUE(Scratch::write(scratch.at(L"dir\\inner.ogg"), "i"));

    Released<PathArray> list = held(PathArray::pool());
    for (const wchar_t* name : {L"small.wav", L"kilo.mp3", L"ten.mp3", L"Other.MP3"}) {
        ASSERT_TRUE(list->addText(scratch.at(name).c_str()));
    }
    Released<ArrayP> bySize = held(list->groupBySize());
    ASSERT_EQ(2u, bySize->count());
    Extension* kilo = static_cast<Extension*>(bySize->get(0));
    Extension* ten = static_cast<Extension*>(bySize->get(1));
    EXPECT_STREQ(L"1024", kilo->keyText());
    EXPECT_EQ(2u, kilo->memberCount());
    EXPECT_STREQ(L"10240", ten->keyText());
    EXPECT_EQ(1u, ten->memberCount());
    EXPECT_STREQ(scratch.at(L"ten.mp3").c_str(), ten->memberAt(0)->getText());
    Released<ArrayP> byCount = held(list->groupBySizeByCount());
    EXPECT_STREQ(L"1024", static_cast<Extension*>(byCount->get(0))->keyText());

    Released<ArrayP> byExtension = held(list->groupByExtension());
    ASSERT_EQ(2u, byExtension->count());
    EXPECT_EQ(3u, static_cast<Extension*>(byExtension->get(0))->memberCount());  // .mp3 and .MP3
    EXPECT_STREQ(L".wav", static_cast<Extension*>(byExtension->get(1))->keyText());

    uint32_t at = 99;
    EXPECT_TRUE(list->indexOfText(scratch.at(L"OTHER.mp3").c_str(), &at));
    EXPECT_EQ(scratch.at(L"Other.MP3"), list->getAt(at)->getText());
    EXPECT_FALSE(list->indexOfEqual(held(PathWin::create(scratch.at(L"OTHER.mp3").c_str())).get()));

    // The shell's multi-path text: each path, a NUL after each, one more NUL.
    Released<PathArray> two = held(PathArray::pool());
    two->addText(L"C:\\a");
    two->addText(L"C:\\bc");
    Released<StrBuffer> multi = held(two->buildMultiString(nullptr, false));
    EXPECT_EQ(std::wstring(L"C:\\a\0C:\\bc\0\0", 12), std::wstring(multi->data(), multi->length()));

    // Folders expand into their files; taking the folders leaves the files.
    ASSERT_TRUE(list->addText(scratch.at(L"dir").c_str()));
    list->expandFolders(true);
    EXPECT_TRUE(list->indexOfText(scratch.at(L"dir\\inner.ogg").c_str()));
    EXPECT_EQ(6u, list->count());
    Released<PathArray> folders = held(list->takeFolders());
    EXPECT_EQ(1u, folders->count());
    EXPECT_EQ(5u, list->count());
    list->snapshotDirectoryFlags();
    EXPECT_FALSE(list->wasDirectory(0));

    // Every element that exists gives way to a free name.
    list->makeUnique();
    ASSERT_EQ(5u, list->count());
    for (uint32_t i = 0; i < list->count(); ++i) {
        EXPECT_FALSE(list->getAt(i)->exists()) << i;
        EXPECT_NE(nullptr, std::wcsstr(list->getAt(i)->getText(), L" (1)")) << i;
    }
}
