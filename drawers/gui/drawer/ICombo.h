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

// Paints a closed drop-down list: framed field, selected text, separator and arrow.
class ICombo : public base::IObject, public thread::IPoolable {
public:
    // state: 0 normal, 1 hot, 2 list open; text "" when nothing is selected.
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, const wchar_t* text, win::Font* font,
                      bool enabled) = 0;
    virtual void setTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setDisabledTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setFrameColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void applyFonts(win::Font* font, win::Font* disabledFont) = 0;
};

} // namespace s::gui::drawer
