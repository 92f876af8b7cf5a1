#include "images/image/gif/EncodeSetting.h"

#include "images/image/gif/win/Gif.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"

namespace s::image::gif {

EncodeSetting::EncodeSetting()
    : EncodeSettingBase(GROUP, OPTION_KEEP_TRANSPARENCY | OPTION_WITH_INTERLACE), bpp_(DEFAULT_BPP) {}

void EncodeSetting::reset() {
    resetBase();
    bpp_ = DEFAULT_BPP;
}

bool EncodeSetting::setBpp(int32_t bpp) {
    if (!isDepth(bpp)) {
        return false;
    }
    bpp_ = bpp;
    return true;
}

IEncodedImage* EncodeSetting::encode(image::win::BufferedImage* image) {
    image::win::BufferedImage* picture = pictureOf(image);
    if (picture == nullptr) {
        return nullptr;
    }
    return win::Gif::createFromImage(picture, bpp_, keepTransparency(), static_cast<uint8_t>(backgroundRed()),
                                     static_cast<uint8_t>(backgroundGreen()), static_cast<uint8_t>(backgroundBlue()));
}

IEncodedImage* EncodeSetting::encode(const image::win::BufferedImageSet* set) {
    if (set == nullptr || set->count() <= 1 || !set->animated()) {
        return EncodeSettingBase::encode(set);
    }
    return win::Gif::createFromSet(set, bpp_, keepTransparency(), static_cast<uint8_t>(backgroundRed()),
                                   static_cast<uint8_t>(backgroundGreen()), static_cast<uint8_t>(backgroundBlue()));
}

void EncodeSetting::loadOwnLast(const wchar_t* group) {
    const int32_t bpp = readInt(group, BPP, 0, 8, DEFAULT_BPP);
    bpp_ = isDepth(bpp) ? bpp : DEFAULT_BPP;
}


bool EncodeSetting::saveOwnLast(const wchar_t* group) {
    return writeInt(group, BPP, bpp_);
}

} // namespace s::image::gif
