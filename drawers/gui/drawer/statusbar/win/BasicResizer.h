#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IDrawer.h"

namespace s::gui::drawer::statusbar::win {

// The status bar's size grip: six dots in the bottom right corner (plain pixels).
class BasicResizer : public IDrawer {
    S_POOLED_CLASS(BasicResizer, 1000, L"s_gui_drawer_statusbar_win_BasicResizer")

public:
    void reset() override {}
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void setColor(int32_t, int32_t, int32_t) override {}

private:
    friend class Basic;
    BasicResizer() = default;
};

} // namespace s::gui::drawer::statusbar::win
