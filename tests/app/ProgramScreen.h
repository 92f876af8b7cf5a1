// Brisquelton.exe's window as a person sees and handles it: its controls found by their
// screen rectangles, choices made by clicks on lists and menus, and what the pixels show.
// Windows of the program are only read here (rectangles, texts, which entry is shown);
// every change goes through the mouse and the keyboard.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "DropFiles.h"
#include "ProgramDriver.h"
#include "support/ChildProcess.h"
#include "support/LostInput.h"
#include "support/RealInput.h"
#include "support/ScreenPixels.h"
#include "support/WaitFor.h"

namespace apptest {

using testsupport::ScreenShot;

// Where a window's shot is kept for a look after a failure: beside the test program.
inline std::wstring keepShot(const ScreenShot& shot, const std::wstring& name) {
    const std::wstring folder = testsupport::programFolder() + L"\\shots";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name + L".bmp";
    shot.saveBmp(path);
    return path;
}

// A window's text, asked by message: labels keep their text themselves, and GetWindowText
// does not ask another process's windows.
inline std::wstring textOf(HWND window) {
    wchar_t buffer[512] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 1000, &ignored);
    return buffer;
}

inline std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Visible descendants of parent, in creation order.
inline std::vector<HWND> visibleChildren(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            if (IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The first visible descendant showing text.
inline HWND showing(HWND parent, const std::wstring& text) {
    return firstChild(parent, [&](HWND child) { return IsWindowVisible(child) && textOf(child) == text; });
}

inline int uiScale() { return displayScale(); }

// ---- Combo boxes ----

// The text of a combo entry, read across the process boundary.
inline std::wstring comboText(HWND combo, int32_t index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
}
inline std::wstring shownEntry(HWND combo) {
    return comboText(combo, static_cast<int32_t>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
}
inline bool isCombo(HWND window) { return _wcsicmp(classOf(window).c_str(), L"ComboBox") == 0; }

// The visible combo box of frame that offers entry, and the entry's index.
inline HWND comboOffering(HWND frame, const std::wstring& entry, int32_t* index) {
    *index = -1;
    return firstChild(frame, [&](HWND child) {
        if (!isCombo(child) || !IsWindowVisible(child)) return false;
        const int32_t count = static_cast<int32_t>(SendMessageW(child, CB_GETCOUNT, 0, 0));
        for (int32_t i = 0; i < count; ++i) {
            if (comboText(child, i) == entry) {
                *index = i;
                return true;
            }
        }
        return false;
    });
}

// The controls a keyboard user must reach: shown, tab stops, enabled with every ancestor
// inside the frame.
inline std::vector<HWND> tabStops(HWND frame) {
    std::vector<HWND> stops;
    for (HWND child : visibleChildren(frame)) {
        bool reachable = (GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) != 0;
        for (HWND up = child; reachable && up != frame; up = GetParent(up)) reachable = IsWindowEnabled(up) != FALSE;
        if (reachable) stops.push_back(child);
    }
    return stops;
}

// Tabs until target has the focus; true once it has.
inline bool tabTo(HWND frame, HWND target) {
    for (int i = 0; i < 30 && testsupport::focusOf(frame) != target; ++i) {
        const HWND before = testsupport::focusOf(frame);
        testsupport::press(VK_TAB);
        testsupport::waitFor([&] { return testsupport::focusOf(frame) != before; }, 5000);
    }
    return testsupport::focusOf(frame) == target;
}

// The "Convert to:" list: the visible combo that offers ".MP3".
inline HWND formatList(HWND frame) {
    int32_t index = -1;
    return comboOffering(frame, L".MP3", &index);
}

// The open list of a combo box (its ComboLBox pop-up), or null while it is closed.
inline HWND openListOf(HWND combo) {
    if (SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(combo, &process);
    HWND list = FindWindowExW(combo, nullptr, L"ComboLBox", nullptr);
    if (list != nullptr && IsWindowVisible(list)) return list;
    list = nullptr;
    while ((list = FindWindowExW(nullptr, list, L"ComboLBox", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(list, &owner);
        if (owner == process && IsWindowVisible(list)) return list;
    }
    return list;
}

// Opens the combo's list with a click on the combo, on the part its window shows.
inline HWND openList(HWND combo) {
    RECT shown{};
    const RECT whole = testsupport::screenRect(combo);
    const RECT frame = testsupport::screenRect(GetAncestor(combo, GA_ROOT));
    HWND list = nullptr;
    if (!testsupport::clickAt(testsupport::centreOf(IntersectRect(&shown, &whole, &frame) ? shown : whole)) ||
        !testsupport::waitFor([&] { return (list = openListOf(combo)) != nullptr; }, 10000)) {
        return nullptr;
    }
    Sleep(150);
    return list;
}

// Chooses entry index of combo as a person does: a click opens the list, the wheel brings
// the entry into view, a click on it chooses it. True when the list closed on the click.
inline bool clickEntryOnce(HWND combo, int32_t index) {
    HWND list = openList(combo);
    if (list == nullptr) return false;
    RECT client{};
    GetClientRect(list, &client);
    for (int turn = 0; turn < 40; ++turn) {
        const int32_t top = static_cast<int32_t>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
        const int32_t height = std::max<int32_t>(1, static_cast<int32_t>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)));
        const int32_t rows = client.bottom / height;
        if (index >= top && index < top + rows) break;
        const POINT middle = testsupport::centreOf(testsupport::screenRect(list));
        testsupport::moveMouse(middle.x, middle.y);
        testsupport::wheel(index < top ? 1 : -1);
        // A loaded machine takes a notch late; another sent before it lands overshoots.
        if (!testsupport::waitFor([&] { return SendMessageW(list, LB_GETTOPINDEX, 0, 0) != top; })) break;
    }
    // The entry's place is read once the list has stopped moving.
    for (LRESULT top = -1; top != SendMessageW(list, LB_GETTOPINDEX, 0, 0);) {
        top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        Sleep(250);
    }
    RECT item{};
    if (SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) == LB_ERR) return false;
    POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(list, &at);
    if (at.y < testsupport::screenRect(list).top || at.y >= testsupport::screenRect(list).bottom) return false;
    testsupport::clickAt(at);
    return testsupport::waitFor([&] { return openListOf(combo) == nullptr; }, 10000);
}
inline bool chooseByClicks(HWND combo, int32_t index) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) testsupport::LostInput::repeated("list entry click");
        if (clickEntryOnce(combo, index)) return true;
        // Input the machine lost (the list did not open, or stayed open): close what is
        // open and try once more, as a person would.
        if (openListOf(combo) != nullptr) {
            testsupport::press(VK_ESCAPE);
            testsupport::waitFor([&] { return openListOf(combo) == nullptr; }, 10000);
        }
    }
    return false;
}

// Chooses entry by keys: the list opens with a click, the arrow keys walk to it, Enter
// takes it.
inline bool chooseByKeys(HWND combo, int32_t index) {
    if (openList(combo) == nullptr) return false;
    const int32_t from = static_cast<int32_t>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    for (int32_t i = from; i != index; i += index > from ? 1 : -1) {
        testsupport::press(index > from ? VK_DOWN : VK_UP);
    }
    testsupport::press(VK_RETURN);
    return testsupport::waitFor([&] { return openListOf(combo) == nullptr; }, 10000);
}

// ---- Menus ----

// The menu bar: the frame's child along the top of its client area.
inline HWND menuBarOf(HWND frame) {
    POINT origin{0, 0};
    ClientToScreen(frame, &origin);
    return firstChild(frame, [&](HWND child) {
        const RECT r = testsupport::screenRect(child);
        return GetParent(child) == frame && IsWindowVisible(child) && r.top == origin.y && r.left == origin.x &&
               !isCombo(child);
    });
}

// The bar's entries as drawn: runs of ink across the bar.
inline std::vector<RECT> menuBarEntries(HWND bar) {
    const RECT r = testsupport::screenRect(bar);
    std::vector<RECT> entries;
    // Letters lie up to 3 pixels apart, captions (a highlighted one with its box) 8 or more.
    // Narrow runs are the bar's edges.
    const RECT inner{r.left, r.top + 1, r.right, r.bottom - 1};
    for (const auto& [from, to] : ScreenShot(inner).contrastColumns(inner, 5 * uiScale(), 60)) {
        if (to - from >= 6 * uiScale()) entries.push_back(RECT{from, r.top, to, r.bottom});
    }
    return entries;
}

// The open pop-up menu (#32768) of a process, or null.
inline HWND openMenuOf(DWORD processId) { return testsupport::shownMenuOfProcess(processId); }

// The items of an open pop-up menu as drawn: its lines of ink (separators draw none), at
// the pitch of the items, the line Wine leaves highlighted from the last choice too.
// Glyphs this Wine lacks draw as boxes whose edges make lines of their own; lines of
// tall glyphs can touch.
inline std::vector<RECT> menuItems(HWND menu) {
    const RECT r = testsupport::screenRect(menu);
    const RECT inner{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
    const std::vector<std::pair<int, int>> lines = ScreenShot(inner).textRows(inner, 1);
    std::vector<int> heights;
    for (const auto& line : lines) heights.push_back(line.second - line.first);
    std::sort(heights.begin(), heights.end());
    const int height = heights.empty() ? 0 : heights[heights.size() / 2];
    std::vector<int> pitches;
    for (size_t i = 1; i < lines.size(); ++i) {
        const int step = lines[i].first - lines[i - 1].first;
        if (step > height + 3) pitches.push_back(step);
    }
    std::sort(pitches.begin(), pitches.end());
    // The lower median: steps over separators are longer.
    const int pitch = pitches.empty() ? height + 4 : pitches[(pitches.size() - 1) / 2];
    std::vector<RECT> items;
    for (const auto& [from, to] : lines) {
        if (!items.empty() && from - items.back().top < pitch * 3 / 4) {
            items.back().bottom = std::max<LONG>(items.back().bottom, to);
            continue;
        }
        items.push_back(RECT{r.left, from, r.right, to});
    }
    // A run as tall as two items is two; a gap of two pitches holds an item without ink
    // (thin glyphs); a separator adds less than a pitch.
    std::vector<RECT> all;
    for (size_t i = 0; i < items.size(); ++i) {
        const RECT item = items[i];
        const LONG next = i + 1 < items.size() ? items[i + 1].top : item.bottom + pitch;
        const LONG count = std::max<LONG>(1, (next - item.top + pitch / 4) / pitch);
        for (LONG k = 0; k < count; ++k) {
            all.push_back(RECT{r.left, item.top + k * pitch, r.right, item.top + k * pitch + height});
        }
    }
    return all;
}

// Opens the bar's entry-th menu with a click; the pop-up, or null.
inline HWND openMenu(HWND frame, size_t entry) {
    HWND bar = menuBarOf(frame);
    if (bar == nullptr) return nullptr;
    // The entries are read off the screen: a bar just shown may not have painted them yet.
    std::vector<RECT> entries;
    testsupport::waitFor([&] { return (entries = menuBarEntries(bar)).size() > entry; }, 10000);
    if (entry >= entries.size()) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(frame, &process);
    HWND menu = nullptr;
    // The bar ignores clicks for half a second after a pop-up closed.
    Sleep(600);
    testsupport::clickAt(testsupport::centreOf(entries[entry]));
    if (!testsupport::waitFor([&] { return (menu = openMenuOf(process)) != nullptr; }, 10000)) return nullptr;
    Sleep(250);
    return menu;
}

// Clicks the item-th line of the bar's entry-th menu. What went wrong, empty when nothing.
inline std::string chooseMenuItem(HWND frame, size_t entry, size_t item) {
    const std::string where = "menu " + std::to_string(entry) + " item " + std::to_string(item) + ": ";
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND menu = openMenu(frame, entry);
    if (menu == nullptr) {
        const std::wstring shot = keepShot(ScreenShot(screen), L"menu-not-opened");
        return where + "the bar shows " + std::to_string(menuBarOf(frame) ? menuBarEntries(menuBarOf(frame)).size() : 0) +
               " entries, none opened (shot " + std::string(shot.begin(), shot.end()) + ")";
    }
    const std::vector<RECT> items = menuItems(menu);
    DWORD process = 0;
    GetWindowThreadProcessId(frame, &process);
    if (item >= items.size()) {
        const std::wstring shot = keepShot(ScreenShot(screen), L"menu-short");
        testsupport::press(VK_ESCAPE);
        testsupport::press(VK_ESCAPE);
        return where + "the menu shows " + std::to_string(items.size()) + " lines (shot " + std::string(shot.begin(), shot.end()) + ")";
    }
    testsupport::clickAt(testsupport::centreOf(items[item]));
    return testsupport::waitFor([&] { return openMenuOf(process) == nullptr; }, 10000) ? "" : where + "the menu stays open";
}

// ---- What the screen shows ----

using testsupport::inkIn;

// Where a control draws its caption: inside its border, and for a combo left of its arrow.
inline RECT captionArea(HWND control) {
    const int s = uiScale();
    const RECT r = testsupport::screenRect(control);
    if (isCombo(control)) return RECT{r.left + 3 * s, r.top + 3 * s, r.right - 18 * s, r.bottom - 3 * s};
    if (classOf(control) == L"Button") return RECT{r.left + 3 * s, r.top + 3 * s, r.right - 3 * s, r.bottom - 3 * s};
    return r;
}



// The part of a window its ancestors let show, on the screen.
inline RECT visiblePart(HWND window) {
    RECT seen = testsupport::screenRect(window);
    for (HWND parent = GetParent(window); parent != nullptr && !IsRectEmpty(&seen); parent = GetParent(parent)) {
        RECT client{};
        GetClientRect(parent, &client);
        MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
        IntersectRect(&seen, &seen, &client);
        if ((GetWindowLongPtrW(parent, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    return seen;
}

// Whether a combo's caption runs up to its arrow: ink in the columns just left of the
// arrow's edge, the first column from the right (past the border) that contrasts with the
// field in most of its rows.
inline bool runsIntoArrow(const ScreenShot& shot, const RECT& combo) {
    const int s = uiScale();
    const RECT field{combo.left + 3 * s, combo.top + 3 * s, combo.right - 3 * s, combo.bottom - 3 * s};
    const int base = shot.backgroundGrey(field);
    // A chosen entry drawn on its highlight ends in the field's own colour: not judged.
    if (base < 200) return false;
    const int rows = field.bottom - field.top;
    auto contrasts = [&](uint32_t p) { return std::abs(ScreenShot::grey(p) - base) > 60; };
    for (int x = field.right - 1; x > field.left + (field.right - field.left) / 2; --x) {
        if (shot.count(RECT{x, field.top, x + 1, field.bottom}, contrasts) * 10 >= rows * 6) {
            return shot.count(RECT{x - 3 * s, field.top, x - 1, field.bottom}, contrasts) > 0;
        }
    }
    return false;
}

// Whether the combo's field shows its caption where it can be seen.
inline bool captionDrawn(HWND combo) {
    const RECT field = captionArea(combo);
    const RECT seen = visiblePart(combo);
    RECT shown{};
    IntersectRect(&shown, &field, &seen);
    return inkIn(ScreenShot(shown), shown) >= 8 * uiScale();
}

// What is wrong with the frame on screen, empty when nothing: an unpainted block, a
// control with text that shows none (a combo with nothing in its field), text cut to
// "...", a control cut off by its container or the window.
inline std::string screenFaultsNow(HWND frame, const std::wstring& name) {
    const int s = uiScale();
    // A maximised frame reaches past the screen by its border: only the screen is seen.
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const RECT whole = testsupport::screenRect(frame);
    RECT area{};
    IntersectRect(&area, &whole, &screen);
    const ScreenShot shot(area);
    std::string faults;
    POINT black{};
    if (shot.blackBlock(area, 8 * s, &black)) {
        faults += "unpainted block at " + std::to_string(black.x - area.left) + "," + std::to_string(black.y - area.top) + "; ";
    }
    for (HWND child : visibleChildren(frame)) {
        const RECT r = testsupport::screenRect(child);
        const RECT seen = visiblePart(child);
        if (IsRectEmpty(&seen)) continue;
        const std::wstring text = isCombo(child) ? shownEntry(child) : textOf(child);
        if (text.find_first_not_of(L' ') == std::wstring::npos || text[0] == L'#') continue;
        const std::string what = "\"" + std::string(text.begin(), text.end()) + "\"";
        const RECT caption = captionArea(child);
        RECT shown{};
        IntersectRect(&shown, &caption, &seen);
        if (inkIn(shot, shown) < 8 * s) {
            faults += what + " not drawn; ";
        } else if (text.find(L"..") == std::wstring::npos && shot.endsWithEllipsis(shown, 2 * s)) {
            faults += what + " cut to ...; ";
        }
        if (!EqualRect(&seen, &r)) faults += what + " cut off; ";
        if (isCombo(child) && EqualRect(&seen, &r) && runsIntoArrow(shot, r)) faults += what + " cut at its arrow; ";
    }
    if (!faults.empty()) {
        const std::wstring path = keepShot(shot, name);
        faults += "(shot: " + std::string(path.begin(), path.end()) + ")";
    }
    return faults;
}

// The same, once the screen has settled: paints after a change reach the screen
// asynchronously (seconds late on a loaded machine), so what a person sees is what is
// still there a moment later.
inline std::string screenFaults(HWND frame, const std::wstring& name, DWORD ms = 10000) {
    std::string faults;
    testsupport::waitFor([&] { return (faults = screenFaultsNow(frame, name)).empty(); }, ms);
    return faults;
}

} // namespace apptest
