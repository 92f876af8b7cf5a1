// A person's input through the system's input queue (SendInput): keys, typed text, clicks,
// wheel turns and drags at screen points (another process's windows found by their screen
// rectangles), and where the keyboard focus of a UI thread is.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

inline void sendInputs(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(60);
}

inline INPUT keyInput(WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

inline INPUT mouseInput(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

// Presses the key while holding the modifier (0: none).
inline void press(WORD vk, WORD modifier = 0) {
    std::vector<INPUT> inputs;
    if (modifier != 0) {
        inputs.push_back(keyInput(modifier, false));
    }
    inputs.push_back(keyInput(vk, false));
    inputs.push_back(keyInput(vk, true));
    if (modifier != 0) {
        inputs.push_back(keyInput(modifier, true));
    }
    sendInputs(inputs);
}

// The window that has the keyboard focus on the thread (null for none).
inline HWND focusOfThread(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

inline RECT screenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
inline POINT centreOf(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
inline POINT centreOf(HWND window) { return centreOf(screenRect(window)); }
// The window that has the keyboard focus on window's thread.
inline HWND focusOf(HWND window) { return focusOfThread(GetWindowThreadProcessId(window, nullptr)); }

// Moves the cursor to (x, y) and waits until it is there (seconds on a loaded machine; the
// move is sent again every half second meanwhile, harmless as it is absolute).
inline bool moveMouse(int x, int y) {
    const int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(((x - vx) * 65535LL + (vw - 1) / 2) / (vw - 1));
    in.mi.dy = static_cast<LONG>(((y - vy) * 65535LL + (vh - 1) / 2) / (vh - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (SendInput(1, &in, sizeof(INPUT)) != 1) {
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

// Presses the left button at from, moves to to in steps, each taken before the next, and
// releases it there.
inline void drag(POINT from, POINT to, int steps = 8) {
    if (!moveMouse(from.x, from.y)) return;
    sendInputs({mouseInput(MOUSEEVENTF_LEFTDOWN)});
    for (int step = 1; step <= steps; ++step) {
        moveMouse(from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps);
        Sleep(20);
    }
    Sleep(60);
    sendInputs({mouseInput(MOUSEEVENTF_LEFTUP)});
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
    const bool sent = SendInput(2, in, sizeof(INPUT)) == 2;
    Sleep(settleMs);
    return sent;
}
inline bool clickAt(POINT p, Button button = Button::Left, DWORD settleMs = 150) {
    return clickAt(p.x, p.y, button, settleMs);
}
// A click in the middle of a window's screen rectangle.
inline bool clickOn(HWND window, Button button = Button::Left) { return clickAt(centreOf(window), button); }
inline bool leftClick(POINT at) { return clickAt(at, Button::Left); }
inline bool rightClick(POINT at) { return clickAt(at, Button::Right); }

// Two quick left clicks at (x, y), one batch, so the system sees a double click.
inline bool doubleClickAt(POINT p, DWORD settleMs = 150) {
    if (!moveMouse(p.x, p.y)) {
        return false;
    }
    INPUT in[4]{};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    const bool sent = SendInput(4, in, sizeof(INPUT)) == 4;
    Sleep(settleMs);
    return sent;
}

// The left button pressed or released where the cursor is.
inline bool leftButton(bool down) {
    INPUT in = mouseInput(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    return SendInput(1, &in, sizeof(INPUT)) == 1;
}

// Wheel notches at the cursor; positive turns away from the user (up).
inline bool wheel(int notches) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    const bool sent = SendInput(1, &in, sizeof(INPUT)) == 1;
    Sleep(120);
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
        if (SendInput(2, in, sizeof(INPUT)) != 2) {
            return false;
        }
        Sleep(5);
    }
    Sleep(80);
    return true;
}

} // namespace testsupport
