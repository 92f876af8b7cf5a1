#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/image/IBufferedImage.h"

namespace s::image::bmp::win { class Bitmap; }

namespace s::image::win {

class IPrintTarget;

// The in-memory picture: 32-bit pixels (blue, green, red, alpha) in a bottom-up DIB
// section, the logical picture in the top-left corner of the allocated area so that
// back buffers can shrink and grow without reallocating.
//
// Scaled and filtered copies are cached on the image; every write access (writable
// rows, bits or bitmap handle, and every changing operation) marks them stale.
class BufferedImage : public IBufferedImage, public thread::IPoolable {
    S_POOLED_CLASS(BufferedImage, 1000, L"s_image_win_BufferedImage")
public:
    // A pooled image allocated at width x height, or null when it cannot be had.
    static BufferedImage* create(int32_t width, int32_t height);
    // The decoders' destination: target resized to width x height (its picture dropped),
    // or a new pooled image when target is null; null when the pixels cannot be had.
    static BufferedImage* sizedOrNew(BufferedImage* target, int32_t width, int32_t height);

    ~BufferedImage() override;
    void reset() override;

    int32_t width() const override { return width_; }
    int32_t height() const override { return height_; }
    int64_t pixelCount() const { return pixelCount_; }
    int64_t byteSize() const { return byteSize_; }
    int32_t stride() const override { return stride_; }
    int32_t capacityWidth() const override { return capacityWidth_; }
    int32_t capacityHeight() const override { return capacityHeight_; }
    int32_t capacityStride() const override { return capacityStride_; }
    int64_t capacityPixelCount() const { return static_cast<int64_t>(capacityWidth_) * capacityHeight_; }
    int64_t capacityByteSize() const { return capacityPixelCount() * 4; }

    const uint8_t* row(int32_t y) const override { return rowAt(y); }
    uint8_t* row(int32_t y) override {
        pixelsChanged();
        return rowAt(y);
    }
    const uint8_t* bits() const override { return bits_; }
    uint8_t* bits() override {
        pixelsChanged();
        return bits_;
    }
    // The pixel at (x, y) as 0xAARRGGBB.
    uint32_t pixel(int32_t x, int32_t y) const { return reinterpret_cast<const uint32_t*>(rowAt(y))[x]; }
    void setPixel(int32_t x, int32_t y, uint32_t argb) { reinterpret_cast<uint32_t*>(row(y))[x] = argb; }

    bool hasAlpha() const override { return hasAlpha_ != 0; }
    void setHasAlpha(bool hasAlpha) override { hasAlpha_ = hasAlpha ? 1 : 0; }

    HBITMAP nativeHandle() const override;
    HBITMAP nativeHandle() override;
    // The bitmap that holds the pixels (null when nothing is allocated).
    bmp::win::Bitmap* bitmap() const { return dib_; }
    void setSize(int32_t width, int32_t height) override;
    bool ensureCapacity(int32_t width, int32_t height) override;
    bool allocate(int32_t width, int32_t height) override;
    BufferedImage* createImage(int32_t width, int32_t height) const override;
    // Grows the capacity in steps of x1.2 until it holds width x height, keeping the
    // picture; false (unchanged) when the bitmap cannot be had.
    bool reserve(int32_t width, int32_t height);
    // Marks cached copies stale; for callers that keep a row pointer and write later.
    void pixelsChanged();

    BufferedImage* scaledCache() const override { return scaledCache_; }
    void setScaledCache(BufferedImage* image) override;

    bool blit(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, bool scale) override;
    bool blit(HDC dc, int32_t width, int32_t height, bool scale) override { return blit(dc, 0, 0, width, height, scale); }
    void drawImage(int32_t x, int32_t y, int32_t width, int32_t height, BufferedImage* source, int32_t sourceX,
                   int32_t sourceY, bool scale) override;
    BufferedImage* scaledCopy(int32_t width, int32_t height, bool keepAspect) override;

    bool saveBmp(io::IOutputStream* stream, int32_t bitCount, bool keepTransparency, uint8_t red, uint8_t green,
                 uint8_t blue) override;
    bool saveBmp(const wchar_t* path, int32_t bitCount, bool keepTransparency, uint8_t red, uint8_t green,
                 uint8_t blue) override;
    bool saveGif(io::IOutputStream* stream, int32_t bitDepth, bool keepTransparency, uint8_t red, uint8_t green,
                 uint8_t blue) override;
    bool saveGif(const wchar_t* path, int32_t bitDepth, bool keepTransparency, uint8_t red, uint8_t green,
                 uint8_t blue) override;
    bool saveJpeg(io::IOutputStream* stream, int32_t quality, uint8_t red, uint8_t green, uint8_t blue) override;
    bool saveJpeg(const wchar_t* path, int32_t quality, uint8_t red, uint8_t green, uint8_t blue) override;
    bool savePng(io::IOutputStream* stream, bool interlace, bool keepTransparency, uint8_t red, uint8_t green,
                 uint8_t blue) override;
    bool savePng(const wchar_t* path, bool interlace, bool keepTransparency, uint8_t red, uint8_t green,
                 uint8_t blue) override;

    BufferedImage* copy(BufferedImage* destination = nullptr) const override;
    BufferedImage* rotateRight(BufferedImage* destination = nullptr) const override;
    BufferedImage* rotate180(BufferedImage* destination = nullptr) const override;
    BufferedImage* rotateLeft(BufferedImage* destination = nullptr) const override;
    BufferedImage* mirror(BufferedImage* destination = nullptr) const override;
    BufferedImage* flip(BufferedImage* destination = nullptr) const override;

    bool hasFilters() const override;
    bool findFilter(const wchar_t* kindName, int32_t* index) const override;
    col::_array::ArrayP* filters() const override { return filters_; }
    filters::IFilter* filterAt(int32_t index) const override;
    void addFilter(filters::IFilter* filter) override;
    void setFilterAt(int32_t index, filters::IFilter* filter) override;
    void removeFilterAt(int32_t index) override;
    void removeAllFilters() override;
    void clearFilters() override;
    BufferedImage* buildFiltered() override;
    BufferedImage* filtered() override;

    bool print(bool rotateToFit, bool sharpen, bool fitToPage) override;

    // Pixel operations over the whole logical picture.
    // Sets the alpha flag to whether any pixel has alpha below 255; returns it.
    bool detectAlpha();
    void makeOpaque();
    void fill(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue);
    // Pixels of colour (red, green, blue) get alpha 0, all others 255.
    void colourKey(uint8_t red, uint8_t green, uint8_t blue);
    // With alpha in use, alpha 0 pixels take the colour (alpha stays 0).
    void setTransparentColour(uint8_t red, uint8_t green, uint8_t blue);
    // Pixels whose colour equals other's at the same place get alpha 0 (over the
    // area both pictures have).
    void maskEqual(const BufferedImage* other);
    // Alpha below limit becomes 0, the rest 255.
    void alphaThreshold(uint8_t limit);
    // Blends translucent pixels over white and makes the picture opaque.
    void flattenOnWhite();
    // A new pooled opaque image of this picture blended over (red, green, blue); null
    // when it cannot be allocated. The picture is not changed.
    BufferedImage* overBackground(uint8_t red, uint8_t green, uint8_t blue);

private:
    BufferedImage();
    const uint8_t* rowAt(int32_t y) const {
        return bits_ + static_cast<ptrdiff_t>(capacityHeight_ - y - 1) * capacityStride_;
    }
    uint8_t* rowAt(int32_t y) { return bits_ + static_cast<ptrdiff_t>(capacityHeight_ - y - 1) * capacityStride_; }
    void releaseBitmap();
    void releaseFilteredCache();
    // Sizes destination for a turned copy of width x height (null: a new image).
    BufferedImage* prepareTurned(BufferedImage* destination, int32_t width, int32_t height) const;
    // A width x height copy whose pixel (x, y) is source(x, y): the shared loop of the turns.
    template <class Source>
    BufferedImage* turned(BufferedImage* destination, int32_t width, int32_t height, Source source) const;
    void releaseFilter(filters::IFilter* filter);
    // The page of print() on a chosen printer's context; false when nothing was sent.
    bool printOn(IPrintTarget* target, HDC printer, const wchar_t* port, bool rotateToFit, bool sharpen,
                 bool fitToPage);

    bmp::win::Bitmap* dib_;
    uint8_t* bits_;
    int32_t width_;
    int32_t height_;
    int64_t pixelCount_;
    int64_t byteSize_;
    int32_t stride_;
    int32_t capacityWidth_;
    int32_t capacityHeight_;
    int32_t capacityStride_;
    BufferedImage* scaledCache_;
    // The cached copies no longer show the current pixels.
    bool scaledStale_;
    bool filteredStale_;
    uint8_t hasAlpha_;
    col::_array::ArrayP* filters_;
    BufferedImage* filteredCache_;
};

} // namespace s::image::win
