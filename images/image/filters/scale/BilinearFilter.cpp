#include "images/image/filters/scale/BilinearFilter.h"

#include <cmath>
#include <cstring>
#include <new>

#include "images/image/filters/scale/Contribution.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::filters::scale {

BilinearFilter& BilinearFilter::instance() {
    static BilinearFilter* const shared = new BilinearFilter();
    return *shared;
}

base::IObject* BilinearFilter::newInstance() const {
    return new (std::nothrow) BilinearFilter();
}

double BilinearFilter::weight(double x) const {
    const double distance = std::fabs(x);
    return distance < support_ ? support_ - distance : 0.0;
}

namespace {

// One output pixel from the inputs at stride apart, weighted by a record.
inline uint32_t blend(const uint32_t* inputs, ptrdiff_t step, int32_t count, const uint32_t* weights) {
    uint32_t sums[4] = {0, 0, 0, 0};
    for (int32_t k = 0; k < count; ++k) {
        const uint32_t p = inputs[k * step];
        const uint32_t w = weights[k];
        sums[0] += (p & 0xFF) * w;
        sums[1] += ((p >> 8) & 0xFF) * w;
        sums[2] += ((p >> 16) & 0xFF) * w;
        sums[3] += (p >> 24) * w;
    }
    uint32_t out = 0;
    for (int c = 0; c < 4; ++c) {
        out |= (((sums[c] + 0x8000) >> 16) & 0xFF) << (c * 8);
    }
    return out;
}

} // namespace

win::BufferedImage* BilinearFilter::scaledCopy(const win::BufferedImage* source, int32_t width, int32_t height,
                                               win::BufferedImage* target) const {
    if (source == nullptr || target == nullptr || target == source || width <= 0 || height <= 0 ||
        source->width() <= 0 || source->height() <= 0 || source->bits() == nullptr) {
        return nullptr;
    }
    const int32_t sourceWidth = source->width();
    const int32_t sourceHeight = source->height();
    // The rows after the horizontal pass: width x source height.
    const int64_t middleCount = static_cast<int64_t>(width) * sourceHeight;
    if (middleCount > 0x1FFFFFFF) {
        return nullptr;
    }
    uint32_t* middle = new (std::nothrow) uint32_t[static_cast<size_t>(middleCount)];
    if (middle == nullptr) {
        return nullptr;
    }
    Contribution table;
    bool done = true;
    if (width == sourceWidth) {
        for (int32_t y = 0; y < sourceHeight; ++y) {
            std::memcpy(middle + static_cast<int64_t>(y) * width, source->row(y), static_cast<size_t>(width) * 4);
        }
    } else if ((done = table.build(*this, sourceWidth, width))) {
        for (int32_t y = 0; y < sourceHeight; ++y) {
            const uint32_t* in = reinterpret_cast<const uint32_t*>(source->row(y));
            uint32_t* out = middle + static_cast<int64_t>(y) * width;
            for (int32_t x = 0; x < width; ++x) {
                const int32_t first = table.first(x);
                const int32_t count = table.last(x) - first + 1;
                out[x] = count == 1 ? in[first] : blend(in + first, 1, count, table.weights(x));
            }
        }
    }
    if (done) {
        target->setSize(0, 0);
        done = target->reserve(width, height);
    }
    if (done) {
        target->setSize(width, height);
        if (height == sourceHeight) {
            for (int32_t y = 0; y < height; ++y) {
                std::memcpy(target->row(y), middle + static_cast<int64_t>(y) * width, static_cast<size_t>(width) * 4);
            }
        } else if ((done = table.build(*this, sourceHeight, height))) {
            for (int32_t y = 0; y < height; ++y) {
                const int32_t first = table.first(y);
                const int32_t count = table.last(y) - first + 1;
                const uint32_t* in = middle + static_cast<int64_t>(first) * width;
                uint32_t* out = reinterpret_cast<uint32_t*>(target->row(y));
                for (int32_t x = 0; x < width; ++x) {
                    out[x] = count == 1 ? in[x] : blend(in + x, width, count, table.weights(y));
                }
            }
        }
    }
    delete[] middle;
    if (!done) {
        return nullptr;
    }
    target->setHasAlpha(source->hasAlpha());
    return target;
}

} // namespace s::image::filters::scale
