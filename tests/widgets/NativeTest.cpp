// Widgets over native windows: controls created inside their parent's window when
// attached, destroyed when detached, also from a thread that does not own them.
#include <gtest/gtest.h>

#include <thread>

#include "core/thread/ClassPool.h"
#include "support/Released.h"
#include "system/lang/Localizer.h"
#include "widgets/gui/win/Window.h"
#include "widgets/gui/layout/Pile.h"
#include "widgets/gui/win/Container.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"

using s::gui::IComponent;
using s::gui::IContainer;
using s::gui::win::Container;
using s::gui::win::Leaf;
using s::gui::win::Native;

namespace {

class StaticLeaf : public Native<Leaf<IComponent>> {
    S_POOLED_CLASS(StaticLeaf, 1000, L"s_gui_test_StaticLeaf")
public:
    void onEvent(s::base::IObject*, int32_t) override {}
    void reset() override { resetComponent(); }
    void setParent(IContainer* container) override { created = attachNative(container, L"STATIC", L"", 0); }
    bool created = false;
};

// A container whose native window is a hidden top-level popup.
class PopupBox : public Native<Container<IContainer>> {
    S_POOLED_CLASS(PopupBox, 1000, L"s_gui_test_PopupBox")
public:
    void onEvent(s::base::IObject*, int32_t) override {}
    void reset() override { resetContainer(); }
    bool open() {
        setSize(200, 100);
        // Children keep the bounds they are given.
        setLayout(s::gui::layout::Pile::instance());
        return CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr) != FALSE;
    }
};

RECT placed(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(NativeWidgets, AttachingCreatesTheControlInsideTheParent) {
    Released<PopupBox> box(PopupBox::pool());
    ASSERT_TRUE(box->open());
    StaticLeaf* shown = StaticLeaf::pool();
    shown->setContentSize(30, 12);
    StaticLeaf* hidden = StaticLeaf::pool();
    hidden->setContentSize(30, 12);
    hidden->setVisible(false);
    box->add(shown);
    box->add(hidden);

    ASSERT_TRUE(shown->created);
    HWND h = shown->getNativeHandle();
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(box->getNativeHandle(), GetParent(h));
    EXPECT_TRUE(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(shown->isVisible());
    const RECT r = placed(h);
    EXPECT_EQ(30, r.right - r.left);
    EXPECT_EQ(12, r.bottom - r.top);

    // Created hidden and off the visible area; layout does not show it.
    ASSERT_TRUE(hidden->created);
    HWND hh = hidden->getNativeHandle();
    EXPECT_FALSE(GetWindowLongPtrW(hh, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_GE(-9000, placed(hh).left);

    box->remove(shown, false);
    EXPECT_FALSE(IsWindow(h));
    box->removeAll(true);
    EXPECT_FALSE(IsWindow(hh));
    // A pooled container keeps its own window; the next test takes the same object.
    box->DestroyWindow();
}

TEST(NativeWidgets, AttachingToAContainerWithoutAWindowCreatesNothing) {
    Released<PopupBox> box(PopupBox::pool());
    StaticLeaf* leaf = StaticLeaf::pool();
    box->add(leaf);
    EXPECT_FALSE(leaf->created);
    EXPECT_EQ(box.get(), leaf->getParent());
    EXPECT_EQ(nullptr, leaf->getNativeHandle());
}

TEST(NativeWidgets, DetachingFromAnotherThreadDestroysOnTheOwningThread) {
    PopupBox* box = nullptr;
    StaticLeaf* leaf = nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD uiThreadId = 0;
    std::thread ui([&] {
        uiThreadId = GetCurrentThreadId();
        box = PopupBox::pool();
        box->open();
        leaf = StaticLeaf::pool();
        box->add(leaf);
        SetEvent(ready);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageW(&msg);
        }
        box->DestroyWindow();
        box->release();
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 10000));
    HWND h = leaf->getNativeHandle();
    ASSERT_NE(nullptr, h);
    // Added from this thread, created on the thread that owns the container's window.
    StaticLeaf* late = StaticLeaf::pool();
    box->add(late);
    ASSERT_NE(nullptr, late->getNativeHandle());
    EXPECT_EQ(uiThreadId, GetWindowThreadProcessId(late->getNativeHandle(), nullptr));
    HWND lateHandle = late->getNativeHandle();
    box->remove(late, false);
    EXPECT_FALSE(IsWindow(lateHandle));
    box->remove(leaf, false);
    EXPECT_FALSE(IsWindow(h));
    while (!PostThreadMessageW(uiThreadId, WM_QUIT, 0, 0)) {
        Sleep(10);
    }
    ui.join();
    CloseHandle(ready);
}

int32_t listenerIndex(s::lang::Localizer* texts, IComponent* widget) {
    return texts->listeners().indexOf(static_cast<s::gui::events::IEventListener*>(widget));
}

TEST(NativeWidgets, LeavingAWindowLeavesItsLanguagePack) {
    Released<s::lang::Localizer> texts(s::lang::Localizer::pool());
    s::gui::win::Window* window = s::gui::win::Window::pool();
    ASSERT_NE(nullptr, window->getFrameHandle());
    window->setLocalizer(texts.get());
    StaticLeaf* removed = StaticLeaf::pool();
    StaticLeaf* released = StaticLeaf::pool();
    window->add(removed);
    window->add(released);
    ASSERT_EQ(window, released->getWindow());
    EXPECT_EQ(GetWindowThreadProcessId(window->getFrameHandle(), nullptr),
              GetWindowThreadProcessId(released->getNativeHandle(), nullptr));
    // What a widget showing a text by id does when it attaches.
    texts->addListener(removed);
    texts->addListener(released);

    HWND removedHandle = removed->getNativeHandle();
    window->remove(removed, false);
    EXPECT_FALSE(IsWindow(removedHandle));
    EXPECT_GT(0, listenerIndex(texts.get(), removed));
    // Given back while still attached: out of the window's children and the pack's listeners.
    released->release();
    EXPECT_GT(0, listenerIndex(texts.get(), released));
    EXPECT_EQ(0, window->getChildCount());
    window->release();
}

} // namespace
