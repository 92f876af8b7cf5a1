#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::drawer::button::win {

// The small pictures a caption beginning with "#" names ("#Play", "#Down", "#Color-..."),
// painted with solid rectangles inside the rectangle inset by the UI scale, never
// outside it. Mirror pairs ("#Left" and "#Right", ...) are exact mirrors.
class Glyphs {
public:
    // False, painting nothing, for a caption that names no glyph. A known glyph in a
    // box with no room paints nothing and still answers true.
    static bool draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* name,
                     COLORREF colour, int32_t scale);
    // The colour of a "#Color-" caption: hexadecimal digits only, padded to eight with
    // "0" on the left or cut to eight; digits 3-8 are the colour value.
    static bool parseColour(const wchar_t* name, COLORREF* colour);
    // Every glyph name, for tests and tools (null-terminated list).
    static const wchar_t* const* names();
};

} // namespace s::gui::drawer::button::win
