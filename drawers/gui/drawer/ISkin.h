#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui::drawer {

class IWindow;
class IButton;
class IText;
class IScrollBar;
class ICheckBox;
class IRadioButton;
class ISlider;
class ICounter;
class IListHeader;
class IListBox;
class IStatusBar;
class IMenu;
class ICombo;
class IGroupBox;
class ITabBox;

// One drawer per widget kind under a name. The skin owns its drawers: a setter takes
// ownership and gives a drawer it replaces back to its pool; releasing the skin gives
// them all back.
class ISkin : public base::IObject, public thread::IPoolable {
public:
    virtual const wchar_t* getName() const = 0;
    virtual void setName(const wchar_t* name) = 0;
    virtual IWindow* getWindow() const = 0;
    virtual void setWindow(IWindow* drawer) = 0;
    virtual IButton* getButton() const = 0;
    virtual void setButton(IButton* drawer) = 0;
    virtual IText* getText() const = 0;
    virtual void setText(IText* drawer) = 0;
    virtual IScrollBar* getScrollBar() const = 0;
    virtual void setScrollBar(IScrollBar* drawer) = 0;
    virtual ICheckBox* getCheckBox() const = 0;
    virtual void setCheckBox(ICheckBox* drawer) = 0;
    virtual IRadioButton* getRadioButton() const = 0;
    virtual void setRadioButton(IRadioButton* drawer) = 0;
    virtual ISlider* getSlider() const = 0;
    virtual void setSlider(ISlider* drawer) = 0;
    virtual ICounter* getCounter() const = 0;
    virtual void setCounter(ICounter* drawer) = 0;
    virtual IListHeader* getListHeader() const = 0;
    virtual void setListHeader(IListHeader* drawer) = 0;
    virtual IListBox* getListBox() const = 0;
    virtual void setListBox(IListBox* drawer) = 0;
    virtual IStatusBar* getStatusBar() const = 0;
    virtual void setStatusBar(IStatusBar* drawer) = 0;
    virtual IMenu* getMenu() const = 0;
    virtual void setMenu(IMenu* drawer) = 0;
    virtual ICombo* getCombo() const = 0;
    virtual void setCombo(ICombo* drawer) = 0;
    virtual IGroupBox* getGroupBox() const = 0;
    virtual void setGroupBox(IGroupBox* drawer) = 0;
    virtual ITabBox* getTabBox() const = 0;
    virtual void setTabBox(ITabBox* drawer) = 0;
};

} // namespace s::gui::drawer
