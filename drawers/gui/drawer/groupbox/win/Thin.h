#pragma once
#include "drawers/gui/drawer/groupbox/win/Frame.h"

namespace s::gui::drawer::groupbox::win {

// The flat group box: lines 2 pixels thick (4 from UI scale 2) with closed corners; the
// colour comes from the skin.
class Thin : public Frame {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_groupbox_win_Thin")

protected:
    void drawFrame(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t captionLeft,
                   int32_t captionRight) override;
    int32_t captionOffset() const override;

private:
    Thin() { reset(); }
};

} // namespace s::gui::drawer::groupbox::win
