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

// Paints a radio button: the ring is drawn four times larger into zoomDc (52 x 52) and
// shrunk to 13 x 13 pixels at every UI scale.
class IRadioButton : public base::IObject, public thread::IPoolable {
public:
    virtual void setFlag(bool on) = 0;
    virtual void setTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setDisabledTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setRingColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setDotColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void applyFonts(win::Font* font, win::Font* disabledFont) = 0;
    virtual void draw(HDC dc, HDC zoomDc, int32_t left, int32_t top, int32_t right, int32_t bottom, bool checked,
                      const wchar_t* caption, win::Font* font, uint32_t colour) = 0;
};

} // namespace s::gui::drawer
