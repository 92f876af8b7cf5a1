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

    bool keepTransparency() const { return keepTransparency_ != 0; }
    void setKeepTransparency(bool keep) { keepTransparency_ = keep ? 1 : 0; }
    bool withInterlace() const { return withInterlace_ != 0; }
    void setWithInterlace(bool interlace) { withInterlace_ = interlace ? 1 : 0; }

protected:
    void loadOwnFirst(const wchar_t* group) override;
    bool saveOwnFirst(const wchar_t* group) override;

private:
    EncodeSetting();

    uint8_t keepTransparency_;
    uint8_t withInterlace_;
};

} // namespace s::image::png
