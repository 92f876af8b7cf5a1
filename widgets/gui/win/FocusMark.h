#pragma once

#include <windows.h>

namespace s::gui::win {

// The dotted keyboard-focus mark of a control that paints itself through a drawer: the
// drawers know nothing of focus, so the control adds the mark over what they painted.
class FocusMark {
public:
    // Draws the mark around area when window has the keyboard focus.
    static void draw(HWND window, HDC dc, const RECT& area);
    // Repaints window when it gains or loses the focus (message is the one it received).
    static void follow(HWND window, UINT message);
};

} // namespace s::gui::win
