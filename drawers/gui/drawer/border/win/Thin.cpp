#include "drawers/gui/drawer/border/win/Thin.h"

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::border::win {

void Thin::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t style, int32_t corners,
                int32_t red, int32_t green, int32_t blue) {
    if (left >= right || top >= bottom || style < 0 || style > 3 || corners < 0 || corners > 2) {
        return;
    }
    const COLORREF c = Paint::colour(red, green, blue);
    auto shade = [this, c](double factor) { return shaded_ ? Paint::scaled(c, factor) : c; };
    COLORREF topColour, rightColour, bottomColour, leftColour;
    COLORREF cornerLight = 0, cornerDark = 0;
    const bool hot = style == 0;
    if (style == 2) {
        topColour = shade(0.85);
        rightColour = c;
        bottomColour = shade(1.05);
        leftColour = shade(0.9);
    } else if (hot) {
        topColour = shade(1.15);
        rightColour = shade(0.7);
        bottomColour = shade(0.5);
        leftColour = shade(1.05);
        cornerLight = shade(0.95);
        cornerDark = shade(0.45);
    } else {
        topColour = shade(1.05);
        rightColour = shade(0.9);
        bottomColour = shade(0.85);
        leftColour = c;
    }
    const bool withBottom = style != 3;
    // Square corners take lines as thick as the UI scale, the others 1 or 2 pixels.
    const int32_t t = corners == 0 ? Paint::scale() : (Paint::scale() == 1 ? 1 : 2);
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    // How far the lines stop short of each corner.
    const int32_t cut = corners * t;
    Paint::fill(dc, left + cut, top, w - 2 * cut, t, topColour);
    Paint::fill(dc, right - t, top + cut, t, h - 2 * cut, rightColour);
    if (withBottom) {
        Paint::fill(dc, left + cut, bottom - t, w - 2 * cut, t, bottomColour);
    }
    Paint::fill(dc, left, top + cut, t, h - 2 * cut, leftColour);
    if (corners == 0 || (corners == 1 && t == 1)) {
        // Square corners are the full lines; a small corner at one pixel stays open.
        return;
    }
    // One line-thick square closes each corner: half a line in for the small kind, one
    // whole line in (a two-step stair from line end to line end) for the large kind.
    // The hot look shades the top pair light and the bottom pair dark.
    const int32_t in = corners == 1 ? t / 2 : t;
    const COLORREF upper = hot ? cornerLight : topColour;
    const COLORREF lower = hot ? cornerDark : bottomColour;
    Paint::fill(dc, left + in, top + in, t, t, upper);
    Paint::fill(dc, right - t - in, top + in, t, t, upper);
    if (withBottom) {
        Paint::fill(dc, left + in, bottom - t - in, t, t, lower);
        Paint::fill(dc, right - t - in, bottom - t - in, t, t, lower);
    }
}

} // namespace s::gui::drawer::border::win
