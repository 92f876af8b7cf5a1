#pragma once
#include <windows.h>

#include <cstdint>

#include "drawers/gui/drawer/IDrawer.h"

namespace s::gui::drawer {

// Frame drawer of a top-level window: draw (from IDrawer) paints background and frame,
// createRegion gives the region that clips the window (the caller owns it).
class IWindow : public IDrawer {
public:
    virtual HRGN createRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual uint32_t getBackgroundColor() const = 0;
    virtual uint8_t getBackgroundRed() const = 0;
    virtual uint8_t getBackgroundGreen() const = 0;
    virtual uint8_t getBackgroundBlue() const = 0;
    // Also makes the background opaque.
    virtual void setBackgroundColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual uint8_t getFrameRed() const = 0;
    virtual uint8_t getFrameGreen() const = 0;
    virtual uint8_t getFrameBlue() const = 0;
    virtual void setFrameColor(int32_t red, int32_t green, int32_t blue) = 0;
    // Corner kinds: 0 square, 1 small rounding, 2 large rounding.
    virtual void setTopCorners(int32_t kind) = 0;
    virtual void setBottomCorners(int32_t kind) = 0;
};

} // namespace s::gui::drawer
