#include "drawers/gui/drawer/statusbar/win/BasicResizer.h"

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::statusbar::win {

void BasicResizer::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left >= right || top >= bottom) {
        return;
    }
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    const int32_t dots[6][2] = {{w - 3, h - 11}, {w - 3, h - 7}, {w - 7, h - 7}, {w - 3, h - 3}, {w - 7, h - 3}, {w - 11, h - 3}};
    for (const auto& dot : dots) {
        Paint::fill(dc, dot[0] - 1, dot[1] - 1, 2, 2, RGB(184, 181, 161));
        Paint::fill(dc, dot[0], dot[1], 2, 2, RGB(255, 255, 255));
    }
}

} // namespace s::gui::drawer::statusbar::win
