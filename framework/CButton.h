#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

// A native button (push button, check box, radio button, group box).
class CButton : public CWnd {
public:
    BOOL Create(LPCWSTR caption, DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CWnd::Create(WC_BUTTONW, caption, style, rect, parent, id);
    }

    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetState(bool highlight) const { SendMessage(BM_SETSTATE, highlight); }
    UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
    void SetButtonStyle(UINT style, bool redraw = true) const { SendMessage(BM_SETSTYLE, style, redraw); }
    void Click() const { SendMessage(BM_CLICK); }
    // The size that fits the caption (comctl32 6); false when the control cannot tell.
    bool GetIdealSize(SIZE* size) const {
        size->cx = 0;
        size->cy = 0;
        return SendMessage(BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(size)) != 0;
    }
};
