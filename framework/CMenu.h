#pragma once
#include <windows.h>

// A native menu. A menu the holder made (or was given with Attach) is destroyed when
// the holder goes, unless it was detached first; a menu set on a window belongs to the
// window, so detach it after SetMenu.
class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    bool CreateMenu() { return Attach(::CreateMenu()); }
    bool CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    // Takes ownership of menu (the previous one is destroyed).
    bool Attach(HMENU menu) {
        DestroyMenu();
        m_hMenu = menu;
        return menu != nullptr;
    }
    HMENU Detach() {
        HMENU menu = m_hMenu;
        m_hMenu = nullptr;
        return menu;
    }
    bool DestroyMenu() {
        if (m_hMenu == nullptr) {
            return false;
        }
        const bool destroyed = ::IsMenu(m_hMenu) && ::DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
        return destroyed;
    }
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // idOrSubMenu is a command id, or the handle of a sub-menu with MF_POPUP.
    bool AppendMenu(UINT flags, UINT_PTR idOrSubMenu = 0, LPCWSTR text = nullptr) const {
        return ::AppendMenuW(m_hMenu, flags, idOrSubMenu, text) != FALSE;
    }
    bool InsertMenu(UINT position, UINT flags, UINT_PTR idOrSubMenu = 0, LPCWSTR text = nullptr) const {
        return ::InsertMenuW(m_hMenu, position, flags, idOrSubMenu, text) != FALSE;
    }
    bool ModifyMenu(UINT position, UINT flags, UINT_PTR idOrSubMenu = 0, LPCWSTR text = nullptr) const {
        return ::ModifyMenuW(m_hMenu, position, flags, idOrSubMenu, text) != FALSE;
    }
    bool RemoveMenu(UINT position, UINT flags) const { return ::RemoveMenu(m_hMenu, position, flags) != FALSE; }
    bool DeleteMenu(UINT position, UINT flags) const { return ::DeleteMenu(m_hMenu, position, flags) != FALSE; }
    // Answers the previous state (MF_CHECKED or MF_UNCHECKED), or -1 when the item is missing.
    DWORD CheckMenuItem(UINT item, UINT flags) const { return ::CheckMenuItem(m_hMenu, item, flags); }
    bool CheckMenuRadioItem(UINT first, UINT last, UINT item, UINT flags) const {
        return ::CheckMenuRadioItem(m_hMenu, first, last, item, flags) != FALSE;
    }
    // Answers the previous state, or -1 when the item is missing.
    int EnableMenuItem(UINT item, UINT flags) const { return ::EnableMenuItem(m_hMenu, item, flags); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }
    int GetMenuString(UINT item, wchar_t* text, int count, UINT flags) const {
        return ::GetMenuStringW(m_hMenu, item, text, count, flags);
    }
    bool SetMenuItemInfo(UINT item, bool byPosition, const MENUITEMINFOW* info) const {
        return ::SetMenuItemInfoW(m_hMenu, item, byPosition, info) != FALSE;
    }
    bool GetMenuItemInfo(UINT item, bool byPosition, MENUITEMINFOW* info) const {
        return ::GetMenuItemInfoW(m_hMenu, item, byPosition, info) != FALSE;
    }
    // The pointer-sized value the menu carries (MIM_MENUDATA).
    bool SetMenuData(ULONG_PTR data) const {
        MENUINFO info = {sizeof(MENUINFO), MIM_MENUDATA, 0, 0, nullptr, 0, data};
        return ::SetMenuInfo(m_hMenu, &info) != FALSE;
    }
    ULONG_PTR GetMenuData() const {
        MENUINFO info = {sizeof(MENUINFO), MIM_MENUDATA, 0, 0, nullptr, 0, 0};
        return ::GetMenuInfo(m_hMenu, &info) ? info.dwMenuData : 0;
    }
    // Opens the menu at a screen point until it closes; with TPM_RETURNCMD answers the
    // chosen command id (0 for none), else whether it opened.
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner) const {
        return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, nullptr);
    }

    HMENU m_hMenu = nullptr;
};
