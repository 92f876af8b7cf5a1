#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IGroupBox.h"

namespace s::gui::drawer::text::win {
class Basic;
}

namespace s::gui::drawer::groupbox::win {

// What both group-box drawers share: the frame colour, the caption's text drawer, and
// the caption painted at 9 pixels (times the UI scale for the Thin look) from the left.
class Frame : public IGroupBox {
public:
    ~Frame() override;
    void reset() override;
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* caption,
              gui::win::Font* font, int32_t captionWidth, int32_t captionHeight) override;
    void setColor(int32_t red, int32_t green, int32_t blue) override;
    uint8_t getRed() const override { return GetRValue(color_); }
    uint8_t getGreen() const override { return GetGValue(color_); }
    uint8_t getBlue() const override { return GetBValue(color_); }
    void applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) override;
    gui::win::FontSetting* getNormalFontSetting() const override;
    gui::win::FontSetting* getDisabledFontSetting() const override;

protected:
    Frame();
    // The frame's lines and corners; the caption spans captionLeft to captionRight.
    virtual void drawFrame(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t captionLeft,
                           int32_t captionRight) = 0;
    virtual int32_t captionOffset() const = 0;
    COLORREF color_ = 0;
    text::win::Basic* text_ = nullptr;
};

} // namespace s::gui::drawer::groupbox::win
