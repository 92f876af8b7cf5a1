#pragma once
#include "drawers/gui/drawer/groupbox/win/Frame.h"

namespace s::gui::drawer::groupbox::win {

// The system-like group box: one-pixel lines with small stepped corners, the caption
// in blue.
class Basic : public Frame {
    S_POOLED_CLASS(Basic, 1000, L"s_gui_drawer_groupbox_win_Basic")

public:
    void reset() override;

protected:
    void drawFrame(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t captionLeft,
                   int32_t captionRight) override;
    int32_t captionOffset() const override;

private:
    Basic() { reset(); }
};

} // namespace s::gui::drawer::groupbox::win
