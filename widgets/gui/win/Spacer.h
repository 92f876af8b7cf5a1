#pragma once
#include "core/thread/ClassPool.h"
#include "widgets/gui/ISpacer.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"
#include "widgets/gui/win/SizeRules.h"

namespace s::gui::win {

class Spacer : public Native<SizeRules<Leaf<ISpacer>>> {
    S_POOLED_CLASS(Spacer, 1000, L"s_gui_win_Spacer")
public:
    // 0: horizontal, of fixed width size; 1: vertical, of fixed height size.
    static Spacer* create(int32_t orientation, int32_t size);
    // Horizontal, a percent of the parent's inner width.
    static Spacer* createWithWidthPercent(int32_t percent);

    void reset() override;
    void onEvent(base::IObject*, int32_t) override {}
    void setParent(IContainer* container) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void setHorizontal() override { orient(HORIZONTAL); }
    void setVertical() override { orient(VERTICAL); }
    int32_t getOrientation() const override { return orientation_; }

    int32_t getPreferredWidth() const override { return across(true) ? 0 : Leaf::getPreferredWidth(); }
    int32_t getPreferredHeight() const override { return across(false) ? 0 : Leaf::getPreferredHeight(); }
    int32_t getLayoutWidth() const override { return across(true) ? 0 : Leaf::getLayoutWidth(); }
    int32_t getLayoutHeight() const override { return across(false) ? 0 : Leaf::getLayoutHeight(); }

private:
    Spacer() { reset(); }
    void orient(int32_t orientation);
    // Whether the axis runs across the parent box's arrangement (the spacer takes none of it).
    bool across(bool widthAxis) const;

    int32_t orientation_ = HORIZONTAL;
};

} // namespace s::gui::win
