#include "widgets/gui/win/ScaledMenu.h"

#include "drawers/gui/drawer/button/win/Glyphs.h"
#include "drawers/gui/win/Font.h"
#include "system/monitor/UiScale.h"

namespace s::gui::win {

namespace {

// The menu's text font at the current scale; the caller releases it.
Font* menuFont() {
    Font* font = Font::pool();
    if (font != nullptr) {
        font->setFontCode(0);
    }
    return font;
}

// Room left of the caption for the check mark, and right of it for a sub-menu's arrow.
int32_t markWidth(int32_t scale) {
    return 18 * scale;
}

} // namespace

void ScaledMenu::prepareEntry(HMENU menu, UINT position, const wchar_t* caption) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info) || (info.fType & MFT_SEPARATOR) != 0) {
        return;
    }
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType |= MFT_OWNERDRAW;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(caption);
    SetMenuItemInfoW(menu, position, TRUE, &info);
}

bool ScaledMenu::measure(MEASUREITEMSTRUCT* item) {
    if (item == nullptr || item->CtlType != ODT_MENU || item->itemData == 0) {
        return false;
    }
    const wchar_t* caption = reinterpret_cast<const wchar_t*>(item->itemData);
    const int32_t scale = system::monitor::uiScale();
    Font* font = menuFont();
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font != nullptr ? font->getHandle() : GetStockObject(DEFAULT_GUI_FONT));
    RECT extent = {0, 0, 0, 0};
    DrawTextW(dc, caption, -1, &extent, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (font != nullptr) {
        font->release();
    }
    item->itemWidth = static_cast<UINT>(extent.right + 2 * markWidth(scale));
    item->itemHeight = static_cast<UINT>(extent.bottom + 6 * scale);
    return true;
}

bool ScaledMenu::draw(const DRAWITEMSTRUCT* item) {
    if (item == nullptr || item->CtlType != ODT_MENU || item->itemData == 0) {
        return false;
    }
    const wchar_t* caption = reinterpret_cast<const wchar_t*>(item->itemData);
    const int32_t scale = system::monitor::uiScale();
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const bool grey = (item->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(grey ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    Font* font = menuFont();
    if (item->itemState & ODS_CHECKED) {
        // A radio entry shows a dot, any other a tick, drawn at the scale.
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        const bool radio = GetMenuItemInfoW(reinterpret_cast<HMENU>(item->hwndItem), item->itemID, FALSE, &info) &&
                           (info.fType & MFT_RADIOCHECK) != 0;
        const int32_t side = 10 * scale;
        const int32_t left = r.left + (markWidth(scale) - side) / 2;
        const int32_t top = (r.top + r.bottom - side) / 2;
        drawer::button::win::Glyphs::draw(dc, left, top, left + side, top + side, radio ? L"#." : L"#Check",
                                          GetTextColor(dc), scale);
    }
    if (font != nullptr) {
        SelectObject(dc, font->getHandle());
    }
    RECT text = {r.left + markWidth(scale), r.top, r.right - markWidth(scale), r.bottom};
    DrawTextW(dc, caption, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    RestoreDC(dc, saved);
    if (font != nullptr) {
        font->release();
    }
    return true;
}

} // namespace s::gui::win
