#pragma once
#include <windows.h>

#include <cstdint>

#include "images/image/IEncodedImage.h"

namespace s::image::ico {

// One image of an icon or cursor: a device-independent bitmap with its 1-bit
// transparency mask (a set bit is a transparent pixel), rows bottom-up.
class IIconImage : public IEncodedImage {
public:
    // Headers, palette, strides and a fresh colour section and mask for width x height
    // at bitCount bits (1, 4, 8, 24, 32); false (no picture) when impossible.
    virtual bool allocate(int32_t width, int32_t height, int32_t bitCount) = 0;
    // Draws the colour image into target at (0, 0), its palette applied.
    virtual bool copyToBitmap(HBITMAP target) const = 0;
    // A new icon handle of the image (the caller destroys it); null on failure.
    virtual HICON createIcon() = 0;

    virtual bool is32Bit() const = 0;
    virtual bool hasPalette() const = 0;
    virtual int32_t paletteCount() const = 0;
    virtual int32_t paletteBytes() const = 0;
    // Row y, 0 at the top.
    virtual uint8_t* colourRow(int32_t y) const = 0;
    virtual uint8_t* colourBits() const = 0;
    virtual int32_t colourStride() const = 0;
    virtual uint8_t* maskRow(int32_t y) const = 0;
    virtual uint8_t* maskBits() const = 0;
    virtual int32_t maskStride() const = 0;

    // Sets the image from a picture at bitCount bits (4 and 8 through a palette, or 32).
    // Transparency is kept (alpha below 32 counts as transparent at palette depths) or
    // blended over (red, green, blue). False (no picture) for other depths or when
    // nothing can be allocated.
    virtual bool setFromImage(image::win::BufferedImage* image, int32_t bitCount, bool keepTransparency, uint8_t red,
                              uint8_t green, uint8_t blue) = 0;
};

} // namespace s::image::ico
