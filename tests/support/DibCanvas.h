// A top-down 32-bit DIB section selected into its own memory DC: a surface a test draws on
// or copies the screen to, and whose pixels it then reads directly.
#pragma once
#include <windows.h>

#include <cstdint>

namespace testsupport {

class DibCanvas {
public:
    DibCanvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<uint32_t*>(bits);
        if (bitmap_ != nullptr) old_ = SelectObject(dc_, bitmap_);
    }
    ~DibCanvas() {
        if (bitmap_ != nullptr) SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool ok() const { return pixels_ != nullptr; }
    HDC dc() const { return dc_; }
    // Row by row from the top left, as 0xAARRGGBB; read after GdiFlush.
    uint32_t* pixels() const { return pixels_; }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* pixels_ = nullptr;
};

} // namespace testsupport
