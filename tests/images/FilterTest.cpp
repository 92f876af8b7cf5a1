// Sharpness kernels, in-place convolution and bilinear resampling, against pixels
// worked out by hand.
#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "images/image/filters/convolution/Convolution.h"
#include "images/image/filters/scale/BilinearFilter.h"
#include "images/image/filters/scale/Contribution.h"
#include "images/image/filters/sharpness/Sharpness.h"

using imagetest::Held;
using s::image::filters::convolution::Convolution;
using s::image::filters::scale::BilinearFilter;
using s::image::filters::scale::Contribution;
using s::image::filters::sharpness::Sharpness;
using s::image::win::BufferedImage;

namespace {

// A pooled image from rows of pixels (top first).
BufferedImage* imageOf(std::initializer_list<std::initializer_list<uint32_t>> rows) {
    BufferedImage* image = BufferedImage::create(static_cast<int32_t>(rows.begin()->size()),
                                                 static_cast<int32_t>(rows.size()));
    int32_t y = 0;
    for (const auto& row : rows) {
        int32_t x = 0;
        for (uint32_t p : row) {
            image->setPixel(x++, y, p);
        }
        ++y;
    }
    return image;
}

void expectKernel(const Convolution* k, std::initializer_list<int32_t> coefficients, int32_t divisor) {
    ASSERT_NE(nullptr, k);
    int32_t i = 0;
    for (int32_t c : coefficients) {
        EXPECT_EQ(c, k->coefficient(i++)) << i;
    }
    EXPECT_EQ(divisor, k->divisor());
}

} // namespace

TEST(Sharpness, LevelsGiveTheirKernels) {
    Held<Sharpness> filter(Sharpness::create(-100));
    expectKernel(filter->kernel(), {100, 200, 100, 200, 400, 200, 100, 200, 100}, 1600);
    filter->setLevel(-50);
    expectKernel(filter->kernel(), {50, 100, 50, 100, 400, 100, 50, 100, 50}, 1000);
    filter->setLevel(100);
    expectKernel(filter->kernel(), {0, -180, 0, -180, 1100, -180, 0, -180, 0}, 380);
    filter->setLevel(50);
    expectKernel(filter->kernel(), {0, -90, 0, -90, 1100, -90, 0, -90, 0}, 740);
    // Past 100 the kernel would sum to 0 and below; the level is held to the range.
    filter->setLevel(153);
    EXPECT_EQ(100, filter->level());
    EXPECT_EQ(380, filter->kernel()->divisor());
    filter->setLevel(0);
    EXPECT_EQ(nullptr, filter->kernel());
    EXPECT_EQ(Sharpness::KIND_NAME, filter->kindName());
}

TEST(Sharpness, ConvolvesInPlaceAgainstFilteredNeighbours) {
    // One row, blue 10, 100, 10, sharpened at 100 (edges -180, centre 1100, / 380):
    // left pixel  (-180 * (10 + 10 + 100 + 10) + 1100 * 10) / 380 = -32 -> 0
    // middle      (-180 * (100 + 0 + 10 + 100) + 1100 * 100) / 380 = 190 (its left is already 0)
    // right       (-180 * (10 + 190 + 10 + 10) + 1100 * 10) / 380 = -75 -> 0
    Held<BufferedImage> row(imageOf({{0xFF00000A, 0xFF000064, 0xFF00000A}}));
    Held<Sharpness> sharpen(Sharpness::create(100));
    Held<BufferedImage> sharp(sharpen->apply(row.get(), nullptr));
    ASSERT_NE(nullptr, sharp.get());
    EXPECT_EQ(0xFF000000u, sharp->pixel(0, 0));
    EXPECT_EQ(0xFF0000BEu, sharp->pixel(1, 0));
    EXPECT_EQ(0xFF000000u, sharp->pixel(2, 0));
    EXPECT_EQ(0xFF00000Au, row->pixel(0, 0));  // the source is untouched

    // One column, blue 0 over 160, blurred at -100 (rows weigh 400, 800, 400, / 1600):
    // top    (400 * 0 + 800 * 0 + 400 * 160) / 1600 = 40
    // bottom (400 * 40 + 800 * 160 + 400 * 160) / 1600 = 130 (its upper neighbour is already 40)
    Held<BufferedImage> column(imageOf({{0xFF000000}, {0xFF0000A0}}));
    Held<Sharpness> blur(Sharpness::create(-100));
    Held<BufferedImage> soft(BufferedImage::create(5, 5));
    ASSERT_EQ(soft.get(), blur->apply(column.get(), soft.get()));
    EXPECT_EQ(1, soft->width());
    EXPECT_EQ(0xFF000028u, soft->pixel(0, 0));
    EXPECT_EQ(0xFF000082u, soft->pixel(0, 1));
}

TEST(Sharpness, AlphaIsFilteredLikeTheColours) {
    Held<BufferedImage> clear(imagetest::solidImage(4, 3, 0x00FF8040));
    ASSERT_TRUE(clear->hasAlpha());
    Held<Sharpness> blur(Sharpness::create(-100));
    Held<BufferedImage> out(blur->apply(clear.get(), nullptr));
    EXPECT_TRUE(out->hasAlpha());
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            ASSERT_EQ(0x00FF8040u, out->pixel(x, y));
        }
    }
    Held<Sharpness> none(Sharpness::create(0));
    Held<BufferedImage> row(imageOf({{0xFF00000A, 0xFF000064, 0xFF00000A}}));
    Held<BufferedImage> same(none->apply(row.get(), nullptr));
    EXPECT_EQ(0xFF000064u, same->pixel(1, 0));
    EXPECT_EQ(nullptr, none->apply(nullptr, nullptr));
}

TEST(Convolution, KernelsSummingToZeroAreNotDivided) {
    // A horizontal difference (centre 1, right -1) over one row: 60 - 20, then 20 - 20.
    Held<Convolution> difference(Convolution::create(0, 0, 0, 0, 1, -1, 0, 0, 0));
    EXPECT_EQ(0, difference->divisor());
    uint8_t pixels[8] = {60, 60, 60, 60, 20, 20, 20, 20};
    uint8_t* rows[1] = {pixels};
    difference->apply(rows, 2, 1);
    EXPECT_EQ(40, pixels[0]);
    EXPECT_EQ(40, pixels[3]);
    EXPECT_EQ(0, pixels[4]);
    difference->apply(nullptr, 2, 1);
}

TEST(BilinearFilter, ContributionsOfAShrinkAndAGrow) {
    Contribution shrink;
    ASSERT_TRUE(shrink.build(BilinearFilter::instance(), 4, 2));
    // Shrinking by 2 widens the triangle to 2: output 0 takes 1 and 0.5 of inputs 0
    // and 1 (2/3, 1/3); output 1, centred on input 2, takes 0.5, 1, 0.5 of 1, 2, 3.
    EXPECT_EQ(0, shrink.first(0));
    EXPECT_EQ(1, shrink.last(0));
    EXPECT_EQ(43690u, shrink.weights(0)[0]);
    EXPECT_EQ(21845u, shrink.weights(0)[1]);
    EXPECT_EQ(1, shrink.first(1));
    EXPECT_EQ(3, shrink.last(1));
    EXPECT_EQ(16384u, shrink.weights(1)[0]);
    EXPECT_EQ(32768u, shrink.weights(1)[1]);
    EXPECT_EQ(16384u, shrink.weights(1)[2]);

    Contribution grow;
    ASSERT_TRUE(grow.build(BilinearFilter::instance(), 2, 4));
    EXPECT_EQ(0, grow.first(0));
    EXPECT_EQ(0, grow.last(0));
    EXPECT_EQ(0, grow.first(1));
    EXPECT_EQ(1, grow.last(1));
    EXPECT_EQ(32768u, grow.weights(1)[0]);
    EXPECT_EQ(1, grow.first(3));
    EXPECT_EQ(1, grow.last(3));
    EXPECT_EQ(65536u, grow.weights(3)[0]);
    EXPECT_FALSE(grow.build(BilinearFilter::instance(), 0, 4));
}

TEST(BilinearFilter, ResamplesBothAxes) {
    const BilinearFilter& filter = BilinearFilter::instance();
    // 4 to 2: (2a + b) / 3 and (b + 2c + d) / 4 in 16.16 with rounding.
    Held<BufferedImage> row(imageOf({{0xFF000000, 0xFF00005A, 0xFF0000B4, 0xFF0000FF}}));
    Held<BufferedImage> half;
    ASSERT_EQ(half.get(), filter.scaledCopy(row.get(), 2, 1, half.get()));
    EXPECT_EQ(0xFF00001Eu, half->pixel(0, 0));  // (90 * 21845 + 32768) >> 16 = 30
    EXPECT_EQ(0xFF0000B0u, half->pixel(1, 0));  // (90 * 16384 + 180 * 32768 + 255 * 16384 + 32768) >> 16 = 176

    Held<BufferedImage> column(imageOf({{0xFF000000}, {0xFF00005A}, {0xFF0000B4}, {0xFF0000FF}}));
    Held<BufferedImage> short_;
    ASSERT_NE(nullptr, filter.scaledCopy(column.get(), 1, 2, short_.get()));
    EXPECT_EQ(0xFF00001Eu, short_->pixel(0, 0));
    EXPECT_EQ(0xFF0000B0u, short_->pixel(0, 1));

    // 2 to 4: a, halfway, b, b.
    Held<BufferedImage> pair(imageOf({{0xFF000000, 0xFF000064}}));
    Held<BufferedImage> wide;
    ASSERT_NE(nullptr, filter.scaledCopy(pair.get(), 4, 1, wide.get()));
    EXPECT_EQ(0xFF000000u, wide->pixel(0, 0));
    EXPECT_EQ(0xFF000032u, wide->pixel(1, 0));
    EXPECT_EQ(0xFF000064u, wide->pixel(2, 0));
    EXPECT_EQ(0xFF000064u, wide->pixel(3, 0));

    // One pixel wide to three repeats it, row by row.
    Held<BufferedImage> thin(imageOf({{0x80112233}, {0x40445566}}));
    thin->setHasAlpha(true);
    Held<BufferedImage> repeated(imagetest::solidImage(10, 10, 0));
    repeated->setHasAlpha(false);
    ASSERT_NE(nullptr, filter.scaledCopy(thin.get(), 3, 2, repeated.get()));
    EXPECT_TRUE(repeated->hasAlpha());
    for (int32_t x = 0; x < 3; ++x) {
        EXPECT_EQ(0x80112233u, repeated->pixel(x, 0));
        EXPECT_EQ(0x40445566u, repeated->pixel(x, 1));
    }
    EXPECT_EQ(nullptr, filter.scaledCopy(thin.get(), 0, 2, repeated.get()));
    EXPECT_EQ(nullptr, filter.scaledCopy(thin.get(), 2, 2, thin.get()));
}

TEST(BilinearFilter, OwnSizeCopiesExactly) {
    Held<BufferedImage> source(BufferedImage::create(7, 5));
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
            source->setPixel(x, y, 0x01000193u * static_cast<uint32_t>(x * 7 + y + 1));
        }
    }
    Held<BufferedImage> copy;
    ASSERT_NE(nullptr, BilinearFilter::instance().scaledCopy(source.get(), 7, 5, copy.get()));
    for (int32_t y = 0; y < 5; ++y) {
        for (int32_t x = 0; x < 7; ++x) {
            ASSERT_EQ(source->pixel(x, y), copy->pixel(x, y));
        }
    }
}
