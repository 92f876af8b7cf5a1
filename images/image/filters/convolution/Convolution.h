#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::image::filters::convolution {

// A 3 x 3 integer kernel run in place over 32-bit rows.
class Convolution : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Convolution, 1000, L"s_image_filters_convolution_Convolution")
public:
    // Coefficients row by row from the top left; the divisor is their sum.
    static Convolution* create(int32_t k0, int32_t k1, int32_t k2, int32_t k3, int32_t k4, int32_t k5, int32_t k6,
                               int32_t k7, int32_t k8);
    void reset() override;

    int32_t coefficient(int32_t i) const { return k_[i]; }
    int32_t divisor() const { return divisor_; }

    // Filters rows (row 0 = top, 4 bytes a pixel) in place, top to bottom and left
    // to right, so the neighbours above and to the left are already filtered. Edge
    // neighbours repeat the nearest pixel; each channel is summed, divided (not by a
    // zero sum) and clamped to 0..255.
    void apply(uint8_t* const* rows, int32_t width, int32_t height) const;

private:
    Convolution();

    int32_t k_[9];
    int32_t divisor_;
};

} // namespace s::image::filters::convolution
