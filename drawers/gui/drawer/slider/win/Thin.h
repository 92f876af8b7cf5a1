#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/ISlider.h"

namespace s::gui::drawer::border::win {
class Thin;
}

namespace s::gui::drawer::slider::win {

// A flat slider: an optional pressed frame, the channel (plain, a gradient or a colour
// sweep, see Sweep) and a raised thumb 10 UI units wide, or two for a selected range.
class Thin : public ISlider {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_slider_win_Thin")

public:
    static constexpr int32_t THUMB_WIDTH = 10;

    // The skins' slider: channel colour, then thumb colour.
    static Thin* newSliderDrawer(COLORREF channel, COLORREF thumb);

    ~Thin() override;
    void reset() override;

    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t minimum, int32_t maximum,
              int32_t value, bool showThumb, int32_t lowerBound, bool enabled, bool channelFlag, int32_t secondValue,
              int32_t fillType, int32_t colourA, int32_t colourB) override;
    uint8_t getThumbRed() const override { return GetRValue(thumb_); }
    uint8_t getThumbGreen() const override { return GetGValue(thumb_); }
    uint8_t getThumbBlue() const override { return GetBValue(thumb_); }
    void setThumbColor(int32_t red, int32_t green, int32_t blue) override;
    void setChannelColor(int32_t red, int32_t green, int32_t blue) override;
    void setDisabledColor(int32_t red, int32_t green, int32_t blue) override;
    // Corner kind of the frame around the slider: 1 or 2; 0 draws none.
    void setFrameCorners(int32_t kind) { frameCorners_ = kind; }
    COLORREF getChannelColor() const { return channel_; }
    COLORREF getDisabledColor() const { return disabled_; }

    // Left edge of the thumb, from 0 (value at the minimum) to width - thumbWidth (at the
    // maximum); values outside the range are held at the ends, and an empty or inverted
    // range puts the thumb at the start.
    static int32_t thumbOffset(int32_t width, int32_t thumbWidth, int32_t minimum, int32_t maximum, int32_t value);

private:
    Thin();

    uint8_t frameCorners_ = 1;
    COLORREF thumb_ = 0;
    COLORREF channel_ = 0;
    COLORREF disabled_ = 0;
    border::win::Thin* frame_ = nullptr;
    border::win::Thin* thumbBorder_ = nullptr;
};

} // namespace s::gui::drawer::slider::win
