#include "widgets/gui/win/Window.h"

#include <string>

#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/ISkinHolder.h"
#include "drawers/gui/drawer/IWindow.h"
#include "framework/AfxMessageBox.h"
#include "framework/PumpingWait.h"
#include "system/lang/LangPack.h"
#include "system/lang/Localizer.h"
#include "system/system/win/OsFacts.h"
#include "system/time/Clock.h"
#include "widgets/gui/IButton.h"
#include "widgets/gui/IPopupMenu.h"
#include "widgets/gui/IWindowState.h"
#include "widgets/gui/win/ToolkitWindowClass.h"
#include "widgets/gui/win/UIThread.h"

// The window's life and its UI thread, geometry, tray, title, closing and worker events;
// its message handling is in WindowMessages.cpp, its extras in WindowExtras.cpp.
namespace s::gui::win {

namespace {

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
    focusBack_ = nullptr;
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

} // namespace s::gui::win
