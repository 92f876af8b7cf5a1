#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "core/thread/ClassPool.h"
#include "framework/CWnd.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/win/Container.h"
#include "widgets/gui/win/HotKeys.h"
#include "widgets/gui/win/InvisibleWindow.h"
#include "widgets/gui/win/PrivateMessages.h"
#include "widgets/gui/win/TrayIcon.h"
#include "widgets/gui/win/WindowFader.h"
#include "widgets/gui/win/WindowFrame.h"

namespace s::gui::win {

class UIThread;

// The toolkit's top-level window. Its frame (this CWnd) and the frame's invisible owner
// live on a UI thread of the window's own, started by the constructor; all message
// handling runs there. The window's pool keeps nothing: a released window is destroyed,
// which destroys the native windows and ends the UI thread.
//
//   Window* window = Window::pool();   // UI thread running, frame hidden
//   window->add(child); window->setVisible(true);
//   window->waitUntilClosed();
//   window->release();
class Window : public Container<IWindow>, public CWnd {
    friend class ::s::thread::ClassPool<Window, 0>;

public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_win_Window";
    static thread::EasyPooler& pooler() { return thread::ClassPool<Window, 0>::pooler(); }
    static Window* pool() { return thread::ClassPool<Window, 0>::acquire(); }
    const wchar_t* className() const override { return CLASS_NAME; }
    base::IObject* newInstance() const override { return pool(); }
    // Gives the window back (destroying it). On the window's own UI thread the window
    // goes as soon as the running handler has returned, and the thread then ends.
    void release() override;

    // Private messages of the frame (what each carries: PrivateMessages.h).
    enum : UINT {
        MSG_WORKER_EVENT = PM_WORKER_EVENT,
        MSG_RESTORE_COPY = PM_RESTORE_COPY,
        MSG_SHOW_INFORMATION = PM_SHOW_INFORMATION,
        MSG_SHOW_ERROR = PM_SHOW_ERROR,
        MSG_ASK_YES_NO = PM_ASK_YES_NO,
        MSG_SECOND_INSTANCE = PM_SECOND_INSTANCE,
        MSG_REGISTER_HOT_KEY = PM_REGISTER_HOT_KEY,
        MSG_UNREGISTER_HOT_KEY = PM_UNREGISTER_HOT_KEY,
        MSG_UNREGISTER_ALL_HOT_KEYS = PM_UNREGISTER_ALL_HOT_KEYS,
        MSG_SET_TIMER = PM_SET_TIMER,
        MSG_KILL_TIMER = PM_KILL_TIMER,
        MSG_CLIPBOARD_VIEWER = PM_CLIPBOARD_VIEWER,
        MSG_FOLLOW_CURSOR = PM_FOLLOW_CURSOR,
        MSG_DESTROY = PM_DESTROY,
        MSG_ATTACH_CHILD = PM_ATTACH_CHILD,
        MSG_POSTED_WORKER_EVENT = PM_POSTED_WORKER_EVENT,
        MSG_SET_MENU_BAR = PM_SET_MENU_BAR,
        MSG_CAPTURE_MOUSE = PM_CAPTURE_MOUSE,
        MSG_SEND_TAB = PM_SEND_TAB,
        MSG_RUN = PM_RUN
    };
    // How long stopping the UI thread may take before the thread is left to itself.
    static constexpr DWORD STOP_LIMIT_MS = 5000;
    // Native ids of the user timers are the toolkit's ids plus this.
    static constexpr UINT_PTR USER_TIMER_BASE = 10000;
    static constexpr UINT_PTR FOLLOW_TIMER = 100;
    // A tray click this soon after the window lost the activation (to the click itself)
    // finds it still active.
    static constexpr int64_t TRAY_CLICK_GRACE_MS = 150;

    // The worker-event record: pointer-sized words, so that names and texts anywhere
    // in a 64-bit address space travel whole.
    struct WorkerEvent {
        const wchar_t* name;
        intptr_t value1;
        intptr_t value2;
        const wchar_t* text;
    };

    ~Window() override;

    // Back to the defaults: hidden, closed, children given back, no title, no listeners.
    void reset() override;

    void onEvent(base::IObject* source, int32_t eventCode) override;

    // Geometry of the frame (outer size; inner size = client area).
    int32_t getX() const override;
    int32_t getY() const override;
    int32_t getScreenX() const override { return getX(); }
    int32_t getScreenY() const override { return getY(); }
    int32_t getWidth() const override;
    int32_t getHeight() const override;
    int32_t getInnerWidth() const override;
    int32_t getInnerHeight() const override;
    void setPosition(int32_t x, int32_t y) override;
    void setSize(int32_t w, int32_t h) override;
    void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) override;
    int32_t getPreferredWidth() const override;
    int32_t getPreferredHeight() const override;
    int32_t getLayoutWidth() const override { return getPreferredWidth(); }
    int32_t getLayoutHeight() const override { return getPreferredHeight(); }
    bool isVisible() const override;
    void setVisible(bool visible) override { show(visible, false); }
    // Centred on the work area of the window's monitor.
    void centre() override;
    image::win::BufferedImage* getBackBuffer() const override { return frame_.backBuffer(); }
    bool isEnabled() const override { return m_hWnd != nullptr && IsEnabled(); }
    void setEnabled(bool enabled) override { setFrameEnabled(enabled); }
    // The window keeps no frozen flag of its own.
    bool isFrozen() const override { return false; }
    void freeze() override { children_.freezeAll(); }
    void thaw() override { children_.thawAll(); }
    IWindow* getWindow() const override { return const_cast<Window*>(this); }
    void setParent(IContainer*) override {}

    void setLeft(int32_t x) override { setX(x); }
    void setTop(int32_t y) override { setY(y); }
    bool isClosed() const override { return closed_.load() != 0; }
    void close() override;
    void veto() override { veto_ = 1; }
    void waitUntilClosed() override;
    // Runs fn(argument) on the window's UI thread and returns when it has run. Built
    // there, a tree of widgets makes and places its native windows without one message
    // to another thread for each.
    void runOnUiThread(void (*fn)(void*), void* argument);
    void activate(bool bringToFront) override;
    bool isMinimized() const override { return m_hWnd != nullptr && IsIconic(); }
    void minimize() override { showFrame(SW_MINIMIZE); }
    bool isMaximized() const override { return m_hWnd != nullptr && IsZoomed(); }
    void maximize() override { showFrame(SW_MAXIMIZE); }
    // Brings a window back from the tray, else restores it from minimized or maximized.
    void restore() override;
    void showNormal() override { showFrame(SW_SHOWNORMAL); }
    void minimizeToTray() override;
    bool isInTray() const override { return inTray_ != 0; }
    void setMaximizeBox(bool on) override { setFrameStyle(WS_MAXIMIZEBOX, 0, on); }
    void setMinimizeBox(bool on) override { setFrameStyle(WS_MINIMIZEBOX, 0, on); }
    void setSystemMenu(bool on) override { setFrameStyle(WS_SYSMENU, 0, on); }
    void setCaption(bool on) override { setFrameStyle(WS_CAPTION, 0, on); }
    void setToolWindow(bool on) override { setFrameStyle(0, WS_EX_TOOLWINDOW, on); }
    void setStandardFrame(bool on) override { setFrameStyle(WS_OVERLAPPEDWINDOW, 0, on); }
    void setClientEdge(bool on) override { setFrameStyle(0, WS_EX_CLIENTEDGE, on); }
    void setShowInTaskbar(bool on) override { setFrameStyle(0, WS_EX_APPWINDOW, on); }
    bool isResizable() const override { return m_hWnd != nullptr && (GetStyle() & WS_THICKFRAME) != 0; }
    void setResizable(bool on) override;
    void setFrameEnabled(bool enabled) override;
    void setTopmost(bool on) override;
    bool isTopmost() const override;

    const wchar_t* getTitle() const override { return title_.c_str(); }
    void setTitle(const wchar_t* text) override;
    void setTitleTextId(int32_t titleId, int32_t versionId) override;
    bool hasLocalizer() const override { return localizer_ != nullptr; }
    lang::Localizer* getLocalizer() const override { return localizer_; }
    void setLocalizer(lang::Localizer* localizer) override;
    void setStateRecord(IWindowState* record) override { stateRecord_ = record; }
    void applyState(IWindowState* record, bool withVersion) override;
    HICON getSmallIcon() const override { return smallIcon_; }
    void setSmallIcon(HICON icon, bool owned) override { setIcon(ICON_SMALL, icon, owned); }
    HICON getLargeIcon() const override { return largeIcon_; }
    void setLargeIcon(HICON icon, bool owned) override { setIcon(ICON_BIG, icon, owned); }
    bool hasSkinHolder() const override { return skinHolder_ != nullptr; }
    drawer::ISkinHolder* getSkinHolder() const override { return skinHolder_; }
    void setSkinHolder(drawer::ISkinHolder* holder) override;

    void addCloser(IButton* button) override;
    void addCloseListener(events::IEventListener* l) override { lists_[ON_CLOSE].add(l); }
    void addRightButtonDownListener(events::IEventListener* l) override { lists_[ON_RIGHT_DOWN].add(l); }
    void addLeftButtonDownListener(events::IEventListener* l) override { lists_[ON_LEFT_DOWN].add(l); }
    void addRightButtonUpListener(events::IEventListener* l) override { lists_[ON_RIGHT_UP].add(l); }
    void addLeftButtonUpListener(events::IEventListener* l) override { lists_[ON_LEFT_UP].add(l); }
    void addDoubleClickListener(events::IEventListener* l) override { lists_[ON_DOUBLE_CLICK].add(l); }
    void addMiddleButtonListener(events::IEventListener* l) override { lists_[ON_MIDDLE].add(l); }
    void addSizeListener(events::IEventListener* l) override { lists_[ON_SIZE].add(l); }
    void addActivateListener(events::IEventListener* l) override { lists_[ON_ACTIVATE].add(l); }
    void addDeactivateListener(events::IEventListener* l) override { lists_[ON_DEACTIVATE].add(l); }
    void addMovingListener(events::IEventListener* l) override { lists_[ON_MOVING].add(l); }
    int32_t getMovingX() const override { return moving_.x; }
    int32_t getMovingY() const override { return moving_.y; }
    void addMovedListener(events::IEventListener* l) override { lists_[ON_MOVED].add(l); }
    void addKeyListener(events::IEventListener* l) override { lists_[ON_KEY].add(l); }
    void addRestoreListener(events::IEventListener* l) override { lists_[ON_RESTORE].add(l); }
    void addWorkerEventListener(events::IEventListener* l) override { lists_[ON_WORKER].add(l); }
    void addSecondInstanceListener(events::IEventListener* l) override { lists_[ON_SECOND_INSTANCE].add(l); }
    void addSizingListener(events::IEventListener* l) override { lists_[ON_SIZING].add(l); }
    void addMouseMoveListener(events::IEventListener* l) override { lists_[ON_MOUSE_MOVE].add(l); }
    void addMouseWheelListener(events::IEventListener* l) override { lists_[ON_WHEEL].add(l); }
    void addLanguageListener(events::IEventListener* l) override { lists_[ON_LANGUAGE].add(l); }
    void addTrayClickListener(events::IEventListener* l) override { lists_[ON_TRAY_CLICK].add(l); }
    void addTrayMenuListener(events::IEventListener* l) override { lists_[ON_TRAY_MENU].add(l); }
    void addContextMenuListener(events::IEventListener* l) override { lists_[ON_CONTEXT_MENU].add(l); }
    void addCaptureListener(events::IEventListener* l) override { lists_[ON_CAPTURE].add(l); }
    void removeListener(const events::IEventListener* listener) override;

    intptr_t sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) override;
    bool postWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) override;
    const wchar_t* getEventName() const override { return event_.name; }
    intptr_t getEventValue1() const override { return event_.value1; }
    intptr_t getEventValue2() const override { return event_.value2; }
    const wchar_t* getEventText() const override { return event_.text; }
    void setWorkerEventResult(intptr_t value) override { eventResult_ = value; }

    int32_t getSizingEdge() const override { return sizingEdge_; }
    bool isSizingLeft() const override { return sizingEdge_ == EDGE_LEFT; }
    bool isSizingRight() const override { return sizingEdge_ == EDGE_RIGHT; }
    bool isSizingTop() const override { return sizingEdge_ == EDGE_TOP; }
    bool isSizingBottom() const override { return sizingEdge_ == EDGE_BOTTOM; }
    bool isSizingTopLeft() const override { return sizingEdge_ == EDGE_TOP_LEFT; }
    bool isSizingTopRight() const override { return sizingEdge_ == EDGE_TOP_RIGHT; }
    bool isSizingBottomLeft() const override { return sizingEdge_ == EDGE_BOTTOM_LEFT; }
    bool isSizingBottomRight() const override { return sizingEdge_ == EDGE_BOTTOM_RIGHT; }
    int32_t getSizingLeft() const override { return sizingRect_.left; }
    int32_t getSizingRight() const override { return sizingRect_.right; }
    int32_t getSizingTop() const override { return sizingRect_.top; }
    int32_t getSizingBottom() const override { return sizingRect_.bottom; }
    void setSizingLeft(int32_t value) override { sizingRect_.left = value; }
    void setSizingRight(int32_t value) override { sizingRect_.right = value; }
    void setSizingTop(int32_t value) override { sizingRect_.top = value; }
    void setSizingBottom(int32_t value) override { sizingRect_.bottom = value; }

    void setMenuBar(IPopupMenu* menu) override;
    IPopupMenu* getMenuBar() const override { return menuBar_; }
    void setContextMenu(IPopupMenu* menu) override { setContextMenu(menu, 0); }
    void setContextMenu(IPopupMenu* menu, intptr_t value) override {
        contextMenu_ = menu;
        contextValue_ = value;
    }
    intptr_t getContextMenuValue() const override { return contextValue_; }
    HWND getFrameParent() const override { return invisible_.m_hWnd; }
    void captureMouse() override;
    int32_t getCaptureEndX() const override { return captureEnd_.x; }
    int32_t getCaptureEndY() const override { return captureEnd_.y; }
    void sendTab(bool backwards) override;
    void setMinimumSizeRules(bool both) override { setMinimumSizeRules(both, both); }
    void setMinimumSizeRules(bool width, bool height) override {
        minimumWidthRule_ = width ? 1 : 0;
        minimumHeightRule_ = height ? 1 : 0;
    }
    void enforceMinimumSize() override;
    void fitToPreferredSize() override { setSize(getPreferredWidth(), getPreferredHeight()); }
    void fitToPreferredWidth() override { setSize(getPreferredWidth(), getHeight()); }
    void fitToPreferredHeight() override { setSize(getWidth(), getPreferredHeight()); }
    void setDefaultWidth(int32_t w) override;
    void setDefaultHeight(int32_t h) override;
    int32_t getLastKey() const override { return lastKey_; }
    int32_t getWheelDelta() const override { return wheelDelta_; }
    int32_t getBorderWidth() const override;
    int32_t getBorderHeight() const override;
    void setFirstUserValue(intptr_t value) override { firstValue_ = value; }
    intptr_t getFirstUserValue() const override { return firstValue_; }
    void setSecondUserValue(intptr_t value) override { secondValue_ = value; }
    intptr_t getSecondUserValue() const override { return secondValue_; }
    void setPassDoubleClicks(bool on) override { passDoubleClicks_ = on ? 1 : 0; }
    void setMiddleClickAction(const wchar_t* action) override { middleClick_ = action; }

    void showInformationOnUiThread(const wchar_t* text) override;
    void showErrorOnUiThread(const wchar_t* text) override;
    bool askYesNoOnUiThread(const wchar_t* text) override;

    bool isSuspended() const override { return suspended_ != 0; }
    bool isShuttingDown() const override { return shuttingDown_ != 0; }
    HWND getFrameHandle() const override { return m_hWnd; }

    bool preHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) override;
    void postHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) override;

    void setFrameDrawer(drawer::IWindow* drawer, bool owned) override;
    drawer::IWindow* getFrameDrawer() const { return frame_.drawer(); }
    // Kept in the state record too.
    void setDragByClientArea(bool on) override;
    void setResizeByFrame(bool on) override { frame_.setResizeByFrame(on); }
    void show(bool show, bool activate) override;
    void saveState(bool rememberAnimation) override;
    bool isOnScreen() const override;
    void moveOnScreen() override;
    void setKeepInsideScreen(bool on) override { keepInside_ = on ? 1 : 0; }
    void setCheckPosition(bool on) override { checkPosition_ = on ? 1 : 0; }
    void setTrayIcon(bool on) override;
    void refreshTrayIcon() override;
    void setKeepTrayIcon(bool on) override;
    bool isTrayIconShown() const override { return tray_.isShown(); }
    void setTrayIconWhileShown(bool on) override;
    void setTrayClickToggle(bool on) override { trayClickToggle_ = on ? 1 : 0; }
    void setCloseToTray(bool on) override { closeToTray_ = on ? 1 : 0; }
    void setTrayMenu(IPopupMenu* menu) override { trayMenu_ = menu; }
    void setAlpha(int32_t percent, bool onlyWhenTopmost) override;
    int32_t getAlpha() const override { return fader_.alpha(); }
    void setHoverBehaviour(bool fade, bool shrink, bool shiftOverrides, bool topmostOnly, int32_t displaySeconds,
                           int32_t shrinkWidth, int32_t shrinkHeight) override {
        fader_.setBehaviour(fade, shrink, shiftOverrides, topmostOnly, displaySeconds, shrinkWidth, shrinkHeight);
    }
    bool isShrunk() const override { return fader_.isShrunk(); }
    bool isFading() const override { return fader_.isFading(); }
    bool isAnimating() const override { return fader_.isAnimating(); }
    void setFollowCursor(bool on) override;
    void setHideCursor(bool on) override { hideCursor_ = on ? 1 : 0; }
    bool registerHotKey(bool alt, bool ctrl, bool shift, bool win, uint32_t virtualKey, const wchar_t* name,
                        bool showFailure) override;
    void unregisterHotKey(const wchar_t* name) override;
    void unregisterAllHotKeys() override;
    bool isHotKey(const wchar_t* name) const override { return hotKeys_.isLast(name); }
    bool hasHotKey(const wchar_t* name) const { return hotKeys_.contains(name); }
    void addHotKeyListener(events::IEventListener* l) override { lists_[ON_HOT_KEY].add(l); }
    bool setTimer(uint32_t id, uint32_t milliseconds) override;
    void killTimer(uint32_t id) override;
    uint32_t getTimerId() const override { return timerId_; }
    void setTimerHandled() override { timerHandled_ = 1; }
    void addTimerListener(events::IEventListener* l) override { lists_[ON_TIMER].add(l); }
    void setClipboardViewer(bool on) override;
    void addClipboardListener(events::IEventListener* l) override { lists_[ON_CLIPBOARD].add(l); }
    bool saveWindowImage(const wchar_t* path) override;
    // Whether the frame is in the clipboard viewer chain, and the next viewer in it.
    bool isClipboardViewer() const { return clipboardViewer_ != 0; }
    HWND getNextClipboardViewer() const { return nextViewer_; }

    // The frame's message routine: pre-hook, default handling, post-hook.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // On the UI thread: registers the class and makes the invisible owner and the frame
    // (hidden). False, after a message box, when any of it fails.
    bool createNative();
    // Makes the frame; false when it cannot be made.
    bool createMainWindow();
    // Ends the UI thread: WM_QUIT (retried every 10 ms while posting fails), then waits
    // for the rest of STOP_LIMIT_MS (on the clock of s::time); a thread that has not ended
    // by then is left to run (never suspended) and frees itself when it ends. On the UI
    // thread itself it only asks the pump to end.
    void StopUiThread();
    // The UI thread's id (0 when it could not be started).
    DWORD getUiThreadId() const;
    // Destroys the window now, or, when its UI thread outlives the wait, hands the window
    // to that thread, which destroys it as it ends. The UI thread's pump calls it for release().
    void releaseNow();

    // The strip along the bottom edge (not one of the children; given back with the
    // window or when replaced). The layout places it under the children's room.
    void setStatusBar(IComponent* bar);
    IComponent* getStatusBar() const { return statusBar_; }
    void doLayout() override;

protected:
    HWND nativeHandle() const override { return m_hWnd; }
    // Children make their native controls on the UI thread.
    void attachChild(IComponent* child) override;

private:
    enum List {
        ON_CLOSE, ON_RIGHT_DOWN, ON_LEFT_DOWN, ON_RIGHT_UP, ON_LEFT_UP, ON_DOUBLE_CLICK, ON_MIDDLE, ON_SIZE,
        ON_ACTIVATE, ON_DEACTIVATE, ON_MOVING, ON_MOVED, ON_KEY, ON_RESTORE, ON_WORKER, ON_SECOND_INSTANCE,
        ON_SIZING, ON_MOUSE_MOVE, ON_WHEEL, ON_LANGUAGE, ON_HOT_KEY, ON_TIMER, ON_CLIPBOARD, ON_TRAY_CLICK,
        ON_TRAY_MENU, ON_CLOSER, ON_CONTEXT_MENU, ON_CAPTURE, LIST_COUNT
    };

    Window();
    // StopUiThread; with handOverWindow a thread that outlives the wait also takes the
    // window. False when the thread took it.
    bool stopUiThread(bool handOverWindow);
    void fire(List list, int32_t code) { lists_[list].fire(this, code); }
    void showFrame(int command) const;
    void placeFrame(int32_t x, int32_t y, int32_t w, int32_t h, UINT flags);
    void retitle();
    // close on the UI thread.
    void closeHere();
    bool onClose();
    void onEndSession(WPARAM wParam, LPARAM lParam);
    bool onMouseWheel(WPARAM wParam, LPARAM lParam);
    void onSizing(WPARAM wParam, LPARAM lParam);
    // Moves the dragged edges so that the rectangle keeps the preferred size where the
    // minimum rules ask for it.
    void applyMinimumRules(RECT* rect) const;
    // A right click on the window (client area or, dragged by the client area, caption).
    void onRightButtonDown();
    bool onMenuCommand(int32_t commandId);
    void onCaptureChanged();
    void endCapture();
    // Key listeners first; Enter is the window's, every other key goes on to the default
    // handling and then to the control it came from.
    LRESULT onKeyDown(WPARAM key, LPARAM lParam);
    // The control that has the keyboard as the window loses it (deactivated, disabled by a
    // modal window) gets it back when the window is active again, as in a dialog.
    void keepFocusForReturn();
    void giveFocusBack();
    void setFrameStyle(DWORD style, DWORD exStyle, bool on);
    LRESULT onWorkerEvent(const WorkerEvent* record);
    void onSize(WPARAM wParam);
    void onMoved(const WINDOWPOS* position);
    // Window extras on the UI thread; true ends the message with *result.
    bool extrasHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam);
    bool onTimer(UINT_PTR id);
    // The shell's notice about the tray icon (lParam: the mouse message).
    void onTrayNotice(LPARAM mouseMessage);
    void leaveTray();
    void setIcon(WPARAM which, HICON icon, bool owned);
    // The frame drawer of the skin holder's current skin (none without one).
    void takeSkinFrame();
    void joinClipboardChain(bool on);
    void followCursorStep();

    InvisibleWindow invisible_;
    UIThread* thread_;
    events::ListenerList lists_[LIST_COUNT];
    lang::Localizer* localizer_;
    IWindowState* stateRecord_;
    std::wstring title_;
    int32_t titleId_;
    int32_t versionId_;
    std::atomic<uint8_t> closed_;
    uint8_t veto_;
    uint8_t shuttingDown_;
    uint8_t suspended_;
    uint8_t active_;
    uint8_t maximized_;
    uint8_t passDoubleClicks_;
    const wchar_t* middleClick_;
    int64_t deactivatedAt_;
    WorkerEvent event_;
    intptr_t eventResult_;
    int32_t lastKey_;
    HWND focusBack_ = nullptr;
    int32_t wheelDelta_;
    int32_t sizingEdge_;
    RECT sizingRect_;
    int32_t defaultWidth_;
    int32_t defaultHeight_;
    RECT normalBounds_;
    WindowFrame frame_;
    WindowFader fader_;
    HotKeys hotKeys_;
    TrayIcon tray_;
    uint8_t dragByClient_;
    uint8_t keepInside_;
    uint8_t checkPosition_;
    uint8_t keepTrayIcon_;
    uint8_t inTray_;
    uint8_t followCursor_;
    uint8_t hideCursor_;
    uint8_t timerHandled_;
    uint8_t clipboardViewer_;
    uint32_t timerId_;
    HWND nextViewer_;
    IComponent* statusBar_ = nullptr;
    drawer::ISkinHolder* skinHolder_ = nullptr;
    IPopupMenu* trayMenu_ = nullptr;
    IPopupMenu* menuBar_ = nullptr;
    IPopupMenu* contextMenu_ = nullptr;
    intptr_t contextValue_ = 0;
    intptr_t firstValue_ = 0;
    intptr_t secondValue_ = 0;
    POINT moving_ = {0, 0};
    uint8_t capturing_ = 0;
    POINT captureEnd_ = {0, 0};
    uint8_t minimumWidthRule_ = 0;
    uint8_t minimumHeightRule_ = 0;
    HICON smallIcon_ = nullptr;
    HICON largeIcon_ = nullptr;
    uint8_t ownsSmallIcon_ = 0;
    uint8_t ownsLargeIcon_ = 0;
    uint8_t closeToTray_ = 0;
    uint8_t trayClickToggle_ = 0;
    uint8_t trayWhileShown_ = 0;
};

} // namespace s::gui::win
