#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/skin/Base.h"

namespace s::gui::drawer::skin {

// A skin of the "ThinWindow" family (fifteen-colour themes).
class ThinWindow : public Base {
    S_POOLED_CLASS(ThinWindow, 1000, L"s_gui_drawer_skin_ThinWindow")

private:
    ThinWindow() = default;
};

} // namespace s::gui::drawer::skin
