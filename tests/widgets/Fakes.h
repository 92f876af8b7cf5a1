// Small widgets for headless tests: the real default bodies, no native control unless a
// test gives one. Visibility is the visible flag alone while no native window exists.
#pragma once
#include <windows.h>

#include "core/thread/ClassPool.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/layout/Arrangement.h"
#include "widgets/gui/win/Container.h"
#include "widgets/gui/win/Leaf.h"

namespace fakes {

using s::gui::IComponent;
using s::gui::IContainer;

class FakeLeaf : public s::gui::win::Leaf<IComponent> {
    S_POOLED_CLASS(FakeLeaf, 1000, L"s_gui_test_FakeLeaf")
public:
    void onEvent(s::base::IObject*, int32_t) override { ++events; }
    void reset() override {
        resetComponent();
        events = 0;
        handle = nullptr;
        detachCount = 0;
    }
    bool isVisible() const override { return handle != nullptr ? Leaf::isVisible() : state_.visible != 0; }
    void setParent(IContainer* container) override {
        if (container == nullptr) {
            ++detachCount;
        }
        attachTo(container);
    }
    s::gui::win::ComponentState& raw() { return state_; }

    // Width and height rules in one call: preferred (content) and maximum (minimum) sizes.
    FakeLeaf* sized(int32_t prefW, int32_t maxW, int32_t prefH, int32_t maxH) {
        setContentSize(prefW, prefH);
        setMinimumSize(maxW, maxH);
        return this;
    }

    int events = 0;
    int detachCount = 0;
    HWND handle = nullptr;

protected:
    HWND nativeHandle() const override { return handle; }
};

// A container arranged like a box (or by its manager while the arrangement is -1).
class FakeBox : public s::gui::win::Container<IContainer> {
    S_POOLED_CLASS(FakeBox, 1000, L"s_gui_test_FakeBox")
public:
    FakeBox() { rules.arrangement = -1; }
    void onEvent(s::base::IObject*, int32_t) override {}
    void reset() override {
        resetContainer();
        rules.reset();
        rules.arrangement = -1;
        layouts = 0;
        listeners.clear();
    }
    bool isVisible() const override { return state_.visible != 0; }
    void doLayout() override {
        ++layouts;
        if (rules.arrangement < 0) {
            rules.sizes = s::gui::layout::ContentSizes();
            Container::doLayout();
        } else {
            rules.run(this, layout_, &listeners, this);
        }
    }
    s::gui::win::ComponentState& raw() { return state_; }

    s::gui::layout::Arrangement rules;
    s::gui::events::ListenerList listeners;
    int layouts = 0;
};

} // namespace fakes
