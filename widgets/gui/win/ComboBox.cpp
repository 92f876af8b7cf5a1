#include "widgets/gui/win/ComboBox.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "drawers/gui/drawer/ICombo.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/combo/win/Thin.h"
#include "drawers/gui/win/Font.h"
#include "framework/CClientDC.h"
#include "system/lang/Localizer.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/IWindow.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/FocusMark.h"
#include "widgets/gui/win/MessageArgs.h"
#include "widgets/gui/win/OffscreenPaint.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

using combobox::ComboBoxItem;

namespace {

constexpr COLORREF HEADER_TAB = 0x555555;
constexpr COLORREF GREY_TEXT = 0x888888;
constexpr COLORREF DISABLED_TEXT = 0x92A1A1;
constexpr COLORREF SEPARATOR_LINE = 0xAAAAAA;
constexpr COLORREF LIGHT_SEPARATOR_LINE = 0xEEEEEE;
constexpr wchar_t PREVIEW_SEPARATOR_FACE[] = L"MS Shell Dlg 2";

void fillRow(HDC dc, int32_t left, int32_t top, int32_t width, int32_t height, COLORREF colour) {
    if (width <= 0 || height <= 0) {
        return;
    }
    const RECT rect = {left, top, left + width, top + height};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void resetFieldFont(Font* font) {
    font->reset();
    font->setFontCode(-2);
    font->setBold(true);
}

} // namespace

ComboBox::ComboBox()
    : font_(Font::pool()), fieldFont_(Font::pool()), disabledFieldFont_(Font::pool()), paintFont_(Font::pool()) {
    reset();
}

ComboBox::~ComboBox() {
    for (Item* item : items_) {
        item->release();
    }
    font_->release();
    fieldFont_->release();
    disabledFieldFont_->release();
    paintFont_->release();
}

ComboBox* ComboBox::createWithWidthPercent(double widthPercent, int32_t fixedHeight) {
    ComboBox* box = pool();
    if (box != nullptr) {
        if (widthPercent >= 0) {
            box->setWidthPercent(static_cast<int32_t>(widthPercent));
        }
        if (fixedHeight >= 0) {
            box->setFixedHeight(fixedHeight);
        }
    }
    return box;
}

ComboBox* ComboBox::createWithSize(int32_t fixedWidth, int32_t fixedHeight) {
    ComboBox* box = pool();
    if (box != nullptr) {
        box->setFixedSize(fixedWidth >= 0 ? fixedWidth : -1, fixedHeight >= 0 ? fixedHeight : -1);
    }
    return box;
}

void ComboBox::reset() {
    resetComponent();
    state_.background = 0xFFFFFF;
    transparent_ = 0;
    font_->reset();
    resetFieldFont(fieldFont_);
    resetFieldFont(disabledFieldFont_);
    enabled_ = 1;
    previous_ = current_ = -1;
    for (Item* item : items_) {
        item->release();
    }
    items_.clear();
    listeners_.clear();
    drawer_.drop();
    open_ = 0;
    drawCounter_ = 0;
    topIndex_ = -1;
    fieldText_ = 0;
    notify_ = 1;
    fontPreview_ = 0;
    moving_ = 0;
    closing_ = CLOSE_BY_MOUSE;
}

void ComboBox::setParent(IContainer* container) {
    if (container == nullptr) {
        attachNative(nullptr, nullptr, nullptr, 0);
        return;
    }
    IWindow* const before = state_.window;
    const bool made = attachOrReport(container, WC_COMBOBOXW, STYLE);
    IWindow* const window = state_.window;
    // Also without a native window yet (a held box): its items follow the language.
    if (window != before && window != nullptr && window->hasLocalizer()) {
        window->getLocalizer()->addListener(this);
    }
    if (!made) {
        return;
    }
    SetLongPtr(GWLP_ID, CONTROL_ID);
    SetFont(font_->getHandle(), false);
    for (const Item* item : items_) {
        AddString(item->getText());
    }
    if (current_ < 0 && !items_.empty()) {
        current_ = 0;
    }
    SetCurSel(current_);
    if (enabled_ == 0) {
        Enable(false);
    }
    const int32_t scale = system::monitor::uiScale();
    setMinimumSize(50 * scale, 26 * scale);
    measureField();
    applyRowHeights();
    container->relayout();
}

void ComboBox::takeSkinDrawer(drawer::ISkin* skin) {
    lendSkinDrawer(this, skin != nullptr ? skin->getCombo() : nullptr, drawer_.owned(), &scaledBasicDrawer);
}

void ComboBox::takeBasicDrawer() {
    holdBasicDrawer(this, static_cast<bool>(drawer_), &scaledBasicDrawer);
}

drawer::ICombo* ComboBox::scaledBasicDrawer() {
    return system::monitor::uiScale() > 1 ? drawer::combo::win::Thin::newComboDrawer(0, 0, 0, 120, 120, 120) : nullptr;
}

void ComboBox::onEvent(base::IObject* source, int32_t) {
    if (takeSkinDrawerOn(source)) {
        return;
    }
    if (source == nullptr || state_.window == nullptr || source != state_.window->getLocalizer()) {
        return;
    }
    for (Item* item : items_) {
        item->recaption();
    }
    if (m_hWnd != nullptr) {
        renewStrings();
        measureField();
        redrawNow();
    }
}

void ComboBox::renewStrings() {
    // What a screen reader reads is the control's own string list.
    std::wstring native;
    for (int32_t i = 0; i < getItemCount(); ++i) {
        const wchar_t* text = items_[static_cast<size_t>(i)]->getText();
        const int length = GetLBTextLen(i);
        native.assign(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        if (length > 0) {
            GetLBText(i, native.data());
        }
        if (lstrcmpW(native.c_str(), text) != 0) {
            DeleteString(i);
            InsertString(i, text);
        }
    }
    if (current_ >= 0 && GetCurSel() != current_) {
        SetCurSel(current_);
    }
}

bool ComboBox::selectable(int32_t index) const {
    const Item* item = getItem(index);
    return item != nullptr &&
           (item->listFlags & (ComboBoxItem::HEADER | ComboBoxItem::SEPARATOR | ComboBoxItem::LIGHT_SEPARATOR)) == 0;
}

bool ComboBox::moveSelection(WPARAM key, LPARAM lParam) {
    int32_t step = 0;
    switch (key) {
    case VK_DOWN:
    case VK_RIGHT:
    case VK_NEXT:
    case VK_HOME:
        step = 1;
        break;
    case VK_UP:
    case VK_LEFT:
    case VK_PRIOR:
    case VK_END:
        step = -1;
        break;
    default:
        return false;
    }
    const int32_t from = GetCurSel();
    const int32_t count = getItemCount();
    const bool open = GetDroppedState() != FALSE;
    int32_t to = from;
    if (!open && (key == VK_NEXT || key == VK_PRIOR)) {
        // The closed control pages by its list's size, which it learns only when the list
        // first opens: a page of the rows the list will show.
        const int32_t page = listRows() > 1 ? listRows() - 1 : 1;
        to = from + step * page;
        to = to < 0 ? 0 : to >= count ? count - 1 : to;
        SetCurSel(to);
    } else {
        moving_ = 1;
        closing_ = CLOSE_CANCELS;
        Native::WindowProc(WM_KEYDOWN, key, lParam);
        closing_ = CLOSE_BY_MOUSE;
        moving_ = 0;
        to = GetCurSel();
    }
    int32_t landed = to;
    while (landed >= 0 && landed < count && !selectable(landed)) {
        landed += step;
    }
    if (landed < 0 || landed >= count) {
        // Past the end: the nearest entry back the other way, else where it was.
        for (landed = to; landed >= 0 && landed < count && !selectable(landed); landed -= step) {
        }
        if (landed < 0 || landed >= count) {
            landed = from;
        }
    }
    if (landed != to) {
        SetCurSel(landed);
    }
    // In the open list a key only moves the highlight: Enter takes it, Escape gives it up.
    if (!open) {
        onSelectionChanged();
    }
    return true;
}

void ComboBox::settleChoice() {
    const int32_t chosen = GetCurSel();
    bool takes = closing_ == CLOSE_TAKES;
    if (closing_ == CLOSE_BY_MOUSE) {
        // Closed by the mouse: taken when the click was on the list's entries.
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        RECT list = {};
        const DWORD at = GetMessagePos();
        const POINT point = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
        takes = GetComboBoxInfo(m_hWnd, &info) && ::GetClientRect(info.hwndList, &list) &&
                ::MapWindowPoints(info.hwndList, nullptr, reinterpret_cast<POINT*>(&list), 2) != 0 &&
                PtInRect(&list, point);
    }
    if (takes && selectable(chosen)) {
        onSelectionChanged();
    } else if (chosen != current_) {
        SetCurSel(current_);
    }
}

void ComboBox::onSelectionChanged() {
    const int32_t selection = GetCurSel();
    if (selection != current_) {
        previous_ = current_;
        current_ = selection;
        if (notify_ != 0) {
            fireSelection();
        }
    }
    redrawNow();
}

void ComboBox::setEnabled(bool enabled) {
    enabled_ = enabled ? 1 : 0;
    if (m_hWnd != nullptr) {
        Enable(enabled);
    }
}

ComboBox::Item* ComboBox::getItem(int32_t index) const {
    return index >= 0 && index < getItemCount() ? items_[static_cast<size_t>(index)] : nullptr;
}

void ComboBox::insertItem(int32_t index, Item* item) {
    if (item == nullptr) {
        return;
    }
    const int32_t count = getItemCount();
    index = index < 0 ? 0 : index > count ? count : index;
    if (m_hWnd != nullptr) {
        InsertString(index, item->getText());
    }
    items_.insert(items_.begin() + index, item);
    if (m_hWnd != nullptr) {
        measureField(item);
    }
    if (previous_ >= index) {
        ++previous_;
    }
    if (current_ >= index) {
        ++current_;
    }
}

ComboBox::Item* ComboBox::removeAt(int32_t index) {
    Item* item = getItem(index);
    if (item == nullptr) {
        return nullptr;
    }
    items_.erase(items_.begin() + index);
    if (m_hWnd != nullptr) {
        DeleteString(index);
    }
    if (index == current_) {
        previous_ = current_ = -1;
        return item;
    }
    // The selection stays on the entry it was on.
    if (previous_ == index) {
        previous_ = -1;
    } else if (previous_ > index) {
        --previous_;
    }
    if (current_ > index) {
        --current_;
    }
    return item;
}

ComboBox::Item* ComboBox::removeItem(Item* item) {
    for (int32_t i = 0; i < getItemCount(); ++i) {
        if (items_[static_cast<size_t>(i)] == item) {
            const bool selected = i == current_;
            removeAt(i);
            if (selected) {
                fireSelection();
            }
            return item;
        }
    }
    return nullptr;
}

bool ComboBox::deleteItem(Item* item) {
    if (current_ != 0 && !items_.empty()) {
        setSelectedIndex(0, false);
    }
    Item* removed = removeItem(item);
    if (removed != nullptr) {
        removed->release();
    }
    return removed != nullptr;
}

bool ComboBox::deleteAt(int32_t index) {
    return deleteItem(getItem(index));
}

bool ComboBox::deleteByValue(int32_t value) {
    for (Item* item : items_) {
        if (item->value == value) {
            return deleteItem(item);
        }
    }
    return false;
}

bool ComboBox::deleteSelected() {
    if (items_.empty()) {
        return false;
    }
    setSelectedIndex(0, false);
    return deleteAt(current_);
}

void ComboBox::setSelectedIndex(int32_t index, bool notify) {
    // An empty list has nothing to select.
    if (items_.empty()) {
        return;
    }
    if (index < 0 || index >= getItemCount()) {
        index = 0;
    }
    notify_ = notify ? 1 : 0;
    if (index != current_) {
        if (m_hWnd != nullptr) {
            SetCurSel(index);
        }
        previous_ = current_;
        current_ = index;
        if (notify) {
            fireSelection();
        }
    }
    notify_ = 1;
}

bool ComboBox::selectByValue(int32_t value, bool notify) {
    for (int32_t i = 0; i < getItemCount(); ++i) {
        if (items_[static_cast<size_t>(i)]->value == value) {
            setSelectedIndex(i, notify);
            return true;
        }
    }
    return false;
}

int32_t ComboBox::getFieldFontCode() const {
    return fieldFont_->getFontCode();
}

void ComboBox::setFieldFontCode(int32_t code) {
    fieldFont_->setFontCode(code);
    disabledFieldFont_->setFontCode(code);
    if (drawer_) {
        drawer_->applyFonts(fieldFont_, disabledFieldFont_);
    }
    if (m_hWnd != nullptr) {
        redrawNow();
        if (IContainer* parent = state_.parent) {
            parent->relayout();
        }
    }
}

int32_t ComboBox::getFontCode() const { return font_->getFontCode(); }
void ComboBox::setFontCode(int32_t code) { font_->setFontCode(code); applyFont(); }
const wchar_t* ComboBox::getFaceName() const { return font_->getFaceName(); }
void ComboBox::setFaceName(const wchar_t* face) { font_->setFaceName(face); applyFont(); }
int32_t ComboBox::getFontHeight() const { return font_->getHeight(); }
void ComboBox::setFontHeight(int32_t height) { font_->setHeight(height); applyFont(); }
uint32_t ComboBox::getTextColour() const { return font_->getTextColour(); }
void ComboBox::setTextColour(int32_t red, int32_t green, int32_t blue) {
    font_->setTextColour(red, green, blue);
    applyFont();
}
int32_t ComboBox::getFontWidth() const { return font_->getWidth(); }
void ComboBox::setFontWidth(int32_t width) { font_->setWidth(width); applyFont(); }
bool ComboBox::isBold() const { return font_->isBold(); }
void ComboBox::setBold(bool on) { font_->setBold(on); applyFont(); }
bool ComboBox::isItalic() const { return font_->isItalic(); }
void ComboBox::setItalic(bool on) { font_->setItalic(on); applyFont(); }
bool ComboBox::isUnderline() const { return font_->isUnderline(); }
void ComboBox::setUnderline(bool on) { font_->setUnderline(on); applyFont(); }
bool ComboBox::isStrikeOut() const { return font_->isStrikeOut(); }
void ComboBox::setStrikeOut(bool on) { font_->setStrikeOut(on); applyFont(); }
int32_t ComboBox::getFontWeight() const { return font_->getWeight(); }
void ComboBox::setFontWeight(int32_t weight) { font_->setWeight(weight); applyFont(); }

void ComboBox::applyFont() {
    if (m_hWnd == nullptr) {
        return;
    }
    SetFont(font_->getHandle(), true);
    const int32_t scale = system::monitor::uiScale();
    setMinimumSize(50 * scale, 26 * scale);
    measureField();
    applyRowHeights();
    if (IContainer* parent = state_.parent) {
        parent->relayout();
    }
}

void ComboBox::applyRowHeights() {
    if (m_hWnd == nullptr) {
        return;
    }
    // The field and the rows take the control's height less its frame; before the control
    // has a height, the font's. Never 0: the open list divides by it.
    int32_t height = state_.height - 6;
    if (height <= 0) {
        height = font_->measureTextHeight() + 4;
    }
    if (height < 1) {
        height = 1;
    }
    if (GetItemHeight(-1) != height) {
        SetItemHeight(-1, static_cast<UINT>(height));
    }
    if (GetItemHeight(0) != height) {
        SetItemHeight(0, static_cast<UINT>(height));
    }
}

void ComboBox::setDrawer(drawer::ICombo* drawer, bool owned) {
    drawer_.set(drawer, owned);
    if (drawer != nullptr) {
        drawer->applyFonts(fieldFont_, disabledFieldFont_);
        transparent_ = 1;
    }
    if (m_hWnd != nullptr) {
        measureField();
    }
    redrawNow();
}

HFONT ComboBox::entryFont(const Item* item, bool bold, Font** made) const {
    *made = nullptr;
    const bool preview = fontPreview_ != 0 && item != nullptr && item->fontFace != nullptr;
    if (!preview && !bold) {
        return font_->getHandle();
    }
    // A font of its own, so the handle the control holds is never re-made under it.
    Font* font = Font::pool();
    if (font == nullptr) {
        return font_->getHandle();
    }
    font->copyProperties(*font_);
    if (preview) {
        const bool separator = lstrcmpW(item->fontFace, ComboBoxItem::SEPARATOR_FACE) == 0;
        font->setFaceName(separator ? PREVIEW_SEPARATOR_FACE : item->fontFace);
    }
    if (bold) {
        font->setBold(true);
    }
    *made = font;
    return font->getHandle();
}

int32_t ComboBox::fieldWidthFor(int32_t textWidth, bool drawn, int32_t scale) {
    // The drawer's text area leaves 4s on the left and 15s for the arrow on the right; the
    // native field has its 3-D edges and arrow button around a 2-pixel text indent.
    const int32_t chrome = drawn ? 23 * scale : GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE) + 6;
    const int32_t width = textWidth + chrome;
    return width > 50 * scale ? width : 50 * scale;
}

SIZE ComboBox::textExtent(HDC dc, const wchar_t* text, HFONT font) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    return size;
}

SIZE ComboBox::entryExtent(HDC dc, const Item* item, bool bold) const {
    // The item's own caption: it follows the current language.
    Font* made = nullptr;
    const SIZE size = textExtent(dc, item->getText(), entryFont(item, bold, &made));
    if (made != nullptr) {
        made->release();
    }
    return size;
}

int32_t ComboBox::fieldTextWidth(HDC dc, const Item* item) const {
    if ((item->fieldFlags | item->listFlags) &
        (ComboBoxItem::HEADER | ComboBoxItem::SEPARATOR | ComboBoxItem::LIGHT_SEPARATOR)) {
        return 0;
    }
    return (drawer_ ? textExtent(dc, item->getText(), fieldPaintFont(item)->getHandle())
                    : entryExtent(dc, item, (item->fieldFlags & ComboBoxItem::BOLD) != 0))
        .cx;
}

void ComboBox::measureField(const Item* added) {
    // Wide enough for every entry the closed field can show, so a choice is never cut. An
    // added entry can only widen it: a list filled entry by entry is measured once.
    CClientDC dc(m_hWnd);
    int32_t widest = 0;
    if (added != nullptr) {
        widest = fieldText_;
        const int32_t width = fieldTextWidth(dc, added);
        widest = width > widest ? width : widest;
    } else {
        for (const Item* item : items_) {
            const int32_t width = fieldTextWidth(dc, item);
            widest = width > widest ? width : widest;
        }
    }
    fieldText_ = widest;
    const int32_t scale = system::monitor::uiScale();
    setContentSize(fieldWidthFor(widest, static_cast<bool>(drawer_), scale), 26 * scale);
}

void ComboBox::measureList() {
    const int32_t count = getItemCount();
    const int32_t scroll = count > SCROLL_ENTRIES ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    CClientDC dc(m_hWnd);
    int32_t widest = 0;
    for (int32_t i = 0; i < count; ++i) {
        const Item* item = items_[static_cast<size_t>(i)];
        const SIZE size = entryExtent(dc, item, (item->listFlags & (ComboBoxItem::BOLD | ComboBoxItem::HEADER)) != 0);
        int32_t width = size.cx + scroll;
        if (item->listFlags & ComboBoxItem::HEADER) {
            width += 10;
        }
        if (width > widest) {
            widest = width;
        }
        if (GetItemHeight(i) < size.cy) {
            SetItemHeight(i, static_cast<UINT>(size.cy));
        }
    }
    HGDIOBJ old = SelectObject(dc, font_->getHandle());
    SIZE zero = {};
    GetTextExtentPoint32W(dc, L"0", 1, &zero);
    SelectObject(dc, old);
    SetDroppedWidth(static_cast<UINT>(widest + zero.cx));
    fitDropDown();
    open_ = 1;
    drawCounter_ = 0;
}

int32_t ComboBox::dropDownHeight(int32_t count, int32_t rowHeight, int32_t below, int32_t above) {
    if (count <= 0 || rowHeight <= 0) {
        return 0;
    }
    const int32_t rows = count < SCROLL_ENTRIES ? count : SCROLL_ENTRIES;
    const int32_t room = (below > above ? below : above) - LIST_BORDER;
    const int32_t fitting = room / rowHeight;
    return (rows < fitting ? rows : fitting > 1 ? fitting : 1) * rowHeight + LIST_BORDER;
}

bool ComboBox::workArea(const RECT& field, RECT* work) const {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&field, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        return false;
    }
    *work = monitor.rcWork;
    return true;
}

int32_t ComboBox::listRows() const {
    RECT field = {};
    RECT work = {};
    const int32_t rowHeight = GetItemHeight(0);
    if (!::GetWindowRect(m_hWnd, &field) || !workArea(field, &work) || rowHeight <= 0) {
        return 1;
    }
    const int32_t height = dropDownHeight(getItemCount(), rowHeight, work.bottom - field.bottom, field.top - work.top);
    return (height - LIST_BORDER) / rowHeight;
}

bool ComboBox::placeList() {
    // The control places the list from sizes it keeps between openings and lets one too
    // tall for the room above run down over the field, where a click picks an entry the
    // list hides.
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    RECT field = {};
    RECT list = {};
    RECT work = {};
    if (!GetComboBoxInfo(m_hWnd, &info) || !::GetWindowRect(info.hwndList, &list) || !::GetWindowRect(m_hWnd, &field) ||
        !workArea(field, &work)) {
        return false;
    }
    const int32_t below = work.bottom - field.bottom;
    const int32_t height = dropDownHeight(getItemCount(), GetItemHeight(0), below, field.top - work.top);
    if (height <= 0) {
        return false;
    }
    const int32_t top = height <= below ? field.bottom : field.top - height;
    if (list.top == top && list.bottom - list.top == height) {
        return false;
    }
    ::SetWindowPos(info.hwndList, nullptr, list.left, top, list.right - list.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void ComboBox::fitDropDown() {
    // The list opens below the field, or above it when it does not fit below. The
    // control's dropped height is what its window is sized to beyond the field.
    RECT field = {};
    RECT work = {};
    if (!::GetWindowRect(m_hWnd, &field) || !workArea(field, &work)) {
        return;
    }
    const int32_t height = dropDownHeight(getItemCount(), GetItemHeight(0), work.bottom - field.bottom,
                                          field.top - work.top);
    if (height > 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, field.right - field.left, field.bottom - field.top + height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

int32_t ComboBox::topIndexFor(int32_t selection, int32_t rememberedTop, int32_t rows) {
    if (rememberedTop >= 0 && std::abs(selection - rememberedTop) < rows) {
        return rememberedTop < selection ? rememberedTop : selection;
    }
    if (rows > 3) {
        const int32_t top = selection - rows / 2;
        return top > 0 ? top : 0;
    }
    return -1;
}

void ComboBox::settleOpenList(bool inListPaint) {
    if (open_ == 0 || ++drawCounter_ != 1) {
        return;
    }
    bool changed = placeList();
    int32_t rows = 20;
    COMBOBOXINFO info = {};
    info.cbSize = sizeof(info);
    RECT list = {};
    const int32_t rowHeight = GetItemHeight(0);
    const bool known = GetComboBoxInfo(m_hWnd, &info) != FALSE;
    if (known && ::GetWindowRect(info.hwndList, &list) && rowHeight > 0) {
        rows = (list.bottom - list.top) / rowHeight;
    }
    const int32_t top = topIndexFor(GetCurSel(), topIndex_, rows);
    if (top >= 0 && top != GetTopIndex()) {
        SetTopIndex(top);
        changed = true;
    }
    // Moved, resized or scrolled within its own paint, the list loses what that paint draws
    // after this row (the scroll copies rows not painted yet): it paints whole once more.
    if (inListPaint && changed && known) {
        ::RedrawWindow(info.hwndList, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
}

void ComboBox::drawEntry(DRAWITEMSTRUCT* draw) {
    const bool field = (draw->itemState & ODS_COMBOBOXEDIT) != 0;
    settleOpenList(!field);
    if (drawer_ && field) {
        // The control has just filled its field itself, outside a paint message: the
        // drawer paints the whole field again on the next paint.
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return;
    }
    HDC dc = draw->hDC;
    const RECT& r = draw->rcItem;
    if (draw->itemState & ODS_FOCUS) {
        DrawFocusRect(dc, &r);
    }
    const Item* item = getItem(static_cast<int32_t>(draw->itemID));
    if (draw->itemID == static_cast<UINT>(-1) || item == nullptr) {
        return;
    }
    const int32_t flags = field ? item->fieldFlags : item->listFlags;
    const bool header = !field && (flags & ComboBoxItem::HEADER) != 0;
    const bool separator = (flags & (ComboBoxItem::SEPARATOR | ComboBoxItem::LIGHT_SEPARATOR)) != 0;
    const bool bold = (flags & ComboBoxItem::BOLD) != 0 || header;
    const int saved = SaveDC(dc);
    const bool selected = (draw->itemState & ODS_SELECTED) != 0 && !header && !separator;
    COLORREF text = font_->getTextColour();
    if (selected) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else {
        fillRow(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, GetBkColor(dc));
        if (enabled_ == 0) {
            text = DISABLED_TEXT;
        }
    }
    SetBkMode(dc, TRANSPARENT);
    if (flags & ComboBoxItem::GREY) {
        text = GREY_TEXT;
    }
    // White is for a dark row; the closed field is dark only while highlighted, and a
    // white caption on its white ground would show nothing.
    if ((flags & (ComboBoxItem::WHITE | ComboBoxItem::HEADER)) && (!field || selected)) {
        text = RGB(255, 255, 255);
    }
    SetTextColor(dc, text);
    Font* made = nullptr;
    SelectObject(dc, entryFont(item, bold, &made));
    const wchar_t* caption = item->getText();
    const int length = lstrlenW(caption);
    SIZE size = {};
    GetTextExtentPoint32W(dc, caption, length, &size);
    const int32_t width = r.right - r.left;
    const int32_t height = r.bottom - r.top;
    const int32_t y = r.top + (height - size.cy) / 2;
    if (header) {
        // A dark tab with rounded top corners.
        fillRow(dc, r.left + 5, r.top, width - 10, 1, HEADER_TAB);
        fillRow(dc, r.left + 3, r.top + 1, width - 6, 1, HEADER_TAB);
        fillRow(dc, r.left + 2, r.top + 2, width - 4, 1, HEADER_TAB);
        fillRow(dc, r.left + 1, r.top + 3, width - 2, 2, HEADER_TAB);
        fillRow(dc, r.left, r.top + 5, width, height - 5, HEADER_TAB);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutW(dc, r.left + (width - size.cx) / 2, y, caption, length);
    } else if (flags & ComboBoxItem::SEPARATOR) {
        fillRow(dc, r.left + 2, r.top + height / 2, width - 4, 1, SEPARATOR_LINE);
    } else if (flags & ComboBoxItem::LIGHT_SEPARATOR) {
        fillRow(dc, r.left + 7, r.top + height / 2, width - 14, 1, LIGHT_SEPARATOR_LINE);
    } else {
        TextOutW(dc, r.left + 2, y, caption, length);
    }
    RestoreDC(dc, saved);
    if (made != nullptr) {
        made->release();
    }
}

Font* ComboBox::fieldPaintFont(const Item* item) const {
    FontProperties wanted;
    wanted.copyProperties(*getFieldFont());
    if (drawer_.owned()) {
        wanted.setHeight(font_->getHeight());
    }
    // Bold marks only an entry flagged so (a chosen default), as in the system's field.
    wanted.setBold(item != nullptr && (item->fieldFlags & ComboBoxItem::BOLD) != 0);
    // Made again only when it changed: most paints show the same entry.
    if (std::memcmp(&wanted.getLogFont(), &paintFont_->getLogFont(), sizeof(LOGFONTW)) != 0 ||
        wanted.getTextColour() != paintFont_->getTextColour()) {
        paintFont_->copyProperties(wanted);
    }
    return paintFont_;
}

void ComboBox::paintField() {
    // The control paints the field right after it showed the list and before the list's
    // own first paint: the list is placed and scrolled here, while nothing of it is drawn.
    settleOpenList(false);
    OffscreenPaint paint(m_hWnd);
    HDC dc = paint.dc();
    if (dc == nullptr) {
        return;
    }
    paint.background(this, transparent_ != 0, state_.background);
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    const RECT& r = paint.client();
    const int32_t look = open_ != 0 ? 2 : PtInRect(&r, cursor) ? 1 : 0;
    const Item* selected = getSelectedItem();
    drawer_->draw(dc, r.left, r.top, r.right, r.bottom, look, selected != nullptr ? selected->getText() : L"",
                  fieldPaintFont(selected), enabled_ != 0);
    // The drawer's text area, left of the arrow.
    const int32_t s = system::monitor::uiScale();
    FocusMark::draw(m_hWnd, dc, RECT{r.left + 3 * s, r.top + 2 * s, r.right - 16 * s, r.bottom - 2 * s});
}

LRESULT ComboBox::colour(HDC dc) {
    brush_.DeleteObject();
    SetTextColor(dc, font_->getTextColour());
    if (transparent_ != 0) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    const COLORREF colour = enabled_ != 0 ? state_.background : GetSysColor(COLOR_BTNFACE);
    brush_.CreateSolidBrush(colour);
    SetBkColor(dc, colour);
    return reinterpret_cast<LRESULT>(static_cast<HBRUSH>(brush_));
}

LRESULT ComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (drawer_) {
            paintField();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (drawer_) {
            return 1;
        }
        break;
    case WM_SETFOCUS:
        if (drawer_) {
            FocusMark::follow(m_hWnd, message);
        }
        break;
    case REFLECT_COLOUR:
    case WM_CTLCOLORLISTBOX:
        return colour(reinterpret_cast<HDC>(wParam));
    case REFLECT_DRAW_ITEM:
        drawEntry(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case REFLECT_MEASURE_ITEM:
        // Asked while the control is made; the rows are set to the control's height later.
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(font_->measureTextHeight() + 4);
        return TRUE;
    case WM_LBUTTONDBLCLK:
        // A press within the double-click time of the press before (which opened the list
        // that a key or a click then closed) arrives as a double click, which the native
        // control drops: on the closed field it is a press like any other.
        if (!GetDroppedState()) {
            return Native::WindowProc(WM_LBUTTONDOWN, wParam, lParam);
        }
        break;
    case WM_GETDLGCODE:
        return MessageArgs::keysWanted(Native::WindowProc(message, wParam, lParam), lParam);
    case WM_KEYDOWN:
        // The window's key handling comes first and what it leaves goes to the control;
        // while the list is open its keys (Enter picks, Escape closes) are the list's.
        if (!GetDroppedState() && forwardKeyToParent(wParam, lParam)) {
            return 0;
        }
        if ((GetKeyState(VK_MENU) & 0x8000) == 0 && moveSelection(wParam, lParam)) {
            return 0;
        }
        if (GetDroppedState()) {
            closing_ = wParam == VK_RETURN ? CLOSE_TAKES : CLOSE_CANCELS;
            const LRESULT result = Native::WindowProc(message, wParam, lParam);
            closing_ = CLOSE_BY_MOUSE;
            return result;
        }
        break;
    case WM_SYSKEYDOWN: {
        // The control would keep every system key for itself. It takes Alt+Up and Alt+Down
        // (closing the list by them gives the choice back); the system's own handling sees
        // every one, so that Alt or F10 alone opens the window's menus and Alt+F4 closes
        // the window, whatever has the focus.
        closing_ = CLOSE_CANCELS;
        LRESULT result = 0;
        if (wParam == VK_UP || wParam == VK_DOWN) {
            result = Native::WindowProc(message, wParam, lParam);
        } else if (wParam == VK_F4) {
            ShowDropDown(FALSE);
        }
        closing_ = CLOSE_BY_MOUSE;
        ::DefWindowProcW(m_hWnd, message, wParam, lParam);
        return result;
    }
    case WM_KILLFOCUS: {
        // The keyboard gone elsewhere (the menus by Alt) closes an open list without a
        // choice, wherever the pointer is.
        closing_ = CLOSE_CANCELS;
        if (drawer_) {
            FocusMark::follow(m_hWnd, message);
        }
        const LRESULT result = Native::WindowProc(message, wParam, lParam);
        closing_ = CLOSE_BY_MOUSE;
        return result;
    }
    case REFLECT_SEL_CHANGE:
        // While the list is open its entries are only highlighted; its close settles.
        if (moving_ == 0 && !GetDroppedState()) {
            onSelectionChanged();
        }
        return 0;
    case REFLECT_DROP_DOWN:
        measureList();
        return 0;
    case REFLECT_CLOSE_UP:
        if (open_ != 0) {
            open_ = 0;
            settleChoice();
            if (drawer_) {
                Invalidate(false);
                Update();
            }
        }
        topIndex_ = GetTopIndex();
        return 0;
    case WM_SIZE: {
        const LRESULT result = Native::WindowProc(message, wParam, lParam);
        applyRowHeights();
        return result;
    }
    case CB_SETCURSEL:
    case WM_COMMAND: {
        // A selection set, or a choice from the list, has the control paint its field
        // itself at once, outside any paint message: it fills it with the background and
        // leaves the entry to its owner. The drawer paints the whole field again over it.
        const LRESULT result = Native::WindowProc(message, wParam, lParam);
        if (drawer_ && (message == CB_SETCURSEL || HIWORD(wParam) == LBN_SELCHANGE)) {
            Redraw(nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
        }
        return result;
    }
    default:
        break;
    }
    return Native::WindowProc(message, wParam, lParam);
}

} // namespace s::gui::win
