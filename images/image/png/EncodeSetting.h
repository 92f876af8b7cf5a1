#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "images/image/EncodeSettingBase.h"

namespace s::image::png {

// PNG options: Adam7 interlacing, and whether transparency is kept (else transparent
// pixels are blended over the background colour).
class EncodeSetting : public EncodeSettingBase {
    S_POOLED_CLASS(EncodeSetting, 1000, L"s_image_png_EncodeSetting")
public:
    static constexpr wchar_t GROUP[] = L"\\PngEncodeSetting";

    void reset() override;
    IEncodedImage* encode(image::win::BufferedImage* image) override;

    using EncodeSettingBase::keepTransparency;
    using EncodeSettingBase::setKeepTransparency;
    using EncodeSettingBase::withInterlace;
    using EncodeSettingBase::setWithInterlace;

private:
    EncodeSetting();
};

} // namespace s::image::png
