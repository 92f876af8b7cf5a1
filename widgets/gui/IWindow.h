#pragma once
#include <windows.h>

#include <cstdint>

#include "widgets/gui/IContainer.h"

namespace s::lang { class Localizer; }
namespace s::gui::drawer { class IWindow; class ISkinHolder; }

namespace s::gui {

class IWindowState;
class IPopupMenu;
class IButton;

// A top-level window: a container whose native frame lives on a UI thread of its own.
// Other threads talk to it by sending private messages to the frame, so each request
// runs on the UI thread while the caller waits.
//
// The window fires its events (IWindow::Event) on its listener lists, the window as the
// source. A right click on a free spot fires RIGHT_DOWN (and CONTEXT_MENU) whether it
// arrives in the client area or, on a window dragged by its client area, as a caption click.
class IWindow : public IContainer {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IWindow";
    const wchar_t* className() const override { return CLASS_NAME; }

    // Codes of the window's events, each on its own listener list.
    enum Event : int32_t {
        CLOSE = 1, WORKER_EVENT = 2, RIGHT_DOWN = 3, SIZED = 4, LEFT_DOWN = 5, ACTIVATED = 6, DEACTIVATED = 7,
        SIZING = 8, MIDDLE_DOWN = 9, MOVING = 10, MOVED = 11, KEY = 12, MOUSE_MOVE = 13, WHEEL = 14,
        SECOND_INSTANCE = 15, DOUBLE_CLICKED = 16, CAPTURE_ENDED = 17, TRAY_MENU = 18, CONTEXT_MENU = 19,
        LANGUAGE = 20, RESTORED = 21, TRAY_CLICK = 22, HOT_KEY = 23, RIGHT_UP = 24, LEFT_UP = 25,
        USER_TIMER = 26, CLIPBOARD = 27
    };

    // Which edge a WM_SIZING drag moves (getSizingEdge).
    enum SizingEdge : int32_t {
        EDGE_NONE = 0, EDGE_LEFT = 1, EDGE_RIGHT = 2, EDGE_TOP = 3, EDGE_BOTTOM = 4,
        EDGE_TOP_LEFT = 5, EDGE_TOP_RIGHT = 6, EDGE_BOTTOM_LEFT = 7, EDGE_BOTTOM_RIGHT = 8
    };

    virtual void setLeft(int32_t x) = 0;
    virtual void setTop(int32_t y) = 0;

    // Closed: hidden after WM_CLOSE that no close listener vetoed.
    virtual bool isClosed() const = 0;
    // Sends WM_CLOSE to the frame.
    virtual void close() = 0;
    // Called by a close listener: keeps the window open.
    virtual void veto() = 0;
    // Waits until the window is closed, its UI thread has ended, or its frame never came
    // to exist. Handles the calling thread's messages meanwhile.
    virtual void waitUntilClosed() = 0;

    virtual void activate(bool bringToFront) = 0;
    virtual bool isMinimized() const = 0;
    virtual void minimize() = 0;
    virtual bool isMaximized() const = 0;
    virtual void maximize() = 0;
    virtual void restore() = 0;
    virtual void showNormal() = 0;
    // Hides the window, leaving its icon in the notification area.
    virtual void minimizeToTray() = 0;
    virtual bool isInTray() const = 0;

    // Frame styles, each switched on or off at once (the frame is redrawn).
    virtual void setMaximizeBox(bool on) = 0;
    virtual void setMinimizeBox(bool on) = 0;
    virtual void setSystemMenu(bool on) = 0;
    virtual void setCaption(bool on) = 0;
    virtual void setToolWindow(bool on) = 0;
    // On: caption, system menu, sizing border, minimize and maximize boxes; off: none of them.
    virtual void setStandardFrame(bool on) = 0;
    virtual void setClientEdge(bool on) = 0;
    virtual void setShowInTaskbar(bool on) = 0;
    // Resizable: the sizing border, the size grip and, with a frame drawer, its edges.
    virtual bool isResizable() const = 0;
    virtual void setResizable(bool on) = 0;

    virtual void setFrameEnabled(bool enabled) = 0;
    virtual void setTopmost(bool on) = 0;
    virtual bool isTopmost() const = 0;

    virtual const wchar_t* getTitle() const = 0;
    virtual void setTitle(const wchar_t* text) = 0;
    // The title from the language pack: the text of titleId, then " v" and the text of
    // versionId unless that is -1.
    virtual void setTitleTextId(int32_t titleId, int32_t versionId) = 0;

    virtual bool hasLocalizer() const = 0;
    virtual lang::Localizer* getLocalizer() const = 0;
    virtual void setLocalizer(lang::Localizer* localizer) = 0;
    // The record that remembers the window's state (not owned; may be null).
    virtual void setStateRecord(IWindowState* record) = 0;
    // Binds the window to the record (not owned) and sets it up from it: default size,
    // title (with the version text when asked), icons, options, skin holder, then the
    // remembered position and size; a window then off the screen is centred.
    virtual void applyState(IWindowState* record, bool withVersion) = 0;

    // The frame's icons; an owned one is destroyed when replaced or when the window goes.
    virtual HICON getSmallIcon() const = 0;
    virtual void setSmallIcon(HICON icon, bool owned) = 0;
    virtual HICON getLargeIcon() const = 0;
    virtual void setLargeIcon(HICON icon, bool owned) = 0;

    // The skins the window's widgets take their drawers from (not owned; may be null).
    // Widgets attached from then on take their kind's drawer from the current skin and
    // take it again whenever the holder reports a change.
    virtual bool hasSkinHolder() const = 0;
    virtual drawer::ISkinHolder* getSkinHolder() const = 0;
    virtual void setSkinHolder(drawer::ISkinHolder* holder) = 0;

    // Any click of the button closes the window.
    virtual void addCloser(IButton* button) = 0;
    virtual void addCloseListener(events::IEventListener* listener) = 0;
    virtual void addRightButtonDownListener(events::IEventListener* listener) = 0;
    virtual void addLeftButtonDownListener(events::IEventListener* listener) = 0;
    virtual void addRightButtonUpListener(events::IEventListener* listener) = 0;
    virtual void addLeftButtonUpListener(events::IEventListener* listener) = 0;
    virtual void addDoubleClickListener(events::IEventListener* listener) = 0;
    virtual void addMiddleButtonListener(events::IEventListener* listener) = 0;
    virtual void addSizeListener(events::IEventListener* listener) = 0;
    virtual void addActivateListener(events::IEventListener* listener) = 0;
    virtual void addDeactivateListener(events::IEventListener* listener) = 0;
    virtual void addMovingListener(events::IEventListener* listener) = 0;
    // For moving listeners (MOVING): where the frame goes, after the keep-inside correction.
    virtual int32_t getMovingX() const = 0;
    virtual int32_t getMovingY() const = 0;
    virtual void addMovedListener(events::IEventListener* listener) = 0;
    virtual void addKeyListener(events::IEventListener* listener) = 0;
    virtual void addRestoreListener(events::IEventListener* listener) = 0;
    virtual void addWorkerEventListener(events::IEventListener* listener) = 0;
    virtual void addSecondInstanceListener(events::IEventListener* listener) = 0;
    virtual void addSizingListener(events::IEventListener* listener) = 0;
    virtual void addMouseMoveListener(events::IEventListener* listener) = 0;
    virtual void addMouseWheelListener(events::IEventListener* listener) = 0;
    virtual void addLanguageListener(events::IEventListener* listener) = 0;
    virtual void addTrayClickListener(events::IEventListener* listener) = 0;
    virtual void addTrayMenuListener(events::IEventListener* listener) = 0;
    // Code 19: a right click on the window, before its context menu opens.
    virtual void addContextMenuListener(events::IEventListener* listener) = 0;
    // Code 17: a capture taken with captureMouse has ended.
    virtual void addCaptureListener(events::IEventListener* listener) = 0;
    // Takes the listener out of every list of this window.
    virtual void removeListener(const events::IEventListener* listener) = 0;

    // Hands a worker's event to the UI thread and waits until every worker-event
    // listener has run there; answers the result word they set (0 without a frame).
    // name is compared by identity; text may be null. Both need only live for the call.
    virtual intptr_t sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) = 0;
    // The same without waiting: the window copies name pointer, values and text.
    virtual bool postWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) = 0;
    virtual const wchar_t* getEventName() const = 0;
    virtual intptr_t getEventValue1() const = 0;
    virtual intptr_t getEventValue2() const = 0;
    virtual const wchar_t* getEventText() const = 0;
    virtual void setWorkerEventResult(intptr_t value) = 0;

    // For sizing listeners: the dragged edge and the proposed frame rectangle.
    virtual int32_t getSizingEdge() const = 0;
    virtual bool isSizingLeft() const = 0;
    virtual bool isSizingRight() const = 0;
    virtual bool isSizingTop() const = 0;
    virtual bool isSizingBottom() const = 0;
    virtual bool isSizingTopLeft() const = 0;
    virtual bool isSizingTopRight() const = 0;
    virtual bool isSizingBottomLeft() const = 0;
    virtual bool isSizingBottomRight() const = 0;
    virtual int32_t getSizingLeft() const = 0;
    virtual int32_t getSizingRight() const = 0;
    virtual int32_t getSizingTop() const = 0;
    virtual int32_t getSizingBottom() const = 0;
    virtual void setSizingLeft(int32_t value) = 0;
    virtual void setSizingRight(int32_t value) = 0;
    virtual void setSizingTop(int32_t value) = 0;
    virtual void setSizingBottom(int32_t value) = 0;

    // The frame's menu bar (not owned; null: none). Its commands, and those of the tray
    // and context menus, reach the menu that owns them (runCommand).
    virtual void setMenuBar(IPopupMenu* menu) = 0;
    virtual IPopupMenu* getMenuBar() const = 0;
    // Opened at the cursor by a right click on the window (not owned; null: none).
    virtual void setContextMenu(IPopupMenu* menu) = 0;
    // The same with a value the context-menu listeners (CONTEXT_MENU) read back.
    virtual void setContextMenu(IPopupMenu* menu, intptr_t value) = 0;
    virtual intptr_t getContextMenuValue() const = 0;
    // The frame's parent window: the hidden owner that keeps it off the taskbar's own road.
    virtual HWND getFrameParent() const = 0;

    // Takes the mouse until another window takes it or a click elsewhere ends it; then
    // the capture listeners hear CAPTURE_ENDED and the cursor's screen position is kept.
    virtual void captureMouse() = 0;
    virtual int32_t getCaptureEndX() const = 0;
    virtual int32_t getCaptureEndY() const = 0;

    // Moves the keyboard focus to the next enabled control in tab order (or the previous).
    virtual void sendTab(bool backwards) = 0;

    // Size rules of a drag of the frame or the size grip: the width (height) is kept at
    // least the preferred one.
    virtual void setMinimumSizeRules(bool both) = 0;
    virtual void setMinimumSizeRules(bool width, bool height) = 0;
    // Raises width and height to the preferred ones.
    virtual void enforceMinimumSize() = 0;
    // Sets the size (width, height) to the preferred one.
    virtual void fitToPreferredSize() = 0;
    virtual void fitToPreferredWidth() = 0;
    virtual void fitToPreferredHeight() = 0;

    // Stored; applied at once when >= 0.
    virtual void setDefaultWidth(int32_t w) = 0;
    virtual void setDefaultHeight(int32_t h) = 0;

    // The virtual-key code of the last WM_KEYDOWN.
    virtual int32_t getLastKey() const = 0;
    // Lines per wheel notch, negative when turned toward the user.
    virtual int32_t getWheelDelta() const = 0;
    virtual int32_t getBorderWidth() const = 0;
    virtual int32_t getBorderHeight() const = 0;
    // Two values kept for the program's own use; the window never reads them.
    virtual void setFirstUserValue(intptr_t value) = 0;
    virtual intptr_t getFirstUserValue() const = 0;
    virtual void setSecondUserValue(intptr_t value) = 0;
    virtual intptr_t getSecondUserValue() const = 0;
    // On: double clicks go on to the default handling (a caption double click maximizes).
    virtual void setPassDoubleClicks(bool on) = 0;
    // The middle-click actions, compared by identity, not by content.
    static constexpr wchar_t MIDDLE_DO_NOTHING[] = L"DoNothing";
    static constexpr wchar_t MIDDLE_CLOSE[] = L"Close";
    static constexpr wchar_t MIDDLE_ICONIZE[] = L"Iconize";
    // One of the three constants above; any other text does nothing.
    virtual void setMiddleClickAction(const wchar_t* action) = 0;

    // Message boxes shown by the UI thread, for callers on other threads.
    virtual void showInformationOnUiThread(const wchar_t* text) = 0;
    virtual void showErrorOnUiThread(const wchar_t* text) = 0;
    virtual bool askYesNoOnUiThread(const wchar_t* text) = 0;

    // Power state: between a suspend and the resume.
    virtual bool isSuspended() const = 0;
    // Set by a WM_ENDSESSION of a system shutdown.
    virtual bool isShuttingDown() const = 0;
    virtual HWND getFrameHandle() const = 0;

    // Offered every message of the frame first; true ends it with *result.
    virtual bool preHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // Offered every message not ended by preHook, after the default handling; may change *result.
    virtual void postHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Frame and background: a frame drawer paints background and frame and gives the
    // window region (null: the system frame). An owned one goes with the window.
    virtual void setFrameDrawer(drawer::IWindow* drawer, bool owned) = 0;
    // On: the window is dragged by any free spot of its client area.
    virtual void setDragByClientArea(bool on) = 0;
    // On: with a frame drawer, dragging the frame's edges resizes the window.
    virtual void setResizeByFrame(bool on) = 0;

    // Shows (activating when asked) or hides the window; the working set is trimmed
    // after each change.
    virtual void show(bool show, bool activate) = 0;
    // Tells the state record the maximized state and the normal bounds.
    virtual void saveState(bool rememberAnimation) = 0;
    virtual bool isOnScreen() const = 0;
    virtual void moveOnScreen() = 0;
    // On: every move is corrected so that the window stays inside the screen.
    virtual void setKeepInsideScreen(bool on) = 0;
    virtual void setCheckPosition(bool on) = 0;

    virtual void setTrayIcon(bool on) = 0;
    virtual void refreshTrayIcon() = 0;
    virtual void setKeepTrayIcon(bool on) = 0;
    virtual bool isTrayIconShown() const = 0;
    // On: the icon stays in the notification area while the window shows.
    virtual void setTrayIconWhileShown(bool on) = 0;
    // On: a click on the tray icon hides an active window to the tray and brings back
    // one that is not.
    virtual void setTrayClickToggle(bool on) = 0;
    // On: closing the window (the close box, close) hides it to the tray instead.
    virtual void setCloseToTray(bool on) = 0;
    // Opened by a right click on the tray icon (not owned; may be null).
    virtual void setTrayMenu(IPopupMenu* menu) = 0;

    // Percent 0-100 (100 opaque).
    virtual void setAlpha(int32_t percent, bool onlyWhenTopmost) = 0;
    virtual int32_t getAlpha() const = 0;
    virtual void setHoverBehaviour(bool fade, bool shrink, bool shiftOverrides, bool topmostOnly,
                                   int32_t displaySeconds, int32_t shrinkWidth, int32_t shrinkHeight) = 0;
    virtual bool isShrunk() const = 0;
    virtual bool isFading() const = 0;
    // A hover animation (fade, shrink, or the wait between) is under way.
    virtual bool isAnimating() const = 0;
    virtual void setFollowCursor(bool on) = 0;
    virtual void setHideCursor(bool on) = 0;

    // Hot keys by name; answers whether the key was registered. Listeners of HOT_KEY ask isHotKey.
    virtual bool registerHotKey(bool alt, bool ctrl, bool shift, bool win, uint32_t virtualKey, const wchar_t* name,
                                bool showFailure) = 0;
    virtual void unregisterHotKey(const wchar_t* name) = 0;
    virtual void unregisterAllHotKeys() = 0;
    virtual bool isHotKey(const wchar_t* name) const = 0;
    virtual void addHotKeyListener(events::IEventListener* listener) = 0;

    // User timers (USER_TIMER): getTimerId names the one that fired; a listener that calls
    // setTimerHandled keeps it from the default handling.
    virtual bool setTimer(uint32_t id, uint32_t milliseconds) = 0;
    virtual void killTimer(uint32_t id) = 0;
    virtual uint32_t getTimerId() const = 0;
    virtual void setTimerHandled() = 0;
    virtual void addTimerListener(events::IEventListener* listener) = 0;

    // Joins or leaves the clipboard viewer chain; CLIPBOARD on every clipboard change.
    virtual void setClipboardViewer(bool on) = 0;
    virtual void addClipboardListener(events::IEventListener* listener) = 0;

    // Saves a picture of the window as it shows on the screen; false when nothing was saved.
    virtual bool saveWindowImage(const wchar_t* path) = 0;
    // The left or the right Shift key is down.
    static bool isShiftDown() { return ((GetKeyState(VK_LSHIFT) | GetKeyState(VK_RSHIFT)) & 0x8000) != 0; }
};

} // namespace s::gui
