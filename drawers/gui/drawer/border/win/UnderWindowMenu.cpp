#include "drawers/gui/drawer/border/win/UnderWindowMenu.h"

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::border::win {

void UnderWindowMenu::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left >= right || top >= bottom) {
        return;
    }
    const int32_t w = right - left;
    Paint::fill(dc, 0, 0, w, 1, RGB(172, 168, 153));
    // The white half only where the box has room for it.
    Paint::fill(dc, 0, 1, w, bottom - top > 1 ? 1 : 0, RGB(255, 255, 255));
}

} // namespace s::gui::drawer::border::win
