#include "images/image/gif/win/Gif.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayS32.h"
#include "core/col/_array/ArrayU08.h"
#include "core/io/IInputStream.h"
#include "core/io/IOutputStream.h"
#include "core/io/StreamCopy.h"
#include "core/thread/Held.h"
#include "images/image/FrameSearch.h"
#include "images/image/bmp/win/Bitmap.h"
#include "images/image/filters/reduction/Quantizer.h"
#include "images/image/gif/EncodeSetting.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"

namespace s::image::gif::win {

using bmp::win::Bitmap;
using col::_array::ArrayP;
using col::_array::ArrayS32;
using col::_array::ArrayU08;
using filters::reduction::Quantizer;
using image::win::BufferedImage;
using image::win::BufferedImageSet;

namespace {

constexpr uint8_t EXTENSION = 0x21;
constexpr uint8_t IMAGE = 0x2C;
constexpr uint8_t TRAILER = 0x3B;
constexpr uint8_t CONTROL_LABEL = 0xF9;
constexpr uint8_t APPLICATION_LABEL = 0xFF;
constexpr char LOOP_IDENTIFIER[11] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};

bool readByte(io::IInputStream* stream, uint8_t& byte) {
    return io::transferAll(stream, &byte, 1);
}

// Skips data sub-blocks, the first of size first, up to the empty one; false when the
// data ends first.
bool skipSubBlocks(io::IInputStream* stream, uint8_t first) {
    for (uint8_t size = first; size != 0;) {
        if (!io::skipAll(stream, size) || !readByte(stream, size)) {
            return false;
        }
    }
    return true;
}

bool put(io::IOutputStream* stream, const void* bytes, uint32_t length) {
    return io::transferAll(stream, bytes, length);
}

bool putByte(io::IOutputStream* stream, uint8_t byte) {
    return io::transferAll(stream, &byte, 1);
}

} // namespace

Gif::Gif()
    : data_(new (std::nothrow) ArrayU08()), indices_(new (std::nothrow) ArrayU08()), bitDepth_(0),
      interlaced_(false), frames_(new (std::nothrow) ArrayP()), transparent_(new (std::nothrow) ArrayS32()),
      delays_(new (std::nothrow) ArrayS32()), disposals_(new (std::nothrow) ArrayS32()),
      lefts_(new (std::nothrow) ArrayS32()), tops_(new (std::nothrow) ArrayS32()), loopCount_(0) {
    if (frames_ != nullptr) {
        frames_->setCleaner(&Bitmap::pooler());
    }
    reset();
}

Gif::~Gif() {
    delete frames_;  // its cleaner gives the frame bitmaps back
    for (ArrayS32* list : {transparent_, delays_, disposals_, lefts_, tops_}) {
        delete list;
    }
    delete data_;
    delete indices_;
}

void Gif::reset() {
    lzw_.reset();
    std::memset(&header_, 0, sizeof(header_));
    std::memset(&globalTable_, 0, sizeof(globalTable_));
    std::memset(&frameTable_, 0, sizeof(frameTable_));
    std::memset(&control_, 0, sizeof(control_));
    std::memset(&application_, 0, sizeof(application_));
    std::memset(&descriptor_, 0, sizeof(descriptor_));
    for (ArrayU08* buffer : {data_, indices_}) {
        if (buffer != nullptr) {
            buffer->freeStorage();
        }
    }
    bitDepth_ = 0;
    interlaced_ = false;
    loopCount_ = 0;
    releaseFrames();
}

void Gif::releaseFrames() {
    // The screen is the frames' own.
    header_.screenWidth = 0;
    header_.screenHeight = 0;
    if (frames_ != nullptr) {
        frames_->clear();
    }
    for (ArrayS32* list : {transparent_, delays_, disposals_, lefts_, tops_}) {
        if (list != nullptr) {
            list->clear();
        }
    }
}

bool Gif::appendFrame(Bitmap* bitmap, int32_t transparent, int32_t delay, int32_t disposal, int32_t left,
                      int32_t top) {
    ArrayS32* lists[] = {transparent_, delays_, disposals_, lefts_, tops_};
    const int32_t values[] = {transparent, delay, disposal, left, top};
    bool done = frames_ != nullptr && frames_->add(bitmap);
    for (int32_t i = 0; i < 5; ++i) {
        done = done && lists[i] != nullptr && lists[i]->add(values[i]);
    }
    if (!done) {
        // Back to the frames before, in step.
        const uint32_t n = static_cast<uint32_t>(frameCount());
        if (frames_ != nullptr && frames_->count() > 0 && frames_->get(frames_->count() - 1) == bitmap) {
            frames_->removeLast();
        }
        for (ArrayS32* list : lists) {
            if (list != nullptr && list->count() > n) {
                list->setCount(n);
            }
        }
        bitmap->release();
    }
    return done;
}

int32_t Gif::frameCount() const {
    return frames_ != nullptr && transparent_ != nullptr && tops_ != nullptr
               ? static_cast<int32_t>(std::min(frames_->count(), tops_->count()))
               : 0;
}

Bitmap* Gif::frame(int32_t index) const {
    return index >= 0 && index < frameCount() ? static_cast<Bitmap*>(frames_->get(static_cast<uint32_t>(index)))
                                              : nullptr;
}

int32_t Gif::number(const ArrayS32* list, int32_t index, int32_t outside) const {
    return index >= 0 && index < frameCount() ? list->get(static_cast<uint32_t>(index)) : outside;
}

int32_t Gif::transparentIndex(int32_t frame) const { return number(transparent_, frame, -1); }
int32_t Gif::delay(int32_t frame) const { return number(delays_, frame, 0); }
int32_t Gif::disposal(int32_t frame) const { return number(disposals_, frame, 0); }
int32_t Gif::left(int32_t frame) const { return number(lefts_, frame, 0); }
int32_t Gif::top(int32_t frame) const { return number(tops_, frame, 0); }

int32_t Gif::width() const {
    const Bitmap* first = frame(0);
    return first != nullptr ? first->width() : 0;
}

int32_t Gif::height() const {
    const Bitmap* first = frame(0);
    return first != nullptr ? first->height() : 0;
}

int32_t Gif::bitCount() const {
    const Bitmap* first = frame(0);
    return first != nullptr ? first->bitCount() : 0;
}

int32_t Gif::stride() const {
    const Bitmap* first = frame(0);
    return first != nullptr ? first->stride() : 0;
}

bool Gif::copyTo(HBITMAP target) const {
    const Bitmap* first = frame(0);
    return first != nullptr && first->copyTo(target);
}

bool Gif::hasTransparency() const {
    for (int32_t i = 0; i < frameCount(); ++i) {
        if (transparentIndex(i) != -1) {
            return true;
        }
    }
    return false;
}

HBITMAP Gif::create(int32_t width, int32_t height, int32_t bitCount) {
    releaseFrames();
    Bitmap* bitmap = Bitmap::pool();
    if (bitmap == nullptr) {
        return nullptr;
    }
    HBITMAP handle = bitmap->create(width, height, bitCount);
    if (handle == nullptr) {
        bitmap->release();
        return nullptr;
    }
    return appendFrame(bitmap, -1, 0, 0, 0, 0) ? handle : nullptr;
}

bool Gif::fromBitmapHandle(HBITMAP handle) {
    if (frameCount() == 1) {
        return frame(0)->fromBitmapHandle(handle);
    }
    releaseFrames();
    Bitmap* bitmap = Bitmap::pool();
    if (bitmap == nullptr) {
        return false;
    }
    if (!bitmap->fromBitmapHandle(handle)) {
        bitmap->release();
        return false;
    }
    return appendFrame(bitmap, -1, 0, 0, 0, 0);
}

void Gif::canvasSize(int32_t& width, int32_t& height) const {
    width = header_.screenWidth;
    height = header_.screenHeight;
    for (int32_t i = 0; i < frameCount(); ++i) {
        width = std::max(width, left(i) + frame(i)->width());
        height = std::max(height, top(i) + frame(i)->height());
    }
}

int64_t Gif::frameBytes() const {
    int64_t bytes = 0;
    for (int32_t i = 0; i < frameCount(); ++i) {
        bytes += static_cast<int64_t>(frame(i)->stride()) * frame(i)->height();
    }
    return bytes;
}

BufferedImage* Gif::toBufferedImage(BufferedImage* target, int32_t frameIndex) {
    const Bitmap* bitmap = frame(frameIndex);
    if (bitmap == nullptr) {
        return nullptr;
    }
    const int32_t w = bitmap->width();
    const int32_t h = bitmap->height();
    BufferedImage* image = BufferedImage::sizedOrNew(target, w, h);
    if (image == nullptr) {
        return nullptr;
    }
    const RGBQUAD* table = bitmap->colourTable();
    const int32_t entries = bitmap->colourTableEntries();
    const int32_t transparent = transparentIndex(frameIndex);
    const int32_t depth = bitmap->bitCount();
    bool anyTransparent = false;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* from = bitmap->row(y);
        uint32_t* to = reinterpret_cast<uint32_t*>(image->row(y));
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t index = Bitmap::indexAt(from, x, depth);
            const RGBQUAD c = index < entries ? table[index] : RGBQUAD{0, 0, 0, 0};
            const uint32_t colour = (static_cast<uint32_t>(c.rgbRed) << 16) | (c.rgbGreen << 8) | c.rgbBlue;
            if (index == transparent) {
                to[x] = colour;
                anyTransparent = true;
            } else {
                to[x] = 0xFF000000u | colour;
            }
        }
    }
    image->setHasAlpha(anyTransparent);
    return image;
}

BufferedImageSet* Gif::toImageSet() {
    BufferedImageSet* set = BufferedImageSet::pool();
    if (set == nullptr) {
        return nullptr;
    }
    const int32_t n = frameCount();
    int32_t cw = 0;
    int32_t ch = 0;
    canvasSize(cw, ch);
    for (int32_t i = 0; i < n; ++i) {
        BufferedImage* image = toBufferedImage(nullptr, i);
        int32_t x = left(i);
        int32_t y = top(i);
        // A still picture is its whole screen; frames of an animation keep their place,
        // each as large as the decoder allocated it.
        if (n == 1 && image != nullptr && (x != 0 || y != 0 || image->width() != cw || image->height() != ch) &&
            isDecodableSize(cw, ch)) {
            BufferedImage* canvas = BufferedImage::create(cw, ch);
            if (canvas != nullptr) {
                canvas->fill(0, 255, 255, 255);
                canvas->drawImage(x, y, image->width(), image->height(), image, 0, 0, false);
                canvas->detectAlpha();
            }
            image->release();
            image = canvas;
            x = 0;
            y = 0;
        }
        if (image == nullptr || !set->addAt(image, frame(i)->bitCount(), delay(i), disposal(i), x, y)) {
            if (image != nullptr) {
                image->release();
            }
            set->release();
            return nullptr;
        }
    }
    set->setScreen(cw, ch);
    set->setLoop(n > 1, loopCount_);
    set->setSourceBytes(frameBytes());
    return set;
}

bool Gif::readImage(io::IInputStream* stream, Budget& budget, bool& controlSeen) {
    if (!io::transferAll(stream, &descriptor_, sizeof(descriptor_))) {
        return false;
    }
    const int32_t w = descriptor_.width;
    const int32_t h = descriptor_.height;
    const int64_t pixels = static_cast<int64_t>(w) * h;
    ++budget.images;
    if ((pixels != 0 && !isDecodableSize(w, h)) || !isDecodableAnimation(budget.images, budget.pixels + pixels)) {
        budget.exceeded = true;
        return false;
    }
    if ((descriptor_.packed & 0x80) != 0) {
        frameTable_.entries = 2 << (descriptor_.packed & 7);
        frameTable_.bytes = frameTable_.entries * 3;
        if (!io::transferAll(stream, frameTable_.rgb, static_cast<uint32_t>(frameTable_.bytes))) {
            return false;
        }
        bitDepth_ = (descriptor_.packed & 7) + 1;
    } else {
        frameTable_ = globalTable_;
    }
    interlaced_ = (descriptor_.packed & 0x40) != 0;
    uint8_t codeSize = 0;
    if (!readByte(stream, codeSize) || codeSize < GifLzw::MIN_CODE_SIZE || codeSize > GifLzw::MAX_CODE_SIZE) {
        return false;
    }
    // Data past what any stream for these pixels can need is skipped, not kept.
    const int64_t dataLimit = pixels * 2 + 1024;
    data_->clear();
    bool ended = false;
    for (;;) {
        uint8_t size = 0;
        uint8_t block[255];
        if (!readByte(stream, size) || !io::transferAll(stream, block, size)) {
            ended = true;
            break;
        }
        if (size == 0) {
            break;
        }
        if (data_->count() + size <= dataLimit && !data_->append(block, size)) {
            return false;
        }
    }

    const int32_t transparent = controlSeen && (control_.packed & 1) != 0 ? control_.transparent : -1;
    const int32_t frameDisposal = controlSeen ? (control_.packed >> 2) & 7 : 0;
    const int32_t frameDelay = controlSeen ? control_.delay * 10 : 0;
    controlSeen = false;
    if (pixels == 0) {
        return !ended;  // nothing to show, nor a wider screen
    }
    // The frame at 8 bits (rows of whole words) and at 32, the buffers, and the one
    // whole screen the picture is shown on (a screen too large to show never is).
    const int64_t bytes = ((static_cast<int64_t>(w) + 3) & ~int64_t{3}) * h + pixels * 4;
    budget.screenWidth = std::max(budget.screenWidth, descriptor_.left + w);
    budget.screenHeight = std::max(budget.screenHeight, descriptor_.top + h);
    const int64_t screen = isDecodableSize(budget.screenWidth, budget.screenHeight)
                               ? static_cast<int64_t>(budget.screenWidth) * budget.screenHeight * 4
                               : 0;
    const int64_t held = budget.frameBytes + bytes + std::max(budget.largest, pixels) + data_->capacity() + screen;
    if (held > MAX_PICTURE_BYTES) {
        budget.exceeded = true;
        return false;
    }
    if (!indices_->setCount(static_cast<uint32_t>(pixels))) {
        return false;
    }
    std::memset(indices_->values(), 0, static_cast<size_t>(pixels));
    lzw_.decode(data_->values(), data_->count(), codeSize, indices_->values(), w, h, interlaced_);

    Bitmap* bitmap = Bitmap::pool();
    if (bitmap == nullptr) {
        return false;
    }
    if (bitmap->create(w, h, 8) == nullptr) {
        bitmap->release();
        return false;
    }
    RGBQUAD* table = bitmap->colourTable();
    for (int32_t i = 0; i < frameTable_.entries; ++i) {
        table[i] = RGBQUAD{frameTable_.rgb[i * 3 + 2], frameTable_.rgb[i * 3 + 1], frameTable_.rgb[i * 3], 0};
    }
    for (int32_t y = 0; y < h; ++y) {
        std::memcpy(bitmap->row(y), indices_->values() + static_cast<ptrdiff_t>(y) * w, static_cast<size_t>(w));
    }
    if (!appendFrame(bitmap, transparent, frameDelay, frameDisposal, descriptor_.left, descriptor_.top)) {
        return false;
    }
    budget.pixels += pixels;
    budget.frameBytes += bytes;
    budget.largest = std::max(budget.largest, pixels);
    return !ended;
}

bool Gif::decode(io::IInputStream* stream) {
    reset();
    if (stream == nullptr || data_ == nullptr || indices_ == nullptr ||
        !io::transferAll(stream, &header_, sizeof(header_)) ||
        (std::memcmp(header_.signature, "GIF87a", 6) != 0 && std::memcmp(header_.signature, "GIF89a", 6) != 0)) {
        reset();
        return false;
    }
    if ((header_.packed & 0x80) != 0) {
        globalTable_.entries = 2 << (header_.packed & 7);
        globalTable_.bytes = globalTable_.entries * 3;
        bitDepth_ = (header_.packed & 7) + 1;
        if (!io::transferAll(stream, globalTable_.rgb, static_cast<uint32_t>(globalTable_.bytes))) {
            reset();
            return false;
        }
    } else {
        globalTable_.entries = 256;
        globalTable_.bytes = 768;
        for (int32_t i = 0; i < 256; ++i) {
            std::memset(globalTable_.rgb + i * 3, i, 3);
        }
    }

    Budget budget;
    budget.screenWidth = header_.screenWidth;
    budget.screenHeight = header_.screenHeight;
    bool controlSeen = false;
    uint8_t introducer = 0;
    while (readByte(stream, introducer) && introducer != TRAILER) {
        if (introducer == IMAGE) {
            if (!readImage(stream, budget, controlSeen)) {
                break;
            }
            continue;
        }
        if (introducer != EXTENSION) {
            continue;  // stray bytes between blocks
        }
        uint8_t label = 0;
        if (!readByte(stream, label)) {
            break;
        }
        uint8_t size = 0;
        bool read = true;
        if (label == CONTROL_LABEL) {
            read = io::transferAll(stream, &control_, sizeof(control_)) &&
                   io::skipAll(stream, std::max(0, control_.blockSize - 4)) && readByte(stream, size);
            controlSeen = read;
        } else if (label == APPLICATION_LABEL) {
            read = io::transferAll(stream, &application_, sizeof(application_)) &&
                   io::skipAll(stream, std::max(0, application_.blockSize - 11)) && readByte(stream, size);
            if (read && size == 3 && std::memcmp(application_.identifier, LOOP_IDENTIFIER, 11) == 0) {
                uint8_t loop[3];
                read = io::transferAll(stream, loop, 3) && readByte(stream, size);
                loopCount_ = static_cast<uint16_t>(loop[1] | (loop[2] << 8));
            }
        } else {
            read = readByte(stream, size);
        }
        if (!read || !skipSubBlocks(stream, size)) {
            break;
        }
    }
    // Beyond the caps the whole file is refused, not cut short.
    if (frameCount() == 0 || budget.exceeded) {
        reset();
        return false;
    }
    // The buffers are not held while the picture is shown.
    data_->freeStorage();
    indices_->freeStorage();
    return true;
}

bool Gif::encode(io::IOutputStream* stream) {
    const int32_t n = frameCount();
    if (stream == nullptr || n == 0) {
        return false;
    }
    int32_t cw = 0;
    int32_t ch = 0;
    canvasSize(cw, ch);
    if (cw > 0xFFFF || ch > 0xFFFF) {
        return false;
    }
    const int32_t firstBits = std::min(bitCount(), 8);
    Header header;
    std::memcpy(header.signature, "GIF89a", 6);
    header.screenWidth = static_cast<uint16_t>(cw);
    header.screenHeight = static_cast<uint16_t>(ch);
    header.packed = static_cast<uint8_t>(((firstBits - 1) << 4) | (firstBits - 1));
    header.background = 0;
    header.aspect = 0;
    const uint8_t loop[] = {EXTENSION, APPLICATION_LABEL, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
                            3, 1, static_cast<uint8_t>(loopCount_), static_cast<uint8_t>(loopCount_ >> 8), 0};
    bool done = put(stream, &header, sizeof(header)) && put(stream, loop, sizeof(loop));
    for (int32_t i = 0; i < n && done; ++i) {
        const Bitmap* bitmap = frame(i);
        const int32_t bits = bitmap->bitCount();
        if (bits > 8 || left(i) > 0xFFFF || top(i) > 0xFFFF) {
            return false;
        }
        const int32_t transparent = transparentIndex(i);
        const uint32_t hundredths = static_cast<uint32_t>(std::max(0, delay(i))) / 10;
        const uint8_t control[] = {EXTENSION,
                                   CONTROL_LABEL,
                                   4,
                                   static_cast<uint8_t>((transparent != -1 ? 1 : 0) | ((disposal(i) & 7) << 2)),
                                   static_cast<uint8_t>(std::min<uint32_t>(hundredths, 0xFFFF)),
                                   static_cast<uint8_t>(std::min<uint32_t>(hundredths, 0xFFFF) >> 8),
                                   static_cast<uint8_t>(transparent),
                                   0};
        Descriptor descriptor;
        descriptor.left = static_cast<uint16_t>(left(i));
        descriptor.top = static_cast<uint16_t>(top(i));
        descriptor.width = static_cast<uint16_t>(bitmap->width());
        descriptor.height = static_cast<uint16_t>(bitmap->height());
        descriptor.packed = static_cast<uint8_t>(0x80 | (bits - 1));
        uint8_t table[256 * 3];
        const int32_t entries = 1 << bits;
        for (int32_t k = 0; k < entries; ++k) {
            const RGBQUAD c = bitmap->colourTable()[k];
            table[k * 3] = c.rgbRed;
            table[k * 3 + 1] = c.rgbGreen;
            table[k * 3 + 2] = c.rgbBlue;
        }
        const uint8_t codeSize = static_cast<uint8_t>(std::max(2, bits));
        done = put(stream, control, sizeof(control)) && putByte(stream, IMAGE) &&
               put(stream, &descriptor, sizeof(descriptor)) &&
               put(stream, table, static_cast<uint32_t>(entries * 3)) && putByte(stream, codeSize);
        const int32_t w = bitmap->width();
        const int32_t h = bitmap->height();
        if (done && bits == 8) {
            done = lzw_.compress(bitmap->row(0), w, h, -static_cast<ptrdiff_t>(bitmap->stride()), codeSize, stream);
        } else if (done) {
            // Packed rows go out one index a byte.
            const int64_t pixels = static_cast<int64_t>(w) * h;
            done = indices_ != nullptr && isDecodableSize(w, h) &&
                   indices_->setCount(static_cast<uint32_t>(pixels));
            for (int32_t y = 0; y < h && done; ++y) {
                uint8_t* to = indices_->values() + static_cast<ptrdiff_t>(y) * w;
                for (int32_t x = 0; x < w; ++x) {
                    to[x] = Bitmap::indexAt(bitmap->row(y), x, bits);
                }
            }
            done = done && lzw_.compress(indices_->values(), w, h, w, codeSize, stream);
        }
        done = done && putByte(stream, 0);
    }
    return done && putByte(stream, TRAILER);
}

bool Gif::addFrame(BufferedImage* image, int32_t bitDepth, bool keepTransparency, uint8_t red, uint8_t green,
                   uint8_t blue, uint8_t alphaLimit) {
    // A fresh Gif has depth 0 until something is read or written.
    const int32_t depth = bitDepth == 0 ? DEFAULT_DEPTH : bitDepth;
    if (image == nullptr || image->width() <= 0 || image->height() <= 0 || depth < 1 || depth > 8) {
        return false;
    }
    const int32_t w = image->width();
    const int32_t h = image->height();
    const int32_t colours = (1 << depth) - 1;
    int32_t transparent = -1;
    // Translucent pixels become the transparent index, or are blended over the colour.
    BufferedImage* prepared = nullptr;
    if (image->hasAlpha() && keepTransparency) {
        prepared = image->copy();
        if (prepared != nullptr) {
            prepared->alphaThreshold(alphaLimit);
            prepared->setTransparentColour(red, green, blue);
        }
        transparent = colours;
    } else if (image->hasAlpha()) {
        prepared = BufferedImage::create(w, h);
        if (prepared != nullptr) {
            prepared->fill(255, red, green, blue);
            prepared->drawImage(0, 0, w, h, image, 0, 0, false);
        }
    }
    thread::Held<BufferedImage> temporary(prepared);
    if (image->hasAlpha() && !temporary) {
        return false;
    }
    const BufferedImage* source = image->hasAlpha() ? prepared : image;
    thread::Held<Quantizer> quantizer(Quantizer::pool());
    Bitmap* bitmap = Bitmap::pool();
    if (!quantizer || bitmap == nullptr || bitmap->create(w, h, 8) == nullptr ||
        !quantizer->buildPalette(source, colours)) {
        if (bitmap != nullptr) {
            bitmap->release();
        }
        return false;
    }
    std::memcpy(bitmap->colourTable(), quantizer->palette(), static_cast<size_t>(colours) * sizeof(RGBQUAD));
    for (int32_t y = 0; y < h; ++y) {
        quantizer->mapPixels(source->row(y), w, bitmap->row(y), 8);
    }
    bitDepth_ = depth;
    return appendFrame(bitmap, transparent, 0, 0, 0, 0);
}

bool Gif::setFromFrames(const BufferedImageSet* set, int32_t bitDepth, bool keepTransparency, uint8_t red,
                        uint8_t green, uint8_t blue) {
    releaseFrames();
    if (set == nullptr || set->count() == 0) {
        return false;
    }
    if (set->count() == 1 || !set->animated()) {
        return addFrame(set->frameAt(0), bitDepth, keepTransparency, red, green, blue, ALPHA_LIMIT);
    }
    thread::Held<BufferedImageSet> whole(set->coalescedCopy());
    if (!whole) {
        return false;
    }
    const int32_t n = whole->count();
    // Without transparency every composed frame is flattened first; nothing vanishes then.
    if (!keepTransparency) {
        for (int32_t i = 0; i < n; ++i) {
            BufferedImage* frame = whole->frameAt(i);
            if (frame->hasAlpha()) {
                BufferedImage* flat = frame->overBackground(red, green, blue);
                if (flat == nullptr) {
                    return false;
                }
                flat->copy(frame);
                flat->release();
            }
        }
    }
    const int32_t w = whole->screenWidth();
    const int32_t h = whole->screenHeight();
    // What the file shows of a composed pixel: nothing below the alpha limit, else its colour.
    const auto shows = [](const BufferedImage* image, int32_t x, int32_t y) {
        return !image->hasAlpha() || (image->pixel(x, y) >> 24) >= ALPHA_LIMIT;
    };
    const auto same = [&](const BufferedImage* a, const BufferedImage* b, int32_t x, int32_t y) {
        const bool sa = shows(a, x, y);
        return sa == shows(b, x, y) && (!sa || ((a->pixel(x, y) ^ b->pixel(x, y)) & 0xFFFFFF) == 0);
    };
    thread::Held<BufferedImage> cleared(BufferedImage::create(w, h));
    if (!cleared) {
        return false;
    }
    cleared->fill(0, 255, 255, 255);
    // The screen before frame i: clear at first, then what frame i - 1 left.
    const BufferedImage* before = cleared.get();
    loopCount_ = set->loopCount();
    for (int32_t i = 0; i < n; ++i) {
        const BufferedImage* now = whole->frameAt(i);
        const BufferedImage* next = whole->frameAt((i + 1) % n);
        // The written rectangle: what differs from the screen before, and what must
        // disappear before the next frame (the loop's first for the last).
        int32_t x0 = w;
        int32_t y0 = h;
        int32_t x1 = -1;
        int32_t y1 = -1;
        bool vanishes = false;
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const bool gone = shows(now, x, y) && !shows(next, x, y);
                if (gone || !same(before, now, x, y)) {
                    vanishes = vanishes || gone;
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    y0 = std::min(y0, y);
                    y1 = std::max(y1, y);
                }
            }
        }
        if (x1 < 0) {
            x0 = x1 = y0 = y1 = 0;  // nothing changes: one transparent pixel
        }
        thread::Held<BufferedImage> piece(BufferedImage::create(x1 - x0 + 1, y1 - y0 + 1));
        if (!piece) {
            releaseFrames();
            return false;
        }
        bool unchanged = false;
        for (int32_t y = y0; y <= y1; ++y) {
            for (int32_t x = x0; x <= x1; ++x) {
                const bool keep = same(before, now, x, y);
                unchanged = unchanged || keep;
                piece->setPixel(x - x0, y - y0, keep ? 0u : now->pixel(x, y) | 0xFF000000u);
            }
        }
        // Some decoders clear a disposed rectangle to transparent only when the frame
        // has a transparent index; the index is reserved anyway.
        piece->setHasAlpha(unchanged || vanishes);
        if (!addFrame(piece.get(), bitDepth, true, red, green, blue, ALPHA_LIMIT)) {
            releaseFrames();
            return false;
        }
        const uint32_t k = static_cast<uint32_t>(i);
        delays_->set(k, set->delay(i));
        disposals_->set(k, vanishes ? 2 : 1);
        lefts_->set(k, x0);
        tops_->set(k, y0);
        if (vanishes) {
            // Disposal 2 leaves the frame's rectangle transparent.
            for (int32_t y = 0; y < h; ++y) {
                std::copy_n(now->row(y), static_cast<size_t>(w) * 4, cleared->row(y));
                if (y >= y0 && y <= y1) {
                    std::fill_n(reinterpret_cast<uint32_t*>(cleared->row(y)) + x0, x1 - x0 + 1, 0x00FFFFFFu);
                }
            }
            cleared->setHasAlpha(true);
            before = cleared.get();
        } else {
            before = now;
        }
    }
    header_.screenWidth = static_cast<uint16_t>(std::min(w, 0xFFFF));
    header_.screenHeight = static_cast<uint16_t>(std::min(h, 0xFFFF));
    return true;
}

Gif* Gif::createFromImage(BufferedImage* image, int32_t bitDepth, bool keepTransparency, uint8_t red,
                          uint8_t green, uint8_t blue) {
    return thread::pooledFrom<Gif>([&](Gif* gif) {
        return gif->addFrame(image, bitDepth, keepTransparency, red, green, blue, ALPHA_LIMIT);
    });
}

Gif* Gif::createFromSet(const BufferedImageSet* set, int32_t bitDepth, bool keepTransparency, uint8_t red,
                        uint8_t green, uint8_t blue) {
    return thread::pooledFrom<Gif>(
        [&](Gif* gif) { return gif->setFromFrames(set, bitDepth, keepTransparency, red, green, blue); });
}

EncodeSetting* Gif::defaultSetting() const {
    EncodeSetting* setting = EncodeSetting::pool();
    if (setting != nullptr) {
        setting->setKeepTransparency(true);
        // A fresh Gif has depth 0; depths the setting does not offer keep its 8.
        setting->setBpp(bitDepth_);
    }
    return setting;
}

IEncodedImage* Gif::createFromImage(BufferedImage* image) const {
    thread::Held<EncodeSetting> setting(defaultSetting());
    return setting ? setting->encode(image) : nullptr;
}

IEncodedImage* Gif::createFromImageSet(BufferedImageSet* set) const {
    thread::Held<EncodeSetting> setting(defaultSetting());
    return setting ? setting->encode(set) : nullptr;
}

Gif* Gif::fromResource(archive::dll::win::Archive* archive, const wchar_t* typeName, uint32_t id) {
    return thread::pooledFrom<Gif>([&](Gif* gif) { return gif->loadResource(archive, typeName, id); });
}

FrameShape Gif::shapeOf(int32_t index) const {
    const Bitmap* f = frame(index);
    return FrameShape{f->width(), f->height(), f->bitCount()};
}

bool Gif::findFrame(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const {
    return answerFrame(exactFrame(frameCount(), width, height, bitCount, [this](int32_t i) { return shapeOf(i); }),
                       index);
}

bool Gif::findFrameNearestDepth(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const {
    return answerFrame(
        nearestFrame(frameCount(), width, height, bitCount, false, [this](int32_t i) { return shapeOf(i); }), index);
}

bool Gif::findFrameNearestSize(int32_t width, int32_t height, int32_t bitCount, int32_t* index) const {
    return answerFrame(
        nearestFrame(frameCount(), width, height, bitCount, true, [this](int32_t i) { return shapeOf(i); }), index);
}

} // namespace s::image::gif::win
