#include "drawers/gui/drawer/border/win/Plain.h"

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::border::win {

void Plain::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left >= right || top >= bottom) {
        return;
    }
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    Paint::fill(dc, 0, 0, w, 1, color_);
    Paint::fill(dc, w - 1, 0, 1, h, color_);
    Paint::fill(dc, 0, h - 1, w, 1, color_);
    Paint::fill(dc, 0, 0, 1, h - 1, color_);
}

void Plain::setColor(int32_t red, int32_t green, int32_t blue) {
    color_ = Paint::colour(red, green, blue);
}

} // namespace s::gui::drawer::border::win
