#pragma once
#include <cstdint>

#include "app/image/gui/boxes/ConfigBox.h"
#include "core/thread/ClassPool.h"

namespace s::image::gui::boxes {

// The BMP options: the depth (4, 8, 24 or 32 bits) and the background.
class BmpConfigBox : public ConfigBox {
    S_POOLED_CLASS(BmpConfigBox, 1000, L"s_image_gui_boxes_BmpConfigBox")
public:
    void reset() override;
    const wchar_t* name() const override { return L"Bitmap"; }
    // The checked depth, else the setting's (or the default) depth.
    int32_t chosenBpp() const;
protected:
    s::gui::IComponent* buildOwn() override;
    bool keepAllowed() const override { return true; }
    void applyOwn() override;
    bool settingKeeps() const override;

private:
    BmpConfigBox();

};

} // namespace s::image::gui::boxes
