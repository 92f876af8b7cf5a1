#include "widgets/gui/dialogs/win/ColorPicker.h"

#include "framework/CColorDialog.h"
#include "widgets/gui/dialogs/win/OwnerHold.h"

namespace s::gui::dialogs::win {

void ColorPicker::reset() {
    color_ = 0xFFFFFF;
    red_ = green_ = blue_ = 255;
    initial_ = 0xFFFFFF;
}

uint32_t ColorPicker::packedToColorref(uint32_t packed) {
    return ((packed >> 16) & 0xFF) | (packed & 0xFF00) | ((packed & 0xFF) << 16);
}

uint32_t ColorPicker::colorrefToPacked(uint32_t colorref) {
    // The same byte swap both ways.
    return packedToColorref(colorref);
}

void ColorPicker::setInitialColor(int32_t red, int32_t green, int32_t blue) {
    initial_ = static_cast<uint32_t>(red & 0xFF) << 16 | static_cast<uint32_t>(green & 0xFF) << 8 |
               static_cast<uint32_t>(blue & 0xFF);
}

bool ColorPicker::run(IWindow* owner) {
    OwnerHold hold(owner);
    CColorDialog dialog(packedToColorref(initial_), CC_FULLOPEN, hold.frame());
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    const COLORREF chosen = dialog.GetColor();
    red_ = GetRValue(chosen);
    green_ = GetGValue(chosen);
    blue_ = GetBValue(chosen);
    color_ = colorrefToPacked(chosen);
    return true;
}

} // namespace s::gui::dialogs::win
