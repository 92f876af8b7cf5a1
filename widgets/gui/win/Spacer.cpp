#include "widgets/gui/win/Spacer.h"

#include <utility>

#include "widgets/gui/IBox.h"
#include "widgets/gui/win/BufferedPaint.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace s::gui::win {

Spacer* Spacer::create(int32_t orientation, int32_t size) {
    Spacer* spacer = pool();
    if (spacer == nullptr) {
        return nullptr;
    }
    if (orientation == VERTICAL) {
        spacer->setVertical();
        spacer->setFixedHeight(size);
    } else {
        spacer->setHorizontal();
        spacer->setFixedWidth(size);
    }
    return spacer;
}

Spacer* Spacer::createWithWidthPercent(int32_t percent) {
    Spacer* spacer = pool();
    if (spacer != nullptr) {
        spacer->setHorizontal();
        spacer->setWidthPercent(percent);
    }
    return spacer;
}

void Spacer::reset() {
    resetComponent();
    orientation_ = HORIZONTAL;
    setFixedSize(1, 1);
    state_.background = GetSysColor(COLOR_BTNFACE);
    state_.backgroundInherited = 1;
}

void Spacer::orient(int32_t orientation) {
    // Only a real change swaps: setting the same orientation twice must not undo it.
    if (orientation == orientation_) {
        return;
    }
    orientation_ = orientation;
    std::swap(state_.fixedWidth, state_.fixedHeight);
    std::swap(state_.widthPercent, state_.heightPercent);
}

bool Spacer::across(bool widthAxis) const {
    const IBox* box = dynamic_cast<const IBox*>(getParent());
    if (box == nullptr) {
        return false;
    }
    return widthAxis ? orientation_ == VERTICAL && box->getArrangement() == IBox::ROW
                     : orientation_ == HORIZONTAL && box->getArrangement() == IBox::COLUMN;
}

void Spacer::setParent(IContainer* container) {
    attachControl(container, TOOLKIT_WINDOW_CLASS, L"", WS_CHILD, 0, 0);
}

LRESULT Spacer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        // Empty room: the mouse goes to what lies beneath.
        return HTTRANSPARENT;
    case WM_PAINT: {
        BufferedPaint paint(this, m_hWnd, nullptr, state_.backgroundInherited != 0, state_.background);
        return 0;
    }
    default:
        return Native::WindowProc(message, wParam, lParam);
    }
}

} // namespace s::gui::win
