#include "images/monitor/win/ScreenCapture.h"

#include "images/image/win/BufferedImage.h"

namespace s::system::monitor::win {

using image::win::BufferedImage;

namespace {

RECT virtualScreen() {
    RECT screen;
    screen.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    screen.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return screen;
}

} // namespace

BufferedImage* captureScreenRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    const RECT screen = virtualScreen();
    // 64-bit edges: a far-off rectangle must not wrap round into the screen.
    int64_t left = x, top = y;
    int64_t right = left + width, bottom = top + height;
    if (left < screen.left) {
        left = screen.left;
    }
    if (right > screen.right) {
        right = screen.right;
    }
    if (top < screen.top) {
        top = screen.top;
    }
    if (bottom > screen.bottom) {
        bottom = screen.bottom;
    }
    if (right <= left || bottom <= top) {
        return nullptr;
    }
    const int32_t w = static_cast<int32_t>(right - left);
    const int32_t h = static_cast<int32_t>(bottom - top);
    HDC screenDc = GetDC(nullptr);
    if (screenDc == nullptr) {
        return nullptr;
    }
    BufferedImage* image = BufferedImage::create(w, h);
    HDC memory = image != nullptr ? CreateCompatibleDC(screenDc) : nullptr;
    bool done = false;
    if (memory != nullptr) {
        HGDIOBJ old = SelectObject(memory, image->nativeHandle());
        if (old != nullptr && old != HGDI_ERROR) {
            done = BitBlt(memory, 0, 0, w, h, screenDc, static_cast<int>(left), static_cast<int>(top), SRCCOPY) !=
                   FALSE;
            SelectObject(memory, old);
        }
        DeleteDC(memory);
    }
    ReleaseDC(nullptr, screenDc);
    if (!done) {
        if (image != nullptr) {
            image->release();
        }
        return nullptr;
    }
    image->makeOpaque();
    return image;
}

BufferedImage* captureWindow(HWND window) {
    RECT rect;
    if (window == nullptr || !IsWindow(window) || !GetWindowRect(window, &rect)) {
        return nullptr;
    }
    const RECT screen = virtualScreen();
    if (rect.left <= screen.left) {
        rect.left = screen.left;
    }
    if (rect.top <= screen.top) {
        rect.top = screen.top;
    }
    if (rect.right >= screen.right) {
        rect.right = screen.right;
    }
    if (rect.bottom >= screen.bottom) {
        rect.bottom = screen.bottom;
    }
    return captureScreenRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

} // namespace s::system::monitor::win
