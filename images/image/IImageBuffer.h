#pragma once
#include <cstdint>

#include "images/image/IImage.h"

namespace s::image {

// A 32-bit pixel buffer (blue, green, red, alpha) whose logical picture lies in the
// top-left corner of a larger allocated area. Rows are reached through row(): the
// memory is bottom-up, so row y is never bits() + y * stride().
class IImageBuffer : public IImage {
public:
    // Bytes of one logical row (width * 4).
    virtual int32_t stride() const = 0;
    virtual int32_t capacityWidth() const = 0;
    virtual int32_t capacityHeight() const = 0;
    virtual int32_t capacityStride() const = 0;

    // Row y of the logical picture (0 = top). The writable forms mark the pixels as
    // changed, so cached copies made from them are rebuilt.
    virtual const uint8_t* row(int32_t y) const = 0;
    virtual uint8_t* row(int32_t y) = 0;
    virtual const uint8_t* bits() const = 0;
    virtual uint8_t* bits() = 0;

    // Whether the alpha bytes carry transparency; when false every pixel counts as
    // opaque to blending.
    virtual bool hasAlpha() const = 0;
    virtual void setHasAlpha(bool hasAlpha) = 0;
};

} // namespace s::image
