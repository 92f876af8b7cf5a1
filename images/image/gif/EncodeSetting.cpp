#include "images/image/gif/EncodeSetting.h"

#include "images/image/gif/win/Gif.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"

namespace s::image::gif {

namespace {

constexpr int32_t DEPTHS[] = {4, 8};

} // namespace

EncodeSetting::EncodeSetting()
    : DepthSetting(GROUP, OPTION_KEEP_TRANSPARENCY | OPTION_WITH_INTERLACE, DEPTHS, 2, DEFAULT_BPP) {}

void EncodeSetting::reset() {
    resetDepth();
}

IEncodedImage* EncodeSetting::encode(image::win::BufferedImage* image) {
    image::win::BufferedImage* picture = pictureOf(image);
    if (picture == nullptr) {
        return nullptr;
    }
    return win::Gif::createFromImage(picture, bpp(), keepTransparency(), static_cast<uint8_t>(backgroundRed()),
                                     static_cast<uint8_t>(backgroundGreen()), static_cast<uint8_t>(backgroundBlue()));
}

IEncodedImage* EncodeSetting::encode(const image::win::BufferedImageSet* set) {
    if (set == nullptr || set->count() <= 1 || !set->animated()) {
        return EncodeSettingBase::encode(set);
    }
    return win::Gif::createFromSet(set, bpp(), keepTransparency(), static_cast<uint8_t>(backgroundRed()),
                                   static_cast<uint8_t>(backgroundGreen()), static_cast<uint8_t>(backgroundBlue()));
}

} // namespace s::image::gif
