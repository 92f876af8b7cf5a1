#include "drawers/gui/win/FontSetting.h"

namespace s::gui::win {

void FontSetting::inheritFrom(const IFontSetting* setting) {
    if (setting != nullptr) {
        inheritProperties(*setting);
    }
}

Font* FontSetting::createFont() const {
    Font* font = Font::pool();
    if (font == nullptr) {
        return nullptr;
    }
    font->copyProperties(*this);
    font->getHandle();
    return font;
}

} // namespace s::gui::win
