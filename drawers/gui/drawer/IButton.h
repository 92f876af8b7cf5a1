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

// Paints push buttons (and the inner buttons of other drawers): fill, three-dimensional
// frame by state, and the caption or, for a caption beginning with "#", a glyph.
class IButton : public base::IObject, public thread::IPoolable {
public:
    // state: 0 normal, 1 hot, 2 pressed.
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, const wchar_t* caption, bool framed,
                      win::Font* font, bool enabled, bool toggled, bool focused) = 0;
    virtual void setColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setFirstFlag(bool on) = 0;
    virtual void setSecondFlag(bool on) = 0;
    virtual void setCorners(int32_t kind) = 0;
    virtual void setPressShift(bool on) = 0;
    virtual uint8_t getFrameRed() const = 0;
    virtual uint8_t getFrameGreen() const = 0;
    virtual uint8_t getFrameBlue() const = 0;
    virtual void setFrameColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual uint8_t getDisabledFrameRed() const = 0;
    virtual uint8_t getDisabledFrameGreen() const = 0;
    virtual uint8_t getDisabledFrameBlue() const = 0;
    virtual void setDisabledFrameColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setToggledFrameColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setFillColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual uint8_t getFillRed() const = 0;
    virtual uint8_t getFillGreen() const = 0;
    virtual uint8_t getFillBlue() const = 0;
    // Paints the glyph a "#" caption names; false (nothing painted) for any other caption.
    virtual bool drawGlyph(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* caption, int32_t red, int32_t green,
                           int32_t blue) = 0;
    virtual void applyFonts(win::Font* font, win::Font* disabledFont) = 0;
    virtual win::FontSetting* getNormalFontSetting() const = 0;
    virtual win::FontSetting* getDisabledFontSetting() const = 0;
    virtual void setBorderShaded(bool shaded) = 0;
};

} // namespace s::gui::drawer
