#pragma once
#include "widgets/gui/ICheckable.h"

namespace s::gui::drawer { class IRadioButton; }

namespace s::gui {

// A radio button over a native auto radio button; the buttons of one parent form a group.
// Events (source: the radio button): checked and unchecked lists 0 when the state
// changes; enabled and disabled lists 0.
class IRadioButton : public ICheckable {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IRadioButton";
    const wchar_t* className() const override { return CLASS_NAME; }

    // With notify the checked or unchecked listeners are told, changed or not.
    virtual void setChecked(bool checked, bool notify) = 0;
    // The component is editable while checked and read-only while unchecked.
    virtual void editableWhenChecked(IComponent* component) = 0;
    virtual void addEditablerOnChecked(IComponent* component) = 0;
    virtual void addUnEditablerOnUnchecked(IComponent* component) = 0;
    virtual void setDrawer(drawer::IRadioButton* drawer, bool owned) = 0;
};

} // namespace s::gui
