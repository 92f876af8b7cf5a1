#pragma once
#include <cstdint>

#include "app/image/gui/boxes/ConfigBox.h"
#include "core/thread/ClassPool.h"

namespace s::image::gui::boxes {

// The GIF options: 4 or 8 bits and the background.
class GifConfigBox : public ConfigBox {
    S_POOLED_CLASS(GifConfigBox, 1000, L"s_image_gui_boxes_GifConfigBox")
public:
    void reset() override;
    const wchar_t* name() const override { return L"Gif"; }
    // 4 when "4 Bpp (16 Colors)" is checked, else 8.
    int32_t chosenBpp() const;
protected:
    s::gui::IComponent* buildOwn() override;
    bool keepAllowed() const override { return true; }
    void applyOwn() override;
    bool settingKeeps() const override;

private:
    GifConfigBox();

};

} // namespace s::image::gui::boxes
