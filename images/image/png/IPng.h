#pragma once
#include <cstdint>

#include "images/image/IEncodedImage.h"

namespace s::image::png {

// The PNG member of the encoded images: a 32-bit picture with alpha, written as 8-bit
// RGBA, optionally Adam7-interlaced.
class IPng : public IEncodedImage {
public:
    // A fresh 32-bit picture of width x height; false (no picture) when impossible.
    virtual bool setSize(int32_t width, int32_t height) = 0;
    virtual void setInterlace(bool interlace) = 0;
    virtual bool interlace() const = 0;
};

} // namespace s::image::png
