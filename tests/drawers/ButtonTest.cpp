// The button drawer by state, its glyph and colour-swatch captions, every glyph at every
// UI scale, and the combo and menu-bar drawers built on it.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "Canvas.h"
#include "core/col/_array/ArrayS32.h"
#include "core/str/strarray/StrArray.h"
#include "drawers/gui/drawer/button/win/Glyphs.h"
#include "drawers/gui/drawer/button/win/Thin.h"
#include "drawers/gui/drawer/combo/win/Thin.h"
#include "drawers/gui/drawer/menu/win/Basic.h"
#include "support/Released.h"
#include "drawers/gui/win/Font.h"

using canvas::Canvas;
using canvas::DcState;
using canvas::SENTINEL;
using s::gui::drawer::button::win::Glyphs;
using s::gui::win::Font;
using Button = s::gui::drawer::button::win::Thin;

namespace {

constexpr COLORREF FRAME = RGB(200, 0, 0);
constexpr COLORREF DISABLED = RGB(0, 200, 0);
constexpr COLORREF TOGGLED = RGB(0, 0, 200);
constexpr COLORREF FILL = RGB(50, 50, 50);
constexpr COLORREF TEXT = RGB(0, 0, 255);

Button* colouredButton() {
    Button* button = Button::pool();
    button->setBorderShaded(false);
    button->setCorners(0);
    button->setFrameColor(200, 0, 0);
    button->setDisabledFrameColor(0, 200, 0);
    button->setToggledFrameColor(0, 0, 200);
    button->setFillColor(50, 50, 50);
    return button;
}

Font* textFont() {
    Font* font = Font::pool();
    font->setClearType(false);
    font->setTextColour(0, 0, 255);
    return font;
}

} // namespace

TEST(ButtonDrawer, FrameAndFillFollowStateEnabledAndToggled) {
    struct Case {
        const char* name;
        bool framed, enabled, toggled, focused;
        COLORREF edge, inside;
    };
    const Case cases[] = {
        {"enabled", true, true, false, false, FRAME, SENTINEL},
        {"disabled", true, false, false, false, DISABLED, SENTINEL},
        {"disabled and toggled", true, false, true, false, DISABLED, FILL},
        {"toggled", true, true, true, false, TOGGLED, FILL},
        {"flat", false, true, false, false, SENTINEL, SENTINEL},
        {"flat, focused", false, true, false, true, FRAME, SENTINEL},
        {"flat, toggled", false, true, true, false, TOGGLED, FILL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(40, 24);
        Released<Button> button(colouredButton());
        const DcState before(canvas.dc());
        button->draw(canvas.dc(), 0, 0, 40, 24, 0, L"", c.framed, nullptr, c.enabled, c.toggled, c.focused);
        EXPECT_TRUE(DcState(canvas.dc()) == before);
        EXPECT_EQ(c.edge, canvas.at(20, 0));
        EXPECT_EQ(c.edge, canvas.at(0, 12));
        EXPECT_EQ(c.inside, canvas.at(20, 12));
    }
}

TEST(ButtonDrawer, StatesPickTheFrameStyle) {
    struct Case {
        int32_t state;
        bool toggled;
        int32_t top; // grey of the top edge on frame grey 120
    };
    // Raised 1.05, hot 1.15, pressed 0.85; toggled swaps hot and pressed.
    const Case cases[] = {{0, false, 126}, {1, false, 138}, {2, false, 102}, {0, true, 126}, {1, true, 102}, {2, true, 138}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state << (c.toggled ? " toggled" : ""));
        Canvas canvas(40, 24);
        Released<Button> button(Button::pool());
        button->draw(canvas.dc(), 0, 0, 40, 24, c.state, L"", true, nullptr, true, c.toggled, false);
        EXPECT_EQ(RGB(c.top, c.top, c.top), canvas.at(20, 0));
    }
}

TEST(ButtonDrawer, CaptionsAreGlyphsSwatchesOrText) {
    struct Case {
        const char* name;
        const wchar_t* caption;
        bool toggled, withFont;
        COLORREF centre;   // at the button's middle
        bool textPainted;  // any pixel in the font's colour
    };
    const Case cases[] = {
        {"glyph in the frame colour", L"#Stop", false, true, FRAME, false},
        {"glyph of a toggled button in the font colour", L"#Stop", true, true, TEXT, false},
        {"toggled glyph without a font", L"#Stop", true, false, RGB(0, 0, 0), false},
        {"not a glyph: case matters", L"#stop", false, true, SENTINEL, true},
        {"text without a font", L"Click", false, false, SENTINEL, false},
        {"swatch", L"#Color-00FF0000", false, true, RGB(0, 0, 255), false},
        {"swatch, lower case", L"#Color-0000ff00", false, true, RGB(0, 255, 0), false},
        {"swatch, short", L"#Color-ff", false, true, RGB(255, 0, 0), false},
        {"swatch, long", L"#Color-1234567890", false, true, RGB(0x78, 0x56, 0x34), false},
        {"swatch, not hexadecimal", L"#Color-00GG0000", false, true, SENTINEL, true},
        {"swatch without digits", L"#Color-", false, true, SENTINEL, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(120, 30);
        Released<Button> button(colouredButton());
        Released<Font> font(textFont());
        button->draw(canvas.dc(), 0, 0, 120, 30, 0, c.caption, true, c.withFont ? font.get() : nullptr, true,
                     c.toggled, false);
        if (!c.textPainted) {
            EXPECT_EQ(c.centre, canvas.at(60, 15));
        }
        EXPECT_EQ(c.textPainted, canvas.countColour(TEXT) > 0 && c.centre == SENTINEL);
    }
}

TEST(ButtonDrawer, SwatchesFillTheButtonInsideABlackRim) {
    Canvas canvas(30, 20);
    Released<Button> button(Button::pool());
    ASSERT_TRUE(button->drawGlyph(canvas.dc(), 0, 0, 30, 20, L"#Color-00FF0000", 0, 0, 0));
    EXPECT_EQ(SENTINEL, canvas.at(0, 0));
    EXPECT_EQ(RGB(0, 0, 0), canvas.at(1, 1));
    EXPECT_EQ(RGB(0, 0, 255), canvas.at(2, 2));
    EXPECT_EQ(RGB(0, 0, 0), canvas.at(28, 18));
    EXPECT_EQ(SENTINEL, canvas.at(29, 19));
    // A glyph with no room succeeds and paints nothing.
    canvas.clear();
    EXPECT_TRUE(button->drawGlyph(canvas.dc(), 0, 0, 2, 2, L"#Play", 9, 9, 9));
    EXPECT_FALSE(button->drawGlyph(canvas.dc(), 0, 0, 30, 20, L"Play", 9, 9, 9));
    EXPECT_EQ(600, canvas.countColour(SENTINEL));
}

TEST(Glyphs, EveryGlyphStaysInItsBoxAtEveryScale) {
    for (int32_t scale : {1, 2, 4}) {
        for (const wchar_t* const* name = Glyphs::names(); *name != nullptr; ++name) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " glyph " << std::wstring(*name).size());
            const int32_t w = 26 * scale + 5;
            const int32_t h = 22 * scale + 3;
            Canvas canvas(w + 8, h + 8);
            const DcState before(canvas.dc());
            ASSERT_TRUE(Glyphs::draw(canvas.dc(), 4, 4, 4 + w, 4 + h, *name, RGB(9, 9, 9), scale));
            EXPECT_TRUE(DcState(canvas.dc()) == before);
            EXPECT_GT(canvas.countColour(RGB(9, 9, 9)), 0);
            EXPECT_EQ(0, canvas.countTouched(RECT{4 + scale, 4 + scale, 4 + w - scale, 4 + h - scale}, false));
        }
    }
}

TEST(Glyphs, MirrorPairsAreMirrors) {
    struct Pair {
        const wchar_t* first;
        const wchar_t* second;
        bool vertical;
    };
    const Pair pairs[] = {{L"#Right", L"#Left", false}, {L"#RightRight", L"#LeftLeft", false},
                          {L"#Down", L"#Up", true},     {L"#Next", L"#Prev", false},
                          {L"#TurnRight", L"#TurnLeft", false}};
    for (int32_t scale : {1, 2, 4}) {
        for (const Pair& p : pairs) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << (p.vertical ? " vertical" : " horizontal"));
            const int32_t w = 24 * scale + 1;
            const int32_t h = 20 * scale + 3;
            Canvas a(w, h);
            Canvas b(w, h);
            Glyphs::draw(a.dc(), 0, 0, w, h, p.first, RGB(9, 9, 9), scale);
            Glyphs::draw(b.dc(), 0, 0, w, h, p.second, RGB(9, 9, 9), scale);
            int32_t differences = 0;
            for (int32_t y = 0; y < h; ++y) {
                for (int32_t x = 0; x < w; ++x) {
                    const COLORREF other = p.vertical ? b.at(x, h - 1 - y) : b.at(w - 1 - x, y);
                    differences += a.at(x, y) != other ? 1 : 0;
                }
            }
            EXPECT_EQ(0, differences);
            EXPECT_GT(a.countColour(RGB(9, 9, 9)), 0);
        }
    }
}

TEST(ComboDrawer, ArrowSeparatorAndText) {
    for (int32_t scale : {1, 2}) {
        SCOPED_TRACE(scale);
        canvas::ScaleScope scaled(scale);
        const int32_t w = 120 * scale;
        const int32_t h = 24 * scale;
        Canvas canvas(w, h);
        Released<s::gui::drawer::combo::win::Thin> combo(
            s::gui::drawer::combo::win::Thin::newComboDrawer(0, 0, 255, 200, 0, 0));
        Released<Font> font(Font::pool());
        font->setClearType(false);
        combo->applyFonts(font.get(), nullptr);
        EXPECT_EQ(TEXT, font->getTextColour());
        const DcState before(canvas.dc());
        combo->draw(canvas.dc(), 0, 0, w, h, 0, L"Entry", font.get(), true);
        EXPECT_TRUE(DcState(canvas.dc()) == before);
        const RECT area = s::gui::drawer::combo::win::Thin::textArea(0, 0, w, h, 0, scale);
        // The separator, then the arrow right of it, in the frame colour.
        EXPECT_EQ(FRAME, canvas.at(area.right + scale, h / 2));
        int32_t arrow = 0;
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = area.right + 3 * scale; x < area.right + 13 * scale; ++x) {
                arrow += canvas.at(x, y) == FRAME ? 1 : 0;
            }
        }
        EXPECT_GT(arrow, 0);
        int32_t text = 0;
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                if (canvas.at(x, y) == TEXT) {
                    ++text;
                    EXPECT_LT(x, area.right);
                }
            }
        }
        EXPECT_GT(text, 0);
    }
}

TEST(MenuDrawer, LayoutAndTheLinkEntry) {
    Released<s::gui::drawer::menu::win::Basic> menu(s::gui::drawer::menu::win::Basic::pool());
    Released<s::str::strarray::StrArray> texts(s::str::strarray::StrArray::pool());
    texts->add(L"File")->add(L"Help")->add(L"Update");
    Released<s::col::_array::ArrayS32> rects(s::col::_array::ArrayS32::pool());
    Released<Font> font(Font::pool());
    font->setClearType(false);
    font->setTextColour(0, 0, 0);
    int32_t width = 0;
    int32_t height = 0;
    menu->layout(texts.get(), font.get(), rects.get(), &width, &height, 6, 3, false);
    ASSERT_EQ(12u, rects->count());
    EXPECT_EQ(0, rects->get(0));
    EXPECT_EQ(rects->get(2), rects->get(4));
    EXPECT_EQ(rects->get(3), rects->get(11));
    EXPECT_EQ(width, rects->get(10));
    EXPECT_EQ(height, rects->get(3));
    int32_t extraWidth = 0;
    int32_t extraHeight = 0;
    menu->layout(texts.get(), font.get(), rects.get(), &extraWidth, &extraHeight, 6, 3, true);
    EXPECT_EQ(width + 15, extraWidth);
    EXPECT_EQ(height + 4, extraHeight);

    menu->setHighlightColor(0, 200, 0);
    Canvas canvas(width + 40, height);
    menu->draw(canvas.dc(), 0, 0, width + 40, height, texts.get(), rects.get(), font.get(), nullptr, 6, 3, 0, false,
               false, true, true);
    EXPECT_GT(canvas.countColour(s::gui::drawer::menu::win::Basic::LINK_COLOUR), 0);
    EXPECT_GT(canvas.countColour(RGB(0, 200, 0)), 0);
    // The link is painted at the right edge, and the bar's font keeps its colour.
    EXPECT_EQ(RGB(0, 0, 0), font->getTextColour());
    EXPECT_FALSE(font->isUnderline());
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < rects->get(4 * 1 + 2); ++x) {
            EXPECT_NE(s::gui::drawer::menu::win::Basic::LINK_COLOUR, canvas.at(x, y));
        }
    }
}
