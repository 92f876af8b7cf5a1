#pragma once
#include "core/thread/ClassPool.h"
#include "framework/CProgressCtrl.h"
#include "widgets/gui/IProgressBar.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"
#include "widgets/gui/win/SizeRules.h"

namespace s::gui::win {

class ProgressBar : public Native<SizeRules<Leaf<IProgressBar>>, CProgressCtrl> {
    S_POOLED_CLASS(ProgressBar, 1000, L"s_gui_win_ProgressBar")
public:
    static constexpr UINT CONTROL_ID = 1007;

    void onEvent(base::IObject*, int32_t) override {}
    void reset() override;
    void setParent(IContainer* container) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void setRange(int32_t minimum, int32_t maximum) override;
    void setProgress(int32_t position) override;
    int32_t getMinimum() const override { return minimum_; }
    int32_t getMaximum() const override { return maximum_; }
    int32_t getProgress() const override { return position_; }

private:
    ProgressBar() { reset(); }

    int32_t minimum_ = 0;
    int32_t maximum_ = 100;
    int32_t position_ = 0;
};

} // namespace s::gui::win
