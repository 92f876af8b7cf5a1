#include "widgets/gui/win/ToolkitWindowClass.h"

#include <commctrl.h>

#include <atomic>

#include "framework/AfxMessageBox.h"
#include "widgets/gui/win/ScaledMenu.h"

namespace s::gui::win {

namespace {

std::atomic<bool> g_registered{false};

// The reflected message of a WM_COMMAND notification code, 0 for codes not reflected.
UINT commandReflection(UINT code) {
    switch (code) {
    case BN_CLICKED: return REFLECT_CLICKED;            // 0
    case CBN_SELCHANGE: return REFLECT_SEL_CHANGE;      // 1
    case CBN_EDITCHANGE: return REFLECT_EDIT_CHANGE;    // 5, also BN_DOUBLECLICKED
    case CBN_DROPDOWN: return REFLECT_DROP_DOWN;        // 7
    case CBN_CLOSEUP: return REFLECT_CLOSE_UP;          // 8
    case EN_KILLFOCUS: return REFLECT_KILL_FOCUS;       // 0x200
    case EN_CHANGE: return REFLECT_TEXT_CHANGE;         // 0x300
    default: return 0;
    }
}

// The reflected message of a WM_NOTIFY code, 0 for codes not reflected.
UINT notifyReflection(UINT code) {
    switch (code) {
    case LVN_ITEMCHANGING: return REFLECT_ITEM_CHANGING;      // -100
    case LVN_ITEMCHANGED: return REFLECT_ITEM_CHANGED;        // -101
    case LVN_COLUMNCLICK: return REFLECT_COLUMN_CLICK;        // -108
    case LVN_BEGINDRAG: return REFLECT_BEGIN_DRAG;            // -109
    case LVN_ODSTATECHANGED: return REFLECT_OD_STATE_CHANGED; // -115
    case LVN_ENDLABELEDITW: return REFLECT_END_LABEL_EDIT;    // -176
    case HDN_BEGINDRAG: return REFLECT_HEADER_BEGIN_DRAG;     // -310
    case HDN_ENDDRAG: return REFLECT_HEADER_END_DRAG;         // -311
    case TCN_SELCHANGE: return REFLECT_TAB_SEL_CHANGE;        // -551
    case NM_CUSTOMDRAW: return REFLECT_CUSTOM_DRAW;           // -12
    default: return 0;
    }
}

} // namespace

bool registerToolkitWindowClass() {
    if (g_registered.load()) {
        return true;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = &toolkitWndProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = TOOLKIT_WINDOW_CLASS;
    // Two UI threads may race here; the second one finds the class made by the first.
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        AfxShowMessageBox(nullptr, L"Window Registration Failed!", L"Error!", MB_ICONWARNING);
        return false;
    }
    g_registered.store(true);
    return true;
}

void showCreationFailed(UINT icon) {
    AfxShowMessageBox(nullptr, L"Window Creation Failed!", L"Error!", icon);
}

LRESULT CALLBACK toolkitWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case 0x19:  // WM_CTLCOLOR of 16-bit days, still sent by some controls
        return SendMessageW(reinterpret_cast<HWND>(lParam), REFLECT_COLOUR, wParam, lParam);
    case WM_COMMAND: {
        if (lParam == 0) {
            return HIWORD(wParam) == 0 ? 0 : DefWindowProcW(hwnd, message, wParam, lParam);
        }
        const UINT reflected = commandReflection(HIWORD(wParam));
        if (reflected == 0) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        SendMessageW(reinterpret_cast<HWND>(lParam), reflected, wParam, lParam);
        return 0;
    }
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        const UINT code = header->code;
        const UINT reflected = notifyReflection(code);
        if (reflected == 0) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        const LRESULT answer = SendMessageW(header->hwndFrom, reflected, wParam, lParam);
        return code == LVN_ITEMCHANGED || code == LVN_BEGINDRAG || code == LVN_ODSTATECHANGED ? 0 : answer;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (ScaledMenu::draw(item)) {
            return TRUE;
        }
        if (item != nullptr && item->CtlType != ODT_MENU && item->hwndItem != nullptr) {
            return SendMessageW(item->hwndItem, REFLECT_DRAW_ITEM, wParam, lParam);
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    case WM_MEASUREITEM: {
        // The request names its control only by id; a combo asks while it is being made.
        MEASUREITEMSTRUCT* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (ScaledMenu::measure(item)) {
            return TRUE;
        }
        HWND control = item != nullptr && item->CtlType != ODT_MENU ? GetDlgItem(hwnd, static_cast<int>(item->CtlID))
                                                                   : nullptr;
        if (control != nullptr) {
            return SendMessageW(control, REFLECT_MEASURE_ITEM, wParam, lParam);
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    case WM_HSCROLL:
        if (lParam != 0) {
            SendMessageW(reinterpret_cast<HWND>(lParam), WM_HSCROLL, wParam, lParam);
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_INITMENU:
    case WM_LBUTTONDOWN:
        SendMessageW(hwnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_INITMENUPOPUP: {
        MENUINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIM_MENUDATA;
        if (GetMenuInfo(reinterpret_cast<HMENU>(wParam), &info)) {
            HWND bar = reinterpret_cast<HWND>(info.dwMenuData);
            if (bar != nullptr && IsWindow(bar)) {
                SendMessageW(bar, WM_INITMENUPOPUP, wParam, lParam);
            }
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    case WM_SETCURSOR:
        if (DefWindowProcW(hwnd, message, wParam, lParam) != 0) {
            return 1;
        }
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return 0;
    case PM_DESTROY:
        return DefWindowProcW(hwnd, WM_CLOSE, 0, 0);
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace s::gui::win
