#include "images/image/jpg/EncodeSetting.h"

#include "images/image/jpg/win/Jpeg.h"
#include "images/image/win/BufferedImage.h"

namespace s::image::jpg {

EncodeSetting::EncodeSetting() : EncodeSettingBase(GROUP), quality_(INITIAL_QUALITY) {}

void EncodeSetting::reset() {
    resetBase();
    quality_ = INITIAL_QUALITY;
}

bool EncodeSetting::setQuality(int32_t quality) {
    if (quality < 0 || quality > 100) {
        return false;
    }
    quality_ = quality;
    return true;
}

IEncodedImage* EncodeSetting::encode(image::win::BufferedImage* image) {
    image::win::BufferedImage* picture = pictureOf(image);
    if (picture == nullptr) {
        return nullptr;
    }
    return jpg::win::Jpeg::createFromImage(picture, quality_, static_cast<uint8_t>(backgroundRed()),
                                           static_cast<uint8_t>(backgroundGreen()),
                                           static_cast<uint8_t>(backgroundBlue()));
}

void EncodeSetting::loadOwnFirst(const wchar_t* group) {
    // A missing or unusable value keeps the quality held now.
    quality_ = readInt(group, QUALITY, 0, 100, quality_);
}

bool EncodeSetting::saveOwnFirst(const wchar_t* group) {
    return writeInt(group, QUALITY, quality_);
}

} // namespace s::image::jpg
