#pragma once
#include <windows.h>

#include "framework/CDC.h"

// The whole window's context (frame included), released at the end.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND hwnd) : hwnd_(hwnd) { m_hDC = ::GetWindowDC(hwnd); }
    ~CWindowDC() override {
        if (HDC dc = release()) {
            ::ReleaseDC(hwnd_, dc);
        }
    }

private:
    HWND hwnd_;
};
