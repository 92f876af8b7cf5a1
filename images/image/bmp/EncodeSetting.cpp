#include "images/image/bmp/EncodeSetting.h"

#include "images/image/bmp/win/Bitmap.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::bmp {

namespace {

constexpr int32_t DEPTHS[] = {4, 8, 24, 32};

} // namespace

EncodeSetting::EncodeSetting() : DepthSetting(GROUP, OPTION_KEEP_TRANSPARENCY, DEPTHS, 4, DEFAULT_BPP) {}

void EncodeSetting::reset() {
    resetDepth();
}

IEncodedImage* EncodeSetting::encode(image::win::BufferedImage* image) {
    image::win::BufferedImage* picture = pictureOf(image);
    if (picture == nullptr) {
        return nullptr;
    }
    return bmp::win::Bitmap::createFromImage(picture, bpp(), keepTransparency(), static_cast<uint8_t>(backgroundRed()),
                                             static_cast<uint8_t>(backgroundGreen()),
                                             static_cast<uint8_t>(backgroundBlue()));
}

} // namespace s::image::bmp
