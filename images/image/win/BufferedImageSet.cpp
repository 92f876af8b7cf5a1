#include "images/image/win/BufferedImageSet.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayS32.h"
#include "core/thread/Held.h"
#include "images/image/FrameSearch.h"
#include "images/image/IEncodedImage.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::win {

using col::_array::ArrayP;
using col::_array::ArrayS32;

namespace {

int64_t areaOf(const BufferedImage* image) {
    return static_cast<int64_t>(image->width()) * image->height();
}

// A rectangle of the screen, clipped to it.
struct Area {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

Area clipped(int32_t x, int32_t y, int32_t w, int32_t h, const BufferedImage* screen) {
    const int32_t x0 = std::max(0, x);
    const int32_t y0 = std::max(0, y);
    const int32_t x1 = static_cast<int32_t>(std::min<int64_t>(int64_t(x) + w, screen->width()));
    const int32_t y1 = static_cast<int32_t>(std::min<int64_t>(int64_t(y) + h, screen->height()));
    return x1 > x0 && y1 > y0 ? Area{x0, y0, x1 - x0, y1 - y0} : Area{};
}

// Copies the area's pixels as they are (no blending) from one picture to the other,
// from (fromX, fromY) to (toX, toY).
void copyArea(const BufferedImage* from, int32_t fromX, int32_t fromY, BufferedImage* to, int32_t toX, int32_t toY,
              int32_t w, int32_t h) {
    for (int32_t y = 0; y < h; ++y) {
        std::copy_n(from->row(fromY + y) + static_cast<ptrdiff_t>(fromX) * 4, static_cast<size_t>(w) * 4,
                    to->row(toY + y) + static_cast<ptrdiff_t>(toX) * 4);
    }
}

// Draws frame over the screen at (left, top); an opaque frame's pixels count as opaque
// even when its alpha bytes were left unused.
void drawOver(BufferedImage* screen, BufferedImage* frame, int32_t left, int32_t top) {
    const Area a = clipped(left, top, frame->width(), frame->height(), screen);
    if (a.w == 0) {
        return;
    }
    screen->drawImage(a.x, a.y, a.w, a.h, frame, a.x - left, a.y - top, false);
    if (!frame->hasAlpha()) {
        for (int32_t y = a.y; y < a.y + a.h; ++y) {
            uint8_t* p = screen->row(y);
            for (int32_t x = a.x; x < a.x + a.w; ++x) {
                p[x * 4 + 3] = 255;
            }
        }
    }
}

void clearArea(BufferedImage* screen, const Area& a) {
    for (int32_t y = a.y; y < a.y + a.h; ++y) {
        uint32_t* p = reinterpret_cast<uint32_t*>(screen->row(y));
        std::fill(p + a.x, p + a.x + a.w, 0x00FFFFFFu);
    }
}

} // namespace

BufferedImageSet::BufferedImageSet()
    : frames_(new (std::nothrow) ArrayP()), depths_(new (std::nothrow) ArrayS32()),
      delays_(new (std::nothrow) ArrayS32()), disposals_(new (std::nothrow) ArrayS32()),
      lefts_(new (std::nothrow) ArrayS32()), tops_(new (std::nothrow) ArrayS32()), animated_(0), loopCount_(1),
      width_(0), height_(0), bestDepth_(0), bestIndex_(0), screenWidth_(0), screenHeight_(0), sourceBytes_(0) {
    if (frames_ != nullptr) {
        frames_->setCleaner(&BufferedImage::pooler());
    }
}

BufferedImageSet::~BufferedImageSet() {
    delete frames_;  // its cleaner gives the frames back
    delete depths_;
    delete delays_;
    delete disposals_;
    delete lefts_;
    delete tops_;
}

void BufferedImageSet::reset() {
    if (frames_ != nullptr) {
        frames_->freeStorage();  // gives the frames back
    }
    clear();
    loopCount_ = 1;
}

void BufferedImageSet::clear() {
    animated_ = 0;
    width_ = 0;
    height_ = 0;
    bestDepth_ = 0;
    bestIndex_ = 0;
    screenWidth_ = 0;
    screenHeight_ = 0;
    sourceBytes_ = 0;
    if (frames_ != nullptr) {
        while (frames_->count() != 0) {
            frames_->removeLast();
        }
    }
    for (ArrayS32* numbers : {depths_, delays_, disposals_, lefts_, tops_}) {
        if (numbers != nullptr) {
            numbers->clear();
        }
    }
}

BufferedImageSet* BufferedImageSet::fromImage(BufferedImage* image) {
    if (image == nullptr) {
        return nullptr;
    }
    BufferedImageSet* set = pool();
    if (set != nullptr && !set->add(image, 32, 0, 0)) {
        set->release();
        return nullptr;
    }
    return set;
}

int32_t BufferedImageSet::count() const {
    return frames_ != nullptr ? static_cast<int32_t>(frames_->count()) : 0;
}

bool BufferedImageSet::add(BufferedImage* image, int32_t depth, int32_t delay, int32_t disposal) {
    return addAt(image, depth, delay, disposal, 0, 0);
}

bool BufferedImageSet::addAt(BufferedImage* image, int32_t depth, int32_t delay, int32_t disposal, int32_t left,
                             int32_t top) {
    ArrayS32* numbers[] = {depths_, delays_, disposals_, lefts_, tops_};
    const int32_t values[] = {depth, delay, disposal, left, top};
    if (image == nullptr || frames_ == nullptr || left < 0 || top < 0 ||
        std::find(std::begin(numbers), std::end(numbers), nullptr) != std::end(numbers)) {
        return false;
    }
    const uint32_t n = frames_->count();
    if (!frames_->add(image)) {
        return false;
    }
    bool added = true;
    for (int32_t i = 0; i < 5 && added; ++i) {
        added = numbers[i]->add(values[i]);
    }
    if (!added) {
        // Keep the lists in step; the image stays the caller's.
        frames_->removeLast();
        for (ArrayS32* list : numbers) {
            list->setCount(std::min(list->count(), n));
        }
        return false;
    }
    setScreen(static_cast<int32_t>(std::min<int64_t>(int64_t(left) + image->width(), INT32_MAX)),
              static_cast<int32_t>(std::min<int64_t>(int64_t(top) + image->height(), INT32_MAX)));
    const int64_t area = areaOf(image);
    const int64_t best = static_cast<int64_t>(width_) * height_;
    if (area > best || (area == best && depth > bestDepth_)) {
        width_ = image->width();
        height_ = image->height();
        bestDepth_ = depth;
        bestIndex_ = static_cast<int32_t>(n);
    }
    return true;
}

BufferedImageSet* BufferedImageSet::addImage(BufferedImage* image) {
    add(image, 32, 0, 0);
    return this;
}

void BufferedImageSet::recomputeSize() {
    width_ = 0;
    height_ = 0;
    for (int32_t i = 0; i < count(); ++i) {
        BufferedImage* frame = frameAt(i);
        const BufferedImage* measured = frame->hasFilters() ? frame->filtered() : frame;
        if (measured != nullptr && areaOf(measured) > static_cast<int64_t>(width_) * height_) {
            width_ = measured->width();
            height_ = measured->height();
        }
    }
}

void BufferedImageSet::setScreen(int32_t width, int32_t height) {
    screenWidth_ = std::max(screenWidth_, width);
    screenHeight_ = std::max(screenHeight_, height);
}

int32_t BufferedImageSet::left(int32_t index) const {
    return valid(index) ? lefts_->get(static_cast<uint32_t>(index)) : 0;
}

int32_t BufferedImageSet::top(int32_t index) const {
    return valid(index) ? tops_->get(static_cast<uint32_t>(index)) : 0;
}

void BufferedImageSet::setLoop(bool animated, uint16_t loopCount) {
    animated_ = animated ? 1 : 0;
    loopCount_ = loopCount;
}

int32_t BufferedImageSet::delay(int32_t index) const {
    return valid(index) ? delays_->get(static_cast<uint32_t>(index)) : OUTSIDE;
}

int32_t BufferedImageSet::disposal(int32_t index) const {
    return valid(index) ? disposals_->get(static_cast<uint32_t>(index)) : OUTSIDE;
}

int32_t BufferedImageSet::depth(int32_t index) const {
    return valid(index) ? depths_->get(static_cast<uint32_t>(index)) : 0;
}

BufferedImage* BufferedImageSet::frameAt(int32_t index) const {
    return valid(index) ? static_cast<BufferedImage*>(frames_->get(static_cast<uint32_t>(index))) : nullptr;
}

template <class Make>
BufferedImageSet* BufferedImageSet::derived(Make make, bool sameScreen) const {
    BufferedImageSet* set = pool();
    if (set == nullptr) {
        return nullptr;
    }
    for (int32_t i = 0; i < count(); ++i) {
        BufferedImage* image = make(frameAt(i));
        if (image == nullptr || !set->addAt(image, depth(i), delay(i), disposal(i), left(i), top(i))) {
            if (image != nullptr) {
                image->release();
            }
            set->release();
            return nullptr;
        }
    }
    set->setLoop(animated(), loopCount_);
    set->setSourceBytes(sourceBytes_);
    if (sameScreen) {
        set->setScreen(screenWidth_, screenHeight_);
    }
    return set;
}

BufferedImageSet* BufferedImageSet::copy() const {
    return derived([](BufferedImage* frame) { return frame->copy(); }, true);
}

BufferedImageSet* BufferedImageSet::scaledCopy(int32_t width, int32_t height, bool keepAspect) const {
    return derived(
        [&](BufferedImage* frame) {
            BufferedImage* scaled = frame->scaledCopy(width, height, keepAspect);
            return scaled != nullptr ? scaled->copy() : nullptr;
        },
        false);
}

BufferedImageSet* BufferedImageSet::filteredCopy() const {
    return derived(
        [](BufferedImage* frame) {
            BufferedImage* shown = frame->hasFilters() ? frame->filtered() : frame;
            return shown != nullptr ? shown->copy() : nullptr;
        },
        true);
}

BufferedImageSet* BufferedImageSet::coalescedCopy() const {
    const int32_t n = count();
    const int32_t w = screenWidth_;
    const int32_t h = screenHeight_;
    if (n > 0 && (!IEncodedImage::isDecodableSize(w, h) ||
                  !IEncodedImage::isDecodableAnimation(n, static_cast<int64_t>(w) * h * n))) {
        return nullptr;
    }
    // Every frame lies within the screen, so a save is no larger than its frame.
    int64_t held = sourceBytes_ + static_cast<int64_t>(w) * h * 4 * (n + 1);
    int64_t save = 0;
    for (int32_t i = 0; i < n; ++i) {
        held += areaOf(frameAt(i)) * 4;
        save = disposal(i) == 3 ? std::max(save, areaOf(frameAt(i)) * 4) : save;
    }
    if (held + save > IEncodedImage::MAX_PICTURE_BYTES) {
        return nullptr;
    }
    BufferedImageSet* set = pool();
    if (set == nullptr) {
        return nullptr;
    }
    // The screen as the frames leave it, and what lay under a frame that restores it.
    thread::Held<BufferedImage> screen(n > 0 ? BufferedImage::create(w, h) : nullptr);
    BufferedImage* under = nullptr;
    bool done = n == 0 || screen;
    if (screen) {
        screen->fill(0, 255, 255, 255);
    }
    for (int32_t i = 0; i < n && done; ++i) {
        BufferedImage* frame = frameAt(i);
        const Area a = clipped(left(i), top(i), frame->width(), frame->height(), screen.get());
        const int32_t leaves = disposal(i);
        if (leaves == 3 && a.w > 0) {
            if (under != nullptr) {
                under->release();
            }
            under = BufferedImage::create(a.w, a.h);
            done = under != nullptr;
            if (done) {
                copyArea(screen.get(), a.x, a.y, under, 0, 0, a.w, a.h);
            }
        }
        drawOver(screen.get(), frame, left(i), top(i));
        screen->setHasAlpha(true);
        BufferedImage* image = done ? screen->copy() : nullptr;
        if (image != nullptr) {
            image->detectAlpha();
        }
        done = image != nullptr && set->add(image, depth(i), delay(i), i == 0 ? disposal(0) : 2);
        if (!done && image != nullptr) {
            image->release();
        }
        if (leaves == 2) {
            clearArea(screen.get(), a);
        } else if (leaves == 3 && a.w > 0 && under != nullptr) {
            copyArea(under, 0, 0, screen.get(), a.x, a.y, a.w, a.h);
        }
    }
    if (under != nullptr) {
        under->release();
    }
    if (!done) {
        set->release();
        return nullptr;
    }
    set->setLoop(true, loopCount_);
    set->setSourceBytes(sourceBytes_);
    return set;
}

BufferedImageSet* BufferedImageSet::firstScreenCopy() const {
    BufferedImage* first = frameAt(0);
    if (first == nullptr || !IEncodedImage::isDecodableSize(screenWidth_, screenHeight_)) {
        return nullptr;
    }
    thread::Held<BufferedImage> screen(BufferedImage::create(screenWidth_, screenHeight_));
    BufferedImageSet* set = screen ? pool() : nullptr;
    if (set == nullptr) {
        return nullptr;
    }
    screen->fill(0, 255, 255, 255);
    drawOver(screen.get(), first, left(0), top(0));
    screen->setHasAlpha(true);
    screen->detectAlpha();
    if (!set->add(screen.get(), depth(0), delay(0), 2)) {
        set->release();
        return nullptr;
    }
    screen.take();
    set->setLoop(false, 0);
    return set;
}

FrameShape BufferedImageSet::shapeOf(int32_t index) const {
    const BufferedImage* frame = frameAt(index);
    return FrameShape{frame->width(), frame->height(), depth(index)};
}

bool BufferedImageSet::findFrame(int32_t width, int32_t height, int32_t depth, int32_t* index) const {
    return answerFrame(exactFrame(count(), width, height, depth, [this](int32_t i) { return shapeOf(i); }), index);
}

bool BufferedImageSet::findNearestDepth(int32_t width, int32_t height, int32_t depth, int32_t* index) const {
    return answerFrame(nearestFrame(count(), width, height, depth, false, [this](int32_t i) { return shapeOf(i); }),
                       index);
}

bool BufferedImageSet::findNearestSize(int32_t width, int32_t height, int32_t depth, int32_t* index) const {
    return answerFrame(nearestFrame(count(), width, height, depth, true, [this](int32_t i) { return shapeOf(i); }),
                       index);
}

} // namespace s::image::win
