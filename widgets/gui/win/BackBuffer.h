#pragma once
#include <windows.h>

#include <cstdint>

namespace s::image::win { class BufferedImage; }

namespace s::gui {
class IComponent;
}

namespace s::gui::win {

class MemDC;

// The back-buffer policy shared by the window and the widgets that paint off screen,
// and the copy of what lies under a widget.
class BackBuffer {
public:
    // Makes *buffer fit a paint of width x height: a buffer whose allocated area is more
    // than needed / 0.7 is replaced by one of the exact size, a large enough one is
    // reused, a smaller one grows. Answers the buffer sized width x height, or null for
    // an empty rectangle (the buffer is then left as it is) or when no bitmap can be had
    // (a buffer that could not grow is given back).
    static image::win::BufferedImage* ensure(image::win::BufferedImage** buffer, int32_t width, int32_t height);
    // Gives the buffer back to its pool and clears the pointer.
    static void release(image::win::BufferedImage** buffer);

    // A memory context on *buffer made fit for width x height (ensure); null for an empty
    // rectangle or when no buffer or context can be had. The caller gives it back.
    static MemDC* paintInto(HWND window, image::win::BufferedImage** buffer, int32_t width, int32_t height);
    // Takes the rectangles of window's visible child windows out of dc's clipping region.
    static void excludeChildren(HWND window, HDC dc);

    // Paints into dc (origin: the widget's top-left corner) what lies under the widget:
    // the part of the nearest ancestor's back buffer under it, or, while no ancestor has
    // one yet, a fill with the effective background of the widget's parent.
    // An ancestor whose buffer is not of its present size paints first.
    static void copyParentBackground(const IComponent* widget, HDC dc, int32_t width, int32_t height);
    // Whether buffer was painted at holder's present client size.
    static bool paintedAtSize(const image::win::BufferedImage* buffer, HWND holder);
    // Fills the rectangle with an R | G << 8 | B << 16 colour.
    static void fill(HDC dc, int32_t width, int32_t height, uint32_t colour);
};

} // namespace s::gui::win
