#include "images/image/bmp/win/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "core/io/StreamCopy.h"
#include "core/thread/Held.h"
#include "images/image/filters/reduction/Quantizer.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/MemoryDc.h"

namespace s::image::bmp::win {

using image::win::BufferedImage;
using image::win::MemoryDc;

static_assert(sizeof(BITMAPFILEHEADER) == Bitmap::FILE_HEADER_BYTES, "the file header is written as it lies");
static_assert(sizeof(BITMAPINFOHEADER) == Bitmap::INFO_HEADER_BYTES, "the info header is written as it lies");

namespace {

bool isDepth(int32_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// The header's image size: pixel bytes without row padding.
uint32_t imageSizeFor(int32_t width, int32_t height, int32_t bitCount) {
    const int64_t pixels = static_cast<int64_t>(width) * height;
    switch (bitCount) {
    case 32: return static_cast<uint32_t>(pixels * 4);
    case 24: return static_cast<uint32_t>(pixels * 3);
    case 16: return static_cast<uint32_t>(pixels * 2);
    case 8: return static_cast<uint32_t>(pixels);
    case 4: return static_cast<uint32_t>((pixels + 1) / 2);
    default: return static_cast<uint32_t>((pixels + 7) / 8);
    }
}

// Whether a seekable stream still holds n bytes, so that a header claiming more data
// than there is fails before a large section is allocated.
bool hasRemaining(io::IInputStream* stream, int64_t n) {
    if (!stream->isSeekable()) {
        return true;  // the read itself will come up short
    }
    const int64_t here = stream->position();
    stream->seekEnd();
    const int64_t end = stream->position();
    stream->seek(here);
    return stream->position() == here && end - here >= n;
}


} // namespace

Bitmap::Bitmap()
    : section_(nullptr), bits_(nullptr), stride_(0), tableEntries_(0), keyColour_(-1), alphaMask_(0) {
    std::memset(&fileHeader_, 0, sizeof(fileHeader_));
    std::memset(&info_, 0, sizeof(info_));
    std::memset(&handleRecord_, 0, sizeof(handleRecord_));
    reset();
}

Bitmap::~Bitmap() {
    deleteSection();
}

void Bitmap::deleteSection() {
    if (section_ != nullptr) {
        DeleteObject(section_);
        section_ = nullptr;
    }
    bits_ = nullptr;
}

void Bitmap::reset() {
    deleteSection();
    BITMAPINFOHEADER& h = info_.header;
    std::memset(&h, 0, sizeof(h));
    h.biSize = INFO_HEADER_BYTES;
    h.biPlanes = 1;
    h.biBitCount = 32;
    if (tableEntries_ != 0) {
        std::memset(info_.colours, 0, sizeof(info_.colours));
    }
    stride_ = 0;
    tableEntries_ = 0;
    keyColour_ = -1;
    alphaMask_ = 0;
    std::memset(&handleRecord_, 0, sizeof(handleRecord_));
    fileHeader_.bfType = FILE_TYPE;
    fileHeader_.bfSize = FILE_HEADER_BYTES + INFO_HEADER_BYTES;
    fileHeader_.bfReserved1 = 0;
    fileHeader_.bfReserved2 = 0;
    fileHeader_.bfOffBits = FILE_HEADER_BYTES + INFO_HEADER_BYTES;
}

int64_t Bitmap::strideFor(int32_t width, int32_t bitCount) {
    if (width <= 0 || bitCount <= 0) {
        return -1;
    }
    const int64_t stride = ((static_cast<int64_t>(bitCount) * width + 31) >> 3) & ~int64_t(3);
    return stride > MAX_PIXEL_BYTES ? -1 : stride;
}

bool Bitmap::setHeaders(int32_t width, int32_t height, int32_t bitCount, uint32_t compression, int32_t entries,
                        uint32_t coloursUsed, uint32_t coloursImportant) {
    if (width <= 0 || height <= 0 || !isDepth(bitCount) || entries < 0 || entries > 256) {
        return false;
    }
    const int64_t stride = strideFor(width, bitCount);
    if (stride < 0 || stride * height > MAX_PIXEL_BYTES) {
        return false;
    }
    info_.setHeader(width, height, bitCount, compression, imageSizeFor(width, height, bitCount), coloursUsed,
                    coloursImportant);
    stride_ = static_cast<int32_t>(stride);
    tableEntries_ = entries;
    const uint32_t offset = FILE_HEADER_BYTES + INFO_HEADER_BYTES + entries * 4;
    fileHeader_.bfType = FILE_TYPE;
    fileHeader_.bfReserved1 = 0;
    fileHeader_.bfReserved2 = 0;
    fileHeader_.bfOffBits = offset;
    fileHeader_.bfSize = offset + static_cast<uint32_t>(stride * height);
    return true;
}

bool Bitmap::createSection() {
    section_ = info_.createSection(bits_);
    return section_ != nullptr;
}

HBITMAP Bitmap::create(int32_t width, int32_t height, int32_t bitCount) {
    deleteSection();
    keyColour_ = -1;
    alphaMask_ = 0;
    const int32_t entries = bitCount >= 1 && bitCount <= 8 ? 1 << bitCount : 0;
    if (!setHeaders(width, height, bitCount, BI_RGB, entries, entries, entries)) {
        reset();
        return nullptr;
    }
    std::memset(info_.colours, 0, sizeof(info_.colours));
    if (!createSection()) {
        reset();
        return nullptr;
    }
    return section_;
}

bool Bitmap::hasAlphaChannel() const {
    return info_.header.biBitCount == 32 && (info_.header.biCompression != BI_BITFIELDS || alphaMask_ != 0);
}

void Bitmap::setKeyColour(uint8_t red, uint8_t green, uint8_t blue) {
    keyColour_ = (static_cast<int32_t>(red) << 16) | (static_cast<int32_t>(green) << 8) | blue;
}

void Bitmap::fillPixels(uint32_t value) {
    const int32_t w = width();
    for (int32_t y = 0; y < height(); ++y) {
        uint32_t* p = reinterpret_cast<uint32_t*>(row(y));
        std::fill(p, p + w, value);
    }
}

bool Bitmap::copyTo(HBITMAP target) const {
    return info_.copySection(section_, target, info_.header.biBitCount <= 8 ? tableEntries_ : 0);
}

bool Bitmap::encode(io::IOutputStream* stream) {
    if (section_ == nullptr || stream == nullptr) {
        return false;
    }
    return io::transferAll(stream, &fileHeader_, FILE_HEADER_BYTES) && encodeDib(stream);
}

bool Bitmap::encodeDib(io::IOutputStream* stream) const {
    if (section_ == nullptr || stream == nullptr) {
        return false;
    }
    GdiFlush();
    return io::transferAll(stream, &info_.header, INFO_HEADER_BYTES) &&
           io::transferAll(stream, info_.colours, static_cast<uint32_t>(colourTableBytes())) &&
           io::transferAll(stream, bits_, static_cast<uint32_t>(stride_) * static_cast<uint32_t>(height()));
}

bool Bitmap::readInfo(io::IInputStream* stream, int64_t& consumed, bool& topDown, uint32_t& headerBytes,
                      bool skipUnusedTable) {
    BITMAPINFOHEADER h;
    if (!io::transferAll(stream, &h, INFO_HEADER_BYTES)) {
        return false;
    }
    consumed += INFO_HEADER_BYTES;
    headerBytes = h.biSize;
    const int32_t bitCount = h.biBitCount;
    // Smaller (OS/2) headers lay out differently; other depths do not exist.
    if (h.biSize < INFO_HEADER_BYTES || h.biPlanes != 1 || !isDepth(bitCount)) {
        return false;
    }
    // Compressed pixels (RLE, embedded JPEG or PNG) are not rows to copy.
    const bool bitFields = h.biCompression == BI_BITFIELDS;
    if (bitFields ? bitCount != 16 && bitCount != 32 : h.biCompression != BI_RGB) {
        return false;
    }
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        return false;
    }
    topDown = h.biHeight < 0;
    const int32_t height = topDown ? -h.biHeight : h.biHeight;
    if (!isDecodableSize(h.biWidth, height)) {
        return false;
    }

    // Later header versions carry the bit-field masks inside the header, the alpha
    // mask after the three colour masks.
    RGBQUAD masks[3];
    uint32_t alphaMask = 0;
    bool masksRead = false;
    int64_t extra = static_cast<int64_t>(h.biSize) - INFO_HEADER_BYTES;
    if (bitFields && extra >= 12) {
        if (!io::transferAll(stream, masks, sizeof(masks))) {
            return false;
        }
        consumed += sizeof(masks);
        extra -= sizeof(masks);
        masksRead = true;
        if (extra >= 4) {
            if (!io::transferAll(stream, &alphaMask, sizeof(alphaMask))) {
                return false;
            }
            consumed += sizeof(alphaMask);
            extra -= sizeof(alphaMask);
        }
    }
    if (!io::skipAll(stream, extra)) {
        return false;
    }
    consumed += extra;
    if (bitFields && !masksRead) {
        if (!io::transferAll(stream, masks, sizeof(masks))) {
            return false;
        }
        consumed += sizeof(masks);
    }

    // A palette holds at most 2^bits useful entries; at 16 bits and more a listed
    // palette only advises displays and is not kept.
    int32_t entries = 0;
    uint32_t used = 0;
    uint32_t important = 0;
    if (bitCount <= 8) {
        entries = static_cast<int32_t>(image::win::DibInfo::usableColours(h));
        used = static_cast<uint32_t>(entries);
        important = h.biClrImportant <= used ? h.biClrImportant : used;
    } else {
        entries = bitFields ? 3 : 0;
    }
    const int64_t unusedEntries = bitCount <= 8 ? image::win::DibInfo::listedColours(h) - entries : h.biClrUsed;
    if (!setHeaders(h.biWidth, height, bitCount, h.biCompression, entries, used, important)) {
        return false;
    }
    std::memset(info_.colours, 0, sizeof(info_.colours));
    if (bitCount <= 8) {
        if (!io::transferAll(stream, info_.colours, static_cast<uint32_t>(entries) * 4)) {
            return false;
        }
        consumed += entries * 4;
    } else if (bitFields) {
        std::memcpy(info_.colours, masks, sizeof(masks));
        setAlphaMask(alphaMask);
    }
    if (skipUnusedTable && unusedEntries > 0) {
        if (!io::skipAll(stream, unusedEntries * 4)) {
            return false;
        }
        consumed += unusedEntries * 4;
    }
    return true;
}

bool Bitmap::readPixels(io::IInputStream* stream, bool topDown) {
    const int64_t bytes = static_cast<int64_t>(stride_) * height();
    if (!hasRemaining(stream, bytes) || !createSection()) {
        return false;
    }
    if (!io::transferAll(stream, bits_, static_cast<uint32_t>(bytes))) {
        return false;
    }
    if (topDown) {
        for (int32_t top = 0, bottom = height() - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(row(top), row(top) + stride_, row(bottom));
        }
    }
    return true;
}

bool Bitmap::decode(io::IInputStream* stream) {
    reset();
    if (stream == nullptr) {
        return false;
    }
    BITMAPFILEHEADER file;
    int64_t consumed = 0;
    bool topDown = false;
    uint32_t headerBytes = 0;
    bool done = io::transferAll(stream, &file, FILE_HEADER_BYTES) && file.bfType == FILE_TYPE;
    consumed = FILE_HEADER_BYTES;
    done = done && readInfo(stream, consumed, topDown, headerBytes, false);
    // The rows start at the file's pixel offset, which may lie before the end of a
    // colour table that claimed more entries than the file holds.
    const int64_t offset = file.bfOffBits;
    done = done && offset >= FILE_HEADER_BYTES + static_cast<int64_t>(headerBytes);
    if (done && offset > consumed) {
        done = io::skipAll(stream, offset - consumed);
    } else if (done && offset < consumed) {
        done = stream->skipBack(consumed - offset) == consumed - offset;
    }
    done = done && readPixels(stream, topDown);
    if (!done) {
        reset();
    }
    return done;
}

bool Bitmap::decodeDib(io::IInputStream* stream) {
    reset();
    if (stream == nullptr) {
        return false;
    }
    int64_t consumed = 0;
    bool topDown = false;
    uint32_t headerBytes = 0;
    const bool done = readInfo(stream, consumed, topDown, headerBytes, true) && readPixels(stream, topDown);
    if (!done) {
        reset();
    }
    return done;
}

BufferedImage* Bitmap::toBufferedImage(BufferedImage* target, int32_t) {
    BufferedImage* image = info_.copyToImage(section_, target, info_.header.biBitCount <= 8 ? tableEntries_ : 0);
    if (image == nullptr) {
        return nullptr;
    }
    image->setHasAlpha(false);
    if (alphaMask_ != 0) {
        copyMaskedAlpha(image);
    } else if (hasAlphaChannel()) {
        bool anyTranslucent = false;
        // All alpha bytes 0 means the writer left them unused.
        if (info_.copyAlpha(bits_, stride_, image, anyTranslucent)) {
            image->setHasAlpha(anyTranslucent);
        } else {
            image->makeOpaque();
        }
    } else if (hasKeyColour()) {
        image->colourKey(static_cast<uint8_t>(keyColour_ >> 16), static_cast<uint8_t>(keyColour_ >> 8),
                         static_cast<uint8_t>(keyColour_));
    } else {
        image->makeOpaque();
    }
    return image;
}

void Bitmap::copyMaskedAlpha(BufferedImage* image) const {
    // The mask's bits, however many, are scaled to 0-255.
    const uint32_t mask = alphaMask_;
    int32_t shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    const uint64_t top = mask >> shift;
    bool translucent = false;
    for (int32_t y = 0; y < height(); ++y) {
        const uint32_t* from = reinterpret_cast<const uint32_t*>(row(y));
        uint8_t* to = image->row(y);
        for (int32_t x = 0; x < width(); ++x) {
            const uint8_t alpha = static_cast<uint8_t>(((from[x] & mask) >> shift) * 255 / top);
            to[x * 4 + 3] = alpha;
            translucent = translucent || alpha != 255;
        }
    }
    image->setHasAlpha(translucent);
}

bool Bitmap::setFromImage(BufferedImage* image, int32_t bitCount, bool keepTransparency, uint8_t red, uint8_t green,
                          uint8_t blue) {
    // 4 and 8 bits go through the colour quantizer; other depths have no conversion.
    if (image == nullptr || image->width() <= 0 || image->height() <= 0 ||
        (bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)) {
        reset();
        return false;
    }
    const int32_t w = image->width();
    const int32_t h = image->height();
    BufferedImage* composite = nullptr;
    const BufferedImage* source = image;
    if (image->hasAlpha()) {
        if (keepTransparency && bitCount == 32) {
            image->setTransparentColour(red, green, blue);
        } else {
            composite = BufferedImage::create(w, h);
            if (composite == nullptr) {
                reset();
                return false;
            }
            composite->fill(255, red, green, blue);
            composite->drawImage(0, 0, w, h, image, 0, 0, false);
            source = composite;
        }
    }
    bool done = create(w, h, bitCount) != nullptr;
    if (done && bitCount == 32) {
        for (int32_t y = 0; y < h; ++y) {
            std::memcpy(row(y), source->row(y), static_cast<size_t>(stride_));
        }
        // An opaque picture may hold any alpha bytes; the file must not show them.
        if (!source->hasAlpha()) {
            for (int32_t y = 0; y < h; ++y) {
                uint8_t* p = row(y);
                for (int32_t x = 0; x < w; ++x) {
                    p[x * 4 + 3] = 255;
                }
            }
        }
    } else if (done && bitCount == 24) {
        done = source->bitmap() != nullptr && source->bitmap()->copyTo(section_);
    } else if (done) {
        thread::Held<filters::reduction::Quantizer> quantizer(filters::reduction::Quantizer::pool());
        done = quantizer && quantizer->buildPalette(source, tableEntries_);
        if (done) {
            std::memcpy(info_.colours, quantizer->palette(), static_cast<size_t>(colourTableBytes()));
            for (int32_t y = 0; y < h; ++y) {
                quantizer->mapPixels(source->row(y), w, row(y), bitCount);
            }
        }
    }
    if (composite != nullptr) {
        composite->release();
    }
    if (!done) {
        reset();
    }
    return done;
}

Bitmap* Bitmap::createFromImage(BufferedImage* image, int32_t bitCount, bool keepTransparency, uint8_t red,
                                uint8_t green, uint8_t blue) {
    return thread::pooledFrom<Bitmap>(
        [&](Bitmap* bitmap) { return bitmap->setFromImage(image, bitCount, keepTransparency, red, green, blue); });
}

IEncodedImage* Bitmap::createFromImage(BufferedImage* image) const {
    return createFromImage(image, bitCount(), true, 255, 255, 255);
}

bool Bitmap::fromBitmapHandle(HBITMAP bitmap) {
    DIBSECTION section;
    std::memset(&section, 0, sizeof(section));
    const int got = bitmap != nullptr ? GetObjectW(bitmap, sizeof(section), &section) : 0;
    if (got < static_cast<int>(sizeof(BITMAP))) {
        reset();
        return false;
    }
    handleRecord_ = section.dsBm;
    const BITMAP& bm = handleRecord_;
    const int32_t depth = bm.bmBitsPixel * bm.bmPlanes;
    if (create(bm.bmWidth, bm.bmHeight, depth) == nullptr) {
        return false;
    }
    // A plain bottom-up DIB is copied as it lies; top-down and bit-field sections are
    // drawn in, so GDI turns and converts them.
    const bool plainDib = got == static_cast<int>(sizeof(DIBSECTION)) && bm.bmBits != nullptr &&
                          section.dsBmih.biHeight > 0 && section.dsBmih.biCompression == BI_RGB &&
                          bm.bmWidthBytes == stride_;
    MemoryDc source(bitmap);
    if (!source.ok()) {
        reset();
        return false;
    }
    if (tableEntries_ != 0) {
        RGBQUAD colours[256];
        UINT count = 0;
        if (bm.bmBits != nullptr) {
            count = GetDIBColorTable(source.dc(), 0, tableEntries_, colours);
        } else {
            HPALETTE palette = static_cast<HPALETTE>(GetCurrentObject(source.dc(), OBJ_PAL));
            PALETTEENTRY entries[256];
            count = palette != nullptr ? GetPaletteEntries(palette, 0, tableEntries_, entries) : 0;
            for (UINT i = 0; i < count; ++i) {
                colours[i].rgbBlue = entries[i].peBlue;
                colours[i].rgbGreen = entries[i].peGreen;
                colours[i].rgbRed = entries[i].peRed;
                colours[i].rgbReserved = 0;
            }
        }
        std::memcpy(info_.colours, colours, count * sizeof(RGBQUAD));
        if (count != 0) {
            MemoryDc own(section_);
            if (own.ok()) {
                SetDIBColorTable(own.dc(), 0, count, info_.colours);
            }
        }
    }
    if (plainDib) {
        GdiFlush();
        std::memcpy(bits_, bm.bmBits, static_cast<size_t>(stride_) * height());
        return true;
    }
    MemoryDc own(section_);
    const bool done = own.ok() && BitBlt(own.dc(), 0, 0, width(), height(), source.dc(), 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    if (!done) {
        reset();
    }
    return done;
}

bool Bitmap::fromIcon(HICON icon) {
    ICONINFO info;
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        reset();
        return false;
    }
    BITMAP bm;
    int32_t w = 0;
    int32_t h = 0;
    if (info.hbmColor != nullptr && GetObjectW(info.hbmColor, sizeof(bm), &bm) != 0) {
        w = bm.bmWidth;
        h = bm.bmHeight;
    } else if (info.hbmMask != nullptr && GetObjectW(info.hbmMask, sizeof(bm), &bm) != 0) {
        // A monochrome icon's mask holds the AND mask above the XOR mask.
        w = bm.bmWidth;
        h = bm.bmHeight / 2;
    }
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    if (info.hbmMask != nullptr) {
        DeleteObject(info.hbmMask);
    }
    w = w > 0 ? w : 16;
    h = h > 0 ? h : 16;

    const auto draw = [&]() {
        MemoryDc dc(section_);
        const bool drawn = dc.ok() && DrawIconEx(dc.dc(), 0, 0, icon, w, h, 0, nullptr, DI_NORMAL) != FALSE;
        GdiFlush();
        return drawn;
    };
    if (create(w, h, 32) == nullptr) {
        return false;
    }
    fillPixels(0x00FFFFFF);
    if (!draw()) {
        reset();
        return false;
    }
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* p = row(y);
        for (int32_t x = 0; x < w; ++x) {
            if (p[x * 4 + 3] != 0) {
                return true;
            }
        }
    }
    // No alpha drawn: the mask decides, through a colour icons do not use.
    if (create(w, h, 24) == nullptr) {
        return false;
    }
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* p = row(y);
        for (int32_t x = 0; x < w; ++x) {
            p[x * 3] = 252;
            p[x * 3 + 1] = 253;
            p[x * 3 + 2] = 254;
        }
    }
    setKeyColour(254, 253, 252);
    if (!draw()) {
        reset();
        return false;
    }
    return true;
}

} // namespace s::image::bmp::win
