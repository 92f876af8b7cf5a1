#pragma once
#include "widgets/gui/IComponent.h"
#include "widgets/gui/ISizeRules.h"

namespace s::gui {

// The Windows progress control. Range and position are kept by the widget and given to
// the control when it is made.
class IProgressBar : public IComponent, public ISizeRules {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IProgressBar";
    const wchar_t* className() const override { return CLASS_NAME; }

    virtual void setRange(int32_t minimum, int32_t maximum) = 0;
    virtual void setProgress(int32_t position) = 0;
    virtual int32_t getMinimum() const = 0;
    virtual int32_t getMaximum() const = 0;
    virtual int32_t getProgress() const = 0;
};

} // namespace s::gui
