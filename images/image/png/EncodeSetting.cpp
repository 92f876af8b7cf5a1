#include "images/image/png/EncodeSetting.h"

#include "app/image/gui/boxes/PngConfigBox.h"
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

gui::boxes::ConfigBox* EncodeSetting::newBox() const {
    return gui::boxes::PngConfigBox::pool();
}

void EncodeSetting::applyOwnBox(const gui::boxes::ConfigBox* box) {
    setWithInterlace(static_cast<const gui::boxes::PngConfigBox*>(box)->interlace());
}

} // namespace s::image::png
