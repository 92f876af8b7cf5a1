#include "images/image/ico/win/IconImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/col/_array/ArrayU08.h"
#include "core/io/StreamCopy.h"
#include "core/thread/Held.h"
#include "images/image/filters/reduction/Quantizer.h"
#include "images/image/png/win/Png.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::ico::win {

using col::_array::ArrayU08;
using image::win::BufferedImage;
using thread::Held;

static_assert(sizeof(BITMAPINFOHEADER) == IconImage::HEADER_BYTES, "the header is read and written as it lies");

namespace {

constexpr uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool isDepth(int64_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

int64_t remaining(const ArrayU08* bytes) {
    return static_cast<int64_t>(bytes->count()) - bytes->position();
}

} // namespace

IconImage::IconImage()
    : bitmap_(nullptr), bytes_(ArrayU08::pool()), paletteCount_(0), paletteBytes_(0), colourBits_(nullptr),
      colourStride_(0), maskBits_(nullptr), maskStride_(0) {
    std::memset(&info_, 0, sizeof(info_));
    reset();
}

IconImage::~IconImage() {
    deleteBitmap();
    freeMask();
    if (bytes_ != nullptr) {
        bytes_->release();
    }
}

void IconImage::deleteBitmap() {
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    colourBits_ = nullptr;
}

void IconImage::freeMask() {
    std::free(maskBits_);
    maskBits_ = nullptr;
}

void IconImage::reset() {
    deleteBitmap();
    freeMask();
    if (bytes_ != nullptr) {
        bytes_->setCount(0);
        bytes_->rewind();
    }
    std::memset(&info_, 0, sizeof(info_));
    info_.header.biSize = HEADER_BYTES;
    info_.header.biPlanes = 1;
    info_.header.biBitCount = 32;
    paletteCount_ = 0;
    paletteBytes_ = 0;
    colourStride_ = 0;
    maskStride_ = 0;
}

bool IconImage::createSection() {
    bitmap_ = info_.createSection(colourBits_);
    return bitmap_ != nullptr;
}

bool IconImage::allocateMask() {
    freeMask();
    maskBits_ = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(maskStride_) * height(), 1));
    return maskBits_ != nullptr;
}

bool IconImage::allocate(int32_t width, int32_t height, int32_t bitCount) {
    deleteBitmap();
    freeMask();
    if (!isDecodableSize(width, height) || !isDepth(bitCount)) {
        reset();
        return false;
    }
    const uint32_t colours = bitCount <= 8 ? 1u << bitCount : 0;
    info_.setHeader(width, height, bitCount, BI_RGB, static_cast<DWORD>(width * height), colours, colours);
    std::memset(info_.colours, 0, sizeof(info_.colours));
    paletteCount_ = static_cast<int32_t>(colours);
    paletteBytes_ = paletteCount_ * 4;
    colourStride_ = static_cast<int32_t>(colourStrideFor(width, bitCount, 1));
    maskStride_ = static_cast<int32_t>(maskStrideFor(width));
    if (!createSection() || !allocateMask()) {
        reset();
        return false;
    }
    return true;
}

bool IconImage::decode(io::IInputStream* stream) {
    reset();
    if (stream == nullptr || bytes_ == nullptr) {
        return false;
    }
    io::IOutputStream* sink = bytes_;
    if (!io::copyStream(stream, sink)) {
        reset();
        return false;
    }
    bytes_->rewind();
    const bool png = bytes_->count() > 7 && std::memcmp(bytes_->items(), PNG_SIGNATURE, 8) == 0;
    const bool done = png ? decodePng() : decodeBitmap();
    if (!done) {
        reset();
    } else {
        bytes_->rewind();
    }
    return done;
}

bool IconImage::decodePng() {
    Held<png::win::Png> png(png::win::Png::pool());
    io::IInputStream* source = bytes_;
    if (!png || !png->decode(source)) {
        return false;
    }
    Held<BufferedImage> picture(png->toBufferedImage());
    return picture && setFromImage(picture.get(), 32, true, 255, 255, 255);
}

bool IconImage::decodeBitmap() {
    io::IInputStream* in = bytes_;
    BITMAPINFOHEADER h;
    if (!io::transferAll(in, &h, HEADER_BYTES)) {
        return false;
    }
    // The height counts the colour rows and the mask rows.
    const int64_t width = h.biWidth;
    const int64_t height = h.biHeight / 2;
    const int64_t bitCount = h.biBitCount;
    if (h.biSize < HEADER_BYTES || h.biPlanes != 1 || !isDepth(bitCount) || h.biCompression != BI_RGB ||
        h.biHeight <= 0 || !isDecodableSize(width, height)) {
        return false;
    }
    if (h.biSize - HEADER_BYTES > static_cast<uint64_t>(remaining(bytes_)) ||
        !io::skipAll(in, static_cast<int64_t>(h.biSize) - HEADER_BYTES)) {
        return false;
    }
    // A listed table longer than the depth can index is skipped past its usable part.
    const int64_t listed = image::win::DibInfo::listedColours(h);
    const int64_t kept = image::win::DibInfo::usableColours(h);
    const int64_t colourStride = colourStrideFor(width, bitCount, 1);
    const int64_t maskStride = maskStrideFor(width);
    // 32-bit entries may end after their colour rows: their alpha bytes are the mask.
    const int64_t colourEnd = listed * 4 + colourStride * height;
    const bool masked = colourEnd + maskStride * height <= remaining(bytes_);
    if (!masked && (bitCount != 32 || colourEnd > remaining(bytes_))) {
        return false;
    }
    info_.header = h;
    info_.header.biSize = HEADER_BYTES;
    info_.header.biHeight = static_cast<LONG>(height);
    info_.header.biClrUsed = static_cast<DWORD>(kept);
    info_.header.biClrImportant = std::min<DWORD>(h.biClrImportant, static_cast<DWORD>(kept));
    paletteCount_ = static_cast<int32_t>(kept);
    paletteBytes_ = paletteCount_ * 4;
    colourStride_ = static_cast<int32_t>(colourStride);
    maskStride_ = static_cast<int32_t>(maskStride);
    if (!io::transferAll(in, info_.colours, static_cast<uint32_t>(paletteBytes_)) ||
        !io::skipAll(in, (listed - kept) * 4) || !createSection() ||
        !io::transferAll(in, colourBits_, static_cast<uint32_t>(colourStride * height)) || !allocateMask()) {
        return false;
    }
    return !masked || io::transferAll(in, maskBits_, static_cast<uint32_t>(maskStride * height));
}

bool IconImage::encodeBitmap(io::IOutputStream* stream) const {
    if (bitmap_ == nullptr || maskBits_ == nullptr || stream == nullptr) {
        return false;
    }
    GdiFlush();
    BITMAPINFOHEADER h = info_.header;
    h.biHeight *= 2;
    return io::transferAll(stream, &h, HEADER_BYTES) &&
           io::transferAll(stream, info_.colours, static_cast<uint32_t>(paletteBytes_)) &&
           io::transferAll(stream, colourBits_, static_cast<uint32_t>(colourStride_) * height()) &&
           io::transferAll(stream, maskBits_, static_cast<uint32_t>(maskStride_) * height());
}

bool IconImage::encode(io::IOutputStream* stream) {
    if (bitmap_ == nullptr || stream == nullptr) {
        return false;
    }
    if (width() <= LARGEST_BITMAP_SIDE && height() <= LARGEST_BITMAP_SIDE) {
        return encodeBitmap(stream);
    }
    Held<BufferedImage> picture(toBufferedImage());
    Held<png::win::Png> png(picture ? png::win::Png::createFromImage(picture.get(), false, true, 255, 255, 255)
                                    : nullptr);
    return png && png->encode(stream);
}

bool IconImage::copyToBitmap(HBITMAP target) const {
    return info_.copySection(bitmap_, target, paletteCount_);
}

BufferedImage* IconImage::toBufferedImage(BufferedImage* target, int32_t) {
    BufferedImage* image = info_.copyToImage(bitmap_, target, paletteCount_);
    if (image == nullptr) {
        return nullptr;
    }
    const int32_t w = width();
    const int32_t h = height();
    // All alpha bytes 0 means the writer left them unused: the mask decides then.
    bool translucent = false;
    const bool alphaUsed = is32Bit() && info_.copyAlpha(colourBits_, colourStride_, image, translucent);
    if (alphaUsed) {
        image->setHasAlpha(translucent);
    } else if (maskBits_ != nullptr) {
        bool masked = false;
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* mask = maskRow(y);
            uint8_t* to = image->row(y);
            for (int32_t x = 0; x < w; ++x) {
                const bool transparent = (mask[x >> 3] & (0x80 >> (x & 7))) != 0;
                to[x * 4 + 3] = transparent ? 0 : 255;
                masked = masked || transparent;
            }
        }
        image->setHasAlpha(masked);
    } else {
        image->makeOpaque();
    }
    return image;
}

bool IconImage::setFromImage(BufferedImage* image, int32_t bitCount, bool keepTransparency, uint8_t red,
                             uint8_t green, uint8_t blue) {
    // Other depths have no conversion here: refusing beats an all-black icon.
    if (image == nullptr || (bitCount != 4 && bitCount != 8 && bitCount != 32)) {
        reset();
        return false;
    }
    if (bytes_ != nullptr) {
        bytes_->setCount(0);
        bytes_->rewind();
    }
    const int32_t w = image->width();
    const int32_t h = image->height();
    BufferedImage* temporary = nullptr;
    if (image->hasAlpha() && !(keepTransparency && bitCount == 32)) {
        if (keepTransparency) {
            temporary = image->copy();
            if (temporary != nullptr) {
                temporary->setHasAlpha(true);
                temporary->alphaThreshold(ALPHA_LIMIT);
            }
        } else {
            temporary = image->overBackground(red, green, blue);
        }
        if (temporary == nullptr) {
            reset();
            return false;
        }
    }
    Held<BufferedImage> held(temporary);
    const BufferedImage* used = temporary != nullptr ? temporary : image;
    if (!allocate(w, h, bitCount)) {
        return false;
    }
    GdiFlush();
    if (bitCount == 32) {
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* to = colourRow(y);
            std::memcpy(to, used->row(y), static_cast<size_t>(w) * 4);
            // An opaque picture may hold any alpha bytes; the icon must not show them.
            if (!used->hasAlpha()) {
                for (int32_t x = 0; x < w; ++x) {
                    to[x * 4 + 3] = 255;
                }
            }
        }
    } else {
        Held<filters::reduction::Quantizer> quantizer(filters::reduction::Quantizer::pool());
        if (!quantizer || !quantizer->buildPalette(used, (1 << bitCount) - 1)) {
            reset();
            return false;
        }
        std::memcpy(info_.colours, quantizer->palette(), static_cast<size_t>(paletteBytes_));
        for (int32_t y = 0; y < h; ++y) {
            quantizer->mapPixels(used->row(y), w, colourRow(y), bitCount);
        }
    }
    if (used->hasAlpha()) {
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* from = used->row(y);
            uint8_t* mask = maskRow(y);
            for (int32_t x = 0; x < w; ++x) {
                if (from[x * 4 + 3] == 0) {
                    mask[x >> 3] = static_cast<uint8_t>(mask[x >> 3] | (0x80 >> (x & 7)));
                }
            }
        }
    }
    return true;
}

IconImage* IconImage::createFromImage(BufferedImage* image, int32_t bitCount, bool keepTransparency, uint8_t red,
                                      uint8_t green, uint8_t blue) {
    return thread::pooledFrom<IconImage>(
        [&](IconImage* icon) { return icon->setFromImage(image, bitCount, keepTransparency, red, green, blue); });
}

IEncodedImage* IconImage::createFromImage(BufferedImage* image) const {
    return createFromImage(image, 32, true, 255, 255, 255);
}

HICON IconImage::createIcon() {
    if (bytes_ == nullptr || bitmap_ == nullptr) {
        return nullptr;
    }
    if (bytes_->count() == 0) {
        io::IOutputStream* sink = bytes_;
        bytes_->rewind();
        if (!encodeBitmap(sink)) {
            bytes_->setCount(0);
            bytes_->rewind();
            return nullptr;
        }
        bytes_->rewind();
    }
    HICON icon = CreateIconFromResourceEx(bytes_->items(), bytes_->count(), TRUE, 0x30000, width(), height(),
                                          LR_DEFAULTCOLOR);
    if (icon == nullptr && bitCount() != 16) {
        icon = CreateIconFromResource(bytes_->items(), bytes_->count(), TRUE, 0x30000);
    }
    return icon;
}

} // namespace s::image::ico::win
