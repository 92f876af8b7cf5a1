#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "images/image/EncodeSettingBase.h"

namespace s::image::bmp {

// BMP options: depth 4, 8, 24 or 32 bits, and whether 32-bit files keep transparency
// (else transparent pixels are blended over the background colour).
class EncodeSetting : public EncodeSettingBase {
    S_POOLED_CLASS(EncodeSetting, 1000, L"s_image_bmp_EncodeSetting")
public:
    static constexpr wchar_t GROUP[] = L"\\BmpEncodeSetting";
    static constexpr int32_t DEFAULT_BPP = 24;

    void reset() override;
    IEncodedImage* encode(image::win::BufferedImage* image) override;

    using EncodeSettingBase::keepTransparency;
    using EncodeSettingBase::setKeepTransparency;
    int32_t bpp() const { return bpp_; }
    // Depths other than 4, 8, 24 and 32 are refused (false, unchanged).
    bool setBpp(int32_t bpp);
    static bool isDepth(int32_t bpp) { return bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }

protected:
    void loadOwnLast(const wchar_t* group) override;
    bool saveOwnLast(const wchar_t* group) override;

private:
    EncodeSetting();

    int32_t bpp_;
};

} // namespace s::image::bmp
