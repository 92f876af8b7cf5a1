// Work done on a window's UI thread, where its widgets must be touched.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "support/WaitFor.h"
#include "system/gui/events/IEventListener.h"
#include "widgets/gui/win/Window.h"

namespace testsupport {

// Runs fn on the window's UI thread and waits for it.
inline void onUiThread(s::gui::win::Window* window, std::function<void()> fn) {
    struct Call : s::gui::events::IEventListener {
        std::function<void()> fn;
        void onEvent(s::base::IObject*, int32_t) override { fn(); }
    } call;
    bool ran = false;
    call.fn = [&] {
        fn();
        ran = true;
    };
    window->addWorkerEventListener(&call);
    window->sendWorkerEvent(L"onUiThread", 0, 0, nullptr);
    window->removeListener(&call);
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
