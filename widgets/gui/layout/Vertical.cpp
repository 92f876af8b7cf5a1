#include "widgets/gui/layout/Vertical.h"

#include "widgets/gui/layout/Routines.h"

namespace s::gui::layout {

void Vertical::layout(IContainer* container) {
    layoutColumn(container, 0, 0, 0);
}

} // namespace s::gui::layout
