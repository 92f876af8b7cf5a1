#include "drawers/gui/drawer/groupbox/win/Frame.h"

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/text/win/Basic.h"

namespace s::gui::drawer::groupbox::win {

Frame::Frame() : text_(text::win::Basic::pool()) {}

Frame::~Frame() {
    if (text_ != nullptr) {
        text_->release();
    }
}

void Frame::reset() {
    color_ = 0;
    if (text_ != nullptr) {
        text_->reset();
    }
}

void Frame::setColor(int32_t red, int32_t green, int32_t blue) {
    color_ = Paint::colour(red, green, blue);
}

void Frame::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* caption,
                 gui::win::Font* font, int32_t captionWidth, int32_t captionHeight) {
    if (dc == nullptr || left >= right || top >= bottom) {
        return;
    }
    const int32_t captionLeft = left + captionOffset();
    if (caption != nullptr && caption[0] != L'\0' && font != nullptr && text_ != nullptr) {
        // The caption stands at the top of the widget; the frame starts half its height down.
        const int32_t centred = text_->getCentred();
        text_->setCentred(0);
        text_->draw(dc, captionLeft, 0, captionLeft + captionWidth, captionHeight, caption, font);
        text_->setCentred(centred);
    }
    drawFrame(dc, left, top, right, bottom, captionLeft, captionLeft + (captionWidth > 0 ? captionWidth : 0));
}

void Frame::applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) {
    text_->applyFonts(font, disabledFont);
}

gui::win::FontSetting* Frame::getNormalFontSetting() const {
    return text_->getNormalFontSetting();
}

gui::win::FontSetting* Frame::getDisabledFontSetting() const {
    return text_->getDisabledFontSetting();
}

} // namespace s::gui::drawer::groupbox::win
