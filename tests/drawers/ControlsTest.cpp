// Check box, radio button, slider (thumb places and colour sweeps), scroll bar, counter,
// list rows and image drawers, each painted into a sentinel-filled image and each
// leaving the device context as it found it.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "Canvas.h"
#include "drawers/gui/drawer/IScaledPainter.h"
#include "drawers/gui/drawer/checkbox/win/Thin.h"
#include "drawers/gui/drawer/counter/Series.h"
#include "drawers/gui/drawer/counter/win/Basic.h"
#include "drawers/gui/drawer/image/win/Basic.h"
#include "drawers/gui/drawer/listbox/win/Thin.h"
#include "drawers/gui/drawer/listheader/win/Thin.h"
#include "drawers/gui/drawer/radiobutton/win/Thin.h"
#include "drawers/gui/drawer/scrollbar/win/Thin.h"
#include "drawers/gui/drawer/slider/win/Sweep.h"
#include "drawers/gui/drawer/slider/win/Thin.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "images/image/win/BufferedImage.h"
#include "support/Released.h"
#include "drawers/gui/win/Font.h"

using canvas::Canvas;
using canvas::DcState;
using canvas::SENTINEL;
namespace drawer = s::gui::drawer;
using s::image::win::BufferedImage;

namespace {

constexpr COLORREF BOX = RGB(200, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);

// Runs a paint and checks the context is left as it was.
template <class Paint>
void painted(Canvas& canvas, Paint paint) {
    const DcState before(canvas.dc());
    paint(canvas.dc());
    EXPECT_TRUE(DcState(canvas.dc()) == before);
}

} // namespace

TEST(CheckBoxDrawer, BoxFrameAndTickAtEveryScale) {
    for (int32_t scale : {1, 2}) {
        for (bool checked : {false, true}) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << (checked ? " checked" : " unchecked"));
            canvas::ScaleScope pretend(scale);
            Canvas canvas(60, 40);
            Released<drawer::checkbox::win::Thin> box(
                drawer::checkbox::win::Thin::newCheckBoxDrawer(BOX, RGB(0, 0, 255)));
            const int32_t e = 13 * scale;
            painted(canvas, [&](HDC dc) { box->draw(dc, 0, 0, 60, 40, e, checked, L"", nullptr); });
            const int32_t t = 2 * scale;
            EXPECT_EQ(BOX, canvas.at(0, 0));
            EXPECT_EQ(BOX, canvas.at(t - 1, e / 2));
            EXPECT_EQ(BOX, canvas.at(e - 1, e - 1));
            EXPECT_EQ(WHITE, canvas.at(t, t));
            EXPECT_EQ(WHITE, canvas.at(e - t - 1, t));
            EXPECT_EQ(0, canvas.countTouched({0, 0, e, e}, false)) << "nothing outside the box";
            EXPECT_EQ(checked, canvas.countColour(BLACK) > 0) << "the tick only when checked";
        }
    }
}

TEST(CheckBoxDrawer, MeasureWidensByTheBox) {
    Released<drawer::checkbox::win::Thin> box(drawer::checkbox::win::Thin::pool());
    Released<s::gui::win::Font> font(s::gui::win::Font::pool());
    HDC dc = CreateCompatibleDC(nullptr);
    int32_t minWidth = 0, minHeight = 0, width = 0, height = 0;
    box->measure(dc, L"Check me", font.get(), &minWidth, &minHeight, &width, &height);
    int32_t textWidth = 0, textHeight = 0, textMin = 0, textMinHeight = 0;
    Released<s::gui::drawer::text::win::Basic> text(s::gui::drawer::text::win::Basic::pool());
    text->measureBlock(dc, L"Check me", font.get(), &textWidth, &textHeight, &textMin, &textMinHeight);
    DeleteDC(dc);
    ASSERT_GT(textHeight, 0);
    EXPECT_EQ(textWidth + textHeight + textHeight / 6, width);
    EXPECT_EQ(textHeight, height);
    EXPECT_EQ(textMin + textHeight + textHeight / 6, minWidth);
}

TEST(RadioButtonDrawer, ThirteenPixelCircleWithTheDotOnlyWhenSelected) {
    const COLORREF dot = RGB(53, 185, 56);
    for (int32_t scale : {1, 2}) {
        for (bool selected : {false, true}) {
            for (bool ownZoom : {false, true}) {
                SCOPED_TRACE(testing::Message() << "scale " << scale << (selected ? " selected" : "")
                                                << (ownZoom ? " given zoom" : ""));
                canvas::ScaleScope pretend(scale);
                Canvas canvas(40, 20);
                Canvas zoom(52, 52);
                Released<drawer::radiobutton::win::Thin> radio(
                    drawer::radiobutton::win::Thin::newRadioButtonDrawer(BOX, BLACK));
                const DcState zoomBefore(zoom.dc());
                SetStretchBltMode(canvas.dc(), COLORONCOLOR);
                painted(canvas, [&](HDC dc) {
                    radio->draw(dc, ownZoom ? zoom.dc() : nullptr, 0, 0, 40, 20, selected, L"", nullptr, WHITE);
                });
                EXPECT_EQ(COLORONCOLOR, GetStretchBltMode(canvas.dc()));
                EXPECT_TRUE(DcState(zoom.dc()) == zoomBefore) << "pens and brushes deselected";
                const int32_t y = 20 / 2 - 6;
                EXPECT_EQ(0, canvas.countTouched({0, y, 13, y + 13}, false)) << "13 x 13 at every scale";
                EXPECT_EQ(selected ? dot : WHITE, canvas.at(6, y + 6));
                EXPECT_EQ(selected, canvas.countColour(dot) > 0);
                EXPECT_GT(canvas.countTouched({0, y, 13, y + 13}, true), 100);
            }
        }
    }
}

TEST(SliderDrawer, ThumbOffsetsHoldAtTheEnds) {
    struct Case {
        const char* name;
        int32_t width, thumb, minimum, maximum, value, offset;
    };
    const Case cases[] = {
        {"at the minimum", 100, 10, 0, 100, 0, 0},
        {"at the maximum", 100, 10, 0, 100, 100, 90},
        {"half way", 100, 10, 0, 100, 50, 45},
        {"shifted range, start", 100, 10, 10, 20, 10, 0},
        {"shifted range, end", 100, 10, 10, 20, 20, 90},
        {"below the range", 100, 10, 0, 100, -5, 0},
        {"above the range", 100, 10, 0, 100, 500, 90},
        {"maximum equals minimum", 100, 10, 7, 7, 7, 0},
        {"inverted range", 100, 10, 9, 3, 5, 0},
        {"whole int range, top", 100, 10, INT_MIN, INT_MAX, INT_MAX, 90},
        {"whole int range, bottom", 100, 10, INT_MIN, INT_MAX, INT_MIN, 0},
        {"thumb wider than the slider", 8, 10, 0, 100, 100, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.offset, drawer::slider::win::Thin::thumbOffset(c.width, c.thumb, c.minimum, c.maximum, c.value))
            << c.name;
    }
}

TEST(SliderDrawer, PaintsThumbsAndSweeps) {
    const COLORREF thumb = RGB(0, 0, 200);
    struct Case {
        const char* name;
        int32_t minimum, maximum, value, fillType;
        uint32_t colourA, colourB;
        bool showThumb;
        int32_t x;
        COLORREF expected;
    };
    const Case cases[] = {
        {"thumb at the start", 0, 100, 0, 0, 0, 0, true, 5, thumb},
        {"thumb at the end", 0, 100, 100, 0, 0, 0, true, 94, thumb},
        {"minimum equals maximum", 50, 50, 50, 0, 0, 0, true, 5, thumb},
        {"hue sweep starts pure red", 0, 100, 0, drawer::slider::win::Sweep::HSV_HUE, 100 | 100 << 8, 0, false, 1,
         RGB(255, 0, 0)},
        {"gradient starts at colour A", 0, 100, 0, drawer::slider::win::Sweep::GRADIENT, RGB(10, 20, 30),
         RGB(200, 100, 0), false, 1, RGB(10, 20, 30)},
        {"gradient ends at colour B", 0, 100, 0, drawer::slider::win::Sweep::GRADIENT, RGB(10, 20, 30),
         RGB(200, 100, 0), false, 98, RGB(200, 100, 0)},
        {"lightness sweep starts black", 0, 100, 0, drawer::slider::win::Sweep::HSL_LIGHTNESS, 0 | 100 << 8, 0,
         false, 1, BLACK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(100, 20);
        Released<drawer::slider::win::Thin> slider(drawer::slider::win::Thin::newSliderDrawer(BOX, thumb));
        slider->draw(canvas.dc(), 0, 0, 100, 20, 0, 0, 0, false, 0, true, false, 0, 0, 0, 0);
        painted(canvas, [&](HDC dc) {
            slider->draw(dc, 0, 0, 100, 20, c.minimum, c.maximum, c.value, c.showThumb, 0, true, false, c.value,
                         c.fillType, static_cast<int32_t>(c.colourA), static_cast<int32_t>(c.colourB));
        });
        EXPECT_EQ(c.expected, canvas.at(c.x, 10));
    }
}

TEST(SliderSweep, ColourConversions) {
    using Sweep = drawer::slider::win::Sweep;
    struct Case {
        const char* name;
        COLORREF actual, expected;
    };
    const Case cases[] = {
        {"hsv red", Sweep::hsv(0, 100, 100), RGB(255, 0, 0)},
        {"hsv yellow", Sweep::hsv(60, 100, 100), RGB(255, 255, 0)},
        {"hsv green", Sweep::hsv(120, 100, 100), RGB(0, 255, 0)},
        {"hsv blue", Sweep::hsv(240, 100, 100), RGB(0, 0, 255)},
        {"hsv last hue", Sweep::hsv(359, 100, 100), RGB(255, 0, 5)},
        {"hsv grey", Sweep::hsv(200, 0, 50), RGB(127, 127, 127)},
        {"hsv half saturation", Sweep::hsv(0, 50, 100), RGB(255, 127, 127)},
        {"hsv out of range held", Sweep::hsv(720, 300, 300), RGB(255, 0, 5)},
        {"hsl red", Sweep::hsl(0, 100, 50), RGB(255, 0, 0)},
        {"hsl green", Sweep::hsl(120, 100, 50), RGB(0, 255, 0)},
        {"hsl dark blue", Sweep::hsl(240, 100, 25), RGB(0, 0, 127)},
        {"hsl white", Sweep::hsl(0, 0, 100), RGB(255, 255, 255)},
        {"hsl light", Sweep::hsl(0, 100, 75), RGB(255, 127, 127)},
        {"one column sweep", Sweep::column(Sweep::HSV_HUE, 0, 1, 100 | 100 << 8, 0), RGB(255, 0, 0)},
        {"saturation sweep end", Sweep::column(Sweep::HSV_SATURATION, 9, 10, 0 | 100 << 8, 0), RGB(255, 0, 0)},
        {"value sweep start", Sweep::column(Sweep::HSV_VALUE, 0, 10, 0 | 100 << 8, 0), BLACK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, c.actual) << c.name;
    }
}

TEST(ScrollBarDrawer, PartsHitsAndDrags) {
    using Bar = drawer::scrollbar::win::Thin;
    struct Case {
        const char* name;
        RECT bounds;
        bool vertical;
        int32_t range, page, position;
        POINT probe;
        int32_t part;
        int32_t dragOffset, dragStart, dragged;
        bool thumb;
    };
    const Case cases[] = {
        {"range equals page: no thumb", {0, 0, 100, 15}, false, 10, 10, 0, {50, 7}, Bar::TRACK_BEFORE, 30, 0, 0, false},
        {"range below page: no thumb", {0, 0, 100, 15}, false, 5, 10, 0, {50, 7}, Bar::TRACK_BEFORE, -30, 3, 0, false},
        {"first arrow", {0, 0, 100, 15}, false, 100, 10, 0, {3, 7}, Bar::FIRST_ARROW, 0, 40, 40, true},
        {"second arrow", {0, 0, 100, 15}, false, 100, 10, 0, {97, 7}, Bar::SECOND_ARROW, 1000, 0, 90, true},
        {"thumb at the start", {0, 0, 100, 15}, false, 100, 10, 0, {16, 7}, Bar::THUMB, -1000, 50, 0, true},
        {"track after the thumb", {0, 0, 100, 15}, false, 100, 10, 0, {80, 7}, Bar::TRACK_AFTER, 7, 0, 10, true},
        {"thumb at the end", {0, 0, 100, 15}, false, 100, 10, 90, {80, 7}, Bar::THUMB, 0, 90, 90, true},
        {"vertical", {0, 0, 15, 100}, true, 100, 10, 0, {7, 97}, Bar::SECOND_ARROW, 35, 0, 50, true},
        {"outside", {0, 0, 100, 15}, false, 100, 10, 0, {50, 30}, -1, 0, 0, 0, true},
        {"thumb fills the track", {0, 0, 31, 15}, false, 100, 99, 0, {15, 7}, Bar::THUMB, 50, 1, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Released<Bar> bar(Bar::newScrollBarDrawer(15, BOX, WHITE));
        const drawer::ScrollBarGeometry g = {c.bounds, c.vertical, c.range, c.page, c.position};
        EXPECT_EQ(c.part, bar->hitTest(c.probe, g));
        EXPECT_EQ(c.dragged, bar->positionFromDrag(c.dragOffset, c.dragStart, g));
        Canvas canvas(c.bounds.right, c.bounds.bottom);
        painted(canvas, [&](HDC dc) { bar->draw(dc, g); });
        const RECT& thumb = bar->partAt(Bar::THUMB);
        EXPECT_EQ(c.thumb, thumb.right > thumb.left);
        const RECT& track = bar->partAt(Bar::TRACK_BEFORE);
        if (!c.thumb) {
            EXPECT_EQ(WHITE, canvas.at((track.left + track.right) / 2, 7)) << "the whole track is background";
        }
    }
}

TEST(CounterDrawer, ColumnsNewestAtTheRightAndNoUnsetColour) {
    using Counter = drawer::counter::win::Basic;
    struct Height {
        int64_t value, minimum, maximum;
        int32_t height, expected;
    };
    const Height heights[] = {
        {50, 0, 100, 40, 20},   {100, 0, 100, 40, 40}, {150, 0, 100, 40, 40}, {-5, 0, 100, 40, 0},
        {5, 5, 5, 40, 0},       {5, 9, 2, 40, 0},      {INT64_MAX, INT64_MIN, INT64_MAX, 40, 40},
    };
    for (const Height& h : heights) {
        EXPECT_EQ(h.expected, Counter::columnHeight(h.value, h.minimum, h.maximum, h.height)) << h.value;
    }
    drawer::counter::Series series(8);
    series.setRange(0, 10);
    for (int64_t v : {10, 0, 5}) {
        series.add(v);
    }
    {
        Released<Counter> unset(Counter::pool());
        Canvas canvas(20, 10);
        painted(canvas, [&](HDC dc) { unset->draw(dc, 0, 0, 20, 10, &series, nullptr); });
        EXPECT_EQ(0, canvas.countTouched({0, 0, 20, 10}, true)) << "no colour: nothing plotted";
    }
    Released<Counter> counter(Counter::newCounterDrawer(BOX, RGB(0, 200, 0)));
    Canvas canvas(20, 10);
    painted(canvas, [&](HDC dc) { counter->draw(dc, 0, 0, 20, 10, &series, nullptr); });
    EXPECT_EQ(BOX, canvas.at(19, 5)) << "newest sample (5) at the right edge";
    EXPECT_EQ(SENTINEL, canvas.at(19, 4));
    EXPECT_EQ(BOX, canvas.at(18, 9)) << "a zero sample still marks its column";
    EXPECT_EQ(SENTINEL, canvas.at(18, 8));
    EXPECT_EQ(BOX, canvas.at(17, 0));
    EXPECT_EQ(0, canvas.countTouched({17, 0, 20, 10}, false));
    series.setTicks(true);
    series.setColour(RGB(0, 0, 200));
    canvas.clear();
    counter->setBackgroundColor(9, 9, 9);
    painted(canvas, [&](HDC dc) { counter->draw(dc, 0, 0, 20, 10, &series, nullptr); });
    EXPECT_EQ(RGB(0, 0, 200), canvas.at(17, 4)) << "a tick is five pixels";
    EXPECT_EQ(RGB(9, 9, 9), canvas.at(17, 5));
    EXPECT_EQ(RGB(0, 0, 200), canvas.at(18, 9)) << "a zero sample's tick stays inside";
}

TEST(CounterSeries, KeepsTheNewestSamplesNewestFirst) {
    struct Case {
        const char* name;
        int32_t capacity;
        std::vector<int64_t> added;
        int32_t room;
        std::vector<int64_t> newest;
    };
    const Case cases[] = {
        {"fewer than capacity", 4, {1, 2}, 10, {2, 1}},
        {"wrapped", 3, {1, 2, 3, 4, 5}, 10, {5, 4, 3}},
        {"less room than samples", 4, {1, 2, 3, 4}, 2, {4, 3}},
        {"no capacity", 0, {1, 2}, 10, {}},
        {"no room", 4, {1, 2}, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        drawer::counter::Series series(c.capacity);
        for (int64_t v : c.added) {
            series.add(v);
        }
        std::vector<int64_t> out(10, -1);
        const int32_t n = series.newest(out.data(), c.room);
        out.resize(n);
        EXPECT_EQ(c.newest, out);
    }
}

TEST(ListBoxDrawer, HitAreasFollowDepthAndScale) {
    struct Case {
        int32_t scale, x, y, depth;
        bool hasCheck, expander, check;
    };
    const Case cases[] = {
        {1, 4, 1, 0, false, true, true},    {1, 18, 15, 0, false, true, false}, {1, 19, 5, 0, false, false, false},
        {1, 3, 5, 0, false, false, false},  {1, 20, 5, 0, true, true, false},   {1, 10, 5, 0, true, false, true},
        {1, 10, 16, 0, true, false, false}, {1, 10, 0, 0, true, false, false},  {1, 25, 5, 1, true, false, true},
        {1, 40, 5, 1, true, true, false},   {2, 8, 2, 0, false, true, true},    {2, 7, 2, 0, false, false, false},
        {2, 70, 5, 1, true, true, false},   {2, 33, 31, 0, false, true, true},  {2, 34, 32, 0, false, false, false},
    };
    Released<drawer::listbox::win::Thin> list(drawer::listbox::win::Thin::pool());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << " at " << c.x << "," << c.y << " depth " << c.depth);
        canvas::ScaleScope pretend(c.scale);
        EXPECT_EQ(c.expander, list->hitExpander(c.x, c.y, c.hasCheck, c.depth));
        EXPECT_EQ(c.check, list->hitCheck(c.x, c.y, c.depth));
    }
}

TEST(ListBoxDrawer, RowsStripeSelectAndDrawTheirBoxes) {
    Released<drawer::listbox::win::Thin> list(drawer::listbox::win::Thin::newListBoxDrawer(
        RGB(250, 250, 250), BLACK, RGB(0, 0, 120), WHITE, RGB(243, 243, 243)));
    struct Case {
        const char* name;
        int32_t index;
        bool selected;
        int32_t check;
        COLORREF background;
    };
    const Case cases[] = {
        {"even row", 0, false, -1, SENTINEL},
        {"odd row striped", 1, false, -1, RGB(243, 243, 243)},
        {"selected", 2, true, 1, RGB(0, 0, 120)},
        {"unchecked box", 3, false, 0, RGB(243, 243, 243)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(80, 17);
        const drawer::listbox::win::ListRow row = {{0, 0, 80, 17}, L"", c.index, c.selected, 0, 0, c.check, nullptr};
        painted(canvas, [&](HDC dc) { list->drawItem(dc, row, nullptr, nullptr); });
        EXPECT_EQ(c.background, canvas.at(70, 8));
        EXPECT_EQ(c.check >= 0 ? WHITE : c.background, canvas.at(5, 2));
        EXPECT_EQ(c.check > 0, canvas.countColour(BLACK) > 0);
    }
}

namespace {

struct RecordingPainter : drawer::IScaledPainter {
    bool paintScaled(HDC, BufferedImage* picture, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     int32_t mode) override {
        ++calls;
        seen = picture;
        rect = {left, top, right, bottom};
        lastMode = mode;
        return takes;
    }
    bool takes = true;
    int32_t calls = 0;
    BufferedImage* seen = nullptr;
    RECT rect = {};
    int32_t lastMode = -1;
};

BufferedImage* picture(int32_t width, int32_t height, uint32_t argb) {
    BufferedImage* image = BufferedImage::create(width, height);
    image->fill(argb >> 24, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    image->setHasAlpha((argb >> 24) != 0xFF);
    return image;
}

} // namespace

TEST(ImageDrawer, FrameInsetPictureAndScaledPainter) {
    Released<drawer::image::win::Basic> drawer(drawer::image::win::Basic::pool());
    {
        Canvas canvas(20, 20);
        painted(canvas, [&](HDC dc) { drawer->draw(dc, nullptr, 0, 0, 20, 20, nullptr, 0, true, false); });
        EXPECT_EQ(0, canvas.countTouched({0, 0, 20, 20}, true)) << "no image: the sentinel stays";
    }
    struct Case {
        const char* name;
        uint32_t argb;
        bool framed, scaled, painterTakes;
        COLORREF edge, inside;
        int32_t painterCalls;
    };
    const Case cases[] = {
        {"framed", 0xFF00C800, true, false, false, BLACK, RGB(0, 200, 0), 0},
        {"unframed", 0xFF00C800, false, false, false, RGB(0, 200, 0), RGB(0, 200, 0), 0},
        {"scaled by the control", 0xFF00C800, true, true, true, BLACK, SENTINEL, 1},
        {"control declines", 0xFF00C800, true, true, false, BLACK, RGB(0, 200, 0), 1},
        {"transparent picture keeps what is under it", 0x0000C800, true, false, false, BLACK, SENTINEL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(20, 20);
        Released<BufferedImage> image(picture(c.scaled ? 6 : 20, c.scaled ? 6 : 20, c.argb));
        RecordingPainter painter;
        painter.takes = c.painterTakes;
        painted(canvas, [&](HDC dc) { drawer->draw(dc, &painter, 0, 0, 20, 20, image.get(), 3, c.framed, c.scaled); });
        EXPECT_EQ(c.edge, canvas.at(0, 0));
        EXPECT_EQ(c.edge, canvas.at(19, 10));
        EXPECT_EQ(c.inside, canvas.at(10, 10));
        EXPECT_EQ(c.painterCalls, painter.calls);
        if (painter.calls > 0) {
            EXPECT_EQ(image.get(), painter.seen);
            EXPECT_EQ(1, painter.rect.left);
            EXPECT_EQ(19, painter.rect.right);
            EXPECT_EQ(3, painter.lastMode);
        }
    }
}

TEST(ControlDrawers, EmptyOrInvertedRectanglesPaintNothing) {
    Released<drawer::checkbox::win::Thin> check(drawer::checkbox::win::Thin::pool());
    Released<drawer::radiobutton::win::Thin> radio(drawer::radiobutton::win::Thin::pool());
    Released<drawer::slider::win::Thin> slider(drawer::slider::win::Thin::pool());
    Released<drawer::scrollbar::win::Thin> bar(drawer::scrollbar::win::Thin::pool());
    Released<drawer::counter::win::Basic> counter(drawer::counter::win::Basic::newCounterDrawer(BOX, BOX));
    Released<drawer::listheader::win::Thin> header(drawer::listheader::win::Thin::pool());
    Released<drawer::listbox::win::Thin> list(drawer::listbox::win::Thin::pool());
    Released<drawer::image::win::Basic> image(drawer::image::win::Basic::pool());
    Released<BufferedImage> picture(::picture(4, 4, 0xFF00C800));
    drawer::counter::Series series(4);
    series.add(50);
    counter->setBackgroundColor(9, 9, 9);
    const RECT rects[] = {{10, 10, 5, 15}, {10, 10, 15, 5}, {10, 10, 10, 15}, {10, 10, 15, 10}};
    for (const RECT& r : rects) {
        SCOPED_TRACE(testing::Message() << r.left << "," << r.top << "," << r.right << "," << r.bottom);
        const struct {
            const char* name;
            std::function<void(HDC)> paint;
        } paints[] = {
            {"check box", [&](HDC dc) { check->draw(dc, r.left, r.top, r.right, r.bottom, 13, true, L"x", nullptr); }},
            {"radio", [&](HDC dc) { radio->draw(dc, nullptr, r.left, r.top, r.right, r.bottom, true, L"", nullptr, 0); }},
            {"slider", [&](HDC dc) {
                 slider->draw(dc, r.left, r.top, r.right, r.bottom, 0, 10, 5, true, 0, true, true, 2, 2, 100, 0);
             }},
            {"scroll bar", [&](HDC dc) { bar->draw(dc, {r, false, 100, 10, 5}); }},
            {"counter", [&](HDC dc) { counter->draw(dc, r.left, r.top, r.right, r.bottom, &series, &series); }},
            {"header background", [&](HDC dc) { header->drawBackground(dc, r, false, 0, 0, 0); }},
            {"header item", [&](HDC dc) { header->drawItem(dc, r, 2, L"#Up", nullptr); }},
            {"list background", [&](HDC dc) { list->drawBackground(dc, r); }},
            {"list row", [&](HDC dc) { list->drawItem(dc, {r, L"", 1, true, 0, 1, 1, nullptr}, nullptr, nullptr); }},
            {"image", [&](HDC dc) {
                 image->draw(dc, nullptr, r.left, r.top, r.right, r.bottom, picture.get(), 0, true, true);
             }},
        };
        for (const auto& p : paints) {
            SCOPED_TRACE(p.name);
            Canvas canvas(30, 30);
            painted(canvas, p.paint);
            EXPECT_EQ(0, canvas.countTouched({0, 0, 30, 30}, true));
        }
    }
}
