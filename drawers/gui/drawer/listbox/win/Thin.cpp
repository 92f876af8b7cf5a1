#include "drawers/gui/drawer/listbox/win/Thin.h"

namespace s::gui::drawer::listbox::win {

Thin::Thin() : inner_(Basic::pool()) {
    reset();
}

Thin::~Thin() {
    if (inner_ != nullptr) {
        inner_->release();
    }
}

Thin* Thin::newListBoxDrawer(COLORREF background, COLORREF text, COLORREF selection, COLORREF selectedText,
                             COLORREF stripe) {
    Thin* drawer = pool();
    if (drawer != nullptr) {
        drawer->inner_->setColours(background, text, selection, selectedText, stripe);
    }
    return drawer;
}

void Thin::reset() {
    if (inner_ == nullptr) {
        return;
    }
    inner_->reset();
    inner_->setColours(RGB(255, 255, 255), RGB(0, 0, 0), GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
                       RGB(238, 238, 238));
    inner_->setSelectionColor(120, 120, 120);
    inner_->setBackgroundColor(51, 51, 51);
    inner_->setStripeColor(243, 243, 243);
}

} // namespace s::gui::drawer::listbox::win
