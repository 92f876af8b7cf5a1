// Waiting for what another thread or program brings about, polling every 50 ms.
#pragma once
#include <windows.h>

namespace testsupport {

// True as soon as pred holds, false when it still does not after ms milliseconds.
template <class Pred>
bool waitFor(Pred pred, DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
        if (pred()) {
            return true;
        }
    }
    return pred();
}

} // namespace testsupport
