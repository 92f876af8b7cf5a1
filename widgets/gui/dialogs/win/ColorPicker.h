#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "widgets/gui/dialogs/IFileOpener.h"

namespace s::gui::dialogs::win {

// The pooled colour dialog. Colours are packed 0xRRGGBB (red in the high byte).
class ColorPicker : public IColorPicker {
    S_POOLED_CLASS(ColorPicker, 1000, L"s_gui_dialogs_win_ColorPicker")
public:
    void reset() override;

    bool run(IWindow* owner) override;
    uint32_t getColor() const override { return color_; }
    int32_t getRed() const override { return red_; }
    int32_t getGreen() const override { return green_; }
    int32_t getBlue() const override { return blue_; }
    void setInitialColor(int32_t red, int32_t green, int32_t blue) override;

    // 0xRRGGBB and the Windows order (R | G<<8 | B<<16) into each other.
    static uint32_t packedToColorref(uint32_t packed);
    static uint32_t colorrefToPacked(uint32_t colorref);

private:
    ColorPicker() { reset(); }

    uint32_t color_;
    int32_t red_, green_, blue_;
    uint32_t initial_;
};

} // namespace s::gui::dialogs::win
