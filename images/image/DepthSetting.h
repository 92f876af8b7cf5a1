#pragma once
#include <cstdint>

#include "images/image/EncodeSettingBase.h"

namespace s::image {

// The options of a format with a choice of depths (BMP, GIF): the shared ones and the
// depth in bits per pixel, stored after the colour.
class DepthSetting : public EncodeSettingBase {
public:
    int32_t bpp() const { return bpp_; }
    // Depths the format lacks are refused (false, unchanged).
    bool setBpp(int32_t bpp);
    bool isDepth(int32_t bpp) const;

protected:
    // depths: the format's depths, lowest first (a static table); defaultBpp one of them.
    DepthSetting(const wchar_t* group, uint32_t options, const int32_t* depths, uint32_t depthCount,
                 int32_t defaultBpp);
    // resetBase and the default depth.
    void resetDepth();
    void loadOwnLast(const wchar_t* group) override;
    bool saveOwnLast(const wchar_t* group) override;

private:
    const int32_t* const depths_;
    const uint32_t depthCount_;
    const int32_t defaultBpp_;
    int32_t bpp_;
};

} // namespace s::image
