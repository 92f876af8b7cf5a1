#include "drawers/gui/drawer/groupbox/win/Thin.h"

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::groupbox::win {

int32_t Thin::captionOffset() const {
    return 9 * Paint::scale();
}

void Thin::drawFrame(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t captionLeft,
                     int32_t captionRight) {
    const int32_t t = Paint::scale() == 1 ? 2 : 4;
    const COLORREF c = color_;
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    // Lines one thickness in from each corner; nothing where the caption reaches.
    Paint::fillRect(dc, left + t, top, captionLeft - 2, top + t, c);
    Paint::fillRect(dc, captionRight + 2, top, right - t, top + t, c);
    Paint::fill(dc, left + t, bottom - t, w - 2 * t, t, c);
    Paint::fill(dc, left, top + t, t, h - 2 * t, c);
    Paint::fill(dc, right - t, top + t, t, h - 2 * t, c);
    // Corners: a square half a line in (scale 1), or a two-step stair of half-line
    // squares closing the gap between line ends.
    struct Step {
        int32_t x, y, size;
    };
    const Step one[] = {{t / 2, t / 2, t}};
    const Step two[] = {{t / 2, t / 4, t / 2}, {t / 4, t / 2, t / 2}, {t / 2, t / 2, t / 2}};
    const Step* steps = t == 2 ? one : two;
    const int32_t count = t == 2 ? 1 : 3;
    for (int32_t i = 0; i < count; ++i) {
        const Step& st = steps[i];
        Paint::fill(dc, left + st.x, top + st.y, st.size, st.size, c);
        Paint::fill(dc, right - st.x - st.size, top + st.y, st.size, st.size, c);
        Paint::fill(dc, left + st.x, bottom - st.y - st.size, st.size, st.size, c);
        Paint::fill(dc, right - st.x - st.size, bottom - st.y - st.size, st.size, st.size, c);
    }
}

} // namespace s::gui::drawer::groupbox::win
