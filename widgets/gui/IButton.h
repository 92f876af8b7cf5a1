#pragma once
#include "widgets/gui/IComponent.h"
#include "widgets/gui/IFontOperations.h"
#include "widgets/gui/ISizeRules.h"

namespace s::gui::drawer { class IButton; }

namespace s::gui {

// A push button. Besides a click it can latch as a toggle, repeat a press event while
// held, act as the default button and show a glyph caption ("#" and a name) painted by
// its drawer; a button captioned "#Resizer" resizes its window when dragged.
//
// Events (source: the button): 1 click, 2 after click (after the toggle step),
// 3 press (left button down, double click, and repeats while held with repeat on).
class IButton : public IComponent, public IFontOperations, public ISizeRules {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IButton";
    const wchar_t* className() const override { return CLASS_NAME; }

    enum Event : int32_t { CLICK = 1, AFTER_CLICK = 2, PRESS = 3 };

    virtual void setText(const wchar_t* text) = 0;
    // The caption from the window's language pack, following language changes.
    virtual void setTextId(int32_t id) = 0;
    virtual const wchar_t* getText() const = 0;

    virtual void addClickListener(events::IEventListener* listener) = 0;
    virtual void addAfterClickListener(events::IEventListener* listener) = 0;
    virtual void addPressListener(events::IEventListener* listener) = 0;
    // Held-repeat: press events every 100 ms while held, the first 600 ms after the press.
    virtual void setRepeat(bool on) = 0;
    // An owned drawer is given back with the button or when replaced.
    virtual void setDrawer(drawer::IButton* drawer, bool owned) = 0;
    // Stored for the drawer.
    virtual void setLook(bool on) = 0;
    virtual void setToggleOptions(bool toggleable, bool releasable, bool inverted, bool option) = 0;
    virtual bool isReleasable() const = 0;
    virtual bool isToggled() const = 0;
    virtual void setToggled(bool toggled) = 0;
    // The default-button style (BS_DEFPUSHBUTTON), set on the control's own thread.
    virtual void makeDefault() = 0;
    virtual void clearDefault() = 0;
    virtual bool isDefault() const = 0;
    // The enabled state of the object only; the control is left as it is.
    virtual void setEnabledFlag(bool enabled) = 0;
    // Caption "#Color-" and the COLORREF as eight lower-case hex digits.
    virtual void setColorCaption(int32_t red, int32_t green, int32_t blue) = 0;
};

} // namespace s::gui
