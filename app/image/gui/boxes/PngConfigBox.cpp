#include "app/image/gui/boxes/PngConfigBox.h"

#include "images/image/png/EncodeSetting.h"
#include "widgets/gui/win/CheckBox.h"

namespace s::image::gui::boxes {

PngConfigBox::PngConfigBox() : interlace_(nullptr) {}

void PngConfigBox::reset() {
    resetBox();
    interlace_ = nullptr;
}

s::gui::IComponent* PngConfigBox::buildOwn() {
    const auto* s = static_cast<const png::EncodeSetting*>(setting());
    interlace_ = s::gui::win::CheckBox::createWithText(L"Interlace", s == nullptr || s->withInterlace());
    return interlace_;
}

bool PngConfigBox::interlace() const {
    const auto* s = static_cast<const png::EncodeSetting*>(setting());
    return interlace_ != nullptr ? interlace_->isChecked() : s == nullptr || s->withInterlace();
}

void PngConfigBox::applyOwn() {
    static_cast<png::EncodeSetting*>(setting())->setWithInterlace(interlace());
}

} // namespace s::image::gui::boxes
