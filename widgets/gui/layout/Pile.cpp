#include "widgets/gui/layout/Pile.h"

#include "widgets/gui/layout/Routines.h"

namespace s::gui::layout {

void Pile::layout(IContainer* container) {
    layoutPile(container, 0, 0);
}

} // namespace s::gui::layout
