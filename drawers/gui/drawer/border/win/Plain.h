#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IDrawer.h"

namespace s::gui::drawer::border::win {

// A one-colour, one-pixel frame around a box.
class Plain : public IDrawer {
    S_POOLED_CLASS(Plain, 1000, L"s_gui_drawer_border_win_Plain")

public:
    void reset() override { color_ = 0; }
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void setColor(int32_t red, int32_t green, int32_t blue) override;
    COLORREF getColor() const { return color_; }

private:
    Plain() = default;
    COLORREF color_ = 0;
};

} // namespace s::gui::drawer::border::win
