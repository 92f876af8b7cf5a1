#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/ICounter.h"

namespace s::gui::drawer::counter {
class Series;
}

namespace s::gui::drawer::counter::win {

// A scrolling graph of up to two sample series: newest sample at the right edge, one
// pixel column per sample, as columns or as 5-pixel ticks. Colours are -1 until set;
// a series with no colour of its own and none from the counter is not plotted.
class Basic : public ICounter {
    S_POOLED_CLASS(Basic, 1000, L"s_gui_drawer_counter_win_Basic")

public:
    static constexpr int32_t UNSET = -1;
    static constexpr int32_t TICK = 5;

    // The skins' counter: first and second series colours.
    static Basic* newCounterDrawer(COLORREF first, COLORREF second);

    void reset() override;
    void setBackgroundColor(int32_t red, int32_t green, int32_t blue) override;
    uint8_t getColor1Red() const override { return GetRValue(color1_); }
    uint8_t getColor1Green() const override { return GetGValue(color1_); }
    uint8_t getColor1Blue() const override { return GetBValue(color1_); }
    void setColor1(int32_t red, int32_t green, int32_t blue) override;
    uint8_t getColor2Red() const override { return GetRValue(color2_); }
    uint8_t getColor2Green() const override { return GetGValue(color2_); }
    uint8_t getColor2Blue() const override { return GetBValue(color2_); }
    void setColor2(int32_t red, int32_t green, int32_t blue) override;
    int32_t getColor1() const { return color1_; }
    int32_t getColor2() const { return color2_; }

    // Either series may be null.
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const Series* first,
              const Series* second);

    // Height of a sample's column in a graph `height` pixels high, held within 0 ..
    // height; an empty or inverted range gives 0.
    static int32_t columnHeight(int64_t value, int64_t minimum, int64_t maximum, int32_t height);

private:
    Basic() { reset(); }
    void plot(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const Series* series,
              int32_t fallback) const;

    bool transparent_ = true;
    int32_t background_ = UNSET;
    int32_t color1_ = UNSET;
    int32_t color2_ = UNSET;
};

} // namespace s::gui::drawer::counter::win
