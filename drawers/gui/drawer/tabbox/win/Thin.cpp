#include "drawers/gui/drawer/tabbox/win/Thin.h"

#include <initializer_list>

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/text/win/Basic.h"

namespace s::gui::drawer::tabbox::win {

Thin::Thin() : first_(text::win::Basic::pool()), second_(text::win::Basic::pool()) {
    reset();
}

Thin::~Thin() {
    for (text::win::Basic* text : {first_, second_}) {
        if (text != nullptr) {
            text->release();
        }
    }
}

void Thin::reset() {
    color_ = RGB(255, 255, 255);
    for (text::win::Basic* text : {first_, second_}) {
        if (text != nullptr) {
            text->reset();
        }
    }
}

void Thin::setColor(int32_t red, int32_t green, int32_t blue) {
    color_ = Paint::colour(red, green, blue);
}

void Thin::applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) {
    first_->applyFonts(font, disabledFont);
}

gui::win::FontSetting* Thin::getNormalFontSetting() const {
    return first_->getNormalFontSetting();
}

gui::win::FontSetting* Thin::getDisabledFontSetting() const {
    return first_->getDisabledFontSetting();
}

void Thin::applySecondFonts(gui::win::Font* font, gui::win::Font*) {
    second_->applyFonts(font);
}

gui::win::FontSetting* Thin::getSecondFontSetting() const {
    return second_->getNormalFontSetting();
}

} // namespace s::gui::drawer::tabbox::win
