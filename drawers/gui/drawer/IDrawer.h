#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui::drawer {

// A painter of one kind of thing into a device context whose origin is the widget's
// top-left corner (its back buffer): it uses the rectangle's width and height and draws
// from (0, 0). Box borders are plain drawers. Drawers are pooled: release, never delete.
// Every paint operation paints nothing for an empty or inverted rectangle.
class IDrawer : public base::IObject, public thread::IPoolable {
public:
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // Colours are red, green, blue, each taken modulo 256; a no-op in colourless drawers.
    virtual void setColor(int32_t red, int32_t green, int32_t blue) = 0;
};

} // namespace s::gui::drawer
