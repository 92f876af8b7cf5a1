#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui::drawer {

// The three-dimensional frame that buttons, sliders and scroll bars use, painted at the
// rectangle's own coordinates.
class IBorder : public base::IObject, public thread::IPoolable {
public:
    // style: 0 hot, 1 raised, 2 pressed, 3 raised without the bottom edge;
    // corners: 0 square, 1 small, 2 large.
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t style, int32_t corners,
                      int32_t red, int32_t green, int32_t blue) = 0;
    // Off: every edge in the given colour instead of lighter and darker shades.
    virtual void setShaded(bool shaded) = 0;
};

} // namespace s::gui::drawer
