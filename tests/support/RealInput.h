// Mouse and keys as a person gives them: hardware input through SendInput, aimed at the
// screen rectangles of another process's windows.
#pragma once
#include <windows.h>

#include <string>

namespace testsupport {

inline RECT screenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
inline POINT centreOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

inline bool sendInputs(INPUT* inputs, UINT count) { return SendInput(count, inputs, sizeof(INPUT)) == count; }

// Moves the cursor to (x, y) and waits until it is there.
inline bool moveMouse(int x, int y) {
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(((x - vx) * 65535LL + (vw - 1) / 2) / (vw - 1));
    in.mi.dy = static_cast<LONG>(((y - vy) * 65535LL + (vh - 1) / 2) / (vh - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!sendInputs(&in, 1)) {
            return false;
        }
        for (int i = 0; i < 50; ++i) {
            POINT at{};
            GetCursorPos(&at);
            if (at.x == x && at.y == y) {
                return true;
            }
            Sleep(10);
        }
    }
    return false;
}

enum class Button { Left, Right, Middle };

// A press and release of button at (x, y), then settleMs for the program to take it.
inline bool clickAt(int x, int y, Button button = Button::Left, DWORD settleMs = 150) {
    if (!moveMouse(x, y)) {
        return false;
    }
    const DWORD down = button == Button::Left ? MOUSEEVENTF_LEFTDOWN : button == Button::Right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_MIDDLEDOWN;
    const DWORD up = button == Button::Left ? MOUSEEVENTF_LEFTUP : button == Button::Right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_MIDDLEUP;
    // Press and release in one batch, as a quick click: a release sent apart, after the
    // program has reacted to the press, is taken by Wine as leaving an opened list.
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    const bool sent = sendInputs(in, 2);
    Sleep(settleMs);
    return sent;
}
inline bool clickAt(POINT p, Button button = Button::Left, DWORD settleMs = 150) {
    return clickAt(p.x, p.y, button, settleMs);
}
// A click in the middle of a window's screen rectangle.
inline bool clickOn(HWND window, Button button = Button::Left) { return clickAt(centreOf(screenRect(window)), button); }

// Wheel notches at the cursor; positive turns away from the user (up).
inline bool wheel(int notches) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    const bool sent = sendInputs(&in, 1);
    Sleep(120);
    return sent;
}

// A press and release of a virtual key, with the keys of modifiers held around it.
inline bool pressKey(WORD vk, WORD modifier = 0) {
    INPUT in[4]{};
    UINT n = 0;
    auto key = [&](WORD code, bool up) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = code;
        in[n].ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
        in[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ++n;
    };
    if (modifier != 0) key(modifier, false);
    key(vk, false);
    key(vk, true);
    if (modifier != 0) key(modifier, true);
    const bool sent = sendInputs(in, n);
    Sleep(80);
    return sent;
}

// Types text character by character, as a keyboard with every character would.
inline bool typeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2]{};
        for (int i = 0; i < 2; ++i) {
            in[i].type = INPUT_KEYBOARD;
            in[i].ki.wScan = c;
            in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
        }
        if (!sendInputs(in, 2)) {
            return false;
        }
        Sleep(5);
    }
    Sleep(80);
    return true;
}

// Polls pred every 20 ms for up to ms; its last answer.
template <class Pred>
bool waitUntil(Pred pred, DWORD ms = 5000) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20)) {
        if (pred()) {
            return true;
        }
    }
    return pred();
}

} // namespace testsupport
