#include "drawers/gui/drawer/slider/win/Sweep.h"

#include <algorithm>

#include "drawers/gui/drawer/Paint.h"

namespace s::gui::drawer::slider::win {

namespace {

int32_t held(int32_t value, int32_t low, int32_t high) {
    return std::min(std::max(value, low), high);
}

// The component a column stands for, from 0 at the first column to `top` at the last.
int32_t along(int32_t column, int32_t columns, int32_t top) {
    return columns > 1 ? static_cast<int32_t>(static_cast<int64_t>(column) * top / (columns - 1)) : 0;
}

double hueChannel(double p, double q, double t) {
    if (t < 0) {
        t += 1;
    }
    if (t >= 1) {
        t -= 1;
    }
    if (t < 1.0 / 6) {
        return p + (q - p) * 6 * t;
    }
    if (t < 0.5) {
        return q;
    }
    if (t < 2.0 / 3) {
        return p + (q - p) * (2.0 / 3 - t) * 6;
    }
    return p;
}

} // namespace

COLORREF Sweep::hsv(int32_t hue, int32_t saturation, int32_t value) {
    hue = held(hue, 0, 359);
    saturation = held(saturation, 0, 100);
    const int32_t v = held(value, 0, 100) * 255 / 100;
    if (saturation == 0) {
        return RGB(v, v, v);
    }
    const int32_t m = (100 - saturation) * v / 100;
    const int32_t part = hue % 60;
    const int32_t rising = m + (v - m) * part / 60;
    const int32_t falling = v - (v - m) * part / 60;
    switch (hue / 60) {
    case 0:
        return RGB(v, rising, m);
    case 1:
        return RGB(falling, v, m);
    case 2:
        return RGB(m, v, rising);
    case 3:
        return RGB(m, falling, v);
    case 4:
        return RGB(rising, m, v);
    default:
        return RGB(v, m, falling);
    }
}

COLORREF Sweep::hsl(int32_t hue, int32_t saturation, int32_t lightness) {
    const double h = held(hue, 0, 359) / 360.0;
    const double s = held(saturation, 0, 100) / 100.0;
    const double l = held(lightness, 0, 100) / 100.0;
    const double q = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    auto channel = [&](double t) { return static_cast<int32_t>(hueChannel(p, q, t) * 255); };
    return RGB(channel(h + 1.0 / 3), channel(h), channel(h - 1.0 / 3));
}

COLORREF Sweep::column(int32_t type, int32_t column, int32_t columns, uint32_t colourA, uint32_t colourB) {
    const int32_t first = colourA & 0xFF;
    const int32_t second = (colourA >> 8) & 0xFF;
    switch (type) {
    case GRADIENT: {
        auto mix = [&](int32_t a, int32_t b) { return a + (b - a) * along(column, columns, 1000) / 1000; };
        return RGB(mix(GetRValue(colourA), GetRValue(colourB)), mix(GetGValue(colourA), GetGValue(colourB)),
                   mix(GetBValue(colourA), GetBValue(colourB)));
    }
    case HSV_HUE:
        return hsv(along(column, columns, 359), first, second);
    case HSV_SATURATION:
        return hsv(first, along(column, columns, 100), second);
    case HSV_VALUE:
        return hsv(first, second, along(column, columns, 100));
    case HSL_HUE:
        return hsl(along(column, columns, 359), first, second);
    case HSL_SATURATION:
        return hsl(first, along(column, columns, 100), second);
    case HSL_LIGHTNESS:
        return hsl(first, second, along(column, columns, 100));
    default:
        return colourA & 0xFFFFFF;
    }
}

void Sweep::paint(HDC dc, const RECT& rect, int32_t type, uint32_t colourA, uint32_t colourB) {
    const int32_t columns = rect.right - rect.left;
    for (int32_t x = 0; x < columns; ++x) {
        Paint::fill(dc, rect.left + x, rect.top, 1, rect.bottom - rect.top, column(type, x, columns, colourA, colourB));
    }
}

} // namespace s::gui::drawer::slider::win
