#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "images/image/bmp/IBitmap.h"
#include "images/image/win/DibInfo.h"

namespace s::image::bmp::win {

// A DIB section with the headers of its BMP file. It holds the pixels of in-memory
// images and of the other codecs, and reads and writes the BMP format.
//
// Readers take files from disk: decode() checks every header value against what
// the DIB can hold, the shared decode cap and the data actually present, and fails
// cleanly (no picture) otherwise. Top-down files are turned bottom-up; compressed
// ones are refused.
//
// Alpha: 32-bit BI_RGB rows carry alpha bytes that writers often leave 0, so all 0
// there means opaque. A declared alpha channel (a bit-field alpha mask, or a codec's
// own RGBA pixels) is taken as it is.
class Bitmap : public IBitmap, public thread::IPoolable {
    S_POOLED_CLASS(Bitmap, 1000, L"s_image_bmp_win_Bitmap")
public:
    // Pixel memory above this is refused (file sizes and stream counts are 32-bit).
    static constexpr int64_t MAX_PIXEL_BYTES = 0x7FFFFFFF;
    static constexpr uint16_t FILE_TYPE = 0x4D42;  // "BM"
    static constexpr int32_t FILE_HEADER_BYTES = 14;
    static constexpr int32_t INFO_HEADER_BYTES = 40;

    ~Bitmap() override;
    void reset() override;

    // Bytes per row for width pixels of bitCount bits, padded to 4; -1 when not
    // positive or beyond MAX_PIXEL_BYTES.
    static int64_t strideFor(int32_t width, int32_t bitCount);

    int32_t width() const override { return info_.header.biWidth; }
    int32_t height() const override { return info_.header.biHeight; }
    const wchar_t* extension() const override { return L".bmp"; }
    image::win::BufferedImage* toBufferedImage(image::win::BufferedImage* target = nullptr,
                                               int32_t frameIndex = 0) override;
    bool encode(io::IOutputStream* stream) override;
    bool decode(io::IInputStream* stream) override;
    bool isMultiFrame() const override { return false; }
    int32_t frameCount() const override { return 1; }
    // A 24- or 32-bit (as this one) Bitmap of image, transparency kept, on white.
    IEncodedImage* createFromImage(image::win::BufferedImage* image) const override;

    // Headers for width x height at bitCount bits (1, 4, 8, 16, 24, 32) and a new
    // DIB section replacing the old one; null (and no picture) when the size or
    // depth is not possible or the section cannot be had.
    HBITMAP create(int32_t width, int32_t height, int32_t bitCount);
    // Copies a Windows bitmap (DIB section or device-dependent).
    bool fromBitmapHandle(HBITMAP bitmap);
    // Renders an icon: 32 bits when it draws any alpha, else 24 bits on a key colour
    // that toBufferedImage() turns transparent.
    bool fromIcon(HICON icon);
    bool copyTo(HBITMAP target) const override;

    int32_t bitCount() const override { return info_.header.biBitCount; }
    int32_t stride() const override { return stride_; }
    uint32_t compression() const { return info_.header.biCompression; }
    bool hasAlphaChannel() const override;
    // The bits of a 32-bit pixel that hold a declared alpha channel (0: none). Set by
    // reading a bit-field file with an alpha mask, or by the codec that owns the
    // pixels; create() and reset() clear it.
    uint32_t alphaMask() const { return alphaMask_; }
    void setAlphaMask(uint32_t mask) { alphaMask_ = info_.header.biBitCount == 32 ? mask : 0; }
    bool hasColourTable() const { return tableEntries_ != 0; }
    int32_t colourTableEntries() const { return tableEntries_; }
    int32_t colourTableBytes() const { return tableEntries_ * 4; }
    // Palette entries (blue, green, red, 0), or the three bit-field masks. Changes
    // reach the DIB through copyTo() and encode().
    RGBQUAD* colourTable() { return info_.colours; }
    const RGBQUAD* colourTable() const { return info_.colours; }
    const BITMAPFILEHEADER& fileHeader() const { return fileHeader_; }
    const BITMAPINFOHEADER& infoHeader() const { return info_.header; }

    // The palette index of pixel x in a row of 1, 4 or 8 bits.
    static uint8_t indexAt(const uint8_t* row, int32_t x, int32_t bitCount) {
        switch (bitCount) {
        case 1: return static_cast<uint8_t>((row[x / 8] >> (7 - x % 8)) & 1);
        case 4: return static_cast<uint8_t>(x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15);
        default: return row[x];
        }
    }
    // Row y (0 = top) of the DIB memory.
    uint8_t* row(int32_t y) { return bits_ + static_cast<ptrdiff_t>(height() - y - 1) * stride_; }
    const uint8_t* row(int32_t y) const { return bits_ + static_cast<ptrdiff_t>(height() - y - 1) * stride_; }
    uint8_t* bits() { return bits_; }
    const uint8_t* bits() const { return bits_; }
    HBITMAP handle() const { return section_; }

    bool hasKeyColour() const { return keyColour_ >= 0; }
    // 0x00RRGGBB, or -1.
    int32_t keyColour() const { return keyColour_; }
    void setKeyColour(uint8_t red, uint8_t green, uint8_t blue);
    void clearKeyColour() { keyColour_ = -1; }

    bool encodeDib(io::IOutputStream* stream) const override;
    bool decodeDib(io::IInputStream* stream) override;

    // Sets this bitmap from image at bitCount bits. Transparent pixels are blended
    // over (red, green, blue), except at 32 bits with keepTransparency, where alpha 0
    // pixels take that colour in the image itself. False (no picture) when the
    // bitmap cannot be made or the depth has no conversion here.
    bool setFromImage(image::win::BufferedImage* image, int32_t bitCount, bool keepTransparency, uint8_t red,
                      uint8_t green, uint8_t blue);
    // A pooled Bitmap set from image, or null.
    static Bitmap* createFromImage(image::win::BufferedImage* image, int32_t bitCount, bool keepTransparency,
                                   uint8_t red, uint8_t green, uint8_t blue);

private:
    Bitmap();
    void deleteSection();
    // Validated headers for a bottom-up picture; false when impossible.
    bool setHeaders(int32_t width, int32_t height, int32_t bitCount, uint32_t compression, int32_t entries,
                    uint32_t coloursUsed, uint32_t coloursImportant);
    bool createSection();
    // Reads and checks the info header and colour table of a file or resource and sets
    // the headers; consumed counts the bytes taken, headerBytes is the header's own
    // size. Palette entries beyond use are skipped only with skipUnusedTable (a file
    // positions its rows by its pixel offset instead).
    bool readInfo(io::IInputStream* stream, int64_t& consumed, bool& topDown, uint32_t& headerBytes,
                  bool skipUnusedTable);
    // Creates the section and reads the rows (turning top-down ones).
    bool readPixels(io::IInputStream* stream, bool topDown);
    void fillPixels(uint32_t value);
    // The alpha of every pixel through alphaMask_ into image (same size).
    void copyMaskedAlpha(image::win::BufferedImage* image) const;

    HBITMAP section_;
    BITMAPFILEHEADER fileHeader_;
    image::win::DibInfo info_;
    uint8_t* bits_;
    int32_t stride_;
    int32_t tableEntries_;
    BITMAP handleRecord_;
    int32_t keyColour_;
    uint32_t alphaMask_;
};

} // namespace s::image::bmp::win
