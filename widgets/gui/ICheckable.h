#pragma once
#include "widgets/gui/IComponent.h"
#include "widgets/gui/IFontOperations.h"

namespace s::gui {

// What check boxes and radio buttons share: a caption (literal or by language-pack text
// id), a checked state kept in the object, four listener lists, and wiring that enables,
// disables or makes editable other components as the state changes. The stored state
// already holds the new value when the checked and unchecked listeners run.
class ICheckable : public IComponent, public IFontOperations {
public:
    virtual void setText(const wchar_t* text) = 0;
    virtual void setTextId(int32_t id) = 0;
    virtual const wchar_t* getText() const = 0;
    virtual int32_t getTextId() const = 0;

    virtual void addCheckedListener(events::IEventListener* listener) = 0;
    virtual void addUncheckedListener(events::IEventListener* listener) = 0;
    // Told (code 0) when setEnabled changes the state, before the control follows.
    virtual void addEnabledListener(events::IEventListener* listener) = 0;
    virtual void addDisabledListener(events::IEventListener* listener) = 0;
    virtual bool isChecked() const = 0;

    // The component is enabled while checked and disabled while unchecked (by the user).
    virtual void enableWhenChecked(IComponent* component) = 0;
    virtual void addEnablerOnChecked(IComponent* component) = 0;
    virtual void addDisablerOnUnchecked(IComponent* component) = 0;
    // The component is disabled while checked and enabled while unchecked.
    virtual void disableWhenChecked(IComponent* component) = 0;
    virtual void addEnablerOnUnchecked(IComponent* component) = 0;
    virtual void addDisablerOnChecked(IComponent* component) = 0;
};

} // namespace s::gui
