#pragma once
#include <windows.h>

namespace s::gui::win {

// The window class of the toolkit's own windows (frames, their invisible owners,
// containers): "TaveloWindowClass", registered once per process.
constexpr wchar_t TOOLKIT_WINDOW_CLASS[] = L"TaveloWindowClass";

// Private messages sent to child controls: notifications their parent reflects back.
enum ReflectedMessage : UINT {
    REFLECT_COLOUR = 0x8003, REFLECT_CLICKED = 0x8004, REFLECT_EDIT_CHANGE = 0x8005,
    REFLECT_ITEM_CHANGED = 0x8006, REFLECT_OD_STATE_CHANGED = 0x8007, REFLECT_BEGIN_DRAG = 0x8008,
    REFLECT_END_LABEL_EDIT = 0x8009, REFLECT_SEL_CHANGE = 0x800A, REFLECT_TAB_SEL_CHANGE = 0x800B,
    REFLECT_TEXT_CHANGE = 0x800C, REFLECT_COLUMN_CLICK = 0x800D, REFLECT_CUSTOM_DRAW = 0x800E,
    REFLECT_DROP_DOWN = 0x800F, REFLECT_CLOSE_UP = 0x8010, REFLECT_HEADER_BEGIN_DRAG = 0x8011,
    REFLECT_HEADER_END_DRAG = 0x8012, REFLECT_ITEM_CHANGING = 0x8013, REFLECT_KILL_FOCUS = 0x8015,
    // An owner-drawn control's WM_DRAWITEM and WM_MEASUREITEM (wParam, lParam as the
    // parent got them).
    REFLECT_DRAW_ITEM = 0x8016, REFLECT_MEASURE_ITEM = 0x8017
};

// Registers the class; true when it is registered (also by an earlier call or another
// module). A failure is shown in a message box and reported; a later call tries again.
bool registerToolkitWindowClass();

// Tells the user that a native window could not be made: "Window Creation Failed!"
// with the caption "Error!", through the message-box seam.
void showCreationFailed(UINT icon);

// The class's procedure: hands control notifications and owner-draw requests back to the
// control that sent them, whatever toolkit container holds it, and passes everything else
// to DefWindowProcW.
LRESULT CALLBACK toolkitWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace s::gui::win
