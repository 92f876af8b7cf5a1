#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IDrawer.h"

namespace s::gui::drawer::border::win {

// An etched line (grey over white) under a menu bar.
class UnderWindowMenu : public IDrawer {
    S_POOLED_CLASS(UnderWindowMenu, 1000, L"s_gui_drawer_border_win_UnderWindowMenu")

public:
    void reset() override {}
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void setColor(int32_t, int32_t, int32_t) override {}

private:
    UnderWindowMenu() = default;
};

} // namespace s::gui::drawer::border::win
