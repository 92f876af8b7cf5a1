// The BMP codec: exact round trips, header rules, and files that must fail cleanly.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "ImageTestSupport.h"
#include "images/image/bmp/win/Bitmap.h"

using imagetest::BmpLayout;
using imagetest::Bytes;
using imagetest::Held;
using s::col::_array::ArrayU08;
using s::image::bmp::win::Bitmap;
using s::image::win::BufferedImage;

namespace {

// A bitmap of the depth filled with a byte pattern (palette entries i -> (i, 255 - i, 3i)).
Bitmap* patterned(int32_t width, int32_t height, int32_t bitCount) {
    Bitmap* bitmap = Bitmap::pool();
    if (bitmap->create(width, height, bitCount) == nullptr) {
        return bitmap;
    }
    for (int32_t i = 0; i < bitmap->colourTableEntries(); ++i) {
        bitmap->colourTable()[i] = RGBQUAD{static_cast<BYTE>(3 * i), static_cast<BYTE>(255 - i),
                                           static_cast<BYTE>(i), 0};
    }
    uint8_t* bits = bitmap->bits();
    for (int32_t i = 0; i < bitmap->stride() * height; ++i) {
        bits[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    return bitmap;
}

Bytes encoded(Bitmap* bitmap) {
    Held<ArrayU08> out;
    EXPECT_TRUE(bitmap->encode(out.get()));
    return imagetest::bytesOf(out.get());
}

// Decodes bytes into a fresh bitmap; false leaves it checked for being empty.
bool decodes(const Bytes& file, Bitmap* into) {
    Held<ArrayU08> in(imagetest::streamOf(file));
    const bool done = into->decode(in.get());
    if (!done) {
        EXPECT_EQ(nullptr, into->handle());
        EXPECT_EQ(0, into->width());
        EXPECT_EQ(nullptr, into->toBufferedImage());
    }
    return done;
}

} // namespace

TEST(BitmapCodec, RoundTripsEveryDepthByteForByte) {
    for (int32_t bitCount : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bitCount);
        Held<Bitmap> original(patterned(13, 5, bitCount));
        ASSERT_NE(nullptr, original->handle());
        const Bytes first = encoded(original.get());
        ASSERT_EQ(original->fileHeader().bfSize, first.size());

        Held<Bitmap> decoded;
        ASSERT_TRUE(decodes(first, decoded.get()));
        EXPECT_EQ(13, decoded->width());
        EXPECT_EQ(5, decoded->height());
        EXPECT_EQ(bitCount, decoded->bitCount());
        EXPECT_EQ(first, encoded(decoded.get()));
    }
}

TEST(BitmapCodec, PalettedPicturesConvertThroughTheirColourTable) {
    for (int32_t bitCount : {1, 4, 8}) {
        SCOPED_TRACE(bitCount);
        Held<Bitmap> bitmap(patterned(11, 4, bitCount));
        Held<BufferedImage> image(bitmap->toBufferedImage());
        ASSERT_NE(nullptr, image.get());
        // Wine's conversion from a palette writes alpha 0: the picture must still be opaque.
        EXPECT_FALSE(image->hasAlpha());
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 11; ++x) {
                const RGBQUAD c = bitmap->colourTable()[Bitmap::indexAt(bitmap->row(y), x, bitCount)];
                const uint32_t expected = 0xFF000000u | (c.rgbRed << 16) | (c.rgbGreen << 8) | c.rgbBlue;
                ASSERT_EQ(expected, image->pixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(BitmapCodec, HeaderFieldsFollowTheDepth) {
    Held<Bitmap> mono;
    ASSERT_NE(nullptr, mono->create(10, 3, 1));
    EXPECT_EQ(4, mono->stride());
    EXPECT_EQ(4u, mono->infoHeader().biSizeImage);
    EXPECT_EQ(2u, mono->infoHeader().biClrUsed);
    EXPECT_EQ(62u, mono->fileHeader().bfOffBits);
    EXPECT_EQ(62u + 3 * 4, mono->fileHeader().bfSize);

    Held<Bitmap> narrow;
    ASSERT_NE(nullptr, narrow->create(1, 2, 24));
    EXPECT_EQ(4, narrow->stride());
    EXPECT_EQ(6u, narrow->infoHeader().biSizeImage);
    EXPECT_FALSE(narrow->hasColourTable());

    // Depths and sizes a DIB cannot hold give no bitmap rather than a wrong one.
    Held<Bitmap> bad;
    EXPECT_EQ(nullptr, bad->create(10, 10, 7));
    EXPECT_EQ(nullptr, bad->create(0, 10, 32));
    EXPECT_EQ(nullptr, bad->create(10, -10, 32));
    EXPECT_EQ(nullptr, bad->create(70000, 70000, 32));
    EXPECT_EQ(nullptr, bad->handle());
}

TEST(BitmapCodec, TrueColourSurvivesTheInMemoryImage) {
    for (int32_t bitCount : {24, 32}) {
        SCOPED_TRACE(bitCount);
        Held<Bitmap> original;
        ASSERT_NE(nullptr, original->create(7, 3, bitCount));
        for (int32_t y = 0; y < 3; ++y) {
            uint8_t* row = original->row(y);
            for (int32_t x = 0; x < 7; ++x) {
                uint8_t* p = row + x * (bitCount / 8);
                p[0] = static_cast<uint8_t>(x * 30);
                p[1] = static_cast<uint8_t>(y * 80);
                p[2] = static_cast<uint8_t>(200 - x * 10);
                if (bitCount == 32) {
                    p[3] = 255;
                }
            }
        }
        const Bytes file = encoded(original.get());
        Held<Bitmap> decoded;
        ASSERT_TRUE(decodes(file, decoded.get()));
        Held<BufferedImage> image(decoded->toBufferedImage());
        ASSERT_NE(nullptr, image.get());
        Held<ArrayU08> saved;
        ASSERT_TRUE(image->saveBmp(saved.get(), bitCount, true, 255, 255, 255));
        EXPECT_EQ(file, imagetest::bytesOf(saved.get()));
    }
}

TEST(BitmapCodec, AlphaBytesDecideTransparency) {
    BmpLayout layout;
    layout.bitCount = 32;
    layout.pixels = Bytes(16, 0);
    for (int i = 0; i < 4; ++i) {
        layout.pixels[i * 4 + 2] = 200;  // red, alpha 0 everywhere
    }
    Held<Bitmap> unused;
    ASSERT_TRUE(decodes(imagetest::buildBmp(layout), unused.get()));
    Held<BufferedImage> opaque(unused->toBufferedImage());
    EXPECT_FALSE(opaque->hasAlpha());
    EXPECT_EQ(0xFFC80000u, opaque->pixel(1, 1));

    layout.pixels[3] = 0x80;  // bottom-left pixel half transparent, the rest opaque
    layout.pixels[7] = layout.pixels[11] = layout.pixels[15] = 255;
    Held<Bitmap> used;
    ASSERT_TRUE(decodes(imagetest::buildBmp(layout), used.get()));
    Held<BufferedImage> translucent(used->toBufferedImage());
    EXPECT_TRUE(translucent->hasAlpha());
    EXPECT_EQ(0x80C80000u, translucent->pixel(0, 1));
    EXPECT_EQ(0xFFC80000u, translucent->pixel(1, 0));

    // Into a target that had alpha before, with a larger capacity.
    Held<BufferedImage> target(imagetest::solidImage(9, 9, 0x10203040));
    ASSERT_EQ(target.get(), unused->toBufferedImage(target.get()));
    EXPECT_EQ(2, target->width());
    EXPECT_FALSE(target->hasAlpha());
    EXPECT_EQ(0xFFC80000u, target->pixel(0, 0));
}

TEST(BitmapCodec, TopDownFilesAreTurnedBottomUp) {
    // Rows listed top first with a negative height, and the same picture bottom-up.
    BmpLayout topDown;
    topDown.height = -2;
    topDown.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    BmpLayout bottomUp = topDown;
    bottomUp.height = 2;
    bottomUp.pixels = {7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0};

    Held<Bitmap> a;
    Held<Bitmap> b;
    ASSERT_TRUE(decodes(imagetest::buildBmp(topDown), a.get()));
    ASSERT_TRUE(decodes(imagetest::buildBmp(bottomUp), b.get()));
    EXPECT_EQ(2, a->height());
    EXPECT_EQ(encoded(b.get()), encoded(a.get()));
    Held<BufferedImage> image(a->toBufferedImage());
    EXPECT_EQ(0xFF030201u, image->pixel(0, 0));
    EXPECT_EQ(0xFF0C0B0Au, image->pixel(1, 1));
}

TEST(BitmapCodec, HostileHeadersFailCleanly) {
    struct Case {
        const char* name;
        BmpLayout layout;
    };
    std::vector<Case> cases;
    const auto add = [&](const char* name, auto change) {
        BmpLayout layout;
        layout.pixels = Bytes(16, 0x55);
        change(layout);
        cases.push_back({name, layout});
    };
    add("not BM", [](BmpLayout& s) { s.type = 0x4D5A; });
    add("core header", [](BmpLayout& s) { s.headerSize = 12; });
    add("two planes", [](BmpLayout& s) { s.planes = 2; });
    add("7 bits", [](BmpLayout& s) { s.bitCount = 7; });
    add("RLE8", [](BmpLayout& s) { s.bitCount = 8; s.compression = BI_RLE8; s.table = Bytes(1024, 0); });
    add("RLE4", [](BmpLayout& s) { s.bitCount = 4; s.compression = BI_RLE4; s.table = Bytes(64, 0); });
    add("embedded JPEG", [](BmpLayout& s) { s.compression = BI_JPEG; });
    add("embedded PNG", [](BmpLayout& s) { s.compression = BI_PNG; });
    add("24-bit bit fields", [](BmpLayout& s) { s.compression = BI_BITFIELDS; s.table = Bytes(12, 0xFF); });
    add("alpha bit fields", [](BmpLayout& s) { s.bitCount = 32; s.compression = 6; s.table = Bytes(16, 0xFF); });
    add("zero width", [](BmpLayout& s) { s.width = 0; });
    add("negative width", [](BmpLayout& s) { s.width = -2; });
    add("zero height", [](BmpLayout& s) { s.height = 0; });
    add("lowest height", [](BmpLayout& s) { s.height = INT32_MIN; });
    add("width x bits overflow", [](BmpLayout& s) { s.width = 0x7FFFFFFF; s.bitCount = 32; s.height = 1; });
    add("stride overflow", [](BmpLayout& s) { s.width = 0x40000000; s.bitCount = 32; });
    add("beyond any DIB", [](BmpLayout& s) { s.width = 70000; s.height = 70000; s.bitCount = 32; });
    add("claims more rows than present", [](BmpLayout& s) { s.width = 20000; s.height = 20000; s.bitCount = 8;
                                                          s.table = Bytes(1024, 0); });
    add("pixels inside the header", [](BmpLayout& s) { s.pixelOffset = 20; });
    add("header larger than the file", [](BmpLayout& s) { s.headerSize = 0x10000000; });
    // 32 MB of whole 1-bit data that would take 1 GiB as a picture: beyond the decode cap.
    add("16384 x 16384", [](BmpLayout& s) { s.width = s.height = 16384; s.bitCount = 1; s.table = Bytes(8, 0);
                                            s.pixels = Bytes(2048 * 16384, 0x5A); });
    add("16385 wide", [](BmpLayout& s) { s.width = 16385; s.height = 1; s.pixels = Bytes(49156, 0); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = imagetest::buildBmp(c.layout);
        Held<Bitmap> bitmap;
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(decodes(file, bitmap.get()));
        EXPECT_LT(GetTickCount64() - start, 1000u);
    }
    // A pixel offset far beyond the data.
    BmpLayout plain;
    plain.pixels = Bytes(16, 0x55);
    Bytes farOff = imagetest::buildBmp(plain);
    imagetest::put<uint32_t>(farOff, 10, 0x7FFFFFF0);
    Held<Bitmap> distant;
    EXPECT_FALSE(decodes(farOff, distant.get()));
    Held<Bitmap> bitmap;
    EXPECT_FALSE(bitmap->decode(nullptr));
    EXPECT_FALSE(bitmap->decodeDib(nullptr));
}

TEST(BitmapCodec, EveryTruncationFailsCleanly) {
    Held<Bitmap> original(patterned(5, 3, 8));
    const Bytes file = encoded(original.get());
    for (size_t length = 0; length < file.size(); ++length) {
        Held<Bitmap> bitmap;
        ASSERT_FALSE(decodes(Bytes(file.begin(), file.begin() + static_cast<ptrdiff_t>(length)), bitmap.get()))
            << length;
    }
    Held<ArrayU08> dib;
    ASSERT_TRUE(original->encodeDib(dib.get()));
    const Bytes resource = imagetest::bytesOf(dib.get());
    for (size_t length = 0; length < resource.size(); ++length) {
        Held<Bitmap> bitmap;
        Held<ArrayU08> in(imagetest::streamOf(Bytes(resource.begin(), resource.begin() + static_cast<ptrdiff_t>(length))));
        ASSERT_FALSE(bitmap->decodeDib(in.get())) << length;
        ASSERT_EQ(nullptr, bitmap->handle());
    }
}

TEST(BitmapCodec, HeadlessFormRoundTrips) {
    Held<Bitmap> original(patterned(9, 4, 4));
    Held<ArrayU08> first;
    ASSERT_TRUE(original->encodeDib(first.get()));
    first->rewind();
    Held<Bitmap> decoded;
    ASSERT_TRUE(decoded->decodeDib(first.get()));
    EXPECT_EQ(16, decoded->colourTableEntries());
    Held<ArrayU08> second;
    ASSERT_TRUE(decoded->encodeDib(second.get()));
    EXPECT_EQ(imagetest::bytesOf(first.get()), imagetest::bytesOf(second.get()));
    EXPECT_EQ(encoded(original.get()), encoded(decoded.get()));
}

TEST(BitmapCodec, ColourTablesFollowTheHeader) {
    // A short palette: the rows follow two entries.
    BmpLayout shortTable;
    shortTable.bitCount = 8;
    shortTable.width = 4;
    shortTable.height = 1;
    shortTable.coloursUsed = 2;
    shortTable.table = {10, 20, 30, 0, 40, 50, 60, 0};
    shortTable.pixels = {1, 0, 1, 1};
    Held<Bitmap> a;
    ASSERT_TRUE(decodes(imagetest::buildBmp(shortTable), a.get()));
    EXPECT_EQ(2, a->colourTableEntries());
    Held<BufferedImage> image(a->toBufferedImage());
    EXPECT_EQ(0xFF3C3228u, image->pixel(0, 0));
    EXPECT_EQ(0xFF1E140Au, image->pixel(1, 0));
    Held<Bitmap> again;
    ASSERT_TRUE(decodes(encoded(a.get()), again.get()));
    EXPECT_EQ(encoded(a.get()), encoded(again.get()));

    // More entries listed than 8 bits can index: the first 256 are kept, the rows
    // are found at the pixel offset.
    BmpLayout longTable = shortTable;
    longTable.coloursUsed = 300;
    longTable.table = Bytes(300 * 4, 7);
    Held<Bitmap> b;
    ASSERT_TRUE(decodes(imagetest::buildBmp(longTable), b.get()));
    EXPECT_EQ(256, b->colourTableEntries());
    EXPECT_EQ(0, std::memcmp(b->row(0), shortTable.pixels.data(), 4));

    // A pixel offset inside the listed table: the stream is moved back to the rows.
    BmpLayout overlapping;
    overlapping.bitCount = 8;
    overlapping.width = 40;
    overlapping.height = 30;
    overlapping.table = {1, 2, 3, 0, 4, 5, 6, 0};
    overlapping.pixels = Bytes(40 * 30, 0);
    for (size_t i = 0; i < overlapping.pixels.size(); ++i) {
        overlapping.pixels[i] = static_cast<uint8_t>(i % 2);
    }
    Held<Bitmap> c;
    ASSERT_TRUE(decodes(imagetest::buildBmp(overlapping), c.get()));
    EXPECT_EQ(0, std::memcmp(c->bits(), overlapping.pixels.data(), overlapping.pixels.size()));

    // At 16 bits without bit fields a listed palette holds no masks and is not kept.
    BmpLayout advisory;
    advisory.bitCount = 16;
    advisory.coloursUsed = 2;
    advisory.table = {1, 2, 3, 0, 4, 5, 6, 0};
    advisory.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F};
    Held<Bitmap> d;
    ASSERT_TRUE(decodes(imagetest::buildBmp(advisory), d.get()));
    EXPECT_FALSE(d->hasColourTable());
    EXPECT_EQ(54u, d->fileHeader().bfOffBits);
    EXPECT_EQ(0, std::memcmp(d->bits(), advisory.pixels.data(), 8));
    Held<BufferedImage> rgb555(d->toBufferedImage());
    EXPECT_EQ(0xF80000u, rgb555->pixel(0, 1) & 0xF8F8F8);  // 0x7C00: red
    EXPECT_EQ(0x00F800u, rgb555->pixel(1, 1) & 0xF8F8F8);  // 0x03E0: green
    EXPECT_EQ(0x0000F8u, rgb555->pixel(0, 0) & 0xF8F8F8);  // 0x001F: blue
}

TEST(BitmapCodec, BitFieldMasksComeFromTableOrHeader) {
    const Bytes masks565 = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    const Bytes pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF};  // red, green / blue, white
    BmpLayout afterHeader;
    afterHeader.bitCount = 16;
    afterHeader.compression = BI_BITFIELDS;
    afterHeader.table = masks565;
    afterHeader.pixels = pixels;
    BmpLayout inHeader = afterHeader;
    inHeader.headerSize = 124;
    inHeader.extraHeader = masks565;
    inHeader.table.clear();
    for (const BmpLayout* layout : {&afterHeader, &inHeader}) {
        SCOPED_TRACE(layout->headerSize);
        Held<Bitmap> bitmap;
        ASSERT_TRUE(decodes(imagetest::buildBmp(*layout), bitmap.get()));
        EXPECT_EQ(3, bitmap->colourTableEntries());
        EXPECT_FALSE(bitmap->hasAlphaChannel());
        Held<BufferedImage> image(bitmap->toBufferedImage());
        EXPECT_EQ(0xFFF80000u, image->pixel(0, 1) & 0xFFF8F8F8);
        EXPECT_EQ(0xFF00F800u, image->pixel(1, 1) & 0xFFF8F8F8);
        EXPECT_EQ(0xFF0000F8u, image->pixel(0, 0) & 0xFFF8F8F8);
        // Written back with the 40-byte header and its masks, it reads the same.
        Held<Bitmap> again;
        ASSERT_TRUE(decodes(encoded(bitmap.get()), again.get()));
        EXPECT_EQ(0, std::memcmp(again->colourTable(), masks565.data(), 12));
        EXPECT_EQ(0, std::memcmp(again->bits(), pixels.data(), pixels.size()));
    }
}

TEST(BitmapCodec, AnAlphaMaskInTheHeaderGivesTheAlpha) {
    struct Case {
        const char* name;
        uint32_t red, green, blue, alpha;  // masks
        uint32_t headerSize;
    };
    const Case cases[] = {
        {"V5, alpha on top", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, 124},
        {"V4, alpha at the bottom", 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF, 108},
        {"V3, four bits of alpha", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xF0000000, 56},
    };
    // Two pixels a row of (red, green, blue, alpha): alpha 0, 0x88 (exact at 4 bits too), 255.
    const uint32_t colours[4][4] = {{200, 10, 20, 0}, {30, 40, 50, 0x88}, {60, 70, 80, 255}, {1, 2, 3, 255}};
    const auto shifted = [](uint32_t value, uint32_t mask) {
        uint32_t shift = 0;
        while (((mask >> shift) & 1) == 0) {
            ++shift;
        }
        return (value * (mask >> shift) / 255) << shift;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpLayout v;
        v.headerSize = c.headerSize;
        v.bitCount = 32;
        v.compression = BI_BITFIELDS;
        const uint32_t masks[4] = {c.red, c.green, c.blue, c.alpha};
        v.extraHeader = Bytes(16);
        std::memcpy(v.extraHeader.data(), masks, 16);
        // Rows bottom-up: pixels 2 and 3 first.
        for (int i : {2, 3, 0, 1}) {
            const uint32_t* k = colours[i];
            const uint32_t p = shifted(k[0], c.red) | shifted(k[1], c.green) | shifted(k[2], c.blue) |
                               shifted(k[3], c.alpha);
            v.pixels.insert(v.pixels.end(), {static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 8),
                                             static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 24)});
        }
        Held<Bitmap> bitmap;
        ASSERT_TRUE(decodes(imagetest::buildBmp(v), bitmap.get()));
        EXPECT_TRUE(bitmap->hasAlphaChannel());
        Held<BufferedImage> image(bitmap->toBufferedImage());
        EXPECT_TRUE(image->hasAlpha());
        for (int i = 0; i < 4; ++i) {
            const uint32_t* k = colours[i];
            const uint32_t expected = k[3] << 24 | k[0] << 16 | k[1] << 8 | k[2];
            EXPECT_EQ(expected, image->pixel(i % 2, i / 2)) << i;
        }
        // Alpha 0 everywhere is a transparent picture, not unused bytes.
        for (size_t at = 0; at < v.pixels.size(); at += 4) {
            uint32_t p;
            std::memcpy(&p, v.pixels.data() + at, 4);
            p &= ~c.alpha;
            std::memcpy(v.pixels.data() + at, &p, 4);
        }
        Held<Bitmap> clear;
        ASSERT_TRUE(decodes(imagetest::buildBmp(v), clear.get()));
        Held<BufferedImage> invisible(clear->toBufferedImage());
        EXPECT_TRUE(invisible->hasAlpha());
        EXPECT_EQ(0u, invisible->pixel(1, 1) >> 24);
    }
}

TEST(BitmapCodec, LaterHeaderVersionsAreReadAsTheirFirstFortyBytes) {
    BmpLayout v5;
    v5.headerSize = 124;
    v5.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    Held<Bitmap> bitmap;
    ASSERT_TRUE(decodes(imagetest::buildBmp(v5), bitmap.get()));
    EXPECT_EQ(0, std::memcmp(bitmap->bits(), v5.pixels.data(), v5.pixels.size()));
    EXPECT_EQ(40u, bitmap->infoHeader().biSize);
    EXPECT_EQ(54u + 16, encoded(bitmap.get()).size());
}

TEST(BitmapCodec, IconsRenderWithTheirTransparency) {
    const int n = 16;
    // Masked: left half transparent through the AND mask, right half red.
    uint8_t andBits[n * 2];
    for (int y = 0; y < n; ++y) {
        andBits[y * 2] = 0xFF;
        andBits[y * 2 + 1] = 0x00;
    }
    HBITMAP mask = CreateBitmap(n, n, 1, 1, andBits);
    Held<Bitmap> colour;
    ASSERT_NE(nullptr, colour->create(n, n, 24));
    for (int y = 0; y < n; ++y) {
        for (int x = n / 2; x < n; ++x) {
            colour->row(y)[x * 3 + 2] = 255;
        }
    }
    ICONINFO info = {TRUE, 0, 0, mask, colour->handle()};
    HICON masked = CreateIconIndirect(&info);
    ASSERT_NE(nullptr, masked);
    Held<Bitmap> fromMasked;
    ASSERT_TRUE(fromMasked->fromIcon(masked));
    EXPECT_EQ(24, fromMasked->bitCount());
    EXPECT_TRUE(fromMasked->hasKeyColour());
    Held<BufferedImage> maskedImage(fromMasked->toBufferedImage());
    EXPECT_TRUE(maskedImage->hasAlpha());
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const uint32_t p = maskedImage->pixel(x, y);
            if (x < n / 2) {
                ASSERT_EQ(0u, p >> 24) << x << "," << y;
            } else {
                ASSERT_EQ(0xFFFF0000u, p) << x << "," << y;
            }
        }
    }
    DestroyIcon(masked);

    // Alpha: left half alpha 0, right half opaque blue.
    Held<Bitmap> alpha;
    ASSERT_NE(nullptr, alpha->create(n, n, 32));
    for (int y = 0; y < n; ++y) {
        uint32_t* p = reinterpret_cast<uint32_t*>(alpha->row(y));
        for (int x = 0; x < n; ++x) {
            p[x] = x < n / 2 ? 0u : 0xFF0000FFu;
        }
    }
    const uint8_t clear[n * 2] = {};
    DeleteObject(mask);
    mask = CreateBitmap(n, n, 1, 1, clear);
    info = {TRUE, 0, 0, mask, alpha->handle()};
    HICON alphaIcon = CreateIconIndirect(&info);
    ASSERT_NE(nullptr, alphaIcon);
    Held<Bitmap> fromAlpha;
    ASSERT_TRUE(fromAlpha->fromIcon(alphaIcon));
    EXPECT_EQ(32, fromAlpha->bitCount());
    EXPECT_FALSE(fromAlpha->hasKeyColour());
    Held<BufferedImage> alphaImage(fromAlpha->toBufferedImage());
    EXPECT_TRUE(alphaImage->hasAlpha());
    EXPECT_EQ(0u, alphaImage->pixel(0, 0) >> 24);
    EXPECT_EQ(0xFF0000FFu, alphaImage->pixel(n - 1, n - 1));
    DestroyIcon(alphaIcon);
    DeleteObject(mask);

    // Monochrome: only a mask, twice the height (AND over XOR).
    uint8_t mono[n * 2 * 2];
    std::memset(mono, 0, sizeof(mono));
    HBITMAP monoMask = CreateBitmap(n, n * 2, 1, 1, mono);
    info = {TRUE, 0, 0, monoMask, nullptr};
    HICON monoIcon = CreateIconIndirect(&info);
    ASSERT_NE(nullptr, monoIcon);
    Held<Bitmap> fromMono;
    ASSERT_TRUE(fromMono->fromIcon(monoIcon));
    EXPECT_EQ(n, fromMono->width());
    EXPECT_EQ(n, fromMono->height());
    DestroyIcon(monoIcon);
    DeleteObject(monoMask);
    EXPECT_FALSE(fromMono->fromIcon(nullptr));
}

TEST(BitmapCodec, CopiesWindowsBitmaps) {
    Held<Bitmap> section(patterned(6, 3, 8));
    // The copy's table comes from the DIB itself, which copyTo() brings in step.
    Held<BufferedImage> fromSection(section->toBufferedImage());
    Held<Bitmap> copy;
    ASSERT_TRUE(copy->fromBitmapHandle(section->handle()));
    EXPECT_EQ(8, copy->bitCount());
    EXPECT_EQ(0, std::memcmp(copy->bits(), section->bits(), static_cast<size_t>(section->stride()) * 3));
    EXPECT_EQ(0, std::memcmp(copy->colourTable(), section->colourTable(), 256 * 4));
    Held<BufferedImage> fromCopy(copy->toBufferedImage());
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            ASSERT_EQ(fromSection->pixel(x, y), fromCopy->pixel(x, y));
        }
    }

    const uint32_t pixels[4] = {0x00112233, 0x00445566, 0x00778899, 0x00AABBCC};
    HBITMAP ddb = CreateBitmap(2, 2, 1, 32, pixels);
    Held<Bitmap> fromDdb;
    ASSERT_TRUE(fromDdb->fromBitmapHandle(ddb));
    DeleteObject(ddb);
    Held<BufferedImage> image(fromDdb->toBufferedImage());
    EXPECT_EQ(0x112233u, image->pixel(0, 0) & 0xFFFFFF);
    EXPECT_EQ(0xAABBCCu, image->pixel(1, 1) & 0xFFFFFF);
    EXPECT_FALSE(fromDdb->fromBitmapHandle(nullptr));
}

TEST(BitmapCodec, SavesAndLoadsFiles) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t name[64];
    swprintf(name, 64, L"images_test_%lu", GetCurrentProcessId());
    wcscat(folder, name);
    CreateDirectoryW(folder, nullptr);
    const std::wstring dir(folder);
    const std::wstring file = dir + L"\\picture.bmp";
    DeleteFileW(file.c_str());

    Held<Bitmap> original(patterned(9, 7, 8));
    ASSERT_TRUE(original->save(file.c_str()));
    // An existing file is kept as it is.
    Held<Bitmap> other(patterned(3, 3, 24));
    EXPECT_FALSE(other->save(file.c_str()));
    Held<Bitmap> loaded;
    ASSERT_TRUE(loaded->load(file.c_str()));
    EXPECT_EQ(encoded(original.get()), encoded(loaded.get()));

    // Missing paths and folders leave the picture; a file that does not decode does not.
    EXPECT_FALSE(loaded->load((dir + L"\\missing.bmp").c_str()));
    EXPECT_FALSE(loaded->load(dir.c_str()));
    EXPECT_EQ(9, loaded->width());
    const std::wstring shortFile = dir + L"\\short.bmp";
    HANDLE h = CreateFileW(shortFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const Bytes whole = encoded(original.get());
    WriteFile(h, whole.data(), 100, &written, nullptr);
    CloseHandle(h);
    EXPECT_FALSE(loaded->load(shortFile.c_str()));
    EXPECT_EQ(nullptr, loaded->handle());

    // The in-memory image replaces the file; a folder that is a file cannot be written.
    Held<BufferedImage> image(imagetest::solidImage(4, 2, 0xFF102030));
    ASSERT_TRUE(image->saveBmp(file.c_str(), 24, true, 255, 255, 255));
    ASSERT_TRUE(loaded->load(file.c_str()));
    EXPECT_EQ(24, loaded->bitCount());
    EXPECT_FALSE(image->saveBmp((file + L"\\inside.bmp").c_str(), 24, true, 255, 255, 255));
    EXPECT_FALSE(image->saveBmp((dir + L"\\depth.bmp").c_str(), 16, true, 255, 255, 255));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((dir + L"\\depth.bmp").c_str()));

    DeleteFileW(file.c_str());
    DeleteFileW(shortFile.c_str());
    RemoveDirectoryW(dir.c_str());
}
