#include "drawers/gui/drawer/groupbox/win/Basic.h"

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/win/FontSetting.h"

namespace s::gui::drawer::groupbox::win {

void Basic::reset() {
    Frame::reset();
    color_ = RGB(208, 208, 191);
    if (text_ != nullptr) {
        text_->getNormalFontSetting()->setTextColour(0, 70, 213);
    }
}

int32_t Basic::captionOffset() const {
    return 9 * Paint::scale();
}

void Basic::drawFrame(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t captionLeft,
                      int32_t captionRight) {
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    const COLORREF c = color_;
    Paint::fillRect(dc, left + 2, top, captionLeft - 2, top + 1, c);
    // Nothing when the caption reaches past the right corner.
    Paint::fillRect(dc, captionRight + 2, top, right - 2, top + 1, c);
    Paint::fill(dc, left + 2, bottom - 1, w - 4, 1, c);
    Paint::fill(dc, left, top + 2, 1, h - 4, c);
    Paint::fill(dc, right - 1, top + 2, 1, h - 4, c);
    Paint::fill(dc, left + 1, top + 1, 2, 1, c);
    Paint::fill(dc, right - 3, top + 1, 2, 1, c);
    Paint::fill(dc, left + 1, bottom - 2, 2, 1, c);
    Paint::fill(dc, right - 3, bottom - 2, 2, 1, c);
    Paint::fill(dc, left + 1, top + 2, 1, 1, c);
    Paint::fill(dc, right - 2, top + 2, 1, 1, c);
    Paint::fill(dc, left + 1, bottom - 3, 1, 1, c);
    Paint::fill(dc, right - 2, bottom - 3, 1, 1, c);
}

} // namespace s::gui::drawer::groupbox::win
