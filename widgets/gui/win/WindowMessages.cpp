// Window's message handling: the frame's procedure and hooks that turn messages into
// the window's events, and the frame styles, menus, capture and keys they use.
#include "widgets/gui/win/Window.h"

#include <windowsx.h>

#include "system/monitor/IMonitor.h"
#include "system/monitor/win/Monitor.h"
#include "system/monitor/win/Monitors.h"
#include "system/time/Clock.h"
#include "widgets/gui/IMenuEx.h"
#include "widgets/gui/IPopupMenu.h"
#include "widgets/gui/IWindowState.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/MessageBoxW.h"
#include "widgets/gui/win/ScreenPlacement.h"

namespace s::gui::win {

namespace {

// WM_SIZING's WMSZ_* codes as the window's own edge numbers.
int32_t edgeOfSizing(WPARAM wmsz) {
    switch (wmsz) {
    case WMSZ_LEFT: return IWindow::EDGE_LEFT;
    case WMSZ_RIGHT: return IWindow::EDGE_RIGHT;
    case WMSZ_TOP: return IWindow::EDGE_TOP;
    case WMSZ_BOTTOM: return IWindow::EDGE_BOTTOM;
    case WMSZ_TOPLEFT: return IWindow::EDGE_TOP_LEFT;
    case WMSZ_TOPRIGHT: return IWindow::EDGE_TOP_RIGHT;
    case WMSZ_BOTTOMLEFT: return IWindow::EDGE_BOTTOM_LEFT;
    case WMSZ_BOTTOMRIGHT: return IWindow::EDGE_BOTTOM_RIGHT;
    default: return IWindow::EDGE_NONE;
    }
}

// Whether a non-client mouse message's screen point lies in the client area.
bool clientAreaHas(HWND frame, LPARAM lParam) {
    POINT point = MessageArgs::point(lParam);
    RECT client;
    return ScreenToClient(frame, &point) && GetClientRect(frame, &client) && PtInRect(&client, point);
}

// The first shown owner-drawn menu bar among the container's descendants, or null.
HWND menuBarIn(const IComponent* container) {
    for (int32_t i = 0; i < container->getChildCount(); ++i) {
        const IComponent* child = container->getChildAt(i);
        if (child == nullptr || !child->isVisible()) {
            continue;
        }
        if (dynamic_cast<const IMenuEx*>(child) != nullptr) {
            return child->getNativeHandle();
        }
        if (HWND inner = menuBarIn(child)) {
            return inner;
        }
    }
    return nullptr;
}

} // namespace

// Frame styles, menus, capture, focus ------------------------------------------------------

void Window::setFrameStyle(DWORD style, DWORD exStyle, bool on) {
    if (m_hWnd == nullptr) {
        return;
    }
    if (style != 0) {
        ModifyStyle(on ? 0 : style, on ? style : 0, SWP_FRAMECHANGED);
    }
    if (exStyle != 0) {
        ModifyStyleEx(on ? 0 : exStyle, on ? exStyle : 0, SWP_FRAMECHANGED);
    }
}

void Window::setResizable(bool on) {
    setFrameStyle(WS_THICKFRAME, 0, on);
    frame_.setResizeByFrame(on);
}

void Window::setMenuBar(IPopupMenu* menu) {
    if (menu == menuBar_) {
        return;
    }
    if (menuBar_ != nullptr) {
        menuBar_->removeCommandListener(this);
    }
    menuBar_ = menu;
    if (menu != nullptr) {
        menu->addCommandListener(this);
    }
    if (m_hWnd != nullptr) {
        // SetMenu belongs to the frame's thread.
        SendMessage(MSG_SET_MENU_BAR, 0, reinterpret_cast<LPARAM>(menu != nullptr ? menu->getNativeMenu() : nullptr));
    }
}

bool Window::onMenuCommand(int32_t commandId) {
    for (IPopupMenu* menu : {menuBar_, trayMenu_, contextMenu_}) {
        if (menu != nullptr && menu->ownsCommand(commandId)) {
            menu->runCommand(commandId);
            return true;
        }
    }
    return false;
}

void Window::onRightButtonDown() {
    fire(ON_RIGHT_DOWN, RIGHT_DOWN);
    if (contextMenu_ == nullptr) {
        return;
    }
    fire(ON_CONTEXT_MENU, CONTEXT_MENU);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    if (const int32_t command = contextMenu_->openAt(cursor.x, cursor.y, this)) {
        contextMenu_->runCommand(command);
    }
}

void Window::captureMouse() {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_CAPTURE_MOUSE);
    }
}

void Window::endCapture() {
    // A click ends a capture the window asked for (WM_CAPTURECHANGED tells the listeners).
    if (capturing_ != 0 && GetCapture() == m_hWnd) {
        ReleaseCapture();
    }
}

void Window::onCaptureChanged() {
    if (capturing_ == 0) {
        return;
    }
    GetCursorPos(&captureEnd_);
    capturing_ = 0;
    if (GetCapture() == m_hWnd) {
        ReleaseCapture();
    }
    fire(ON_CAPTURE, CAPTURE_ENDED);
}

void Window::sendTab(bool backwards) {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_SEND_TAB, backwards ? 1 : 0);
    }
}

void Window::enforceMinimumSize() {
    const int32_t width = getWidth();
    const int32_t height = getHeight();
    const int32_t leastWidth = getPreferredWidth();
    const int32_t leastHeight = getPreferredHeight();
    if (width < leastWidth || height < leastHeight) {
        setSize(width < leastWidth ? leastWidth : width, height < leastHeight ? leastHeight : height);
    }
}

void Window::applyMinimumRules(RECT* rect) const {
    const int32_t leastWidth = minimumWidthRule_ != 0 ? getPreferredWidth() : 0;
    const int32_t leastHeight = minimumHeightRule_ != 0 ? getPreferredHeight() : 0;
    if (rect->right - rect->left < leastWidth) {
        if (sizingEdge_ == EDGE_LEFT || sizingEdge_ == EDGE_TOP_LEFT || sizingEdge_ == EDGE_BOTTOM_LEFT) {
            rect->left = rect->right - leastWidth;
        } else {
            rect->right = rect->left + leastWidth;
        }
    }
    if (rect->bottom - rect->top < leastHeight) {
        if (sizingEdge_ == EDGE_TOP || sizingEdge_ == EDGE_TOP_LEFT || sizingEdge_ == EDGE_TOP_RIGHT) {
            rect->top = rect->bottom - leastHeight;
        } else {
            rect->bottom = rect->top + leastHeight;
        }
    }
}

LRESULT Window::onKeyDown(WPARAM key, LPARAM lParam) {
    lastKey_ = static_cast<int32_t>(key);
    fire(ON_KEY, KEY);
    if (key == VK_RETURN) {
        return 0;
    }
    CWnd::WindowProc(WM_KEYDOWN, key, lParam);
    // Children hand their keys up first: 0 tells them the window took the key (Enter
    // only), anything else that it goes on to the control.
    return 1;
}

// Messages -------------------------------------------------------------------------------

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (preHook(&result, message, wParam, lParam)) {
        return result;
    }
    result = CWnd::WindowProc(message, wParam, lParam);
    postHook(&result, message, wParam, lParam);
    return result;
}

bool Window::onMouseWheel(WPARAM wParam, LPARAM lParam) {
    const int32_t x = GET_X_LPARAM(lParam);
    const int32_t y = GET_Y_LPARAM(lParam);
    for (int32_t i = 0; i < children_.count(); ++i) {
        IComponent* child = children_.at(i);
        if (!child->isContainer() || !child->isVisible() || !child->contains(x, y)) {
            continue;
        }
        CWnd* native = dynamic_cast<CWnd*>(child);
        if (native != nullptr && native->m_hWnd != nullptr && native->SendMessage(WM_MOUSEWHEEL, wParam, lParam) == 0) {
            return true;
        }
    }
    if (lists_[ON_WHEEL].count() > 0) {
        UINT lines = 3;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        wheelDelta_ = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? static_cast<int32_t>(lines) : -static_cast<int32_t>(lines);
        fire(ON_WHEEL, WHEEL);
    }
    return true;
}

void Window::onSizing(WPARAM wParam, LPARAM lParam) {
    RECT* proposed = reinterpret_cast<RECT*>(lParam);
    sizingEdge_ = edgeOfSizing(wParam);
    sizingRect_ = *proposed;
    const int32_t height = sizingRect_.bottom - sizingRect_.top;
    if (auto* monitor = s::system::monitor::win::monitorFromRect(
            sizingRect_.left, sizingRect_.top, sizingRect_.right - sizingRect_.left, height)) {
        const int32_t limit = monitor->height();
        if (limit > 0 && height > limit) {
            if (sizingEdge_ == EDGE_BOTTOM || sizingEdge_ == EDGE_BOTTOM_LEFT || sizingEdge_ == EDGE_BOTTOM_RIGHT) {
                sizingRect_.bottom = sizingRect_.top + limit;
            } else {
                sizingRect_.top = sizingRect_.bottom - limit;
            }
        }
    }
    fire(ON_SIZING, SIZING);
    applyMinimumRules(&sizingRect_);
    *proposed = sizingRect_;
}

bool Window::preHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) {
    *result = 0;
    if (extrasHook(result, message, wParam, lParam)) {
        return true;
    }
    *result = 0;
    switch (message) {
    case WM_CANCELMODE:
        // Sent before the window is disabled, while the control still has the keyboard.
        keepFocusForReturn();
        return false;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            keepFocusForReturn();
            fire(ON_DEACTIVATE, DEACTIVATED);
            if (active_ != 0) {
                deactivatedAt_ = s::time::currentTimeMillis();
                active_ = 0;
            }
        } else {
            // Shown without taking the activation the frame has just got.
            invisible_.Show(SW_SHOWNA);
            fire(ON_ACTIVATE, ACTIVATED);
            active_ = 1;
            deactivatedAt_ = 0;
        }
        return false;
    case WM_CLOSE:
        return onClose();
    case WM_ENDSESSION:
        onEndSession(wParam, lParam);
        return false;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE && closeToTray_ != 0 && inTray_ == 0) {
            minimizeToTray();
            return true;
        }
        // Alt or F10 alone: the keyboard's road into an owner-drawn menu bar.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && menuBar_ == nullptr) {
            if (HWND bar = menuBarIn(this)) {
                ::SendMessageW(bar, PM_MENU_BY_KEYBOARD, 0, 0);
                return true;
            }
        }
        return false;
    case TrayIcon::CALLBACK_MESSAGE:
        onTrayNotice(lParam);
        return true;
    case WM_KEYDOWN:
        *result = onKeyDown(wParam, lParam);
        return true;
    case WM_COMMAND:
        // A menu's command (no control, notification 0).
        return HIWORD(wParam) == 0 && lParam == 0 && onMenuCommand(LOWORD(wParam));
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        fire(ON_LEFT_DOWN, LEFT_DOWN);
        return false;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        fire(ON_LEFT_UP, LEFT_UP);
        endCapture();
        return false;
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
        fire(ON_DOUBLE_CLICK, DOUBLE_CLICKED);
        return passDoubleClicks_ == 0;
    case WM_MBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        fire(ON_MIDDLE, MIDDLE_DOWN);
        if (middleClick_ == MIDDLE_CLOSE) {
            close();
        } else if (middleClick_ == MIDDLE_ICONIZE) {
            minimize();
        }
        return false;
    case WM_RBUTTONDOWN:
        onRightButtonDown();
        return false;
    case WM_RBUTTONUP:
        fire(ON_RIGHT_UP, RIGHT_UP);
        endCapture();
        return false;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
        // A free spot of a window dragged by its client area answers as the caption;
        // the click is the window's all the same (not the system menu's).
        if (wParam != HTCAPTION || !clientAreaHas(m_hWnd, lParam)) {
            return false;
        }
        if (message == WM_NCRBUTTONDOWN) {
            onRightButtonDown();
        } else {
            fire(ON_RIGHT_UP, RIGHT_UP);
        }
        return true;
    case WM_GETDLGCODE:
        *result = MessageArgs::keysWanted(CWnd::WindowProc(message, wParam, lParam), lParam);
        return true;
    case WM_CAPTURECHANGED:
        onCaptureChanged();
        return false;
    case MSG_SET_MENU_BAR:
        SetMenu(reinterpret_cast<HMENU>(lParam));
        DrawMenuBar(m_hWnd);
        return true;
    case MSG_CAPTURE_MOUSE:
        capturing_ = 1;
        ::SetCapture(m_hWnd);
        return true;
    case MSG_SEND_TAB: {
        HWND focus = ::GetFocus();
        HWND next = GetNextDlgTabItem(m_hWnd, focus != nullptr && ::IsChild(m_hWnd, focus) ? focus : nullptr, wParam != 0);
        if (next != nullptr) {
            ::SetFocus(next);
        }
        return true;
    }
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        fire(ON_MOUSE_MOVE, MOUSE_MOVE);
        fader_.onHover(m_hWnd, isTopmost());
        return false;
    case WM_MOUSEWHEEL:
        return onMouseWheel(wParam, lParam);
    case WM_SIZING:
        onSizing(wParam, lParam);
        return false;
    case WM_WINDOWPOSCHANGING: {
        WINDOWPOS* position = reinterpret_cast<WINDOWPOS*>(lParam);
        RECT frame = {0, 0, 0, 0};
        GetWindowRect(&frame);
        if (keepInside_ != 0 && position != nullptr && (position->flags & SWP_NOMOVE) == 0) {
            const bool sized = (position->flags & SWP_NOSIZE) == 0;
            ScreenPlacement::keepInside(position, sized ? position->cx : frame.right - frame.left,
                                        sized ? position->cy : frame.bottom - frame.top, ScreenPlacement::keepArea());
        }
        // The listeners see where the window goes, corrected.
        const bool moves = position != nullptr && (position->flags & SWP_NOMOVE) == 0;
        moving_ = POINT{moves ? position->x : frame.left, moves ? position->y : frame.top};
        fire(ON_MOVING, MOVING);
        // A custom frame keeps its size rules to itself.
        return frame_.drawer() != nullptr;
    }
    case WM_WINDOWPOSCHANGED: {
        const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((position->flags & SWP_NOSIZE) == 0 && !IsIconic()) {
            doLayout();
        }
        return false;
    }
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND) {
            suspended_ = 1;
        } else if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMEAUTOMATIC) {
            suspended_ = 0;
        }
        return false;
    case MSG_WORKER_EVENT:
        *result = onWorkerEvent(reinterpret_cast<const WorkerEvent*>(wParam));
        return true;
    case MSG_POSTED_WORKER_EVENT: {
        WorkerEvent* copy = reinterpret_cast<WorkerEvent*>(lParam);
        *result = onWorkerEvent(copy);
        // The listeners have read the words: the text must not outlive its block.
        event_.text = nullptr;
        HeapFree(GetProcessHeap(), 0, copy);
        return true;
    }
    case MSG_RESTORE_COPY:
        // restore brings a window back from the tray as well
        if (inTray_ != 0 || IsIconic()) {
            restore();
        }
        activate(true);
        return true;
    case MSG_SHOW_INFORMATION:
        MessageBoxW::showInformationBox(reinterpret_cast<const wchar_t*>(wParam));
        return true;
    case MSG_SHOW_ERROR:
        MessageBoxW::showErrorBox(reinterpret_cast<const wchar_t*>(wParam));
        return true;
    case MSG_ASK_YES_NO:
        *result = MessageBoxW::askYesNoBox(reinterpret_cast<const wchar_t*>(wParam)) ? 1 : 0;
        return true;
    case MSG_SECOND_INSTANCE:
        fire(ON_SECOND_INSTANCE, SECOND_INSTANCE);
        return true;
    case MSG_DESTROY:
        if (invisible_.m_hWnd != nullptr) {
            invisible_.SendMessage(MSG_DESTROY);
        }
        return true;
    case MSG_ATTACH_CHILD:
        if (IComponent* child = reinterpret_cast<IComponent*>(wParam)) {
            child->setParent(this);
        }
        return true;
    case MSG_RUN:
        reinterpret_cast<void (*)(void*)>(wParam)(reinterpret_cast<void*>(lParam));
        return true;
    default:
        return false;
    }
}

void Window::onSize(WPARAM wParam) {
    switch (wParam) {
    case SIZE_RESTORED:
        if (maximized_ != 0) {
            maximized_ = 0;
            doLayout();
            // The normal size is known again.
            saveState(false);
        }
        fire(ON_RESTORE, RESTORED);
        break;
    case SIZE_MINIMIZED:
        // A maximised window stays maximised for the record (and comes back so when it
        // is closed while minimised); the flag tells a restore to normal later.
        if (stateRecord_ != nullptr) {
            if (maximized_ == 0) {
                stateRecord_->setMaximized(false);
            }
            stateRecord_->setNormalBounds(normalBounds_.left, normalBounds_.top, normalBounds_.right,
                                          normalBounds_.bottom);
        }
        break;
    case SIZE_MAXIMIZED:
        maximized_ = 1;
        doLayout();
        if (stateRecord_ != nullptr) {
            stateRecord_->setMaximized(true);
            stateRecord_->setNormalBounds(normalBounds_.left, normalBounds_.top, normalBounds_.right,
                                          normalBounds_.bottom);
        }
        break;
    default:
        break;
    }
    fire(ON_SIZE, SIZED);
}

void Window::onMoved(const WINDOWPOS* position) {
    if ((position->flags & SWP_NOMOVE) == 0) {
        fire(ON_MOVED, MOVED);
    }
    if ((position->flags & (SWP_NOSIZE | SWP_NOMOVE)) == (SWP_NOSIZE | SWP_NOMOVE) || IsZoomed() || IsIconic()) {
        return;
    }
    // Kept as x, y, width, height.
    RECT frame;
    if (GetWindowRect(&frame)) {
        normalBounds_ = RECT{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
    }
}

void Window::keepFocusForReturn() {
    HWND focus = ::GetFocus();
    if (focus != nullptr && focus != m_hWnd && ::IsChild(m_hWnd, focus)) {
        focusBack_ = focus;
    }
}

void Window::giveFocusBack() {
    HWND back = focusBack_;
    focusBack_ = nullptr;
    // The default activation has just given the keyboard to the frame itself.
    if (back != nullptr && ::IsChild(m_hWnd, back) && ::IsWindowVisible(back) && ::IsWindowEnabled(back) &&
        ::GetFocus() == m_hWnd) {
        ::SetFocus(back);
    }
}

void Window::postHook(LRESULT*, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        giveFocusBack();
    } else if (message == WM_SIZE) {
        onSize(wParam);
    } else if (message == WM_WINDOWPOSCHANGED) {
        onMoved(reinterpret_cast<const WINDOWPOS*>(lParam));
    }
}

} // namespace s::gui::win
