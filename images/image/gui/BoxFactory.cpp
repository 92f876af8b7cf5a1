#include "images/image/gui/BoxFactory.h"

#include <atomic>

namespace s::image::gui {

namespace {

std::atomic<BoxFactory::Maker> g_maker{nullptr};

} // namespace

void BoxFactory::setMaker(Maker maker) {
    g_maker.store(maker);
}

IEncodeSettingBox* BoxFactory::make(EncodeSettingBase* setting) {
    const Maker maker = g_maker.load();
    return maker != nullptr && setting != nullptr ? maker(setting) : nullptr;
}

} // namespace s::image::gui
