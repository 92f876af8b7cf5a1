#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "images/image/filters/scale/IScaleFilter.h"

namespace s::image::win { class BufferedImage; }

namespace s::image::filters::scale {

// The triangle filter, and resampling of whole pictures with it in two separable
// passes (columns, then rows) with 16.16 fixed-point weights. One shared instance.
class BilinearFilter : public IScaleFilter {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_image_filters_scale_BilinearFilter";
    static BilinearFilter& instance();

    BilinearFilter() : support_(1.0) {}
    const wchar_t* className() const override { return CLASS_NAME; }
    base::IObject* newInstance() const override;

    double weight(double x) const override;
    double support() const override { return support_; }
    void setSupport(double support) override { support_ = support; }
    void reset() { support_ = 1.0; }

    // Resamples source into target at width x height (target's capacity grows by
    // reserve) and gives it the source's alpha flag; returns target, or null when
    // the sizes are not positive or memory cannot be had.
    win::BufferedImage* scaledCopy(const win::BufferedImage* source, int32_t width, int32_t height,
                                   win::BufferedImage* target) const;

private:
    double support_;
};

} // namespace s::image::filters::scale
