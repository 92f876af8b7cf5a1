// Waiting for what another thread or program brings about, polling every 10 ms.
#pragma once
#include <windows.h>

namespace testsupport {

// True as soon as pred holds, false when it still does not after ms milliseconds.
template <class Pred>
bool waitFor(Pred pred, DWORD ms = 5000) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(10)) {
        if (pred()) {
            return true;
        }
    }
    return pred();
}

} // namespace testsupport
