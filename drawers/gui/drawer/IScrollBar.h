#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui::drawer {

// Where a scroll bar is and what it shows: its rectangle, orientation, the scrolled range,
// the visible page and the position of the page's start.
struct ScrollBarGeometry {
    RECT bounds;
    bool vertical;
    int32_t range;
    int32_t page;
    int32_t position;
};

// Paints a scroll bar (arrows, track, thumb) and maps pointer positions to its parts.
// Every skin carries one; no widget of this program takes it.
class IScrollBar : public base::IObject, public thread::IPoolable {
public:
    // Part under the point: 0 first arrow, 1 track before the thumb, 2 thumb, 3 track after,
    // 4 second arrow; -1 none.
    virtual int32_t hitTest(POINT point, const ScrollBarGeometry& geometry) = 0;
    // The position a thumb drag of offset pixels gives, clamped to 0 .. range - page.
    virtual int32_t positionFromDrag(int32_t offset, int32_t startPosition, const ScrollBarGeometry& geometry) = 0;
    virtual void draw(HDC dc, const ScrollBarGeometry& geometry) = 0;
    virtual int32_t getThickness() const = 0;
    virtual void setThickness(int32_t thickness) = 0;
    virtual void setFrameColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setBackgroundColor(int32_t red, int32_t green, int32_t blue) = 0;
};

} // namespace s::gui::drawer
