#pragma once
#include <windows.h>

#include "widgets/gui/win/PrivateMessages.h"

namespace s::gui::win {

// The window class of the toolkit's own windows (frames, their invisible owners,
// containers): "TaveloWindowClass", registered once per process.
constexpr wchar_t TOOLKIT_WINDOW_CLASS[] = L"TaveloWindowClass";

// Notifications a parent reflects back to the control that sent them (the numbers are
// in PrivateMessages.h).
enum ReflectedMessage : UINT {
    REFLECT_COLOUR = PM_REFLECT_COLOUR, REFLECT_CLICKED = PM_REFLECT_CLICKED,
    REFLECT_EDIT_CHANGE = PM_REFLECT_EDIT_CHANGE, REFLECT_ITEM_CHANGED = PM_REFLECT_ITEM_CHANGED,
    REFLECT_OD_STATE_CHANGED = PM_REFLECT_OD_STATE_CHANGED, REFLECT_BEGIN_DRAG = PM_REFLECT_BEGIN_DRAG,
    REFLECT_END_LABEL_EDIT = PM_REFLECT_END_LABEL_EDIT, REFLECT_SEL_CHANGE = PM_REFLECT_SEL_CHANGE,
    REFLECT_TAB_SEL_CHANGE = PM_REFLECT_TAB_SEL_CHANGE, REFLECT_TEXT_CHANGE = PM_REFLECT_TEXT_CHANGE,
    REFLECT_COLUMN_CLICK = PM_REFLECT_COLUMN_CLICK, REFLECT_CUSTOM_DRAW = PM_REFLECT_CUSTOM_DRAW,
    REFLECT_DROP_DOWN = PM_REFLECT_DROP_DOWN, REFLECT_CLOSE_UP = PM_REFLECT_CLOSE_UP,
    REFLECT_HEADER_BEGIN_DRAG = PM_REFLECT_HEADER_BEGIN_DRAG, REFLECT_HEADER_END_DRAG = PM_REFLECT_HEADER_END_DRAG,
    REFLECT_ITEM_CHANGING = PM_REFLECT_ITEM_CHANGING, REFLECT_KILL_FOCUS = PM_REFLECT_KILL_FOCUS,
    REFLECT_DRAW_ITEM = PM_REFLECT_DRAW_ITEM, REFLECT_MEASURE_ITEM = PM_REFLECT_MEASURE_ITEM
};

// Registers the class; true when it is registered (also by an earlier call or another
// module). A failure is shown in a message box and reported; a later call tries again.
bool registerToolkitWindowClass();

// Tells the user that a native window could not be made: "Window Creation Failed!"
// with the caption "Error!", through the message-box seam.
void showCreationFailed(UINT icon);

// The class's procedure: hands control notifications back to the control that sent them
// and passes everything else to DefWindowProcW.
LRESULT CALLBACK toolkitWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace s::gui::win
