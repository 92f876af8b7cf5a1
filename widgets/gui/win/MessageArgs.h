#pragma once
#include <windows.h>
#include <windowsx.h>

#include <cstdint>

namespace s::gui::win {

// How the toolkit's widgets read message parameters: the packing rules live here only,
// so that signed coordinates, wheel deltas and pointer-sized values are read one way.
class MessageArgs {
public:
    // A mouse point packed into lParam (client or screen coordinates, signed).
    static POINT point(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
    // The wheel's signed step count of wParam: positive when turned away from the user.
    static int32_t wheelDelta(WPARAM wParam) { return GET_WHEEL_DELTA_WPARAM(wParam); }
    // The system's lines per notch, signed like the wheel's turn (0 for a delta of 0).
    static int32_t wheelLines(WPARAM wParam) {
        UINT lines = 3;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        const int32_t delta = wheelDelta(wParam);
        return delta > 0 ? static_cast<int32_t>(lines) : -static_cast<int32_t>(lines);
    }
    // A toolkit control's WM_GETDLGCODE answer (code: the default one, lParam: the message
    // asked about): every key is the control's, so that it goes up to its window, except
    // Tab, which dialog navigation keeps for moving the focus.
    static LRESULT keysWanted(LRESULT code, LPARAM lParam) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        const bool tab =
            msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && msg->wParam == VK_TAB;
        return tab ? code & ~static_cast<LRESULT>(DLGC_WANTTAB | DLGC_WANTALLKEYS) : code | DLGC_WANTALLKEYS;
    }
    // Whether a mouse message's key state holds the left button.
    static bool leftButton(WPARAM wParam) { return (wParam & MK_LBUTTON) != 0; }
    // A pointer carried whole in a pointer-sized parameter.
    template <class T>
    static T* pointer(WPARAM value) { return reinterpret_cast<T*>(value); }
    template <class T>
    static T* pointer(LPARAM value) { return reinterpret_cast<T*>(value); }
    template <class T>
    static WPARAM wparam(T* value) { return reinterpret_cast<WPARAM>(value); }
    template <class T>
    static LPARAM lparam(T* value) { return reinterpret_cast<LPARAM>(value); }
};

} // namespace s::gui::win
