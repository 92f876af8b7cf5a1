#include "widgets/gui/win/PopupMenu.h"

#include "system/lang/Localizer.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/IComponent.h"
#include "widgets/gui/menuitem/MenuItem.h"
#include "widgets/gui/win/ScaledMenu.h"

namespace s::gui::win {

using menuitem::MenuItem;

PopupMenu::PopupMenu() : localizer_(nullptr), captionTextId_(-1), lastCommand_(0) {}

PopupMenu::~PopupMenu() {
    removeAll();
}

PopupMenu* PopupMenu::createWithTextId(lang::Localizer* localizer, int32_t textId) {
    PopupMenu* menu = pool();
    if (menu != nullptr) {
        menu->setLocalizer(localizer);
        menu->setCaptionTextId(textId);
        menu->getCaption();
    }
    return menu;
}

void PopupMenu::reset() {
    if (localizer_ != nullptr) {
        localizer_->removeListener(this);
    }
    localizer_ = nullptr;
    removeAll();
    // A menu taken from the pool again makes a fresh native menu.
    DestroyMenu();
    caption_.clear();
    captionTextId_ = -1;
    listeners_.clear();
    lastCommand_ = 0;
}

void PopupMenu::onEvent(base::IObject* source, int32_t) {
    if (source != nullptr && source == localizer_) {
        recaption();
    }
}

HMENU PopupMenu::native() {
    if (m_hMenu == nullptr) {
        CreatePopupMenu();
    }
    return m_hMenu;
}

void PopupMenu::insertItem(int32_t position, MenuItem* item) {
    if (item == nullptr) {
        return;
    }
    const int32_t count = getItemCount();
    position = position < 0 ? 0 : position > count ? count : position;
    native();
    if (item->separator != 0) {
        InsertMenu(static_cast<UINT>(position), MF_BYPOSITION | MF_SEPARATOR);
    } else {
        item->recaption();
        InsertMenu(static_cast<UINT>(position), MF_BYPOSITION | MF_STRING | (item->checked != 0 ? MF_CHECKED : 0),
                   static_cast<UINT_PTR>(static_cast<UINT>(item->commandId)), item->getCaption());
    }
    entries_.insert(entries_.begin() + position, Entry{item, nullptr});
}

void PopupMenu::addSubMenu(IPopupMenu* subMenu) {
    if (subMenu == nullptr) {
        return;
    }
    PopupMenu* sub = static_cast<PopupMenu*>(subMenu);
    native();
    AppendMenu(MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub->native()), sub->getCaption());
    entries_.push_back(Entry{nullptr, sub});
}

bool PopupMenu::removeEntry(int32_t position) {
    if (position < 0 || position >= getItemCount()) {
        return false;
    }
    const Entry entry = entries_[static_cast<size_t>(position)];
    entries_.erase(entries_.begin() + position);
    if (entry.subMenu != nullptr) {
        // Only taken out: the sub-menu keeps its native menu until it is given back.
        RemoveMenu(static_cast<UINT>(position), MF_BYPOSITION);
        entry.subMenu->release();
    } else {
        DeleteMenu(static_cast<UINT>(position), MF_BYPOSITION);
        entry.item->release();
    }
    return true;
}

void PopupMenu::removeAll() {
    for (int32_t i = getItemCount() - 1; i >= 0; --i) {
        removeEntry(i);
    }
}

bool PopupMenu::removeAt(int32_t position) {
    return removeEntry(position);
}

bool PopupMenu::removeById(int32_t commandId) {
    int32_t index = -1;
    return indexOfCommand(commandId, &index) && removeEntry(index);
}

bool PopupMenu::removeByValue(intptr_t value) {
    int32_t index = -1;
    return indexOfValue(value, &index) && removeEntry(index);
}

MenuItem* PopupMenu::find(int32_t commandId, const PopupMenu** holder) const {
    for (const Entry& entry : entries_) {
        if (entry.item != nullptr && entry.item->separator == 0 && entry.item->commandId == commandId) {
            *holder = this;
            return entry.item;
        }
    }
    for (const Entry& entry : entries_) {
        if (entry.subMenu != nullptr) {
            if (MenuItem* item = entry.subMenu->find(commandId, holder)) {
                return item;
            }
        }
    }
    return nullptr;
}

MenuItem* PopupMenu::findItem(int32_t commandId) const {
    const PopupMenu* holder = nullptr;
    return find(commandId, &holder);
}

bool PopupMenu::indexOfCommand(int32_t commandId, int32_t* index) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        const MenuItem* item = entries_[i].item;
        if (item != nullptr && item->separator == 0 && item->commandId == commandId) {
            *index = static_cast<int32_t>(i);
            return true;
        }
    }
    return false;
}

bool PopupMenu::indexOfValue(intptr_t value, int32_t* index) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        const MenuItem* item = entries_[i].item;
        if (item != nullptr && item->separator == 0 && item->value == value) {
            *index = static_cast<int32_t>(i);
            return true;
        }
    }
    return false;
}

int32_t PopupMenu::positionOfSubMenu(const IPopupMenu* subMenu) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].subMenu != nullptr && entries_[i].subMenu == subMenu) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

PopupMenu* PopupMenu::subMenuAt(int32_t position) const {
    return position >= 0 && position < getItemCount() ? entries_[static_cast<size_t>(position)].subMenu : nullptr;
}

MenuItem* PopupMenu::itemAt(int32_t position) const {
    return position >= 0 && position < getItemCount() ? entries_[static_cast<size_t>(position)].item : nullptr;
}

bool PopupMenu::setSubMenuEnabled(IPopupMenu* subMenu, bool enabled) {
    const int32_t position = positionOfSubMenu(subMenu);
    // Only the state changes: the entry keeps its caption and its menu.
    return position >= 0 &&
           EnableMenuItem(static_cast<UINT>(position), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED | MF_DISABLED)) != -1;
}

bool PopupMenu::setItemEnabled(int32_t commandId, bool enabled) {
    const PopupMenu* holder = nullptr;
    if (find(commandId, &holder) == nullptr) {
        return false;
    }
    holder->EnableMenuItem(static_cast<UINT>(commandId), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    return true;
}

void PopupMenu::setLocalizer(lang::Localizer* localizer) {
    if (localizer_ != nullptr) {
        localizer_->removeListener(this);
    }
    localizer_ = localizer;
    if (localizer != nullptr) {
        localizer->addListener(this);
    }
}

bool PopupMenu::isChecked(int32_t commandId) const {
    const MenuItem* item = findItem(commandId);
    return item != nullptr && item->checked != 0;
}

bool PopupMenu::setChecked(int32_t commandId, bool checked) {
    const PopupMenu* holder = nullptr;
    MenuItem* item = find(commandId, &holder);
    if (item == nullptr) {
        return false;
    }
    const uint8_t flag = checked ? 1 : 0;
    if (item->checked != flag) {
        item->checked = flag;
        holder->CheckMenuItem(static_cast<UINT>(commandId), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    return true;
}

void PopupMenu::setEntryText(UINT position, const wchar_t* text) {
    // Only the string: checks, radio bullets and the state stay as they are.
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text);
    SetMenuItemInfo(position, true, &info);
}

bool PopupMenu::setItemText(int32_t commandId, const wchar_t* text) {
    const PopupMenu* holder = nullptr;
    MenuItem* item = find(commandId, &holder);
    int32_t position = -1;
    if (item == nullptr || !holder->indexOfCommand(commandId, &position)) {
        return false;
    }
    item->textId = -1;
    item->setCaption(text);
    const_cast<PopupMenu*>(holder)->setEntryText(static_cast<UINT>(position), item->getCaption());
    return true;
}

bool PopupMenu::setItemTextId(int32_t commandId, int32_t textId) {
    const PopupMenu* holder = nullptr;
    MenuItem* item = find(commandId, &holder);
    int32_t position = -1;
    if (item == nullptr || !holder->indexOfCommand(commandId, &position)) {
        return false;
    }
    if (item->localizer == nullptr) {
        item->localizer = holder->localizer_ != nullptr ? holder->localizer_ : localizer_;
    }
    item->setTextId(textId);
    const_cast<PopupMenu*>(holder)->setEntryText(static_cast<UINT>(position), item->getCaption());
    return true;
}

void PopupMenu::recaption() {
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (entry.subMenu != nullptr) {
            entry.subMenu->recaption();
            setEntryText(static_cast<UINT>(i), entry.subMenu->getCaption());
        } else if (entry.item->separator == 0) {
            entry.item->recaption();
            setEntryText(static_cast<UINT>(i), entry.item->getCaption());
        }
    }
}

const wchar_t* PopupMenu::getCaption() {
    if (captionTextId_ != -1 && localizer_ != nullptr) {
        caption_ = localizer_->getText(captionTextId_);
    }
    return caption_.c_str();
}

bool PopupMenu::radioRange(int32_t checkedId, int32_t firstPosition, int32_t lastPosition) {
    if (firstPosition > lastPosition) {
        const int32_t swap = firstPosition;
        firstPosition = lastPosition;
        lastPosition = swap;
    }
    bool found = false;
    for (int32_t i = firstPosition; i <= lastPosition && i < getItemCount(); ++i) {
        MenuItem* item = entries_[static_cast<size_t>(i)].item;
        if (item == nullptr || item->separator != 0) {
            continue;
        }
        const bool selected = item->commandId == checkedId;
        found = found || selected;
        item->radioSelected = selected ? 1 : 0;
        item->checked = selected ? 1 : 0;
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        GetMenuItemInfo(static_cast<UINT>(i), true, &info);
        info.fType |= MFT_RADIOCHECK;
        info.fState = (info.fState & ~static_cast<UINT>(MFS_CHECKED)) | (selected ? MFS_CHECKED : 0);
        SetMenuItemInfo(static_cast<UINT>(i), true, &info);
    }
    return found;
}

bool PopupMenu::setRadio(int32_t checkedId, int32_t firstId, int32_t lastId) {
    int32_t first = -1;
    int32_t last = -1;
    return indexOfCommand(firstId, &first) && indexOfCommand(lastId, &last) && radioRange(checkedId, first, last);
}

bool PopupMenu::setRadioByPosition(int32_t position) {
    const MenuItem* item = itemAt(position);
    return item != nullptr && item->separator == 0 && radioRange(item->commandId, 0, getItemCount() - 1);
}

bool PopupMenu::setRadioById(int32_t commandId) {
    return radioRange(commandId, 0, getItemCount() - 1);
}

bool PopupMenu::setRadioByValue(intptr_t value) {
    int32_t position = -1;
    return indexOfValue(value, &position) && setRadioByPosition(position);
}

void PopupMenu::runCommand(int32_t commandId) {
    lastCommand_ = commandId;
    listeners_.fire(this, 0);
}

void PopupMenu::scaleEntries() {
    for (size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        if (entry.subMenu != nullptr) {
            entry.subMenu->scaleEntries();
        }
        if (entry.item == nullptr || entry.item->separator == 0) {
            ScaledMenu::prepareEntry(native(), static_cast<UINT>(i),
                                     entry.subMenu != nullptr ? entry.subMenu->getCaption() : entry.item->getCaption());
        }
    }
}

int32_t PopupMenu::open(UINT flags, int32_t x, int32_t y, IComponent* owner) {
    HWND ownerHandle = owner != nullptr ? owner->getNativeHandle() : nullptr;
    if (ownerHandle == nullptr || native() == nullptr) {
        return 0;
    }
    if (system::monitor::uiScale() > 1) {
        scaleEntries();
    }
    return static_cast<int32_t>(TrackPopupMenu(flags | TPM_RETURNCMD, x, y, ownerHandle));
}

} // namespace s::gui::win
