#pragma once
#include <windows.h>

#include "framework/CBrush.h"
#include "framework/CSliderCtrl.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/ISlider.h"
#include "widgets/gui/win/DrawerHold.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"

namespace s::gui::win {

// The toolkit's track bar. Range, position and ticks live in the object and are pushed
// into the native control when it is made. Without a drawer the native control paints
// and moves itself; with one the slider paints through it and follows the mouse itself,
// which also allows a second thumb (range mode).
//
//   Slider* s = Slider::create(100, -1);   // 0..100 at 100, ticks every 10
//   s->addChangeListener(this);
//   box->add(s);
class Slider : public Native<Leaf<ISlider>, CSliderCtrl> {
    S_POOLED_CLASS(Slider, 1000, L"s_gui_win_Slider")
public:
    static constexpr UINT CONTROL_ID = 1040;
    // Pixels a drawn thumb is wide (the thumb picking of range mode).
    static constexpr int32_t THUMB_WIDTH = 10;

    static Slider* create(int32_t widthPercent, int32_t heightPercent);
    // A slider over 0..range at the position, ticks every tickFrequency (the dialogs' form).
    static Slider* create(int32_t range, int32_t position, int32_t tickFrequency);
    ~Slider() override;

    void reset() override;
    void onEvent(base::IObject* source, int32_t) override { takeSkinDrawerOn(source); }
    void takeSkinDrawer(drawer::ISkin* skin) override;
    drawer::ISlider* getDrawer() const { return drawer_.get(); }
    void setParent(IContainer* container) override;
    bool isEnabled() const override { return enabled_ != 0; }
    void setEnabled(bool enabled) override;

    void setWidthPercent(int32_t percent) override { setPercentSize(percent, state_.heightPercent); }
    void setHeightPercent(int32_t percent) override { setPercentSize(state_.widthPercent, percent); }
    void setFixedWidth(int32_t width) override { setFixedSize(width, state_.fixedHeight); }
    void setFixedHeight(int32_t height) override { setFixedSize(state_.fixedWidth, height); }
    void setThumbLength(int32_t length) override;
    void setRange(int32_t minimum, int32_t maximum) override;
    int32_t getMinimum() const override { return minimum_; }
    int32_t getMaximum() const override { return maximum_; }
    int32_t getPosition() const override { return position_; }
    void setPosition(int32_t value) override;
    void setTickFrequency(int32_t f) override;
    void setNoTicks(bool noTicks) override;
    void addChangeListener(events::IEventListener* listener) override { listeners_.add(listener); }
    void setDrawer(drawer::ISlider* drawer, bool owned) override;
    void setDisplayFlag(bool flag) override;
    void setDrawerValue(int32_t value) override { drawerValue_ = value; }
    void setRangeMode(bool on) override { rangeMode_ = on ? 1 : 0; }
    int32_t getSecondPosition() const override { return secondPosition_; }
    void setSecondPosition(int32_t value) override;
    void setDrawerValues(int32_t a, int32_t b, int32_t c) override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The value under a mouse coordinate on a channel from left to right: rounded, within
    // the range; the minimum on a channel without width.
    static int32_t valueAt(int32_t minimum, int32_t maximum, int32_t coordinate, int32_t left, int32_t right);
    // Where a drawn thumb of the value starts on a control of the width.
    static int32_t thumbX(int32_t width, int32_t minimum, int32_t maximum, int32_t value);

private:
    Slider();
    int32_t clampFirst(int32_t value) const;
    int32_t clampSecond(int32_t value) const;
    void pushState();
    void readNativePosition();
    void paint();
    void pressAt(int32_t x, int32_t y);
    void followMouse(int32_t x, int32_t y);
    LRESULT colour(HDC dc);
    void fireChange() { listeners_.fire(this, 0); }

    int32_t thumbLength_;
    uint8_t enabled_;
    uint8_t noTicks_;
    int32_t minimum_, maximum_, position_, tickFrequency_;
    events::ListenerList listeners_;
    DrawerHold<drawer::ISlider> drawer_;
    uint8_t displayFlag_;
    int32_t drawerValue_;
    uint8_t dragging_, moved_, rangeMode_, draggedThumb_;
    int32_t secondPosition_;
    int32_t values_[3];
    uint8_t transparent_;
    // The range and position of the last paint: a change repaints the whole control.
    int32_t painted_[3];
    CBrush brush_;
};

} // namespace s::gui::win
