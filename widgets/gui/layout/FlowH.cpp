#include "widgets/gui/layout/FlowH.h"

#include "widgets/gui/layout/Routines.h"

namespace s::gui::layout {

void FlowH::layout(IContainer* container) {
    layoutFlowH(container, 0, 0, 0, 0);
}

} // namespace s::gui::layout
