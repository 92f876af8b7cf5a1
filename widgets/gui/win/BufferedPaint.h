#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/CPaintDC.h"

namespace s::image::win { class BufferedImage; }

namespace s::gui {
class IComponent;
}

namespace s::gui::win {

class MemDC;

// One WM_PAINT of a widget that paints itself off screen: the buffer covers the client
// area and already holds the background (what lies under the widget when transparent,
// else its colour); the holder copies it to the screen when it goes. With keep the
// buffer stays with the widget between paints (and serves its children as their
// background), else it is made for this paint only.
//
//   BufferedPaint paint(this, m_hWnd, nullptr, transparent, colour);
//   if (paint.dc() != nullptr) drawer->draw(paint.dc(), 0, 0, paint.width(), paint.height());
class BufferedPaint {
public:
    BufferedPaint(const IComponent* widget, HWND hwnd, image::win::BufferedImage** keep, bool transparent,
                  uint32_t colour);
    ~BufferedPaint();
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;

    // The buffer's context; null when nothing can be painted (empty client area).
    HDC dc() const;
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // Leaves that rectangle of the screen alone (a child paints it).
    void exclude(int32_t x, int32_t y, int32_t w, int32_t h) const { ExcludeClipRect(screen_, x, y, x + w, y + h); }

private:
    CPaintDC screen_;
    image::win::BufferedImage* temporary_ = nullptr;
    MemDC* mem_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

} // namespace s::gui::win
