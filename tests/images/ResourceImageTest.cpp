// Pictures decoded from the test program's own resources (tests/images/images.rc).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ImageTestSupport.h"
#include "images/archive/dll/win/Archive.h"
#include "images/image/bmp/win/Bitmap.h"

using imagetest::Held;
using s::archive::dll::win::Archive;
using s::image::bmp::win::Bitmap;
using s::image::win::BufferedImage;

namespace {

// The pixels of data/picture.bmp, top row first, as 0xRRGGBB.
const uint32_t PICTURE[3][4] = {
    {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
    {0x000000, 0x808080, 0xFFFF00, 0x00FFFF},
    {0x123456, 0x654321, 0xABCDEF, 0xFEDCBA},
};

Archive* ownArchive() {
    std::vector<wchar_t> path(32768);
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    path.push_back(L'\0');
    return Archive::openModuleArchive(path.data());
}

void expectPicture(Bitmap* bitmap) {
    ASSERT_EQ(4, bitmap->width());
    ASSERT_EQ(3, bitmap->height());
    EXPECT_EQ(24, bitmap->bitCount());
    Held<BufferedImage> image(bitmap->toBufferedImage());
    ASSERT_TRUE(image);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(0xFF000000u | PICTURE[y][x], image->pixel(x, y)) << "at " << x << "," << y;
        }
    }
}

} // namespace

TEST(ResourceImage, FoundEntryDecodesByTypeNameOrNumber) {
    Held<Archive> archive(ownArchive());
    ASSERT_TRUE(archive);
    ASSERT_NE(0u, archive->count());

    Held<Bitmap> named;
    ASSERT_TRUE(named->loadResource(archive.get(), L"IDR_BMP", 1));
    expectPicture(named.get());

    Held<Bitmap> numbered;
    ASSERT_TRUE(numbered->loadResource(archive.get(), RT_RCDATA, 3));
    expectPicture(numbered.get());
}

TEST(ResourceImage, AbsentEntryLeavesPictureUnchanged) {
    Held<Archive> archive(ownArchive());
    ASSERT_TRUE(archive);
    Held<Bitmap> bitmap;
    ASSERT_TRUE(bitmap->loadResource(archive.get(), L"IDR_BMP", 1));
    const HBITMAP before = bitmap->handle();

    EXPECT_FALSE(bitmap->loadResource(archive.get(), L"IDR_BMP", 99));   // no such id
    EXPECT_FALSE(bitmap->loadResource(archive.get(), L"IDR_PNG", 1));    // no such type
    EXPECT_FALSE(bitmap->loadResource(archive.get(), RT_RCDATA, 1));     // id 1 is only under IDR_BMP
    EXPECT_FALSE(bitmap->loadResource(nullptr, L"IDR_BMP", 1));
    EXPECT_FALSE(bitmap->loadResource(archive.get(), nullptr, 1));

    EXPECT_EQ(before, bitmap->handle());
    expectPicture(bitmap.get());
}

TEST(ResourceImage, BrokenBytesReportFailure) {
    Held<Archive> archive(ownArchive());
    ASSERT_TRUE(archive);
    Held<Bitmap> bitmap;
    ASSERT_TRUE(bitmap->loadResource(archive.get(), L"IDR_BMP", 1));

    // The entry is there, but its rows are cut off: the decode fails and says so.
    EXPECT_FALSE(bitmap->loadResource(archive.get(), L"IDR_BMP", 2));
    EXPECT_EQ(nullptr, bitmap->handle());
    EXPECT_EQ(0, bitmap->width());
}
