#include "app/image/gui/boxes/DepthConfigBox.h"

#include "images/image/DepthSetting.h"
#include "widgets/gui/win/GroupBox.h"

namespace s::image::gui::boxes {

DepthConfigBox::DepthConfigBox(const Depth* depths, int32_t count, int32_t defaultBpp)
    : depths_(depths), count_(count), defaultBpp_(defaultBpp) {}

int32_t DepthConfigBox::settingBpp() const {
    const auto* s = static_cast<const DepthSetting*>(setting());
    return s != nullptr ? s->bpp() : defaultBpp_;
}

s::gui::IComponent* DepthConfigBox::buildOwn() {
    return depthGroup(depths_, count_, settingBpp());
}

int32_t DepthConfigBox::chosenBpp() const {
    return chosenDepth(settingBpp());
}

void DepthConfigBox::applyOwn() {
    static_cast<DepthSetting*>(setting())->setBpp(chosenBpp());
}

} // namespace s::image::gui::boxes
