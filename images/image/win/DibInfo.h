#pragma once
#include <windows.h>

#include <cstdint>

namespace s::image::win {

class BufferedImage;

// The info header and a full colour table as one BITMAPINFO, as the BMP and icon codecs
// keep them: the header filled in, a section made from it, its pixels copied onto another
// bitmap, and the colour counts a read header lists.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];

    // One plane, no resolution; the rest as given.
    void setHeader(int32_t width, int32_t height, int32_t bitCount, uint32_t compression, uint32_t imageBytes,
                   uint32_t coloursUsed, uint32_t coloursImportant);
    // A DIB section of this header and table, its pixel memory in bits; null (bits null)
    // when it cannot be had.
    HBITMAP createSection(uint8_t*& bits) const;
    // Blits section, made from this info, onto target; the first tableEntries colours
    // (none when 0) reach the section first, as edits to the table must show.
    bool copySection(HBITMAP section, HBITMAP target, int32_t tableEntries) const;
    // The same onto target made this info's size, or onto a new image when target is
    // null; null when that fails (a new image is released then).
    BufferedImage* copyToImage(HBITMAP section, BufferedImage* target, int32_t tableEntries) const;
    // Copies the alpha bytes of 32-bit rows (bottom-up, stride apart) into image: true
    // when any is not 0, with translucent set when any is not 255 either.
    bool copyAlpha(const uint8_t* bits, int32_t stride, BufferedImage* image, bool& translucent) const;

    // The table entries a read header lists: biClrUsed, or all the depth can index when
    // 0 (none above 8 bits).
    static int64_t listedColours(const BITMAPINFOHEADER& h);
    // The listed entries the depth can index; the rest are skipped (none above 8 bits).
    static int64_t usableColours(const BITMAPINFOHEADER& h);
};

} // namespace s::image::win
