#pragma once
#include "app/image/gui/boxes/DepthConfigBox.h"
#include "core/thread/ClassPool.h"

namespace s::image::gui::boxes {

// The BMP options: the depth (4, 8, 24 or 32 bits) and the background.
class BmpConfigBox : public DepthConfigBox {
    S_POOLED_CLASS(BmpConfigBox, 1000, L"s_image_gui_boxes_BmpConfigBox")
public:
    void reset() override { resetBox(); }
    const wchar_t* name() const override { return L"Bitmap"; }

private:
    BmpConfigBox();
};

} // namespace s::image::gui::boxes
