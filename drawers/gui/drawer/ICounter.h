#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui::drawer {

// Paints a scrolling graph of up to two sample series. Every skin carries one; no widget
// of this program takes it, and its paint operation comes with its class.
class ICounter : public base::IObject, public thread::IPoolable {
public:
    // Also makes the background opaque.
    virtual void setBackgroundColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual uint8_t getColor1Red() const = 0;
    virtual uint8_t getColor1Green() const = 0;
    virtual uint8_t getColor1Blue() const = 0;
    virtual void setColor1(int32_t red, int32_t green, int32_t blue) = 0;
    virtual uint8_t getColor2Red() const = 0;
    virtual uint8_t getColor2Green() const = 0;
    virtual uint8_t getColor2Blue() const = 0;
    virtual void setColor2(int32_t red, int32_t green, int32_t blue) = 0;
};

} // namespace s::gui::drawer
