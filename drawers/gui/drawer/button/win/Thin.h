#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IButton.h"

namespace s::gui::drawer::border::win {
class Thin;
}
namespace s::gui::drawer::text::win {
class Basic;
}

namespace s::gui::drawer::button::win {

// Push buttons and the inner buttons of other drawers: optional fill, a Thin frame
// whose style follows the state, and the caption as a glyph or as centred text.
class Thin : public IButton {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_button_win_Thin")

public:
    // The skins' button: second flag on, first off, content moving with the state,
    // frame in the given colour.
    static Thin* newThinButton(int32_t red, int32_t green, int32_t blue);

    ~Thin() override;
    void reset() override;

    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, const wchar_t* caption,
              bool framed, gui::win::Font* font, bool enabled, bool toggled, bool focused) override;
    void setColor(int32_t red, int32_t green, int32_t blue) override;
    void setFirstFlag(bool on) override { firstFlag_ = on; }
    void setSecondFlag(bool on) override { secondFlag_ = on; }
    void setCorners(int32_t kind) override { corners_ = kind; }
    void setPressShift(bool on) override { pressShift_ = on; }
    uint8_t getFrameRed() const override { return GetRValue(frame_); }
    uint8_t getFrameGreen() const override { return GetGValue(frame_); }
    uint8_t getFrameBlue() const override { return GetBValue(frame_); }
    void setFrameColor(int32_t red, int32_t green, int32_t blue) override;
    uint8_t getDisabledFrameRed() const override { return GetRValue(disabledFrame_); }
    uint8_t getDisabledFrameGreen() const override { return GetGValue(disabledFrame_); }
    uint8_t getDisabledFrameBlue() const override { return GetBValue(disabledFrame_); }
    void setDisabledFrameColor(int32_t red, int32_t green, int32_t blue) override;
    void setToggledFrameColor(int32_t red, int32_t green, int32_t blue) override;
    void setFillColor(int32_t red, int32_t green, int32_t blue) override;
    uint8_t getFillRed() const override { return GetRValue(fill_); }
    uint8_t getFillGreen() const override { return GetGValue(fill_); }
    uint8_t getFillBlue() const override { return GetBValue(fill_); }
    bool drawGlyph(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* caption, int32_t red,
                   int32_t green, int32_t blue) override;
    void applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) override;
    gui::win::FontSetting* getNormalFontSetting() const override;
    gui::win::FontSetting* getDisabledFontSetting() const override;
    void setBorderShaded(bool shaded) override;

    // The second caption's text drawer (it only takes part in measuring).
    void applySecondFont(gui::win::Font* font);
    gui::win::FontSetting* getSecondFontSetting() const;
    bool getFirstFlag() const { return firstFlag_; }
    bool getSecondFlag() const { return secondFlag_; }
    bool getPressShift() const { return pressShift_; }

private:
    Thin();

    COLORREF color_ = 0;
    bool firstFlag_ = true;
    bool secondFlag_ = true;
    bool pressShift_ = false;
    int32_t corners_ = 1;
    COLORREF frame_ = 0;
    COLORREF disabledFrame_ = 0;
    COLORREF toggledFrame_ = 0;
    COLORREF fill_ = 0;
    border::win::Thin* border_ = nullptr;
    text::win::Basic* captionText_ = nullptr;
    text::win::Basic* secondText_ = nullptr;
};

} // namespace s::gui::drawer::button::win
