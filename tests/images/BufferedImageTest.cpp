// The in-memory image: layout, growth, drawing and blending, turns, cached copies
// and the pixel operations.
#include <gtest/gtest.h>

#include <climits>

#include "ImageTestSupport.h"
#include "core/col/_array/ArrayP.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/filters/sharpness/Sharpness.h"

using imagetest::Held;
using s::col::_array::ArrayU08;
using s::image::bmp::win::Bitmap;
using s::image::filters::sharpness::Sharpness;
using s::image::win::BufferedImage;

namespace {

// Every pixel distinct: 0xFF000000 | y << 8 | x.
BufferedImage* gradient(int32_t width, int32_t height) {
    BufferedImage* image = BufferedImage::create(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            image->setPixel(x, y, 0xFF000000u | (static_cast<uint32_t>(y) << 8) | static_cast<uint32_t>(x));
        }
    }
    return image;
}

void expectGradient(const BufferedImage* image, int32_t width, int32_t height) {
    ASSERT_EQ(width, image->width());
    ASSERT_EQ(height, image->height());
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            ASSERT_EQ(0xFF000000u | (static_cast<uint32_t>(y) << 8) | static_cast<uint32_t>(x), image->pixel(x, y))
                << x << "," << y;
        }
    }
}

} // namespace

TEST(BufferedImage, RowsLieBottomUpInTheCapacity) {
    Held<BufferedImage> image;
    ASSERT_TRUE(image->allocate(20, 30));
    image->setSize(10, 10);
    EXPECT_EQ(40, image->stride());
    EXPECT_EQ(80, image->capacityStride());
    EXPECT_EQ(29 * 80, image->row(0) - image->bits());
    EXPECT_EQ(20 * 80, image->row(9) - image->bits());
    EXPECT_EQ(100, image->pixelCount());
    EXPECT_EQ(400, image->byteSize());
}

TEST(BufferedImage, GrowingKeepsThePicture) {
    Held<BufferedImage> image(gradient(100, 10));
    ASSERT_TRUE(image->reserve(101, 10));
    EXPECT_EQ(120, image->capacityWidth());
    EXPECT_EQ(10, image->capacityHeight());
    expectGradient(image.get(), 100, 10);
    ASSERT_TRUE(image->reserve(130, 5));
    EXPECT_EQ(144, image->capacityWidth());
    expectGradient(image.get(), 100, 10);

    Held<BufferedImage> empty;
    ASSERT_TRUE(empty->reserve(50, 40));
    EXPECT_EQ(50, empty->capacityWidth());
    EXPECT_EQ(40, empty->capacityHeight());

    // Wider but shorter than now: the old rows must all still fit.
    Held<BufferedImage> tall(gradient(4, 6));
    ASSERT_TRUE(tall->ensureCapacity(8, 2));
    EXPECT_EQ(8, tall->capacityWidth());
    EXPECT_EQ(6, tall->capacityHeight());
    expectGradient(tall.get(), 4, 6);

    // Back buffers shrink within their capacity and grow back.
    tall->setSize(2, 2);
    tall->setSize(4, 6);
    expectGradient(tall.get(), 4, 6);
}

TEST(BufferedImage, SizesNoBitmapCanHoldFailCleanly) {
    EXPECT_EQ(nullptr, BufferedImage::create(70000, 70000));
    EXPECT_EQ(nullptr, BufferedImage::create(-1, 5));
    Held<BufferedImage> empty(BufferedImage::create(0, 0));
    ASSERT_NE(nullptr, empty.get());
    EXPECT_EQ(nullptr, empty->nativeHandle());
    EXPECT_EQ(nullptr, empty->scaledCopy(5, 5, false));

    Held<BufferedImage> image(gradient(5, 4));
    EXPECT_FALSE(image->ensureCapacity(70000, 70000));
    EXPECT_FALSE(image->reserve(70000, 70000));
    EXPECT_EQ(5, image->capacityWidth());
    expectGradient(image.get(), 5, 4);
}

TEST(BufferedImage, DrawImageClipsBothOffsets) {
    Held<BufferedImage> source(gradient(10, 10));
    Held<BufferedImage> target(imagetest::solidImage(10, 10, 0xFFABCDEF));
    target->drawImage(-5, -5, 10, 10, source.get(), 0, 0, false);
    EXPECT_EQ(source->pixel(5, 5), target->pixel(0, 0));
    EXPECT_EQ(source->pixel(9, 9), target->pixel(4, 4));
    EXPECT_EQ(0xFFABCDEFu, target->pixel(5, 5));
    EXPECT_EQ(0xFFABCDEFu, target->pixel(0, 5));

    Held<BufferedImage> shifted(imagetest::solidImage(10, 10, 0xFFABCDEF));
    shifted->drawImage(0, 0, 10, 10, source.get(), -3, -2, false);
    EXPECT_EQ(0xFFABCDEFu, shifted->pixel(2, 2));
    EXPECT_EQ(0xFFABCDEFu, shifted->pixel(9, 1));
    EXPECT_EQ(source->pixel(0, 0), shifted->pixel(3, 2));
    EXPECT_EQ(source->pixel(6, 7), shifted->pixel(9, 9));

    // Offsets at the ends of the range copy nothing and stay in bounds.
    Held<BufferedImage> untouched(imagetest::solidImage(10, 10, 0xFFABCDEF));
    untouched->drawImage(INT_MIN, INT_MIN, 10, 10, source.get(), INT_MAX, INT_MAX, false);
    untouched->drawImage(0, 0, 10, 10, source.get(), INT_MIN, INT_MIN, false);
    untouched->drawImage(INT_MAX, 0, 10, 10, source.get(), 0, 0, false);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 10; ++x) {
            ASSERT_EQ(0xFFABCDEFu, untouched->pixel(x, y));
        }
    }

    // Scaled: the source's 5 x 5 copy lands at (2, 2).
    Held<BufferedImage> scaled(imagetest::solidImage(10, 10, 0xFF000000));
    Held<BufferedImage> red(imagetest::solidImage(20, 20, 0xFFFF0000));
    scaled->drawImage(2, 2, 5, 5, red.get(), 0, 0, true);
    EXPECT_EQ(0xFF000000u, scaled->pixel(1, 1));
    EXPECT_EQ(0xFFFF0000u, scaled->pixel(2, 2));
    EXPECT_EQ(0xFFFF0000u, scaled->pixel(6, 6));
    EXPECT_EQ(0xFF000000u, scaled->pixel(7, 7));
}

TEST(BufferedImage, BlendingFollowsTheAlphaPoints) {
    Held<BufferedImage> target(imagetest::solidImage(4, 1, 0xFF0064C8));  // r 0, g 100, b 200
    Held<BufferedImage> source(BufferedImage::create(4, 1));
    source->setPixel(0, 0, 0x80C86400);  // half: colour halfway, alpha 255
    source->setPixel(1, 0, 0x00FFFFFF);  // invisible: untouched
    source->setPixel(2, 0, 0xFF123456);  // opaque: copied
    source->setPixel(3, 0, 0x01FFFFFF);  // faintest: barely moves
    source->setHasAlpha(true);
    target->drawImage(0, 0, 4, 1, source.get(), 0, 0, false);
    EXPECT_EQ(0xFF646464u, target->pixel(0, 0));
    EXPECT_EQ(0xFF0064C8u, target->pixel(1, 0));
    EXPECT_EQ(0xFF123456u, target->pixel(2, 0));
    EXPECT_EQ(0xFF0064C8u, target->pixel(3, 0));
    EXPECT_FALSE(target->hasAlpha());

    // Over translucent pixels: alpha 64 white onto alpha 128 black by the formula,
    // and anything onto alpha 0 is copied whole.
    Held<BufferedImage> glass(BufferedImage::create(2, 1));
    glass->setPixel(0, 0, 0x80000000);
    glass->setPixel(1, 0, 0x00000000);
    glass->setHasAlpha(true);
    Held<BufferedImage> white(imagetest::solidImage(2, 1, 0x40FFFFFF));
    glass->drawImage(0, 0, 2, 1, white.get(), 0, 0, false);
    EXPECT_EQ(0xA0656565u, glass->pixel(0, 0));
    EXPECT_EQ(0x40FFFFFFu, glass->pixel(1, 0));
    EXPECT_TRUE(glass->hasAlpha());

    // An opaque picture whose alpha bytes are 0 (as a palette blit leaves them) is
    // still opaque to blending.
    Held<BufferedImage> blitted(imagetest::solidImage(1, 1, 0x00000000));
    blitted->setHasAlpha(false);
    blitted->drawImage(0, 0, 1, 1, white.get(), 0, 0, false);
    EXPECT_EQ(0xFF3F3F3Fu, blitted->pixel(0, 0));
}

TEST(BufferedImage, TurnsAndFlipsMovePixels) {
    Held<BufferedImage> source(gradient(3, 2));
    source->setHasAlpha(true);
    const auto at = [&](int32_t x, int32_t y) { return source->pixel(x, y); };

    Held<BufferedImage> right(source->rotateRight());
    ASSERT_EQ(2, right->width());
    ASSERT_EQ(3, right->height());
    EXPECT_TRUE(right->hasAlpha());
    Held<BufferedImage> left(source->rotateLeft());
    Held<BufferedImage> half(source->rotate180());
    Held<BufferedImage> mirrored(source->mirror());
    Held<BufferedImage> flipped(source->flip());
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 2; ++x) {
            EXPECT_EQ(at(y, 1 - x), right->pixel(x, y));
            EXPECT_EQ(at(2 - y, x), left->pixel(x, y));
        }
    }
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(at(2 - x, 1 - y), half->pixel(x, y));
            EXPECT_EQ(at(2 - x, y), mirrored->pixel(x, y));
            EXPECT_EQ(at(x, 1 - y), flipped->pixel(x, y));
        }
    }
    // Turning back, into a reused destination with a larger capacity.
    Held<BufferedImage> back(imagetest::solidImage(9, 9, 0));
    ASSERT_EQ(back.get(), right->rotateLeft(back.get()));
    expectGradient(back.get(), 3, 2);
    EXPECT_EQ(nullptr, source->rotateRight(source.get()));
    EXPECT_EQ(nullptr, source->copy(source.get()));

    Held<BufferedImage> copied(source->copy());
    EXPECT_TRUE(copied->hasAlpha());
    expectGradient(copied.get(), 3, 2);
}

TEST(BufferedImage, ScaledCopiesAreCachedUntilThePixelsChange) {
    Held<BufferedImage> wide(imagetest::solidImage(200, 100, 0xFF102030));
    BufferedImage* fitted = wide->scaledCopy(100, 100, true);
    ASSERT_NE(nullptr, fitted);
    EXPECT_EQ(100, fitted->width());
    EXPECT_EQ(50, fitted->height());
    EXPECT_EQ(wide.get(), wide->scaledCopy(200, 100, false));
    EXPECT_EQ(nullptr, wide->scaledCopy(0, 10, false));

    Held<BufferedImage> image(imagetest::solidImage(8, 8, 0xFF0000FF));
    BufferedImage* scaled = image->scaledCopy(4, 4, false);
    ASSERT_NE(nullptr, scaled);
    EXPECT_EQ(0xFF0000FFu, scaled->pixel(2, 2));
    EXPECT_EQ(scaled, image->scaledCopy(4, 4, false));

    // Each kind of write must show in the next scaled copy.
    image->fill(255, 0, 255, 0);
    EXPECT_EQ(0xFF00FF00u, image->scaledCopy(4, 4, false)->pixel(2, 2));
    for (int32_t y = 0; y < 8; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(image->row(y));
        for (int32_t x = 0; x < 8; ++x) {
            row[x] = 0xFFFF0000u;
        }
    }
    EXPECT_EQ(0xFFFF0000u, image->scaledCopy(4, 4, false)->pixel(2, 2));
    Held<BufferedImage> white(imagetest::solidImage(8, 8, 0xFFFFFFFF));
    image->drawImage(0, 0, 8, 8, white.get(), 0, 0, false);
    EXPECT_EQ(0xFFFFFFFFu, image->scaledCopy(4, 4, false)->pixel(2, 2));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, image->nativeHandle());
    RECT all = {0, 0, 8, 8};
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 128));
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(0x000080u, image->scaledCopy(4, 4, false)->pixel(2, 2) & 0xFFFFFF);
}

TEST(BufferedImage, FilteredCopiesFollowFiltersAndPixels) {
    Held<BufferedImage> image(imagetest::solidImage(4, 4, 0xFF336699));
    EXPECT_EQ(image.get(), image->filtered());  // no filters: the picture itself
    Sharpness* filter = Sharpness::create(0);
    filter->setReleaseWithImage(true);
    image->addFilter(filter);
    int32_t index = -1;
    EXPECT_TRUE(image->findFilter(Sharpness::KIND_NAME, &index));
    EXPECT_EQ(0, index);
    const wchar_t sameText[] = L"Sharpness";
    EXPECT_FALSE(image->findFilter(sameText, &index));

    BufferedImage* filtered = image->filtered();
    ASSERT_NE(nullptr, filtered);
    ASSERT_NE(image.get(), filtered);
    EXPECT_EQ(0xFF336699u, filtered->pixel(3, 3));
    EXPECT_FALSE(filtered->hasAlpha());
    EXPECT_EQ(filtered, image->filtered());

    image->fill(128, 1, 2, 3);
    filtered = image->filtered();
    EXPECT_EQ(0x80010203u, filtered->pixel(0, 0));
    EXPECT_TRUE(filtered->hasAlpha());

    image->removeAllFilters();
    EXPECT_FALSE(image->hasFilters());
    EXPECT_EQ(nullptr, image->filterAt(0));

    // A filter the image does not own stays with its owner.
    Held<Sharpness> kept(Sharpness::create(50));
    image->addFilter(kept.get());
    image->setFilterAt(1, kept.get());
    EXPECT_EQ(2u, image->filters()->count());
    image->removeFilterAt(0);
    image->clearFilters();
    EXPECT_EQ(50, kept->level());
}

TEST(BufferedImage, PixelOperations) {
    Held<BufferedImage> image(imagetest::solidImage(2, 2, 0xFF000000));
    EXPECT_FALSE(image->hasAlpha());
    image->fill(254, 0, 0, 0);
    EXPECT_TRUE(image->hasAlpha());
    EXPECT_TRUE(image->detectAlpha());
    image->makeOpaque();
    EXPECT_FALSE(image->hasAlpha());
    EXPECT_FALSE(image->detectAlpha());

    // A key colour that is absent makes everything opaque and leaves the flag.
    image->fill(10, 1, 2, 3);
    image->colourKey(9, 9, 9);
    EXPECT_EQ(0xFF010203u, image->pixel(1, 1));
    EXPECT_TRUE(image->hasAlpha());
    image->makeOpaque();
    image->setPixel(1, 0, 0xFF090909);
    image->colourKey(9, 9, 9);
    EXPECT_TRUE(image->hasAlpha());
    EXPECT_EQ(0x00090909u, image->pixel(1, 0));
    EXPECT_EQ(0xFF010203u, image->pixel(0, 0));

    image->setTransparentColour(200, 100, 50);
    EXPECT_EQ(0x00C86432u, image->pixel(1, 0));
    EXPECT_EQ(0xFF010203u, image->pixel(0, 0));

    image->setPixel(0, 0, 0x7F000000);
    image->setPixel(0, 1, 0x80000000);
    image->alphaThreshold(128);
    EXPECT_EQ(0u, image->pixel(0, 0) >> 24);
    EXPECT_EQ(255u, image->pixel(0, 1) >> 24);
    EXPECT_TRUE(image->hasAlpha());

    image->setPixel(0, 0, 0x00123456);
    image->setPixel(1, 0, 0x80000000);
    image->setPixel(0, 1, 0xFF123456);
    image->setPixel(1, 1, 0x40FF0000);
    image->flattenOnWhite();
    EXPECT_FALSE(image->hasAlpha());
    EXPECT_EQ(0xFFFFFFFFu, image->pixel(0, 0));
    EXPECT_EQ(0xFF7F7F7Fu, image->pixel(1, 0));
    EXPECT_EQ(0xFF123456u, image->pixel(0, 1));
    EXPECT_EQ(0xFFFFBFBFu, image->pixel(1, 1));  // (255 * 65 + 255 * 192) >> 8, (0 + 255 * 192) >> 8

    // maskEqual over the overlap only.
    Held<BufferedImage> other(imagetest::solidImage(1, 1, 0x00FFFFFF));
    image->maskEqual(other.get());
    EXPECT_EQ(0x00FFFFFFu, image->pixel(0, 0));
    EXPECT_EQ(0xFF7F7F7Fu, image->pixel(1, 0));
    EXPECT_TRUE(image->hasAlpha());
}

TEST(BufferedImage, SavesBlendOrKeepTransparency) {
    Held<BufferedImage> image(BufferedImage::create(2, 1));
    image->setPixel(0, 0, 0x80000000);
    image->setPixel(1, 0, 0x00123456);
    image->setHasAlpha(true);

    Held<ArrayU08> flat;
    ASSERT_TRUE(image->saveBmp(flat.get(), 24, true, 255, 255, 255));
    flat->rewind();
    Held<Bitmap> read;
    ASSERT_TRUE(read->decode(flat.get()));
    EXPECT_EQ(24, read->bitCount());
    Held<BufferedImage> back(read->toBufferedImage());
    EXPECT_EQ(0xFF7F7F7Fu, back->pixel(0, 0));
    EXPECT_EQ(0xFFFFFFFFu, back->pixel(1, 0));

    Held<ArrayU08> kept;
    ASSERT_TRUE(image->saveBmp(kept.get(), 32, true, 10, 20, 30));
    kept->rewind();
    ASSERT_TRUE(read->decode(kept.get()));
    Held<BufferedImage> alpha(read->toBufferedImage());
    EXPECT_TRUE(alpha->hasAlpha());
    EXPECT_EQ(0x80000000u, alpha->pixel(0, 0));
    EXPECT_EQ(0x000A141Eu, alpha->pixel(1, 0));

    // Opaque pictures never write stray alpha bytes into a 32-bit file.
    Held<BufferedImage> opaque(BufferedImage::create(2, 1));
    opaque->setPixel(0, 0, 0x00FF0000);
    opaque->setPixel(1, 0, 0xFF00FF00);
    opaque->setHasAlpha(false);
    Held<ArrayU08> solid;
    ASSERT_TRUE(opaque->saveBmp(solid.get(), 32, true, 255, 255, 255));
    solid->rewind();
    ASSERT_TRUE(read->decode(solid.get()));
    Held<BufferedImage> solidBack(read->toBufferedImage());
    EXPECT_FALSE(solidBack->hasAlpha());
    EXPECT_EQ(0xFFFF0000u, solidBack->pixel(0, 0));

    // Depths without a conversion here report failure.
    Held<ArrayU08> none;
    EXPECT_FALSE(opaque->saveBmp(none.get(), 16, true, 255, 255, 255));
    EXPECT_EQ(0u, none->count());
}

TEST(BufferedImage, BlitsIntoADeviceContext) {
    Held<BufferedImage> canvas(imagetest::solidImage(6, 6, 0xFF000000));
    Held<BufferedImage> picture(imagetest::solidImage(4, 4, 0xFF00FF00));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas->nativeHandle());
    ASSERT_TRUE(picture->blit(dc, 1, 1, 10, 10, false));  // clamped to the picture
    ASSERT_TRUE(picture->blit(dc, 0, 0, 1, 1, true));     // its 1 x 1 scaled copy
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(0x00FF00u, canvas->pixel(0, 0) & 0xFFFFFF);
    EXPECT_EQ(0x000000u, canvas->pixel(1, 0) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, canvas->pixel(4, 4) & 0xFFFFFF);
    EXPECT_EQ(0x000000u, canvas->pixel(5, 5) & 0xFFFFFF);
}

TEST(BufferedImage, ReleasedImagesComeBackEmpty) {
    BufferedImage* image = imagetest::solidImage(8, 8, 0xFF000000);
    image->scaledCopy(4, 4, false);
    Sharpness* filter = Sharpness::create(10);
    filter->setReleaseWithImage(true);
    image->addFilter(filter);
    ASSERT_NE(nullptr, image->filtered());
    image->setHasAlpha(true);
    image->release();
    Held<BufferedImage> again;
    EXPECT_EQ(0, again->width());
    EXPECT_EQ(0, again->capacityWidth());
    EXPECT_EQ(nullptr, again->nativeHandle());
    EXPECT_EQ(nullptr, again->scaledCache());
    EXPECT_FALSE(again->hasFilters());
    EXPECT_FALSE(again->hasAlpha());
}
