// Waiting for what another thread or program brings about, polling every 10 ms.
#pragma once
#include <windows.h>

#include <utility>

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

// Waits until read() gives the same value twice, gapMs apart (a paint or a layout has
// reached the screen); last holds the final value. False when it keeps changing for ms.
template <class Read, class Value>
bool waitForSteady(Read read, Value& last, DWORD ms = 10000, DWORD gapMs = 50) {
    bool first = true;
    return waitFor([&] {
        Value now = read();
        const bool still = !first && now == last;
        first = false;
        last = std::move(now);
        if (!still) Sleep(gapMs);
        return still;
    }, ms);
}

} // namespace testsupport
