#include "drawers/gui/drawer/listheader/win/Thin.h"

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/button/win/Thin.h"
#include "drawers/gui/win/FontSetting.h"

namespace s::gui::drawer::listheader::win {

Thin::Thin() : button_(button::win::Thin::pool()) {
    reset();
}

Thin::~Thin() {
    if (button_ != nullptr) {
        button_->release();
    }
}

Thin* Thin::newListHeaderDrawer(COLORREF frame, COLORREF background) {
    Thin* drawer = pool();
    if (drawer != nullptr) {
        drawer->setPressShift(true);
        drawer->setFrameColor(GetRValue(frame), GetGValue(frame), GetBValue(frame));
        drawer->setBackgroundColor(GetRValue(background), GetGValue(background), GetBValue(background));
    }
    return drawer;
}

void Thin::reset() {
    if (button_ != nullptr) {
        button_->reset();
    }
    setPressShift(true);
    corners_ = 0;
    setFrameColor(120, 120, 120);
    background_ = RGB(51, 51, 51);
    height_ = 22;
}

void Thin::drawBackground(HDC dc, const RECT& rect, bool useGiven, int32_t red, int32_t green, int32_t blue) {
    if (dc == nullptr) {
        return;
    }
    Paint::fillRect(dc, rect.left, rect.top, rect.right, rect.bottom,
                    useGiven ? Paint::colour(red, green, blue) : background_);
}

void Thin::drawItem(HDC dc, const RECT& rect, int32_t state, const wchar_t* caption, gui::win::Font* font) {
    button_->setCorners(corners_);
    button_->draw(dc, rect.left, rect.top, rect.right, rect.bottom, state, caption, true, font, true, false, false);
}

void Thin::setPressShift(bool on) {
    pressShift_ = on;
    if (button_ != nullptr) {
        button_->setPressShift(on);
    }
}

void Thin::setFrameColor(int32_t red, int32_t green, int32_t blue) {
    frame_ = Paint::colour(red, green, blue);
    if (button_ != nullptr) {
        button_->setFrameColor(red, green, blue);
    }
}

void Thin::setBackgroundColor(int32_t red, int32_t green, int32_t blue) {
    background_ = Paint::colour(red, green, blue);
}

gui::win::FontSetting* Thin::getCaptionFontSetting() const {
    return button_->getNormalFontSetting();
}

void Thin::setCaptionColor(int32_t red, int32_t green, int32_t blue) {
    button_->getNormalFontSetting()->setTextColour(red, green, blue);
}

} // namespace s::gui::drawer::listheader::win
