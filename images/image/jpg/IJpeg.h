#pragma once
#include <cstdint>

#include "images/image/IEncodedImage.h"

namespace s::image::jpg {

// The JPEG member of the encoded images: a 24-bit picture and the quality it is
// written with.
class IJpeg : public IEncodedImage {
public:
    // A fresh 24-bit picture of width x height; false (no picture) when impossible.
    virtual bool setSize(int32_t width, int32_t height) = 0;
    // Qualities outside 0-100 are refused (false, unchanged).
    virtual bool setQuality(int32_t quality) = 0;
    virtual int32_t quality() const = 0;
};

} // namespace s::image::jpg
