// The image set: representative frame, nearest-frame searches, numbers outside the
// set, and composition of frames by the previous frame's disposal.
#include <gtest/gtest.h>

#include <vector>

#include "ImageTestSupport.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/win/BufferedImageSet.h"

using imagetest::Held;
using imagetest::solidImage;
using s::image::win::BufferedImage;
using s::image::win::BufferedImageSet;

namespace {

constexpr uint32_t CLEAR = 0x00FFFFFF;

// A width x height picture of the background colour with a rectangle of colour;
// a background with alpha 0 makes it a picture with alpha.
BufferedImage* painted(int32_t width, int32_t height, uint32_t background, RECT box, uint32_t colour) {
    BufferedImage* image = solidImage(width, height, background);
    for (int32_t y = box.top; y < box.bottom; ++y) {
        for (int32_t x = box.left; x < box.right; ++x) {
            image->setPixel(x, y, colour);
        }
    }
    image->setHasAlpha((background >> 24) != 255);
    return image;
}

TEST(ImageSet, NumbersOutsideTheSetAnswerTheOutsideValue) {
    Held<BufferedImageSet> set;
    for (int i = 0; i < 3; ++i) {
        set->add(solidImage(2, 2, 0xFF000000), 8, 10 * (i + 1), i);
    }
    for (int32_t index : {3, 5, -1, -1000}) {
        EXPECT_EQ(1000, set->delay(index)) << index;
        EXPECT_EQ(1000, set->disposal(index)) << index;
        EXPECT_EQ(nullptr, set->frameAt(index)) << index;
    }
    EXPECT_EQ(30, set->delay(2));
    EXPECT_EQ(1, set->disposal(1));
    EXPECT_FALSE(set->add(nullptr, 8, 0, 0));
    EXPECT_EQ(3, set->count());
}

TEST(ImageSet, TheLargestDeepestFrameRepresentsTheSet) {
    Held<BufferedImageSet> set;
    set->add(solidImage(32, 32, 0xFF000000), 8, 0, 0);
    set->add(solidImage(32, 32, 0xFF000000), 32, 0, 0);
    EXPECT_EQ(1, set->bestIndex());
    set->add(solidImage(16, 16, 0xFF000000), 32, 0, 0);
    EXPECT_EQ(1, set->bestIndex());
    EXPECT_EQ(32, set->width());
    EXPECT_EQ(set->frameAt(1), set->bestFrame());
}

TEST(ImageSet, NearestFramesBySizeAndByDepth) {
    struct Frame {
        int32_t side;
        int32_t depth;
    };
    struct Case {
        std::vector<Frame> frames;
        bool bySize;
        int32_t side;
        int32_t depth;
        int32_t expected;
    };
    const Case cases[] = {
        {{{16, 32}, {24, 8}}, true, 20, 32, 0},            // area distance 144 against 176
        {{{16, 32}, {48, 8}, {32, 32}}, false, 48, 24, 2},  // depth 8 away, the nearer area
        {{{16, 32}, {48, 8}, {32, 32}}, true, 48, 24, 1},
        {{{16, 32}, {48, 8}, {32, 32}}, false, 32, 32, 2},  // exact
        {{{16, 8}, {16, 8}}, true, 10, 8, 0},               // the first of equals
    };
    for (const Case& c : cases) {
        Held<BufferedImageSet> set;
        for (const Frame& f : c.frames) {
            set->add(solidImage(f.side, f.side, 0xFF000000), f.depth, 0, 0);
        }
        int32_t index = -1;
        EXPECT_TRUE(c.bySize ? set->findNearestSize(c.side, c.side, c.depth, &index)
                             : set->findNearestDepth(c.side, c.side, c.depth, &index));
        EXPECT_EQ(c.expected, index) << c.side << " " << c.depth;
    }
    Held<BufferedImageSet> empty;
    int32_t index = -1;
    EXPECT_FALSE(empty->findNearestSize(1, 1, 8, &index));
    EXPECT_EQ(0, index);
    EXPECT_FALSE(empty->findNearestDepth(1, 1, 8, &index));
}

// Frames (6 x 1) each with one opaque pixel at its own column on a clear ground,
// except the first, which is opaque grey; the expected composed rows follow from
// the previous frame's disposal.
TEST(ImageSet, EachFrameIsComposedByThePreviousFramesDisposal) {
    const uint32_t grey = 0xFF808080;
    const uint32_t colours[] = {grey, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF};
    struct Case {
        const char* name;
        std::vector<int32_t> disposals;
        std::vector<std::vector<uint32_t>> expected;  // composed rows from frame 1 on
    };
    const uint32_t g = grey, r = colours[1], gr = colours[2], b = colours[3], ye = colours[4], c = CLEAR;
    const Case cases[] = {
        {"left in place",
         {0, 1, 1, 0, 1, 1},
         {{g, r, g, g, g, g}, {g, r, gr, g, g, g}, {g, r, gr, b, g, g}, {g, r, gr, b, ye, g}}},
        {"cleared",
         {2, 2, 1, 2, 0, 0},
         {{c, r, c, c, c, c}, {c, c, gr, c, c, c}, {c, c, gr, b, c, c}, {c, c, c, c, ye, c}}},
        {"restored",
         {1, 3, 3, 1, 0, 0},
         {{g, r, g, g, g, g}, {g, g, gr, g, g, g}, {g, g, g, b, g, g}, {g, g, g, b, ye, g}}},
    };
    for (const Case& k : cases) {
        Held<BufferedImageSet> set;
        set->add(solidImage(6, 1, grey), 8, 0, k.disposals[0]);
        for (int32_t i = 1; i < 5; ++i) {
            set->add(painted(6, 1, CLEAR, RECT{i, 0, i + 1, 1}, colours[i]), 8, 10 * i, k.disposals[i]);
        }
        set->setLoop(false, 7);
        Held<BufferedImageSet> whole(set->coalescedCopy());
        ASSERT_TRUE(whole) << k.name;
        ASSERT_EQ(5, whole->count());
        EXPECT_TRUE(whole->animated());
        EXPECT_EQ(7, whole->loopCount());
        EXPECT_EQ(k.disposals[0], whole->disposal(0)) << k.name;
        for (int32_t i = 1; i < 5; ++i) {
            EXPECT_EQ(2, whole->disposal(i)) << k.name;
            EXPECT_EQ(10 * i, whole->delay(i));
            std::vector<uint32_t> row;
            for (int32_t x = 0; x < 6; ++x) {
                const uint32_t p = whole->frameAt(i)->pixel(x, 0);
                row.push_back((p >> 24) == 0 ? CLEAR : p);
            }
            EXPECT_EQ(k.expected[static_cast<size_t>(i - 1)], row) << k.name << ", frame " << i;
            const bool anyClear = std::find(row.begin(), row.end(), CLEAR) != row.end();
            EXPECT_EQ(anyClear, whole->frameAt(i)->hasAlpha()) << k.name << ", frame " << i;
        }
    }
}

TEST(ImageSet, CopiesKeepPlacesAndCompositionBeyondTheCapIsRefused) {
    // Five dots on a 16384 x 4096 screen would compose into 1.25 GiB.
    Held<BufferedImageSet> set;
    for (int32_t i = 0; i < 5; ++i) {
        set->addAt(solidImage(1, 1, 0xFF000000), 8, 10, 1, i, i);
    }
    set->setScreen(16384, 4096);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(nullptr, set->coalescedCopy());
    EXPECT_LT(GetTickCount64() - start, 100u);
    // A copy keeps the places and the screen.
    Held<BufferedImageSet> copy(set->copy());
    EXPECT_EQ(3, copy->left(3));
    EXPECT_EQ(3, copy->top(3));
    EXPECT_EQ(16384, copy->screenWidth());
    EXPECT_EQ(nullptr, copy->coalescedCopy());
}

TEST(ImageSet, CopiesKeepNumbersAndLoopAndClearLeavesFramesToTheirHolders) {
    Held<BufferedImageSet> set;
    set->add(solidImage(8, 4, 0xFF102030), 8, 40, 1);
    set->add(solidImage(8, 4, 0xFF405060), 4, 50, 2);
    set->setLoop(true, 3);
    Held<BufferedImageSet> scaled(set->scaledCopy(4, 4, true));
    Held<BufferedImageSet> plain(set->copy());
    for (BufferedImageSet* copy : {scaled.get(), plain.get()}) {
        ASSERT_EQ(2, copy->count());
        EXPECT_EQ(4, copy->depth(1));
        EXPECT_EQ(50, copy->delay(1));
        EXPECT_EQ(2, copy->disposal(1));
        EXPECT_TRUE(copy->animated());
        EXPECT_EQ(3, copy->loopCount());
        EXPECT_NE(set->frameAt(0), copy->frameAt(0));
    }
    EXPECT_EQ(4, scaled->frameAt(0)->width());
    EXPECT_EQ(2, scaled->frameAt(0)->height());
    EXPECT_EQ(0xFF405060u, plain->frameAt(1)->pixel(7, 3));

    Held<BufferedImage> kept(set->frameAt(0));
    set->frameAt(1)->release();
    set->clear();
    EXPECT_EQ(0, set->count());
    EXPECT_FALSE(set->animated());
    EXPECT_EQ(0xFF102030u, kept->pixel(0, 0));
}

TEST(ImageSet, SingleFrameFormatsGiveOneFrameOfTheirDepth) {
    Held<s::image::bmp::win::Bitmap> bitmap;
    ASSERT_NE(nullptr, bitmap->create(5, 3, 8));
    bitmap->colourTable()[0] = RGBQUAD{30, 20, 10, 0};
    Held<BufferedImageSet> set(bitmap->toImageSet());
    ASSERT_TRUE(set);
    ASSERT_EQ(1, set->count());
    EXPECT_EQ(8, set->depth(0));
    EXPECT_EQ(0, set->delay(0));
    EXPECT_EQ(0, set->disposal(0));
    EXPECT_FALSE(set->animated());
    EXPECT_EQ(0xFF0A141Eu, set->frameAt(0)->pixel(4, 2));
    // Made back from the set: its first frame, at the receiver's depth.
    set->add(solidImage(9, 9, 0xFF000000), 32, 0, 0);
    Held<s::image::bmp::win::Bitmap> made(
        static_cast<s::image::bmp::win::Bitmap*>(bitmap->createFromImageSet(set.get())));
    ASSERT_TRUE(made);
    EXPECT_EQ(5, made->width());
    EXPECT_EQ(8, made->bitCount());
}

} // namespace
