#pragma once
#include <cstdint>

#include "widgets/gui/IComponent.h"

namespace s::gui::drawer { class ISlider; }

namespace s::gui {

// A horizontal track bar. Change listeners get code 0 when the user moves a thumb.
class ISlider : public IComponent {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_ISlider";
    const wchar_t* className() const override { return CLASS_NAME; }

    virtual void setWidthPercent(int32_t percent) = 0;
    virtual void setHeightPercent(int32_t percent) = 0;
    virtual void setFixedWidth(int32_t width) = 0;
    virtual void setFixedHeight(int32_t height) = 0;
    // <= 0: the native default.
    virtual void setThumbLength(int32_t length) = 0;
    virtual void setRange(int32_t minimum, int32_t maximum) = 0;
    virtual int32_t getMinimum() const = 0;
    virtual int32_t getMaximum() const = 0;
    virtual int32_t getPosition() const = 0;
    // Clamped to the range (and below the second thumb in range mode); tells no listener.
    virtual void setPosition(int32_t value) = 0;
    // Ticks every f, pages of 10 x f, lines of f.
    virtual void setTickFrequency(int32_t f) = 0;
    virtual void setNoTicks(bool noTicks) = 0;
    virtual void addChangeListener(events::IEventListener* listener) = 0;
    virtual void setDrawer(drawer::ISlider* drawer, bool owned) = 0;
    virtual void setDisplayFlag(bool flag) = 0;
    virtual void setDrawerValue(int32_t value) = 0;
    // Two thumbs (a lower and an upper value); only a slider with a drawer shows them.
    virtual void setRangeMode(bool on) = 0;
    virtual int32_t getSecondPosition() const = 0;
    virtual void setSecondPosition(int32_t value) = 0;
    virtual void setDrawerValues(int32_t a, int32_t b, int32_t c) = 0;
};

} // namespace s::gui
