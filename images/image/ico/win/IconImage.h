#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/image/ico/IIconImage.h"
#include "images/image/win/DibInfo.h"

namespace s::col::_array { class ArrayU08; }

namespace s::image::ico::win {

// The image of an icon or cursor entry: a PNG stream, or a BITMAPINFOHEADER whose
// height counts the colour rows and the mask rows, the colour table, the colour rows
// and the mask rows. A 32-bit entry may leave its mask out (an all-opaque mask then).
//
// The data comes from files from disk: decode() checks size, depth, planes and
// compression, clamps the colour count to what the depth can index, and refuses data
// shorter than its rows before anything is allocated.
class IconImage : public IIconImage, public thread::IPoolable {
    S_POOLED_CLASS(IconImage, 1000, L"s_image_ico_win_IconImage")
public:
    static constexpr int32_t HEADER_BYTES = 40;
    // Sides above this are written as PNG (the directory holds one byte per side).
    static constexpr int32_t LARGEST_BITMAP_SIDE = 255;
    // Alpha below this is transparent when a picture goes to a palette depth.
    static constexpr uint8_t ALPHA_LIMIT = 32;

    // Row lengths in bytes, 64-bit so that no header can wrap them.
    static int64_t colourStrideFor(int64_t width, int64_t bitCount, int64_t layers) {
        return ((width * bitCount * layers + 31) >> 3) & ~int64_t(3);
    }
    static int64_t maskStrideFor(int64_t width) { return ((width + 31) >> 3) & ~int64_t(3); }

    ~IconImage() override;
    IconImage(const IconImage&) = delete;
    IconImage& operator=(const IconImage&) = delete;
    void reset() override;

    int32_t width() const override { return info_.header.biWidth; }
    int32_t height() const override { return info_.header.biHeight; }
    const wchar_t* extension() const override { return L".ico"; }
    image::win::BufferedImage* toBufferedImage(image::win::BufferedImage* target = nullptr,
                                               int32_t frameIndex = 0) override;
    bool encode(io::IOutputStream* stream) override;
    bool decode(io::IInputStream* stream) override;
    bool isMultiFrame() const override { return true; }
    int32_t frameCount() const override { return 1; }
    int32_t bitCount() const override { return info_.header.biBitCount; }
    // A 32-bit icon image of image, transparency kept.
    IEncodedImage* createFromImage(image::win::BufferedImage* image) const override;

    bool allocate(int32_t width, int32_t height, int32_t bitCount) override;
    bool copyToBitmap(HBITMAP target) const override;
    HICON createIcon() override;

    bool is32Bit() const override { return info_.header.biBitCount == 32; }
    bool hasPalette() const override { return paletteCount_ != 0; }
    int32_t paletteCount() const override { return paletteCount_; }
    int32_t paletteBytes() const override { return paletteBytes_; }
    uint8_t* colourRow(int32_t y) const override {
        return colourBits_ + static_cast<ptrdiff_t>(height() - y - 1) * colourStride_;
    }
    uint8_t* colourBits() const override { return colourBits_; }
    int32_t colourStride() const override { return colourStride_; }
    uint8_t* maskRow(int32_t y) const override {
        return maskBits_ + static_cast<ptrdiff_t>(height() - y - 1) * maskStride_;
    }
    uint8_t* maskBits() const override { return maskBits_; }
    int32_t maskStride() const override { return maskStride_; }
    const BITMAPINFOHEADER& header() const { return info_.header; }
    const RGBQUAD* palette() const { return info_.colours; }
    RGBQUAD* palette() { return info_.colours; }
    HBITMAP bitmap() const { return bitmap_; }
    // The encoded form kept from decoding or made for createIcon(); may be empty.
    const col::_array::ArrayU08* bytes() const { return bytes_; }

    bool setFromImage(image::win::BufferedImage* image, int32_t bitCount, bool keepTransparency, uint8_t red,
                      uint8_t green, uint8_t blue) override;
    // A pooled icon image set from image, or null.
    static IconImage* createFromImage(image::win::BufferedImage* image, int32_t bitCount, bool keepTransparency,
                                      uint8_t red, uint8_t green, uint8_t blue);

private:
    IconImage();
    void deleteBitmap();
    void freeMask();
    bool createSection();
    bool allocateMask();
    bool decodePng();
    bool decodeBitmap();
    // The header (height doubled), palette, colour rows and mask rows.
    bool encodeBitmap(io::IOutputStream* stream) const;

    HBITMAP bitmap_;
    col::_array::ArrayU08* bytes_;
    image::win::DibInfo info_;
    int32_t paletteCount_;
    int32_t paletteBytes_;
    uint8_t* colourBits_;
    int32_t colourStride_;
    uint8_t* maskBits_;
    int32_t maskStride_;
};

} // namespace s::image::ico::win
