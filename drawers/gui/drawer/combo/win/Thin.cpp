#include "drawers/gui/drawer/combo/win/Thin.h"

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/button/win/Glyphs.h"
#include "drawers/gui/drawer/button/win/Thin.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/win/FontSetting.h"

namespace s::gui::drawer::combo::win {

Thin::Thin() : text_(text::win::Basic::pool()), button_(button::win::Thin::pool()) {
    reset();
}

Thin::~Thin() {
    if (text_ != nullptr) {
        text_->release();
    }
    if (button_ != nullptr) {
        button_->release();
    }
}

Thin* Thin::newComboDrawer(int32_t textRed, int32_t textGreen, int32_t textBlue, int32_t frameRed, int32_t frameGreen,
                           int32_t frameBlue) {
    Thin* combo = pool();
    if (combo != nullptr) {
        combo->setTextColor(textRed, textGreen, textBlue);
        combo->setFrameColor(frameRed, frameGreen, frameBlue);
    }
    return combo;
}

void Thin::reset() {
    if (text_ != nullptr) {
        text_->reset();
        text_->setCentred(0);
    }
    if (button_ != nullptr) {
        button_->reset();
    }
    frame_ = RGB(0, 0, 0);
}

void Thin::setTextColor(int32_t red, int32_t green, int32_t blue) {
    text_->getNormalFontSetting()->setTextColour(red, green, blue);
}

void Thin::setDisabledTextColor(int32_t red, int32_t green, int32_t blue) {
    text_->getDisabledFontSetting()->setTextColour(red, green, blue);
}

void Thin::setFrameColor(int32_t red, int32_t green, int32_t blue) {
    frame_ = Paint::colour(red, green, blue);
    button_->setFrameColor(red, green, blue);
}

void Thin::applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) {
    text_->applyFonts(font, disabledFont);
}

RECT Thin::textArea(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, int32_t s) {
    if (state == 1) {
        return RECT{left + 3 * s, top, right - 16 * s, bottom - 2 * s};
    }
    if (state == 2) {
        return RECT{left + 5 * s, top + 2 * s, right - 14 * s, bottom};
    }
    return RECT{left + 4 * s, top + s, right - 15 * s, bottom - s};
}

void Thin::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, const wchar_t* text,
                gui::win::Font* font, bool enabled) {
    if (dc == nullptr || left >= right || top >= bottom) {
        return;
    }
    const int32_t s = Paint::scale();
    button_->draw(dc, left, top, right, bottom, state, L"", true, nullptr, enabled, false, false);
    const RECT area = textArea(left, top, right, bottom, state, s);
    if (text != nullptr && text[0] != L'\0' && font != nullptr && area.right > area.left) {
        RECT measured = {0, 0, area.right - area.left, area.bottom - area.top};
        int32_t width = 0;
        int32_t height = 0;
        text_->measure(dc, &measured, text, font, &width, &height);
        const int32_t y = area.top + (area.bottom - area.top - height) / 2;
        text_->draw(dc, area.left, y, area.right, y + height, text, font);
    }
    Paint::fillRect(dc, area.right + s, area.top + 2 * s, area.right + 2 * s, area.bottom - 2 * s, frame_);
    button::win::Glyphs::draw(dc, area.right + 3 * s, area.top, area.right + 13 * s, area.bottom, L"#Down", frame_, s);
}

} // namespace s::gui::drawer::combo::win
