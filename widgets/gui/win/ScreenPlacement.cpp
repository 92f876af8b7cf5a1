#include "widgets/gui/win/ScreenPlacement.h"

#include "system/monitor/win/Monitors.h"

namespace s::gui::win {

namespace {

int32_t overlap(int32_t start, int32_t end, int32_t areaStart, int32_t areaEnd) {
    const int32_t from = start > areaStart ? start : areaStart;
    const int32_t to = end < areaEnd ? end : areaEnd;
    return to - from;
}

} // namespace

RECT ScreenPlacement::virtualScreen() {
    const int32_t x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int32_t y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

RECT ScreenPlacement::keepArea() {
    if (s::system::monitor::win::monitorCount() >= 2) {
        return virtualScreen();
    }
    using namespace s::system::monitor::win;
    const int32_t x = workAreaLeft();
    const int32_t y = workAreaTop();
    return RECT{x, y, x + workAreaWidth(), y + workAreaHeight()};
}

bool ScreenPlacement::keepInside(WINDOWPOS* position, int32_t width, int32_t height, const RECT& area) {
    int32_t x = position->x;
    int32_t y = position->y;
    if (x + width > area.right) {
        x = area.right - width;
    }
    if (y + height > area.bottom) {
        y = area.bottom - height;
    }
    if (x < area.left) {
        x = area.left;
    }
    if (y < area.top) {
        y = area.top;
    }
    if (x == position->x && y == position->y) {
        return false;
    }
    position->x = x;
    position->y = y;
    position->flags &= ~static_cast<UINT>(SWP_NOMOVE);
    return true;
}

bool ScreenPlacement::isOnScreen(const RECT& window, const RECT& screen) {
    if (window.right - window.left <= 10 || window.bottom - window.top <= 10) {
        return false;
    }
    return overlap(window.left, window.right, screen.left, screen.right) >= 10 &&
           overlap(window.top, window.bottom, screen.top, screen.bottom) >= 10;
}

POINT ScreenPlacement::onScreenPosition(const RECT& window, const RECT& screen) {
    WINDOWPOS position = {};
    position.x = window.left;
    position.y = window.top;
    keepInside(&position, window.right - window.left, window.bottom - window.top, screen);
    return POINT{position.x, position.y};
}

} // namespace s::gui::win
