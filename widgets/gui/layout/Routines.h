#pragma once
#include <cstdint>

namespace s::gui {
class IContainer;
}

namespace s::gui::layout {

// What one arrangement run measured: the least and the wanted size of the content
// (without the container's paddings).
struct ContentSizes {
    int32_t minWidth = 0;
    int32_t minHeight = 0;
    int32_t wantedWidth = 0;
    int32_t wantedHeight = 0;
};

// Alignments: 0 start (left/top), 1 centre, 2 end (right/bottom).
//
// The four arrangements share one frame: unless the container is frozen its children
// are frozen, measured, sized with fitSize, placed, then thawed (one native move each)
// and redrawn. Sizes come from each child's preferred and maximum (layout) sizes.
// `sizes`, when given, receives the content sizes of the run.

// One row; gapX between neighbours that have a width.
void layoutRow(IContainer* container, int32_t hAlign, int32_t vAlign, int32_t gapX,
               ContentSizes* sizes = nullptr);
// One column; gapY between neighbours that have a height.
void layoutColumn(IContainer* container, int32_t hAlign, int32_t vAlign, int32_t gapY,
                  ContentSizes* sizes = nullptr);
// Rows that wrap at the inner width; only visible children with a width take room.
void layoutFlowH(IContainer* container, int32_t hAlign, int32_t vAlign, int32_t gapX, int32_t gapY,
                 ContentSizes* sizes = nullptr);
// All visible children on top of each other; hidden ones are neither measured nor moved.
void layoutPile(IContainer* container, int32_t hAlign, int32_t vAlign, ContentSizes* sizes = nullptr);

// Start offset on the main axis for the leftover room: 0, leftover / 2 or leftover
// (the last two only when leftover >= 1).
int32_t startOffset(int32_t align, int32_t leftover);
// Offset of one child of the given size across an available size.
int32_t crossOffset(int32_t align, int32_t available, int32_t size);

} // namespace s::gui::layout
