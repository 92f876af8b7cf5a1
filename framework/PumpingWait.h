#pragma once
#include <windows.h>

// Waits that keep the calling thread's messages flowing. A thread in an OLE apartment
// (the main thread, every UI thread) must not block plainly: sent messages,
// broadcasts and COM calls into it would wait for it in turn.

// Waits up to ms (INFINITE allowed) for any of the handles (count may be 0) while
// handling the thread's messages. Answers WAIT_OBJECT_0 + index, WAIT_TIMEOUT or
// WAIT_FAILED, as WaitForMultipleObjects does. A WM_QUIT met on the way is posted
// again for the thread's own pump and the rest of the wait does not pump.
DWORD PumpingWait(DWORD count, const HANDLE* handles, DWORD ms);

// Sleeps ms while handling the thread's messages.
inline void PumpingSleep(DWORD ms) {
    PumpingWait(0, nullptr, ms);
}
