#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::drawer {

// The drawers' one road to pixels: solid rectangles of one colour. A rectangle with no
// width or height paints nothing (GDI would paint a flipped one), and the device
// context keeps its background colour.
class Paint {
public:
    static void fill(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, COLORREF colour);
    static void fillRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, COLORREF colour) {
        fill(dc, left, top, right - left, bottom - top, colour);
    }
    // Red, green and blue, each taken modulo 256.
    static COLORREF colour(int32_t red, int32_t green, int32_t blue) {
        return RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
    }
    // Each channel times factor, truncated and held at 255.
    static COLORREF scaled(COLORREF colour, double factor);
    // The interface's size factor (1, 2 or 4).
    static int32_t scale();
};

// Keeps a device context's selections, colours and modes for a scope.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
    ~SavedDc() {
        if (saved_ != 0) {
            ::RestoreDC(dc_, saved_);
        }
    }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

private:
    HDC dc_;
    int saved_;
};

} // namespace s::gui::drawer
