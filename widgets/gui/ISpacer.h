#pragma once
#include "widgets/gui/IComponent.h"
#include "widgets/gui/ISizeRules.h"

namespace s::gui {

// An empty control that takes room along one orientation: a vertical spacer in a row and
// a horizontal one in a column take no room across.
class ISpacer : public IComponent, public ISizeRules {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_ISpacer";
    const wchar_t* className() const override { return CLASS_NAME; }

    enum Orientation : int32_t { HORIZONTAL = 0, VERTICAL = 1 };

    // A change of orientation swaps the width and height rules.
    virtual void setHorizontal() = 0;
    virtual void setVertical() = 0;
    virtual int32_t getOrientation() const = 0;
};

} // namespace s::gui
