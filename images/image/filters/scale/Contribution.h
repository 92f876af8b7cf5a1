#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::image::filters::scale {

class IScaleFilter;

// The weights of one resampling axis: for every output position the run of input
// positions it takes, with 16.16 fixed-point weights.
class Contribution : public base::IObject {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_image_filters_scale_Contribution";

    Contribution();
    ~Contribution() override;
    Contribution(const Contribution&) = delete;
    Contribution& operator=(const Contribution&) = delete;

    const wchar_t* className() const override { return CLASS_NAME; }
    base::IObject* newInstance() const override;

    // The table for inputSize positions resampled to outputSize; false when either
    // is not positive or the table cannot be had.
    bool build(const IScaleFilter& filter, int32_t inputSize, int32_t outputSize);

    int32_t count() const { return count_; }
    int32_t first(int32_t i) const { return first_[i]; }
    int32_t last(int32_t i) const { return last_[i]; }
    // The weights of record i, for first(i) .. last(i).
    const uint32_t* weights(int32_t i) const { return weights_ + static_cast<int64_t>(i) * perRecord_; }

private:
    void clear();

    int32_t count_;
    int32_t perRecord_;
    int32_t* first_;
    int32_t* last_;
    uint32_t* weights_;
};

} // namespace s::image::filters::scale
