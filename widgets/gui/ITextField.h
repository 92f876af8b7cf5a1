#pragma once
#include "widgets/gui/IComponent.h"
#include "widgets/gui/IFontOperations.h"
#include "widgets/gui/ISizeRules.h"

namespace s::gui {

// A single-line edit field. Events (source: the field): 1 the text changed (typing, or
// setText with notify), 2 Enter pressed in it (the key goes no further), 3 focus lost.
class ITextField : public IComponent, public IFontOperations, public ISizeRules {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_ITextField";
    const wchar_t* className() const override { return CLASS_NAME; }

    enum Event : int32_t { CHANGE = 1, ENTER = 2, FOCUS_LOST = 3 };

    // The text, read from the control when it exists.
    virtual const wchar_t* getText() const = 0;
    virtual void setText(const wchar_t* text, bool notify) = 0;
    virtual bool isEmpty() const = 0;
    virtual void clear() = 0;
    virtual void addChangeListener(events::IEventListener* listener) = 0;
    virtual void addEnterListener(events::IEventListener* listener) = 0;
    virtual void addFocusLostListener(events::IEventListener* listener) = 0;
    // From any thread: the field takes the focus and selects its text on its own thread.
    virtual void requestFocusAndSelectAll() = 0;
    // The same on the calling thread, which must be the field's.
    virtual void focusAndSelectAll() = 0;
    // Shows "*" for every character.
    virtual void setPassword(bool on) = 0;
};

} // namespace s::gui
