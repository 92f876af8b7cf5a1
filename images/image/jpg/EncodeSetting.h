#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "images/image/EncodeSettingBase.h"

namespace s::image::jpg {

// JPEG options: the quality (0-100); transparent pixels are always blended over the
// background colour.
class EncodeSetting : public EncodeSettingBase {
    S_POOLED_CLASS(EncodeSetting, 1000, L"s_image_jpg_EncodeSetting")
public:
    static constexpr wchar_t GROUP[] = L"\\JpgEncodeSetting";
    static constexpr int32_t INITIAL_QUALITY = 75;

    void reset() override;
    IEncodedImage* encode(image::win::BufferedImage* image) override;

    int32_t quality() const { return quality_; }
    // Qualities outside 0-100 are refused (false, unchanged).
    bool setQuality(int32_t quality);

protected:
    void loadOwnFirst(const wchar_t* group) override;
    bool saveOwnFirst(const wchar_t* group) override;

private:
    EncodeSetting();

    int32_t quality_;
};

} // namespace s::image::jpg
