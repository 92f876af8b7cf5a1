#include "images/image/DepthSetting.h"

namespace s::image {

DepthSetting::DepthSetting(const wchar_t* group, uint32_t options, const int32_t* depths, uint32_t depthCount,
                           int32_t defaultBpp)
    : EncodeSettingBase(group, options), depths_(depths), depthCount_(depthCount), defaultBpp_(defaultBpp),
      bpp_(defaultBpp) {}

void DepthSetting::resetDepth() {
    resetBase();
    bpp_ = defaultBpp_;
}

bool DepthSetting::isDepth(int32_t bpp) const {
    for (uint32_t i = 0; i < depthCount_; ++i) {
        if (depths_[i] == bpp) {
            return true;
        }
    }
    return false;
}

bool DepthSetting::setBpp(int32_t bpp) {
    if (!isDepth(bpp)) {
        return false;
    }
    bpp_ = bpp;
    return true;
}

void DepthSetting::loadOwnLast(const wchar_t* group) {
    const int32_t bpp = readInt(group, BPP, 0, depths_[depthCount_ - 1], defaultBpp_);
    bpp_ = isDepth(bpp) ? bpp : defaultBpp_;
}

bool DepthSetting::saveOwnLast(const wchar_t* group) {
    return writeInt(group, BPP, bpp_);
}

} // namespace s::image
