#include "images/image/gif/EncodeSetting.h"

#include "images/image/gif/win/Gif.h"
#include "images/image/win/BufferedImage.h"
#include "images/image/win/BufferedImageSet.h"

namespace s::image::gif {

EncodeSetting::EncodeSetting()
    : EncodeSettingBase(GROUP), keepTransparency_(1), withInterlace_(1), bpp_(DEFAULT_BPP) {}

void EncodeSetting::reset() {
    resetBase();
    keepTransparency_ = 1;
    withInterlace_ = 1;
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

void EncodeSetting::loadOwnFirst(const wchar_t* group) {
    setKeepTransparency(readBool(group, KEEP_TRANSPARENCY, true));
    setWithInterlace(readBool(group, WITH_INTERLACE, true));
}

void EncodeSetting::loadOwnLast(const wchar_t* group) {
    const int32_t bpp = readInt(group, BPP, 0, 8, DEFAULT_BPP);
    bpp_ = isDepth(bpp) ? bpp : DEFAULT_BPP;
}

bool EncodeSetting::saveOwnFirst(const wchar_t* group) {
    const bool done = writeBool(group, KEEP_TRANSPARENCY, keepTransparency());
    return writeBool(group, WITH_INTERLACE, withInterlace()) && done;
}

bool EncodeSetting::saveOwnLast(const wchar_t* group) {
    return writeInt(group, BPP, bpp_);
}

} // namespace s::image::gif
