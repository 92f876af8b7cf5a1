// The colour quantizer, and the 4- and 8-bit BMP files written through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "ImageTestSupport.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/filters/reduction/Quantizer.h"

using imagetest::Held;
using s::col::_array::ArrayU08;
using s::image::bmp::win::Bitmap;
using s::image::filters::reduction::Quantizer;
using s::image::win::BufferedImage;

namespace {

// An image whose pixels are the given 0xAARRGGBB values, row by row.
BufferedImage* imageOf(int32_t width, int32_t height, const std::vector<uint32_t>& argb, bool hasAlpha) {
    BufferedImage* image = BufferedImage::create(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            image->setPixel(x, y, argb[static_cast<size_t>(y * width + x)]);
        }
    }
    image->setHasAlpha(hasAlpha);
    return image;
}

uint32_t rgbOf(const RGBQUAD& c) {
    return (static_cast<uint32_t>(c.rgbRed) << 16) | (c.rgbGreen << 8) | c.rgbBlue;
}

// The octree's order: bits of red, green, blue interleaved from the most significant.
uint32_t treeKey(uint32_t rgb) {
    uint32_t key = 0;
    for (int bit = 7; bit >= 0; --bit) {
        key = key << 3 | ((rgb >> (16 + bit)) & 1) << 2 | ((rgb >> (8 + bit)) & 1) << 1 | ((rgb >> bit) & 1);
    }
    return key;
}

std::vector<uint8_t> mapRow(const Quantizer& q, const BufferedImage* image, int32_t y, int32_t depth, uint8_t fill) {
    std::vector<uint8_t> out(static_cast<size_t>(image->width()), fill);
    q.mapPixels(image->row(y), image->width(), out.data(), depth);
    return out;
}

TEST(Quantizer, FewColoursComeOutExactlyInTreeOrderWithTheTailZeroed) {
    const uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF;
    Held<BufferedImage> image(imageOf(3, 2, {red, green, blue, blue, red, green}, false));
    Held<Quantizer> q;
    ASSERT_TRUE(q->buildPalette(image.get(), 8));
    EXPECT_EQ(8, q->colourCount());
    ASSERT_EQ(3, q->paletteEntries());
    EXPECT_EQ(0x0000FFu, rgbOf(q->palette()[0]));
    EXPECT_EQ(0x00FF00u, rgbOf(q->palette()[1]));
    EXPECT_EQ(0xFF0000u, rgbOf(q->palette()[2]));
    for (int i = 3; i < Quantizer::MAX_COLOURS; ++i) {
        EXPECT_EQ(0u, rgbOf(q->palette()[i])) << i;
    }
    EXPECT_EQ((std::vector<uint8_t>{2, 1, 0}), mapRow(*q.get(), image.get(), 0, 8, 0xEE));
}

TEST(Quantizer, AlphaCountsOnlyWhenThePictureUsesIt) {
    // GDI leaves alpha bytes 0: without the alpha flag they are colours all the same.
    Held<BufferedImage> drawn(imageOf(2, 1, {0x00102030, 0x00405060}, false));
    Held<Quantizer> q;
    ASSERT_TRUE(q->buildPalette(drawn.get(), 16));
    EXPECT_EQ(2, q->paletteEntries());
    EXPECT_EQ((std::vector<uint8_t>{0, 1}), mapRow(*q.get(), drawn.get(), 0, 8, 0xEE));

    // With the flag, alpha 0 takes no part and translucent pixels get the index past
    // the colours, when the depth can hold it.
    Held<BufferedImage> cut(imageOf(4, 1, {0xFF102030, 0x00FFFFFF, 0x80405060, 0xFF405060}, true));
    struct Case {
        int32_t colours;
        int32_t depth;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {16, 8, {0, 16, 16, 1}},
        {255, 8, {0, 255, 255, 1}},
        {256, 8, {0, 1, 1, 1}},  // no room: nearest colours
        {15, 4, {0x0F, 0xF1}},
        {16, 4, {0x01, 0x11}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(q->buildPalette(cut.get(), c.colours)) << c.colours;
        EXPECT_EQ(2, q->paletteEntries()) << c.colours;
        std::vector<uint8_t> out(c.expected.size(), 0xEE);
        q->mapPixels(cut->row(0), 4, out.data(), c.depth);
        EXPECT_EQ(c.expected, out) << c.colours << " colours at " << c.depth << " bits";
    }
}

TEST(Quantizer, RefusesColourCountsOutsideOneTo256) {
    Held<BufferedImage> image(imageOf(1, 1, {0xFF123456}, false));
    Held<Quantizer> q;
    for (int32_t colours : {0, -1, 257, 100000}) {
        EXPECT_FALSE(q->buildPalette(image.get(), colours)) << colours;
        EXPECT_EQ(0, q->paletteEntries());
        EXPECT_EQ(0u, rgbOf(q->palette()[0]));
    }
    EXPECT_FALSE(q->buildPalette(nullptr, 16));
    EXPECT_TRUE(q->buildPalette(image.get(), 1));
    EXPECT_TRUE(q->buildPalette(image.get(), 256));
}

TEST(Quantizer, SmallPalettesGroupLeavesInTreeOrderByWeightedMeans) {
    // 16 colours stay 16 leaves; 15 requested gives one group of two leaves.
    std::vector<uint32_t> colours;
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t rgb = (i * 16 + 5) << 16 | (255 - i * 13) << 8 | (i * 7);
        colours.push_back(rgb);
        for (uint32_t n = 0; n <= i % 4; ++n) {
            pixels.push_back(0xFF000000 | rgb);  // weights 1 to 4
        }
    }
    std::map<uint32_t, uint32_t> weight;
    for (uint32_t p : pixels) {
        ++weight[p & 0xFFFFFF];
    }
    std::sort(colours.begin(), colours.end(), [](uint32_t a, uint32_t b) { return treeKey(a) < treeKey(b); });
    Held<BufferedImage> image(imageOf(static_cast<int32_t>(pixels.size()), 1, pixels, false));
    Held<Quantizer> q;
    ASSERT_TRUE(q->buildPalette(image.get(), 15));
    EXPECT_EQ(16u, q->leafCount());
    ASSERT_EQ(15, q->paletteEntries());
    for (int k = 0; k < 15; ++k) {
        uint64_t count = 0, r = 0, g = 0, b = 0;
        for (int i = 16 * k / 15; i < 16 * (k + 1) / 15; ++i) {
            const uint32_t c = colours[static_cast<size_t>(i)];
            const uint32_t w = weight[c];
            count += w;
            r += w * (c >> 16);
            g += w * ((c >> 8) & 255);
            b += w * (c & 255);
        }
        EXPECT_EQ(static_cast<uint32_t>((r / count) << 16 | (g / count) << 8 | (b / count)), rgbOf(q->palette()[k]))
            << "group " << k;
    }
}

TEST(Quantizer, ManyColoursReduceToTheRequestedCount) {
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 64 * 64; ++i) {
        pixels.push_back(0xFF000000 | (i * 2654435761u >> 8));
    }
    Held<BufferedImage> image(imageOf(64, 64, pixels, false));
    Held<Quantizer> q;
    for (int32_t colours : {2, 16, 100, 256}) {
        ASSERT_TRUE(q->buildPalette(image.get(), colours));
        EXPECT_LE(q->leafCount(), static_cast<uint32_t>(std::max(16, colours)));
        EXPECT_LE(q->paletteEntries(), colours);
        EXPECT_GE(q->paletteEntries(), 1);
        for (uint8_t index : mapRow(*q.get(), image.get(), 5, 8, 0)) {
            EXPECT_LT(index, q->paletteEntries());
        }
    }
}

TEST(Quantizer, FourBitRowsPackHighHalfFirstAndOddWidthsEndInAZeroLowHalf) {
    Held<BufferedImage> image(imageOf(3, 1, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000}, false));
    Held<Quantizer> q;
    ASSERT_TRUE(q->buildPalette(image.get(), 16));
    uint8_t row[2] = {0xFF, 0xFF};
    q->mapPixels(image->row(0), 3, row, 4);
    EXPECT_EQ(0x01, row[0]);
    EXPECT_EQ(0x20, row[1]);
}

TEST(Quantizer, GivesIdenticalResultsWhenReused) {
    std::vector<uint32_t> a, b;
    for (uint32_t i = 0; i < 40 * 30; ++i) {
        a.push_back(0xFF000000 | (i * 7919u * 31u));
        b.push_back(0xFF000000 | (i * 104729u));
    }
    Held<BufferedImage> first(imageOf(40, 30, a, false));
    Held<BufferedImage> other(imageOf(40, 30, b, false));
    auto run = [&](Quantizer* q) {
        EXPECT_TRUE(q->buildPalette(first.get(), 50));
        std::vector<uint8_t> out(reinterpret_cast<const uint8_t*>(q->palette()),
                                 reinterpret_cast<const uint8_t*>(q->palette() + Quantizer::MAX_COLOURS));
        for (int32_t y = 0; y < 30; ++y) {
            const std::vector<uint8_t> row = mapRow(*q, first.get(), y, 8, 0);
            out.insert(out.end(), row.begin(), row.end());
        }
        return out;
    };
    Held<Quantizer> q;
    const std::vector<uint8_t> once = run(q.get());
    ASSERT_TRUE(q->buildPalette(other.get(), 256));
    EXPECT_EQ(once, run(q.get()));
    Quantizer* raw = q.get();
    q.get()->release();
    Quantizer* again = Quantizer::pool();  // the same object back from the pool
    EXPECT_EQ(raw, again);
    EXPECT_EQ(once, run(again));
    q.take();
    again->release();
}

// A true-colour picture written as a paletted BMP and read back.
TEST(PalettedBmp, TrueColourPicturesWriteExactlyWhenTheirColoursFit) {
    struct Case {
        int32_t width;
        int32_t height;
        int32_t bitCount;
        uint32_t colours;
    };
    for (const Case& c : {Case{37, 21, 8, 200}, Case{7, 5, 4, 16}, Case{8, 3, 4, 9}}) {
        std::vector<uint32_t> pixels;
        for (int32_t i = 0; i < c.width * c.height; ++i) {
            const uint32_t k = static_cast<uint32_t>(i * 7) % c.colours;
            pixels.push_back(0xFF000000 | (k * 40503u) << 4);
        }
        Held<BufferedImage> image(imageOf(c.width, c.height, pixels, false));
        Held<ArrayU08> file;
        ASSERT_TRUE(image->saveBmp(file.get(), c.bitCount, true, 255, 255, 255)) << c.bitCount;
        const imagetest::Bytes bytes = imagetest::bytesOf(file.get());
        EXPECT_EQ(c.bitCount, bytes[28]);
        EXPECT_EQ(54u + (4u << c.bitCount), bytes[10] | bytes[11] << 8u);
        Held<ArrayU08> in(imagetest::streamOf(bytes));
        Held<Bitmap> bitmap;
        ASSERT_TRUE(bitmap->decode(in.get()));
        Held<BufferedImage> back(bitmap->toBufferedImage());
        for (int32_t y = 0; y < c.height; ++y) {
            for (int32_t x = 0; x < c.width; ++x) {
                ASSERT_EQ(pixels[static_cast<size_t>(y * c.width + x)], back->pixel(x, y))
                    << c.bitCount << " bits at " << x << "," << y;
            }
        }
    }
}

// Reads back a picture saved as a BMP of bitCount bits over a blue background.
BufferedImage* throughBmp(BufferedImage* image, int32_t bitCount) {
    Held<ArrayU08> file;
    EXPECT_TRUE(image->saveBmp(file.get(), bitCount, true, 0, 0, 255));
    file->rewind();
    Held<Bitmap> bitmap;
    EXPECT_TRUE(bitmap->decode(file.get()));
    return bitmap->toBufferedImage();
}

TEST(PalettedBmp, GdiDrawnAndTranslucentPicturesKeepTheirColours) {
    // GDI leaves alpha bytes 0 in a picture without alpha.
    Held<BufferedImage> drawn(BufferedImage::create(6, 4));
    drawn->fill(0, 0, 0, 0);
    drawn->setHasAlpha(false);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, drawn->nativeHandle());
    HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
    RECT r{0, 0, 3, 4};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    GdiFlush();
    for (int32_t bitCount : {4, 8}) {
        Held<BufferedImage> back(throughBmp(drawn.get(), bitCount));
        EXPECT_EQ(0xFFC86432u, back->pixel(2, 3)) << bitCount;
        EXPECT_EQ(0xFF000000u, back->pixel(3, 0)) << bitCount;
    }
    // Half-transparent red is blended over the background.
    Held<BufferedImage> translucent(imagetest::solidImage(2, 2, 0x80FF0000));
    Held<BufferedImage> back(throughBmp(translucent.get(), 8));
    const uint32_t blended = back->pixel(1, 1);
    EXPECT_NEAR(0x80, static_cast<int>((blended >> 16) & 255), 2);
    EXPECT_EQ(0u, (blended >> 8) & 255);
    EXPECT_NEAR(0x7F, static_cast<int>(blended & 255), 2);
}

} // namespace
