#include "images/image/png/EncodeSetting.h"

#include "images/image/png/win/Png.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::png {

EncodeSetting::EncodeSetting() : EncodeSettingBase(GROUP), keepTransparency_(1), withInterlace_(1) {}

void EncodeSetting::reset() {
    resetBase();
    keepTransparency_ = 1;
    withInterlace_ = 1;
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

void EncodeSetting::loadOwnFirst(const wchar_t* group) {
    setKeepTransparency(readBool(group, KEEP_TRANSPARENCY, true));
    setWithInterlace(readBool(group, WITH_INTERLACE, true));
}

bool EncodeSetting::saveOwnFirst(const wchar_t* group) {
    const bool done = writeBool(group, KEEP_TRANSPARENCY, keepTransparency());
    return writeBool(group, WITH_INTERLACE, withInterlace()) && done;
}

} // namespace s::image::png
