// Icon and cursor archives: the program's own icon group and a hand-built cursor group
// read from the test program, every image against user32's drawing of the same data,
// files written back byte for byte, damaged tables and groups, read-only files, and the
// choice of the best image.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>

#include "ArchiveTestSupport.h"
#include "core/col/_array/ArrayU08.h"
#include "core/thread/Held.h"
#include "images/IconTestSupport.h"
#include "images/archive/cur/Archive.h"
#include "images/archive/dll/win/Archive.h"
#include "images/archive/icon/Archive.h"
#include "images/image/ico/win/IconImage.h"
#include "images/image/win/BufferedImage.h"
#include "system/file/win/PathWin.h"
#include "testres.h"

using archive_test::ownPath;
using archive_test::readFile;
using archive_test::ScratchFolder;
using archive_test::writeRaw;
using icontest::Bytes;
using s::col::_array::ArrayU08;
using s::image::win::BufferedImage;
using s::thread::Held;
namespace icon = s::archive::icon;
namespace cur = s::archive::cur;
namespace dll = s::archive::dll::win;

namespace {

constexpr uint32_t PROGRAM_ICON = 128;

std::string written(icon::ImageArchive* archive, int entry = -1) {
    Held<ArrayU08> out(ArrayU08::pool());
    s::io::IOutputStream* sink = out.get();
    const bool done = entry < 0 ? archive->writeAll(sink) : archive->writeEntry(archive->entryAt(entry), sink);
    return done ? std::string(reinterpret_cast<const char*>(out->items()), out->count()) : std::string("failed");
}

bool openFile(icon::ImageArchive* archive, const std::wstring& path) {
    Held<s::file::win::PathWin> file(s::file::win::PathWin::create(path.c_str()));
    return archive->open(file.get());
}

// Every image of the archive decodes to what user32 draws of the entry's data.
void expectDrawnLikeUser32(icon::ImageArchive* archive) {
    for (uint32_t i = 0; i < archive->count(); ++i) {
        SCOPED_TRACE(testing::Message() << "image " << i);
        Held<BufferedImage> image(archive->entryImage(i));
        ASSERT_TRUE(image);
        const ArrayU08* data = archive->entry(i)->data();
        icontest::Drawn drawn;
        ASSERT_TRUE(icontest::drawWithUser32(data->items(), data->count(), image->width(), image->height(), drawn));
        EXPECT_EQ(0, icontest::mismatches(image.get(), drawn));
    }
}

// An icon file of entries (width, height, bits per pixel) whose data is a hand-built image
// of that size and depth (a side of 0 stands for 256 and gets an 8-pixel image).
std::string iconFile(std::initializer_list<std::array<int, 3>> entries) {
    Bytes head, data;
    icontest::append<uint16_t>(head, 0);
    icontest::append<uint16_t>(head, 1);
    icontest::append<uint16_t>(head, static_cast<uint16_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    for (const auto& e : entries) {
        const Bytes image = icontest::dibIcon(e[0] == 0 ? 8 : e[0], e[1] == 0 ? 8 : e[1], e[2]);
        const uint8_t sizes[4] = {static_cast<uint8_t>(e[0]), static_cast<uint8_t>(e[1]), 0, 0};
        head.insert(head.end(), sizes, sizes + 4);
        icontest::append<uint16_t>(head, 1);
        icontest::append<uint16_t>(head, static_cast<uint16_t>(e[2]));
        icontest::append<uint32_t>(head, static_cast<uint32_t>(image.size()));
        icontest::append<uint32_t>(head, offset);
        offset += static_cast<uint32_t>(image.size());
        data.insert(data.end(), image.begin(), image.end());
    }
    head.insert(head.end(), data.begin(), data.end());
    return std::string(head.begin(), head.end());
}

class IconArchiveTest : public testing::Test {
protected:
    void SetUp() override {
        module_ = dll::Archive::openModuleArchive(ownPath().c_str());
        ASSERT_NE(nullptr, module_);
    }
    void TearDown() override { module_->release(); }

    dll::Archive* module_ = nullptr;
    ScratchFolder scratch_{L"icons"};
};

} // namespace

TEST_F(IconArchiveTest, ProgramIconGroupReadsEveryImage) {
    Held<icon::Archive> archive(icon::Archive::fromModule(module_, PROGRAM_ICON));
    ASSERT_TRUE(archive);
    EXPECT_STREQ(L"s_archive_icon_Archive", archive->className());
    ASSERT_EQ(6u, archive->count());
    const int sides[] = {16, 32, 48, 64, 128, 0};
    for (uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(sides[i], archive->entry(i)->directory().width);
        EXPECT_TRUE(archive->entry(i)->isLoaded());
    }
    expectDrawnLikeUser32(archive.get());
    // The group written as a file is the icon file it was made from.
    std::string original;
    ASSERT_TRUE(readFile(RESOURCES_DIR L"\\brisquelton.ico", original));
    EXPECT_EQ(original, written(archive.get()));
    // A group that is not there leaves the archive empty.
    EXPECT_FALSE(archive->loadFromModule(module_, 4242));
    EXPECT_EQ(0u, archive->count());
    EXPECT_EQ(nullptr, icon::Archive::fromModule(module_, 4242));
}

TEST_F(IconArchiveTest, CursorGroupKeepsHotspots) {
    Held<cur::Archive> archive(cur::Archive::fromModule(module_, IDC_POINTER));
    ASSERT_TRUE(archive);
    ASSERT_EQ(2u, archive->count());
    struct Expected {
        int side, x, y;
    };
    const Expected expected[] = {{32, 5, 9}, {16, 3, 12}};
    for (uint32_t i = 0; i < 2; ++i) {
        const icon::ImageEntry* e = archive->entry(i);
        EXPECT_EQ(expected[i].side, e->directory().width);
        EXPECT_EQ(expected[i].side, e->directory().height);
        EXPECT_EQ(expected[i].x, e->hotspotX());
        EXPECT_EQ(expected[i].y, e->hotspotY());
    }
    expectDrawnLikeUser32(archive.get());
    // Written as a file and opened again: the same hotspots and pictures.
    const std::wstring path = scratch_ / L"pointer.cur";
    ASSERT_TRUE(writeRaw(path, written(archive.get())));
    Held<cur::Archive> file(cur::Archive::pool());
    ASSERT_TRUE(openFile(file.get(), path));
    ASSERT_EQ(2u, file->count());
    EXPECT_EQ(9, file->entry(0)->hotspotY());
    EXPECT_EQ(3, file->entry(1)->hotspotX());
    expectDrawnLikeUser32(file.get());
    // A cursor file is no icon file, and the other way round.
    Held<icon::Archive> asIcon(icon::Archive::pool());
    EXPECT_FALSE(openFile(asIcon.get(), path));
}

TEST_F(IconArchiveTest, FilesAreWrittenBackByteIdentical) {
    std::string original;
    ASSERT_TRUE(readFile(RESOURCES_DIR L"\\brisquelton.ico", original));
    const std::wstring path = scratch_ / L"copy.ico";
    ASSERT_TRUE(writeRaw(path, original));
    Held<icon::Archive> archive(icon::Archive::pool());
    ASSERT_TRUE(openFile(archive.get(), path));
    EXPECT_EQ(static_cast<int64_t>(original.size()), archive->size());
    EXPECT_FALSE(archive->entry(0)->isLoaded());  // data is read when needed
    EXPECT_EQ(original, written(archive.get()));
    expectDrawnLikeUser32(archive.get());
    // One entry alone: the directory then its data at offset 22.
    const std::string one = written(archive.get(), 1);
    ASSERT_EQ(22 + archive->entry(1)->size(), static_cast<int64_t>(one.size()));
    EXPECT_EQ(original.substr(0, 4), one.substr(0, 4));
    EXPECT_EQ(std::string("\x01\x00", 2), one.substr(4, 2));
    EXPECT_EQ(original.substr(6 + 16, 12), one.substr(6, 12));
    EXPECT_EQ(std::string("\x16\x00\x00\x00", 4), one.substr(18, 4));
    EXPECT_EQ(original.substr(1230, 4264), one.substr(22));
}

TEST_F(IconArchiveTest, ReadOnlyFilesOpen) {
    const std::wstring path = scratch_ / L"locked.ico";
    ASSERT_TRUE(writeRaw(path, iconFile({{16, 16, 8}, {32, 32, 32}})));
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Held<icon::Archive> archive(icon::Archive::pool());
    ASSERT_TRUE(openFile(archive.get(), path));
    EXPECT_TRUE(archive->isOpened());
    EXPECT_EQ(2u, archive->count());
    expectDrawnLikeUser32(archive.get());
    archive->close();
    EXPECT_EQ(0u, archive->count());
    EXPECT_EQ(0, archive->size());
    EXPECT_FALSE(archive->isOpened());
}

TEST_F(IconArchiveTest, DamagedTablesFailCleanly) {
    struct Case {
        const char* name;
        size_t at;
        uint32_t value;
        size_t size;
        size_t keep;  // bytes of the file kept (0: all)
    };
    const std::string good = iconFile({{16, 16, 8}, {32, 32, 32}});
    const Case cases[] = {
        {"reserved not 0", 0, 1, 2, 0},
        {"cursor type", 2, 2, 2, 0},
        {"unknown type", 2, 7, 2, 0},
        {"more entries than the file holds", 4, 4000, 2, 0},
        {"data past the end", 6 + 16 + 8, 0x100000, 4, 0},
        {"offset past the end", 6 + 16 + 12, static_cast<uint32_t>(good.size()), 4, 0},
        {"offset and size wrapping 32 bits", 6 + 12, 0xFFFFFFF0u, 4, 0},
        {"header cut short", 0, 0, 2, 4},
        {"directory cut short", 0, 0, 2, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = good;
        std::memcpy(bytes.data() + c.at, &c.value, c.size);
        if (c.keep != 0) {
            bytes.resize(c.keep);
        }
        const std::wstring path = scratch_ / L"damaged.ico";
        ASSERT_TRUE(writeRaw(path, bytes));
        Held<icon::Archive> archive(icon::Archive::pool());
        EXPECT_FALSE(openFile(archive.get(), path));
        EXPECT_EQ(0u, archive->count());
        EXPECT_EQ(nullptr, archive->entryImage(0));
    }
    Held<icon::Archive> archive(icon::Archive::pool());
    EXPECT_FALSE(openFile(archive.get(), scratch_ / L"missing.ico"));
    EXPECT_FALSE(openFile(archive.get(), scratch_.path()));
}

TEST_F(IconArchiveTest, DamagedGroupsAreRefusedOrSkipped) {
    // Damaged groups written into a copy of the test program: a group icon listing five
    // images in the room of one, and a group cursor whose only image is shorter than
    // its hotspot.
    const std::wstring copy = scratch_ / L"groups.exe";
    ASSERT_TRUE(CopyFileW(ownPath().c_str(), copy.c_str(), FALSE));
    const uint16_t shortIconGroup[] = {0, 1, 5, 0x1010, 0, 1, 32, 0x468, 0, 1};
    const uint16_t shortCursor[] = {0x0102};
    const uint16_t shortCursorGroup[] = {0, 2, 1, 32, 64, 1, 1, 0x100, 0, 503};
    const uint16_t namedGroup[] = {0, 1, 1, 0x1010, 0, 1, 32, 0x468, 0, 1};
    {
        Held<dll::Archive> writer(dll::Archive::openModuleArchive(copy.c_str()));
        ASSERT_TRUE(writer->replaceResource(shortIconGroup, sizeof(shortIconGroup), RT_GROUP_ICON,
                                            MAKEINTRESOURCEW(501), 0x409));
        ASSERT_TRUE(writer->replaceResource(shortCursor, sizeof(shortCursor), RT_CURSOR, MAKEINTRESOURCEW(503), 0x409));
        ASSERT_TRUE(writer->replaceResource(shortCursorGroup, sizeof(shortCursorGroup), RT_GROUP_CURSOR,
                                            MAKEINTRESOURCEW(502), 0x409));
        ASSERT_TRUE(writer->replaceResource(namedGroup, sizeof(namedGroup), RT_GROUP_ICON, L"NAMED", 0x409));
    }
    Held<dll::Archive> module(dll::Archive::openModuleArchive(copy.c_str()));
    Held<icon::Archive> icons(icon::Archive::pool());
    EXPECT_FALSE(icons->loadFromModule(module.get(), 501));
    EXPECT_EQ(0u, icons->count());
    // The group whose count fits reads as before.
    EXPECT_TRUE(icons->loadFromModule(module.get(), PROGRAM_ICON));
    EXPECT_EQ(6u, icons->count());
    Held<cur::Archive> cursors(cur::Archive::pool());
    EXPECT_TRUE(cursors->loadFromModule(module.get(), 502));
    EXPECT_EQ(0u, cursors->count());
    uint32_t index = 7;
    EXPECT_FALSE(cursors->findBestEntry(16, 16, &index));
    EXPECT_EQ(7u, index);
    // A group found by its name text.
    EXPECT_TRUE(icons->loadFromModuleByName(module.get(), L"NAMED"));
    ASSERT_EQ(1u, icons->count());
    EXPECT_EQ(16, icons->entry(0)->directory().width);
    EXPECT_FALSE(icons->loadFromModuleByName(module.get(), L"OTHER"));
}

TEST_F(IconArchiveTest, UnreadableDataIsNeitherWrittenNorShown) {
    const std::string file = iconFile({{16, 16, 8}, {32, 32, 32}});
    const std::wstring path = scratch_ / L"shrinking.ico";
    ASSERT_TRUE(writeRaw(path, file));
    Held<icon::Archive> archive(icon::Archive::pool());
    ASSERT_TRUE(openFile(archive.get(), path));
    // The file loses the end of its second image after its directory was read.
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(file.size() - 100);
    EXPECT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);
    EXPECT_EQ("failed", written(archive.get()));
    EXPECT_EQ(nullptr, archive->entryImage(1));
    Held<BufferedImage> first(archive->entryImage(0));
    EXPECT_TRUE(first);
}

TEST_F(IconArchiveTest, BestEntryPrefersExactThenAreaThenDepth) {
    struct Case {
        const char* name;
        std::string file;
        int width, height;
        uint32_t expected;
    };
    const Case cases[] = {
        {"exact 32-bit", iconFile({{16, 16, 32}, {32, 32, 8}, {32, 32, 32}}), 32, 32, 2},
        {"nearest area", iconFile({{16, 16, 32}, {32, 32, 8}, {32, 32, 32}}), 24, 24, 0},
        {"nearer depth on a tie", iconFile({{32, 32, 8}, {32, 32, 24}}), 16, 16, 1},
        {"nearer depth on a tie, any size", iconFile({{32, 32, 8}, {32, 32, 24}}), 64, 64, 1},
        {"earlier on a full tie", iconFile({{16, 16, 8}, {16, 16, 8}}), 16, 16, 0},
        {"256 stored as 0 counts as area 0", iconFile({{0, 0, 32}, {48, 48, 32}}), 16, 16, 0},
        {"256 wanted", iconFile({{0, 0, 32}, {48, 48, 32}}), 256, 256, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = scratch_ / L"best.ico";
        ASSERT_TRUE(writeRaw(path, c.file));
        Held<icon::Archive> archive(icon::Archive::pool());
        ASSERT_TRUE(openFile(archive.get(), path));
        uint32_t index = 99;
        EXPECT_TRUE(archive->findBestEntry(c.width, c.height, &index));
        EXPECT_EQ(c.expected, index);
    }
}

TEST_F(IconArchiveTest, CursorFilesReportTheWidthForAZeroHeight) {
    std::string bytes = iconFile({{24, 0, 8}});
    bytes[2] = 2;  // a cursor file
    const std::wstring path = scratch_ / L"flat.cur";
    ASSERT_TRUE(writeRaw(path, bytes));
    Held<cur::Archive> archive(cur::Archive::pool());
    ASSERT_TRUE(openFile(archive.get(), path));
    EXPECT_EQ(24, archive->entry(0)->directory().height);
    archive->close();
    Held<icon::Archive> asIcon(icon::Archive::pool());
    bytes[2] = 1;
    ASSERT_TRUE(writeRaw(path, bytes));
    ASSERT_TRUE(openFile(asIcon.get(), path));
    EXPECT_EQ(0, asIcon->entry(0)->directory().height);
}
