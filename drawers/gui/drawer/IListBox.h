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

// Paints list rows (stripes, selection, tree expanders, check boxes) and hit-tests them.
// Every skin carries one; no widget of this program takes it, and its row paint operation
// comes with its class.
class IListBox : public base::IObject, public thread::IPoolable {
public:
    virtual void drawBackground(HDC dc, const RECT& rect) = 0;
    // Within a row of the given tree depth: on the expander, on the check box.
    virtual bool hitExpander(int32_t x, int32_t y, bool hasCheck, int32_t depth) const = 0;
    virtual bool hitCheck(int32_t x, int32_t y, int32_t depth) const = 0;
    virtual uint32_t getSelectionColor() const = 0;
    virtual void setSelectionColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual uint32_t getBackgroundColor() const = 0;
    virtual uint8_t getBackgroundRed() const = 0;
    virtual uint8_t getBackgroundGreen() const = 0;
    virtual uint8_t getBackgroundBlue() const = 0;
    virtual void setBackgroundColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void applyFonts(win::Font* font, win::Font* selectedFont) = 0;
    virtual win::FontSetting* getItemFontSetting() const = 0;
    virtual win::FontSetting* getSelectedFontSetting() const = 0;
    virtual void setTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setSelectedTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual uint8_t getStripeRed() const = 0;
    virtual uint8_t getStripeGreen() const = 0;
    virtual uint8_t getStripeBlue() const = 0;
    virtual uint32_t getStripeColor() const = 0;
    virtual void setStripeColor(int32_t red, int32_t green, int32_t blue) = 0;
};

} // namespace s::gui::drawer
