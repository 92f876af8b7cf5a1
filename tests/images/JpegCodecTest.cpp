// The JPEG codec: round trips within a tolerance with the channel order kept, the
// picture left untouched by encoding, files made by libjpeg itself (grey, CMYK,
// progressive, restart markers, 4:2:0, odd sizes), ffmpeg.exe reading ours, early
// ends and hostile files.
#include <windows.h>
#include <stdio.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <jpeglib.h>

#include "CodecTestSupport.h"
#include "JpegTestWriter.h"
#include "images/archive/dll/win/Archive.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/jpg/win/Jpeg.h"

using codectest::Bytes;
using codectest::pixelsOf;
using codectest::TestOutput;
using imagetest::Held;
using s::image::jpg::win::Jpeg;
using s::image::win::BufferedImage;

namespace {

// Two pictures' colour bytes (4 bytes a pixel, alpha left out) differ by at most
// worst, and by at most 1.5 on average.
void expectClose(const Bytes& expected, const Bytes& actual, int worst, const char* name = "") {
    ASSERT_EQ(expected.size(), actual.size()) << name;
    ASSERT_FALSE(expected.empty()) << name;
    int largest = 0;
    double sum = 0;
    size_t count = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (i % 4 != 3) {
            const int diff = std::abs(int(expected[i]) - int(actual[i]));
            largest = std::max(largest, diff);
            sum += diff;
            ++count;
        }
    }
    EXPECT_LE(largest, worst) << name;
    EXPECT_LE(sum / count, 1.5) << name;
}

Bytes encodeJpeg(BufferedImage* image, int quality, uint32_t chunk = UINT32_MAX) {
    TestOutput out(SIZE_MAX, chunk);
    EXPECT_TRUE(image->saveJpeg(&out, quality, 255, 255, 255));
    return out.data;
}

Bytes decodedPixels(const Bytes& file, int* width = nullptr, int* height = nullptr) {
    Held<Jpeg> jpeg;
    if (!codectest::decodeBytes(jpeg.get(), file)) {
        return {};
    }
    if (width != nullptr) {
        *width = jpeg->width();
        *height = jpeg->height();
    }
    Held<BufferedImage> image(jpeg->toBufferedImage());
    return image ? pixelsOf(image.get()) : Bytes();
}

TEST(JpegCodec, RoundTripAtQuality95KeepsTheChannels) {
    Held<BufferedImage> image(codectest::patternImage(61, 47, false));
    const Bytes before = pixelsOf(image.get());
    const Bytes file = encodeJpeg(image.get(), 95);
    ASSERT_GT(file.size(), 2u);
    EXPECT_EQ(0xFF, file[0]);
    EXPECT_EQ(0xD8, file[1]);
    int w = 0, h = 0;
    const Bytes after = decodedPixels(file, &w, &h);
    EXPECT_EQ(61, w);
    EXPECT_EQ(47, h);
    // Stated tolerance at quality 95 on smooth ramps: no byte off by more than 8,
    // 1.5 on average. A swapped red and blue would be off by up to 110.
    expectClose(before, after, 8);
    EXPECT_EQ(before, pixelsOf(image.get())) << "the source is left as it was";
    EXPECT_EQ(file, encodeJpeg(image.get(), 95, 5)) << "short writes still deliver every byte";
    EXPECT_GT(file.size(), encodeJpeg(image.get(), 20).size()) << "the quality reaches the encoder";
}

TEST(JpegCodec, TransparencyIsBlendedOverTheBackground) {
    Held<BufferedImage> image(imagetest::solidImage(16, 16, 0x00FF0000));  // fully transparent red
    image->setHasAlpha(true);
    TestOutput out;
    ASSERT_TRUE(image->saveJpeg(&out, 95, 0, 0, 255));
    const Bytes pixels = decodedPixels(out.data);
    ASSERT_EQ(16u * 16 * 4, pixels.size());
    for (size_t i = 0; i < pixels.size(); i += 4) {
        EXPECT_GE(pixels[i], 250) << "blue background";
        EXPECT_LE(pixels[i + 2], 5) << "no red";
        EXPECT_EQ(255, pixels[i + 3]);
    }
    EXPECT_EQ(0x00FF0000u, image->pixel(3, 3)) << "the source keeps its pixels";
    Held<Jpeg> fresh;
    EXPECT_FALSE(fresh->setQuality(101));
}

TEST(JpegCodec, FailedWritesLeaveThePicture) {
    Held<BufferedImage> image(codectest::patternImage(200, 150, false));
    Held<Jpeg> jpeg(Jpeg::createFromImage(image.get(), 95, 255, 255, 255));
    ASSERT_TRUE(jpeg);
    codectest::expectFailedWritesHarmless(jpeg.get(), image.get(), [&](TestOutput* out) {
        return image->saveJpeg(out, 95, 0, 0, 0);
    });
}

// A JPEG written by libjpeg from sample(x, y, component).
struct JpegKind {
    const char* name;
    int width, height;
    J_COLOR_SPACE input;   // JCS_GRAYSCALE, JCS_RGB or JCS_CMYK
    J_COLOR_SPACE stored;  // the file's colour space
    bool progressive;
    int restartRows;
    bool subsampled;  // 4:2:0, else 4:4:4
};

int componentsOf(J_COLOR_SPACE space) {
    return space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3;
}

int sampleOf(const JpegKind& kind, int x, int y, int c) {
    return c * 30 + 10 + (x * 120) / kind.width + (y * 30) / kind.height;
}

Bytes makeJpeg(const JpegKind& kind, int components = 0, J_COLOR_SPACE input = JCS_UNKNOWN) {
    jpegtest::MemoryJpeg jpeg;
    jpeg_compress_struct& info = jpeg.info;
    const int n = components != 0 ? components : componentsOf(kind.input);
    info.image_width = kind.width;
    info.image_height = kind.height;
    info.input_components = n;
    info.in_color_space = components != 0 ? input : kind.input;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, kind.stored);
    jpeg_set_quality(&info, 100, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        const bool full = !kind.subsampled || c != 0;
        info.comp_info[c].h_samp_factor = full ? 1 : 2;
        info.comp_info[c].v_samp_factor = full ? 1 : 2;
    }
    if (kind.progressive) {
        jpeg_simple_progression(&info);
    }
    info.restart_in_rows = kind.restartRows;
    jpeg_start_compress(&info, TRUE);
    Bytes row(static_cast<size_t>(kind.width) * n);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < kind.width; ++x) {
            for (int c = 0; c < n; ++c) {
                row[x * n + c] = static_cast<uint8_t>(sampleOf(kind, x, info.next_scanline, c));
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    return jpeg.finish();
}

// The picture the samples describe: blue, green, red, 255 (CMYK as Adobe stores it,
// where k = 255 keeps the colour).
Bytes expectedPixels(const JpegKind& kind) {
    Bytes out;
    for (int y = 0; y < kind.height; ++y) {
        for (int x = 0; x < kind.width; ++x) {
            const auto s = [&](int c) { return sampleOf(kind, x, y, c); };
            int r, g, b;
            if (kind.input == JCS_GRAYSCALE) {
                r = g = b = s(0);
            } else if (kind.input == JCS_CMYK) {
                r = s(0) * s(3) / 255, g = s(1) * s(3) / 255, b = s(2) * s(3) / 255;
            } else {
                r = s(0), g = s(1), b = s(2);
            }
            out.insert(out.end(), {uint8_t(b), uint8_t(g), uint8_t(r), 255});
        }
    }
    return out;
}

TEST(JpegCodec, FilesOfEveryKindDecodeToTheirSamples) {
    const std::vector<JpegKind> kinds = {
        {"grey", 40, 30, JCS_GRAYSCALE, JCS_GRAYSCALE, false, 0, false},
        {"grey progressive, odd size", 17, 13, JCS_GRAYSCALE, JCS_GRAYSCALE, true, 0, false},
        {"YCbCr 4:4:4", 48, 32, JCS_RGB, JCS_YCbCr, false, 0, false},
        {"YCbCr 4:2:0, odd size", 33, 21, JCS_RGB, JCS_YCbCr, false, 0, true},
        {"4:2:0, 1 x 1", 1, 1, JCS_RGB, JCS_YCbCr, false, 0, true},
        {"progressive 4:2:0", 50, 38, JCS_RGB, JCS_YCbCr, true, 0, true},
        {"restart markers every row", 40, 40, JCS_RGB, JCS_YCbCr, false, 1, true},
        {"progressive with restart markers, odd size", 29, 35, JCS_RGB, JCS_YCbCr, true, 1, false},
        {"stored as RGB", 24, 16, JCS_RGB, JCS_RGB, false, 0, false},
        {"CMYK", 32, 24, JCS_CMYK, JCS_CMYK, false, 0, false},
        {"YCCK progressive", 27, 19, JCS_CMYK, JCS_YCCK, true, 0, false},
    };
    for (const JpegKind& kind : kinds) {
        int w = 0, h = 0;
        const Bytes pixels = decodedPixels(makeJpeg(kind), &w, &h);
        EXPECT_EQ(kind.width, w) << kind.name;
        EXPECT_EQ(kind.height, h) << kind.name;
        expectClose(expectedPixels(kind), pixels, 6, kind.name);
        if (kind.input == JCS_GRAYSCALE) {
            for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
                ASSERT_TRUE(pixels[i] == pixels[i + 1] && pixels[i] == pixels[i + 2]) << kind.name;
            }
        }
    }
}

TEST(JpegCodec, EarlyEndsDecodeWhatArrived) {
    const JpegKind kind = {"plain", 64, 64, JCS_RGB, JCS_YCbCr, false, 0, false};
    const Bytes file = makeJpeg(kind);
    const Bytes whole = decodedPixels(file);
    int w = 0, h = 0;
    const Bytes part = decodedPixels(Bytes(file.begin(), file.begin() + file.size() * 2 / 3), &w, &h);
    ASSERT_EQ(64, w);
    ASSERT_EQ(64, h);
    ASSERT_EQ(whole.size(), part.size());
    EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + 64 * 4 * 8, part.begin())) << "the first rows arrived";
    EXPECT_NE(whole, part);
}

TEST(JpegCodec, ProgramPicturesLoadFromResources) {
    std::vector<wchar_t> path(32768);
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    path.push_back(L'\0');
    Held<s::archive::dll::win::Archive> archive(s::archive::dll::win::Archive::openModuleArchive(path.data()));
    ASSERT_TRUE(archive);
    const struct {
        uint32_t id;
        int width, height;
    } pictures[] = {{131, 256, 256}, {132, 468, 120}, {133, 0, 0}};
    for (const auto& picture : pictures) {
        Held<Jpeg> jpeg(Jpeg::fromResource(archive.get(), L"IDR_JPG", picture.id));
        ASSERT_TRUE(jpeg) << "an absent entry still gives an (empty) Jpeg";
        EXPECT_EQ(picture.width, jpeg->width()) << picture.id;
        EXPECT_EQ(picture.height, jpeg->height()) << picture.id;
    }
}

#ifdef FFMPEG_TOOLS_DIR
TEST(JpegCodec, FfmpegReadsOurFilesWithinTolerance) {
    Held<BufferedImage> image(codectest::patternImage(80, 60, false));
    const Bytes file = encodeJpeg(image.get(), 95);
    // Another decoder rounds its transforms and upsampling its own way.
    expectClose(codectest::ffmpegDecode(file, L"picture.jpg"), decodedPixels(file), 6);
}
#endif

// The file with the first frame header's height and width replaced.
Bytes withSize(Bytes file, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < file.size(); ++i) {
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            file[i + 5] = static_cast<uint8_t>(height >> 8);
            file[i + 6] = static_cast<uint8_t>(height);
            file[i + 7] = static_cast<uint8_t>(width >> 8);
            file[i + 8] = static_cast<uint8_t>(width);
            return file;
        }
    }
    ADD_FAILURE() << "no frame header";
    return file;
}

TEST(JpegCodec, HostileFilesFailQuicklyWithoutPicture) {
    const JpegKind plain = {"plain", 48, 40, JCS_RGB, JCS_YCbCr, false, 0, true};
    const JpegKind progressive = {"progressive", 48, 40, JCS_RGB, JCS_YCbCr, true, 0, true};
    const JpegKind unknown = {"two components", 16, 16, JCS_UNKNOWN, JCS_UNKNOWN, false, 0, false};
    const Bytes good = makeJpeg(plain);
    const Bytes layered = makeJpeg(progressive);
    Bytes badTable = good;
    ASSERT_EQ(0xDB, badTable[21]) << "the quantisation table follows the JFIF header";
    badTable[22] = 0;
    badTable[23] = 1;
    size_t scanAt = 2;
    while (scanAt + 1 < good.size() && !(good[scanAt] == 0xFF && good[scanAt + 1] == 0xDA)) {
        ++scanAt;
    }
    ASSERT_LT(scanAt + 40, good.size());
    const std::vector<codectest::Hostile> cases = {
        {"empty", {}},
        {"bad signature", Bytes{0x00, 0xD8, 0xFF, 0xE0, 0, 16}},
        {"start marker only", Bytes{0xFF, 0xD8}},
        {"cut inside the header", Bytes(good.begin(), good.begin() + 100)},
        {"table with a length of 1", badTable},
        {"65500 x 65500", withSize(good, 65500, 65500)},
        {"progressive 60000 x 60000", withSize(layered, 60000, 60000)},
        {"16384 x 4097 (past the pixel limit)", withSize(good, 16384, 4097)},
        {"zero height", withSize(good, 48, 0)},
        {"two components", makeJpeg(unknown, 2, JCS_UNKNOWN)},
        {"1500 scans", jpegtest::manyScanJpeg(48, 40, 1500, 3)},
        {"16385 x 1, whole data", makeJpeg({"wide", 16385, 1, JCS_RGB, JCS_YCbCr, false, 0, false})},
        {"cut after the header", Bytes(good.begin(), good.begin() + scanAt + 40), true},
    };
    Held<Jpeg> jpeg;
    codectest::expectHostileHandled(jpeg.get(), cases);
    EXPECT_TRUE(codectest::decodeBytes(jpeg.get(), good)) << "the codec still works";
}

TEST(JpegCodec, ScansAreBoundedByTheBlocksTheyCoverTogether) {
    // 65,536 blocks a scan: the bound falls between two counts of scans.
    const int64_t perScan = (2048 / 8) * (2048 / 8);
    const int within = static_cast<int>(Jpeg::MAX_SCAN_BLOCKS / perScan);
    ASSERT_LT(within, 1000) << "below the cap on scans";
    const struct {
        const char* name;
        int scans;
        bool decodes;
    } cases[] = {
        {"every block the bound allows", within, true},
        {"one scan more", within + 1, false},
    };
    for (const auto& c : cases) {
        Held<Jpeg> jpeg;
        EXPECT_EQ(c.decodes, codectest::decodeBytes(jpeg.get(), jpegtest::manyScanJpeg(2048, 2048, c.scans)))
            << c.name;
    }
}

} // namespace
