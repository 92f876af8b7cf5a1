#pragma once
#include <windows.h>

#include <cstdint>

#include "widgets/gui/IComponent.h"

namespace s::gui::win {

// The fields every widget keeps and the default bodies of the component operations
// over them. The widget templates (Leaf, Container) forward to it; `self` is the
// widget (so that overridden operations are honoured) and `handle` its native window,
// null while the control does not exist (then nothing native happens).
class ComponentState {
public:
    // SetWindowPos flags of the three placements: move, size, both; each shows.
    static constexpr UINT MOVE_FLAGS = SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW;
    static constexpr UINT SIZE_FLAGS = SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW;
    static constexpr UINT BOUNDS_FLAGS = SWP_NOZORDER | SWP_SHOWWINDOW;
    // Where a hidden widget is parked, so that a later placement (which shows) stays unseen.
    static constexpr int32_t PARKED_X = -10000;
    static constexpr int32_t PARKED_Y = 10000;

    ComponentState() { reset(); }

    // Detached defaults: no parent, visible flag set, sizes and percents unset, white.
    void reset();

    // Placement: records, then moves the native window unless frozen (pending instead).
    void setPosition(HWND handle, int32_t x, int32_t y);
    void setSize(HWND handle, int32_t w, int32_t h);
    void setBounds(HWND handle, int32_t x, int32_t y, int32_t w, int32_t h);
    void setOffset(HWND handle, int32_t dx, int32_t dy);
    void addOffset(HWND handle, int32_t dx, int32_t dy);
    void thaw(IComponent& self);

    int32_t screenX(HWND handle) const;
    int32_t screenY(HWND handle) const;
    bool contains(const IComponent& self, int32_t screenX, int32_t screenY) const;

    int32_t innerWidth() const;
    int32_t innerHeight() const;
    int32_t preferredWidth() const { return fixedWidth >= 0 ? fixedWidth : paddingLeft + paddingRight + contentWidth; }
    int32_t preferredHeight() const { return fixedHeight >= 0 ? fixedHeight : paddingTop + paddingBottom + contentHeight; }
    int32_t contentOrFixedWidth() const { return fixedWidth >= 0 ? fixedWidth : contentWidth; }
    int32_t contentOrFixedHeight() const { return fixedHeight >= 0 ? fixedHeight : contentHeight; }
    int32_t layoutWidth() const;
    int32_t layoutHeight() const;
    void setSizeClamped(IComponent& self, int32_t w, int32_t h) const;

    bool isVisible(HWND handle) const { return visible != 0 && handle != nullptr; }
    // Visible, and so are the native window and all its parents.
    bool isOnScreen(HWND handle) const;
    void setVisible(IComponent& self, HWND handle, bool show);

    void centre(IComponent& self, bool horizontally, bool vertically) const;

    void setBackground(HWND handle, uint32_t colour, bool redraw);
    void setBackgroundInherited(HWND handle, bool redraw);
    static uint32_t effectiveBackground(const IComponent& self);
    // Each channel of the system's inactive caption text colour half-way to white.
    static uint32_t lightColour(uint32_t colour);

    void invalidateRect(HWND handle, int32_t x, int32_t y, int32_t w, int32_t h) const;
    void redrawNow(HWND handle) const;

    IWindow* window;
    IContainer* parent;
    image::win::BufferedImage* backBuffer;
    uint8_t frozen;
    uint8_t pending;
    uint8_t visible;
    uint8_t backgroundInherited;
    int32_t x, y;
    int32_t dx, dy;
    int32_t width, height;
    int32_t contentWidth, contentHeight;
    int32_t minimumWidth, minimumHeight;
    int32_t widthPercent, heightPercent;
    int32_t fixedWidth, fixedHeight;
    uint32_t background;
    int32_t paddingLeft, paddingRight, paddingTop, paddingBottom;

private:
    void move(HWND handle, UINT flags) const;
    // Whether the native window is shown and already where the move would put it.
    bool isPlaced(HWND handle, UINT flags) const;
    void place(HWND handle, UINT flags);
};

} // namespace s::gui::win
