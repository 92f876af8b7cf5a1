#include "widgets/gui/layout/Arrangement.h"

#include <cmath>

#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/ILayoutManager.h"

namespace s::gui::layout {

void Arrangement::reset() {
    arrangement = COLUMN;
    hAlign = vAlign = 0;
    gapX = gapY = 0;
    sizes = ContentSizes();
    depth = 0;
    creatingChildren = 0;
}

bool Arrangement::run(IContainer* box, ILayoutManager* manager, events::ListenerList* listeners,
                      base::IObject* source) {
    // A run that re-enters itself (through listeners or the parent's relayout) runs once
    // more at most.
    if (creatingChildren != 0 || depth >= 2) {
        return false;
    }
    ++depth;
    sizes = ContentSizes();
    if (box->getChildCount() > 0) {
        if (manager != nullptr) {
            manager->layout(box);
        } else {
            switch (arrangement) {
            case ROW: layoutRow(box, hAlign, vAlign, gapX, &sizes); break;
            case COLUMN: layoutColumn(box, hAlign, vAlign, gapY, &sizes); break;
            case FLOW: layoutFlowH(box, hAlign, vAlign, gapX, gapY, &sizes); break;
            case PILE: layoutPile(box, hAlign, vAlign, &sizes); break;
            default: break;
            }
        }
    }
    if (listeners != nullptr) {
        listeners->fire(source, LAID_OUT);
    }
    --depth;
    return true;
}

void Arrangement::relayoutAfterChange(IContainer* box) const {
    box->doLayout();
    if (IContainer* parent = box->getParent()) {
        parent->relayout();
        if (arrangement == FLOW) {
            parent->relayout();
        }
    }
}

int32_t Arrangement::preferredSize(bool collapsed, int32_t fixed, int32_t paddings, int32_t minContent,
                                   int32_t minimum) {
    if (collapsed) {
        return 0;
    }
    if (fixed >= 0) {
        return fixed;
    }
    const int32_t size = paddings + minContent;
    return minimum >= 0 && size < minimum ? minimum : size;
}

int32_t Arrangement::maximumSize(int32_t fixed, int32_t percent, int32_t parentInner, int32_t paddings,
                                 int32_t minContent, int32_t wantedContent) {
    if (fixed >= 0) {
        return fixed;
    }
    if (percent >= 0) {
        return percentOf(parentInner, percent);
    }
    return paddings + (minContent > wantedContent ? minContent : wantedContent);
}

int32_t Arrangement::percentOf(int32_t inner, int32_t percent) {
    const float product = static_cast<float>(inner * percent);
    return static_cast<int32_t>(std::round(product / 100.0));
}

} // namespace s::gui::layout
