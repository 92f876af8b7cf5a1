// GIF animations against ffmpeg.exe's own GIF decoder and encoder.
#include <gtest/gtest.h>

#include <string>

#include "CodecTestSupport.h"
#include "ImageTestSupport.h"
#include "images/image/gif/win/Gif.h"
#include "images/image/win/BufferedImageSet.h"

using imagetest::Bytes;
using imagetest::Held;
using s::col::_array::ArrayU08;
using s::image::gif::win::Gif;
using s::image::win::BufferedImage;
using s::image::win::BufferedImageSet;

namespace {

constexpr int32_t W = 48;
constexpr int32_t H = 32;
constexpr int32_t FRAMES = 5;

// Frame i: a ground of a few colours, or nothing (0), with a square moving across it.
uint32_t pixelOf(int32_t i, int32_t x, int32_t y, bool clearGround = false) {
    const bool square = x >= 4 + i * 8 && x < 14 + i * 8 && y >= 6 + i * 3 && y < 16 + i * 3;
    return square        ? 0xFFE02010u + static_cast<uint32_t>(i) * 0x00000A00u
           : clearGround ? 0u
                         : 0xFF000000u | static_cast<uint32_t>(x / 6) * 0x200000u |
                               static_cast<uint32_t>(y / 8) * 0x3000u | 0x40;
}

// Pixels as seen: alpha 0 counts as transparent whatever its colour.
uint32_t seen(uint32_t argb) {
    return (argb >> 24) == 0 ? 0 : argb;
}

// Frame i of a run of raw bgra frames.
uint32_t rawPixel(const Bytes& raw, int32_t i, int32_t x, int32_t y) {
    const size_t at = ((static_cast<size_t>(i) * H + y) * W + x) * 4;
    return raw[at] | raw[at + 1] << 8 | raw[at + 2] << 16 | static_cast<uint32_t>(raw[at + 3]) << 24;
}

TEST(GifFfmpeg, FfmpegDecodesOurAnimationFrameForFrame) {
#ifndef FFMPEG_TOOLS_DIR
    GTEST_SKIP() << "ffmpeg.exe is not built";
#else
    // Over nothing, the square's old place must turn transparent again.
    for (bool clearGround : {false, true}) {
        SCOPED_TRACE(clearGround ? "over nothing" : "over a ground");
        Held<BufferedImageSet> set;
        for (int32_t i = 0; i < FRAMES; ++i) {
            BufferedImage* frame = BufferedImage::create(W, H);
            for (int32_t y = 0; y < H; ++y) {
                for (int32_t x = 0; x < W; ++x) {
                    frame->setPixel(x, y, pixelOf(i, x, y, clearGround));
                }
            }
            frame->setHasAlpha(clearGround);
            set->add(frame, 32, 200, 2);  // whole pictures, each standing alone
        }
        set->setLoop(true, 0);
        Held<Gif> gif(Gif::createFromSet(set.get(), 8, true, 255, 255, 255));
        ASSERT_TRUE(gif);
        Held<ArrayU08> out;
        ASSERT_TRUE(gif->encode(out.get()));
        const std::wstring path = codectest::scratchFolder(L"gif-ffmpeg") + L"\\ours.gif";
        ASSERT_TRUE(codectest::writeFile(path, imagetest::bytesOf(out.get())));
        const Bytes raw = codectest::ffmpegDecode(path, L"bgra");
        ASSERT_EQ(static_cast<size_t>(FRAMES) * W * H * 4, raw.size());
        for (int32_t i = 0; i < FRAMES; ++i) {
            for (int32_t y = 0; y < H; ++y) {
                for (int32_t x = 0; x < W; ++x) {
                    ASSERT_EQ(pixelOf(i, x, y, clearGround), seen(rawPixel(raw, i, x, y)))
                        << "frame " << i << " at " << x << "," << y;
                }
            }
        }
    }
#endif
}

TEST(GifFfmpeg, OurComposedDecodeOfAnFfmpegAnimationMatchesFfmpegs) {
#ifndef FFMPEG_TOOLS_DIR
    GTEST_SKIP() << "ffmpeg.exe is not built";
#else
    Bytes source;
    for (int32_t i = 0; i < FRAMES; ++i) {
        for (int32_t y = 0; y < H; ++y) {
            for (int32_t x = 0; x < W; ++x) {
                const uint32_t p = pixelOf(i, x, y);
                source.insert(source.end(), {static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 8),
                                             static_cast<uint8_t>(p >> 16), 255});
            }
        }
    }
    const std::wstring folder = codectest::scratchFolder(L"gif-ffmpeg");
    ASSERT_TRUE(codectest::writeFile(folder + L"\\frames.raw", source));
    ASSERT_TRUE(codectest::runFfmpeg(L"-f rawvideo -pix_fmt bgra -s 48x32 -r 5 -i \"" + folder +
                                     L"\\frames.raw\" -f gif \"" + folder + L"\\theirs.gif\""));
    const Bytes theirs = codectest::readFile(folder + L"\\theirs.gif");
    const Bytes raw = codectest::ffmpegDecode(folder + L"\\theirs.gif", L"bgra");
    ASSERT_EQ(static_cast<size_t>(FRAMES) * W * H * 4, raw.size());

    Held<Gif> gif;
    ASSERT_TRUE(codectest::decodeBytes(gif.get(), theirs));
    ASSERT_EQ(FRAMES, gif->frameCount());
    bool offsetFrames = false;
    for (int32_t i = 1; i < FRAMES; ++i) {
        offsetFrames = offsetFrames || gif->left(i) != 0 || gif->top(i) != 0;
    }
    EXPECT_TRUE(offsetFrames) << "ffmpeg writes only the changed part of later frames";
    Held<BufferedImageSet> frames(gif->toImageSet());
    ASSERT_TRUE(frames);
    Held<BufferedImageSet> whole(frames->coalescedCopy());
    ASSERT_TRUE(whole);
    ASSERT_EQ(FRAMES, whole->count());
    for (int32_t i = 0; i < FRAMES; ++i) {
        for (int32_t y = 0; y < H; ++y) {
            for (int32_t x = 0; x < W; ++x) {
                ASSERT_EQ(rawPixel(raw, i, x, y), whole->frameAt(i)->pixel(x, y))
                    << "frame " << i << " at " << x << "," << y;
            }
        }
    }
#endif
}

} // namespace
