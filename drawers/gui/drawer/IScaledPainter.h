#pragma once
#include <windows.h>

#include <cstdint>

namespace s::image::win {
class BufferedImage;
}

namespace s::gui::drawer {

// What an image control offers the image drawer: painting a picture scaled to a
// rectangle its own way (with its cached and sharpened copies). Kept this small so the
// drawers need nothing of the control.
class IScaledPainter {
public:
    virtual ~IScaledPainter() = default;
    // False when this picture is not one it scales; the drawer then draws it itself.
    virtual bool paintScaled(HDC dc, ::s::image::win::BufferedImage* picture, int32_t left, int32_t top, int32_t right,
                             int32_t bottom, int32_t mode) = 0;
};

} // namespace s::gui::drawer
