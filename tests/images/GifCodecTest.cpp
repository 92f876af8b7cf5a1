// The GIF codec: round trips, the file it writes, files from the tests' own writer,
// animations, and files that must fail (or end early) cleanly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodecTestSupport.h"
#include "GifTestWriter.h"
#include "ImageTestSupport.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/gif/EncodeSetting.h"
#include "images/image/gif/win/Gif.h"
#include "images/image/win/BufferedImageSet.h"

using giftest::Bytes;
using imagetest::Held;
using s::col::_array::ArrayU08;
using s::image::gif::win::Gif;
using s::image::win::BufferedImage;
using s::image::win::BufferedImageSet;

namespace {

// A width x height picture using colours distinct colours (0xFFrrggbb), spread so
// that neighbours differ; every (k+1)-th pixel is transparent when transparentEvery.
BufferedImage* colourful(int32_t width, int32_t height, uint32_t colours, uint32_t transparentEvery = 0) {
    BufferedImage* image = BufferedImage::create(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t i = static_cast<uint32_t>(y * width + x);
            const uint32_t k = (i * 7 + i / 3) % colours;
            uint32_t argb = 0xFF000000 | ((k * 2654435761u) >> 8);
            if (transparentEvery != 0 && i % transparentEvery == transparentEvery - 1) {
                argb = 0x00FFFFFF;
            }
            image->setPixel(x, y, argb);
        }
    }
    image->setHasAlpha(transparentEvery != 0);
    return image;
}

Bytes encoded(Gif* gif) {
    Held<ArrayU08> out;
    EXPECT_TRUE(gif->encode(out.get()));
    return imagetest::bytesOf(out.get());
}

bool decodes(const Bytes& file, Gif* gif) {
    Held<ArrayU08> in(imagetest::streamOf(file));
    const bool done = gif->decode(in.get());
    if (!done) {
        EXPECT_EQ(0, gif->frameCount());
        EXPECT_EQ(nullptr, gif->toBufferedImage());
    }
    return done;
}

// Pixels as seen: alpha 0 counts as transparent whatever its colour.
uint32_t seen(uint32_t argb) {
    return (argb >> 24) == 0 ? 0 : argb;
}

void expectSamePicture(const BufferedImage* expected, const BufferedImage* actual, const std::string& what) {
    ASSERT_NE(nullptr, actual) << what;
    ASSERT_EQ(expected->width(), actual->width()) << what;
    ASSERT_EQ(expected->height(), actual->height()) << what;
    for (int32_t y = 0; y < expected->height(); ++y) {
        for (int32_t x = 0; x < expected->width(); ++x) {
            ASSERT_EQ(seen(expected->pixel(x, y)), seen(actual->pixel(x, y))) << what << " at " << x << "," << y;
        }
    }
}

TEST(GifCodec, PicturesOfUpTo255ColoursComeBackExactly) {
    struct Case {
        int32_t width;
        int32_t height;
        uint32_t colours;
        uint32_t transparentEvery;
    };
    for (const Case& c : {Case{50, 40, 2, 0}, Case{31, 17, 15, 0}, Case{64, 64, 100, 0}, Case{80, 60, 255, 0},
                          Case{80, 60, 254, 5}, Case{1, 1, 1, 0}, Case{300, 3, 255, 0}}) {
        const std::string what = std::to_string(c.colours) + " colours";
        Held<BufferedImage> image(colourful(c.width, c.height, c.colours, c.transparentEvery));
        Held<Gif> gif(Gif::createFromImage(image.get(), 8, true, 255, 255, 255));
        ASSERT_TRUE(gif) << what;
        Held<Gif> back;
        ASSERT_TRUE(decodes(encoded(gif.get()), back.get())) << what;
        ASSERT_EQ(1, back->frameCount());
        Held<BufferedImage> picture(back->toBufferedImage());
        expectSamePicture(image.get(), picture.get(), what);
        EXPECT_EQ(c.transparentEvery != 0, picture->hasAlpha()) << what;
    }
}

TEST(GifCodec, PicturesSaveAsGifFiles) {
    Held<BufferedImage> image(colourful(9, 7, 30, 4));
    Held<ArrayU08> out;
    ASSERT_TRUE(image->saveGif(out.get(), 8, true, 255, 255, 255));
    Held<Gif> back;
    ASSERT_TRUE(decodes(imagetest::bytesOf(out.get()), back.get()));
    Held<BufferedImage> picture(back->toBufferedImage());
    expectSamePicture(image.get(), picture.get(), "saved GIF");
    Held<ArrayU08> refused;
    EXPECT_FALSE(image->saveGif(refused.get(), 9, true, 255, 255, 255));
    EXPECT_EQ(0u, refused->count());
}

TEST(GifCodec, WritesOneFrameWithLoopBlockControlAndA256EntryTable) {
    Held<BufferedImage> image(colourful(5, 3, 4, 4));
    for (int32_t depth : {8, 4}) {
        Held<Gif> gif(Gif::createFromImage(image.get(), depth, true, 255, 255, 255));
        ASSERT_TRUE(gif);
        const Bytes file = encoded(gif.get());
        ASSERT_GT(file.size(), 13u + 19 + 8 + 10 + 768 + 2);
        EXPECT_EQ("GIF89a", std::string(file.begin(), file.begin() + 6));
        EXPECT_EQ(5, file[6]);
        EXPECT_EQ(3, file[8]);
        EXPECT_EQ(0, file[10] & 0x80) << "no global table";
        EXPECT_EQ("NETSCAPE2.0", std::string(file.begin() + 16, file.begin() + 27));
        const size_t control = 13 + 19;
        EXPECT_EQ((Bytes{0x21, 0xF9, 4, 1}), Bytes(file.begin() + control, file.begin() + control + 4));
        const uint8_t transparent = file[control + 6];
        EXPECT_EQ(depth == 8 ? 255 : 15, transparent);
        const size_t descriptor = control + 8;
        EXPECT_EQ(0x2C, file[descriptor]);
        EXPECT_EQ(0x87, file[descriptor + 9]) << "local 256-entry table, not interlaced";
        EXPECT_EQ(8, file[descriptor + 10 + 768]) << "code size";
        EXPECT_EQ(0x3B, file.back());
        // Indices stay below the colours plus the transparent one.
        Held<Gif> back;
        ASSERT_TRUE(decodes(file, back.get()));
        for (int32_t y = 0; y < 3; ++y) {
            for (int32_t x = 0; x < 5; ++x) {
                EXPECT_LE(back->frame(0)->row(y)[x], transparent);
            }
        }
        EXPECT_EQ(transparent, back->transparentIndex(0));
    }
}

TEST(GifCodec, FreshGifsWriteAt8BitsAndDelaysKeepTheirHundredths) {
    Held<BufferedImage> image(colourful(20, 20, 255));
    Held<Gif> fresh;
    EXPECT_EQ(0, fresh->bitDepth());
    Held<Gif> made(static_cast<Gif*>(fresh->createFromImage(image.get())));
    ASSERT_TRUE(made);
    Held<Gif> back;
    ASSERT_TRUE(decodes(encoded(made.get()), back.get()));
    Held<BufferedImage> picture(back->toBufferedImage());
    expectSamePicture(image.get(), picture.get(), "255 colours at the fallback depth");

    giftest::File file;
    file.width = 2;
    file.height = 1;
    giftest::Frame frame;
    frame.width = 2;
    frame.table = {0, 0, 0, 255, 255, 255};
    frame.indices = {0, 1};
    frame.delay = 5;
    file.frames = {frame};
    Held<Gif> timed;
    ASSERT_TRUE(decodes(giftest::build(file), timed.get()));
    EXPECT_EQ(50, timed->delay(0));
    const Bytes again = encoded(timed.get());
    EXPECT_EQ(5, again[13 + 19 + 4]);
    EXPECT_EQ(0, again[13 + 19 + 5]);
}

// Composes a file's frames by the GIF rules on a screen of 0 (transparent) pixels,
// straight from the writer's description: each frame drawn at its place, then its
// rectangle left (0, 1), cleared (2) or restored (3). Every frame, or only the last.
std::vector<std::vector<uint32_t>> composedByTheRules(const giftest::File& file, bool everyFrame = true) {
    std::vector<uint32_t> screen(static_cast<size_t>(file.width * file.height), 0);
    std::vector<std::vector<uint32_t>> out;
    for (const giftest::Frame& f : file.frames) {
        const std::vector<uint32_t> before = screen;
        const Bytes& table = f.table.empty() ? file.globalTable : f.table;
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x) {
                const int index = f.indices[static_cast<size_t>(y * f.width + x)];
                if (index != f.transparent) {
                    const size_t t = static_cast<size_t>(index * 3);
                    screen[static_cast<size_t>((f.top + y) * file.width + f.left + x)] =
                        0xFF000000u | table[t] << 16 | table[t + 1] << 8 | table[t + 2];
                }
            }
        }
        if (everyFrame || &f == &file.frames.back()) {
            out.push_back(screen);
        }
        for (int y = f.top; y < f.top + f.height && f.disposal >= 2; ++y) {
            for (int x = f.left; x < f.left + f.width; ++x) {
                const size_t at = static_cast<size_t>(y * file.width + x);
                screen[at] = f.disposal == 2 ? 0 : before[at];
            }
        }
    }
    return out;
}

// The decoded frames composed match expected, the last expected.size() of frames (all
// of them by default).
void expectComposed(const std::vector<std::vector<uint32_t>>& expected, int32_t width, Gif* gif,
                    const std::string& what, size_t frames = 0) {
    Held<BufferedImageSet> set(gif->toImageSet());
    ASSERT_TRUE(set) << what;
    Held<BufferedImageSet> whole(set->coalescedCopy());
    ASSERT_TRUE(whole) << what;
    frames = frames != 0 ? frames : expected.size();
    ASSERT_EQ(frames, static_cast<size_t>(whole->count())) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
        const BufferedImage* frame = whole->frameAt(static_cast<int32_t>(frames - expected.size() + i));
        ASSERT_EQ(expected[i].size(), static_cast<size_t>(frame->width() * frame->height())) << what;
        for (size_t at = 0; at < expected[i].size(); ++at) {
            const int32_t x = static_cast<int32_t>(at) % width;
            const int32_t y = static_cast<int32_t>(at) / width;
            ASSERT_EQ(expected[i][at], seen(frame->pixel(x, y))) << what << ", frame " << i << " at " << x << "," << y;
        }
    }
}

// A screen of width x height over the colours 0 black, 1 red, 2 green, 3 blue.
giftest::File fourColours(int width, int height) {
    giftest::File file;
    file.width = width;
    file.height = height;
    file.globalTable = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    return file;
}

// Frames of the tests' own writer, decoded to the pixels computed here.
TEST(GifCodec, ReadsInterlacedOffsetAndDeferredClearFrames) {
    auto colourOf = [&](const Bytes& table, int index) {
        return 0xFF000000u | table[static_cast<size_t>(index * 3)] << 16 | table[static_cast<size_t>(index * 3 + 1)] << 8 |
               table[static_cast<size_t>(index * 3 + 2)];
    };
    giftest::File file = fourColours(40, 30);
    file.loop = 3;
    // 0: the whole screen, interlaced, code size 2, from the global table.
    giftest::Frame first;
    first.width = 40;
    first.height = 30;
    first.interlaced = true;
    first.codeSize = 2;
    for (int i = 0; i < 40 * 30; ++i) {
        first.indices.push_back(static_cast<uint8_t>((i / 40 + i % 7) % 4));
    }
    // 1: an offset square of a local table with a transparent index.
    giftest::Frame square;
    square.left = 10;
    square.top = 5;
    square.width = 8;
    square.height = 6;
    square.transparent = 2;
    square.disposal = 1;
    square.table = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    for (int i = 0; i < 8 * 6; ++i) {
        square.indices.push_back(static_cast<uint8_t>(i % 3 == 0 ? 2 : i % 4));
    }
    // 2: noise enough to fill the table, with the clear code deferred, 8-bit codes.
    giftest::Frame noise;
    noise.left = 1;
    noise.top = 2;
    noise.width = 39;
    noise.height = 28;
    noise.deferClear = true;
    for (int i = 0; i < 256; ++i) {
        noise.table.insert(noise.table.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7});
    }
    uint32_t seed = 99;
    for (int i = 0; i < 39 * 28; ++i) {
        seed = seed * 1664525u + 1013904223u;
        noise.indices.push_back(static_cast<uint8_t>(seed >> 24));
    }
    noise.delay = 7;
    file.frames = {first, square, noise};
    Held<Gif> gif;
    ASSERT_TRUE(decodes(giftest::build(file), gif.get()));
    ASSERT_EQ(3, gif->frameCount());
    EXPECT_EQ(3, gif->loopCount());
    EXPECT_EQ(10, gif->left(1));
    EXPECT_EQ(5, gif->top(1));
    EXPECT_EQ(70, gif->delay(2));

    // Each frame by itself.
    const giftest::Frame* frames[] = {&first, &square, &noise};
    for (int i = 0; i < 3; ++i) {
        const giftest::Frame& f = *frames[i];
        Held<BufferedImage> picture(gif->toBufferedImage(nullptr, i));
        ASSERT_TRUE(picture);
        ASSERT_EQ(f.width, picture->width());
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x) {
                const int index = f.indices[static_cast<size_t>(y * f.width + x)];
                const uint32_t expected = index == f.transparent ? 0 : colourOf(f.table.empty() ? file.globalTable : f.table, index);
                ASSERT_EQ(expected, seen(picture->pixel(x, y))) << "frame " << i << " at " << x << "," << y;
            }
        }
    }

    // Placed on the screen and composed: frame 1 over frame 0, frame 2 over that.
    Held<BufferedImageSet> set(gif->toImageSet());
    ASSERT_TRUE(set);
    ASSERT_EQ(3, set->count());
    EXPECT_TRUE(set->animated());
    EXPECT_EQ(8, set->frameAt(1)->width()) << "frames keep their own rectangle";
    EXPECT_EQ(10, set->left(1));
    EXPECT_EQ(5, set->top(1));
    EXPECT_EQ(40, set->screenWidth());
    expectComposed(composedByTheRules(file), 40, gif.get(), "composed");
}

TEST(GifCodec, AnimationsRoundTripFrameForFrame) {
    // Four whole frames (disposal 2, as composed sets have them) of a moving bar over
    // a gradient (under 255 colours).
    Held<BufferedImageSet> set;
    for (int i = 0; i < 4; ++i) {
        BufferedImage* frame = BufferedImage::create(24, 16);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 24; ++x) {
                const bool bar = x >= i * 5 && x < i * 5 + 4;
                frame->setPixel(x, y, bar ? 0xFF000000u | (60u * i) << 8 : 0xFF000000u | (x * 10u) << 16 | (y % 4) * 50u);
            }
        }
        set->add(frame, 32, 100 + i * 10, 2);
    }
    set->setLoop(true, 0);
    Held<Gif> gif(Gif::createFromSet(set.get(), 8, true, 255, 255, 255));
    ASSERT_TRUE(gif);
    ASSERT_EQ(4, gif->frameCount());
    // Later frames hold only the changes, so every frame stays in place.
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(1, gif->disposal(i));
    }
    Held<Gif> back;
    ASSERT_TRUE(decodes(encoded(gif.get()), back.get()));
    Held<BufferedImageSet> frames(back->toImageSet());
    ASSERT_TRUE(frames);
    Held<BufferedImageSet> whole(frames->coalescedCopy());
    ASSERT_EQ(4, whole->count());
    for (int i = 0; i < 4; ++i) {
        expectSamePicture(set->frameAt(i), whole->frameAt(i), "frame " + std::to_string(i));
        EXPECT_EQ(100 + i * 10, whole->delay(i));
    }
    // The set's own encoder entry takes every frame of an animated set.
    Held<Gif> kind;
    Held<Gif> made(static_cast<Gif*>(kind->createFromImageSet(set.get())));
    ASSERT_TRUE(made);
    EXPECT_EQ(4, made->frameCount());
    set->setLoop(false, 0);
    Held<Gif> still(static_cast<Gif*>(kind->createFromImageSet(set.get())));
    ASSERT_TRUE(still);
    EXPECT_EQ(1, still->frameCount());
}

giftest::Frame rectangle(int left, int top, int width, int height, int index, int disposal, int transparent = -1) {
    giftest::Frame f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    f.indices = Bytes(static_cast<size_t>(width * height), static_cast<uint8_t>(index));
    f.disposal = disposal;
    f.transparent = transparent;
    f.codeSize = 2;
    f.delay = 4;
    return f;
}

TEST(GifCodec, AnimationsComposeByTheDisposalRulesAndAreWrittenSo) {
    // Index 0 black, 1 red, 2 green, 3 blue; a red background of the whole screen.
    const giftest::Frame background = rectangle(0, 0, 8, 6, 1, 1);
    giftest::Frame holed = rectangle(1, 1, 4, 3, 2, 1, 0);
    for (int x = 0; x < 4; ++x) {
        holed.indices[static_cast<size_t>(4 + x)] = 0;  // a transparent middle row
    }
    struct Case {
        const char* name;
        std::vector<giftest::Frame> frames;
    };
    const Case cases[] = {
        {"disposal 2 clears only its rectangle",
         {background, rectangle(2, 1, 3, 2, 2, 2), rectangle(5, 3, 2, 2, 3, 1), rectangle(0, 5, 1, 1, 2, 2)}},
        {"disposal 3 restores what lay under it",
         {background, rectangle(1, 1, 3, 3, 2, 1), rectangle(2, 2, 4, 2, 3, 3), holed, rectangle(7, 0, 1, 1, 0, 1)}},
        {"a dot moving over nothing",
         {rectangle(0, 0, 1, 1, 2, 2), rectangle(3, 2, 1, 1, 2, 2), rectangle(6, 4, 2, 1, 3, 2),
          rectangle(6, 4, 1, 1, 3, 1)}},
    };
    for (const Case& c : cases) {
        giftest::File file = fourColours(8, 6);
        file.loop = 0;
        file.frames = c.frames;
        const auto expected = composedByTheRules(file);
        Held<Gif> gif;
        ASSERT_TRUE(decodes(giftest::build(file), gif.get())) << c.name;
        expectComposed(expected, 8, gif.get(), c.name);

        // Written from the decoded set and read back: the same frames.
        Held<BufferedImageSet> set(gif->toImageSet());
        Held<Gif> written(Gif::createFromSet(set.get(), 8, true, 255, 255, 255));
        ASSERT_TRUE(written) << c.name;
        Held<Gif> back;
        ASSERT_TRUE(decodes(encoded(written.get()), back.get())) << c.name;
        expectComposed(expected, 8, back.get(), std::string(c.name) + ", written");
        EXPECT_EQ(40, back->delay(1));
    }
}

TEST(GifCodec, LongScreencastsShow) {
    // 640 x 421 and 783 frames: a whole first frame, then small changes.
    giftest::File file = fourColours(640, 421);
    giftest::Frame first = rectangle(0, 0, 640, 421, 0, 1);
    for (size_t i = 0; i < first.indices.size(); ++i) {
        first.indices[i] = static_cast<uint8_t>((i / 640 / 16 + i % 640 / 16) % 4);
    }
    file.frames.push_back(first);
    for (int i = 1; i < 783; ++i) {
        file.frames.push_back(rectangle(i * 7 % 632, i * 3 % 413, 8, 8, i % 3 + 1, 1));
    }
    Held<Gif> gif;
    ASSERT_TRUE(decodes(giftest::build(file), gif.get()));
    ASSERT_EQ(783, gif->frameCount());
    expectComposed(composedByTheRules(file, false), 640, gif.get(), "the last frame", 783);
}

TEST(GifCodec, TheSettingChoosesDepthTransparencyAndFrames) {
    Held<s::image::gif::EncodeSetting> setting;
    setting->setBpp(4);
    setting->setKeepTransparency(false);
    setting->setBackground(0, 0, 255);
    // Ten colours and the background fit 15 exactly.
    Held<BufferedImage> few(colourful(30, 20, 10, 7));
    Held<Gif> gif(static_cast<Gif*>(setting->encode(few.get())));
    ASSERT_TRUE(gif);
    EXPECT_EQ(-1, gif->transparentIndex(0));
    Held<BufferedImage> picture(gif->toBufferedImage());
    EXPECT_FALSE(picture->hasAlpha());
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 30; ++x) {
            const uint32_t expected = (few->pixel(x, y) >> 24) == 0 ? 0xFF0000FFu : few->pixel(x, y);
            ASSERT_EQ(expected, picture->pixel(x, y)) << x << "," << y;
        }
    }
    // Forty colours come down to at most 15 indices.
    Held<BufferedImage> many(colourful(30, 20, 40));
    Held<Gif> reduced(static_cast<Gif*>(setting->encode(many.get())));
    ASSERT_TRUE(reduced);
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 30; ++x) {
            ASSERT_LT(reduced->frame(0)->row(y)[x], 15);
        }
    }

    Held<BufferedImageSet> set;
    set->add(colourful(4, 4, 3), 32, 100, 0);
    set->add(colourful(4, 4, 5), 32, 100, 0);
    for (bool animated : {true, false}) {
        set->setLoop(animated, 0);
        Held<Gif> made(static_cast<Gif*>(setting->encode(set.get())));
        ASSERT_TRUE(made);
        EXPECT_EQ(animated ? 2 : 1, made->frameCount());
    }
}

// Files that must fail, or end early, within a second and without large allocations.
TEST(GifCodec, HostileFilesFailCleanly) {
    giftest::File good;
    good.width = 4;
    good.height = 4;
    giftest::Frame frame;
    frame.width = 4;
    frame.height = 4;
    frame.table = {0, 0, 0, 255, 255, 255};
    frame.codeSize = 2;
    frame.indices = Bytes(16, 1);
    good.frames = {frame};

    auto withFrame = [&](auto change) {
        giftest::File f = good;
        change(f.frames[0]);
        return giftest::build(f);
    };
    auto withFile = [&](auto change) {
        giftest::File f = good;
        change(f);
        return giftest::build(f);
    };
    giftest::CodeWriter broken(2);
    for (int code : {4, 1, 7}) {  // 7: above the next free code (6)
        broken.put(code);
    }
    // 100,000 frames of 1 x 1, as a 2.3 MB file.
    giftest::File many = good;
    giftest::Frame dot = frame;
    dot.width = dot.height = 1;
    dot.indices = {1};
    many.frames.assign(100000, dot);

    Bytes extensionRunsOut = giftest::build(good);
    extensionRunsOut.pop_back();
    extensionRunsOut.insert(extensionRunsOut.end(), {0x21, 0x01, 200, 1, 2, 3});

    // Those that decode keep the frame they got to.
    const std::vector<codectest::Hostile> cases = {
        {"bad signature", withFile([](giftest::File& f) { f.signature = "GIF88a"; })},
        {"not a GIF", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"header only", Bytes{'G', 'I', 'F', '8', '9', 'a', 4, 0}},
        {"no frames", withFile([](giftest::File& f) { f.frames.clear(); })},
        {"huge frame", withFrame([](giftest::Frame& f) { f.width = 65535; f.height = 65535; })},
        {"frame too wide", withFrame([](giftest::Frame& f) { f.width = 16385; f.height = 1; })},
        {"too many pixels", withFrame([](giftest::Frame& f) { f.width = 8192; f.height = 8193; })},
        {"code size 0", withFrame([](giftest::Frame& f) { f.codeSize = 0; f.data = {0, 0}; })},
        {"code size 12", withFrame([](giftest::Frame& f) { f.codeSize = 12; f.data = {0, 0}; })},
        {"global table past the end", Bytes{'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0xF7, 0, 0, 1, 2, 3}},
        {"bad LZW code", withFrame([&](giftest::Frame& f) { f.data = broken.finish(); }), true},
        {"no trailer", withFile([](giftest::File& f) { f.trailer = false; }), true},
        {"extension past the end", extensionRunsOut, true},
        {"100,000 frames", giftest::build(many)},
    };
    Held<Gif> hostile;
    codectest::expectHostileHandled(hostile.get(), cases);
    // The broken code ends the frame: one pixel written, the rest index 0.
    Held<Gif> gif;
    ASSERT_TRUE(decodes(cases[10].bytes, gif.get()));
    EXPECT_EQ(1, gif->frameCount());
    EXPECT_EQ((Bytes{1, 0, 0, 0}), Bytes(gif->frame(0)->row(0), gif->frame(0)->row(0) + 4));

    // Every truncation of a good file: fails before the image data, a frame after.
    const Bytes whole = giftest::build(good);
    for (size_t n = 0; n < whole.size(); ++n) {
        Held<Gif> cut;
        const bool done = decodes(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)), cut.get());
        EXPECT_EQ(n > 13 + 6 + 8 + 10, done) << n << " bytes";
    }
}

} // namespace

namespace {

// A frame whose data ends at once: tiny in the file whatever it costs in memory.
giftest::Frame noData(int left, int top, int width, int height, int disposal = 0) {
    giftest::Frame frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.disposal = disposal;
    frame.delay = 4;
    frame.data = giftest::endsAtOnce();
    return frame;
}

Bytes screenOf(int width, int height, std::vector<giftest::Frame> frames) {
    giftest::File file;
    file.width = width;
    file.height = height;
    file.loop = 0;
    file.frames = std::move(frames);
    return giftest::build(file);
}

// Frames placed across the screen.
Bytes framesOfNoData(int width, int height, int frames, int frameWidth, int frameHeight) {
    std::vector<giftest::Frame> placed;
    for (int i = 0; i < frames; ++i) {
        placed.push_back(noData((i * 37) % (width - frameWidth + 1), (i * 23) % (height - frameHeight + 1),
                                frameWidth, frameHeight));
    }
    return screenOf(width, height, placed);
}

// As the image control takes a file (decoded, placed, composed, or its first frame
// standing still when composing would pass the budget, every pixel read), all copies
// together stay within 1 GiB.
TEST(GifCodec, AnAnimationIsHeldWithinOneBudgetInAllItsCopies) {
    const std::vector<giftest::Frame> threeFull(3, noData(0, 0, 16384, 4096));
    std::vector<giftest::Frame> emptyFirst = {noData(65535, 0, 0, 0)};
    emptyFirst.insert(emptyFirst.end(), threeFull.begin(), threeFull.end());
    struct Case {
        const char* name;
        Bytes file;
        bool decodes;
        int32_t shown;  // frames composed: all of them, 1 standing still, 0 none
    };
    const std::vector<Case> cases = {
        // Each copy under its own cap, 2.3 GB together (8-bit, 32-bit, composed).
        {"16 full frames on a 4096 x 4096 screen", framesOfNoData(4096, 4096, 16, 4096, 4096), false, 0},
        // The same a quarter the size plays (and so does a screencast: LongScreencastsShow).
        {"16 full frames on a 1024 x 1024 screen", framesOfNoData(1024, 1024, 16, 1024, 1024), true, 16},
        // A screen too large to compose is never composed: the frames alone are held.
        {"2 small frames on a 65535 x 65535 screen", framesOfNoData(65535, 65535, 2, 16, 16), true, 0},
        // 20 s of 640 x 480: too much to compose, not to show.
        {"500 full frames on 640 x 480", screenOf(640, 480, std::vector<giftest::Frame>(500, noData(0, 0, 640, 480))),
         true, 1},
        // Composed they would pass 1 GiB with the working screen and the save.
        {"3 frames on 8192 x 8192", screenOf(8192, 8192, std::vector<giftest::Frame>(3, noData(0, 0, 8192, 2048, 1))),
         true, 1},
        {"3 restoring frames on 8192 x 8192",
         screenOf(8192, 8192, {noData(0, 0, 8192, 2048, 3), noData(0, 2048, 8192, 2048, 3),
                               noData(0, 4096, 8192, 2048, 3)}),
         true, 1},
        // An empty block does not widen the screen the frames are composed on.
        {"3 full frames on 16384 x 4096", screenOf(16384, 4096, threeFull), false, 0},
        {"3 full frames on 16384 x 4096, an empty block at 65535", screenOf(16384, 4096, emptyFirst), false, 0},
    };
    for (const Case& c : cases) {
        const SIZE_T before = codectest::memoryCounters().WorkingSetSize;
        Held<Gif> gif;
        const bool decoded = decodes(c.file, gif.get());
        EXPECT_EQ(c.decodes, decoded) << c.name;
        if (decoded) {
            Held<BufferedImageSet> placed(gif->toImageSet());
            ASSERT_TRUE(placed) << c.name;
            BufferedImageSet* composed = placed->coalescedCopy();
            Held<BufferedImageSet> shown(composed != nullptr ? composed : placed->firstScreenCopy());
            EXPECT_EQ(c.shown, shown ? shown->count() : 0) << c.name;
            if (shown) {
                // The first frame on its screen, alone.
                const BufferedImage* first = shown->frameAt(0);
                ASSERT_EQ(placed->screenWidth(), first->width()) << c.name;
                int64_t opaque = 0;
                for (int32_t y = 0; y < first->height(); ++y) {
                    for (int32_t x = 0; x < first->width(); ++x) {
                        opaque += first->pixel(x, y) == 0xFF000000u ? 1 : 0;
                    }
                }
                EXPECT_EQ(int64_t{placed->frameAt(0)->width()} * placed->frameAt(0)->height(), opaque) << c.name;
            }
        }
        EXPECT_LT(codectest::memoryCounters().PeakWorkingSetSize - before, SIZE_T{1} << 30) << c.name;
    }
}

} // namespace
