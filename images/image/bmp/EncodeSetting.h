#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "images/image/DepthSetting.h"

namespace s::image::bmp {

// BMP options: depth 4, 8, 24 or 32 bits, and whether 32-bit files keep transparency
// (else transparent pixels are blended over the background colour).
class EncodeSetting : public DepthSetting {
    S_POOLED_CLASS(EncodeSetting, 1000, L"s_image_bmp_EncodeSetting")
public:
    static constexpr wchar_t GROUP[] = L"\\BmpEncodeSetting";
    static constexpr int32_t DEFAULT_BPP = 24;

    void reset() override;
    IEncodedImage* encode(image::win::BufferedImage* image) override;

    using EncodeSettingBase::keepTransparency;
    using EncodeSettingBase::setKeepTransparency;

private:
    EncodeSetting();
};

} // namespace s::image::bmp
