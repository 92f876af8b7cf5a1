// A top-level frame handled as a person handles it: its caption buttons clicked, its edges
// and caption dragged, Alt+F4 pressed. Places are found by asking the frame's hit test
// (a read, answered by the window that draws the frame), so the same clicks reach the
// system's frame and a drawn one.
#pragma once
#include <windows.h>

#include <algorithm>
#include <vector>

#include "support/LostInput.h"
#include "support/RealInput.h"
#include "support/WaitFor.h"
#include "support/XInput.h"

namespace testsupport {

// The frame's answer to WM_NCHITTEST at a screen point (HTNOWHERE when it does not answer).
inline LRESULT hitAt(HWND frame, POINT at) {
    DWORD_PTR hit = HTNOWHERE;
    if (!SendMessageTimeoutW(frame, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y), SMTO_ABORTIFHUNG, 1000, &hit)) {
        return HTNOWHERE;
    }
    return static_cast<LRESULT>(hit);
}

// The middle of the spot of the frame that answers hit, searched along its top rows (the
// caption buttons); {-1, -1} when none does.
inline POINT spotOf(HWND frame, LRESULT hit) {
    const RECT r = screenRect(frame);
    TITLEBARINFO bar{};
    bar.cbSize = sizeof(bar);
    // The caption's rows when the system knows them; else the top 60 rows of the frame.
    LONG top = r.top, bottom = std::min<LONG>(r.bottom, r.top + 60);
    if (GetTitleBarInfo(frame, &bar) && bar.rcTitleBar.bottom > bar.rcTitleBar.top) {
        top = bar.rcTitleBar.top;
        bottom = bar.rcTitleBar.bottom;
    }
    // Rows from the middle of the caption outward.
    for (LONG k = 0; k < 2 * (bottom - top); ++k) {
        const LONG y = (top + bottom) / 2 + (k % 2 != 0 ? (k + 1) / 2 : -(k / 2));
        if (y < top || y >= bottom) continue;
        LONG from = -1, to = -1;
        for (LONG x = r.right - 1; x >= r.left; --x) {
            if (hitAt(frame, POINT{x, y}) == hit) {
                if (to < 0) to = x;
                from = x;
            } else if (to >= 0) {
                break;
            }
        }
        if (to >= 0) {
            // The button's middle row: up and down from this one while the answer holds.
            const LONG x = (from + to) / 2;
            LONG up = y, down = y;
            while (up > r.top && hitAt(frame, POINT{x, up - 1}) == hit) --up;
            while (down + 1 < r.bottom && hitAt(frame, POINT{x, down + 1}) == hit) ++down;
            return POINT{x, (up + down) / 2};
        }
    }
    return POINT{-1, -1};
}

// Clicks the caption button that answers hit (HTCLOSE, HTMAXBUTTON, HTMINBUTTON); false
// when the frame shows none.
inline bool clickCaptionButton(HWND frame, LRESULT hit) {
    const POINT at = spotOf(frame, hit);
    return at.x >= 0 && clickAt(at);
}

// Alt+F4 to the frame, given the keyboard first as a person does: a click on its caption.
inline void altF4(HWND frame) {
    if (GetForegroundWindow() != frame) {
        TITLEBARINFO bar{};
        bar.cbSize = sizeof(bar);
        if (GetTitleBarInfo(frame, &bar)) clickAt(POINT{bar.rcTitleBar.left + 40, (bar.rcTitleBar.top + bar.rcTitleBar.bottom) / 2});
    }
    press(VK_F4, VK_MENU);
}

// The shown pop-up menu (#32768) of a process, or null.
inline HWND shownMenuOfProcess(DWORD processId) {
    HWND menu = nullptr;
    while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(menu, &owner);
        if (owner == processId && IsWindowVisible(menu)) return menu;
    }
    return nullptr;
}
inline HWND shownMenuOf(HWND frame) {
    DWORD process = 0;
    GetWindowThreadProcessId(frame, &process);
    return shownMenuOfProcess(process);
}

// Chooses the item of the frame's window menu whose mnemonic is key ('C' Close, 'N'
// Minimize, 'R' Restore): a click on a minimised frame opens the menu, Alt+Space any other
// (and a minimised one the click left without it).
inline bool windowMenuItem(HWND frame, WORD key) {
    if (IsIconic(frame)) {
        clickAt(centreOf(screenRect(frame)));
        // A frame the program draws takes the click as its own and is active then.
        if (!waitFor([&] { return shownMenuOf(frame) != nullptr; }, 10000)) press(VK_SPACE, VK_MENU);
    } else {
        if (GetForegroundWindow() != frame) clickAt(centreOf(screenRect(frame)));
        press(VK_SPACE, VK_MENU);
    }
    if (!waitFor([&] { return shownMenuOf(frame) != nullptr; }, 10000)) return false;
    press(key);
    return waitFor([&] { return shownMenuOf(frame) == nullptr; }, 10000);
}

// Closes the frame as a person does: a click on its close button, else Alt+F4; a
// minimised frame by the Close of its window menu. True when the frame is gone (hidden or
// destroyed) within ms of a click.
inline bool closeFrame(HWND frame, DWORD ms = 10000) {
    auto gone = [&] { return !IsWindow(frame) || !IsWindowVisible(frame); };
    for (int attempt = 0; attempt < 2; ++attempt) {
        // The second: a click the machine lost (the window was still being activated).
        if (attempt > 0) LostInput::repeated("close");
        if (IsIconic(frame)) {
            windowMenuItem(frame, 'C');
        } else if (!clickCaptionButton(frame, HTCLOSE)) {
            altF4(frame);
        }
        if (waitFor(gone, ms)) return true;
    }
    return false;
}

// Minimises the frame by its minimise button, else by its window menu; true once it is.
inline bool minimiseFrame(HWND frame) {
    if (!clickCaptionButton(frame, HTMINBUTTON)) windowMenuItem(frame, 'N');
    return waitFor([&] { return IsIconic(frame) != FALSE; }, 10000);
}

// Maximises the frame by its maximise button; true once it is.
inline bool maximiseFrame(HWND frame) {
    return clickCaptionButton(frame, HTMAXBUTTON) && waitFor([&] { return IsZoomed(frame) != FALSE; }, 10000);
}

// Restores a minimised frame by the Restore of its window menu; true once it shows again.
inline bool restoreFrame(HWND frame) {
    return windowMenuItem(frame, 'R') && waitFor([&] { return IsIconic(frame) == FALSE; }, 10000);
}

// A point of the frame's edge that answers hit (HTBOTTOMRIGHT, HTLEFT ...), searched
// inward from the matching side; {-1, -1} when none does.
inline POINT edgeOf(HWND frame, LRESULT hit) {
    const RECT r = screenRect(frame);
    const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    const bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
    const bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
    const bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
    for (LONG in = 0; in < 12; ++in) {
        const LONG x = left ? r.left + in : right ? r.right - 1 - in : (r.left + r.right) / 2;
        const LONG y = top ? r.top + in : bottom ? r.bottom - 1 - in : (r.top + r.bottom) / 2;
        if (hitAt(frame, POINT{x, y}) == hit) return POINT{x, y};
    }
    return POINT{-1, -1};
}

// Waits until window's rectangle stays the same for a moment (a drag, a layout or a state
// change has reached the screen); false when it keeps changing for ms.
inline bool settled(HWND window, DWORD ms = 10000) {
    struct Rect {
        RECT r;
        bool operator==(const Rect& o) const { return EqualRect(&r, &o.r) != FALSE; }
    } last{};
    return waitForSteady([&] { return Rect{screenRect(window)}; }, last, ms);
}

// Drags the frame's edge (hit: HTRIGHT, HTBOTTOMRIGHT ...) by (dx, dy); false when the
// frame has no such edge. True once the frame's rectangle has stopped changing.
inline bool dragEdge(HWND frame, LRESULT hit, int dx, int dy) {
    const POINT from = edgeOf(frame, hit);
    if (from.x < 0) return false;
    drag(from, POINT{from.x + dx, from.y + dy});
    return settled(frame);
}

// Drags the frame by its caption (a spot left of its buttons that answers HTCAPTION) so
// that its top-left corner lands at `to`.
// The drag is made at the X server alone, as a hand makes it: the system's move loop grabs
// the X pointer, and the X server then refuses the warps that carry SendInput's moves to it
// (Wine: "refusing to warp pointer"), so the X pointer stays at the press while Wine's
// cursor follows; GetCursorPos, which asks the X server once the cursor has rested 100 ms,
// answers the press point, and on a loaded machine such a drag's moves waited in vain.
// A second drag when the first was lost (the frame was still being activated).
inline bool dragCaptionTo(HWND frame, POINT to) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) LostInput::repeated("caption drag");
        const RECT r = screenRect(frame);
        POINT from{-1, -1};
        for (LONG y = r.top + 2; y < r.top + 60 && from.x < 0; y += 2) {
            const POINT at{r.left + (r.right - r.left) / 3, y};
            if (hitAt(frame, at) == HTCAPTION) from = at;
        }
        if (from.x < 0) return false;
        dragAtX(from, POINT{from.x + to.x - r.left, from.y + to.y - r.top});
        if (waitFor([&] {
                const RECT now = screenRect(frame);
                return now.left == to.x && now.top == to.y;
            }, 10000)) {
            return true;
        }
    }
    return false;
}

} // namespace testsupport
