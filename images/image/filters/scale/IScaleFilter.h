#pragma once
#include "core/base/IObject.h"

namespace s::image::filters::scale {

// A resampling kernel: its weight at a distance and how far it reaches.
class IScaleFilter : public base::IObject {
public:
    virtual double weight(double x) const = 0;
    virtual double support() const = 0;
    virtual void setSupport(double support) = 0;
};

} // namespace s::image::filters::scale
