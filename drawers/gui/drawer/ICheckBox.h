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

// Paints a check box (square, tick, caption) and measures it.
class ICheckBox : public base::IObject, public thread::IPoolable {
public:
    virtual void setFirstFlag(bool on) = 0;
    virtual void setSecondFlag(bool on) = 0;
    virtual void setTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setDisabledTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setBoxColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setButtonFrameColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void applyFonts(win::Font* font, win::Font* disabledFont) = 0;
    // boxSize: the check box's minimum height.
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t boxSize, bool checked, const wchar_t* caption,
                      win::Font* font) = 0;
    virtual void measure(HDC dc, const wchar_t* caption, win::Font* font, int32_t* minWidth, int32_t* minHeight,
                         int32_t* preferredWidth, int32_t* preferredHeight) = 0;
};

} // namespace s::gui::drawer
