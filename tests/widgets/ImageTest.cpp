#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>

#include "ToolkitStubs.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/filters/sharpness/Sharpness.h"
#include "images/image/gif/win/Gif.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"
#include "support/WaitFor.h"
#include "system/time/Clock.h"
#include "widgets/gui/win/Image.h"

namespace {

using s::gui::win::Image;
using s::image::win::BufferedImage;
using s::image::win::BufferedImageSet;
using windowtest::Window;

std::atomic<int64_t> g_now{0};
std::atomic<int> g_clockReads{0};
int64_t fakeClock() {
    ++g_clockReads;
    return g_now.load();
}

// Waits until the animation's timer has read the clock twice since now: it has seen the
// time last set, however late a loaded machine runs it.
bool clockReadTwice() {
    const int from = g_clockReads.load();
    return testsupport::waitFor([&] { return g_clockReads.load() - from >= 2; }, 10000);
}

// A set of `frames` pictures of width x height, each shown for `delay` ms.
BufferedImageSet* frameSet(int32_t frames, int32_t width, int32_t height, int32_t delay) {
    BufferedImageSet* set = BufferedImageSet::pool();
    for (int32_t i = 0; i < frames; ++i) {
        set->add(BufferedImage::create(width, height), 32, delay, 0);
    }
    set->recomputeSize();
    set->setLoop(frames > 1, 0);
    return set;
}

// Waits long enough for a few animation ticks.
void letTimerRun() {
    Sleep(4 * Image::TICK_MS);
}

TEST(ImageTest, PicturesFitTheirProportionsWithoutDividingByZeroOrOverflowing) {
    struct Case {
        int32_t pictureWidth, pictureHeight, width, height, fittedWidth, fittedHeight;
    } cases[] = {
        {400, 200, 100, 100, 100, 50},       {200, 400, 100, 100, 50, 100},     {300, 200, 100, 100, 100, 67},
        {0, 200, 100, 100, 100, 100},        {400, 0, 100, 100, 100, 100},      {400, 200, 0, 100, 0, 100},
        {60000, 60000, 50000, 40000, 40000, 40000},
    };
    for (const Case& c : cases) {
        int32_t width = c.width;
        int32_t height = c.height;
        Image::fitAspectOf(c.pictureWidth, c.pictureHeight, &width, &height);
        EXPECT_EQ(c.fittedWidth, width) << c.pictureWidth << "x" << c.pictureHeight;
        EXPECT_EQ(c.fittedHeight, height) << c.pictureWidth << "x" << c.pictureHeight;
    }
}

TEST(ImageTest, ThePreferredSizeFollowsThePictureFixedSidesAndTheBorder) {
    struct Case {
        bool fit;
        int32_t fixedHeight;
        bool border;
        int32_t width, height;
    } cases[] = {
        {false, -1, false, 400, 200}, {true, -1, false, 0, 0}, {true, 100, false, 200, 100}, {true, 102, true, 202, 102},
    };
    for (const Case& c : cases) {
        Released<Image> image(Image::createWithSize(-1, -1, nullptr));
        image->setBorder(c.border);
        image->setImageSet(frameSet(1, 400, 200, 0), true, c.fit, true, 1, -1, -1);
        if (c.fixedHeight >= 0) {
            image->setFixedHeight(c.fixedHeight);
        }
        EXPECT_EQ(c.width, image->getPreferredWidth()) << c.fit << c.fixedHeight;
        EXPECT_EQ(c.height, image->getPreferredHeight()) << c.fit << c.fixedHeight;
    }
    // Setting the same set again keeps it.
    Released<Image> image(Image::createWithSize(-1, -1, nullptr));
    BufferedImageSet* set = frameSet(1, 40, 20, 0);
    image->setImageSet(set, true, false, false, 1, -1, -1);
    image->setImageSet(set, true, false, false, 1, -1, -1);
    EXPECT_EQ(40, image->getImageWidth());
    EXPECT_EQ(1, set->count());
}

// Placed frames too many to compose: the control stands still on the first frame, drawn at
// its place on the screen, instead of playing the frames at the corner.
TEST(ImageTest, AnAnimationBeyondTheCompositionCapShowsItsFirstFrameInPlace) {
    BufferedImageSet* set = BufferedImageSet::pool();
    for (int32_t i = 0; i < 1700; ++i) {
        BufferedImage* frame = BufferedImage::create(2, 2);
        frame->fill(255, i == 0 ? 255 : 0, 0, i == 0 ? 0 : 255);
        set->addAt(frame, 32, 100, 1, i == 0 ? 300 : 0, i == 0 ? 200 : 0);
    }
    set->setScreen(400, 400);
    set->recomputeSize();
    set->setLoop(true, 0);
    ASSERT_EQ(nullptr, set->coalescedCopy());
    Released<Image> image(Image::createWithSize(-1, -1, nullptr));
    image->setImageSet(set, true, false, false, 1, -1, -1);
    BufferedImage* still = image->copyCurrentFrame(false, Image::COPY_AS_SHOWN);
    ASSERT_NE(nullptr, still);
    EXPECT_EQ(400, still->width());
    EXPECT_EQ(400, still->height());
    EXPECT_EQ(0xFFFF0000u, still->pixel(301, 201));
    EXPECT_NE(0xFFFF0000u, still->pixel(0, 0) | 0xFF000000u);
    still->release();
}

TEST(ImageTest, TheCheckerboardHasFivePixelCellsOddColumnsStartingOneLower) {
    struct Case {
        int32_t width, height, columns, rows;
    } cases[] = {{12, 7, 3, 2}, {5, 5, 1, 1}, {0, 0, 0, 0}, {11, 16, 3, 4}};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 20);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (const Case& c : cases) {
        int32_t columns = -1;
        int32_t rows = -1;
        Image::paintCheckerboard(dc, c.width, c.height, &columns, &rows);
        EXPECT_EQ(c.columns, columns);
        EXPECT_EQ(c.rows, rows);
    }
    int32_t columns = 0;
    int32_t rows = 0;
    Image::paintCheckerboard(dc, 12, 7, &columns, &rows);
    const struct {
        int x, y;
        COLORREF colour;
    } pixels[] = {{0, 0, 0xFFFFFF}, {4, 4, 0xFFFFFF}, {5, 0, Image::CHECKER_GREY}, {5, 5, 0xFFFFFF},
                  {0, 5, Image::CHECKER_GREY}, {10, 0, 0xFFFFFF}};
    for (const auto& p : pixels) {
        EXPECT_EQ(p.colour, GetPixel(dc, p.x, p.y)) << p.x << "," << p.y;
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

class ImageAnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_now = 1000;
        previous_ = s::time::setClockSource(&fakeClock);
    }
    void TearDown() override { s::time::setClockSource(previous_); }

    s::time::MillisFn previous_;
};

TEST_F(ImageAnimationTest, FramesAdvanceByTheirDelaysCarryingTheOvershootAndStopFromAnotherThread) {
    Released<Window> window(Window::pool());
    window->setBounds(40, 40, 200, 200);
    window->setVisible(true);
    stubs::ImageDrawer drawer;
    Image* image = Image::createWithSize(40, 40, frameSet(3, 40, 40, 100));
    image->setDrawer(&drawer, false);
    window->add(image);
    ASSERT_TRUE(image->isAnimated());
    image->play();
    struct Step {
        int64_t now;
        int32_t frame;
    } steps[] = {{1099, 0}, {1130, 1}, {1199, 1}, {1200, 2}, {1300, 0}};
    for (const Step& step : steps) {
        g_now = step.now;
        EXPECT_TRUE(clockReadTwice()) << step.now;
        int32_t frame = -1;
        stubs::runOnUiThread(window.get(), [&] { frame = image->getCurrentFrame(); });
        EXPECT_EQ(step.frame, frame) << step.now;
    }
    size_t painted = 0;
    stubs::runOnUiThread(window.get(), [&] { painted = drawer.frames.size(); });
    EXPECT_GT(painted, 0u);

    const DWORD before = GetTickCount();
    image->stop(false);
    EXPECT_LT(GetTickCount() - before, 100u);
    g_now = 5000;
    letTimerRun();
    EXPECT_EQ(0, image->getCurrentFrame());

    // A single picture never starts the timer.
    image->setImageSet(frameSet(1, 40, 40, 100), true, false, false, 1, -1, -1);
    image->play();
    g_now = 9000;
    letTimerRun();
    EXPECT_EQ(0, image->getCurrentFrame());
}

TEST(ImageTest, APaintedCheckerboardAndASaveThroughAnEncoderAtTheControlsSize) {
    // A drawer that paints no picture leaves the checkerboard to be seen; it outlives the window.
    stubs::ImageDrawer noPicture;
    Released<Window> window(Window::pool());
    window->setBounds(40, 40, 200, 200);
    window->setVisible(true);
    Image* image = Image::createWithSize(30, 20, frameSet(1, 60, 40, 0));
    image->setCheckerboard(true);
    image->setDrawer(&noPicture, false);
    window->add(image);
    image->redrawNow();
    COLORREF cells[2] = {};
    testsupport::waitFor([&] {
        HDC dc = GetDC(image->m_hWnd);
        cells[0] = GetPixel(dc, 1, 1);
        cells[1] = GetPixel(dc, 6, 1);
        ReleaseDC(image->m_hWnd, dc);
        return cells[0] == 0xFFFFFF && cells[1] == Image::CHECKER_GREY;
    }, 10000);
    EXPECT_EQ(0xFFFFFFu, cells[0]);
    EXPECT_EQ(Image::CHECKER_GREY, cells[1]);

    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"brisquelton-image-save.bmp";
    DeleteFileW(path.c_str());
    Released<s::image::bmp::win::Bitmap> encoder(s::image::bmp::win::Bitmap::pool());
    ASSERT_TRUE(image->saveWith(encoder.get(), path.c_str(), true, false, nullptr));
    Released<s::image::bmp::win::Bitmap> saved(s::image::bmp::win::Bitmap::pool());
    ASSERT_TRUE(saved->load(path.c_str()));
    EXPECT_EQ(30, saved->width());
    EXPECT_EQ(20, saved->height());
    DeleteFileW(path.c_str());

    // The frame shown, copied as it is or at the control's size; the frame's own values.
    for (bool scaled : {false, true}) {
        BufferedImage* copy = image->copyCurrentFrame(scaled, Image::COPY_AS_SHOWN);
        ASSERT_NE(nullptr, copy);
        EXPECT_EQ(scaled ? 30 : 60, copy->width());
        EXPECT_EQ(scaled ? 20 : 40, copy->height());
        copy->release();
    }
    EXPECT_EQ(32, image->getFrameDepth(0));
    EXPECT_EQ(-1, image->getFrameDelay(1));
}

// A save whose scaling or sharpening cannot be made fails: it never writes the picture
// unscaled. A control 200,000,000 pixels wide is beyond the scaler.
TEST(ImageTest, ASaveWhoseScalingFailsSavesNothing) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"brisquelton-image-unscaled.gif";
    Released<s::image::gif::win::Gif> encoder(s::image::gif::win::Gif::pool());
    for (int32_t frames : {1, 2}) {
        DeleteFileW(path.c_str());
        Released<Image> image(Image::createWithSize(-1, -1, frameSet(frames, 6, 4, 100)));
        image->setSize(200000000, 2);
        EXPECT_FALSE(image->saveWith(encoder.get(), path.c_str(), true, false, nullptr)) << frames;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str())) << frames;
        EXPECT_TRUE(image->saveWith(encoder.get(), path.c_str(), false, true, nullptr)) << frames;
    }
    DeleteFileW(path.c_str());
}

// An animated picture set as a set keeps its frames; not as a set, its first picture alone.
TEST(ImageTest, SetImageTakesEveryFrameOnlyAsASet) {
    Released<BufferedImageSet> frames(frameSet(3, 6, 4, 100));
    Released<s::image::gif::win::Gif> gif(s::image::gif::win::Gif::createFromSet(frames.get(), 8, true, 0, 0, 0));
    ASSERT_NE(nullptr, gif.get());
    Released<Image> image(Image::createWithSize(-1, -1, nullptr));
    for (bool asSet : {true, false}) {
        ASSERT_TRUE(image->setImage(gif.get(), asSet, false, false));
        EXPECT_EQ(asSet ? 3 : 1, image->getFrameCount()) << asSet;
        EXPECT_EQ(asSet, image->isAnimated());
        EXPECT_EQ(6, image->getImageWidth());
    }
    EXPECT_FALSE(image->setImage(nullptr, true, false, false));
}

TEST(ImageTest, AControlWithoutADrawerPaintsItsPictureWithTheBasicOne) {
    Released<Window> window(Window::pool());
    window->setBounds(40, 40, 200, 200);
    window->setVisible(true);
    BufferedImageSet* set = frameSet(1, 30, 20, 0);
    set->frameAt(0)->fill(255, 200, 0, 0);
    Image* image = Image::createWithSize(30, 20, set);
    window->add(image);
    image->redrawNow();
    COLORREF centre = 0;
    EXPECT_TRUE(testsupport::waitFor([&] {
        HDC dc = GetDC(image->m_hWnd);
        centre = GetPixel(dc, 15, 10);
        ReleaseDC(image->m_hWnd, dc);
        return centre == RGB(200, 0, 0);
    })) << std::hex << centre;
}

bool samePixels(const BufferedImage* a, const BufferedImage* b) {
    if (a == nullptr || b == nullptr || a->width() != b->width() || a->height() != b->height()) {
        return false;
    }
    for (int32_t y = 0; y < a->height(); ++y) {
        for (int32_t x = 0; x < a->width(); ++x) {
            if (a->pixel(x, y) != b->pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

TEST(ImageTest, FrameOperationsReachTheFramesAndACopyIsOfTheKindAsked) {
    // Frame 0: opaque grey with a lighter dot and a sharpness filter; frame 1: a hole at (1, 1).
    BufferedImage* dotted = BufferedImage::create(5, 4);
    dotted->fill(255, 100, 100, 100);
    dotted->setPixel(2, 2, 0xFFC8C8C8u);
    dotted->addFilter(s::image::filters::sharpness::Sharpness::create(70));
    BufferedImage* holed = BufferedImage::create(5, 4);
    holed->fill(255, 1, 2, 3);
    holed->setPixel(1, 1, 0x00000000u);
    holed->detectAlpha();
    BufferedImageSet* set = BufferedImageSet::pool();
    set->add(dotted, 32, 0, 0);
    set->add(holed, 32, 0, 0);
    set->recomputeSize();
    set->setLoop(false, 0);
    Released<Image> image(Image::createWithSize(-1, -1, nullptr));
    image->setImageSet(set, true, false, false, 1, -1, -1);

    struct Case {
        int32_t index, x, y;
        bool visible;
        int32_t flags;
    } cases[] = {
        {0, 2, 2, true, Image::FRAME_FILTERED}, {1, 1, 1, false, Image::FRAME_ALPHA}, {1, 2, 1, true, Image::FRAME_ALPHA},
        {1, 5, 0, false, Image::FRAME_ALPHA},   {2, 0, 0, false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.visible, image->isFramePixelVisible(c.index, c.x, c.y)) << c.index << " " << c.x << "," << c.y;
        EXPECT_EQ(c.flags, image->getFrameFlags(c.index)) << c.index;
    }
    EXPECT_EQ(holed, image->getFrameImage(1));
    EXPECT_EQ(nullptr, image->getFrameImage(2));
    int32_t stride = 0;
    const uint8_t* top = image->getFramePixels(1, &stride);
    ASSERT_NE(nullptr, top);
    EXPECT_EQ(0xFF010203u, *reinterpret_cast<const uint32_t*>(top));
    EXPECT_EQ(0u, *reinterpret_cast<const uint32_t*>(top + stride + 4));
    EXPECT_EQ(nullptr, image->getFramePixels(2, &stride));

    // The frame shown now is frame 0: as stored its own pixels, as shown its filtered ones.
    ASSERT_EQ(0, image->getCurrentFrame());
    BufferedImage* stored = image->copyCurrentFrame(false, Image::COPY_AS_STORED);
    BufferedImage* shown = image->copyCurrentFrame(false, Image::COPY_AS_SHOWN);
    EXPECT_TRUE(samePixels(dotted, stored));
    EXPECT_TRUE(samePixels(dotted->filtered(), shown));
    EXPECT_FALSE(samePixels(stored, shown));
    stored->release();
    shown->release();
}

} // namespace
