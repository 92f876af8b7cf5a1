#include "widgets/gui/win/RadioButton.h"

#include "widgets/gui/win/FocusMark.h"
#include "framework/CDC.h"
#include "images/image/win/BufferedImage.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/win/BackBuffer.h"
#include "widgets/gui/win/BufferedPaint.h"
#include "widgets/gui/win/MemDC.h"

namespace s::gui::win {

RadioButton* RadioButton::createWithText(const wchar_t* caption, bool checked) {
    RadioButton* radio = pool();
    if (radio != nullptr) {
        radio->setText(caption);
        radio->setChecked(checked, false);
    }
    return radio;
}

RadioButton* RadioButton::createWithTextId(int32_t textId, bool checked) {
    RadioButton* radio = createWithText(L"", checked);
    if (radio != nullptr) {
        radio->setTextId(textId);
    }
    return radio;
}

void RadioButton::reset() {
    resetCheckable();
}

void RadioButton::setChecked(bool checked, bool notify) {
    // Stored first: the control's own BM_SETCHECK then finds nothing changed.
    checked_ = checked ? 1 : 0;
    if (m_hWnd != nullptr) {
        SetCheck(checked ? BST_CHECKED : BST_UNCHECKED);
    }
    if (notify) {
        (checked ? checkedListeners_ : uncheckedListeners_).fire(this, 0);
    }
}

void RadioButton::onSetCheck(bool checked) {
    const uint8_t value = checked ? 1 : 0;
    if (value == checked_) {
        return;
    }
    checked_ = value;
    if (notify_ != 0) {
        (checked ? checkedListeners_ : uncheckedListeners_).fire(this, 0);
    }
}

void RadioButton::editableWhenChecked(IComponent* component) {
    addEditablerOnChecked(component);
    addUnEditablerOnUnchecked(component);
}

void RadioButton::addEditablerOnChecked(IComponent* component) {
    wire<events::Editabler>(&editablerOnChecked_, checkedListeners_, component);
}

void RadioButton::addUnEditablerOnUnchecked(IComponent* component) {
    wire<events::UnEditabler>(&unEditablerOnUnchecked_, uncheckedListeners_, component);
}

void RadioButton::measure() {
    if (m_hWnd == nullptr) {
        return;
    }
    const int32_t s = system::monitor::uiScale();
    const SIZE text = captionExtent();
    const int32_t width = text.cx + (s < 2 ? 18 : 24) * s;
    setMinimumSize(width, text.cy);
    setContentSize(width, text.cy);
    relayoutParent();
}

void RadioButton::paint() {
    BufferedPaint paint(this, m_hWnd, nullptr, state_.backgroundInherited != 0, state_.background);
    if (paint.dc() == nullptr) {
        return;
    }
    // The drawer draws the ring four times larger over the background square it covers.
    constexpr int32_t ZOOM = 52;
    constexpr int32_t SQUARE = 13;
    image::win::BufferedImage* zoomImage = nullptr;
    if (BackBuffer::ensure(&zoomImage, ZOOM, ZOOM) != nullptr) {
        if (MemDC* zoom = MemDC::acquire(m_hWnd, zoomImage, false)) {
            const int previous = SetStretchBltMode(*zoom, HALFTONE);
            StretchBlt(*zoom, 0, 0, ZOOM, ZOOM, paint.dc(), 0, paint.height() / 2 - 6, SQUARE, SQUARE, SRCCOPY);
            SetStretchBltMode(*zoom, previous);
            drawer_->draw(paint.dc(), *zoom, 0, 0, paint.width(), paint.height(), checked_ != 0, caption_.c_str(),
                          main_, 0xFFFFFF);
            // Around the caption, which starts a sixth of the row's height past the circle.
            const int32_t row = paint.height();
            FocusMark::draw(m_hWnd, paint.dc(), RECT{row + row / 6 - 1, 0, paint.width(), row});
            zoom->release();
        }
    }
    BackBuffer::release(&zoomImage);
}

} // namespace s::gui::win
