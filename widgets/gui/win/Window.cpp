#include "widgets/gui/win/Window.h"

#include <windowsx.h>

#include <mutex>
#include <string>

#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/ISkinHolder.h"
#include "drawers/gui/drawer/IWindow.h"
#include "framework/AfxMessageBox.h"
#include "framework/PumpingWait.h"
#include "images/image/win/BufferedImage.h"
#include "images/monitor/win/ScreenCapture.h"
#include "system/lang/LangPack.h"
#include "system/lang/Localizer.h"
#include "system/monitor/IMonitor.h"
#include "system/monitor/win/Monitor.h"
#include "system/monitor/win/Monitors.h"
#include "system/system/win/OsFacts.h"
#include "system/time/Clock.h"
#include "widgets/gui/IButton.h"
#include "widgets/gui/IMenuEx.h"
#include "widgets/gui/IPopupMenu.h"
#include "widgets/gui/IWindowState.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/MessageBoxW.h"
#include "widgets/gui/win/ScreenPlacement.h"
#include "widgets/gui/win/ToolkitWindowClass.h"
#include "widgets/gui/win/UIThread.h"

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

uint32_t defaultBackground() {
    return s::system::win::OsFacts::isVistaOrLater() ? GetSysColor(COLOR_BTNFACE) : RGB(240, 240, 240);
}

} // namespace

Window::Window()
    : thread_(nullptr), localizer_(nullptr), stateRecord_(nullptr), closed_(0), event_{nullptr, 0, 0, nullptr} {
    reset();
    UIThread* thread = AfxBeginThread<UIThread>(THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread == nullptr) {
        return;
    }
    thread->setWindow(this);
    thread_ = thread;
    thread->ResumeThread();
    // Until the native windows exist, or the thread has given up and ended.
    const HANDLE handles[2] = {thread->m_hThread, thread->startedEvent()};
    const DWORD count = handles[1] != nullptr ? 2 : 1;
    while (!thread->isReady() && PumpingWait(count, handles, count == 2 ? INFINITE : 10) == WAIT_TIMEOUT) {
    }
}

Window::~Window() {
    // The pool keeps no windows, so it destroys them without a reset: run it here, so
    // that children go back to their pools and no list or pack keeps this window.
    reset();
    if (m_hWnd != nullptr) {
        SendMessage(MSG_DESTROY);
    }
    Detach();
    StopUiThread();
    if (invisible_.m_hWnd != nullptr) {
        invisible_.SendMessage(MSG_DESTROY);
        invisible_.Detach();
    }
}

void Window::reset() {
    setVisible(false);
    close();
    setStatusBar(nullptr);
    resetContainer();
    // After the children: they leave the holder's listeners through their window.
    if (skinHolder_ != nullptr) {
        skinHolder_->removeListener(this);
        skinHolder_ = nullptr;
    }
    trayMenu_ = nullptr;
    // Detached first: a frame destroys the menu it shows, which its owner keeps.
    setMenuBar(nullptr);
    contextMenu_ = nullptr;
    contextValue_ = 0;
    firstValue_ = 0;
    secondValue_ = 0;
    moving_ = POINT{0, 0};
    capturing_ = 0;
    captureEnd_ = POINT{0, 0};
    minimumWidthRule_ = 0;
    minimumHeightRule_ = 0;
    closeToTray_ = 0;
    trayClickToggle_ = 0;
    trayWhileShown_ = 0;
    setIcon(ICON_SMALL, nullptr, false);
    setIcon(ICON_BIG, nullptr, false);
    for (events::ListenerList& list : lists_) {
        list.clear();
    }
    if (localizer_ != nullptr) {
        localizer_->removeListener(this);
    }
    localizer_ = nullptr;
    stateRecord_ = nullptr;
    title_.clear();
    titleId_ = -1;
    versionId_ = -1;
    closed_.store(0);
    veto_ = 0;
    shuttingDown_ = 0;
    suspended_ = 0;
    active_ = 0;
    maximized_ = 0;
    passDoubleClicks_ = 0;
    middleClick_ = MIDDLE_DO_NOTHING;
    deactivatedAt_ = 0;
    event_ = WorkerEvent{nullptr, 0, 0, nullptr};
    eventResult_ = 0;
    lastKey_ = 0;
    wheelDelta_ = 0;
    sizingEdge_ = EDGE_NONE;
    sizingRect_ = RECT{0, 0, 0, 0};
    defaultWidth_ = -1;
    defaultHeight_ = -1;
    normalBounds_ = RECT{0, 0, 0, 0};
    state_.background = defaultBackground();
    if (m_hWnd != nullptr) {
        unregisterAllHotKeys();
        setClipboardViewer(false);
        setFollowCursor(false);
        tray_.remove(m_hWnd);
        fader_.applyAlpha(m_hWnd, 100);
        SetRegion(nullptr, false);
    }
    frame_.reset();
    frame_.setResizeByFrame(false);
    fader_.reset();
    dragByClient_ = 0;
    keepInside_ = 0;
    checkPosition_ = 1;
    keepTrayIcon_ = 0;
    inTray_ = 0;
    followCursor_ = 0;
    hideCursor_ = 0;
    timerHandled_ = 0;
    clipboardViewer_ = 0;
    timerId_ = 0;
    nextViewer_ = nullptr;
}

void Window::release() {
    if (thread_ != nullptr && GetCurrentThreadId() == thread_->m_nThreadID) {
        // A handler of this window is running below us: let the pump give it back.
        thread_->PostThreadMessage(UIThread::RELEASE_WINDOW, 0, reinterpret_cast<LPARAM>(this));
        return;
    }
    releaseNow();
}

void Window::releaseNow() {
    // What needs the UI thread is done while it runs. A thread that outlives the wait may
    // still be inside a handler of this window: it takes the window and gives it back as
    // it ends.
    if (thread_ != nullptr && GetCurrentThreadId() != thread_->m_nThreadID) {
        reset();
        if (m_hWnd != nullptr) {
            SendMessage(MSG_DESTROY);
        }
        Detach();
        if (!stopUiThread(true)) {
            return;
        }
    }
    pooler().release(this);
}

DWORD Window::getUiThreadId() const {
    return thread_ != nullptr ? thread_->m_nThreadID : 0;
}

void Window::StopUiThread() {
    stopUiThread(false);
}

bool Window::stopUiThread(bool handOverWindow) {
    UIThread* thread = thread_;
    thread_ = nullptr;
    if (thread == nullptr) {
        return true;
    }
    thread->setWindow(nullptr);
    if (GetCurrentThreadId() == thread->m_nThreadID) {
        // Waiting for ourselves would never end: the pump ends after this handler and
        // the thread deletes its object on the way out.
        thread->m_bAutoDelete = TRUE;
        PostQuitMessage(0);
        return true;
    }
    // Measured on the clock, so that a test can let the limit pass at once.
    const int64_t start = s::time::currentTimeMillis();
    const auto spent = [start] { return s::time::currentTimeMillis() - start; };
    while (thread->isReady() && spent() < STOP_LIMIT_MS) {
        if (thread->PostThreadMessage(WM_QUIT, 0, 0)) {
            break;
        }
        Sleep(10);
    }
    HANDLE handle = thread->m_hThread;
    while (PumpingWait(1, &handle, 10) == WAIT_TIMEOUT) {
        if (spent() < STOP_LIMIT_MS) {
            continue;
        }
        // Never suspended: a thread stopped while it holds a lock (the heap's) would hang
        // the process later. It frees itself (and the window handed over) if it ever
        // ends; else the process end takes them.
        if (thread->adopt(handOverWindow ? this : nullptr)) {
            return false;
        }
        // Its end has begun: it is about to return.
        WaitForSingleObject(handle, INFINITE);
        break;
    }
    delete thread;
    return true;
}

bool Window::createNative() {
    if (!registerToolkitWindowClass()) {
        return false;
    }
    if (!invisible_.CreateEx(0, TOOLKIT_WINDOW_CLASS, L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr)) {
        showCreationFailed(MB_ICONWARNING);
        return false;
    }
    invisible_.Show(SW_HIDE);
    invisible_.ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    invisible_.Show(SW_HIDE);
    invisible_.Update();
    if (!createMainWindow()) {
        showCreationFailed(MB_ICONWARNING);
        return false;
    }
    Show(SW_HIDE);
    Update();
    return true;
}

bool Window::createMainWindow() {
    if (!CreateEx(WS_EX_CLIENTEDGE, TOOLKIT_WINDOW_CLASS, L"Window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                  CW_USEDEFAULT, 240, 120, invisible_.m_hWnd, nullptr)) {
        return false;
    }
    if (menuBar_ != nullptr) {
        SetMenu(menuBar_->getNativeMenu());
    }
    return true;
}

void Window::runOnUiThread(void (*fn)(void*), void* argument) {
    if (m_hWnd == nullptr || GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId()) {
        fn(argument);
    } else {
        SendMessage(MSG_RUN, reinterpret_cast<WPARAM>(fn), reinterpret_cast<LPARAM>(argument));
    }
}

void Window::attachChild(IComponent* child) {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_ATTACH_CHILD, reinterpret_cast<WPARAM>(child));
    }
}

void Window::onEvent(base::IObject* source, int32_t) {
    if (source != nullptr && lists_[ON_CLOSER].contains(dynamic_cast<events::IEventListener*>(source))) {
        close();
        return;
    }
    if (skinHolder_ != nullptr && dynamic_cast<drawer::ISkinHolder*>(source) == skinHolder_) {
        takeSkinFrame();
        drawer::ISkin* skin = skinHolder_->getCurrentSkin();
        if (stateRecord_ != nullptr && skin != nullptr) {
            stateRecord_->setSkinName(skin->getName());
        }
        return;
    }
    if (source != nullptr && source == static_cast<base::IObject*>(localizer_)) {
        if (stateRecord_ != nullptr && localizer_->current() != nullptr) {
            stateRecord_->setLanguageName(localizer_->current()->engName());
        }
        retitle();
        fire(ON_LANGUAGE, LANGUAGE);
    }
}

// Geometry -----------------------------------------------------------------------------

int32_t Window::getX() const {
    RECT rect;
    return m_hWnd != nullptr && GetWindowRect(&rect) ? rect.left : state_.x;
}

int32_t Window::getY() const {
    RECT rect;
    return m_hWnd != nullptr && GetWindowRect(&rect) ? rect.top : state_.y;
}

int32_t Window::getWidth() const {
    RECT rect;
    return m_hWnd != nullptr && GetWindowRect(&rect) ? rect.right - rect.left : state_.width;
}

int32_t Window::getHeight() const {
    RECT rect;
    return m_hWnd != nullptr && GetWindowRect(&rect) ? rect.bottom - rect.top : state_.height;
}

int32_t Window::getInnerWidth() const {
    RECT rect;
    return m_hWnd != nullptr && GetClientRect(&rect) ? rect.right : 0;
}

int32_t Window::getInnerHeight() const {
    RECT rect;
    if (m_hWnd == nullptr || !GetClientRect(&rect)) {
        return 0;
    }
    return statusBar_ != nullptr && statusBar_->isVisible() ? rect.bottom - statusBar_->getLayoutHeight() : rect.bottom;
}

void Window::setStatusBar(IComponent* bar) {
    if (bar == statusBar_) {
        return;
    }
    IComponent* previous = statusBar_;
    statusBar_ = bar;
    if (previous != nullptr) {
        previous->release();
    }
    if (bar != nullptr) {
        attachChild(bar);
    }
    doLayout();
}

void Window::doLayout() {
    Container::doLayout();
    RECT client;
    if (statusBar_ == nullptr || !statusBar_->isVisible() || m_hWnd == nullptr || !GetClientRect(&client)) {
        return;
    }
    const int32_t height = statusBar_->getLayoutHeight();
    statusBar_->setPosition(0, client.bottom - height);
    statusBar_->setSizeClamped(client.right, height);
}

int32_t Window::getBorderWidth() const {
    return getWidth() - getInnerWidth();
}

int32_t Window::getBorderHeight() const {
    return getHeight() - getInnerHeight();
}

void Window::placeFrame(int32_t x, int32_t y, int32_t w, int32_t h, UINT flags) {
    if (m_hWnd == nullptr) {
        return;
    }
    // Placing a hidden window must not show it.
    if (!IsVisible()) {
        flags &= ~SWP_SHOWWINDOW;
    }
    SetPos(nullptr, x, y, w, h, flags);
}

void Window::setPosition(int32_t x, int32_t y) {
    state_.x = x;
    state_.y = y;
    placeFrame(x, y, 0, 0, ComponentState::MOVE_FLAGS);
}

void Window::setSize(int32_t w, int32_t h) {
    state_.width = w;
    state_.height = h;
    placeFrame(0, 0, w, h, ComponentState::SIZE_FLAGS);
}

void Window::setBounds(int32_t x, int32_t y, int32_t w, int32_t h) {
    state_.x = x;
    state_.y = y;
    state_.width = w;
    state_.height = h;
    placeFrame(x, y, w, h, ComponentState::BOUNDS_FLAGS);
}

int32_t Window::getPreferredWidth() const {
    if (defaultWidth_ >= 0) {
        return defaultWidth_;
    }
    int32_t widest = 0;
    for (int32_t i = 0; i < children_.count(); ++i) {
        const int32_t w = children_.at(i)->getPreferredWidth();
        widest = w > widest ? w : widest;
    }
    return widest + getBorderWidth();
}

int32_t Window::getPreferredHeight() const {
    if (defaultHeight_ >= 0) {
        return defaultHeight_;
    }
    int32_t tallest = 0;
    for (int32_t i = 0; i < children_.count(); ++i) {
        const int32_t h = children_.at(i)->getPreferredHeight();
        tallest = h > tallest ? h : tallest;
    }
    return tallest + getBorderHeight();
}

void Window::setDefaultWidth(int32_t w) {
    defaultWidth_ = w;
    if (w >= 0) {
        setSize(w, getHeight());
    }
}

void Window::setDefaultHeight(int32_t h) {
    defaultHeight_ = h;
    if (h >= 0) {
        setSize(getWidth(), h);
    }
}

bool Window::isVisible() const {
    return m_hWnd != nullptr && IsVisible();
}

void Window::showFrame(int command) const {
    if (m_hWnd != nullptr) {
        Show(command);
    }
}

void Window::activate(bool bringToFront) {
    if (m_hWnd == nullptr) {
        return;
    }
    if (bringToFront) {
        BringToTop();
    }
    SetForeground();
}

void Window::restore() {
    if (inTray_ != 0) {
        leaveTray();
        return;
    }
    showFrame(SW_RESTORE);
}

void Window::minimizeToTray() {
    if (m_hWnd == nullptr) {
        return;
    }
    inTray_ = 1;
    if (!tray_.isShown()) {
        tray_.add(m_hWnd, title_.c_str());
    }
    show(false, false);
}

void Window::leaveTray() {
    inTray_ = 0;
    show(true, true);
    if (IsIconic()) {
        showFrame(SW_RESTORE);
    }
    if (keepTrayIcon_ == 0 && trayWhileShown_ == 0) {
        tray_.remove(m_hWnd);
    }
}

void Window::setTrayIconWhileShown(bool on) {
    trayWhileShown_ = on ? 1 : 0;
    if (m_hWnd == nullptr) {
        return;
    }
    if (on && isVisible() && !tray_.isShown()) {
        tray_.add(m_hWnd, title_.c_str());
    } else if (!on && inTray_ == 0 && keepTrayIcon_ == 0) {
        tray_.remove(m_hWnd);
    }
}

void Window::onTrayNotice(LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_MOUSEMOVE:
        if (hideCursor_ != 0) {
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        }
        break;
    case WM_LBUTTONDOWN:
        if (trayClickToggle_ != 0) {
            // Clicking the icon takes the activation from the window first, so a window
            // that lost it just now counts as active.
            if (inTray_ != 0) {
                restore();
            } else if (active_ != 0 ||
                       (deactivatedAt_ != 0 && s::time::currentTimeMillis() - deactivatedAt_ <= TRAY_CLICK_GRACE_MS)) {
                minimizeToTray();
            } else {
                activate(true);
                if (IsIconic()) {
                    restore();
                }
            }
        }
        fire(ON_TRAY_CLICK, TRAY_CLICK);
        break;
    case WM_RBUTTONDOWN:
        if (trayMenu_ != nullptr) {
            fire(ON_TRAY_MENU, TRAY_MENU);
            POINT cursor = {0, 0};
            GetCursorPos(&cursor);
            SetForeground();
            const int32_t command = trayMenu_->openBottomAligned(cursor.x, cursor.y, this);
            SetForeground();
            if (command != 0) {
                trayMenu_->runCommand(command);
            }
        }
        break;
    default:
        break;
    }
}

void Window::setDragByClientArea(bool on) {
    dragByClient_ = on ? 1 : 0;
    if (stateRecord_ != nullptr) {
        stateRecord_->setEasyDrag(on);
    }
}

void Window::setTopmost(bool on) {
    if (m_hWnd != nullptr) {
        SetPos(on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void Window::setIcon(WPARAM which, HICON icon, bool owned) {
    HICON& slot = which == ICON_SMALL ? smallIcon_ : largeIcon_;
    uint8_t& owns = which == ICON_SMALL ? ownsSmallIcon_ : ownsLargeIcon_;
    if (slot == icon) {
        owns = owned && icon != nullptr ? 1 : 0;
        return;
    }
    if (m_hWnd != nullptr) {
        SendMessage(WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
    if (invisible_.m_hWnd != nullptr) {
        invisible_.SendMessage(WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
    // Only once neither window shows it any more.
    if (slot != nullptr && owns != 0) {
        DestroyIcon(slot);
    }
    slot = icon;
    owns = owned && icon != nullptr ? 1 : 0;
}

void Window::setSkinHolder(drawer::ISkinHolder* holder) {
    if (holder == skinHolder_) {
        return;
    }
    if (skinHolder_ != nullptr) {
        skinHolder_->removeListener(this);
    }
    skinHolder_ = holder;
    if (holder != nullptr) {
        holder->addListener(this);
    }
    takeSkinFrame();
}

void Window::takeSkinFrame() {
    drawer::ISkin* skin = skinHolder_ != nullptr ? skinHolder_->getCurrentSkin() : nullptr;
    drawer::IWindow* drawer = skin != nullptr ? skin->getWindow() : nullptr;
    // A frame drawer handed over by the program stays when the skin has none.
    if (drawer != nullptr || (frame_.drawer() != nullptr && !frame_.ownsDrawer())) {
        setFrameDrawer(drawer, false);
        if (m_hWnd != nullptr && IsVisible()) {
            Redraw(nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    }
}

void Window::setFrameEnabled(bool enabled) {
    if (m_hWnd != nullptr) {
        Enable(enabled);
    }
}

// Title and language -------------------------------------------------------------------

void Window::setTitle(const wchar_t* text) {
    title_ = text != nullptr ? text : L"";
    if (m_hWnd != nullptr) {
        SetText(title_.c_str());
        tray_.modify(m_hWnd, title_.c_str(), true);
    }
}

void Window::setTitleTextId(int32_t titleId, int32_t versionId) {
    titleId_ = titleId;
    versionId_ = versionId;
    if (localizer_ != nullptr) {
        retitle();
    }
}

void Window::setLocalizer(lang::Localizer* localizer) {
    if (localizer_ != nullptr) {
        localizer_->removeListener(this);
    }
    localizer_ = localizer;
    if (localizer_ != nullptr) {
        localizer_->addListener(this);
        if (titleId_ != -1) {
            retitle();
        }
    }
}

void Window::retitle() {
    if (localizer_ == nullptr || titleId_ == -1) {
        return;
    }
    std::wstring title = localizer_->getText(titleId_);
    if (versionId_ != -1) {
        title += L" v";
        title += localizer_->getText(versionId_);
    }
    setTitle(title.c_str());
}

void Window::removeListener(const events::IEventListener* listener) {
    for (events::ListenerList& list : lists_) {
        list.remove(listener);
    }
}

void Window::addCloser(IButton* button) {
    if (button != nullptr && lists_[ON_CLOSER].add(button)) {
        button->addClickListener(this);
    }
}

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

// Closing --------------------------------------------------------------------------------

void Window::close() {
    // The tray state is the UI thread's: read and written there.
    runOnUiThread([](void* window) { static_cast<Window*>(window)->closeHere(); }, this);
}

void Window::closeHere() {
    const bool toTray = closeToTray_ != 0 && inTray_ == 0;
    if (m_hWnd != nullptr) {
        SendMessage(WM_CLOSE);
    }
    // Only a window that went: a vetoed close leaves it shown, its close box still
    // leading to the tray.
    if (toTray && isClosed()) {
        inTray_ = 1;
    }
}

void Window::waitUntilClosed() {
    if (m_hWnd == nullptr || thread_ == nullptr) {
        return;
    }
    HANDLE handle = thread_->m_hThread;
    while (!isClosed()) {
        if (PumpingWait(1, &handle, 10) != WAIT_TIMEOUT) {
            return;  // the UI thread has ended: nothing will close the window any more
        }
    }
}

bool Window::onClose() {
    if (isClosed()) {
        return true;
    }
    veto_ = 0;
    fire(ON_CLOSE, CLOSE);
    if (veto_ != 0) {
        return true;
    }
    setVisible(false);
    joinClipboardChain(false);
    keepTrayIcon_ = 0;
    tray_.remove(m_hWnd);
    closed_.store(1);
    veto_ = 0;
    return true;
}

void Window::onEndSession(WPARAM wParam, LPARAM lParam) {
    if (wParam == FALSE || lParam != 0) {
        return;  // a log-off only, or the shutdown was cancelled
    }
    shuttingDown_ = 1;
    if (!isClosed() && IsWindow()) {
        SendMessage(WM_CLOSE);
    }
    if (stateRecord_ != nullptr) {
        stateRecord_->persist();
    }
}

// Worker events and boxes ----------------------------------------------------------------

intptr_t Window::sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) {
    if (m_hWnd == nullptr) {
        return 0;
    }
    WorkerEvent record = {name, value1, value2, text};
    return static_cast<intptr_t>(SendMessage(MSG_WORKER_EVENT, reinterpret_cast<WPARAM>(&record)));
}

bool Window::postWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) {
    if (m_hWnd == nullptr) {
        return false;
    }
    // The record and its text travel as one block the handler frees.
    const size_t length = text != nullptr ? wcslen(text) + 1 : 0;
    const size_t bytes = sizeof(WorkerEvent) + length * sizeof(wchar_t);
    WorkerEvent* copy = static_cast<WorkerEvent*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (copy == nullptr) {
        return false;
    }
    wchar_t* textCopy = text != nullptr ? reinterpret_cast<wchar_t*>(copy + 1) : nullptr;
    if (textCopy != nullptr) {
        memcpy(textCopy, text, length * sizeof(wchar_t));
    }
    *copy = WorkerEvent{name, value1, value2, textCopy};
    if (!PostMessage(MSG_POSTED_WORKER_EVENT, 0, reinterpret_cast<LPARAM>(copy))) {
        HeapFree(GetProcessHeap(), 0, copy);
        return false;
    }
    return true;
}

LRESULT Window::onWorkerEvent(const WorkerEvent* record) {
    if (record != nullptr) {
        event_ = *record;
    }
    fire(ON_WORKER, WORKER_EVENT);
    return static_cast<LRESULT>(eventResult_);
}

void Window::showInformationOnUiThread(const wchar_t* text) {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_SHOW_INFORMATION, reinterpret_cast<WPARAM>(text));
    }
}

void Window::showErrorOnUiThread(const wchar_t* text) {
    if (m_hWnd != nullptr) {
        SendMessage(MSG_SHOW_ERROR, reinterpret_cast<WPARAM>(text));
    }
}

bool Window::askYesNoOnUiThread(const wchar_t* text) {
    return m_hWnd != nullptr && SendMessage(MSG_ASK_YES_NO, reinterpret_cast<WPARAM>(text)) == 1;
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
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
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

void Window::postHook(LRESULT*, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        onSize(wParam);
    } else if (message == WM_WINDOWPOSCHANGED) {
        onMoved(reinterpret_cast<const WINDOWPOS*>(lParam));
    }
}

} // namespace s::gui::win

namespace s::gui::win {

// Window extras ----------------------------------------------------------------------------

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
