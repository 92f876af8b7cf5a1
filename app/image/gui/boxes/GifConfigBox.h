#pragma once
#include "app/image/gui/boxes/DepthConfigBox.h"
#include "core/thread/ClassPool.h"

namespace s::image::gui::boxes {

// The GIF options: 4 or 8 bits and the background.
class GifConfigBox : public DepthConfigBox {
    S_POOLED_CLASS(GifConfigBox, 1000, L"s_image_gui_boxes_GifConfigBox")
public:
    void reset() override { resetBox(); }
    const wchar_t* name() const override { return L"Gif"; }

private:
    GifConfigBox();
};

} // namespace s::image::gui::boxes
