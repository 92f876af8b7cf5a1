#pragma once
#include <windows.h>

#include "framework/CPaintDC.h"
#include "images/image/win/BufferedImage.h"
#include "widgets/gui/win/BackBuffer.h"
#include "widgets/gui/win/MemDC.h"

namespace s::gui::win {

// One WM_PAINT of a leaf that paints itself: a pooled memory context over an image of
// the client size to paint into, copied to the window when the object goes. Nothing is
// painted into a window without a client area (the context is then null).
class OffscreenPaint {
public:
    explicit OffscreenPaint(HWND hwnd) : window_(hwnd) {
        GetClientRect(hwnd, &client_);
        if (client_.right > 0 && client_.bottom > 0) {
            memory_ = MemDC::acquire(hwnd, image::win::BufferedImage::create(client_.right, client_.bottom), true);
        }
    }
    ~OffscreenPaint() {
        if (memory_ != nullptr) {
            BitBlt(window_, 0, 0, client_.right, client_.bottom, *memory_, 0, 0, SRCCOPY);
            memory_->release();
        }
    }
    OffscreenPaint(const OffscreenPaint&) = delete;
    OffscreenPaint& operator=(const OffscreenPaint&) = delete;

    // Null when there is nothing to paint into.
    HDC dc() const { return memory_ != nullptr ? memory_->GetSafeHdc() : nullptr; }
    const RECT& client() const { return client_; }
    // Fills the client area with a colour (R | G<<8 | B<<16).
    void fill(uint32_t colour) const {
        if (HDC target = dc()) {
            BackBuffer::fill(target, client_.right, client_.bottom, colour);
        }
    }
    // What lies under the widget in its parent when `parent`, else the colour.
    void background(const IComponent* widget, bool parent, uint32_t colour) const {
        if (parent) {
            copyParentBackground(widget);
        } else {
            fill(colour);
        }
    }
    // What lies under the widget in its parent.
    void copyParentBackground(const IComponent* widget) const {
        if (HDC target = dc()) {
            BackBuffer::copyParentBackground(widget, target, client_.right, client_.bottom);
        }
    }

private:
    CPaintDC window_;
    RECT client_ = {};
    MemDC* memory_ = nullptr;
};

} // namespace s::gui::win
