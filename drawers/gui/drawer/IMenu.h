#pragma once
#include <windows.h>

#include <cstdint>

#include "drawers/gui/drawer/ICombo.h"

namespace s::gui::win {
class Font;
class FontSetting;
}
namespace s::str::strarray { class StrArray; }
namespace s::col::_array { class ArrayS32; }

namespace s::gui::drawer {

// Paints a horizontal menu bar (or its drop-down form) and lays out its entries.
class IMenu : public base::IObject, public thread::IPoolable {
public:
    // rects holds four words per entry (left, top, right, bottom in bar coordinates).
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const str::strarray::StrArray* texts,
                      const col::_array::ArrayS32* rects, win::Font* font, win::Font* hotFont,
                      int32_t paddingX, int32_t paddingY, int32_t hotIndex, bool pressed, bool dropDown,
                      bool rightAlignLast, bool lastAsLink) = 0;
    // Entries left to right, each its text width plus twice paddingX wide and the tallest
    // text plus twice paddingY high; extra adds 15 and 4 to the totals.
    virtual void layout(const str::strarray::StrArray* texts, win::Font* font, col::_array::ArrayS32* rects,
                        int32_t* totalWidth, int32_t* totalHeight, int32_t paddingX, int32_t paddingY,
                        bool extra) = 0;
    virtual win::FontSetting* getFontSetting() const = 0;
    virtual win::FontSetting* getHighlightFontSetting() const = 0;
    virtual ICombo* getComboDrawer() const = 0;
    virtual void setHighlightColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setHighlightTextColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setFillHot(bool on) = 0;
    virtual void setShiftHot(bool on) = 0;
};

} // namespace s::gui::drawer
