#pragma once
#include <windows.h>

#include "framework/CDC.h"

// The client area's context of a window, released at the end.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hwnd) : hwnd_(hwnd) { m_hDC = ::GetDC(hwnd); }
    ~CClientDC() override {
        if (HDC dc = release()) {
            ::ReleaseDC(hwnd_, dc);
        }
    }

private:
    HWND hwnd_;
};
