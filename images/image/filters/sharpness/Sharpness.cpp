#include "images/image/filters/sharpness/Sharpness.h"

#include <algorithm>
#include <new>

#include "images/image/filters/convolution/Convolution.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::filters::sharpness {

using convolution::Convolution;

Sharpness::Sharpness() : owned_(0), level_(0), kernel_(nullptr) {
    reset();
}

Sharpness::~Sharpness() {
    if (kernel_ != nullptr) {
        kernel_->release();
    }
}

void Sharpness::reset() {
    owned_ = 0;
    setLevel(0);
}

Sharpness* Sharpness::create(int32_t level) {
    Sharpness* filter = pool();
    if (filter != nullptr) {
        filter->setLevel(level);
    }
    return filter;
}

void Sharpness::setLevel(int32_t level) {
    // Beyond 100 the sharpen kernel's sum reaches 0 and turns negative.
    level = std::clamp(level, MIN_LEVEL, MAX_LEVEL);
    thread::ObjLocker::Guard guard(lock_);
    level_ = level;
    if (kernel_ != nullptr) {
        kernel_->release();
        kernel_ = nullptr;
    }
    if (level < 0) {
        const float v = static_cast<float>(-level) / 100.0f;
        const int32_t d = static_cast<int32_t>(100.0f * v);
        const int32_t c = static_cast<int32_t>(200.0f * v);
        kernel_ = Convolution::create(d, c, d, c, 400, c, d, c, d);
    } else if (level > 0) {
        const int32_t c = static_cast<int32_t>(-180.0f * (static_cast<float>(level) / 100.0f));
        kernel_ = Convolution::create(0, c, 0, c, 1100, c, 0, c, 0);
    }
}

win::BufferedImage* Sharpness::apply(const win::BufferedImage* source, win::BufferedImage* target) {
    if (source == nullptr) {
        return nullptr;
    }
    thread::ObjLocker::Guard guard(lock_);
    win::BufferedImage* result = source->copy(target);
    if (result == nullptr) {
        return nullptr;
    }
    if (kernel_ != nullptr && result->height() > 0) {
        uint8_t** rows = new (std::nothrow) uint8_t*[static_cast<size_t>(result->height())];
        if (rows == nullptr) {
            if (target == nullptr) {
                result->release();
            }
            return nullptr;
        }
        for (int32_t y = 0; y < result->height(); ++y) {
            rows[y] = result->row(y);
        }
        kernel_->apply(rows, result->width(), result->height());
        delete[] rows;
    }
    result->setHasAlpha(source->hasAlpha());
    return result;
}

} // namespace s::image::filters::sharpness
