#include "drawers/gui/drawer/button/win/Thin.h"

#include <initializer_list>

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/border/win/Thin.h"
#include "drawers/gui/drawer/button/win/Glyphs.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/win/Font.h"

namespace s::gui::drawer::button::win {

namespace {
constexpr COLORREF GREY = RGB(120, 120, 120);
}

Thin::Thin() : border_(border::win::Thin::pool()), captionText_(text::win::Basic::pool()), secondText_(text::win::Basic::pool()) {
    reset();
}

Thin::~Thin() {
    if (border_ != nullptr) {
        border_->release();
    }
    if (captionText_ != nullptr) {
        captionText_->release();
    }
    if (secondText_ != nullptr) {
        secondText_->release();
    }
}

Thin* Thin::newThinButton(int32_t red, int32_t green, int32_t blue) {
    Thin* button = pool();
    if (button != nullptr) {
        button->setSecondFlag(true);
        button->setFirstFlag(false);
        button->setPressShift(true);
        button->setFrameColor(red, green, blue);
    }
    return button;
}

void Thin::reset() {
    color_ = RGB(213, 235, 107);
    firstFlag_ = true;
    secondFlag_ = true;
    pressShift_ = false;
    corners_ = 1;
    frame_ = GREY;
    disabledFrame_ = GREY;
    toggledFrame_ = GREY;
    fill_ = GREY;
    if (border_ != nullptr) {
        border_->reset();
    }
    for (text::win::Basic* text : {captionText_, secondText_}) {
        if (text != nullptr) {
            text->reset();
            text->setCentred(1);
        }
    }
}

void Thin::setColor(int32_t red, int32_t green, int32_t blue) {
    color_ = Paint::colour(red, green, blue);
}

void Thin::setFrameColor(int32_t red, int32_t green, int32_t blue) {
    frame_ = Paint::colour(red, green, blue);
}

void Thin::setDisabledFrameColor(int32_t red, int32_t green, int32_t blue) {
    disabledFrame_ = Paint::colour(red, green, blue);
}

void Thin::setToggledFrameColor(int32_t red, int32_t green, int32_t blue) {
    toggledFrame_ = Paint::colour(red, green, blue);
}

void Thin::setFillColor(int32_t red, int32_t green, int32_t blue) {
    fill_ = Paint::colour(red, green, blue);
}

void Thin::setBorderShaded(bool shaded) {
    if (border_ != nullptr) {
        border_->setShaded(shaded);
    }
}

bool Thin::drawGlyph(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* caption, int32_t red,
                     int32_t green, int32_t blue) {
    return Glyphs::draw(dc, left, top, right, bottom, caption, Paint::colour(red, green, blue), Paint::scale());
}

void Thin::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, const wchar_t* caption,
                bool framed, gui::win::Font* font, bool enabled, bool toggled, bool focused) {
    if (dc == nullptr || left >= right || top >= bottom) {
        return;
    }
    const int32_t s = Paint::scale();
    if (toggled && (state == 1 || state == 2)) {
        state = 3 - state;
    }
    const COLORREF o = !enabled ? disabledFrame_ : (toggled ? toggledFrame_ : frame_);
    const int32_t styles[3] = {1, 0, 2};
    const int32_t style = state >= 0 && state <= 2 ? styles[state] : -1;
    bool frameDrawn = true;
    if (framed) {
        if (toggled) {
            Paint::fillRect(dc, left + s, top + s, right - s, bottom - s, fill_);
        }
        border_->draw(dc, left, top, right, bottom, style, corners_, GetRValue(o), GetGValue(o), GetBValue(o));
    } else if (!toggled) {
        frameDrawn = focused;
        if (focused) {
            border_->draw(dc, left, top, right, bottom, 3, corners_, GetRValue(o), GetGValue(o), GetBValue(o));
        }
    } else {
        const int32_t fillTop = focused ? top + 1 : top;
        Paint::fillRect(dc, left, fillTop, right, bottom, fill_);
        border_->draw(dc, left, fillTop, right, bottom, 1, corners_, GetRValue(o), GetGValue(o), GetBValue(o));
    }
    RECT content = {left + 2 * s, top + 2 * s, right - 2 * s, bottom - 2 * s};
    if (pressShift_ && state == 1) {
        content = {left + s, top + s, right - 3 * s, bottom - 3 * s};
    } else if (pressShift_ && state == 2) {
        content = {left + 3 * s, top + 3 * s, right - s, bottom - s};
    }
    if (caption == nullptr || caption[0] == L'\0') {
        return;
    }
    // A toggled button paints its glyph in the font's colour; without a font, in the
    // default text colour.
    const COLORREF glyphColour = !toggled ? o : (font != nullptr ? font->getTextColour() : RGB(0, 0, 0));
    if (Glyphs::draw(dc, content.left, content.top, content.right, content.bottom, caption, glyphColour, s)) {
        return;
    }
    if (font == nullptr) {
        return;
    }
    if (!frameDrawn) {
        InflateRect(&content, s, s);
    }
    captionText_->draw(dc, content.left, content.top, content.right, content.bottom, caption, font);
}

void Thin::applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) {
    captionText_->applyFonts(font, disabledFont);
}

gui::win::FontSetting* Thin::getNormalFontSetting() const {
    return captionText_->getNormalFontSetting();
}

gui::win::FontSetting* Thin::getDisabledFontSetting() const {
    return captionText_->getDisabledFontSetting();
}

void Thin::applySecondFont(gui::win::Font* font) {
    secondText_->applyFonts(font);
}

gui::win::FontSetting* Thin::getSecondFontSetting() const {
    return secondText_->getNormalFontSetting();
}

} // namespace s::gui::drawer::button::win
