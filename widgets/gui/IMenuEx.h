#pragma once
#include <cstdint>

#include "widgets/gui/IComponent.h"

namespace s::gui::drawer { class IMenu; }
namespace s::gui::menuitem { class MenuItem; }

namespace s::gui {

class IPopupMenu;

// The owner-drawn menu bar: command entries and entries that open a pop-up menu.
// Command listeners get code 0 (getLastCommand tells which), language listeners code 0
// after a recaption, before-open listeners code 1 before a pop-up opens.
class IMenuEx : public IComponent {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IMenuEx";
    const wchar_t* className() const override { return CLASS_NAME; }

    virtual void setFontCode(int32_t code) = 0;
    virtual void setFontWeight(int32_t weight) = 0;
    virtual void setFontColour(int32_t red, int32_t green, int32_t blue) = 0;
    virtual void setWidthPercent(int32_t percent) = 0;
    virtual void setPadding(int32_t left, int32_t right, int32_t top, int32_t bottom) = 0;
    virtual void setItemSpacing(int32_t horizontal, int32_t vertical) = 0;
    // The bar owns the entries it is given.
    virtual void addItem(menuitem::MenuItem* item) = 0;
    virtual void addSubMenu(IPopupMenu* subMenu) = 0;
    virtual bool ownsCommand(int32_t commandId) const = 0;
    virtual bool isChecked(int32_t commandId) const = 0;
    virtual bool setChecked(int32_t commandId, bool checked) = 0;
    virtual int32_t getLastCommand() const = 0;
    virtual void addCommandListener(events::IEventListener* listener) = 0;
    virtual void runCommand(int32_t commandId) = 0;
    virtual void addLanguageListener(events::IEventListener* listener) = 0;
    virtual void setDrawer(drawer::IMenu* drawer, bool owned) = 0;
    // The preferred width becomes 0, so the bar takes the width its layout gives it.
    virtual void setIgnoreContentWidth(bool on) = 0;
    // The whole bar acts as its first entry.
    virtual void setSingleEntry(bool on) = 0;
    virtual void recaption() = 0;
    virtual void addBeforeOpenListener(events::IEventListener* listener) = 0;
    virtual void setLastEntryAtRight(bool on) = 0;
};

} // namespace s::gui
