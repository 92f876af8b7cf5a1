#include "app/image/gui/boxes/BmpConfigBox.h"

#include "images/image/bmp/EncodeSetting.h"
#include "widgets/gui/win/GroupBox.h"

namespace s::image::gui::boxes {

namespace {

const ConfigBox::Depth DEPTHS[] = {
    {4, 2000023000, L"4 Bpp (16 Colors)"},
    {8, 2000022000, L"8 Bpp (256 Colors)"},
    {24, 2000020000, L"24 Bpp (16,777,216 Colors)"},
    {32, 2000019000, L"32 Bpp (16,777,216 Colors with Transparency)"},
};

} // namespace

BmpConfigBox::BmpConfigBox() {}

void BmpConfigBox::reset() {
    resetBox();
}

bool BmpConfigBox::settingKeeps() const {
    const auto* s = static_cast<const bmp::EncodeSetting*>(setting());
    return s == nullptr || s->keepTransparency();
}

s::gui::IComponent* BmpConfigBox::buildOwn() {
    const auto* s = static_cast<const bmp::EncodeSetting*>(setting());
    return depthGroup(DEPTHS, 4, s != nullptr ? s->bpp() : bmp::EncodeSetting::DEFAULT_BPP);
}

int32_t BmpConfigBox::chosenBpp() const {
    const auto* s = static_cast<const bmp::EncodeSetting*>(setting());
    return chosenDepth(s != nullptr ? s->bpp() : bmp::EncodeSetting::DEFAULT_BPP);
}

void BmpConfigBox::applyOwn() {
    static_cast<bmp::EncodeSetting*>(setting())->setBpp(chosenBpp());
}

} // namespace s::image::gui::boxes
