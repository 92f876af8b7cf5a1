#include "images/image/win/BufferedImageSet.h"

#include <algorithm>
#include <new>

#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayS32.h"
#include "images/image/FrameSearch.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::win {

using col::_array::ArrayP;
using col::_array::ArrayS32;

namespace {

int64_t areaOf(const BufferedImage* image) {
    return static_cast<int64_t>(image->width()) * image->height();
}

// Draws frame over canvas at (0, 0) within both; an opaque frame's pixels count as
// opaque even when its alpha bytes were left unused.
void drawOver(BufferedImage* canvas, BufferedImage* frame) {
    const int32_t w = std::min(canvas->width(), frame->width());
    const int32_t h = std::min(canvas->height(), frame->height());
    canvas->drawImage(0, 0, w, h, frame, 0, 0, false);
    if (!frame->hasAlpha() && canvas->hasAlpha()) {
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* p = canvas->row(y);
            for (int32_t x = 0; x < w; ++x) {
                p[x * 4 + 3] = 255;
            }
        }
    }
    if (canvas->hasAlpha()) {
        canvas->detectAlpha();
    }
}

} // namespace

BufferedImageSet::BufferedImageSet()
    : frames_(new (std::nothrow) ArrayP()), depths_(new (std::nothrow) ArrayS32()),
      delays_(new (std::nothrow) ArrayS32()), disposals_(new (std::nothrow) ArrayS32()), animated_(0),
      loopCount_(1), width_(0), height_(0), bestDepth_(0), bestIndex_(0) {
    if (frames_ != nullptr) {
        frames_->setCleaner(&BufferedImage::pooler());
    }
}

BufferedImageSet::~BufferedImageSet() {
    delete frames_;  // its cleaner gives the frames back
    delete depths_;
    delete delays_;
    delete disposals_;
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
    if (frames_ != nullptr) {
        while (frames_->count() != 0) {
            frames_->removeLast();
        }
    }
    for (ArrayS32* numbers : {depths_, delays_, disposals_}) {
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
    if (image == nullptr || frames_ == nullptr || depths_ == nullptr || delays_ == nullptr ||
        disposals_ == nullptr) {
        return false;
    }
    const uint32_t n = frames_->count();
    if (!frames_->add(image)) {
        return false;
    }
    if (!depths_->add(depth) || !delays_->add(delay) || !disposals_->add(disposal)) {
        // Keep the four lists in step; the image stays the caller's.
        frames_->removeLast();
        depths_->setCount(std::min(depths_->count(), n));
        delays_->setCount(std::min(delays_->count(), n));
        disposals_->setCount(std::min(disposals_->count(), n));
        return false;
    }
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
BufferedImageSet* BufferedImageSet::derived(Make make) const {
    BufferedImageSet* set = pool();
    if (set == nullptr) {
        return nullptr;
    }
    for (int32_t i = 0; i < count(); ++i) {
        BufferedImage* image = make(frameAt(i));
        if (image == nullptr || !set->add(image, depth(i), delay(i), disposal(i))) {
            if (image != nullptr) {
                image->release();
            }
            set->release();
            return nullptr;
        }
    }
    set->setLoop(animated(), loopCount_);
    return set;
}

BufferedImageSet* BufferedImageSet::copy() const {
    return derived([](BufferedImage* frame) { return frame->copy(); });
}

BufferedImageSet* BufferedImageSet::scaledCopy(int32_t width, int32_t height, bool keepAspect) const {
    return derived([&](BufferedImage* frame) {
        BufferedImage* scaled = frame->scaledCopy(width, height, keepAspect);
        return scaled != nullptr ? scaled->copy() : nullptr;
    });
}

BufferedImageSet* BufferedImageSet::filteredCopy() const {
    return derived([](BufferedImage* frame) {
        BufferedImage* shown = frame->hasFilters() ? frame->filtered() : frame;
        return shown != nullptr ? shown->copy() : nullptr;
    });
}

BufferedImageSet* BufferedImageSet::coalescedCopy() const {
    BufferedImageSet* set = pool();
    if (set == nullptr) {
        return nullptr;
    }
    // The canvas the previous frame was drawn on (null: a clear one).
    BufferedImage* before = nullptr;
    bool done = true;
    for (int32_t i = 0; i < count() && done; ++i) {
        BufferedImage* frame = frameAt(i);
        BufferedImage* image = nullptr;
        int32_t frameDisposal = disposal(i);
        if (i == 0) {
            image = frame->copy();
        } else {
            // What frame i - 1 leaves behind: itself (0, 1), nothing (2), or what was
            // there before it (3).
            const int32_t left = disposal(i - 1);
            const BufferedImage* previous = set->frameAt(i - 1);
            const BufferedImage* base = left == 2 ? nullptr : left == 3 ? before : previous;
            BufferedImage* canvas = base != nullptr ? base->copy() : nullptr;
            image = base != nullptr ? base->copy() : BufferedImage::create(previous->width(), previous->height());
            if (image != nullptr && base == nullptr) {
                image->fill(0, 255, 255, 255);
            }
            if (image != nullptr) {
                drawOver(image, frame);
            }
            if (before != nullptr) {
                before->release();
            }
            before = canvas;
            frameDisposal = 2;
        }
        done = image != nullptr && set->add(image, depth(i), delay(i), frameDisposal);
        if (!done && image != nullptr) {
            image->release();
        }
    }
    if (before != nullptr) {
        before->release();
    }
    if (!done) {
        set->release();
        return nullptr;
    }
    set->setLoop(true, loopCount_);
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
