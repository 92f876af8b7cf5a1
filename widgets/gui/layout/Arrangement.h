#pragma once
#include <cstdint>

#include "widgets/gui/layout/Routines.h"

namespace s::base { class IObject; }
namespace s::gui { class IContainer; class ILayoutManager; }
namespace s::gui::events { class ListenerList; }

namespace s::gui::layout {

// The arrangement settings a box carries and its layout run: which routine, alignments,
// gaps, the content sizes of the last run, and the guards against runs within runs.
class Arrangement {
public:
    static constexpr int32_t ROW = 0;
    static constexpr int32_t COLUMN = 1;
    static constexpr int32_t FLOW = 2;
    static constexpr int32_t PILE = 3;
    // Told to the layout listeners after every run.
    static constexpr int32_t LAID_OUT = 3;

    Arrangement() { reset(); }
    // A column, start alignments, no gaps, no sizes.
    void reset();

    // One layout run of box: skipped (false) while its children are being created or two
    // runs are already under way on it; else the content sizes are cleared and, when the
    // box has children, the manager (when given) or the arrangement's routine places them;
    // then the listeners are told LAID_OUT with source as the source, children or not.
    bool run(IContainer* box, ILayoutManager* manager, events::ListenerList* listeners, base::IObject* source);

    // After a size rule of box changed (percent, fixed size) or a child was added: box lays
    // itself out, then its parent; twice for a flow, whose height follows the width the
    // parent gives it.
    void relayoutAfterChange(IContainer* box) const;

    // The preferred size of one axis: 0 when collapsed, the fixed size when >= 0, else the
    // paddings plus the least content size, raised to the minimum when that is >= 0.
    static int32_t preferredSize(bool collapsed, int32_t fixed, int32_t paddings, int32_t minContent,
                                 int32_t minimum);
    // The maximum size of one axis: the fixed size when >= 0, else the percent of the
    // parent's inner size when >= 0, else the paddings plus the larger content size.
    static int32_t maximumSize(int32_t fixed, int32_t percent, int32_t parentInner, int32_t paddings,
                               int32_t minContent, int32_t wantedContent);
    // inner x percent / 100 in single precision, rounded half away from zero.
    static int32_t percentOf(int32_t inner, int32_t percent);

    int32_t arrangement;
    int32_t hAlign, vAlign;
    int32_t gapX, gapY;
    ContentSizes sizes;
    int32_t depth;
    uint8_t creatingChildren;
};

} // namespace s::gui::layout
