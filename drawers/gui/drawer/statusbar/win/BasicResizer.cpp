#include "drawers/gui/drawer/statusbar/win/BasicResizer.h"

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::statusbar::win {

void BasicResizer::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left >= right || top >= bottom) {
        return;
    }
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    const int32_t s = Paint::scale();
    // Each dot's distance from the right and bottom edges at scale 1.
    const int32_t dots[6][2] = {{3, 11}, {3, 7}, {7, 7}, {3, 3}, {7, 3}, {11, 3}};
    for (const auto& dot : dots) {
        const int32_t x = w - dot[0] * s;
        const int32_t y = h - dot[1] * s;
        Paint::fill(dc, x - s, y - s, 2 * s, 2 * s, RGB(184, 181, 161));
        Paint::fill(dc, x, y, 2 * s, 2 * s, RGB(255, 255, 255));
    }
}

} // namespace s::gui::drawer::statusbar::win
