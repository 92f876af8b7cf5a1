#include "app/image/gui/boxes/JpgConfigBox.h"

#include <cwchar>

#include "images/image/jpg/EncodeSetting.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/Slider.h"

namespace s::image::gui::boxes {

using s::gui::IBox;
using s::gui::win::Box;
using s::gui::win::GroupBox;

namespace {

constexpr int32_t QUALITY_TEXT_ID = 2000004000;

void numberText(int32_t value, wchar_t (&text)[16]) {
    std::swprintf(text, 16, L"%d", static_cast<int>(value));
}

} // namespace

JpgConfigBox::JpgConfigBox() : slider_(nullptr), label_(nullptr) {}

void JpgConfigBox::reset() {
    resetBox();
    slider_ = nullptr;
    label_ = nullptr;
}

s::gui::IComponent* JpgConfigBox::buildOwn() {
    const int32_t s = system::monitor::uiScale();
    const auto* setting = static_cast<const jpg::EncodeSetting*>(this->setting());
    const int32_t quality = setting != nullptr ? setting->quality() : jpg::EncodeSetting::INITIAL_QUALITY;
    GroupBox* group = formatGroup(QUALITY_TEXT_ID, L"Quality", -1);
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 1, 5 * s, 0, 0, 0);
    Box* value = Box::create(IBox::ROW, 0, -1, -1, 1, 0, 0, 0, 0);
    // The label shows the stored quality from the start.
    wchar_t text[16];
    numberText(quality, text);
    slider_ = s::gui::win::Slider::create(100, quality, 10);
    label_ = s::gui::win::Label::createWithText(text, false, false, 0);
    if (group == nullptr || row == nullptr || value == nullptr || slider_ == nullptr || label_ == nullptr) {
        for (s::gui::IComponent* part : {static_cast<s::gui::IComponent*>(group), static_cast<s::gui::IComponent*>(row),
                                         static_cast<s::gui::IComponent*>(value), static_cast<s::gui::IComponent*>(slider_),
                                         static_cast<s::gui::IComponent*>(label_)}) {
            if (part != nullptr) {
                part->release();
            }
        }
        slider_ = nullptr;
        label_ = nullptr;
        return nullptr;
    }
    slider_->setWidthPercent(80);
    slider_->addChangeListener(this);
    value->setFixedWidth(35 * s);
    value->add(label_);
    row->add(slider_);
    row->add(value);
    group->add(row);
    return group;
}

int32_t JpgConfigBox::chosenQuality() const {
    const auto* setting = static_cast<const jpg::EncodeSetting*>(this->setting());
    return slider_ != nullptr ? slider_->getPosition()
                              : (setting != nullptr ? setting->quality() : jpg::EncodeSetting::INITIAL_QUALITY);
}

void JpgConfigBox::onEvent(base::IObject* source, int32_t eventCode) {
    if (slider_ != nullptr && label_ != nullptr && source == static_cast<base::IObject*>(slider_)) {
        wchar_t text[16];
        numberText(slider_->getPosition(), text);
        label_->setText(text, true);
        return;
    }
    ConfigBox::onEvent(source, eventCode);
}

void JpgConfigBox::applyOwn() {
    static_cast<jpg::EncodeSetting*>(setting())->setQuality(chosenQuality());
}

} // namespace s::image::gui::boxes
