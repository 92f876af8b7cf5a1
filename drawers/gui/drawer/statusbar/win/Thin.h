#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IStatusBar.h"

namespace s::gui::drawer::statusbar::win {

// The flat status bar: paints nothing (the widget's background shows) and is 13 pixels
// high at every UI scale.
class Thin : public IStatusBar {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_statusbar_win_Thin")

public:
    void reset() override { color_ = RGB(255, 255, 255); }
    void draw(HDC, int32_t, int32_t, int32_t, int32_t) override {}
    int32_t preferredHeight() const override { return 13; }
    void setColor(int32_t red, int32_t green, int32_t blue) { color_ = RGB(red & 0xFF, green & 0xFF, blue & 0xFF); }
    COLORREF getColor() const { return color_; }

private:
    Thin() = default;
    COLORREF color_ = RGB(255, 255, 255);
};

} // namespace s::gui::drawer::statusbar::win
