#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IBorder.h"

namespace s::gui::drawer::border::win {

// The three-dimensional frame of buttons, sliders and scroll bars: lines one UI-scale
// unit thick (two pixels from scale 2), edges lighter or darker than the given colour
// by style, corners square, cut or stepped.
class Thin : public IBorder {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_border_win_Thin")

public:
    void reset() override { shaded_ = true; }
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t style, int32_t corners,
              int32_t red, int32_t green, int32_t blue) override;
    void setShaded(bool shaded) override { shaded_ = shaded; }
    bool isShaded() const { return shaded_; }

private:
    Thin() = default;
    bool shaded_ = true;
};

} // namespace s::gui::drawer::border::win
