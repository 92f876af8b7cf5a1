#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::drawer::slider::win {

// The colours a slider's channel shows: a two-colour gradient and sweeps of hue,
// saturation or value (lightness) through HSV or HSL.
class Sweep {
public:
    // Fill types of the slider's channel.
    enum Type : int32_t {
        PLAIN = 0,
        GRADIENT = 1,
        HSV_HUE = 2,
        HSV_SATURATION = 3,
        HSV_VALUE = 4,
        HSL_HUE = 5,
        HSL_SATURATION = 6,
        HSL_LIGHTNESS = 7,
    };

    // Hue 0-359, saturation and value 0-100 (held inside those ranges).
    static COLORREF hsv(int32_t hue, int32_t saturation, int32_t value);
    // Hue 0-359, saturation and lightness 0-100 (held inside those ranges).
    static COLORREF hsl(int32_t hue, int32_t saturation, int32_t lightness);
    // The colour of column `column` of `columns` for a fill type other than PLAIN; the
    // two fixed components of a sweep are colour A's first and second bytes.
    static COLORREF column(int32_t type, int32_t column, int32_t columns, uint32_t colourA, uint32_t colourB);
    // Paints the sweep into the rectangle, one column per pixel.
    static void paint(HDC dc, const RECT& rect, int32_t type, uint32_t colourA, uint32_t colourB);
};

} // namespace s::gui::drawer::slider::win
