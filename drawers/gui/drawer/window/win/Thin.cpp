#include "drawers/gui/drawer/window/win/Thin.h"

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::window::win {

namespace {

struct Run {
    int32_t x, y, width;
};

// The large rounding's stair at the top left, one-pixel high runs (plain pixels).
const Run LARGE_TOP[] = {{0, 1, 5}, {0, 2, 3}, {0, 3, 2}, {0, 4, 2}, {0, 5, 1}};
// The bottom right stair, measured from (w, h): not quite the mirror of the others.
const Run LARGE_BOTTOM_RIGHT[] = {{1, 6, 1}, {2, 5, 2}, {3, 4, 2}, {4, 3, 3}, {5, 2, 5}};

} // namespace

void Thin::reset() {
    topCorners_ = 0;
    bottomCorners_ = 0;
    transparent_ = true;
    background_ = RGB(255, 255, 255);
    frame_ = RGB(120, 120, 120);
}

void Thin::setBackgroundColor(int32_t red, int32_t green, int32_t blue) {
    background_ = Paint::colour(red, green, blue);
    transparent_ = false;
}

void Thin::setFrameColor(int32_t red, int32_t green, int32_t blue) {
    frame_ = Paint::colour(red, green, blue);
}

void Thin::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left >= right || top >= bottom) {
        return;
    }
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    if (!transparent_) {
        Paint::fill(dc, 0, 0, w, h, background_);
    }
    const bool square = topCorners_ == 0 && bottomCorners_ == 0;
    const int32_t kind = topCorners_ == 1 || bottomCorners_ == 1 ? 1 : (topCorners_ == 2 || bottomCorners_ == 2 ? 2 : -1);
    if (!square && kind < 0) {
        return;
    }
    Paint::fill(dc, 0, 0, w, 1, frame_);
    Paint::fill(dc, w - 1, 0, 1, h, frame_);
    Paint::fill(dc, 0, h - 1, w, 1, frame_);
    Paint::fill(dc, 0, 0, 1, h - 1, frame_);
    if (square) {
        return;
    }
    const bool atTop = topCorners_ == kind;
    const bool atBottom = bottomCorners_ == kind;
    if (kind == 1) {
        if (atTop) {
            Paint::fill(dc, 0, 1, 2, 1, frame_);
            Paint::fill(dc, w - 2, 1, 2, 1, frame_);
        }
        if (atBottom) {
            Paint::fill(dc, 0, h - 2, 2, 1, frame_);
            Paint::fill(dc, w - 2, h - 2, 2, 1, frame_);
        }
        return;
    }
    for (int32_t i = 0; i < 5; ++i) {
        const Run& run = LARGE_TOP[i];
        // Mirrored left to right, and top to bottom for the bottom left corner.
        if (atTop) {
            Paint::fill(dc, run.x, run.y, run.width, 1, frame_);
            Paint::fill(dc, w - run.width, run.y, run.width, 1, frame_);
        }
        if (atBottom) {
            const Run& right = LARGE_BOTTOM_RIGHT[i];
            Paint::fill(dc, run.x, h - 1 - run.y, run.width, 1, frame_);
            Paint::fill(dc, w - right.x, h - right.y, right.width, 1, frame_);
        }
    }
}

HRGN Thin::createRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (topCorners_ == 0 && bottomCorners_ == 0) {
        return ::CreateRectRgn(left, top, right + 1, bottom + 1);
    }
    int32_t kind;
    int32_t ellipse;
    int32_t strip;
    if (topCorners_ == 1 || bottomCorners_ == 1) {
        kind = 1;
        ellipse = 5;
        strip = 4;
    } else if (topCorners_ == 2 || bottomCorners_ == 2) {
        kind = 2;
        ellipse = 11;
        strip = 6;
    } else {
        return nullptr;
    }
    HRGN region = ::CreateRoundRectRgn(left, top, right + 1, bottom + 1, ellipse, ellipse);
    if (region == nullptr) {
        return nullptr;
    }
    HRGN square = nullptr;
    if (topCorners_ != kind) {
        square = ::CreateRectRgn(left, top, right + 1, top + strip);
    } else if (bottomCorners_ != kind) {
        square = ::CreateRectRgn(left, bottom - strip + 1, right + 1, bottom + 1);
    }
    if (square != nullptr) {
        ::CombineRgn(region, region, square, RGN_OR);
        ::DeleteObject(square);
    }
    return region;
}

} // namespace s::gui::drawer::window::win
