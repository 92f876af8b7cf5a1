#pragma once
#include <windows.h>

#include <cstdint>

#include "images/image/IImageBuffer.h"

namespace s::col::_array { class ArrayP; }
namespace s::io { class IOutputStream; }
namespace s::image::filters { class IFilter; }
namespace s::image::win { class BufferedImage; }

namespace s::image {

// The in-memory picture over a device-independent bitmap: sizing, drawing, scaled
// and turned copies, saving and attached filters.
class IBufferedImage : public IImageBuffer {
public:
    // The bitmap handle for selecting into a device context. The writable form
    // counts as a change of the pixels (GDI may draw into them).
    virtual HBITMAP nativeHandle() const = 0;
    virtual HBITMAP nativeHandle() = 0;
    // Sets the logical size without touching the memory; callers stay within the
    // capacity.
    virtual void setSize(int32_t width, int32_t height) = 0;
    // Grows the allocated area to at least width x height keeping the picture;
    // false (picture unchanged) when the bitmap cannot be had.
    virtual bool ensureCapacity(int32_t width, int32_t height) = 0;
    // A fresh bitmap of exactly width x height; false leaves the image empty.
    virtual bool allocate(int32_t width, int32_t height) = 0;
    // A new pooled image of that size (null when it cannot be allocated).
    virtual win::BufferedImage* createImage(int32_t width, int32_t height) const = 0;

    virtual win::BufferedImage* scaledCache() const = 0;
    virtual void setScaledCache(win::BufferedImage* image) = 0;

    // Copies the picture (or its scaled copy at width x height) to (x, y) of dc.
    virtual bool blit(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, bool scale) = 0;
    virtual bool blit(HDC dc, int32_t width, int32_t height, bool scale) = 0;
    // Copies source (blending when it has alpha) to (x, y); with scale the source's
    // scaled copy at width x height is drawn.
    virtual void drawImage(int32_t x, int32_t y, int32_t width, int32_t height, win::BufferedImage* source,
                           int32_t sourceX, int32_t sourceY, bool scale) = 0;
    // A copy at width x height owned by this image (this image itself at its own
    // size); null when it cannot be made.
    virtual win::BufferedImage* scaledCopy(int32_t width, int32_t height, bool keepAspect) = 0;

    // The picture as a BMP file of bitCount bits; transparent pixels become the colour
    // (red, green, blue) unless kept (32 bits).
    virtual bool saveBmp(io::IOutputStream* stream, int32_t bitCount, bool keepTransparency, uint8_t red,
                         uint8_t green, uint8_t blue) = 0;
    // The same into a file, replaced when it exists; a file left incomplete by a
    // failure is removed.
    virtual bool saveBmp(const wchar_t* path, int32_t bitCount, bool keepTransparency, uint8_t red, uint8_t green,
                         uint8_t blue) = 0;
    // The picture as a one-frame GIF file of at most 2^bitDepth - 1 colours (depth 1-8);
    // transparent pixels stay transparent when kept, else become (red, green, blue).
    virtual bool saveGif(io::IOutputStream* stream, int32_t bitDepth, bool keepTransparency, uint8_t red,
                         uint8_t green, uint8_t blue) = 0;
    virtual bool saveGif(const wchar_t* path, int32_t bitDepth, bool keepTransparency, uint8_t red, uint8_t green,
                         uint8_t blue) = 0;
    // The picture as a JPEG file of quality 0-100; transparent pixels become the
    // colour (red, green, blue). The picture is not changed.
    virtual bool saveJpeg(io::IOutputStream* stream, int32_t quality, uint8_t red, uint8_t green, uint8_t blue) = 0;
    virtual bool saveJpeg(const wchar_t* path, int32_t quality, uint8_t red, uint8_t green, uint8_t blue) = 0;
    // The picture as an 8-bit RGBA PNG file, Adam7-interlaced on request; transparent
    // pixels become the colour (red, green, blue) unless kept. The picture is not changed.
    virtual bool savePng(io::IOutputStream* stream, bool interlace, bool keepTransparency, uint8_t red,
                         uint8_t green, uint8_t blue) = 0;
    virtual bool savePng(const wchar_t* path, bool interlace, bool keepTransparency, uint8_t red, uint8_t green,
                         uint8_t blue) = 0;

    // Copies into destination (null: a new pooled image) with the alpha flag; null
    // when the copy cannot be allocated or destination is this image.
    virtual win::BufferedImage* copy(win::BufferedImage* destination = nullptr) const = 0;
    virtual win::BufferedImage* rotateRight(win::BufferedImage* destination = nullptr) const = 0;
    virtual win::BufferedImage* rotate180(win::BufferedImage* destination = nullptr) const = 0;
    virtual win::BufferedImage* rotateLeft(win::BufferedImage* destination = nullptr) const = 0;
    virtual win::BufferedImage* mirror(win::BufferedImage* destination = nullptr) const = 0;
    virtual win::BufferedImage* flip(win::BufferedImage* destination = nullptr) const = 0;

    virtual bool hasFilters() const = 0;
    // The first filter whose kind name is the same constant as kindName.
    virtual bool findFilter(const wchar_t* kindName, int32_t* index) const = 0;
    virtual col::_array::ArrayP* filters() const = 0;
    virtual filters::IFilter* filterAt(int32_t index) const = 0;
    virtual void addFilter(filters::IFilter* filter) = 0;
    // index == count appends.
    virtual void setFilterAt(int32_t index, filters::IFilter* filter) = 0;
    virtual void removeFilterAt(int32_t index) = 0;
    virtual void removeAllFilters() = 0;
    // Empties the list without releasing any filter.
    virtual void clearFilters() = 0;
    // The picture run through every attached filter, owned by this image.
    virtual win::BufferedImage* buildFiltered() = 0;
    virtual win::BufferedImage* filtered() = 0;

    // Prints the picture (its filtered form when filters are attached) on the printer
    // the user chooses, at screen size or scaled to the page (always when it does not
    // fit), turned a quarter when wider than tall and rotateToFit, sharpened on
    // request. Without a default printer nothing happens and nothing is shown. True
    // when a page was sent.
    virtual bool print(bool rotateToFit, bool sharpen, bool fitToPage) = 0;
};

} // namespace s::image
