#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui::drawer {

// Paints a slider's channel (plain, gradient or colour sweep) and its thumb or thumbs.
class ISlider : public base::IObject, public thread::IPoolable {
public:
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t minimum, int32_t maximum, int32_t value,
                      bool showThumb, int32_t lowerBound, bool enabled, bool channelFlag, int32_t secondValue,
                      int32_t fillType, int32_t colourA, int32_t colourB) = 0;
    virtual uint8_t getThumbRed() const = 0;
    virtual uint8_t getThumbGreen() const = 0;
    virtual uint8_t getThumbBlue() const = 0;
    virtual void setThumbColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setChannelColor(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setDisabledColor(int32_t red, int32_t green, int32_t blue) = 0;
};

} // namespace s::gui::drawer
