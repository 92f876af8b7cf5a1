// A person's input through the system's input queue (SendInput): keys, clicks and drags
// at screen points, and where the keyboard focus of a UI thread is.
#pragma once
#include <windows.h>

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

// A button pressed and released at a screen point (down, up: MOUSEEVENTF_* flags).
inline void click(POINT at, DWORD down, DWORD up) {
    SetCursorPos(at.x, at.y);
    Sleep(30);
    sendInputs({mouseInput(down), mouseInput(up)});
}
inline void leftClick(POINT at) { click(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }
inline void rightClick(POINT at) { click(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }

// Presses the left button at from, moves to to in four steps and releases it there.
inline void drag(POINT from, POINT to) {
    SetCursorPos(from.x, from.y);
    Sleep(30);
    sendInputs({mouseInput(MOUSEEVENTF_LEFTDOWN)});
    for (int step = 1; step <= 4; ++step) {
        SetCursorPos(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4);
        sendInputs({mouseInput(MOUSEEVENTF_MOVE)});
    }
    sendInputs({mouseInput(MOUSEEVENTF_LEFTUP)});
}

// The window that has the keyboard focus on the thread (null for none).
inline HWND focusOfThread(DWORD threadId) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

} // namespace testsupport
