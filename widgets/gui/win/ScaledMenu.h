#pragma once
#include <windows.h>

namespace s::gui::win {

// Pop-up menus drawn by the toolkit above UI scale 1: the system draws menus at one size
// whatever the scale, beside a bar and controls twice as large. Each entry carries its
// caption as item data; the owner window's class procedure hands the measure and draw
// requests here.
class ScaledMenu {
public:
    // Makes the entry at position owner-drawn with caption (kept by the caller while the
    // menu shows); separators stay the system's.
    static void prepareEntry(HMENU menu, UINT position, const wchar_t* caption);
    // Answer a menu entry's WM_MEASUREITEM / WM_DRAWITEM; false for other requests.
    static bool measure(MEASUREITEMSTRUCT* item);
    static bool draw(const DRAWITEMSTRUCT* item);
};

} // namespace s::gui::win
