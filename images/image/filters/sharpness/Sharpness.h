#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "core/thread/ObjLocker.h"
#include "images/image/filters/IFilter.h"

namespace s::image::filters::convolution { class Convolution; }

namespace s::image::filters::sharpness {

// Blurs (level -100 to -1) or sharpens (1 to 100) a picture with a 3 x 3 kernel;
// level 0 copies it.
class Sharpness : public IFilter, public thread::IPoolable {
    S_POOLED_CLASS(Sharpness, 1000, L"s_image_filters_sharpness_Sharpness")
public:
    static constexpr wchar_t KIND_NAME[] = L"Sharpness";
    static constexpr int32_t MIN_LEVEL = -100;
    static constexpr int32_t MAX_LEVEL = 100;

    static Sharpness* create(int32_t level);
    ~Sharpness() override;
    void reset() override;

    const wchar_t* kindName() const override { return KIND_NAME; }
    bool releaseWithImage() const override { return owned_ != 0; }
    void setReleaseWithImage(bool release) override { owned_ = release ? 1 : 0; }

    int32_t level() const { return level_; }
    // Stores the level (held to -100..100) and builds its kernel.
    void setLevel(int32_t level);
    // The kernel of the current level (null at level 0).
    const convolution::Convolution* kernel() const { return kernel_; }

    win::BufferedImage* apply(const win::BufferedImage* source, win::BufferedImage* target) override;

private:
    Sharpness();

    uint8_t owned_;
    thread::ObjLocker lock_;
    int32_t level_;
    convolution::Convolution* kernel_;
};

} // namespace s::image::filters::sharpness
