#include "app/image/gui/boxes/ColorPicker.h"

#include <cwchar>

#include "core/thread/Held.h"
#include "system/lang/Localizer.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/ITextField.h"
#include "widgets/gui/dialogs/win/ColorPicker.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/TextField.h"

namespace s::image::gui::boxes {

using s::gui::IBox;
using s::gui::win::Box;
using s::gui::win::Button;
using s::gui::win::TextField;

ColorPicker::ColorPicker()
    : localizer_(nullptr), colour_(DEFAULT_COLOUR), swatch_(nullptr), field_(nullptr), button_(nullptr) {}

ColorPicker::~ColorPicker() = default;

void ColorPicker::reset() {
    localizer_ = nullptr;
    colour_ = DEFAULT_COLOUR;
    swatch_ = nullptr;
    field_ = nullptr;
    button_ = nullptr;
    listeners_.clear();
}

int64_t ColorPicker::parseHex(const wchar_t* text) {
    if (text == nullptr || std::wcslen(text) != 6) {
        return -1;
    }
    int64_t value = 0;
    for (int i = 0; i < 6; ++i) {
        const wchar_t c = text[i];
        const int digit = c >= L'0' && c <= L'9'   ? c - L'0'
                          : c >= L'a' && c <= L'f' ? c - L'a' + 10
                          : c >= L'A' && c <= L'F' ? c - L'A' + 10
                                                   : -1;
        if (digit < 0) {
            return -1;
        }
        value = value << 4 | digit;
    }
    return value;
}

Box* ColorPicker::build(int32_t red, int32_t green, int32_t blue) {
    const int32_t s = system::monitor::uiScale();
    colour_ = static_cast<uint32_t>(red & 0xFF) << 16 | static_cast<uint32_t>(green & 0xFF) << 8 |
              static_cast<uint32_t>(blue & 0xFF);
    Box* row = Box::create(IBox::ROW, 0, -1, -1, 1, 5 * s, 0, 0, 0);
    swatch_ = Box::create(IBox::ROW, 0, -1, -1, 0, 0, 0, 0, 0);
    wchar_t hex[8];
    std::swprintf(hex, 8, L"%06X", colour_);
    field_ = TextField::create(L"FFFFFF", -1, -1);
    const bool fromPack = localizer_ != nullptr && localizer_->hasText(CHANGE_COLOR_TEXT_ID);
    button_ = fromPack ? Button::createChangeColorWithTextId() : Button::createChangeColor();
    if (row == nullptr || swatch_ == nullptr || field_ == nullptr || button_ == nullptr) {
        for (s::gui::IComponent* part : {static_cast<s::gui::IComponent*>(row), static_cast<s::gui::IComponent*>(swatch_),
                                         static_cast<s::gui::IComponent*>(field_), static_cast<s::gui::IComponent*>(button_)}) {
            if (part != nullptr) {
                part->release();
            }
        }
        swatch_ = nullptr;
        field_ = nullptr;
        button_ = nullptr;
        return nullptr;
    }
    swatch_->setFixedWidth(20 * s);
    swatch_->setFixedHeight(20 * s);
    swatch_->setColour(red & 0xFF, green & 0xFF, blue & 0xFF, false);
    field_->setText(hex, false);
    field_->setFixedWidth(60 * s);
    button_->setEnabled(true);
    field_->addChangeListener(this);
    button_->addClickListener(this);
    row->add(swatch_);
    row->add(field_);
    row->add(button_);
    return row;
}

void ColorPicker::changeTo(uint32_t colour, bool setField) {
    colour_ = colour;
    if (swatch_ != nullptr) {
        swatch_->setColour(red(), green(), blue(), true);
    }
    if (setField && field_ != nullptr) {
        wchar_t hex[8];
        std::swprintf(hex, 8, L"%06X", colour_);
        field_->setText(hex, false);
    }
    listeners_.fire(this, 0);
}

void ColorPicker::chooseWithDialog() {
    thread::Held<s::gui::dialogs::win::ColorPicker> dialog(s::gui::dialogs::win::ColorPicker::pool());
    if (!dialog) {
        return;
    }
    dialog->setInitialColor(red(), green(), blue());
    if (dialog->run(button_ != nullptr ? button_->getWindow() : nullptr)) {
        changeTo(dialog->getColor() & 0xFFFFFF, true);
    }
}

void ColorPicker::onEvent(base::IObject* source, int32_t eventCode) {
    if (button_ != nullptr && source == static_cast<base::IObject*>(button_)) {
        chooseWithDialog();
    } else if (field_ != nullptr && source == static_cast<base::IObject*>(field_) &&
               eventCode == s::gui::ITextField::CHANGE) {
        const int64_t typed = parseHex(field_->getText());
        if (typed >= 0 && static_cast<uint32_t>(typed) != colour_) {
            changeTo(static_cast<uint32_t>(typed), false);
        }
    }
}

} // namespace s::image::gui::boxes
