#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IWindow.h"

namespace s::gui::drawer::window::win {

// The flat frame of a skinned top-level window: a one-pixel line with square, small or
// large round corners, an optional background, and the matching window region.
class Thin : public IWindow {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_window_win_Thin")

public:
    void reset() override;
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    // The frame colour, as the skins colour every drawer.
    void setColor(int32_t red, int32_t green, int32_t blue) override { setFrameColor(red, green, blue); }
    HRGN createRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    uint32_t getBackgroundColor() const override { return background_; }
    uint8_t getBackgroundRed() const override { return GetRValue(background_); }
    uint8_t getBackgroundGreen() const override { return GetGValue(background_); }
    uint8_t getBackgroundBlue() const override { return GetBValue(background_); }
    void setBackgroundColor(int32_t red, int32_t green, int32_t blue) override;
    uint8_t getFrameRed() const override { return GetRValue(frame_); }
    uint8_t getFrameGreen() const override { return GetGValue(frame_); }
    uint8_t getFrameBlue() const override { return GetBValue(frame_); }
    void setFrameColor(int32_t red, int32_t green, int32_t blue) override;
    void setTopCorners(int32_t kind) override { topCorners_ = kind; }
    void setBottomCorners(int32_t kind) override { bottomCorners_ = kind; }
    bool isTransparent() const { return transparent_; }

private:
    Thin() { reset(); }

    int32_t topCorners_ = 0;
    int32_t bottomCorners_ = 0;
    bool transparent_ = true;
    COLORREF background_ = RGB(255, 255, 255);
    COLORREF frame_ = RGB(120, 120, 120);
};

} // namespace s::gui::drawer::window::win
