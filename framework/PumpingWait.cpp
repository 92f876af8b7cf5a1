#include "framework/PumpingWait.h"

DWORD PumpingWait(DWORD count, const HANDLE* handles, DWORD ms) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD left = INFINITE;
        if (ms != INFINITE) {
            const ULONGLONG spent = GetTickCount64() - start;
            left = spent >= ms ? 0 : static_cast<DWORD>(ms - spent);
        }
        const DWORD result = MsgWaitForMultipleObjectsEx(count, handles, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (result != WAIT_OBJECT_0 + count) {
            return result;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                if (count == 0) {
                    Sleep(left);
                    return WAIT_TIMEOUT;
                }
                return WaitForMultipleObjects(count, handles, FALSE, left);
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (left == 0) {
            return WAIT_TIMEOUT;
        }
    }
}
