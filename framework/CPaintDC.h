#pragma once
#include <windows.h>

#include "framework/CDC.h"

// The context of one WM_PAINT: BeginPaint now, EndPaint at the end.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hwnd) : hwnd_(hwnd) { m_hDC = ::BeginPaint(hwnd, &m_ps); }
    ~CPaintDC() override {
        release();
        ::EndPaint(hwnd_, &m_ps);
    }

    PAINTSTRUCT m_ps = {};

private:
    HWND hwnd_;
};
