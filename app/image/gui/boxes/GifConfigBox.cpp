#include "app/image/gui/boxes/GifConfigBox.h"

#include "images/image/gif/EncodeSetting.h"
#include "widgets/gui/win/GroupBox.h"

namespace s::image::gui::boxes {

namespace {

const ConfigBox::Depth DEPTHS[] = {
    {4, 2000023000, L"4 Bpp (16 Colors)"},
    {8, 2000022000, L"8 Bpp (256 Colors)"},
};

} // namespace

GifConfigBox::GifConfigBox() {}

void GifConfigBox::reset() {
    resetBox();
}

bool GifConfigBox::settingKeeps() const {
    const auto* s = static_cast<const gif::EncodeSetting*>(setting());
    return s == nullptr || s->keepTransparency();
}

s::gui::IComponent* GifConfigBox::buildOwn() {
    const auto* s = static_cast<const gif::EncodeSetting*>(setting());
    return depthGroup(DEPTHS, 2, s != nullptr ? s->bpp() : gif::EncodeSetting::DEFAULT_BPP);
}

int32_t GifConfigBox::chosenBpp() const {
    const auto* s = static_cast<const gif::EncodeSetting*>(setting());
    const int32_t fallback = s != nullptr ? s->bpp() : gif::EncodeSetting::DEFAULT_BPP;
    return chosenDepth(fallback) == 4 ? 4 : 8;
}

void GifConfigBox::applyOwn() {
    static_cast<gif::EncodeSetting*>(setting())->setBpp(chosenBpp());
}

} // namespace s::image::gui::boxes
