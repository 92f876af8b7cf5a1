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

// Paints and measures one text with a font (labels, and the captions inside most other
// drawers). Carries five font settings (normal, disabled and three more that a label uses
// for its link states) that it applies to a widget's fonts.
class IText : public base::IObject, public thread::IPoolable {
public:
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* text, win::Font* font) = 0;
    // Calculates the text's rectangle with the drawing formats; rect is in and out.
    virtual void measure(HDC dc, RECT* rect, const wchar_t* text, win::Font* font, int32_t* width,
                         int32_t* height) = 0;
    // For each given font k (later ones may be null): font setting k's size code becomes the
    // font's, then setting k is applied to font k.
    virtual void applyFonts(win::Font* normal, win::Font* disabled = nullptr, win::Font* third = nullptr,
                            win::Font* fourth = nullptr, win::Font* fifth = nullptr) = 0;
    // The same through the font's other application operation (inheriting what it did not set).
    virtual void applyFontsInheriting(win::Font* normal, win::Font* disabled = nullptr,
                                      win::Font* third = nullptr, win::Font* fourth = nullptr,
                                      win::Font* fifth = nullptr) = 0;
    // The size of the text block and the least width it can take (wrapped or ellipsised).
    virtual void measureBlock(HDC dc, const wchar_t* text, win::Font* font, int32_t* width, int32_t* height,
                              int32_t* minWidth, int32_t* minHeight) = 0;
    virtual win::FontSetting* getNormalFontSetting() const = 0;
    virtual win::FontSetting* getDisabledFontSetting() const = 0;
    virtual win::FontSetting* getThirdFontSetting() const = 0;
    virtual win::FontSetting* getFourthFontSetting() const = 0;
    virtual win::FontSetting* getFifthFontSetting() const = 0;
    // Non-zero: centred on one line with an end ellipsis.
    virtual void setCentred(int32_t centred) = 0;
};

} // namespace s::gui::drawer
