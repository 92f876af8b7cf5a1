// Small widgets for headless tests: the real default bodies, no native control unless a
// test gives one. Visibility is the visible flag alone while no native window exists.
#pragma once
#include <windows.h>

#include "core/thread/ClassPool.h"
#include "widgets/gui/IContainer.h"
#include "widgets/gui/layout/Routines.h"
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

// A container arranged by one of the four routines (or its manager when arrangement is -1).
class FakeBox : public s::gui::win::Container<IContainer> {
    S_POOLED_CLASS(FakeBox, 1000, L"s_gui_test_FakeBox")
public:
    void onEvent(s::base::IObject*, int32_t) override {}
    void reset() override {
        resetContainer();
        arrangement = -1;
        hAlign = vAlign = gapX = gapY = 0;
        layouts = 0;
        sizes = s::gui::layout::ContentSizes();
    }
    bool isVisible() const override { return state_.visible != 0; }
    void doLayout() override {
        ++layouts;
        sizes = s::gui::layout::ContentSizes();
        switch (arrangement) {
        case 0: s::gui::layout::layoutRow(this, hAlign, vAlign, gapX, &sizes); break;
        case 1: s::gui::layout::layoutColumn(this, hAlign, vAlign, gapY, &sizes); break;
        case 2: s::gui::layout::layoutFlowH(this, hAlign, vAlign, gapX, gapY, &sizes); break;
        case 3: s::gui::layout::layoutPile(this, hAlign, vAlign, &sizes); break;
        default: Container::doLayout(); break;
        }
    }
    s::gui::win::ComponentState& raw() { return state_; }

    int32_t arrangement = -1;
    int32_t hAlign = 0, vAlign = 0, gapX = 0, gapY = 0;
    int layouts = 0;
    s::gui::layout::ContentSizes sizes;
};

} // namespace fakes
