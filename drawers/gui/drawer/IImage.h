#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui { class IImage; }
namespace s::image::win { class BufferedImage; }

namespace s::gui::drawer {

// Paints the current frame of an image control.
class IImage : public base::IObject, public thread::IPoolable {
public:
    // Nothing without an image; framed: a 1-px black frame and the picture inset by 1;
    // scaled: the control's own scaled drawing when the picture allows it.
    virtual void draw(HDC dc, gui::IImage* control, int32_t left, int32_t top, int32_t right, int32_t bottom,
                      image::win::BufferedImage* image, int32_t mode, bool framed, bool scaled) = 0;
};

} // namespace s::gui::drawer
