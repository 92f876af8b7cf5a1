// The text drawer's effects, formats, measuring and font settings, and the group boxes'
// frames around their captions.
#include <gtest/gtest.h>

#include <vector>

#include "Canvas.h"
#include "drawers/gui/drawer/groupbox/win/Basic.h"
#include "drawers/gui/drawer/groupbox/win/Thin.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "support/Released.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/win/FontSetting.h"

using canvas::Canvas;
using canvas::DcState;
using canvas::SENTINEL;
using s::gui::win::Font;
using TextDrawer = s::gui::drawer::text::win::Basic;

namespace {

constexpr COLORREF RED = RGB(255, 0, 0);

// A two-colour font (no smoothing) in red, with an effect kind.
Font* plainFont(int32_t effect) {
    Font* font = Font::pool();
    font->setClearType(false);
    font->setTextColour(255, 0, 0);
    font->setSecondaryColour(0, 0, 255);
    font->setTertiaryColour(0, 255, 0);
    font->setUserValue(effect);
    font->setFontCode(4);
    return font;
}

} // namespace

TEST(TextDrawer, PaintsOnlyInsideItsRectangleAndRestoresTheContext) {
    struct Case {
        const char* name;
        int32_t effect;
        bool centred;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"plain", 0, false, L"Hello"}, {"outline", 1, false, L"Hello"}, {"shadow", 2, false, L"Hello"},
        {"engraved", 3, false, L"Hg"}, {"embossed", 6, false, L"Hg"}, {"third-colour outline", 7, false, L"Hg"},
        {"centred and too long", 0, true, L"A text far too long for the little rectangle it gets"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(200, 60);
        Released<TextDrawer> text(TextDrawer::pool());
        Released<Font> font(plainFont(c.effect));
        text->setCentred(c.centred ? 1 : 0);
        const DcState before(canvas.dc());
        // Effects reach 2 px past the text; the rectangle leaves room for them.
        text->draw(canvas.dc(), 10, 10, 120, 50, c.text, font.get());
        EXPECT_TRUE(DcState(canvas.dc()) == before);
        EXPECT_EQ(0, canvas.countTouched(RECT{10, 9, 122, 52}, false));
        EXPECT_GT(canvas.countColour(RED), 0);
        if (c.effect == 0) {
            // No smoothing: every painted pixel is the text colour.
            EXPECT_EQ(200 * 60, canvas.countColour(RED) + canvas.countColour(SENTINEL));
        }
    }
}

TEST(TextDrawer, ShadowLiesOnePixelDownAndRight) {
    Canvas plain(120, 40);
    Canvas shadowed(120, 40);
    Released<TextDrawer> text(TextDrawer::pool());
    Released<Font> flat(plainFont(0));
    Released<Font> shadow(plainFont(2));
    text->draw(plain.dc(), 5, 5, 110, 35, L"Shadow", flat.get());
    text->draw(shadowed.dc(), 5, 5, 110, 35, L"Shadow", shadow.get());
    int32_t checked = 0;
    for (int32_t y = 0; y + 1 < 40; ++y) {
        for (int32_t x = 0; x + 1 < 120; ++x) {
            if (plain.at(x, y) == RED) {
                ++checked;
                EXPECT_EQ(RED, shadowed.at(x, y));
                const COLORREF below = shadowed.at(x + 1, y + 1);
                EXPECT_TRUE(below == RED || below == RGB(119, 119, 119));
            }
        }
    }
    EXPECT_GT(checked, 20);
    EXPECT_GT(shadowed.countColour(RGB(119, 119, 119)), 0);
}

TEST(TextDrawer, NothingWithoutFontTextOrRoom) {
    Canvas canvas(60, 30);
    Released<TextDrawer> text(TextDrawer::pool());
    Released<Font> font(plainFont(0));
    text->draw(canvas.dc(), 0, 0, 60, 30, L"x", nullptr);
    text->draw(canvas.dc(), 0, 0, 60, 30, nullptr, font.get());
    text->draw(canvas.dc(), 40, 0, 10, 30, L"x", font.get());
    text->draw(canvas.dc(), 0, 30, 60, 30, L"x", font.get());
    EXPECT_EQ(60 * 30, canvas.countColour(SENTINEL));
}

TEST(TextDrawer, EffectsWidenTheMeasure) {
    // Extra width and height of each effect kind over the plain text.
    const int32_t extra[8][2] = {{0, 0}, {2, 1}, {1, 1}, {2, 1}, {0, 1}, {2, 1}, {0, 1}, {2, 1}};
    Canvas canvas(10, 10);
    Released<TextDrawer> text(TextDrawer::pool());
    Released<Font> reference(plainFont(0));
    RECT base = {0, 0, 0, 0};
    int32_t baseWidth = 0;
    int32_t baseHeight = 0;
    text->measure(canvas.dc(), &base, L"Measure", reference.get(), &baseWidth, &baseHeight);
    ASSERT_GT(baseWidth, 0);
    for (int32_t effect = 0; effect < 8; ++effect) {
        SCOPED_TRACE(effect);
        Released<Font> font(plainFont(effect));
        RECT rect = {0, 0, 0, 0};
        int32_t width = 0;
        int32_t height = 0;
        text->measure(canvas.dc(), &rect, L"Measure", font.get(), &width, &height);
        EXPECT_EQ(baseWidth + extra[effect][0], width);
        EXPECT_EQ(baseHeight + extra[effect][1], height);
        int32_t blockWidth = 0;
        int32_t blockHeight = 0;
        int32_t minWidth = 0;
        int32_t minHeight = 0;
        font->setEndEllipsis(true);
        text->measureBlock(canvas.dc(), L"Measure", font.get(), &blockWidth, &blockHeight, &minWidth, &minHeight);
        EXPECT_EQ(width, blockWidth);
        EXPECT_EQ(1 + extra[effect][0], minWidth);
        EXPECT_EQ(height, minHeight);
    }
}

TEST(TextDrawer, WrappedBlocksReportTheSingleLineAsMinimum) {
    Canvas canvas(10, 10);
    Released<TextDrawer> text(TextDrawer::pool());
    Released<Font> font(plainFont(0));
    font->setWordWrap(true);
    int32_t width = 150;
    int32_t height = 0;
    int32_t minWidth = 0;
    int32_t minHeight = 0;
    text->measureBlock(canvas.dc(), L"several words wrapped here", font.get(), &width, &height, &minWidth, &minHeight);
    EXPECT_LE(width, 150);
    EXPECT_GT(minWidth, width);
    EXPECT_GT(height, font->measureTextHeight());
    EXPECT_EQ(height, minHeight);
}

TEST(TextDrawer, SettingsReachTheFonts) {
    Released<TextDrawer> text(TextDrawer::pool());
    struct Case {
        COLORREF colour;
        bool underline;
    };
    // Normal, disabled, and the three link states, as reset.
    const Case cases[] = {{RGB(0, 0, 0), false}, {RGB(161, 161, 146), false}, {RGB(0, 170, 0), true},
                          {RGB(170, 170, 0), true}, {RGB(170, 170, 0), true}};
    std::vector<Released<Font>> fonts;
    for (int32_t i = 0; i < 5; ++i) {
        fonts.emplace_back(Font::pool());
        fonts.back()->setTextColour(9, 9, 9);
        fonts.back()->setFontCode(i);
    }
    text->applyFonts(fonts[0].get(), fonts[1].get(), fonts[2].get(), fonts[3].get(), fonts[4].get());
    for (int32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        // The normal setting chose no colour, so the font keeps its own.
        EXPECT_EQ(i == 0 ? RGB(9, 9, 9) : cases[i].colour, fonts[i]->getTextColour());
        EXPECT_EQ(cases[i].underline, fonts[i]->isUnderline());
    }
    EXPECT_EQ(4, text->getFifthFontSetting()->getFontCode());

    // Inheriting leaves what a font chose itself.
    Released<Font> own(Font::pool());
    Released<Font> bare(Font::pool());
    own->setTextColour(9, 9, 9);
    text->applyFontsInheriting(nullptr, own.get());
    text->applyFontsInheriting(nullptr, bare.get());
    EXPECT_EQ(RGB(9, 9, 9), own->getTextColour());
    EXPECT_EQ(RGB(161, 161, 146), bare->getTextColour());
}

TEST(GroupBox, FramesStopAtTheCaption) {
    struct Case {
        const char* name;
        bool thin;
        int32_t scale;
        int32_t captionWidth;
    };
    const Case cases[] = {{"basic", false, 1, 30}, {"basic, caption wider than the box", false, 1, 200},
                          {"thin", true, 1, 30},   {"thin at scale 2", true, 2, 30},
                          {"thin at scale 4, caption too wide", true, 4, 200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas::ScaleScope scale(c.scale);
        Canvas canvas(100, 60);
        Released<Font> font(plainFont(0));
        s::gui::drawer::IGroupBox* box = c.thin ? static_cast<s::gui::drawer::IGroupBox*>(s::gui::drawer::groupbox::win::Thin::pool())
                                                : s::gui::drawer::groupbox::win::Basic::pool();
        box->setColor(0, 0, 200);
        const DcState before(canvas.dc());
        box->draw(canvas.dc(), 0, 8, 100, 60, L"", font.get(), c.captionWidth, 16);
        EXPECT_TRUE(DcState(canvas.dc()) == before);
        const int32_t captionLeft = 9 * (c.thin ? c.scale : 1);
        const int32_t captionRight = captionLeft + c.captionWidth;
        // The top line: present left of the caption, absent under it.
        EXPECT_EQ(RGB(0, 0, 200), canvas.at(captionLeft - 3, 8));
        for (int32_t x = captionLeft; x < 100 && x < captionRight + 2; ++x) {
            EXPECT_EQ(SENTINEL, canvas.at(x, 8)) << x;
        }
        if (captionRight + 2 < 90) {
            EXPECT_EQ(RGB(0, 0, 200), canvas.at(captionRight + 4, 8));
        }
        EXPECT_EQ(RGB(0, 0, 200), canvas.at(50, 59));
        EXPECT_EQ(RGB(0, 0, 200), canvas.at(0, 30));
        EXPECT_EQ(RGB(0, 0, 200), canvas.at(99, 30));
        EXPECT_EQ(SENTINEL, canvas.at(50, 30));
        EXPECT_EQ(0, canvas.countTouched(RECT{0, 8, 100, 60}, false));
        box->release();
    }
}

TEST(GroupBox, CaptionInTheFontColourAndBasicBlue) {
    Canvas canvas(100, 40);
    Released<s::gui::drawer::groupbox::win::Basic> box(s::gui::drawer::groupbox::win::Basic::pool());
    EXPECT_EQ(208, box->getRed());
    Released<Font> font(Font::pool());
    font->setClearType(false);
    box->applyFonts(font.get(), nullptr);
    EXPECT_EQ(RGB(0, 70, 213), font->getTextColour());
    box->draw(canvas.dc(), 0, 7, 100, 40, L"Caption", font.get(), 60, 14);
    EXPECT_GT(canvas.countColour(RGB(0, 70, 213)), 0);
    box->draw(canvas.dc(), 0, 7, 100, 40, L"Caption", nullptr, 60, 14);
}
