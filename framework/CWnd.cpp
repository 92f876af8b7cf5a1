#include "framework/CWnd.h"

#include <unordered_map>

namespace {

// What the map knows of a window: its object (null once detached while another
// procedure sits on top of ours) and the procedure it had before ours.
struct Entry {
    CWnd* wnd;
    WNDPROC super;
};

SRWLOCK g_mapLock = SRWLOCK_INIT;

std::unordered_map<HWND, Entry>& windowMap() {
    static auto* const map = new std::unordered_map<HWND, Entry>();
    return *map;
}

Entry lookup(HWND hwnd) {
    AcquireSRWLockShared(&g_mapLock);
    const auto& map = windowMap();
    const auto it = map.find(hwnd);
    const Entry entry = it == map.end() ? Entry{nullptr, nullptr} : it->second;
    ReleaseSRWLockShared(&g_mapLock);
    return entry;
}

// The object whose CreateEx runs on this thread, until the hook has seen its window.
thread_local CWnd* t_creating = nullptr;

} // namespace

// Subclasses the window of a CreateEx call as soon as it exists, before its first message.
class CWndCreation {
public:
    explicit CWndCreation(CWnd* wnd) : previous_(t_creating) {
        t_creating = wnd;
        hook_ = SetWindowsHookExW(WH_CBT, &CWndCreation::hook, nullptr, GetCurrentThreadId());
    }
    ~CWndCreation() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
        t_creating = previous_;
    }
    CWndCreation(const CWndCreation&) = delete;
    CWndCreation& operator=(const CWndCreation&) = delete;

    bool hooked() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && t_creating != nullptr) {
            CWnd* wnd = t_creating;
            t_creating = nullptr;
            if (wnd->Attach(reinterpret_cast<HWND>(wParam))) {
                wnd->hookProcedure();
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    CWnd* previous_;
    HHOOK hook_;
};

CWnd::~CWnd() {
    if (m_hWnd == nullptr) {
        return;
    }
    if (::IsWindow(m_hWnd) && GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId()) {
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd != nullptr) {
        Detach();
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    return hwnd == nullptr ? nullptr : lookup(hwnd).wnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, LPVOID param) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    CWndCreation creation(this);
    if (!creation.hooked()) {
        return FALSE;
    }
    HWND hwnd = CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId,
                                GetModuleHandleW(nullptr), param);
    // A window that failed after the hook saw it has been forgotten at WM_NCDESTROY.
    return hwnd != nullptr && hwnd == m_hWnd;
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, HWND parent, UINT id,
                  LPVOID param) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::Attach(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr) {
        return FALSE;
    }
    AcquireSRWLockExclusive(&g_mapLock);
    auto& map = windowMap();
    const auto it = map.find(hwnd);
    bool attached = false;
    if (it == map.end()) {
        map.emplace(hwnd, Entry{this, nullptr});
        attached = true;
    } else if (it->second.wnd == nullptr) {
        // Detached earlier under a foreign procedure: ours still runs and passes on.
        it->second.wnd = this;
        superProc_ = it->second.super;
        attached = true;
    }
    if (attached) {
        m_hWnd = hwnd;
    }
    ReleaseSRWLockExclusive(&g_mapLock);
    return attached;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd == nullptr) {
        return nullptr;
    }
    AcquireSRWLockExclusive(&g_mapLock);
    auto& map = windowMap();
    const auto it = map.find(hwnd);
    if (it != map.end() && it->second.wnd == this) {
        const bool ours = superProc_ != nullptr &&
                          GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::routeMessage);
        if (superProc_ == nullptr || ours) {
            if (ours) {
                SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
            }
            map.erase(it);
        } else {
            // Another procedure was put on top of ours: it still calls ours, which
            // must go on passing messages to the original one.
            it->second.wnd = nullptr;
        }
    }
    ReleaseSRWLockExclusive(&g_mapLock);
    m_hWnd = nullptr;
    superProc_ = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!::IsWindow(hwnd) || !Attach(hwnd)) {
        return FALSE;
    }
    if (superProc_ == nullptr && !hookProcedure()) {
        Detach();
        return FALSE;
    }
    return TRUE;
}

bool CWnd::hookProcedure() {
    const LONG_PTR previous =
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::routeMessage));
    if (previous == 0) {
        return false;
    }
    superProc_ = reinterpret_cast<WNDPROC>(previous);
    AcquireSRWLockExclusive(&g_mapLock);
    const auto it = windowMap().find(m_hWnd);
    if (it != windowMap().end()) {
        it->second.super = superProc_;
    }
    ReleaseSRWLockExclusive(&g_mapLock);
    return true;
}

void CWnd::forgetDestroyed() {
    HWND hwnd = m_hWnd;
    AcquireSRWLockExclusive(&g_mapLock);
    windowMap().erase(hwnd);
    ReleaseSRWLockExclusive(&g_mapLock);
    m_hWnd = nullptr;
    superProc_ = nullptr;
    PostNcDestroy();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (superProc_ != nullptr) {
        return CallWindowProcW(superProc_, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd != nullptr;) {
        CWnd* wnd = FromHandle(hwnd);
        if (wnd != nullptr && wnd->PreTranslateMessage(msg)) {
            return TRUE;
        }
        if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
        hwnd = ::GetParent(hwnd);
    }
    return FALSE;
}

bool CWnd::SetRegion(HRGN region, bool redraw) const {
    if (::SetWindowRgn(m_hWnd, region, redraw) != 0) {
        return true;
    }
    if (region != nullptr) {
        DeleteObject(region);
    }
    return false;
}

bool CWnd::modify(int index, DWORD remove, DWORD add, UINT swpFlags) const {
    const DWORD style = static_cast<DWORD>(GetLongPtr(index));
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) {
        return false;
    }
    SetLongPtr(index, static_cast<LONG_PTR>(changed));
    if (swpFlags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    }
    return true;
}

LRESULT CALLBACK CWnd::routeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const Entry entry = lookup(hwnd);
    if (entry.wnd == nullptr) {
        LRESULT result = entry.super != nullptr ? CallWindowProcW(entry.super, hwnd, message, wParam, lParam)
                                                : ::DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            AcquireSRWLockExclusive(&g_mapLock);
            windowMap().erase(hwnd);
            ReleaseSRWLockExclusive(&g_mapLock);
        }
        return result;
    }
    CWnd* wnd = entry.wnd;
    if (message == WM_NCDESTROY &&
        GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::routeMessage)) {
        // The original procedure's own clean-up expects to be the window's procedure again.
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry.super));
    }
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY && lookup(hwnd).wnd == wnd) {
        wnd->forgetDestroyed();
    }
    return result;
}
