// The icon image: hand-built images of every depth and PNG decode to what user32 draws
// of the same data; hostile headers fail cleanly; encoding picks bitmap or PNG by size;
// pictures set at the palette depths and at 32 bits keep their transparency.
#include <windows.h>

#include <gtest/gtest.h>

#include "CodecTestSupport.h"
#include "IconTestSupport.h"
#include "ImageTestSupport.h"
#include "images/image/ico/win/IconImage.h"
#include "images/image/png/win/Png.h"

using icontest::Bytes;
using imagetest::Held;
using imagetest::streamOf;
using s::col::_array::ArrayU08;
using s::image::ico::win::IconImage;
using s::image::win::BufferedImage;

namespace {

bool decodeInto(IconImage* icon, const Bytes& bytes) {
    Held<ArrayU08> stream(streamOf(bytes));
    return icon->decode(static_cast<s::io::IInputStream*>(stream.get()));
}

Bytes encoded(IconImage* icon) {
    Held<ArrayU08> out;
    EXPECT_TRUE(icon->encode(static_cast<s::io::IOutputStream*>(out.get())));
    return imagetest::bytesOf(out.get());
}

// A picture with opaque, translucent and fully transparent pixels.
BufferedImage* shadedPicture(int32_t width, int32_t height) {
    BufferedImage* image = BufferedImage::create(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t alpha = x < width / 4 ? 0 : (x < width / 2 ? 128 : 255);
            image->setPixel(x, y, alpha << 24 | static_cast<uint32_t>(x * 8) << 16 | static_cast<uint32_t>(y * 8) << 8 | 0x40);
        }
    }
    image->setHasAlpha(true);
    return image;
}

Bytes pngIconOf(BufferedImage* picture) {
    Held<s::image::png::win::Png> png(s::image::png::win::Png::createFromImage(picture, false, true, 255, 255, 255));
    Held<ArrayU08> out;
    EXPECT_TRUE(png->encode(static_cast<s::io::IOutputStream*>(out.get())));
    return imagetest::bytesOf(out.get());
}

} // namespace

TEST(IconImage, EveryDepthDecodesToWhatUser32Draws) {
    struct Case {
        const char* name;
        int32_t width, height, bitCount;
        bool alphaZero;
    };
    const Case cases[] = {
        {"1 bit", 32, 32, 1, false},  {"4 bits", 16, 16, 4, false},  {"8 bits", 48, 48, 8, false},
        {"24 bits", 20, 20, 24, false}, {"32 bits", 32, 32, 32, false},
        // Alpha never written: the mask decides, as user32 does it.
        {"32 bits, alpha unused", 24, 24, 32, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes data = icontest::dibIcon(c.width, c.height, c.bitCount, c.alphaZero);
        icontest::Drawn drawn;
        ASSERT_TRUE(icontest::drawWithUser32(data.data(), data.size(), c.width, c.height, drawn));
        Held<IconImage> icon;
        ASSERT_TRUE(decodeInto(icon.get(), data));
        EXPECT_EQ(c.width, icon->width());
        EXPECT_EQ(c.height, icon->height());
        EXPECT_EQ(c.bitCount, icon->bitCount());
        Held<BufferedImage> image(icon->toBufferedImage());
        ASSERT_TRUE(image);
        EXPECT_EQ(0, icontest::mismatches(image.get(), drawn));
        EXPECT_TRUE(image->hasAlpha());
        // Data read back as it came.
        EXPECT_EQ(data, encoded(icon.get()));
    }
}

TEST(IconImage, PngImagesDecodeToWhatUser32Draws) {
    for (int32_t side : {16, 64, 256}) {
        SCOPED_TRACE(side);
        Held<BufferedImage> picture(shadedPicture(side, side));
        const Bytes data = pngIconOf(picture.get());
        Held<IconImage> icon;
        ASSERT_TRUE(decodeInto(icon.get(), data));
        EXPECT_EQ(32, icon->bitCount());
        Held<BufferedImage> image(icon->toBufferedImage());
        icontest::Drawn drawn;
        ASSERT_TRUE(icontest::drawWithUser32(data.data(), data.size(), side, side, drawn));
        EXPECT_EQ(0, icontest::mismatches(image.get(), drawn));
    }
}

TEST(IconImage, HostileHeadersFailCleanly) {
    struct Case {
        const char* name;
        size_t at;
        uint32_t value;
        size_t size;  // bytes of the field
        size_t cut;   // bytes left out at the end
    };
    const Case cases[] = {
        {"header size below 40", 0, 12, 4, 0},
        {"header size past the data", 0, 100000, 4, 0},
        {"width 0", 4, 0, 4, 0},
        {"width beyond any picture", 4, 70000, 4, 0},
        {"negative width", 4, 0x80000000u, 4, 0},
        {"height field 1", 8, 1, 4, 0},
        {"top-down height", 8, static_cast<uint32_t>(-64), 4, 0},
        {"two planes", 12, 2, 2, 0},
        {"2 bits", 14, 2, 2, 0},
        {"16 bits", 14, 16, 2, 0},
        {"compressed", 16, BI_RLE8, 4, 0},
        {"colours used beyond the data", 32, 0xFFFFFFFFu, 4, 0},
        {"mask cut short", 0, 40, 4, 1},
        {"only the header", 0, 40, 4, 1024 + 32 * 32 + 128},
    };
    const Bytes good = icontest::dibIcon(32, 32, 8);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes data = good;
        std::memcpy(data.data() + c.at, &c.value, c.size);
        data.resize(data.size() - c.cut);
        Held<IconImage> icon;
        EXPECT_FALSE(decodeInto(icon.get(), data));
        EXPECT_EQ(0, icon->width());
        EXPECT_EQ(nullptr, icon->bitmap());
        EXPECT_EQ(nullptr, icon->maskBits());
        EXPECT_EQ(nullptr, icon->toBufferedImage());
    }
}

TEST(IconImage, ThirtyTwoBitImagesWithoutMaskTakeTheirAlpha) {
    // Favicons are written as header and colour rows only.
    for (int32_t side : {16, 48}) {
        SCOPED_TRACE(side);
        const Bytes whole = icontest::dibIcon(side, side, 32);
        Bytes bare = whole;
        bare.resize(bare.size() - static_cast<size_t>(IconImage::maskStrideFor(side) * side));
        Held<IconImage> masked;
        Held<IconImage> maskless;
        ASSERT_TRUE(decodeInto(masked.get(), whole));
        ASSERT_TRUE(decodeInto(maskless.get(), bare));
        Held<BufferedImage> expected(masked->toBufferedImage());
        Held<BufferedImage> image(maskless->toBufferedImage());
        ASSERT_TRUE(image);
        EXPECT_TRUE(image->hasAlpha());
        EXPECT_EQ(codectest::pixelsOf(expected.get()), codectest::pixelsOf(image.get()));
    }
}

TEST(IconImage, ColourCountsAreClampedToTheDepth) {
    // A 4-bit image listing 300 colours (all present): 16 are kept, the rest skipped.
    Bytes data = icontest::dibIcon(16, 16, 4);
    const uint32_t listed = 300;
    std::memcpy(data.data() + 32, &listed, 4);
    data.insert(data.begin() + 40 + 16 * 4, (listed - 16) * 4, 0xEE);
    Held<IconImage> icon;
    ASSERT_TRUE(decodeInto(icon.get(), data));
    EXPECT_EQ(16, icon->paletteCount());
    EXPECT_EQ(16u, icon->header().biClrUsed);
    const Bytes plain = icontest::dibIcon(16, 16, 4);
    icontest::Drawn drawn;
    ASSERT_TRUE(icontest::drawWithUser32(plain.data(), plain.size(), 16, 16, drawn));
    Held<BufferedImage> image(icon->toBufferedImage());
    EXPECT_EQ(0, icontest::mismatches(image.get(), drawn));
}

TEST(IconImage, LargeImagesAreEncodedAsPngSmallOnesAsBitmaps) {
    struct Case {
        int32_t side;
        bool png;
    };
    for (const Case& c : {Case{48, false}, Case{255, false}, Case{256, true}, Case{300, true}}) {
        SCOPED_TRACE(c.side);
        Held<BufferedImage> picture(shadedPicture(c.side, c.side));
        Held<IconImage> icon(IconImage::createFromImage(picture.get(), 32, true, 255, 255, 255));
        ASSERT_TRUE(icon);
        const Bytes out = encoded(icon.get());
        ASSERT_GT(out.size(), 8u);
        EXPECT_EQ(c.png, out[0] == 0x89 && out[1] == 'P');
        if (!c.png) {
            const int64_t mask = IconImage::maskStrideFor(c.side) * c.side;
            EXPECT_EQ(static_cast<size_t>(40 + int64_t(c.side) * c.side * 4 + mask), out.size());
            int32_t heightField;
            std::memcpy(&heightField, out.data() + 8, 4);
            EXPECT_EQ(c.side * 2, heightField);
        }
        // Either form decodes to the picture again.
        Held<IconImage> back;
        ASSERT_TRUE(decodeInto(back.get(), out));
        Held<BufferedImage> image(back->toBufferedImage());
        EXPECT_EQ(picture->pixel(c.side - 1, 3), image->pixel(c.side - 1, 3));
        EXPECT_EQ(0u, image->pixel(0, 0) >> 24);
    }
}

TEST(IconImage, PicturesAreSetAtPaletteAndFullDepths) {
    struct Case {
        int32_t bitCount;
        bool keep;
        bool made;
        int32_t paletteCount;
        bool masked;  // the transparent quarter is masked
    };
    const Case cases[] = {
        {4, true, true, 16, true},   {8, true, true, 256, true},  {32, true, true, 0, true},
        {8, false, true, 256, false}, {32, false, true, 0, false},
        // No conversion at these depths: refused instead of an all-black icon.
        {1, true, false, 0, false},  {24, true, false, 0, false}, {16, true, false, 0, false},
    };
    Held<BufferedImage> picture(shadedPicture(16, 8));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits, keep " << c.keep);
        Held<IconImage> icon;
        ASSERT_EQ(c.made, icon->setFromImage(picture.get(), c.bitCount, c.keep, 0, 255, 0));
        if (!c.made) {
            EXPECT_EQ(nullptr, icon->bitmap());
            EXPECT_EQ(nullptr, icon->createIcon());
            continue;
        }
        EXPECT_EQ(c.paletteCount, icon->paletteCount());
        EXPECT_EQ(c.masked, (icon->maskRow(0)[0] & 0x80) != 0);
        EXPECT_EQ(0, icon->maskRow(0)[1]);  // pixels 8-15 are visible
        Held<BufferedImage> image(icon->toBufferedImage());
        const uint32_t corner = image->pixel(0, 0);
        if (c.masked) {
            EXPECT_EQ(0u, corner >> 24);
        } else {
            EXPECT_EQ(0xFF00FF00u, corner | 0xFF000000u);  // blended over green
        }
        if (c.bitCount != 4) {  // 15 colours cannot hold the picture's 128
            EXPECT_EQ(picture->pixel(15, 7) | 0xFF000000u, image->pixel(15, 7) | 0xFF000000u);
        }
        // user32 makes the same icon from what it is given.
        HICON handle = icon->createIcon();
        ASSERT_NE(nullptr, handle);
        icontest::Drawn drawn;
        ASSERT_TRUE(icontest::drawOver(handle, 16, 8, 0, drawn.onBlack));
        ASSERT_TRUE(icontest::drawOver(handle, 16, 8, 0xFFFFFF, drawn.onWhite));
        DestroyIcon(handle);
        EXPECT_EQ(0, icontest::mismatches(image.get(), drawn, c.bitCount == 32 ? 3 : 0));
    }
}
