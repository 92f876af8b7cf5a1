// The PNG codec: exact round trips, the picture left untouched by encoding, files made
// by libpng itself in every colour type, ffmpeg.exe reading ours, and hostile files.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <png.h>
#include <zlib.h>

#include "CodecTestSupport.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/ico/win/IconImage.h"
#include "images/image/png/win/Png.h"

using codectest::Bytes;
using codectest::pixelsOf;
using codectest::TestOutput;
using imagetest::Held;
using s::image::png::win::Png;
using s::image::win::BufferedImage;

namespace {

Bytes encodePng(BufferedImage* image, bool interlace, bool keepTransparency = true, uint32_t chunk = UINT32_MAX) {
    TestOutput out(SIZE_MAX, chunk);
    EXPECT_TRUE(image->savePng(&out, interlace, keepTransparency, 255, 255, 255));
    return out.data;
}

// The decoded picture as 32-bit pixels, top row first; empty when it does not decode.
Bytes decodedPixels(const Bytes& file) {
    Held<Png> png;
    if (!codectest::decodeBytes(png.get(), file)) {
        return {};
    }
    Held<BufferedImage> image(png->toBufferedImage());
    return image ? pixelsOf(image.get()) : Bytes();
}

TEST(PngCodec, RoundTripsAreExactInterlacedOrNot) {
    for (bool interlace : {false, true}) {
        for (bool translucent : {false, true}) {
            Held<BufferedImage> image(codectest::patternImage(37, 23, translucent));
            const Bytes before = pixelsOf(image.get());
            const Bytes file = encodePng(image.get(), interlace);
            ASSERT_GT(file.size(), 8u);
            EXPECT_EQ(interlace ? 1 : 0, file[28]) << "IHDR interlace method";
            EXPECT_EQ(before, decodedPixels(file)) << interlace << translucent;
            EXPECT_EQ(before, pixelsOf(image.get())) << "the source is left as it was";
            // A stream that takes 7 bytes a call still gets every byte.
            EXPECT_EQ(file, encodePng(image.get(), interlace, true, 7));
        }
    }
}

TEST(PngCodec, OpaquePicturesAreWrittenOpaqueAndTransparencyCanBeFilled) {
    // GDI drawing leaves alpha bytes 0 in an opaque picture.
    Held<BufferedImage> opaque(imagetest::solidImage(5, 4, 0x00336699));
    opaque->setHasAlpha(false);
    Bytes opaquePixels;
    for (int i = 0; i < 5 * 4; ++i) {
        opaquePixels.insert(opaquePixels.end(), {0x99, 0x66, 0x33, 255});
    }
    EXPECT_EQ(opaquePixels, decodedPixels(encodePng(opaque.get(), false)));

    Held<BufferedImage> holed(imagetest::solidImage(3, 1, 0xFF102030));
    holed->setPixel(1, 0, 0x00ABCDEF);
    holed->setHasAlpha(true);
    TestOutput out;
    ASSERT_TRUE(holed->savePng(&out, false, false, 16, 32, 48));
    const Bytes filled = decodedPixels(out.data);
    const Bytes expected = {0x30, 0x20, 0x10, 255, 48, 32, 16, 255, 0x30, 0x20, 0x10, 255};
    EXPECT_EQ(expected, filled);
    EXPECT_EQ(0x00ABCDEFu, holed->pixel(1, 0)) << "the source keeps its transparent pixel";
}

TEST(PngCodec, FailedWritesLeaveThePictureAndRemoveTheFile) {
    Held<BufferedImage> image(codectest::patternImage(64, 64, true));
    const Bytes before = pixelsOf(image.get());
    Held<Png> png(Png::createFromImage(image.get(), true, true, 255, 255, 255));
    ASSERT_TRUE(png);
    codectest::expectFailedWritesHarmless(png.get(), image.get(), [&](TestOutput* out) {
        return image->savePng(out, false, true, 0, 0, 0);
    });

    const std::wstring dir = codectest::scratchFolder(L"png-save");
    const std::wstring path = dir + L"\\picture.png";
    ASSERT_TRUE(image->savePng(path.c_str(), false, true, 255, 255, 255));
    Held<Png> loaded;
    ASSERT_TRUE(loaded->load(path.c_str()));
    Held<BufferedImage> back(loaded->toBufferedImage());
    EXPECT_EQ(before, pixelsOf(back.get()));
    EXPECT_FALSE(image->savePng(dir.c_str(), false, true, 255, 255, 255)) << "a folder is no file";
    DeleteFileW(path.c_str());
    RemoveDirectoryW(dir.c_str());
}

// A PNG written by libpng from raw samples: sample(x, y, channel) gives each value.
struct PngKind {
    const char* name;
    int width, height, colourType, depth;
    bool interlace;
    std::vector<png_color> palette;
    Bytes paletteAlpha;     // tRNS of a palette
    int transparentGrey;    // tRNS of grey (-1: none)
    bool invisible = false; // the alpha channel 0 everywhere
};

int channelsOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

int sampleOf(const PngKind& kind, int x, int y, int c) {
    const int range = kind.colourType == PNG_COLOR_TYPE_PALETTE ? static_cast<int>(kind.palette.size())
                                                                : (1 << kind.depth);
    if (kind.invisible && c == channelsOf(kind.colourType) - 1) {
        return 0;
    }
    const int value = (x * 37 + y * 101 + c * 59) * (kind.depth == 16 ? 211 : 1);
    return value % range;
}

void writeToVector(png_structp png, png_bytep bytes, png_size_t n) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), bytes, bytes + n);
}

Bytes makePng(const PngKind& kind) {
    const int channels = channelsOf(kind.colourType);
    const size_t rowBytes = (static_cast<size_t>(kind.width) * channels * kind.depth + 7) / 8;
    std::vector<Bytes> rows(kind.height, Bytes(rowBytes, 0));
    for (int y = 0; y < kind.height; ++y) {
        for (int x = 0; x < kind.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const int v = sampleOf(kind, x, y, c);
                const size_t bit = static_cast<size_t>(x * channels + c) * kind.depth;
                if (kind.depth == 16) {
                    rows[y][bit / 8] = static_cast<uint8_t>(v >> 8);
                    rows[y][bit / 8 + 1] = static_cast<uint8_t>(v);
                } else {
                    rows[y][bit / 8] |= static_cast<uint8_t>(v << (8 - kind.depth - bit % 8));
                }
            }
        }
    }
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, writeToVector, nullptr);
    png_set_IHDR(png, info, kind.width, kind.height, kind.depth, kind.colourType,
                 kind.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!kind.palette.empty()) {
        png_set_PLTE(png, info, kind.palette.data(), static_cast<int>(kind.palette.size()));
    }
    if (!kind.paletteAlpha.empty()) {
        png_set_tRNS(png, info, kind.paletteAlpha.data(), static_cast<int>(kind.paletteAlpha.size()), nullptr);
    }
    if (kind.transparentGrey >= 0) {
        png_color_16 grey{};
        grey.gray = static_cast<png_uint_16>(kind.transparentGrey);
        png_set_tRNS(png, info, nullptr, 0, &grey);
    }
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows) {
        pointers.push_back(row.data());
    }
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// What the file must decode to, worked out from the samples: blue, green, red, alpha.
Bytes expectedPixels(const PngKind& kind) {
    const int max = (1 << kind.depth) - 1;
    const auto to8 = [&](int v) { return static_cast<uint8_t>(kind.depth == 16 ? v >> 8 : v * 255 / max); };
    Bytes out;
    for (int y = 0; y < kind.height; ++y) {
        for (int x = 0; x < kind.width; ++x) {
            const auto s = [&](int c) { return sampleOf(kind, x, y, c); };
            uint8_t r, g, b, a = 255;
            switch (kind.colourType) {
            case PNG_COLOR_TYPE_PALETTE: {
                const png_color& e = kind.palette[s(0)];
                r = e.red, g = e.green, b = e.blue;
                a = static_cast<size_t>(s(0)) < kind.paletteAlpha.size() ? kind.paletteAlpha[s(0)] : 255;
                break;
            }
            case PNG_COLOR_TYPE_GRAY:
                r = g = b = to8(s(0));
                a = s(0) == kind.transparentGrey ? 0 : 255;
                break;
            case PNG_COLOR_TYPE_GRAY_ALPHA:
                r = g = b = to8(s(0));
                a = to8(s(1));
                break;
            default:
                r = to8(s(0)), g = to8(s(1)), b = to8(s(2));
                a = kind.colourType == PNG_COLOR_TYPE_RGB_ALPHA ? to8(s(3)) : 255;
            }
            out.insert(out.end(), {b, g, r, a});
        }
    }
    return out;
}

TEST(PngCodec, FilesOfEveryKindDecodeToTheirSamples) {
    const std::vector<png_color> five = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {12, 34, 56}, {200, 100, 50}};
    const std::vector<png_color> four = {{1, 2, 3}, {250, 240, 230}, {0, 128, 255}, {77, 66, 55}};
    const std::vector<PngKind> kinds = {
        {"palette with transparency", 13, 7, PNG_COLOR_TYPE_PALETTE, 8, false, five, {0, 128}, -1},
        {"2-bit palette", 9, 5, PNG_COLOR_TYPE_PALETTE, 2, false, four, {255, 0}, -1},
        {"4-bit palette interlaced", 19, 11, PNG_COLOR_TYPE_PALETTE, 4, true, five, {10, 20, 30}, -1},
        {"1-bit grey", 17, 3, PNG_COLOR_TYPE_GRAY, 1, false, {}, {}, -1},
        {"2-bit grey", 11, 4, PNG_COLOR_TYPE_GRAY, 2, false, {}, {}, -1},
        {"4-bit grey", 7, 6, PNG_COLOR_TYPE_GRAY, 4, false, {}, {}, -1},
        {"grey with a transparent value", 8, 8, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, 101},
        {"grey with alpha", 10, 9, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {}, {}, -1},
        {"16-bit grey with alpha", 6, 5, PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, {}, {}, -1},
        {"16-bit grey interlaced", 9, 9, PNG_COLOR_TYPE_GRAY, 16, true, {}, {}, -1},
        {"16-bit RGB", 7, 3, PNG_COLOR_TYPE_RGB, 16, false, {}, {}, -1},
        {"16-bit RGBA", 5, 5, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, {}, {}, -1},
        {"RGB interlaced", 33, 21, PNG_COLOR_TYPE_RGB, 8, true, {}, {}, -1},
        {"RGBA interlaced, 1 x 1", 1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, true, {}, {}, -1},
    };
    for (const PngKind& kind : kinds) {
        EXPECT_EQ(expectedPixels(kind), decodedPixels(makePng(kind))) << kind.name;
    }
}

TEST(PngCodec, PicturesWithEveryPixelTransparentStayTransparentAlsoAsIconImages) {
    const std::vector<png_color> three = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    const std::vector<PngKind> kinds = {
        {"RGBA", 9, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {}, {}, -1, true},
        {"grey with alpha", 4, 4, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {}, {}, -1, true},
        {"palette with transparency", 5, 3, PNG_COLOR_TYPE_PALETTE, 8, false, three, {0, 0, 0}, -1},
    };
    for (const PngKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const Bytes file = makePng(kind);
        const Bytes expected = expectedPixels(kind);
        Held<Png> png;
        ASSERT_TRUE(codectest::decodeBytes(png.get(), file));
        Held<BufferedImage> image(png->toBufferedImage());
        EXPECT_TRUE(image->hasAlpha());
        EXPECT_EQ(expected, pixelsOf(image.get()));
        Held<s::image::ico::win::IconImage> icon;
        ASSERT_TRUE(codectest::decodeBytes(icon.get(), file));
        Held<BufferedImage> entry(icon->toBufferedImage());
        EXPECT_TRUE(entry->hasAlpha());
        for (int32_t y = 0; y < kind.height; ++y) {
            for (int32_t x = 0; x < kind.width; ++x) {
                ASSERT_EQ(0u, entry->pixel(x, y) >> 24) << x << "," << y;
            }
        }
    }
}

#ifdef FFMPEG_TOOLS_DIR
TEST(PngCodec, FfmpegReadsOurFilesExactly) {
    for (bool interlace : {false, true}) {
        Held<BufferedImage> image(codectest::patternImage(45, 31, true));
        EXPECT_EQ(pixelsOf(image.get()), codectest::ffmpegDecode(encodePng(image.get(), interlace), L"picture.png"))
            << interlace;
    }
}
#endif

// The file with the chunk at chunkAt (its length field) given a right CRC again.
Bytes withChunkCrc(Bytes file, size_t chunkAt) {
    const size_t length = static_cast<size_t>(file[chunkAt]) << 24 | file[chunkAt + 1] << 16 | file[chunkAt + 2] << 8 |
                          file[chunkAt + 3];
    const uLong crc = crc32(0, file.data() + chunkAt + 4, static_cast<uInt>(length + 4));
    for (int i = 0; i < 4; ++i) {
        file[chunkAt + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    }
    return file;
}

// The file with its IHDR width and height replaced and the chunk's CRC made right.
Bytes withSize(Bytes file, uint32_t width, uint32_t height) {
    for (int i = 0; i < 4; ++i) {
        file[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
        file[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    }
    return withChunkCrc(file, 8);
}

Bytes changed(Bytes file, size_t at, uint8_t value) {
    file[at] = value;
    return file;
}

Bytes cut(const Bytes& file, size_t length) {
    return Bytes(file.begin(), file.begin() + std::min(length, file.size()));
}

TEST(PngCodec, HostileFilesFailQuicklyWithoutPicture) {
    Held<BufferedImage> image(codectest::patternImage(40, 40, false));
    const Bytes good = encodePng(image.get(), false);
    const size_t idat = 33 + 8;  // first IDAT data byte: no chunk lies between IHDR and IDAT
    ASSERT_EQ('I', good[37]);
    ASSERT_EQ('D', good[38]);
    const std::vector<codectest::Hostile> cases = {
        {"empty", {}},
        {"bad signature", changed(good, 1, 'Q')},
        {"signature only", cut(good, 8)},
        {"cut inside IHDR", cut(good, 20)},
        {"cut after IHDR", cut(good, 33)},
        {"cut inside IDAT", cut(good, good.size() / 2)},
        {"no IEND", cut(good, good.size() - 12)},
        {"bad IHDR CRC", changed(good, 30, good[30] ^ 0x55)},
        {"bad IDAT CRC", changed(good, good.size() - 13, good[good.size() - 13] ^ 0x55)},
        {"bad bit depth", withSize(changed(good, 24, 3), 40, 40)},
        {"zero width", withSize(good, 0, 40)},
        {"100000 x 100000", withSize(good, 100000, 100000)},
        {"16384 x 16384", withSize(good, 16384, 16384)},
        {"1 x 2^31-1", withSize(good, 1, 0x7FFFFFFF)},
        {"broken compressed data", withChunkCrc(changed(good, idat + 2, 0xFF), 33)},
        {"16385 x 1, whole data", makePng({"wide", 16385, 1, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, -1})},
    };
    Held<Png> png;
    codectest::expectHostileHandled(png.get(), cases);
    EXPECT_TRUE(codectest::decodeBytes(png.get(), good)) << "the codec still works";
}

// A chunk that declares 2 GB of text or palette is refused before anything near its
// length is allocated.
TEST(PngCodec, ChunksDeclaringGigabytesAreRefusedWithoutTheirMemory) {
    Held<BufferedImage> image(codectest::patternImage(40, 40, false));
    const Bytes good = encodePng(image.get(), false);
    Held<Png> png;
    for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT"}) {
        SCOPED_TRACE(type);
        // IHDR, then the chunk's length and type and the start of its data.
        Bytes file(good.begin(), good.begin() + 33);
        const Bytes header = {0x7F, 0xFF, 0xFF, 0xFF};
        file.insert(file.end(), header.begin(), header.end());
        file.insert(file.end(), type, type + 4);
        const char data[] = "Comment\0a comment that goes on and on";
        file.insert(file.end(), data, data + sizeof(data) - 1);
        file.resize(file.size() + 4096, 'x');
        const size_t before = codectest::memoryCounters().PeakWorkingSetSize;
        ASSERT_NE(before, 0u);
        EXPECT_FALSE(codectest::decodeBytes(png.get(), file));
        EXPECT_LT(codectest::memoryCounters().PeakWorkingSetSize - before, size_t{64} << 20);
    }
    EXPECT_TRUE(codectest::decodeBytes(png.get(), good)) << "the codec still works";
}

// One whole chunk: length, type, data and CRC.
Bytes chunkOf(const char* type, const Bytes& data) {
    Bytes chunk;
    const uint32_t length = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) {
        chunk.push_back(static_cast<uint8_t>(length >> (24 - 8 * i)));
    }
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, static_cast<uInt>(data.size() + 4));
    for (int i = 0; i < 4; ++i) {
        chunk.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
    }
    return chunk;
}

// zlib data of nearly the chunk limit of one repeated byte (a few kilobytes).
Bytes inflatingToMegabytes(uint8_t fill) {
    const Bytes text(8 * 1000 * 1000 - 1000, fill);
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    Bytes packed(size);
    EXPECT_EQ(Z_OK, compress2(packed.data(), &size, text.data(), static_cast<uLong>(text.size()), 9));
    packed.resize(size);
    return packed;
}

// Text and palette-suggestion chunks cost no more than their reading: a few megabytes of
// compressed text that inflate to gigabytes, or one legal sPLT of 900,000 entries.
TEST(PngCodec, AncillaryChunksCostOnlyTheirReading) {
    Held<BufferedImage> image(codectest::patternImage(40, 40, false));
    const Bytes good = encodePng(image.get(), false);
    const Bytes pixels = decodedPixels(good);
    Bytes ztxt = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0};
    const Bytes text = inflatingToMegabytes('t');
    ztxt.insert(ztxt.end(), text.begin(), text.end());
    Bytes itxt = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 1, 0, 0, 0};
    const Bytes zeros = inflatingToMegabytes(0);
    itxt.insert(itxt.end(), zeros.begin(), zeros.end());
    Bytes splt = {'s', 'u', 'g', 'g', 'e', 's', 't', 'e', 'd', 0, 8};
    splt.resize(splt.size() + 900000 * 6, 0x40);
    struct Case {
        const char* name;
        const char* type;
        const Bytes* data;
        int count;
    };
    const Case cases[] = {
        {"100 zTXt", "zTXt", &ztxt, 100},
        {"998 zTXt", "zTXt", &ztxt, 998},
        {"998 iTXt of zeros", "iTXt", &itxt, 998},
        {"sPLT of 900,000 entries", "sPLT", &splt, 1},
    };
    Held<Png> png;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Between IHDR and IDAT.
        Bytes file(good.begin(), good.begin() + 33);
        const Bytes chunk = chunkOf(c.type, *c.data);
        for (int i = 0; i < c.count; ++i) {
            file.insert(file.end(), chunk.begin(), chunk.end());
        }
        file.insert(file.end(), good.begin() + 33, good.end());
        const size_t before = codectest::memoryCounters().PeakWorkingSetSize;
        const ULONGLONG start = GetTickCount64();
        ASSERT_TRUE(codectest::decodeBytes(png.get(), file));
        EXPECT_LT(GetTickCount64() - start, 1000u);
        EXPECT_LT(codectest::memoryCounters().PeakWorkingSetSize - before, size_t{64} << 20);
        Held<BufferedImage> decoded(png->toBufferedImage());
        EXPECT_EQ(pixels, pixelsOf(decoded.get()));
    }
}

} // namespace
