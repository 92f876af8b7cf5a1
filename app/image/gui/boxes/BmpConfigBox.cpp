#include "app/image/gui/boxes/BmpConfigBox.h"

#include "images/image/bmp/EncodeSetting.h"

namespace s::image::gui::boxes {

namespace {

const ConfigBox::Depth DEPTHS[] = {
    {4, 2000023000, L"4 Bpp (16 Colors)"},
    {8, 2000022000, L"8 Bpp (256 Colors)"},
    {24, 2000020000, L"24 Bpp (16,777,216 Colors)"},
    {32, 2000019000, L"32 Bpp (16,777,216 Colors with Transparency)"},
};

} // namespace

BmpConfigBox::BmpConfigBox() : DepthConfigBox(DEPTHS, 4, bmp::EncodeSetting::DEFAULT_BPP) {}

} // namespace s::image::gui::boxes
