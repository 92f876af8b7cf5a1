#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/ICheckBox.h"

namespace s::gui::drawer::button::win {
class Thin;
}
namespace s::gui::drawer::text::win {
class Basic;
}

namespace s::gui::drawer::checkbox::win {

// A flat check box: a white square in a frame two UI units thick, the "#Check" tick
// when checked, and the caption to its right.
class Thin : public ICheckBox {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_checkbox_win_Thin")

public:
    // The skins' check box: box colour, then text colour.
    static Thin* newCheckBoxDrawer(COLORREF box, COLORREF text);

    ~Thin() override;
    void reset() override;

    void setFirstFlag(bool on) override { firstFlag_ = on; }
    void setSecondFlag(bool on) override { secondFlag_ = on; }
    void setTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setDisabledTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setBoxColor(int32_t red, int32_t green, int32_t blue) override;
    void setButtonFrameColor(int32_t red, int32_t green, int32_t blue) override;
    void applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) override;
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t boxSize, bool checked,
              const wchar_t* caption, gui::win::Font* font) override;
    void measure(HDC dc, const wchar_t* caption, gui::win::Font* font, int32_t* minWidth, int32_t* minHeight,
                 int32_t* preferredWidth, int32_t* preferredHeight) override;

    COLORREF getBoxColor() const { return box_; }
    COLORREF getTextColor() const { return textColour_; }
    gui::win::FontSetting* getNormalFontSetting() const;
    gui::win::FontSetting* getDisabledFontSetting() const;

private:
    Thin();

    bool firstFlag_ = true;
    bool secondFlag_ = false;
    int32_t value_ = 1;
    COLORREF textColour_ = 0;
    COLORREF box_ = 0;
    button::win::Thin* button_ = nullptr;
    text::win::Basic* text_ = nullptr;
};

} // namespace s::gui::drawer::checkbox::win
