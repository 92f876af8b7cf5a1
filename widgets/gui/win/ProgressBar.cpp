#include "widgets/gui/win/ProgressBar.h"

namespace s::gui::win {

void ProgressBar::reset() {
    resetComponent();
    state_.background = GetSysColor(COLOR_BTNFACE);
    state_.backgroundInherited = 1;
    minimum_ = 0;
    maximum_ = 100;
    position_ = 0;
}

void ProgressBar::setParent(IContainer* container) {
    if (!attachControl(container, PROGRESS_CLASSW, L"", WS_CHILD, 0, CONTROL_ID)) {
        return;
    }
    SetRange32(minimum_, maximum_);
    SetPos(position_);
    container->relayout();
}

void ProgressBar::setRange(int32_t minimum, int32_t maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    if (m_hWnd != nullptr) {
        SetRange32(minimum, maximum);
    }
}

void ProgressBar::setProgress(int32_t position) {
    position_ = position;
    if (m_hWnd != nullptr) {
        SetPos(position);
    }
}

LRESULT ProgressBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    return Native::WindowProc(message, wParam, lParam);
}

} // namespace s::gui::win
