// Work done on a window's UI thread, where its widgets must be touched.
#pragma once
#include <gtest/gtest.h>

#include <functional>

#include "support/WaitFor.h"
#include "widgets/gui/win/Window.h"

namespace testsupport {

// Runs fn on the window's UI thread and waits for it. Sent as the window's own run
// message: a listener added from here would race the thread walking its listener list.
inline void onUiThread(s::gui::win::Window* window, std::function<void()> fn) {
    bool ran = false;
    std::function<void()> call = [&] {
        fn();
        ran = true;
    };
    window->runOnUiThread([](void* f) { (*static_cast<std::function<void()>*>(f))(); }, &call);
    ASSERT_TRUE(ran);
}

// Waits until pred holds, asked on the window's UI thread, which writes what it reads.
template <class Pred>
bool waitOnUiThread(s::gui::win::Window* window, Pred pred, DWORD ms = 10000) {
    return waitFor(
        [&] {
            bool holds = false;
            onUiThread(window, [&] { holds = pred(); });
            return holds;
        },
        ms);
}

} // namespace testsupport
