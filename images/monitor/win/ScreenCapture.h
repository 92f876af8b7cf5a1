#pragma once
#include <windows.h>

#include <cstdint>

namespace s::image::win { class BufferedImage; }

namespace s::system::monitor::win {

// The screen's pixels of a rectangle, clipped to the virtual screen, as a new opaque
// pooled image; null when nothing of it is on screen or the screen cannot be read.
image::win::BufferedImage* captureScreenRect(int32_t x, int32_t y, int32_t width, int32_t height);
// The same for a window's rectangle; null when the handle is not a window.
image::win::BufferedImage* captureWindow(HWND window);

} // namespace s::system::monitor::win
