#pragma once
#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

// A native trackbar.
class CSliderCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CWnd::Create(TRACKBAR_CLASSW, L"", style, rect, parent, id);
    }

    void SetRange(int minimum, int maximum, bool redraw = false) const {
        SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
        SendMessage(TBM_SETRANGEMAX, redraw, maximum);
    }
    void SetRangeMin(int minimum, bool redraw = false) const { SendMessage(TBM_SETRANGEMIN, redraw, minimum); }
    void SetRangeMax(int maximum, bool redraw = false) const { SendMessage(TBM_SETRANGEMAX, redraw, maximum); }
    int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    void SetPos(int position) const { SendMessage(TBM_SETPOS, TRUE, position); }
    int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetTicFreq(int frequency) const { SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }
    void ClearTics(bool redraw = false) const { SendMessage(TBM_CLEARTICS, redraw); }
    void SetThumbLength(int length) const { SendMessage(TBM_SETTHUMBLENGTH, static_cast<WPARAM>(length)); }
    int GetThumbLength() const { return static_cast<int>(SendMessage(TBM_GETTHUMBLENGTH)); }
    int SetPageSize(int size) const { return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, size)); }
    int SetLineSize(int size) const { return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, size)); }
    void GetChannelRect(RECT* rect) const { SendMessage(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(rect)); }
    void GetThumbRect(RECT* rect) const { SendMessage(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(rect)); }
};
