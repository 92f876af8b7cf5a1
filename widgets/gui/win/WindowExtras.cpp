// Window's extras: placement and state record, showing, tray icon, transparency, cursor
// following, hot keys, user timers, the clipboard chain and the window's picture.
#include "widgets/gui/win/Window.h"

#include <mutex>
#include <string>

#include "drawers/gui/drawer/IWindow.h"
#include "images/image/win/BufferedImage.h"
#include "images/monitor/win/ScreenCapture.h"
#include "drawers/gui/drawer/ISkinHolder.h"
#include "widgets/gui/IWindowState.h"
#include "widgets/gui/win/ScreenPlacement.h"

namespace s::gui::win {

namespace {

// The process's working set is given back whenever a window shows or hides.
std::mutex g_trimLock;

void trimWorkingSet() {
    std::lock_guard<std::mutex> hold(g_trimLock);
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

bool endsWith(const wchar_t* text, const wchar_t* tail) {
    const size_t n = wcslen(text);
    const size_t m = wcslen(tail);
    return n >= m && lstrcmpiW(text + n - m, tail) == 0;
}

} // namespace

bool Window::isTopmost() const {
    return m_hWnd != nullptr && (GetExStyle() & WS_EX_TOPMOST) != 0;
}

void Window::setFrameDrawer(drawer::IWindow* drawer, bool owned) {
    frame_.setDrawer(drawer, owned);
    if (m_hWnd == nullptr) {
        return;
    }
    RECT frame;
    GetWindowRect(&frame);
    HRGN region = drawer != nullptr ? drawer->createRegion(0, 0, frame.right - frame.left, frame.bottom - frame.top)
                                    : nullptr;
    SetRegion(region, true);
    SetPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Window::show(bool showIt, bool activateIt) {
    state_.visible = showIt ? 1 : 0;
    if (m_hWnd == nullptr) {
        return;
    }
    if (showIt) {
        if (IsVisible()) {
            return;
        }
        if (followCursor_ != 0) {
            followCursorStep();
        }
        if (activateIt && (GetExStyle() & WS_EX_APPWINDOW) != 0) {
            // Through the taskbar's own road, which brings the window to the front.
            minimize();
            restore();
        }
        if (!IsZoomed() && stateRecord_ != nullptr) {
            if (stateRecord_->maximized()) {
                maximize();
            } else if (checkPosition_ != 0 && keepInside_ == 0 && followCursor_ == 0 &&
                       (!stateRecord_->hasPlacement() || !isOnScreen())) {
                centre();
            }
        }
        if (activateIt) {
            activate(true);
        }
        Show(activateIt ? SW_SHOW : SW_SHOWNA);
        Redraw(nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    } else {
        if (!IsVisible()) {
            return;
        }
        saveState(true);
        Show(SW_HIDE);
    }
    trimWorkingSet();
}

void Window::saveState(bool) {
    IWindowState* record = stateRecord_;
    if (record == nullptr || m_hWnd == nullptr || !IsVisible()) {
        return;
    }
    if (IsZoomed()) {
        if (!record->maximized()) {
            record->setMaximized(true);
        }
        return;
    }
    if (IsIconic()) {
        return;
    }
    record->setMaximized(false);
    // Not while a pop-up animation has the window at another size.
    RECT frame;
    if (fader_.isAnimating() || fader_.isShrunk() || !GetWindowRect(&frame)) {
        return;
    }
    // Only what changed, so an unchanged record is not written again.
    const int32_t width = frame.right - frame.left;
    const int32_t height = frame.bottom - frame.top;
    if (!record->hasX() || record->x() != frame.left) {
        record->setX(frame.left);
    }
    if (!record->hasY() || record->y() != frame.top) {
        record->setY(frame.top);
    }
    if (!record->hasWidth() || record->width() != width) {
        record->setWidth(width);
    }
    if (!record->hasHeight() || record->height() != height) {
        record->setHeight(height);
    }
}

void Window::applyState(IWindowState* record, bool withVersion) {
    stateRecord_ = record;
    if (record == nullptr) {
        return;
    }
    const int32_t defaultWidth = record->defaultWidth();
    const int32_t defaultHeight = record->defaultHeight();
    defaultWidth_ = defaultWidth;
    defaultHeight_ = defaultHeight;
    if (localizer_ == nullptr && record->localizer() != nullptr) {
        setLocalizer(record->localizer());
    }
    const int32_t title = record->titleTextBase();
    if (title != -1) {
        setTitleTextId(title, withVersion ? title + IWindowState::VERSION_TEXT : -1);
    }
    if (HICON icon = record->smallIcon()) {
        setSmallIcon(icon, false);
    }
    if (HICON icon = record->largeIcon()) {
        setLargeIcon(icon, false);
    }
    dragByClient_ = record->easyDrag() ? 1 : 0;
    setTopmost(record->keepOnTop());
    if (const wchar_t* action = record->middleClickAction()) {
        setMiddleClickAction(action);
    }
    if (drawer::ISkinHolder* holder = record->skinHolder()) {
        setSkinHolder(holder);
    }
    // A stored size the screens cannot hold gives way to the default one.
    const int32_t width = record->hasWidth() && record->widthIsValid() ? record->width() : defaultWidth;
    const int32_t height = record->hasHeight() && record->heightIsValid() ? record->height() : defaultHeight;
    if (width > 0 && height > 0) {
        if (record->hasPlacement()) {
            setBounds(record->x(), record->y(), width, height);
        } else {
            setSize(width, height);
        }
    } else if (record->hasPlacement()) {
        setPosition(record->x(), record->y());
    }
    if (!isOnScreen()) {
        centre();
    }
}

void Window::centre() {
    if (m_hWnd == nullptr) {
        return;
    }
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    RECT frame;
    if (!GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor) || !GetWindowRect(&frame)) {
        return;
    }
    const RECT& area = monitor.rcWork;
    const int32_t width = frame.right - frame.left;
    const int32_t height = frame.bottom - frame.top;
    setPosition(area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2);
}

bool Window::isOnScreen() const {
    if (checkPosition_ == 0 || m_hWnd == nullptr) {
        return true;
    }
    RECT frame;
    GetWindowRect(&frame);
    return ScreenPlacement::isOnScreen(frame, ScreenPlacement::virtualScreen());
}

void Window::moveOnScreen() {
    if (m_hWnd == nullptr) {
        return;
    }
    RECT frame;
    GetWindowRect(&frame);
    const POINT to = ScreenPlacement::onScreenPosition(frame, ScreenPlacement::virtualScreen());
    if (to.x != frame.left || to.y != frame.top) {
        setPosition(to.x, to.y);
    }
}

void Window::setTrayIcon(bool on) {
    if (m_hWnd == nullptr) {
        return;
    }
    if (on) {
        if (!tray_.isShown()) {
            tray_.add(m_hWnd, title_.c_str());
        }
    } else if (keepTrayIcon_ == 0) {
        tray_.remove(m_hWnd);
    }
}

void Window::refreshTrayIcon() {
    if (m_hWnd != nullptr) {
        tray_.modify(m_hWnd, title_.c_str(), false);
    }
}

void Window::setKeepTrayIcon(bool on) {
    keepTrayIcon_ = on ? 1 : 0;
    if (m_hWnd == nullptr) {
        return;
    }
    if (on && !tray_.isShown()) {
        tray_.add(m_hWnd, title_.c_str());
    } else if (!on && inTray_ == 0) {
        tray_.remove(m_hWnd);
    }
}

void Window::setAlpha(int32_t percent, bool onlyWhenTopmost) {
    fader_.setAlpha(m_hWnd, percent, onlyWhenTopmost, isTopmost());
}

void Window::setFollowCursor(bool on) {
    followCursor_ = on ? 1 : 0;
    if (m_hWnd != nullptr) {
        SendMessage(MSG_FOLLOW_CURSOR, on ? 1 : 0);
    }
}

void Window::followCursorStep() {
    POINT cursor;
    RECT frame;
    if (GetCursorPos(&cursor) && GetWindowRect(&frame)) {
        setPosition(cursor.x - (frame.right - frame.left) / 2, cursor.y - (frame.bottom - frame.top) / 2);
    }
}

bool Window::registerHotKey(bool alt, bool ctrl, bool shift, bool win, uint32_t virtualKey, const wchar_t* name,
                            bool showFailure) {
    if (m_hWnd == nullptr || name == nullptr) {
        return false;
    }
    unregisterHotKey(name);
    const std::wstring failure = HotKeys::failureText(alt, ctrl, shift, win, virtualKey);
    HotKeys::Request request = {HotKeys::modifiersOf(alt, ctrl, shift, win), virtualKey, name, showFailure ? 1 : 0,
                                failure.c_str()};
    return SendMessage(MSG_REGISTER_HOT_KEY, reinterpret_cast<WPARAM>(&request)) != 0;
}

void Window::unregisterHotKey(const wchar_t* name) {
    if (m_hWnd != nullptr && name != nullptr) {
        SendMessage(MSG_UNREGISTER_HOT_KEY, reinterpret_cast<WPARAM>(name));
    }
}

void Window::unregisterAllHotKeys() {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_UNREGISTER_ALL_HOT_KEYS);
    }
}

bool Window::setTimer(uint32_t id, uint32_t milliseconds) {
    if (m_hWnd == nullptr) {
        return false;
    }
    killTimer(id);
    return SendMessage(MSG_SET_TIMER, id, static_cast<LPARAM>(milliseconds)) != 0;
}

void Window::killTimer(uint32_t id) {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_KILL_TIMER, id);
    }
}

void Window::setClipboardViewer(bool on) {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_CLIPBOARD_VIEWER, on ? 1 : 0);
    }
}

void Window::joinClipboardChain(bool on) {
    if (on == (clipboardViewer_ != 0) || m_hWnd == nullptr) {
        return;
    }
    if (on) {
        clipboardViewer_ = 1;
        nextViewer_ = SetClipboardViewer(m_hWnd);
    } else {
        clipboardViewer_ = 0;
        ChangeClipboardChain(m_hWnd, nextViewer_);
        nextViewer_ = nullptr;
    }
}

bool Window::saveWindowImage(const wchar_t* path) {
    if (m_hWnd == nullptr || path == nullptr) {
        return false;
    }
    RECT frame;
    GetWindowRect(&frame);
    HWND shown = WindowFromPoint(POINT{frame.left + 1, frame.top + 1});
    if (shown == nullptr) {
        return false;
    }
    shown = GetAncestor(shown, GA_ROOT);
    image::win::BufferedImage* image = s::system::monitor::win::captureWindow(shown);
    if (image == nullptr) {
        return false;
    }
    bool saved;
    if (endsWith(path, L".png")) {
        saved = image->savePng(path, false, true, 255, 255, 255);
    } else if (endsWith(path, L".gif")) {
        saved = image->saveGif(path, 8, true, 255, 255, 255);
    } else if (endsWith(path, L".jpg") || endsWith(path, L".jpeg")) {
        saved = image->saveJpeg(path, 90, 255, 255, 255);
    } else {
        saved = image->saveBmp(path, 24, true, 255, 255, 255);
    }
    image->release();
    return saved;
}

bool Window::onTimer(UINT_PTR id) {
    if (id >= USER_TIMER_BASE) {
        timerId_ = static_cast<uint32_t>(id - USER_TIMER_BASE);
        timerHandled_ = 0;
        fire(ON_TIMER, USER_TIMER);
        return timerHandled_ != 0;
    }
    if (id == FOLLOW_TIMER) {
        followCursorStep();
        return true;
    }
    return fader_.onTimer(m_hWnd, id);
}

bool Window::extrasHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) {
    if (frame_.handleResize(m_hWnd, message, wParam, lParam, followCursor_ != 0, result)) {
        // The frame's drag: its moves and its release are heard as any other.
        if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) {
            fire(ON_MOUSE_MOVE, MOUSE_MOVE);
        } else if (message == WM_LBUTTONUP || message == WM_NCLBUTTONUP) {
            fire(ON_LEFT_UP, LEFT_UP);
        }
        return true;
    }
    if (frame_.handle(m_hWnd, message, wParam, lParam, state_.background, dragByClient_ != 0, result)) {
        return true;
    }
    *result = 0;
    switch (message) {
    case MSG_REGISTER_HOT_KEY:
        *result = hotKeys_.add(m_hWnd, *reinterpret_cast<const HotKeys::Request*>(wParam)) ? 1 : 0;
        return true;
    case MSG_UNREGISTER_HOT_KEY:
        hotKeys_.remove(m_hWnd, reinterpret_cast<const wchar_t*>(wParam));
        return true;
    case MSG_UNREGISTER_ALL_HOT_KEYS:
        hotKeys_.removeAll(m_hWnd);
        return true;
    case WM_HOTKEY:
        hotKeys_.setLastAtom(static_cast<ATOM>(wParam));
        fire(ON_HOT_KEY, HOT_KEY);
        return true;
    case MSG_SET_TIMER:
        *result = CWnd::SetTimer(wParam + USER_TIMER_BASE, static_cast<UINT>(lParam)) != 0 ? 1 : 0;
        return true;
    case MSG_KILL_TIMER:
        CWnd::KillTimer(wParam + USER_TIMER_BASE);
        return true;
    case WM_TIMER:
        return onTimer(wParam);
    case MSG_CLIPBOARD_VIEWER:
        joinClipboardChain(wParam != 0);
        return true;
    case WM_DRAWCLIPBOARD:
        fire(ON_CLIPBOARD, CLIPBOARD);
        if (nextViewer_ != nullptr) {
            ::PostMessageW(nextViewer_, message, wParam, lParam);
        }
        return true;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == nextViewer_) {
            nextViewer_ = reinterpret_cast<HWND>(lParam);
        } else if (nextViewer_ != nullptr) {
            ::PostMessageW(nextViewer_, message, wParam, lParam);
        }
        return true;
    case MSG_FOLLOW_CURSOR:
        if (wParam != 0) {
            CWnd::SetTimer(FOLLOW_TIMER, 100);
        } else {
            CWnd::KillTimer(FOLLOW_TIMER);
        }
        return true;
    case WM_SETCURSOR:
        if ((followCursor_ != 0 || hideCursor_ != 0) && IsVisible()) {
            SetCursor(nullptr);
            *result = TRUE;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace s::gui::win
