#pragma once
#include <windows.h>

#include <cstdint>

#include "images/image/IEncodedImage.h"

namespace s::image::bmp {

// A device-independent bitmap that is also the BMP file format.
class IBitmap : public IEncodedImage {
public:
    virtual int32_t bitCount() const = 0;
    // Bytes per row, padded to a multiple of 4.
    virtual int32_t stride() const = 0;
    // 32 bits with a fourth byte that is alpha (not bit fields).
    virtual bool hasAlphaChannel() const = 0;
    // Draws the picture into target at (0, 0), converting the depth.
    virtual bool copyTo(HBITMAP target) const = 0;
    // The headerless form held in resources: info header, colour table, rows.
    virtual bool encodeDib(io::IOutputStream* stream) const = 0;
    virtual bool decodeDib(io::IInputStream* stream) = 0;
};

} // namespace s::image::bmp
