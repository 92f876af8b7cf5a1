#include "images/image/win/DibInfo.h"

#include <algorithm>

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
