#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/skin/Base.h"

namespace s::gui::drawer::skin {

// A skin of the "Thin" family (six-colour schemes).
class Thin : public Base {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_skin_Thin")

private:
    Thin() = default;
};

} // namespace s::gui::drawer::skin
