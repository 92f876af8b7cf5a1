#include "widgets/gui/win/MenuEx.h"

#include <utility>

#include "core/col/_array/ArrayS32.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "drawers/gui/drawer/IMenu.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/menu/win/Basic.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/win/FontSetting.h"
#include "system/lang/Localizer.h"
#include "system/time/Clock.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/menuitem/MenuItem.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/OffscreenPaint.h"
#include "widgets/gui/win/PopupMenu.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

namespace {

// The bar whose pop-up is open on this thread, for the menu loop's key filter.
thread_local MenuEx* t_openBar = nullptr;

// How a pop-up closed to open its neighbour: the road the next one opens by.
constexpr uint8_t SWITCH_BY_MOUSE = 1;
constexpr uint8_t SWITCH_BY_KEYS = 2;

} // namespace

MenuEx::MenuEx()
    : font_(Font::pool()), hotFont_(Font::pool()), captions_(str::strarray::StrArray::pool()),
      rects_(col::_array::ArrayS32::pool()) {
    reset();
}

MenuEx::~MenuEx() {
    clearEntries();
    font_->release();
    hotFont_->release();
    captions_->release();
    rects_->release();
}

MenuEx* MenuEx::create(int32_t widthPercent) {
    MenuEx* bar = pool();
    if (bar != nullptr) {
        if (widthPercent >= 0) {
            bar->setWidthPercent(widthPercent);
        }
        bar->setItemSpacing(6, 3);
        bar->setIgnoreContentWidth(true);
    }
    return bar;
}

void MenuEx::reset() {
    resetComponent();
    clearEntries();
    if (font_ != nullptr) {
        font_->reset();
    }
    if (hotFont_ != nullptr) {
        hotFont_->reset();
    }
    spacingX_ = 6;
    spacingY_ = 3;
    drawer_.drop();
    hover_ = -1;
    openIndex_ = -1;
    pressed_ = 0;
    menuOpen_ = 0;
    systemMenu_ = nullptr;
    closedAt_ = 0;
    switching_ = 0;
    switchTo_ = -1;
    keyMode_ = 0;
    highlightFirst_ = 0;
    escaped_ = 0;
    returnFocus_ = nullptr;
    openedAt_ = POINT{0, 0};
    restingAt_ = POINT{-1, -1};
    ignoreContentWidth_ = 0;
    singleEntry_ = 0;
    lastAtRight_ = 0;
    lastCommand_ = 0;
    commandListeners_.clear();
    languageListeners_.clear();
    beforeOpenListeners_.clear();
}

void MenuEx::clearEntries() {
    for (const Entry& entry : entries_) {
        if (entry.subMenu != nullptr) {
            entry.subMenu->release();
        } else {
            entry.item->release();
        }
    }
    entries_.clear();
    if (captions_ != nullptr) {
        captions_->clear();
    }
    if (rects_ != nullptr) {
        rects_->clear();
    }
}

void MenuEx::setParent(IContainer* container) {
    IWindow* const before = state_.window;
    if (container == nullptr) {
        attachNative(nullptr, nullptr, nullptr, 0);
        return;
    }
    if (!attachOrReport(container, TOOLKIT_WINDOW_CLASS, WS_CHILD | WS_CLIPSIBLINGS)) {
        return;
    }
    if (state_.window != before && state_.window != nullptr && state_.window->hasLocalizer()) {
        state_.window->getLocalizer()->addListener(this);
    }
    measure();
}

void MenuEx::takeSkinDrawer(drawer::ISkin* skin) {
    lendSkinDrawer(this, skin != nullptr ? skin->getMenu() : nullptr, drawer_.owned(), &drawer::menu::win::Basic::pool);
}

void MenuEx::takeBasicDrawer() {
    holdBasicDrawer(this, static_cast<bool>(drawer_), &drawer::menu::win::Basic::pool);
}

void MenuEx::onEvent(base::IObject* source, int32_t) {
    if (takeSkinDrawerOn(source)) {
        return;
    }
    if (source != nullptr && state_.window != nullptr && source == state_.window->getLocalizer()) {
        recaption();
    }
}

void MenuEx::setFontCode(int32_t code) {
    font_->setFontCode(code);
    hotFont_->setFontCode(code);
    measure();
}

void MenuEx::setFontWeight(int32_t weight) {
    font_->setWeight(weight);
    hotFont_->setWeight(weight);
    measure();
}

void MenuEx::setFontColour(int32_t red, int32_t green, int32_t blue) {
    font_->setTextColour(red, green, blue);
    hotFont_->setTextColour(red, green, blue);
    measure();
}

void MenuEx::setPadding(int32_t left, int32_t right, int32_t top, int32_t bottom) {
    setPaddings(left, right, top, bottom);
    measure();
}

void MenuEx::setItemSpacing(int32_t horizontal, int32_t vertical) {
    spacingX_ = horizontal;
    spacingY_ = vertical;
    measure();
}

void MenuEx::addItem(menuitem::MenuItem* item) {
    if (item != nullptr) {
        item->recaption();
        entries_.push_back(Entry{item, nullptr});
        readCaptions();
        measure();
    }
}

void MenuEx::addSubMenu(IPopupMenu* subMenu) {
    if (subMenu != nullptr) {
        entries_.push_back(Entry{nullptr, static_cast<PopupMenu*>(subMenu)});
        readCaptions();
        measure();
    }
}

bool MenuEx::ownsCommand(int32_t commandId) const {
    for (const Entry& entry : entries_) {
        if (entry.subMenu != nullptr ? entry.subMenu->ownsCommand(commandId)
                                     : entry.item->separator == 0 && entry.item->commandId == commandId) {
            return true;
        }
    }
    return false;
}

bool MenuEx::isChecked(int32_t commandId) const {
    for (const Entry& entry : entries_) {
        if (entry.subMenu != nullptr && entry.subMenu->ownsCommand(commandId)) {
            return entry.subMenu->isChecked(commandId);
        }
    }
    return false;
}

bool MenuEx::setChecked(int32_t commandId, bool checked) {
    for (const Entry& entry : entries_) {
        if (entry.subMenu != nullptr && entry.subMenu->setChecked(commandId, checked)) {
            return true;
        }
    }
    return false;
}

void MenuEx::runCommand(int32_t commandId) {
    lastCommand_ = commandId;
    commandListeners_.fire(this, 0);
}

void MenuEx::setDrawer(drawer::IMenu* drawer, bool owned) {
    drawer_.set(drawer, owned);
    if (drawer != nullptr) {
        // The skin colours the entries; what the bar set itself stays.
        const std::pair<Font*, FontSetting*> pairs[] = {{font_, drawer->getFontSetting()},
                                                        {hotFont_, drawer->getHighlightFontSetting()}};
        for (const auto& pair : pairs) {
            if (pair.second != nullptr) {
                pair.second->setFontCode(pair.first->getFontCode());
                pair.first->inheritFromSetting(pair.second);
            }
        }
    }
    measure();
    redrawNow();
}

void MenuEx::setIgnoreContentWidth(bool on) {
    ignoreContentWidth_ = on ? 1 : 0;
    measure();
}

void MenuEx::setSingleEntry(bool on) {
    singleEntry_ = on ? 1 : 0;
    if (on) {
        font_->setBold(true);
        hotFont_->setBold(true);
    }
    measure();
}

void MenuEx::readCaptions() {
    captions_->clear();
    for (const Entry& entry : entries_) {
        captions_->add(entry.subMenu != nullptr ? entry.subMenu->getCaption() : entry.item->getCaption());
    }
}

void MenuEx::recaption() {
    for (const Entry& entry : entries_) {
        if (entry.subMenu != nullptr) {
            entry.subMenu->recaption();
        } else {
            entry.item->recaption();
        }
    }
    readCaptions();
    languageListeners_.fire(this, 0);
    measure();
    redrawNow();
}

void MenuEx::measure() {
    if (m_hWnd == nullptr) {
        return;
    }
    setContentSize(0, 0);
    setMinimumSize(0, 0);
    rects_->clear();
    if (drawer_) {
        int32_t width = 0;
        int32_t height = 0;
        drawer_->layout(captions_, font_, rects_, &width, &height, spacingX_, spacingY_, singleEntry_ != 0);
        setContentSize(ignoreContentWidth_ != 0 ? 0 : width, height);
        setMinimumSize(ignoreContentWidth_ != 0 ? 0 : width, height);
    }
    if (IContainer* parent = state_.parent) {
        parent->relayout();
    }
}

const wchar_t* MenuEx::getEntryCaption(int32_t index) const {
    return index >= 0 && static_cast<uint32_t>(index) < captions_->count() ? captions_->get(static_cast<uint32_t>(index))->c_str()
                                                                          : L"";
}

int32_t MenuEx::entryAt(int32_t x, int32_t y) const {
    const int32_t count = static_cast<int32_t>(rects_->count() / 4);
    if (singleEntry_ != 0) {
        return entries_.empty() || x < 0 || y < 0 || x >= state_.width || y >= state_.height ? -1 : 0;
    }
    for (int32_t i = 0; i < count && i < getEntryCount(); ++i) {
        int32_t left = rects_->get(4 * i);
        int32_t right = rects_->get(4 * i + 2);
        if (lastAtRight_ != 0 && i == count - 1) {
            const int32_t shift = state_.width - right;
            left += shift;
            right += shift;
        }
        if (x >= left && x < right && y >= rects_->get(4 * i + 1) && y < rects_->get(4 * i + 3)) {
            return i;
        }
    }
    return -1;
}

void MenuEx::paint() {
    OffscreenPaint paint(m_hWnd);
    HDC dc = paint.dc();
    if (dc == nullptr) {
        return;
    }
    paint.copyParentBackground(this);
    const RECT& r = paint.client();
    const int32_t hot = menuOpen_ != 0 ? openIndex_ : hover_;
    drawer_->draw(dc, r.left, r.top, r.right, r.bottom, captions_, rects_, font_, hotFont_, spacingX_, spacingY_, hot,
                  pressed_ != 0, singleEntry_ != 0, lastAtRight_ != 0, false);
}

void MenuEx::setHover(int32_t index) {
    if (index != hover_) {
        hover_ = index;
        redrawNow();
    }
}

void MenuEx::onMouseMove(int32_t x, int32_t y) {
    if (menuOpen_ == 0 && keyMode_ == 0 && restingAt_.x != -1) {
        POINT screen = {x, y};
        ClientToScreen(&screen);
        // The move the system makes as a menu closes marks no entry under a resting pointer.
        if (screen.x == restingAt_.x && screen.y == restingAt_.y) {
            return;
        }
        restingAt_ = POINT{-1, -1};
    }
    const int32_t index = entryAt(x, y);
    if (index >= 0 && GetCapture() != m_hWnd && menuOpen_ == 0) {
        SetCapture(m_hWnd);
    } else if (index < 0 && pressed_ == 0 && menuOpen_ == 0 && GetCapture() == m_hWnd) {
        ReleaseCapture();
    }
    if (menuOpen_ != 0) {
        if (index >= 0 && index != openIndex_ && entries_[static_cast<size_t>(index)].subMenu != nullptr) {
            switchTo_ = index;
            switching_ = SWITCH_BY_MOUSE;
            closePopup();
        }
        return;
    }
    // In menu mode an entry stays highlighted when the pointer leaves the bar.
    if (index >= 0 || keyMode_ == 0) {
        setHover(index);
    }
}

void MenuEx::onButtonDown(int32_t x, int32_t y) {
    const int32_t index = entryAt(x, y);
    if (index < 0) {
        return;
    }
    if (entries_[static_cast<size_t>(index)].subMenu == nullptr) {
        pressed_ = 1;
        SetCapture(m_hWnd);
        redrawNow();
        return;
    }
    SetCapture(m_hWnd);
    redrawNow();
    if (menuOpen_ != 0) {
        closePopup();
    } else if (time::currentTimeMillis() - closedAt_ > REOPEN_GUARD_MS) {
        openPopup(index, false);
    }
}

void MenuEx::onButtonUp(int32_t x, int32_t y) {
    const int32_t index = entryAt(x, y);
    const bool wasPressed = pressed_ != 0;
    pressed_ = 0;
    if (wasPressed && index >= 0 && entries_[static_cast<size_t>(index)].subMenu == nullptr) {
        ReleaseCapture();
        runCommand(entries_[static_cast<size_t>(index)].item->commandId);
        hover_ = -1;
        redrawNow();
        return;
    }
    if (menuOpen_ == 0 && GetCapture() == m_hWnd) {
        ReleaseCapture();
    }
    redrawNow();
}

void MenuEx::openPopup(int32_t index, bool byKeys) {
    for (;;) {
        PopupMenu* menu = entries_[static_cast<size_t>(index)].subMenu;
        const int32_t count = static_cast<int32_t>(rects_->count() / 4);
        POINT point = {0, state_.height};
        if (index < count) {
            point.x = rects_->get(4 * index);
            point.y = rects_->get(4 * index + 3);
        }
        ClientToScreen(&point);
        // The bar's handle in the menu tells the window procedure where WM_INITMENUPOPUP goes.
        menu->SetMenuData(reinterpret_cast<ULONG_PTR>(m_hWnd));
        systemMenu_ = nullptr;
        beforeOpenListeners_.fire(this, 1);
        openIndex_ = index;
        menuOpen_ = 1;
        highlightFirst_ = byKeys ? 1 : 0;
        escaped_ = 0;
        GetCursorPos(&openedAt_);
        redrawNow();
        MenuEx* const outer = t_openBar;
        t_openBar = this;
        HHOOK keys = SetWindowsHookExW(WH_MSGFILTER, &MenuEx::menuKeys, nullptr, GetCurrentThreadId());
        const int32_t command = menu->openAt(point.x, point.y, this);
        if (keys != nullptr) {
            UnhookWindowsHookEx(keys);
        }
        t_openBar = outer;
        KillTimer(TRACK_TIMER);
        menuOpen_ = 0;
        openIndex_ = -1;
        systemMenu_ = nullptr;
        highlightFirst_ = 0;
        if (command != 0) {
            // The keyboard goes back first: the command may open a window of its own.
            leaveMenuMode(true);
            runCommand(command);
        }
        if (switching_ != 0 && command == 0 && switchTo_ >= 0 && switchTo_ < getEntryCount()) {
            byKeys = switching_ == SWITCH_BY_KEYS;
            switching_ = 0;
            index = switchTo_;
            continue;
        }
        switching_ = 0;
        closedAt_ = time::currentTimeMillis();
        if (GetCapture() == m_hWnd) {
            ReleaseCapture();
        }
        // Escape closes only the menu: the bar stays in menu mode on its entry.
        const bool stays = keyMode_ != 0 && escaped_ != 0;
        if (!stays) {
            leaveMenuMode(true);
            GetCursorPos(&restingAt_);
        }
        hover_ = stays ? index : -1;
        redrawNow();
        return;
    }
}

int32_t MenuEx::menuEntryFrom(int32_t index, int32_t step) const {
    const int32_t count = getEntryCount();
    for (int32_t i = 1; i <= count; ++i) {
        const int32_t at = ((index + step * i) % count + count) % count;
        if (entries_[static_cast<size_t>(at)].subMenu != nullptr) {
            return at;
        }
    }
    return -1;
}

LRESULT CALLBACK MenuEx::menuKeys(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && t_openBar != nullptr && msg != nullptr && t_openBar->onMenuKey(msg)) {
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool MenuEx::onMenuKey(const MSG* msg) {
    // Before the loop takes the first message, so that a key typed at once starts there.
    if (highlightFirst_ != 0 && openIndex_ >= 0) {
        highlightFirst_ = 0;
        highlightFirstEntry(entries_[static_cast<size_t>(openIndex_)].subMenu->getNativeMenu());
    }
    if (msg->message == WM_KEYDOWN || msg->message == WM_LBUTTONDOWN || msg->message == WM_RBUTTONDOWN) {
        escaped_ = msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE ? 1 : 0;
    }
    if (msg->message != WM_KEYDOWN || (msg->wParam != VK_LEFT && msg->wParam != VK_RIGHT) || openIndex_ < 0) {
        return false;
    }
    // On an entry with a sub-menu the keys are the menu's own: Right opens it, Left closes it.
    HMENU open = entries_[static_cast<size_t>(openIndex_)].subMenu->getNativeMenu();
    const int32_t items = GetMenuItemCount(open);
    for (int32_t i = 0; i < items; ++i) {
        if ((GetMenuState(open, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) != 0 &&
            GetSubMenu(open, i) != nullptr) {
            return false;
        }
    }
    const int32_t next = menuEntryFrom(openIndex_, msg->wParam == VK_RIGHT ? 1 : -1);
    if (next < 0 || next == openIndex_) {
        return true;
    }
    switchTo_ = next;
    switching_ = SWITCH_BY_KEYS;
    closePopup();
    return true;
}

void MenuEx::enterMenuMode() {
    const int32_t first = menuEntryFrom(-1, 1);
    if (first < 0 || menuOpen_ != 0 || keyMode_ != 0) {
        return;
    }
    HWND had = ::GetFocus();
    keyMode_ = 1;
    // The bar takes the keyboard, so that no key of menu mode reaches the control.
    if (SetFocus() == nullptr && ::GetFocus() != m_hWnd) {
        keyMode_ = 0;
        return;
    }
    returnFocus_ = had != m_hWnd ? had : nullptr;
    setHover(first);
}

void MenuEx::leaveMenuMode(bool giveBack) {
    if (keyMode_ == 0) {
        return;
    }
    keyMode_ = 0;
    HWND back = returnFocus_;
    returnFocus_ = nullptr;
    setHover(-1);
    if (giveBack && ::GetFocus() == m_hWnd) {
        const bool usable = back != nullptr && ::IsWindow(back) && ::IsWindowVisible(back) && ::IsWindowEnabled(back);
        ::SetFocus(usable ? back : ::GetAncestor(m_hWnd, GA_ROOT));
    }
}

void MenuEx::onMenuModeKey(WPARAM key) {
    if (hover_ < 0 || hover_ >= getEntryCount()) {
        hover_ = menuEntryFrom(-1, 1);
    }
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT: {
        const int32_t next = menuEntryFrom(hover_, key == VK_RIGHT ? 1 : -1);
        if (next >= 0) {
            setHover(next);
        }
        break;
    }
    case VK_DOWN:
    case VK_UP:
    case VK_RETURN:
        if (hover_ >= 0 && entries_[static_cast<size_t>(hover_)].subMenu != nullptr) {
            if (key == VK_RETURN) {
                dropTypedReturn();
            }
            openPopup(hover_, true);
        } else if (hover_ >= 0 && key == VK_RETURN) {
            const int32_t command = entries_[static_cast<size_t>(hover_)].item->commandId;
            leaveMenuMode(true);
            runCommand(command);
        }
        break;
    case VK_ESCAPE:
        leaveMenuMode(true);
        break;
    default:
        break;
    }
}

void MenuEx::dropTypedReturn() {
    // The menu loop would take the Enter's character as the choice of its first entry.
    MSG typed;
    while (PeekMessageW(&typed, m_hWnd, WM_CHAR, WM_CHAR, PM_NOREMOVE) && typed.wParam == L'\r') {
        PeekMessageW(&typed, m_hWnd, WM_CHAR, WM_CHAR, PM_REMOVE);
    }
}

void MenuEx::highlightFirstEntry(HMENU menu) {
    const int32_t count = GetMenuItemCount(menu);
    for (int32_t i = 0; i < count; ++i) {
        if ((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) == 0) {
            HiliteMenuItem(m_hWnd, menu, static_cast<UINT>(i), MF_BYPOSITION | MF_HILITE);
            return;
        }
    }
}

void MenuEx::onPopupStarted() {
    // The system's menu window of this thread, for closing it later.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(hwnd, name, 16);
            if (lstrcmpW(name, L"#32768") == 0 && IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(data) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&systemMenu_));
    SetTimer(TRACK_TIMER, 10);
}

void MenuEx::closePopup() {
    if (menuOpen_ == 0) {
        return;
    }
    // A menu ends only on the thread whose loop tracks it.
    if (GetThreadId() == GetCurrentThreadId()) {
        KillTimer(TRACK_TIMER);
        EndMenu();
    } else {
        PostMessage(MSG_END_MENU);
    }
}

LRESULT MenuEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (!drawer_) {
            break;
        }
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST: {
        const LRESULT hit = Native::WindowProc(message, wParam, lParam);
        POINT point = MessageArgs::point(lParam);
        ScreenToClient(&point);
        return hit == HTCLIENT && entryAt(point.x, point.y) < 0 ? HTTRANSPARENT : hit;
    }
    case WM_MOUSEMOVE:
        onMouseMove(MessageArgs::point(lParam).x, MessageArgs::point(lParam).y);
        return 0;
    case WM_LBUTTONDOWN:
        onButtonDown(MessageArgs::point(lParam).x, MessageArgs::point(lParam).y);
        return 0;
    case WM_LBUTTONUP:
        onButtonUp(MessageArgs::point(lParam).x, MessageArgs::point(lParam).y);
        return 0;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        // The capture is how the bar sees the mouse leave: without it no move clears the
        // hot entry. An open pop-up takes the capture and shows its own entry.
        if (menuOpen_ == 0 && MessageArgs::pointer<HWND__>(lParam) != m_hWnd) {
            pressed_ = 0;
            if (keyMode_ == 0) {
                setHover(-1);
            }
        }
        break;
    case WM_INITMENU:
        // Taken here: the class procedure would activate the bar, and the keyboard would
        // leave the control that has it.
        return 0;
    case WM_INITMENUPOPUP:
        // Taken here: passed on, the class procedure would send it straight back.
        onPopupStarted();
        return 0;
    case WM_TIMER:
        if (wParam == TRACK_TIMER) {
            POINT point = {};
            GetCursorPos(&point);
            // A pointer resting on the bar since a menu opened by keys switches nothing.
            if (point.x == openedAt_.x && point.y == openedAt_.y) {
                return 0;
            }
            openedAt_ = POINT{-1, -1};
            ScreenToClient(&point);
            onMouseMove(point.x, point.y);
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        if (keyMode_ != 0) {
            return DLGC_WANTALLKEYS;
        }
        break;
    case WM_KEYDOWN:
        if (keyMode_ != 0) {
            onMenuModeKey(wParam);
            return 0;
        }
        break;
    case WM_CHAR:
        if (keyMode_ != 0) {
            return 0;
        }
        break;
    case WM_KILLFOCUS:
        // A click elsewhere or another window ends menu mode; the keyboard is theirs.
        if (menuOpen_ == 0) {
            leaveMenuMode(false);
        }
        break;
    case MSG_END_MENU:
        closePopup();
        return 0;
    case MSG_OPEN_BY_KEYBOARD:
        if (keyMode_ != 0 && menuOpen_ == 0) {
            leaveMenuMode(true);
        } else {
            enterMenuMode();
        }
        return 0;
    default:
        break;
    }
    return Native::WindowProc(message, wParam, lParam);
}

} // namespace s::gui::win
