#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"

namespace s::lang { class Localizer; }
namespace s::gui::menuitem { class MenuItem; }

namespace s::gui {

class IComponent;

// A native pop-up menu of items and sub-menus: a window's menu bar, tray menu or
// context menu, and the drop-down menus of the owner-drawn bar. Command listeners get
// code 0 from runCommand (getLastCommand tells which).
class IPopupMenu : public events::IEventListener, public base::IObject, public thread::IPoolable {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IPopupMenu";
    const wchar_t* className() const override { return CLASS_NAME; }

    // The menu owns the items and sub-menus it is given.
    virtual void addItem(menuitem::MenuItem* item) = 0;
    virtual void insertItem(int32_t position, menuitem::MenuItem* item) = 0;
    virtual void removeAll() = 0;
    virtual bool removeAt(int32_t position) = 0;
    virtual bool removeById(int32_t commandId) = 0;
    virtual bool removeByValue(intptr_t value) = 0;
    // Searches the sub-menus too.
    virtual menuitem::MenuItem* findItem(int32_t commandId) const = 0;
    virtual bool ownsCommand(int32_t commandId) const = 0;
    // Positions in this menu only.
    virtual bool indexOfCommand(int32_t commandId, int32_t* index) const = 0;
    virtual bool indexOfValue(intptr_t value, int32_t* index) const = 0;
    virtual bool setSubMenuEnabled(IPopupMenu* subMenu, bool enabled) = 0;
    virtual bool setItemEnabled(int32_t commandId, bool enabled) = 0;
    virtual void addSubMenu(IPopupMenu* subMenu) = 0;
    virtual void setLocalizer(lang::Localizer* localizer) = 0;
    virtual bool isChecked(int32_t commandId) const = 0;
    virtual bool setChecked(int32_t commandId, bool checked) = 0;
    virtual bool setItemText(int32_t commandId, const wchar_t* text) = 0;
    virtual bool setItemTextId(int32_t commandId, int32_t textId) = 0;
    virtual void recaption() = 0;
    virtual const wchar_t* getCaption() = 0;
    virtual int32_t getCaptionTextId() const = 0;
    virtual void setCaptionTextId(int32_t textId) = 0;
    virtual void setCaption(const wchar_t* text) = 0;
    // Radio bullet on checkedId among the entries from firstId to lastId (by command).
    virtual bool setRadio(int32_t checkedId, int32_t firstId, int32_t lastId) = 0;
    virtual bool setRadioByPosition(int32_t position) = 0;
    virtual bool setRadioById(int32_t commandId) = 0;
    virtual bool setRadioByValue(intptr_t value) = 0;
    virtual int32_t getLastCommand() const = 0;
    virtual void addCommandListener(events::IEventListener* listener) = 0;
    virtual void removeCommandListener(const events::IEventListener* listener) = 0;
    virtual void runCommand(int32_t commandId) = 0;
    // Open the menu at a screen point until it closes; answer the command picked (0 for
    // none), which the caller runs (runCommand) on the menu that takes its commands.
    virtual int32_t openBottomAligned(int32_t screenX, int32_t screenY, IComponent* owner) = 0;
    virtual int32_t openAt(int32_t screenX, int32_t screenY, IComponent* owner) = 0;
    virtual int32_t getItemCount() const = 0;
    virtual HMENU getNativeMenu() = 0;
};

} // namespace s::gui
