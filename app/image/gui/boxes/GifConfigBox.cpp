#include "app/image/gui/boxes/GifConfigBox.h"

#include "images/image/gif/EncodeSetting.h"

namespace s::image::gui::boxes {

namespace {

const ConfigBox::Depth DEPTHS[] = {
    {4, 2000023000, L"4 Bpp (16 Colors)"},
    {8, 2000022000, L"8 Bpp (256 Colors)"},
};

} // namespace

GifConfigBox::GifConfigBox() : DepthConfigBox(DEPTHS, 2, gif::EncodeSetting::DEFAULT_BPP) {}

} // namespace s::image::gui::boxes
