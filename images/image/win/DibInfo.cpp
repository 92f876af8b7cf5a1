#include "images/image/win/DibInfo.h"

#include <algorithm>

#include "images/image/win/BufferedImage.h"
#include "images/image/win/MemoryDc.h"

namespace s::image::win {

void DibInfo::setHeader(int32_t width, int32_t height, int32_t bitCount, uint32_t compression, uint32_t imageBytes,
                        uint32_t coloursUsed, uint32_t coloursImportant) {
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = compression;
    header.biSizeImage = imageBytes;
    header.biXPelsPerMeter = 0;
    header.biYPelsPerMeter = 0;
    header.biClrUsed = coloursUsed;
    header.biClrImportant = coloursImportant;
}

HBITMAP DibInfo::createSection(uint8_t*& bits) const {
    void* memory = nullptr;
    HBITMAP section =
        CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(this), DIB_RGB_COLORS, &memory, nullptr, 0);
    if (section != nullptr && memory == nullptr) {
        DeleteObject(section);
        section = nullptr;
    }
    bits = section != nullptr ? static_cast<uint8_t*>(memory) : nullptr;
    return section;
}

bool DibInfo::copySection(HBITMAP section, HBITMAP target, int32_t tableEntries) const {
    if (section == nullptr || target == nullptr) {
        return false;
    }
    MemoryDc source(section);
    MemoryDc destination(target);
    if (!source.ok() || !destination.ok()) {
        return false;
    }
    if (tableEntries != 0) {
        SetDIBColorTable(source.dc(), 0, static_cast<UINT>(tableEntries), colours);
    }
    const bool done =
        BitBlt(destination.dc(), 0, 0, header.biWidth, header.biHeight, source.dc(), 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    return done;
}

BufferedImage* DibInfo::copyToImage(HBITMAP section, BufferedImage* target, int32_t tableEntries) const {
    if (section == nullptr) {
        return nullptr;
    }
    BufferedImage* image = BufferedImage::sizedOrNew(target, header.biWidth, header.biHeight);
    if (image == nullptr) {
        return nullptr;
    }
    if (!copySection(section, image->nativeHandle(), tableEntries)) {
        if (target == nullptr) {
            image->release();
        }
        return nullptr;
    }
    return image;
}

bool DibInfo::copyAlpha(const uint8_t* bits, int32_t stride, BufferedImage* image, bool& translucent) const {
    const int32_t w = header.biWidth;
    const int32_t h = header.biHeight;
    bool used = false;
    translucent = false;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* from = bits + static_cast<ptrdiff_t>(h - y - 1) * stride;
        uint8_t* to = image->row(y);
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t alpha = from[x * 4 + 3];
            to[x * 4 + 3] = alpha;
            used = used || alpha != 0;
            translucent = translucent || alpha != 255;
        }
    }
    return used;
}

int64_t DibInfo::listedColours(const BITMAPINFOHEADER& h) {
    if (h.biClrUsed != 0) {
        return h.biClrUsed;
    }
    return h.biBitCount <= 8 ? int64_t(1) << h.biBitCount : 0;
}

int64_t DibInfo::usableColours(const BITMAPINFOHEADER& h) {
    return h.biBitCount <= 8 ? std::min(listedColours(h), int64_t(1) << h.biBitCount) : 0;
}

} // namespace s::image::win
