#pragma once
#include <windows.h>

#include <cstdint>

#include "images/image/IEncodedImage.h"

namespace s::image::gif {

// The GIF format: any number of 8-bit palette frames, each with its own transparent
// index, delay and disposal, placed on a logical screen.
class IGif : public IEncodedImage {
public:
    virtual bool copyTo(HBITMAP target) const = 0;
    virtual int32_t stride() const = 0;
    virtual bool hasTransparency() const = 0;
    virtual int32_t transparentIndex(int32_t frame) const = 0;
    virtual int32_t delay(int32_t frame) const = 0;
    virtual int32_t disposal(int32_t frame) const = 0;
    virtual int32_t left(int32_t frame) const = 0;
    virtual int32_t top(int32_t frame) const = 0;
    virtual uint16_t loopCount() const = 0;
};

} // namespace s::image::gif
