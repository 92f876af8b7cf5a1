#include "images/image/filters/convolution/Convolution.h"

#include <algorithm>

namespace s::image::filters::convolution {

Convolution::Convolution() {
    reset();
}

void Convolution::reset() {
    std::fill(k_, k_ + 9, 0);
    k_[4] = 1;
    divisor_ = 1;
}

Convolution* Convolution::create(int32_t k0, int32_t k1, int32_t k2, int32_t k3, int32_t k4, int32_t k5,
                                 int32_t k6, int32_t k7, int32_t k8) {
    Convolution* kernel = pool();
    if (kernel == nullptr) {
        return nullptr;
    }
    const int32_t k[9] = {k0, k1, k2, k3, k4, k5, k6, k7, k8};
    kernel->divisor_ = 0;
    for (int i = 0; i < 9; ++i) {
        kernel->k_[i] = k[i];
        kernel->divisor_ += k[i];
    }
    return kernel;
}

void Convolution::apply(uint8_t* const* rows, int32_t width, int32_t height) const {
    if (rows == nullptr || width <= 0 || height <= 0) {
        return;
    }
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* around[3] = {rows[std::max(y - 1, 0)], rows[y], rows[std::min(y + 1, height - 1)]};
        uint8_t* here = rows[y];
        for (int32_t x = 0; x < width; ++x) {
            const int32_t columns[3] = {std::max(x - 1, 0) * 4, x * 4, std::min(x + 1, width - 1) * 4};
            for (int c = 0; c < 4; ++c) {
                int64_t sum = 0;
                for (int dy = 0; dy < 3; ++dy) {
                    for (int dx = 0; dx < 3; ++dx) {
                        sum += static_cast<int64_t>(k_[dy * 3 + dx]) * around[dy][columns[dx] + c];
                    }
                }
                // A kernel summing to 0 (an edge detector) is used undivided.
                if (divisor_ != 1 && divisor_ != 0) {
                    sum /= divisor_;
                }
                here[x * 4 + c] = static_cast<uint8_t>(std::clamp<int64_t>(sum, 0, 255));
            }
        }
    }
}

} // namespace s::image::filters::convolution
