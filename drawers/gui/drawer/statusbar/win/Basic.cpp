#include "drawers/gui/drawer/statusbar/win/Basic.h"

#include "drawers/gui/drawer/Paint.h"
#include "system/system/win/OsFacts.h"

namespace s::gui::drawer::statusbar::win {

namespace {

struct Dot {
    int32_t x, width;
    COLORREF colour;
};

void paintGradient(HDC dc, int32_t w, int32_t h) {
    const COLORREF head[5] = {RGB(149, 147, 133), RGB(191, 189, 176), RGB(215, 212, 197), RGB(232, 229, 212),
                              RGB(238, 235, 217)};
    for (int32_t y = 0; y < 5; ++y) {
        Paint::fill(dc, 0, y, w, 1, head[y]);
    }
    Paint::fill(dc, 0, 5, w, h - 10 - 5 + 1, RGB(236, 233, 216));
    Paint::fill(dc, 0, h - 9, w, 3, RGB(235, 232, 212));
    const COLORREF tail[6] = {RGB(234, 230, 211), RGB(231, 228, 209), RGB(227, 225, 205),
                              RGB(221, 219, 199), RGB(217, 214, 192), RGB(223, 220, 202)};
    for (int32_t i = 0; i < 6; ++i) {
        Paint::fill(dc, 0, h - 6 + i, w, 1, tail[i]);
    }
    // The rounded corners' shading on the first two rows, mirrored at the right.
    const Dot rows[2][5] = {
        {{0, 1, RGB(166, 164, 149)}, {1, 1, RGB(158, 155, 141)}, {2, 3, RGB(154, 151, 138)}, {5, 1, RGB(151, 149, 136)},
         {6, 1, RGB(150, 147, 134)}},
        {{0, 1, RGB(227, 228, 223)}, {1, 1, RGB(222, 223, 218)}, {2, 3, RGB(219, 220, 217)}, {5, 1, RGB(217, 218, 215)},
         {6, 1, RGB(216, 217, 214)}},
    };
    for (int32_t y = 0; y < 2 && y < h; ++y) {
        for (const Dot& dot : rows[y]) {
            Paint::fill(dc, dot.x, y, dot.width, 1, dot.colour);
            Paint::fill(dc, w - dot.x - dot.width, y, dot.width, 1, dot.colour);
        }
    }
}

} // namespace

Basic* Basic::create() {
    Basic* bar = pool();
    if (bar != nullptr) {
        bar->setShowResizer(false);
    }
    return bar;
}

int32_t Basic::preferredHeight() const {
    return 23 * Paint::scale();
}

void Basic::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left >= right || top >= bottom) {
        return;
    }
    if (gradient_ && !system::win::OsFacts::isVistaOrLater()) {
        paintGradient(dc, right - left, bottom - top);
    }
    if (showResizer_) {
        resizer_.draw(dc, left, top, right, bottom);
    }
}

} // namespace s::gui::drawer::statusbar::win
