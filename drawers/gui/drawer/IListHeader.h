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

// Paints the column header of a list. Every skin carries one; no widget of this program
// takes it.
class IListHeader : public base::IObject, public thread::IPoolable {
public:
    // Fills with the given colour when useGiven, else with the background colour.
    virtual void drawBackground(HDC dc, const RECT& rect, bool useGiven, int32_t red, int32_t green,
                                int32_t blue) = 0;
    virtual void drawItem(HDC dc, const RECT& rect, int32_t state, const wchar_t* caption, win::Font* font) = 0;
    virtual void setPressShift(bool on) = 0;
    virtual uint8_t getFrameRed() const = 0;
    virtual uint8_t getFrameGreen() const = 0;
    virtual uint8_t getFrameBlue() const = 0;
    virtual void setFrameColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual uint8_t getBackgroundRed() const = 0;
    virtual uint8_t getBackgroundGreen() const = 0;
    virtual uint8_t getBackgroundBlue() const = 0;
    virtual void setBackgroundColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual win::FontSetting* getCaptionFontSetting() const = 0;
    virtual void setHeight(int32_t height) = 0;
    virtual int32_t getHeight() const = 0;
};

} // namespace s::gui::drawer
