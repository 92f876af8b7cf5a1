#include "images/image/png/EncodeSetting.h"

#include "images/image/png/win/Png.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::png {

EncodeSetting::EncodeSetting() : EncodeSettingBase(GROUP, OPTION_KEEP_TRANSPARENCY | OPTION_WITH_INTERLACE) {}

void EncodeSetting::reset() {
    resetBase();
}

IEncodedImage* EncodeSetting::encode(image::win::BufferedImage* image) {
    image::win::BufferedImage* picture = pictureOf(image);
    if (picture == nullptr) {
        return nullptr;
    }
    return png::win::Png::createFromImage(picture, withInterlace(), keepTransparency(),
                                          static_cast<uint8_t>(backgroundRed()),
                                          static_cast<uint8_t>(backgroundGreen()),
                                          static_cast<uint8_t>(backgroundBlue()));
}

} // namespace s::image::png
