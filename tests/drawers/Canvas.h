// Drawing targets for drawer tests: an in-memory image filled with a sentinel colour and
// selected into a memory device context, the UI scale pretended by screen size, and a
// record of a device context's state to show a drawer left it as it found it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "images/image/win/BufferedImage.h"
#include "system/monitor/UiScale.h"

namespace canvas {

constexpr COLORREF SENTINEL = RGB(1, 2, 3);

class Canvas {
public:
    Canvas(int32_t width, int32_t height) : width_(width), height_(height) {
        image_ = s::image::win::BufferedImage::create(width, height);
        dc_ = CreateCompatibleDC(nullptr);
        if (image_ != nullptr && dc_ != nullptr) {
            old_ = SelectObject(dc_, image_->nativeHandle());
        }
        clear();
    }
    ~Canvas() {
        if (dc_ != nullptr) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
        if (image_ != nullptr) {
            image_->release();
        }
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return image_ != nullptr && dc_ != nullptr && old_ != nullptr; }
    HDC dc() const { return dc_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    void clear(COLORREF colour = SENTINEL) {
        if (image_ != nullptr) {
            image_->fill(255, GetRValue(colour), GetGValue(colour), GetBValue(colour));
        }
    }
    // The pixel as a COLORREF (alpha dropped).
    COLORREF at(int32_t x, int32_t y) const {
        GdiFlush();
        const uint32_t argb = image_->pixel(x, y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    bool touched(int32_t x, int32_t y) const { return at(x, y) != SENTINEL; }
    // Pixels other than the sentinel, in the rectangle and outside it.
    int32_t countTouched(const RECT& rect, bool inside) const {
        int32_t count = 0;
        for (int32_t y = 0; y < height_; ++y) {
            for (int32_t x = 0; x < width_; ++x) {
                const bool in = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                if (in == inside && touched(x, y)) {
                    ++count;
                }
            }
        }
        return count;
    }
    int32_t countColour(COLORREF colour) const {
        int32_t count = 0;
        for (int32_t y = 0; y < height_; ++y) {
            for (int32_t x = 0; x < width_; ++x) {
                count += at(x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }

private:
    int32_t width_;
    int32_t height_;
    s::image::win::BufferedImage* image_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// What a drawer must leave as it found it.
struct DcState {
    explicit DcState(HDC dc)
        : font(GetCurrentObject(dc, OBJ_FONT)), pen(GetCurrentObject(dc, OBJ_PEN)),
          brush(GetCurrentObject(dc, OBJ_BRUSH)), bitmap(GetCurrentObject(dc, OBJ_BITMAP)), mode(GetBkMode(dc)),
          text(GetTextColor(dc)), background(GetBkColor(dc)) {}
    bool operator==(const DcState& o) const {
        return font == o.font && pen == o.pen && brush == o.brush && bitmap == o.bitmap && mode == o.mode &&
               text == o.text && background == o.background;
    }
    HGDIOBJ font, pen, brush, bitmap;
    int mode;
    COLORREF text, background;
};

inline int32_t& screenWidth() {
    static int32_t w = 1280;
    return w;
}
inline int32_t& screenHeight() {
    static int32_t h = 1024;
    return h;
}
inline void screen(int32_t* width, int32_t* height) {
    *width = screenWidth();
    *height = screenHeight();
}

// Pretends a screen of the given UI scale for the holder's scope.
struct ScaleScope {
    explicit ScaleScope(int32_t scale) {
        screenWidth() = scale == 4 ? 4100 : scale == 2 ? 2560 : 1280;
        screenHeight() = scale == 4 ? 3240 : scale == 2 ? 1700 : 1024;
        s::system::monitor::setScreenSizeFunction(&screen);
    }
    ~ScaleScope() { s::system::monitor::setScreenSizeFunction(nullptr); }
};

} // namespace canvas
