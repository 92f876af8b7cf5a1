#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::image::win { class BufferedImage; }

namespace s::gui::drawer {

class IScaledPainter;

// Paints the current frame of an image control.
class IImage : public base::IObject, public thread::IPoolable {
public:
    // Nothing without an image; framed: a 1-px black frame and the picture inset by 1;
    // scaled: the control's own scaled drawing (painter, may be null) when it takes the
    // picture, else the picture scaled to the rectangle.
    virtual void draw(HDC dc, IScaledPainter* painter, int32_t left, int32_t top, int32_t right, int32_t bottom,
                      ::s::image::win::BufferedImage* image, int32_t mode, bool framed, bool scaled) = 0;
};

} // namespace s::gui::drawer
