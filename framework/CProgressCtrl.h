#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

// A native progress bar.
class CProgressCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CWnd::Create(PROGRESS_CLASSW, L"", style, rect, parent, id);
    }

    void SetRange32(int lower, int upper) const { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    void GetRange(int* lower, int* upper) const {
        PBRANGE range = {};
        SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        *lower = range.iLow;
        *upper = range.iHigh;
    }
    // Answers the previous position.
    int SetPos(int position) const { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position))); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    int OffsetPos(int delta) const { return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(delta))); }
    int SetStep(int step) const { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step))); }
    int StepIt() const { return static_cast<int>(SendMessage(PBM_STEPIT)); }
    COLORREF SetBarColor(COLORREF colour) const { return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, colour)); }
    COLORREF SetBkColor(COLORREF colour) const { return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, colour)); }
    bool SetMarquee(bool on, UINT intervalMs) const { return SendMessage(PBM_SETMARQUEE, on, intervalMs) != 0; }
};
