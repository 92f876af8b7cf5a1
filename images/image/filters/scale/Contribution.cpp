#include "images/image/filters/scale/Contribution.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "images/image/filters/scale/IScaleFilter.h"

namespace s::image::filters::scale {

Contribution::Contribution()
    : count_(0), perRecord_(0), first_(nullptr), last_(nullptr), weights_(nullptr) {}

Contribution::~Contribution() {
    clear();
}

base::IObject* Contribution::newInstance() const {
    return new (std::nothrow) Contribution();
}

void Contribution::clear() {
    delete[] first_;
    delete[] last_;
    delete[] weights_;
    first_ = last_ = nullptr;
    weights_ = nullptr;
    count_ = perRecord_ = 0;
}

bool Contribution::build(const IScaleFilter& filter, int32_t inputSize, int32_t outputSize) {
    clear();
    if (inputSize <= 0 || outputSize <= 0) {
        return false;
    }
    const double scale = static_cast<double>(outputSize) / inputSize;
    // Shrinking widens the filter so every input pixel contributes.
    double reach = filter.support();
    double weightScale = 1.0;
    if (scale < 1.0) {
        reach /= scale;
        weightScale = scale;
    }
    const double perRecord = 2.0 * std::ceil(reach) + 1.0;
    if (!(perRecord >= 1.0) || perRecord * outputSize > 268435456.0) {
        return false;
    }
    perRecord_ = static_cast<int32_t>(perRecord);
    first_ = new (std::nothrow) int32_t[outputSize];
    last_ = new (std::nothrow) int32_t[outputSize];
    weights_ = new (std::nothrow) uint32_t[static_cast<size_t>(perRecord_) * outputSize];
    double* work = new (std::nothrow) double[perRecord_];
    if (first_ == nullptr || last_ == nullptr || weights_ == nullptr || work == nullptr) {
        delete[] work;
        clear();
        return false;
    }
    count_ = outputSize;
    for (int32_t i = 0; i < outputSize; ++i) {
        const double centre = i / scale;
        const int32_t left = std::max(0, static_cast<int32_t>(std::floor(centre - reach)));
        const int32_t right = std::min(static_cast<int32_t>(std::ceil(centre + reach)), inputSize - 1);
        int32_t first = -1;
        int32_t last = -1;
        double sum = 0.0;
        for (int32_t j = left; j <= right; ++j) {
            const double w = filter.weight((centre - j) * weightScale) * weightScale;
            if (first < 0) {
                if (w > 0.0) {
                    first = last = j;
                    work[0] = w;
                    sum = w;
                }
                continue;
            }
            if (w <= 0.0 || j - first >= perRecord_) {
                break;
            }
            work[j - first] = w;
            last = j;
            sum += w;
        }
        if (first < 0) {
            first = last = right == inputSize - 1 ? inputSize - 1 : left;
            work[0] = right == inputSize - 1 ? 1.0 : 0.0;
            sum = work[0];
        }
        first_[i] = first;
        last_[i] = last;
        uint32_t* out = weights_ + static_cast<int64_t>(i) * perRecord_;
        for (int32_t k = 0; k <= last - first; ++k) {
            const double w = sum > 0.0 ? work[k] / sum : work[k];
            out[k] = static_cast<uint32_t>(w * 65536.0);
        }
    }
    delete[] work;
    return true;
}

} // namespace s::image::filters::scale
