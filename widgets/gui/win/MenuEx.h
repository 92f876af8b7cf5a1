#pragma once
#include <windows.h>

#include <vector>

#include "core/thread/ClassPool.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IMenuEx.h"
#include "widgets/gui/win/DrawerHold.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"

namespace s::col::_array { class ArrayS32; }
namespace s::str::strarray { class StrArray; }

namespace s::gui::win {

class Font;
class PopupMenu;

// The owner-drawn menu bar. Its drawer lays the entries out and paints them: the one
// handed to it, else the skin's menu drawer, else the Basic one. A click on a pop-up entry opens
// its menu under the entry; moving to another pop-up entry while one is open switches.
// Alt or F10 on its window puts it in menu mode: it takes the keyboard with its first menu
// highlighted, Left and Right move along it, Down, Up or Enter open the highlighted menu,
// and Escape (or Alt or F10 again) gives the keyboard back to the control that had it.
//
//   MenuEx* bar = MenuEx::create(100);
//   bar->addSubMenu(fileMenu);
//   bar->addCommandListener(this);
//   box->add(bar);
class MenuEx : public Native<Leaf<IMenuEx>> {
    S_POOLED_CLASS(MenuEx, 1000, L"s_gui_win_MenuEx")
public:
    // How long after a pop-up closed a click on the bar may open one again.
    static constexpr int64_t REOPEN_GUARD_MS = 500;
    static constexpr UINT_PTR TRACK_TIMER = 1;
    // Ends the open pop-up from another thread.
    static constexpr UINT MSG_END_MENU = PM_END_MENU;
    // Enters menu mode, or leaves it when the bar is in it.
    static constexpr UINT MSG_OPEN_BY_KEYBOARD = PM_MENU_BY_KEYBOARD;

    static MenuEx* create(int32_t widthPercent);
    ~MenuEx() override;
    void reset() override;

    void onEvent(base::IObject* source, int32_t code) override;
    void takeSkinDrawer(drawer::ISkin* skin) override;
    void takeBasicDrawer() override;
    drawer::IMenu* getDrawer() const { return drawer_.get(); }
    void setParent(IContainer* container) override;

    void setFontCode(int32_t code) override;
    void setFontWeight(int32_t weight) override;
    void setFontColour(int32_t red, int32_t green, int32_t blue) override;
    void setWidthPercent(int32_t percent) override { setPercentSize(percent, state_.heightPercent); }
    void setPadding(int32_t left, int32_t right, int32_t top, int32_t bottom) override;
    void setItemSpacing(int32_t horizontal, int32_t vertical) override;
    void addItem(menuitem::MenuItem* item) override;
    void addSubMenu(IPopupMenu* subMenu) override;
    bool ownsCommand(int32_t commandId) const override;
    bool isChecked(int32_t commandId) const override;
    bool setChecked(int32_t commandId, bool checked) override;
    int32_t getLastCommand() const override { return lastCommand_; }
    void addCommandListener(events::IEventListener* listener) override { commandListeners_.add(listener); }
    void runCommand(int32_t commandId) override;
    void addLanguageListener(events::IEventListener* listener) override { languageListeners_.add(listener); }
    void setDrawer(drawer::IMenu* drawer, bool owned) override;
    void setIgnoreContentWidth(bool on) override;
    void setSingleEntry(bool on) override;
    void recaption() override;
    void addBeforeOpenListener(events::IEventListener* listener) override { beforeOpenListeners_.add(listener); }
    void setLastEntryAtRight(bool on) override { lastAtRight_ = on ? 1 : 0; }

    int32_t getEntryCount() const { return static_cast<int32_t>(entries_.size()); }
    const wchar_t* getEntryCaption(int32_t index) const;
    Font* getFont() const { return font_; }
    // The entry under a point of the bar's client area, -1 for none.
    int32_t entryAt(int32_t x, int32_t y) const;
    bool isPopupOpen() const { return menuOpen_ != 0; }
    int32_t getHoverIndex() const { return hover_; }
    bool inMenuMode() const { return keyMode_ != 0; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Entry {
        menuitem::MenuItem* item;
        PopupMenu* subMenu;
    };

    MenuEx();
    void clearEntries();
    void readCaptions();
    void measure();
    void paint();
    void onMouseMove(int32_t x, int32_t y);
    void onButtonDown(int32_t x, int32_t y);
    void onButtonUp(int32_t x, int32_t y);
    // byKeys: the menu opens with its first entry highlighted.
    void openPopup(int32_t index, bool byKeys);
    void enterMenuMode();
    // giveBack: the keyboard goes back to the control that had it before.
    void leaveMenuMode(bool giveBack);
    // A key while in menu mode: every key is the bar's.
    void onMenuModeKey(WPARAM key);
    // Takes the character an Enter that opens a menu left in the queue.
    void dropTypedReturn();
    // The open menu's first entry that takes a choice is highlighted.
    void highlightFirstEntry(HMENU menu);
    void closePopup();
    void onPopupStarted();
    void setHover(int32_t index);
    // The next (step 1) or previous (-1) entry with a menu from index, wrapping; -1 for none.
    int32_t menuEntryFrom(int32_t index, int32_t step) const;
    // While a pop-up is open: a menu opened by keys starts on its first entry, Left and Right
    // in its own list switch to the neighbouring menu, and an Escape that closes it is
    // remembered.
    static LRESULT CALLBACK menuKeys(int code, WPARAM wParam, LPARAM lParam);
    bool onMenuKey(const MSG* msg);

    Font* font_;
    Font* hotFont_;
    std::vector<Entry> entries_;
    str::strarray::StrArray* captions_;
    col::_array::ArrayS32* rects_;
    int32_t spacingX_, spacingY_;
    DrawerHold<drawer::IMenu> drawer_;
    int32_t hover_;
    int32_t openIndex_;
    uint8_t pressed_;
    uint8_t menuOpen_;
    HWND systemMenu_;
    int64_t closedAt_;
    uint8_t switching_;
    int32_t switchTo_;
    uint8_t keyMode_;
    uint8_t highlightFirst_;  // the open menu came by keys: its first entry is highlighted
    uint8_t escaped_;         // the last key in the open menu was Escape
    HWND returnFocus_;        // the control that had the keyboard before menu mode
    POINT openedAt_;          // the cursor when the menu opened: only a move switches menus
    POINT restingAt_;         // the cursor when the menu closed: only a move marks an entry
    uint8_t ignoreContentWidth_;
    uint8_t singleEntry_;
    uint8_t lastAtRight_;
    int32_t lastCommand_;
    events::ListenerList commandListeners_;
    events::ListenerList languageListeners_;
    events::ListenerList beforeOpenListeners_;
};

} // namespace s::gui::win
