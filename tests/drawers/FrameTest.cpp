// Window frame, borders and status bars painted into sentinel-filled images.
#include <gtest/gtest.h>

#include "Canvas.h"
#include "drawers/gui/drawer/border/win/Plain.h"
#include "drawers/gui/drawer/border/win/Thin.h"
#include "drawers/gui/drawer/border/win/UnderWindowMenu.h"
#include "drawers/gui/drawer/statusbar/win/Basic.h"
#include "drawers/gui/drawer/statusbar/win/Thin.h"
#include "drawers/gui/drawer/window/win/Thin.h"
#include "support/Released.h"
#include "system/system/win/OsFacts.h"

using canvas::Canvas;
using canvas::SENTINEL;
namespace drawer = s::gui::drawer;

namespace {

constexpr COLORREF RED = RGB(200, 0, 0);
constexpr COLORREF BACK = RGB(10, 20, 30);

struct Pixel {
    int32_t x, y;
    bool frame;
};

} // namespace

TEST(WindowFrame, CornerKindsPaintTheirPixels) {
    const int32_t w = 40;
    const int32_t h = 30;
    struct Case {
        const char* name;
        int32_t top, bottom;
        std::vector<Pixel> pixels;
    };
    const Case cases[] = {
        {"square", 0, 0, {{0, 0, true}, {w - 1, 5, true}, {5, h - 1, true}, {0, 5, true}, {1, 1, false}, {w - 2, h - 2, false}}},
        {"small top, large bottom", 1, 2,
         {{1, 1, true}, {w - 2, 1, true}, {1, h - 2, false}, {4, h - 2, false}, {2, 1, false}}},
        {"large both", 2, 2,
         {{4, 1, true}, {5, 1, false}, {2, 2, true}, {1, 4, true}, {w - 5, 1, true}, {w - 2, 4, true},
          {4, h - 2, true}, {w - 5, h - 2, true}, {w - 3, h - 4, true}, {2, h - 3, true}, {6, 6, false}}},
        {"large bottom only", 0, 2, {{4, 1, false}, {4, h - 2, true}, {1, h - 5, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(w, h);
        ASSERT_TRUE(canvas.ok());
        Released<drawer::window::win::Thin> frame(drawer::window::win::Thin::pool());
        frame->setBackgroundColor(10, 20, 30);
        frame->setFrameColor(200, 0, 0);
        frame->setTopCorners(c.top);
        frame->setBottomCorners(c.bottom);
        const canvas::DcState before(canvas.dc());
        frame->draw(canvas.dc(), 0, 0, w, h);
        EXPECT_TRUE(canvas::DcState(canvas.dc()) == before);
        for (const Pixel& p : c.pixels) {
            SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
            EXPECT_EQ(p.frame ? RED : BACK, canvas.at(p.x, p.y));
        }
        EXPECT_EQ(0, canvas.countColour(SENTINEL));
    }
}

TEST(WindowFrame, TransparentFrameAndUnknownKindsLeaveTheInside) {
    Canvas canvas(20, 20);
    Released<drawer::window::win::Thin> frame(drawer::window::win::Thin::pool());
    frame->draw(canvas.dc(), 0, 0, 20, 20);
    EXPECT_EQ(RGB(120, 120, 120), canvas.at(0, 0));
    EXPECT_EQ(SENTINEL, canvas.at(10, 10));
    canvas.clear();
    frame->setTopCorners(3);
    frame->setBottomCorners(3);
    frame->draw(canvas.dc(), 0, 0, 20, 20);
    EXPECT_EQ(400, canvas.countColour(SENTINEL));
    EXPECT_EQ(nullptr, frame->createRegion(0, 0, 20, 20));
}

TEST(WindowFrame, RegionsRoundTheChosenCorners) {
    const int32_t w = 60;
    const int32_t h = 40;
    struct Case {
        int32_t top, bottom;
        bool topLeftIn, bottomLeftIn;
    };
    const Case cases[] = {{0, 0, true, true}, {1, 2, false, true}, {2, 2, false, false}, {1, 1, false, false},
                          {2, 0, false, true}, {0, 1, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.top << "/" << c.bottom);
        Released<drawer::window::win::Thin> frame(drawer::window::win::Thin::pool());
        frame->setTopCorners(c.top);
        frame->setBottomCorners(c.bottom);
        HRGN region = frame->createRegion(0, 0, w, h);
        ASSERT_NE(nullptr, region);
        RECT box = {};
        GetRgnBox(region, &box);
        EXPECT_EQ(0, box.left);
        EXPECT_EQ(0, box.top);
        // Rounded regions may end one pixel short (the system's own rounding).
        EXPECT_GE(box.right, w);
        EXPECT_LE(box.right, w + 1);
        EXPECT_GE(box.bottom, h);
        EXPECT_LE(box.bottom, h + 1);
        if (c.top == 0 && c.bottom == 0) {
            EXPECT_EQ(w + 1, box.right);
            EXPECT_EQ(h + 1, box.bottom);
        }
        EXPECT_EQ(c.topLeftIn, PtInRegion(region, 0, 0) != FALSE);
        EXPECT_EQ(c.topLeftIn, PtInRegion(region, w, 0) != FALSE);
        EXPECT_EQ(c.bottomLeftIn, PtInRegion(region, 0, h) != FALSE);
        EXPECT_TRUE(PtInRegion(region, w / 2, h / 2));
        DeleteObject(region);
    }
}

TEST(ThinBorder, EdgeShadesByStyle) {
    struct Case {
        const char* name;
        int32_t style;
        bool shaded;
        int32_t top, right, bottom, left; // grey levels, -1: untouched
    };
    const Case cases[] = {
        {"raised", 1, true, 126, 108, 102, 120}, {"pressed", 2, true, 102, 120, 126, 108},
        {"hot", 0, true, 138, 84, 60, 126},      {"raised, no bottom", 3, true, 126, 108, -1, 120},
        {"raised unshaded", 1, false, 120, 120, 120, 120}, {"pressed unshaded", 2, false, 120, 120, 120, 120},
        {"unknown style", 4, true, -1, -1, -1, -1},
    };
    for (int32_t scale : {1, 2}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " at scale " << scale);
            canvas::ScaleScope scaled(scale);
            Canvas canvas(30, 20);
            Released<drawer::border::win::Thin> border(drawer::border::win::Thin::pool());
            border->setShaded(c.shaded);
            const canvas::DcState before(canvas.dc());
            border->draw(canvas.dc(), 2, 2, 28, 18, c.style, 0, 120, 120, 120);
            EXPECT_TRUE(canvas::DcState(canvas.dc()) == before);
            auto grey = [](int32_t v) { return v < 0 ? SENTINEL : RGB(v, v, v); };
            const int32_t t = scale - 1;
            EXPECT_EQ(grey(c.top), canvas.at(15, 2 + t));
            EXPECT_EQ(grey(c.right), canvas.at(27 - t, 10));
            EXPECT_EQ(grey(c.bottom), canvas.at(15, 17 - t));
            EXPECT_EQ(grey(c.left), canvas.at(2 + t, 10));
            // Nothing inside the frame or outside the rectangle.
            EXPECT_EQ(SENTINEL, canvas.at(15, 10));
            EXPECT_EQ(SENTINEL, canvas.at(1, 1));
            EXPECT_EQ(SENTINEL, canvas.at(28, 18));
        }
    }
}

TEST(ThinBorder, LightEdgesHoldAtWhiteAndCornersStayInside) {
    Canvas canvas(30, 20);
    Released<drawer::border::win::Thin> border(drawer::border::win::Thin::pool());
    border->draw(canvas.dc(), 0, 0, 30, 20, 0, 0, 255, 255, 255);
    EXPECT_EQ(RGB(255, 255, 255), canvas.at(10, 0));
    for (int32_t scale : {1, 2, 4}) {
        for (int32_t corners : {1, 2}) {
            SCOPED_TRACE(testing::Message() << corners << " at scale " << scale);
            canvas::ScaleScope scaled(scale);
            canvas.clear();
            border->draw(canvas.dc(), 4, 4, 26, 16, 1, corners, 120, 120, 120);
            EXPECT_EQ(0, canvas.countTouched(RECT{4, 4, 26, 16}, false));
            // The corner pixel itself stays open.
            EXPECT_EQ(SENTINEL, canvas.at(4, 4));
            EXPECT_EQ(SENTINEL, canvas.at(25, 15));
        }
    }
}

TEST(PlainBorders, LinesAndTheEtchedSeparator) {
    Canvas canvas(20, 3);
    Released<drawer::border::win::UnderWindowMenu> etched(drawer::border::win::UnderWindowMenu::pool());
    etched->draw(canvas.dc(), 0, 0, 20, 1);
    EXPECT_EQ(RGB(172, 168, 153), canvas.at(5, 0));
    EXPECT_EQ(SENTINEL, canvas.at(5, 1));
    etched->draw(canvas.dc(), 0, 0, 20, 2);
    EXPECT_EQ(RGB(255, 255, 255), canvas.at(5, 1));
    EXPECT_EQ(SENTINEL, canvas.at(5, 2));

    Canvas box(10, 6);
    Released<drawer::border::win::Plain> plain(drawer::border::win::Plain::pool());
    plain->setColor(256 + 9, 8, 7);
    plain->draw(box.dc(), 0, 0, 10, 6);
    EXPECT_EQ(RGB(9, 8, 7), box.at(0, 0));
    EXPECT_EQ(RGB(9, 8, 7), box.at(9, 5));
    EXPECT_EQ(SENTINEL, box.at(5, 3));
    EXPECT_EQ(28, 60 - box.countColour(SENTINEL));
}

TEST(StatusBar, GradientBeforeVistaAndTheGrip) {
    const int32_t w = 100;
    const int32_t h = 23;
    struct Probe {
        int32_t x, y;
        COLORREF colour;
    };
    const Probe gradient[] = {
        {50, 0, RGB(149, 147, 133)}, {50, 2, RGB(215, 212, 197)}, {50, 10, RGB(236, 233, 216)},
        {50, h - 9, RGB(235, 232, 212)}, {50, h - 1, RGB(223, 220, 202)}, {0, 0, RGB(166, 164, 149)},
        {w - 1, 0, RGB(166, 164, 149)}, {4, 0, RGB(154, 151, 138)}, {w - 5, 0, RGB(154, 151, 138)},
        {w - 7, 0, RGB(150, 147, 134)}, {6, 1, RGB(216, 217, 214)},
    };
    const Probe grip[] = {{w - 3, h - 3, RGB(255, 255, 255)}, {w - 4, h - 4, RGB(184, 181, 161)},
                          {w - 11, h - 3, RGB(255, 255, 255)}, {w - 3, h - 11, RGB(255, 255, 255)}};
    struct Case {
        const char* name;
        uint32_t major;
        bool gradient, grip;
    };
    const Case cases[] = {{"XP gradient and grip", 5, true, true}, {"Vista grip only", 6, true, true},
                          {"XP plain", 5, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const s::system::win::OsFacts::Facts facts = s::system::win::OsFacts::derive(c.major, 1, 2600, true, false);
        s::system::win::OsFacts::inject(&facts);
        Canvas canvas(w, h);
        Released<drawer::statusbar::win::Basic> bar(drawer::statusbar::win::Basic::create());
        bar->setGradient(c.gradient);
        bar->setShowResizer(c.grip);
        const canvas::DcState before(canvas.dc());
        bar->draw(canvas.dc(), 0, 0, w, h);
        EXPECT_TRUE(canvas::DcState(canvas.dc()) == before);
        const bool painted = c.gradient && c.major < 6;
        for (const Probe& p : gradient) {
            SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
            EXPECT_EQ(painted ? p.colour : SENTINEL, canvas.at(p.x, p.y));
        }
        for (const Probe& p : grip) {
            EXPECT_EQ(c.grip ? p.colour : canvas.at(50, 10), canvas.at(p.x, p.y));
        }
        // No dot where the grip's triangle has none.
        EXPECT_EQ(canvas.at(50, h - 7), canvas.at(w - 11, h - 7));
    }
    s::system::win::OsFacts::inject(nullptr);
}

TEST(StatusBar, HeightsPerScale) {
    for (int32_t scale : {1, 2, 4}) {
        canvas::ScaleScope scaled(scale);
        Released<drawer::statusbar::win::Basic> basic(drawer::statusbar::win::Basic::create());
        Released<drawer::statusbar::win::Thin> thin(drawer::statusbar::win::Thin::pool());
        EXPECT_EQ(23 * scale, basic->preferredHeight());
        EXPECT_EQ(13, thin->preferredHeight());
        Canvas canvas(40, 20);
        thin->draw(canvas.dc(), 0, 0, 40, 20);
        basic->draw(canvas.dc(), 0, 0, 40, 20);
        EXPECT_EQ(800, canvas.countColour(SENTINEL));
    }
}
