#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::win {

// Where a top-level window may stand: kept inside the screen while it moves, and
// brought back when too little of it can be seen.
class ScreenPlacement {
public:
    // The virtual screen, or with fewer than 2 monitors the primary work area.
    static RECT keepArea();
    static RECT virtualScreen();
    // Pushes a position change of a width x height window into area: left or up so that
    // the right and bottom edges stay inside, then right or down for the left and top
    // edges. SWP_NOMOVE is cleared when the position changes. True when it did.
    static bool keepInside(WINDOWPOS* position, int32_t width, int32_t height, const RECT& area);
    // False for a window of 10 pixels or less either way, or with fewer than 10 pixels
    // inside the screen horizontally or vertically.
    static bool isOnScreen(const RECT& window, const RECT& screen);
    // The top-left corner that brings the whole window into the screen (as far as it fits).
    static POINT onScreenPosition(const RECT& window, const RECT& screen);
};

} // namespace s::gui::win
