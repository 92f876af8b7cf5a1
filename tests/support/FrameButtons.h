// The buttons of a top-level window's own frame (minimise, maximise or restore, close),
// found where the frame answers for them and pressed with a real click.
#pragma once
#include <windows.h>

#include "support/RealInput.h"

namespace testsupport {

// A screen point of frame's caption whose hit test answers hit (HTMAXBUTTON, HTCLOSE,
// HTMINBUTTON); {-1, -1} when the caption has none.
inline POINT frameButtonAt(HWND frame, LRESULT hit) {
    auto answers = [&](LONG x, LONG y) {
        DWORD_PTR answer = HTNOWHERE;
        SendMessageTimeoutW(frame, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 1000, &answer);
        return static_cast<LRESULT>(answer) == hit;
    };
    const RECT r = screenRect(frame);
    POINT client{0, 0};
    ClientToScreen(frame, &client);
    // The caption lies between the frame's top and its client area; the middle of the
    // button's run of points is clicked.
    for (LONG y = r.top + 1; y < client.y; y += 2) {
        for (LONG x = r.right - 1; x > (r.left + r.right) / 2; x -= 2) {
            if (!answers(x, y)) continue;
            LONG left = x, bottom = y;
            while (left > r.left && answers(left - 1, y)) --left;
            while (bottom < client.y && answers(x, bottom + 1)) ++bottom;
            return POINT{(left + x) / 2, (y + bottom) / 2};
        }
    }
    return POINT{-1, -1};
}

// Clicks the frame's button; false when the frame shows none.
inline bool clickFrameButton(HWND frame, LRESULT hit) {
    const POINT at = frameButtonAt(frame, hit);
    return at.x >= 0 && clickAt(at);
}

} // namespace testsupport
