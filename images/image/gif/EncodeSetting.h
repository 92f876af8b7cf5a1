#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "images/image/DepthSetting.h"

namespace s::image::gif {

// GIF options: 4 or 8 bits per pixel, interlaced rows, and whether transparency is
// kept (else transparent pixels are blended over the background colour).
class EncodeSetting : public DepthSetting {
    S_POOLED_CLASS(EncodeSetting, 1000, L"s_image_gif_EncodeSetting")
public:
    static constexpr wchar_t GROUP[] = L"\\GifEncodeSetting";
    static constexpr int32_t DEFAULT_BPP = 8;

    void reset() override;
    IEncodedImage* encode(image::win::BufferedImage* image) override;
    // Every frame of an animated set of several, else the first.
    IEncodedImage* encode(const image::win::BufferedImageSet* set) override;

    using EncodeSettingBase::keepTransparency;
    using EncodeSettingBase::setKeepTransparency;
    using EncodeSettingBase::withInterlace;
    using EncodeSettingBase::setWithInterlace;

private:
    EncodeSetting();
};

} // namespace s::image::gif
