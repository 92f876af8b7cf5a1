#pragma once
#include <cstdint>

#include "app/image/gui/boxes/ConfigBox.h"

namespace s::image::gui::boxes {

// The options of a format with a choice of depths (BMP, GIF): a button a depth, and the
// background. Its setting is an image::DepthSetting.
class DepthConfigBox : public ConfigBox {
public:
    // The checked depth, else the setting's (or the default) depth.
    int32_t chosenBpp() const;

protected:
    // depths: a static table; defaultBpp: the depth without a setting.
    DepthConfigBox(const Depth* depths, int32_t count, int32_t defaultBpp);
    s::gui::IComponent* buildOwn() override;
    bool keepAllowed() const override { return true; }
    void applyOwn() override;

private:
    // The setting's depth, else the default.
    int32_t settingBpp() const;

    const Depth* const depths_;
    const int32_t count_;
    const int32_t defaultBpp_;
};

} // namespace s::image::gui::boxes
