#pragma once
#include <windows.h>

#include "framework/CDC.h"

namespace s::gui::win {

// One WM_PAINT of a widget that paints itself: a memory context of the client size to
// paint into, copied to the window when the object goes. Nothing is painted into a window
// without a client area (the context is then null).
class OffscreenPaint {
public:
    explicit OffscreenPaint(HWND hwnd) : hwnd_(hwnd) {
        window_ = BeginPaint(hwnd, &paint_);
        GetClientRect(hwnd, &client_);
        const int w = client_.right - client_.left;
        const int h = client_.bottom - client_.top;
        if (window_ != nullptr && w > 0 && h > 0 && memory_.CreateCompatibleDC(window_)) {
            bitmap_ = CreateCompatibleBitmap(window_, w, h);
            if (bitmap_ != nullptr) {
                memory_.SelectObject(bitmap_);
            }
        }
    }
    ~OffscreenPaint() {
        if (bitmap_ != nullptr) {
            BitBlt(window_, 0, 0, client_.right, client_.bottom, memory_, 0, 0, SRCCOPY);
            memory_.RestoreObjects();
            DeleteObject(bitmap_);
        }
        EndPaint(hwnd_, &paint_);
    }
    OffscreenPaint(const OffscreenPaint&) = delete;
    OffscreenPaint& operator=(const OffscreenPaint&) = delete;

    // Null when there is nothing to paint into.
    HDC dc() const { return bitmap_ != nullptr ? memory_.GetSafeHdc() : nullptr; }
    const RECT& client() const { return client_; }
    // Fills the client area with a colour (R | G<<8 | B<<16).
    void fill(COLORREF colour) const {
        if (HDC target = dc()) {
            SetBkColor(target, colour);
            ExtTextOutW(target, 0, 0, ETO_OPAQUE, &client_, nullptr, 0, nullptr);
        }
    }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_ = {};
    HDC window_ = nullptr;
    RECT client_ = {};
    CDC memory_;
    HBITMAP bitmap_ = nullptr;
};

} // namespace s::gui::win
