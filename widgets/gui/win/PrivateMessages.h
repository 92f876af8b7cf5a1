#pragma once
#include <windows.h>

namespace s::gui::win {

// Every private message of the toolkit, each number once, with what it carries. Classes
// name the ones they handle after their own kind; the numbers live only here.
// Unless said otherwise a message is sent (the sender waits) and answers 0.
enum PrivateMessage : UINT {
    // To a top-level frame (the numbers other programs and the shell know are fixed).
    // wParam: a Window::WorkerEvent; answers the result word the listeners set.
    PM_WORKER_EVENT = WM_USER + 1,
    // From the shell: the tray icon's notice, lParam the mouse message.
    PM_TRAY_NOTICE = WM_USER + 2,
    // From another running copy: bring the window back and to the front.
    PM_RESTORE_COPY = WM_USER + 3,
    // wParam: the text of an information, error or yes/no box; yes/no answers 1 for Yes.
    PM_SHOW_INFORMATION = WM_USER + 4,
    PM_SHOW_ERROR = WM_USER + 5,
    PM_ASK_YES_NO = WM_USER + 6,
    // From another running copy: it was started again.
    PM_SECOND_INSTANCE = WM_USER + 7,
    // wParam: a HotKeys::Request; answers 1 when registered.
    PM_REGISTER_HOT_KEY = WM_USER + 12,
    // wParam: the hot key's name.
    PM_UNREGISTER_HOT_KEY = WM_USER + 13,
    PM_UNREGISTER_ALL_HOT_KEYS = WM_USER + 14,
    // wParam: the id, lParam: milliseconds; answers 1 when the timer runs.
    PM_SET_TIMER = WM_USER + 20,
    // wParam: the id.
    PM_KILL_TIMER = WM_USER + 21,
    // To a Box: its URL drop target took a drop (the text is the target's).
    PM_URL_DROPPED = WM_USER + 22,

    // To any toolkit window: destroy it on its own thread (a frame passes it on to its
    // invisible owner, whose destruction takes the frame along).
    PM_DESTROY = WM_APP + 1,
    // To a frame or container: wParam is a child component to attach on this thread.
    PM_ATTACH_CHILD = WM_APP + 2,
    // Reflected to a control by its parent (wParam and lParam as the parent got them):
    // colour request (answers the brush), clicked, edit change, list-view item changed,
    // owner-draw state changed, begin drag, end label edit, selection change, tab
    // selection change, text change, column click, custom draw, drop down, close up,
    // header begin and end drag, item changing, focus lost, WM_DRAWITEM, WM_MEASUREITEM.
    PM_REFLECT_COLOUR = 0x8003,
    PM_REFLECT_CLICKED = 0x8004,
    PM_REFLECT_EDIT_CHANGE = 0x8005,
    PM_REFLECT_ITEM_CHANGED = 0x8006,
    PM_REFLECT_OD_STATE_CHANGED = 0x8007,
    PM_REFLECT_BEGIN_DRAG = 0x8008,
    PM_REFLECT_END_LABEL_EDIT = 0x8009,
    PM_REFLECT_SEL_CHANGE = 0x800A,
    PM_REFLECT_TAB_SEL_CHANGE = 0x800B,
    PM_REFLECT_TEXT_CHANGE = 0x800C,
    PM_REFLECT_COLUMN_CLICK = 0x800D,
    PM_REFLECT_CUSTOM_DRAW = 0x800E,
    PM_REFLECT_DROP_DOWN = 0x800F,
    PM_REFLECT_CLOSE_UP = 0x8010,
    PM_REFLECT_HEADER_BEGIN_DRAG = 0x8011,
    PM_REFLECT_HEADER_END_DRAG = 0x8012,
    PM_REFLECT_ITEM_CHANGING = 0x8013,
    PM_REFLECT_KILL_FOCUS = 0x8015,
    PM_REFLECT_DRAW_ITEM = 0x8016,
    PM_REFLECT_MEASURE_ITEM = 0x8017,

    // Thread message to a UI thread's pump (no window): lParam is the window to give back.
    PM_RELEASE_WINDOW = WM_APP + 0x3F01,
    // To a frame: lParam is a copy of a worker event the handler frees.
    PM_POSTED_WORKER_EVENT = WM_APP + 0x3F02,
    // To a frame: wParam 1 / 0 joins or leaves the clipboard viewer chain.
    PM_CLIPBOARD_VIEWER = WM_APP + 0x3F03,
    // To a frame: wParam 1 / 0 starts or stops following the cursor.
    PM_FOLLOW_CURSOR = WM_APP + 0x3F04,
    // To a frame: lParam is the HMENU to show as the menu bar (null: none).
    PM_SET_MENU_BAR = WM_APP + 0x3F05,
    // To a frame: take the mouse capture on the frame's thread.
    PM_CAPTURE_MOUSE = WM_APP + 0x3F06,
    // To a frame: move the focus to the next control (wParam 1: the previous one).
    PM_SEND_TAB = WM_APP + 0x3F07,
    // To a frame: wParam is a void (*)(void*) to call on the frame's thread with lParam.
    PM_RUN = WM_APP + 0x3F08,
    // To a Box: wParam 1 / 0 makes or drops its URL drop target.
    PM_ACCEPT_URLS = WM_APP + 0x3F10,
    // To a menu bar: end the open pop-up.
    PM_END_MENU = WM_APP + 0x3F11,
    // To a menu bar: open its first menu for the keyboard (Alt or F10 on its window).
    PM_MENU_BY_KEYBOARD = WM_APP + 0x3F14,
    // To a Label: wParam the text, lParam the redraw flag; answers 1 when the text changed.
    PM_LABEL_SET_TEXT = WM_APP + 0x3F12,
    // To a Label: wParam the temporary text, lParam milliseconds.
    PM_LABEL_TEMPORARY_TEXT = WM_APP + 0x3F13,
    // To an Image: start or stop its animation timer.
    PM_IMAGE_START_TIMER = WM_APP + 0x3F20,
    PM_IMAGE_STOP_TIMER = WM_APP + 0x3F21,
    // To a Button: set or clear the default-button style.
    PM_BUTTON_MAKE_DEFAULT = WM_APP + 0x3F30,
    PM_BUTTON_CLEAR_DEFAULT = WM_APP + 0x3F31,
    // To a Button or a TextField: take the keyboard focus (a text field also selects all).
    PM_BUTTON_FOCUS = WM_APP + 0x3F32,
    PM_TEXT_FOCUS_AND_SELECT_ALL = WM_APP + 0x3F33
};

} // namespace s::gui::win
