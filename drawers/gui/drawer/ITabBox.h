#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui::win {
class Font;
class FontSetting;
}

namespace s::gui::drawer {

// Paints a tab box. Every skin carries one; no widget of this program takes it.
class ITabBox : public base::IObject, public thread::IPoolable {
public:
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void setColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void applyFonts(win::Font* font, win::Font* disabledFont) = 0;
    virtual win::FontSetting* getNormalFontSetting() const = 0;
    virtual win::FontSetting* getDisabledFontSetting() const = 0;
    virtual void applySecondFonts(win::Font* font, win::Font* disabledFont) = 0;
    virtual win::FontSetting* getSecondFontSetting() const = 0;
};

} // namespace s::gui::drawer
