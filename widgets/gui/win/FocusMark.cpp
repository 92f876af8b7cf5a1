#include "widgets/gui/win/FocusMark.h"

namespace s::gui::win {

void FocusMark::draw(HWND window, HDC dc, const RECT& area) {
    if (window != nullptr && GetFocus() == window && area.right > area.left && area.bottom > area.top) {
        // DrawFocusRect draws in the DC's text and background colours.
        const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &area);
        SetTextColor(dc, text);
        SetBkColor(dc, back);
    }
}

void FocusMark::follow(HWND window, UINT message) {
    if ((message == WM_SETFOCUS || message == WM_KILLFOCUS) && window != nullptr) {
        InvalidateRect(window, nullptr, FALSE);
    }
}

} // namespace s::gui::win
