#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

// A native edit field.
class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CWnd::Create(WC_EDITW, L"", style, rect, parent, id);
    }

    // start 0 and end -1 select everything; start -1 removes the selection.
    void SetSel(int start, int end, bool noScroll = false) const {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
        if (!noScroll) {
            SendMessage(EM_SCROLLCARET);
        }
    }
    void GetSel(int* start, int* end) const {
        DWORD from = 0;
        DWORD to = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        *start = static_cast<int>(from);
        *end = static_cast<int>(to);
    }
    void ReplaceSel(LPCWSTR text, bool canUndo = false) const {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    bool SetReadOnly(bool readOnly) const { return SendMessage(EM_SETREADONLY, readOnly) != 0; }
    // 0 shows the characters as typed.
    void SetPasswordChar(wchar_t ch) const { SendMessage(EM_SETPASSWORDCHAR, ch); }
    wchar_t GetPasswordChar() const { return static_cast<wchar_t>(SendMessage(EM_GETPASSWORDCHAR)); }
    void SetLimitText(UINT count) const { SendMessage(EM_SETLIMITTEXT, count); }
    UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
    void ScrollCaret() const { SendMessage(EM_SCROLLCARET); }
    bool CanUndo() const { return SendMessage(EM_CANUNDO) != 0; }
    bool Undo() const { return SendMessage(EM_UNDO) != 0; }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    void SetMargins(UINT left, UINT right) const {
        SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right));
    }
};
