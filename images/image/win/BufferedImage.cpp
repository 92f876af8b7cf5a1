#include "images/image/win/BufferedImage.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "core/cleaner/CleanerIObject.h"
#include "core/col/_array/ArrayP.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/filters/IFilter.h"
#include "images/image/filters/scale/BilinearFilter.h"
#include "images/image/gif/win/Gif.h"
#include "images/image/jpg/win/Jpeg.h"
#include "images/image/png/win/Png.h"
#include "system/file/win/FileOutputStream.h"
#include "system/file/win/PathWin.h"
#include "images/image/filters/sharpness/Sharpness.h"
#include "images/image/win/MemoryDc.h"
#include "images/image/win/PrintTarget.h"

namespace s::image::win {

using bmp::win::Bitmap;
using col::_array::ArrayP;
using jpg::win::Jpeg;
using png::win::Png;

namespace {

// One reserve step per dimension: from the capacity (or the request when there is
// none) up by x1.2 until the request fits.
int32_t grownDimension(int32_t capacity, int32_t request) {
    if (request <= capacity) {
        return capacity;
    }
    float size = static_cast<float>(capacity > 0 ? capacity : request);
    while (size < static_cast<float>(request)) {
        size *= 1.2f;
    }
    return size >= static_cast<float>(INT_MAX) ? request : static_cast<int32_t>(size);
}


// Encodes a pooled encoded image (null: nothing to write) and gives it back.
template <class Encoded>
bool encodeOnce(Encoded* encoded, io::IOutputStream* stream) {
    if (encoded == nullptr) {
        return false;
    }
    const bool done = encoded->encode(stream);
    encoded->release();
    return done;
}

// Writes through encode into the file at path, replacing it; a file left incomplete
// by a failure is removed.
template <class Encode>
bool saveToFile(const wchar_t* path, Encode encode) {
    file::win::PathWin* file = file::win::PathWin::create(path);
    if (file == nullptr) {
        return false;
    }
    file::win::FileOutputStream* stream = file->isValid() ? file->openOutputStream(false) : nullptr;
    bool done = false;
    if (stream != nullptr) {
        io::IOutputStream* sink = stream;
        done = encode(sink);
        done = stream->flush() && done;
        stream->release();
        if (!done) {
            file->remove(false, false);
        }
    }
    file->release();
    return done;
}

} // namespace

BufferedImage::BufferedImage()
    : dib_(nullptr), bits_(nullptr), width_(0), height_(0), pixelCount_(0), byteSize_(0), stride_(0),
      capacityWidth_(0), capacityHeight_(0), capacityStride_(0), scaledCache_(nullptr), scaledStale_(false),
      filteredStale_(false), hasAlpha_(0), filters_(new (std::nothrow) ArrayP()), filteredCache_(nullptr) {
    if (filters_ != nullptr) {
        filters_->setCleaner(&cleaner::CleanerIObject::instance());
    }
    reset();
}

BufferedImage::~BufferedImage() {
    delete filters_;  // its cleaner deletes the filters still attached
    delete scaledCache_;
    delete filteredCache_;
    delete dib_;
}

BufferedImage* BufferedImage::create(int32_t width, int32_t height) {
    BufferedImage* image = pool();
    if (image != nullptr && !image->allocate(width, height)) {
        image->release();
        return nullptr;
    }
    return image;
}

BufferedImage* BufferedImage::sizedOrNew(BufferedImage* target, int32_t width, int32_t height) {
    if (target == nullptr) {
        return create(width, height);
    }
    target->setSize(0, 0);
    if (!target->reserve(width, height)) {
        return nullptr;
    }
    target->setSize(width, height);
    return target;
}

void BufferedImage::reset() {
    releaseBitmap();
    width_ = height_ = 0;
    pixelCount_ = byteSize_ = 0;
    stride_ = 0;
    capacityWidth_ = capacityHeight_ = capacityStride_ = 0;
    hasAlpha_ = 0;
    if (scaledCache_ != nullptr) {
        scaledCache_->release();
        scaledCache_ = nullptr;
    }
    scaledStale_ = false;
    removeAllFilters();
    releaseFilteredCache();
}

void BufferedImage::releaseBitmap() {
    if (dib_ != nullptr) {
        dib_->release();
        dib_ = nullptr;
    }
    bits_ = nullptr;
}

void BufferedImage::releaseFilteredCache() {
    if (filteredCache_ != nullptr) {
        filteredCache_->release();
        filteredCache_ = nullptr;
    }
    filteredStale_ = false;
}

void BufferedImage::pixelsChanged() {
    scaledStale_ = true;
    filteredStale_ = true;
}

HBITMAP BufferedImage::nativeHandle() const {
    return dib_ != nullptr ? dib_->handle() : nullptr;
}

HBITMAP BufferedImage::nativeHandle() {
    pixelsChanged();
    return dib_ != nullptr ? dib_->handle() : nullptr;
}

void BufferedImage::setSize(int32_t width, int32_t height) {
    width_ = width;
    height_ = height;
    stride_ = width * 4;
    pixelCount_ = static_cast<int64_t>(width) * height;
    byteSize_ = pixelCount_ * 4;
    pixelsChanged();
}

bool BufferedImage::allocate(int32_t width, int32_t height) {
    releaseBitmap();
    capacityWidth_ = capacityHeight_ = capacityStride_ = 0;
    setSize(0, 0);
    if (width < 0 || height < 0) {
        return false;
    }
    if (width == 0 || height == 0) {
        return true;  // an empty picture needs no bitmap
    }
    Bitmap* bitmap = Bitmap::pool();
    if (bitmap == nullptr) {
        return false;
    }
    if (bitmap->create(width, height, 32) == nullptr) {
        bitmap->release();
        return false;
    }
    dib_ = bitmap;
    bits_ = bitmap->bits();
    capacityWidth_ = width;
    capacityHeight_ = height;
    capacityStride_ = width * 4;
    setSize(width, height);
    return true;
}

bool BufferedImage::ensureCapacity(int32_t width, int32_t height) {
    if ((width <= capacityWidth_ && height <= capacityHeight_) || width <= 0 || height <= 0) {
        return true;
    }
    // Never narrower or shorter than now, so every old row fits.
    const int32_t newWidth = std::max(width, capacityWidth_);
    const int32_t newHeight = std::max(height, capacityHeight_);
    Bitmap* bitmap = Bitmap::pool();
    if (bitmap == nullptr) {
        return false;
    }
    if (bitmap->create(newWidth, newHeight, 32) == nullptr) {
        bitmap->release();
        return false;
    }
    GdiFlush();
    const int32_t oldWidth = width_;
    const int32_t oldHeight = height_;
    const int32_t oldStride = stride_;
    Bitmap* old = dib_;
    const uint8_t* oldBits = bits_;
    const int32_t oldCapacityHeight = capacityHeight_;
    const int32_t oldCapacityStride = capacityStride_;

    dib_ = bitmap;
    bits_ = bitmap->bits();
    capacityWidth_ = newWidth;
    capacityHeight_ = newHeight;
    capacityStride_ = newWidth * 4;
    if (oldBits != nullptr) {
        for (int32_t y = 0; y < oldHeight; ++y) {
            std::memcpy(rowAt(y), oldBits + static_cast<ptrdiff_t>(oldCapacityHeight - y - 1) * oldCapacityStride,
                        static_cast<size_t>(oldStride));
        }
    }
    if (old != nullptr) {
        old->release();
    }
    setSize(oldWidth, oldHeight);
    return true;
}

bool BufferedImage::reserve(int32_t width, int32_t height) {
    if (capacityWidth_ >= width && capacityHeight_ >= height) {
        return true;
    }
    if (ensureCapacity(grownDimension(capacityWidth_, width), grownDimension(capacityHeight_, height))) {
        return true;
    }
    // The headroom may be what does not fit.
    return ensureCapacity(width, height);
}

BufferedImage* BufferedImage::createImage(int32_t width, int32_t height) const {
    return create(width, height);
}

void BufferedImage::setScaledCache(BufferedImage* image) {
    if (scaledCache_ != nullptr && scaledCache_ != image) {
        scaledCache_->release();
    }
    scaledCache_ = image;
    scaledStale_ = false;
}

bool BufferedImage::blit(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, bool scale) {
    const BufferedImage* picture = this;
    if (scale) {
        picture = scaledCopy(width, height, false);
    }
    if (dc == nullptr || picture == nullptr || picture->nativeHandle() == nullptr) {
        return false;
    }
    MemoryDc memory(picture->nativeHandle());
    if (!memory.ok()) {
        return false;
    }
    width = std::min(width, picture->width());
    height = std::min(height, picture->height());
    return BitBlt(dc, x, y, width, height, memory.dc(), 0, 0, SRCCOPY) != FALSE;
}

BufferedImage* BufferedImage::scaledCopy(int32_t width, int32_t height, bool keepAspect) {
    if (keepAspect && width_ > 0 && height_ > 0) {
        const double rx = static_cast<double>(width) / width_;
        const double ry = static_cast<double>(height) / height_;
        if (rx < ry) {
            height = static_cast<int32_t>(height_ * rx);
        } else if (ry < rx) {
            width = static_cast<int32_t>(width_ * ry);
        }
    }
    if (width == width_ && height == height_) {
        return this;
    }
    if (width <= 0 || height <= 0 || bits_ == nullptr) {
        return nullptr;
    }
    if (scaledCache_ != nullptr && !scaledStale_ && scaledCache_->width() == width &&
        scaledCache_->height() == height) {
        return scaledCache_;
    }
    BufferedImage* target = scaledCache_ != nullptr ? scaledCache_ : pool();
    if (target == nullptr) {
        return nullptr;
    }
    GdiFlush();
    if (filters::scale::BilinearFilter::instance().scaledCopy(this, width, height, target) == nullptr) {
        if (target != scaledCache_) {
            target->release();
        }
        return nullptr;
    }
    scaledCache_ = target;
    scaledStale_ = false;
    return target;
}

void BufferedImage::drawImage(int32_t x, int32_t y, int32_t width, int32_t height, BufferedImage* source,
                              int32_t sourceX, int32_t sourceY, bool scale) {
    if (source == nullptr || bits_ == nullptr) {
        return;
    }
    const BufferedImage* from = source;
    if (scale) {
        from = source->scaledCopy(width, height, false);
        if (from == nullptr) {
            return;
        }
    }
    if (from->bits_ == nullptr) {
        return;
    }
    // Clip on both sides: a negative target or source offset moves the other one on.
    int64_t tx = x, ty = y, sx = sourceX, sy = sourceY;
    if (tx < 0) {
        sx -= tx;
        tx = 0;
    }
    if (ty < 0) {
        sy -= ty;
        ty = 0;
    }
    if (sx < 0) {
        tx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        ty -= sy;
        sy = 0;
    }
    const int64_t w = std::min<int64_t>(from->width_ - sx, width_ - tx);
    const int64_t h = std::min<int64_t>(from->height_ - sy, height_ - ty);
    if (w <= 0 || h <= 0) {
        return;
    }
    GdiFlush();
    pixelsChanged();
    if (!from->hasAlpha()) {
        for (int64_t i = 0; i < h; ++i) {
            std::memmove(rowAt(static_cast<int32_t>(ty + i)) + tx * 4,
                         from->rowAt(static_cast<int32_t>(sy + i)) + sx * 4, static_cast<size_t>(w * 4));
        }
        return;
    }
    const bool opaqueTarget = hasAlpha_ == 0;
    for (int64_t i = 0; i < h; ++i) {
        uint8_t* d = rowAt(static_cast<int32_t>(ty + i)) + tx * 4;
        const uint8_t* s = from->rowAt(static_cast<int32_t>(sy + i)) + sx * 4;
        for (int64_t j = 0; j < w; ++j, d += 4, s += 4) {
            if (opaqueTarget) {
                d[3] = 255;
            }
            const int32_t t = s[3];
            const int32_t u = d[3];
            if (t == 0) {
                continue;
            }
            if (t == 255 || u == 0) {
                std::memcpy(d, s, 4);
                continue;
            }
            const int32_t a = t + u - ((u * (t + 1)) >> 8);
            const int32_t weight = (t * 256) / a;
            for (int c = 0; c < 3; ++c) {
                d[c] = static_cast<uint8_t>(d[c] + (((s[c] - d[c]) * weight) >> 8));
            }
            d[3] = static_cast<uint8_t>(a);
        }
    }
}

bool BufferedImage::saveBmp(io::IOutputStream* stream, int32_t bitCount, bool keepTransparency, uint8_t red,
                            uint8_t green, uint8_t blue) {
    return stream != nullptr &&
           encodeOnce(Bitmap::createFromImage(this, bitCount, keepTransparency, red, green, blue), stream);
}

bool BufferedImage::saveBmp(const wchar_t* path, int32_t bitCount, bool keepTransparency, uint8_t red,
                            uint8_t green, uint8_t blue) {
    return saveToFile(path, [&](io::IOutputStream* stream) {
        return saveBmp(stream, bitCount, keepTransparency, red, green, blue);
    });
}

bool BufferedImage::saveGif(io::IOutputStream* stream, int32_t bitDepth, bool keepTransparency, uint8_t red,
                            uint8_t green, uint8_t blue) {
    return stream != nullptr &&
           encodeOnce(gif::win::Gif::createFromImage(this, bitDepth, keepTransparency, red, green, blue), stream);
}

bool BufferedImage::saveGif(const wchar_t* path, int32_t bitDepth, bool keepTransparency, uint8_t red,
                            uint8_t green, uint8_t blue) {
    return saveToFile(path, [&](io::IOutputStream* stream) {
        return saveGif(stream, bitDepth, keepTransparency, red, green, blue);
    });
}

bool BufferedImage::saveJpeg(io::IOutputStream* stream, int32_t quality, uint8_t red, uint8_t green, uint8_t blue) {
    return stream != nullptr && encodeOnce(Jpeg::createFromImage(this, quality, red, green, blue), stream);
}

bool BufferedImage::saveJpeg(const wchar_t* path, int32_t quality, uint8_t red, uint8_t green, uint8_t blue) {
    return saveToFile(path, [&](io::IOutputStream* stream) { return saveJpeg(stream, quality, red, green, blue); });
}

bool BufferedImage::savePng(io::IOutputStream* stream, bool interlace, bool keepTransparency, uint8_t red,
                            uint8_t green, uint8_t blue) {
    return stream != nullptr &&
           encodeOnce(Png::createFromImage(this, interlace, keepTransparency, red, green, blue), stream);
}

bool BufferedImage::savePng(const wchar_t* path, bool interlace, bool keepTransparency, uint8_t red, uint8_t green,
                            uint8_t blue) {
    return saveToFile(path, [&](io::IOutputStream* stream) {
        return savePng(stream, interlace, keepTransparency, red, green, blue);
    });
}

BufferedImage* BufferedImage::copy(BufferedImage* destination) const {
    if (destination == this) {
        return nullptr;
    }
    BufferedImage* target = destination != nullptr ? destination : pool();
    if (target == nullptr) {
        return nullptr;
    }
    if (!target->allocate(width_, height_)) {
        if (destination == nullptr) {
            target->release();
        }
        return nullptr;
    }
    GdiFlush();
    for (int32_t y = 0; y < height_; ++y) {
        std::memcpy(target->rowAt(y), rowAt(y), static_cast<size_t>(stride_));
    }
    target->hasAlpha_ = hasAlpha_;
    return target;
}

BufferedImage* BufferedImage::prepareTurned(BufferedImage* destination, int32_t width, int32_t height) const {
    if (destination == this) {
        return nullptr;
    }
    BufferedImage* target = destination != nullptr ? destination : pool();
    if (target == nullptr) {
        return nullptr;
    }
    target->setSize(0, 0);
    if (!target->ensureCapacity(width, height)) {
        if (destination == nullptr) {
            target->release();
        }
        return nullptr;
    }
    target->setSize(width, height);
    target->hasAlpha_ = hasAlpha_;
    GdiFlush();
    return target;
}

template <class Source>
BufferedImage* BufferedImage::turned(BufferedImage* destination, int32_t width, int32_t height,
                                     Source source) const {
    BufferedImage* target = prepareTurned(destination, width, height);
    if (target == nullptr) {
        return nullptr;
    }
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* to = reinterpret_cast<uint32_t*>(target->rowAt(y));
        for (int32_t x = 0; x < width; ++x) {
            to[x] = source(x, y);
        }
    }
    return target;
}

BufferedImage* BufferedImage::rotateRight(BufferedImage* destination) const {
    return turned(destination, height_, width_, [this](int32_t x, int32_t y) { return pixel(y, height_ - 1 - x); });
}

BufferedImage* BufferedImage::rotate180(BufferedImage* destination) const {
    return turned(destination, width_, height_,
                  [this](int32_t x, int32_t y) { return pixel(width_ - 1 - x, height_ - 1 - y); });
}

BufferedImage* BufferedImage::rotateLeft(BufferedImage* destination) const {
    return turned(destination, height_, width_, [this](int32_t x, int32_t y) { return pixel(width_ - 1 - y, x); });
}

BufferedImage* BufferedImage::mirror(BufferedImage* destination) const {
    return turned(destination, width_, height_, [this](int32_t x, int32_t y) { return pixel(width_ - 1 - x, y); });
}

BufferedImage* BufferedImage::flip(BufferedImage* destination) const {
    BufferedImage* target = prepareTurned(destination, width_, height_);
    if (target == nullptr) {
        return nullptr;
    }
    for (int32_t y = 0; y < height_; ++y) {
        std::memcpy(target->rowAt(y), rowAt(height_ - 1 - y), static_cast<size_t>(stride_));
    }
    return target;
}

bool BufferedImage::hasFilters() const {
    return filters_ != nullptr && filters_->count() != 0;
}

bool BufferedImage::findFilter(const wchar_t* kindName, int32_t* index) const {
    const uint32_t n = filters_ != nullptr ? filters_->count() : 0;
    for (uint32_t i = 0; i < n; ++i) {
        if (static_cast<filters::IFilter*>(filters_->get(i))->kindName() == kindName) {
            if (index != nullptr) {
                *index = static_cast<int32_t>(i);
            }
            return true;
        }
    }
    return false;
}

filters::IFilter* BufferedImage::filterAt(int32_t index) const {
    if (filters_ == nullptr || index < 0 || static_cast<uint32_t>(index) >= filters_->count()) {
        return nullptr;
    }
    return static_cast<filters::IFilter*>(filters_->get(static_cast<uint32_t>(index)));
}

void BufferedImage::releaseFilter(filters::IFilter* filter) {
    if (filter != nullptr && filter->releaseWithImage()) {
        filter->release();
    }
}

void BufferedImage::addFilter(filters::IFilter* filter) {
    if (filters_ != nullptr && filter != nullptr) {
        filters_->add(filter);
    }
    releaseFilteredCache();
}

void BufferedImage::setFilterAt(int32_t index, filters::IFilter* filter) {
    if (filters_ == nullptr || filter == nullptr || index < 0) {
        return;
    }
    const uint32_t i = static_cast<uint32_t>(index);
    if (i == filters_->count()) {
        filters_->add(filter);
    } else if (i < filters_->count()) {
        filters::IFilter* old = static_cast<filters::IFilter*>(filters_->get(i));
        filters_->set(i, filter);
        if (old != filter) {
            releaseFilter(old);
        }
    }
    releaseFilteredCache();
}

void BufferedImage::removeFilterAt(int32_t index) {
    if (filterAt(index) != nullptr) {
        releaseFilter(static_cast<filters::IFilter*>(filters_->removeAt(static_cast<uint32_t>(index))));
    }
    releaseFilteredCache();
}

void BufferedImage::removeAllFilters() {
    while (filters_ != nullptr && filters_->count() != 0) {
        releaseFilter(static_cast<filters::IFilter*>(filters_->removeLast()));
    }
    releaseFilteredCache();
}

void BufferedImage::clearFilters() {
    if (filters_ != nullptr) {
        filters_->setCount(0);
    }
    releaseFilteredCache();
}

BufferedImage* BufferedImage::buildFiltered() {
    releaseFilteredCache();
    if (!hasFilters()) {
        return this;
    }
    const BufferedImage* previous = this;
    BufferedImage* result = nullptr;
    for (uint32_t i = 0; i < filters_->count(); ++i) {
        BufferedImage* target = pool();
        BufferedImage* next = target != nullptr
                                  ? static_cast<filters::IFilter*>(filters_->get(i))->apply(previous, target)
                                  : nullptr;
        if (next != target && target != nullptr) {
            target->release();
        }
        if (result != nullptr) {
            result->release();
        }
        if (next != target || next == nullptr) {
            return nullptr;  // a filter that fails ends the chain with no picture
        }
        result = next;
        previous = next;
    }
    result->detectAlpha();
    filteredCache_ = result;
    return result;
}

BufferedImage* BufferedImage::filtered() {
    if (filteredCache_ != nullptr && !filteredStale_) {
        return filteredCache_;
    }
    return buildFiltered();
}

bool BufferedImage::detectAlpha() {
    GdiFlush();
    bool found = false;
    for (int32_t y = 0; y < height_ && !found; ++y) {
        const uint8_t* p = rowAt(y);
        for (int32_t x = 0; x < width_; ++x) {
            if (p[x * 4 + 3] != 255) {
                found = true;
                break;
            }
        }
    }
    hasAlpha_ = found ? 1 : 0;
    return found;
}

void BufferedImage::makeOpaque() {
    GdiFlush();
    pixelsChanged();
    for (int32_t y = 0; y < height_; ++y) {
        uint8_t* p = rowAt(y);
        for (int32_t x = 0; x < width_; ++x) {
            p[x * 4 + 3] = 255;
        }
    }
    hasAlpha_ = 0;
}

void BufferedImage::fill(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue) {
    GdiFlush();
    pixelsChanged();
    const uint32_t value = (static_cast<uint32_t>(alpha) << 24) | (static_cast<uint32_t>(red) << 16) |
                           (static_cast<uint32_t>(green) << 8) | blue;
    for (int32_t y = 0; y < height_; ++y) {
        uint32_t* p = reinterpret_cast<uint32_t*>(rowAt(y));
        std::fill(p, p + width_, value);
    }
    hasAlpha_ = alpha != 255 ? 1 : 0;
}

void BufferedImage::colourKey(uint8_t red, uint8_t green, uint8_t blue) {
    GdiFlush();
    pixelsChanged();
    const uint32_t key = (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) | blue;
    bool matched = false;
    for (int32_t y = 0; y < height_; ++y) {
        uint32_t* p = reinterpret_cast<uint32_t*>(rowAt(y));
        for (int32_t x = 0; x < width_; ++x) {
            if ((p[x] & 0x00FFFFFF) == key) {
                p[x] = key;
                matched = true;
            } else {
                p[x] |= 0xFF000000;
            }
        }
    }
    if (matched) {
        hasAlpha_ = 1;
    }
}

void BufferedImage::setTransparentColour(uint8_t red, uint8_t green, uint8_t blue) {
    if (hasAlpha_ == 0) {
        return;
    }
    GdiFlush();
    pixelsChanged();
    const uint32_t colour = (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) | blue;
    for (int32_t y = 0; y < height_; ++y) {
        uint32_t* p = reinterpret_cast<uint32_t*>(rowAt(y));
        for (int32_t x = 0; x < width_; ++x) {
            if ((p[x] >> 24) == 0) {
                p[x] = colour;
            }
        }
    }
}

void BufferedImage::maskEqual(const BufferedImage* other) {
    if (other == nullptr || other->bits_ == nullptr) {
        return;
    }
    GdiFlush();
    pixelsChanged();
    const int32_t w = std::min(width_, other->width_);
    const int32_t h = std::min(height_, other->height_);
    for (int32_t y = 0; y < h; ++y) {
        uint32_t* p = reinterpret_cast<uint32_t*>(rowAt(y));
        const uint32_t* o = reinterpret_cast<const uint32_t*>(other->rowAt(y));
        for (int32_t x = 0; x < w; ++x) {
            if (((p[x] ^ o[x]) & 0x00FFFFFF) == 0) {
                p[x] &= 0x00FFFFFF;
                hasAlpha_ = 1;
            }
        }
    }
}

void BufferedImage::alphaThreshold(uint8_t limit) {
    GdiFlush();
    pixelsChanged();
    bool cleared = false;
    for (int32_t y = 0; y < height_; ++y) {
        uint8_t* p = rowAt(y);
        for (int32_t x = 0; x < width_; ++x) {
            if (p[x * 4 + 3] < limit) {
                p[x * 4 + 3] = 0;
                cleared = true;
            } else {
                p[x * 4 + 3] = 255;
            }
        }
    }
    hasAlpha_ = cleared ? 1 : 0;
}

void BufferedImage::flattenOnWhite() {
    if (hasAlpha_ == 0) {
        return;
    }
    GdiFlush();
    pixelsChanged();
    for (int32_t y = 0; y < height_; ++y) {
        uint8_t* p = rowAt(y);
        for (int32_t x = 0; x < width_; ++x, p += 4) {
            const int32_t b = p[3];
            if (b == 0) {
                p[0] = p[1] = p[2] = p[3] = 255;
            } else if (b != 255) {
                for (int c = 0; c < 3; ++c) {
                    p[c] = static_cast<uint8_t>((p[c] * (b + 1) + 255 * (256 - b)) >> 8);
                }
                p[3] = 255;
            }
        }
    }
    hasAlpha_ = 0;
}

BufferedImage* BufferedImage::overBackground(uint8_t red, uint8_t green, uint8_t blue) {
    BufferedImage* composite = create(width_, height_);
    if (composite != nullptr) {
        composite->fill(255, red, green, blue);
        composite->drawImage(0, 0, width_, height_, this, 0, 0, false);
    }
    return composite;
}

bool BufferedImage::print(bool rotateToFit, bool sharpen, bool fitToPage) {
    if (hasFilters()) {
        BufferedImage* picture = filtered();
        return picture != nullptr && picture != this && picture->print(rotateToFit, sharpen, fitToPage);
    }
    if (dib_ == nullptr || width_ <= 0 || height_ <= 0) {
        return false;
    }
    IPrintTarget* target = PrintTarget::current();
    if (!target->hasDefaultPrinter()) {
        return false;
    }
    HDC printer = nullptr;
    wchar_t port[MAX_PATH];
    if (!target->choosePrinter(&printer, port, MAX_PATH)) {
        return false;
    }
    if (printer == nullptr) {
        target->showInformation(L"Unable to find a printer. Please check installed/default printers.");
        return false;
    }
    const bool sent = printOn(target, printer, port, rotateToFit, sharpen, fitToPage);
    target->deleteDc(printer);
    return sent;
}

bool BufferedImage::printOn(IPrintTarget* target, HDC printer, const wchar_t* port, bool rotateToFit, bool sharpen,
                            bool fitToPage) {
    // The page is measured on the printer the user chose.
    const int32_t paperWidth = target->deviceCaps(printer, HORZSIZE);
    const int32_t paperHeight = target->deviceCaps(printer, VERTSIZE);
    const int32_t dpiX = target->deviceCaps(printer, LOGPIXELSX);
    const int32_t dpiY = target->deviceCaps(printer, LOGPIXELSY);
    int32_t screenX = 0;
    int32_t screenY = 0;
    {
        MemoryDc screen(static_cast<const BufferedImage*>(this)->nativeHandle());
        if (screen.dc() != nullptr) {
            screenX = GetDeviceCaps(screen.dc(), LOGPIXELSX);
            screenY = GetDeviceCaps(screen.dc(), LOGPIXELSY);
        }
    }
    if (dpiX <= 0 || dpiY <= 0 || screenX <= 0 || screenY <= 0) {
        return false;
    }
    // 7 mm of the width are kept free.
    const int32_t pageWidth =
        static_cast<int32_t>(paperWidth * dpiX / 25.4) - static_cast<int32_t>(7 * dpiX / 25.4);
    const int32_t pageHeight = static_cast<int32_t>(paperHeight * dpiY / 25.4);
    const double scaleX = static_cast<double>(dpiX) / screenX;
    const double scaleY = static_cast<double>(dpiY) / screenY;
    const int32_t maxWidth = static_cast<int32_t>(pageWidth / scaleX);
    const int32_t maxHeight = static_cast<int32_t>(pageHeight / scaleY);
    if (pageWidth <= 0 || pageHeight <= 0 || maxWidth <= 0 || maxHeight <= 0) {
        return false;
    }

    wchar_t title[256];
    PrintTarget::applicationTitle(title, 256);
    DOCINFOW document;
    std::memset(&document, 0, sizeof(document));
    document.cbSize = sizeof(document);
    document.lpszDocName = title;
    document.lpszOutput = port[0] != L'\0' ? port : nullptr;
    if (target->startDoc(printer, &document) <= 0) {
        target->showInformation(L"Printing error occured. Unable to find printer.");
        return false;
    }
    SetMapMode(printer, MM_TEXT);
    if (!target->startPage(printer)) {
        target->endDoc(printer);
        return false;
    }
    RECT page = {0, 0, pageWidth, pageHeight};
    FillRect(printer, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    // The copy to print: scaled to the page when asked or when it does not fit.
    BufferedImage* turned = nullptr;
    BufferedImage* copied = nullptr;
    if (fitToPage || width_ > maxWidth || height_ > maxHeight) {
        BufferedImage* base = this;
        if (rotateToFit && width_ > height_) {
            turned = rotateRight();
            base = turned;
        }
        BufferedImage* scaled = base != nullptr ? base->scaledCopy(maxWidth, maxHeight, true) : nullptr;
        copied = scaled != nullptr ? scaled->copy() : nullptr;
    } else {
        copied = copy();
    }
    BufferedImage* printed = copied;
    if (copied != nullptr && sharpen) {
        filters::sharpness::Sharpness* filter = filters::sharpness::Sharpness::create(80);
        if (filter != nullptr) {
            filter->setReleaseWithImage(true);
            copied->addFilter(filter);
            printed = copied->filtered();
        }
    }
    bool sent = printed != nullptr;
    if (sent) {
        printed->flattenOnWhite();
        MemoryDc source(printed->nativeHandle());
        sent = source.ok() &&
               StretchBlt(printer, 0, 0, static_cast<int32_t>(printed->width() * scaleX),
                          static_cast<int32_t>(printed->height() * scaleY), source.dc(), 0, 0, printed->width(),
                          printed->height(), SRCCOPY) != FALSE;
        GdiFlush();
    }
    if (copied != nullptr) {
        copied->release();
    }
    if (turned != nullptr) {
        turned->release();
    }
    sent = target->endPage(printer) && sent;
    return target->endDoc(printer) && sent;
}

} // namespace s::image::win
