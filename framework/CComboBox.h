#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

// A native combo box. Indexes are zero-based; CB_ERR (-1) means none or failure.
class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CWnd::Create(WC_COMBOBOXW, L"", style, rect, parent, id);
    }

    int AddString(LPCWSTR text) const { return index(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    int InsertString(int at, LPCWSTR text) const {
        return index(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text)));
    }
    // The number of entries left, or CB_ERR.
    int DeleteString(int at) const { return index(SendMessage(CB_DELETESTRING, static_cast<WPARAM>(at))); }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return index(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return index(SendMessage(CB_GETCURSEL)); }
    // -1 clears the selection; answers the new selection or CB_ERR.
    int SetCurSel(int at) const { return index(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(at))); }
    int GetLBTextLen(int at) const { return index(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(at))); }
    // buffer must hold GetLBTextLen(at) + 1 characters.
    int GetLBText(int at, wchar_t* buffer) const {
        return index(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(buffer)));
    }
    bool SetItemData(int at, DWORD_PTR data) const {
        return SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(data)) != CB_ERR;
    }
    DWORD_PTR GetItemData(int at) const {
        return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(at)));
    }
    // at -1 is the selection field, other values the list entries.
    bool SetItemHeight(int at, UINT height) const {
        return SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(at), static_cast<LPARAM>(height)) != CB_ERR;
    }
    int GetItemHeight(int at) const { return index(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(at))); }
    bool SetTopIndex(int at) const { return SendMessage(CB_SETTOPINDEX, static_cast<WPARAM>(at)) != CB_ERR; }
    int GetTopIndex() const { return index(SendMessage(CB_GETTOPINDEX)); }
    int SetDroppedWidth(UINT width) const { return index(SendMessage(CB_SETDROPPEDWIDTH, width)); }
    int GetDroppedWidth() const { return index(SendMessage(CB_GETDROPPEDWIDTH)); }
    bool GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }
    void ShowDropDown(bool show) const { SendMessage(CB_SHOWDROPDOWN, show); }
    bool LimitText(int count) const { return SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(count)) != 0; }
    bool SetEditSel(int start, int end) const {
        return SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(start, end)) != CB_ERR;
    }

private:
    static int index(LRESULT result) { return static_cast<int>(result); }
};
