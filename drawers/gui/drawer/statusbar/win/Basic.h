#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IStatusBar.h"
#include "drawers/gui/drawer/statusbar/win/BasicResizer.h"

namespace s::gui::drawer::statusbar::win {

// The system-like status bar: before Windows Vista an optional classic gradient, and
// an optional size grip.
class Basic : public IStatusBar {
    S_POOLED_CLASS(Basic, 1000, L"s_gui_drawer_statusbar_win_Basic")

public:
    // One from the pool with the grip off.
    static Basic* create();

    void reset() override {
        showResizer_ = false;
        gradient_ = false;
    }
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    int32_t preferredHeight() const override;
    void setShowResizer(bool on) { showResizer_ = on; }
    void setGradient(bool on) { gradient_ = on; }

private:
    Basic() = default;

    BasicResizer resizer_;
    bool showResizer_ = false;
    bool gradient_ = false;
};

} // namespace s::gui::drawer::statusbar::win
