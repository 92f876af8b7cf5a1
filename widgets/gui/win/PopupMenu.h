#pragma once
#include <string>
#include <vector>

#include "core/thread/ClassPool.h"
#include "framework/CMenu.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IPopupMenu.h"

namespace s::gui::win {

// The toolkit's pop-up menu over a native one, made on first need. Entries are items
// and sub-menus in menu order; positions count both.
//
//   PopupMenu* m = PopupMenu::pool();
//   m->addItem(MenuItem::createWithText(L"Open", 101));
//   m->addCommandListener(this);
//   if (int32_t id = m->openAt(x, y, owner)) m->runCommand(id);
class PopupMenu : public IPopupMenu, public CMenu {
    S_POOLED_CLASS(PopupMenu, 1000, L"s_gui_win_PopupMenu")
public:
    // TrackPopupMenu flags: the tray menu opens above the point, the others below.
    static constexpr UINT OPEN_BOTTOM_ALIGNED = TPM_NOANIMATION | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON;
    static constexpr UINT OPEN_AT = TPM_NOANIMATION | TPM_RIGHTBUTTON;

    static PopupMenu* createWithTextId(lang::Localizer* localizer, int32_t textId);
    ~PopupMenu() override;
    void reset() override;

    // A language change recaptions the menu.
    void onEvent(base::IObject* source, int32_t code) override;

    void addItem(menuitem::MenuItem* item) override { insertItem(getItemCount(), item); }
    void insertItem(int32_t position, menuitem::MenuItem* item) override;
    void removeAll() override;
    bool removeAt(int32_t position) override;
    bool removeById(int32_t commandId) override;
    bool removeByValue(intptr_t value) override;
    menuitem::MenuItem* findItem(int32_t commandId) const override;
    bool ownsCommand(int32_t commandId) const override { return findItem(commandId) != nullptr; }
    bool indexOfCommand(int32_t commandId, int32_t* index) const override;
    bool indexOfValue(intptr_t value, int32_t* index) const override;
    bool setSubMenuEnabled(IPopupMenu* subMenu, bool enabled) override;
    bool setItemEnabled(int32_t commandId, bool enabled) override;
    void addSubMenu(IPopupMenu* subMenu) override;
    void setLocalizer(lang::Localizer* localizer) override;
    bool isChecked(int32_t commandId) const override;
    bool setChecked(int32_t commandId, bool checked) override;
    bool setItemText(int32_t commandId, const wchar_t* text) override;
    bool setItemTextId(int32_t commandId, int32_t textId) override;
    void recaption() override;
    const wchar_t* getCaption() override;
    int32_t getCaptionTextId() const override { return captionTextId_; }
    void setCaptionTextId(int32_t textId) override { captionTextId_ = textId; }
    void setCaption(const wchar_t* text) override { caption_ = text != nullptr ? text : L""; }
    bool setRadio(int32_t checkedId, int32_t firstId, int32_t lastId) override;
    bool setRadioByPosition(int32_t position) override;
    bool setRadioById(int32_t commandId) override;
    bool setRadioByValue(intptr_t value) override;
    int32_t getLastCommand() const override { return lastCommand_; }
    void addCommandListener(events::IEventListener* listener) override { listeners_.add(listener); }
    void removeCommandListener(const events::IEventListener* listener) override { listeners_.remove(listener); }
    bool hasCommandListener(const events::IEventListener* listener) const { return listeners_.contains(listener); }
    void runCommand(int32_t commandId) override;
    int32_t openBottomAligned(int32_t screenX, int32_t screenY, IComponent* owner) override {
        return open(OPEN_BOTTOM_ALIGNED, screenX, screenY, owner);
    }
    int32_t openAt(int32_t screenX, int32_t screenY, IComponent* owner) override {
        return open(OPEN_AT, screenX, screenY, owner);
    }
    int32_t getItemCount() const override { return static_cast<int32_t>(entries_.size()); }
    HMENU getNativeMenu() override { return native(); }

    // The sub-menu at a position (null for an item or outside the menu).
    PopupMenu* subMenuAt(int32_t position) const;
    menuitem::MenuItem* itemAt(int32_t position) const;

private:
    struct Entry {
        menuitem::MenuItem* item;
        PopupMenu* subMenu;
    };

    PopupMenu();
    // Above UI scale 1 every entry, down the sub-menus, is drawn by the toolkit.
    void scaleEntries();
    HMENU native();
    int32_t open(UINT flags, int32_t x, int32_t y, IComponent* owner);
    bool removeEntry(int32_t position);
    // The first item of the command here, else in the sub-menus, and the menu holding it.
    menuitem::MenuItem* find(int32_t commandId, const PopupMenu** holder) const;
    int32_t positionOfSubMenu(const IPopupMenu* subMenu) const;
    void setEntryText(UINT position, const wchar_t* text);
    bool radioRange(int32_t checkedId, int32_t firstPosition, int32_t lastPosition);

    lang::Localizer* localizer_;
    std::wstring caption_;
    int32_t captionTextId_;
    std::vector<Entry> entries_;
    events::ListenerList listeners_;
    int32_t lastCommand_;
};

} // namespace s::gui::win
