#pragma once
#include <windows.h>

#include <cstdint>

// A native window held by its handle. The helpers are one-line calls on the handle and
// cache nothing the window itself can answer.
//
// A window made by CreateEx is subclassed while it is being created (before
// WM_NCCREATE), so WindowProc sees every message; what WindowProc does not take goes to
// DefWindowProc, which is the window's original procedure. SubclassWindow does the same
// for a window that already exists, Attach only maps the handle to the object.
//
// The handle-to-object map is process-wide: FromHandle answers on any thread. It holds
// only windows that have an object; there are no temporary objects.
class CWnd {
public:
    CWnd() = default;
    // A window still attached is destroyed when it belongs to the calling thread, else
    // given back its own procedure and forgotten.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object of a window, or null when the window has none.
    static CWnd* FromHandle(HWND hwnd);

    // Creates the window, subclassed from its first message on. False when it exists
    // already or creation fails.
    virtual BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                          int width, int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
    // A child window with the given control id.
    BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, HWND parent, UINT id,
                LPVOID param = nullptr);

    // Maps an existing window to this object without touching its procedure.
    BOOL Attach(HWND hwnd);
    // Forgets the window (and gives it back its own procedure when this object
    // subclassed it); returns the handle.
    HWND Detach();
    // Maps an existing window to this object and routes its messages through WindowProc.
    BOOL SubclassWindow(HWND hwnd);
    // The opposite of SubclassWindow; returns the handle.
    HWND UnsubclassWindow() { return Detach(); }

    BOOL DestroyWindow() { return m_hWnd != nullptr && ::DestroyWindow(m_hWnd); }

    // Every message of a subclassed window. The default passes it on to DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's original procedure (the class's, or the one it had when subclassed).
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Offered every queued message aimed at this window or its children before it is
    // dispatched; true takes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Called after the window's last message (WM_NCDESTROY), once the handle is gone.
    virtual void PostNcDestroy() {}

    // Offers msg to the objects of msg->hwnd and of its parents up to its top-level
    // window, innermost first; true when one took it.
    static BOOL WalkPreTranslateTree(MSG* msg);

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }
    // The id of the thread that owns the window (0 without one).
    DWORD GetThreadId() const { return m_hWnd == nullptr ? 0 : GetWindowThreadProcessId(m_hWnd, nullptr); }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
    }

    // True when the window was visible before.
    bool Show(int command) const { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool Update() const { return ::UpdateWindow(m_hWnd) != FALSE; }
    bool Move(int x, int y, int width, int height, bool repaint = true) const {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint) != FALSE;
    }
    bool SetPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) const {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags) != FALSE;
    }
    bool SetText(LPCWSTR text) const { return ::SetWindowTextW(m_hWnd, text) != FALSE; }
    int GetText(wchar_t* buffer, int count) const { return ::GetWindowTextW(m_hWnd, buffer, count); }
    int GetTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    LONG_PTR SetLongPtr(int index, LONG_PTR value) const { return ::SetWindowLongPtrW(m_hWnd, index, value); }
    LONG_PTR GetLongPtr(int index) const { return ::GetWindowLongPtrW(m_hWnd, index); }
    DWORD GetStyle() const { return static_cast<DWORD>(GetLongPtr(GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(GetLongPtr(GWL_EXSTYLE)); }
    // Removes then adds style bits; with swpFlags the frame is refreshed by SetWindowPos.
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const { return modify(GWL_STYLE, remove, add, swpFlags); }
    bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) const {
        return modify(GWL_EXSTYLE, remove, add, swpFlags);
    }
    // True when the window was disabled before.
    bool Enable(bool enable) const { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    bool IsEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool IsVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
    bool IsZoomed() const { return ::IsZoomed(m_hWnd) != FALSE; }
    bool GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect) != FALSE; }
    bool GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hWnd, rect) != FALSE; }
    bool ClientToScreen(POINT* point) const { return ::ClientToScreen(m_hWnd, point) != FALSE; }
    bool ScreenToClient(POINT* point) const { return ::ScreenToClient(m_hWnd, point) != FALSE; }
    bool Invalidate(bool erase = true) const { return ::InvalidateRect(m_hWnd, nullptr, erase) != FALSE; }
    bool Redraw(const RECT* rect, UINT flags) const { return ::RedrawWindow(m_hWnd, rect, nullptr, flags) != FALSE; }
    void SetFont(HFONT font, bool redraw = true) const {
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }
    HICON SetIcon(HICON icon, bool big) const {
        return reinterpret_cast<HICON>(
            ::SendMessageW(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    bool SetMenu(HMENU menu) const { return ::SetMenu(m_hWnd, menu) != FALSE; }
    bool SetForeground() const { return ::SetForegroundWindow(m_hWnd) != FALSE; }
    bool BringToTop() const { return ::BringWindowToTop(m_hWnd) != FALSE; }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id) != FALSE; }
    // Hands the region to the window, which owns it from then on; a region the call
    // refuses is deleted here, so it never leaks.
    bool SetRegion(HRGN region, bool redraw) const;

    HWND m_hWnd = nullptr;

private:
    friend class CWndCreation;

    bool modify(int index, DWORD remove, DWORD add, UINT swpFlags) const;
    // Routes the window's messages through WindowProc; false when it is subclassed already.
    bool hookProcedure();
    // The handle is gone: forget it and run PostNcDestroy.
    void forgetDestroyed();
    static LRESULT CALLBACK routeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC superProc_ = nullptr;
};
