#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/ITabBox.h"

namespace s::gui::drawer::text::win {
class Basic;
}

namespace s::gui::drawer::tabbox::win {

// The flat tab box: a colour and the two text drawers of its captions; it paints
// nothing itself.
class Thin : public ITabBox {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_tabbox_win_Thin")

public:
    ~Thin() override;
    void reset() override;

    void draw(HDC, int32_t, int32_t, int32_t, int32_t) override {}
    void setColor(int32_t red, int32_t green, int32_t blue) override;
    void applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) override;
    gui::win::FontSetting* getNormalFontSetting() const override;
    gui::win::FontSetting* getDisabledFontSetting() const override;
    void applySecondFonts(gui::win::Font* font, gui::win::Font* disabledFont) override;
    gui::win::FontSetting* getSecondFontSetting() const override;
    COLORREF getColor() const { return color_; }

private:
    Thin();

    COLORREF color_ = 0;
    text::win::Basic* first_ = nullptr;
    text::win::Basic* second_ = nullptr;
};

} // namespace s::gui::drawer::tabbox::win
