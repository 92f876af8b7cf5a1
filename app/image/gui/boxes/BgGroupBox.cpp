#include "app/image/gui/boxes/BgGroupBox.h"

#include "app/image/gui/boxes/ColorPicker.h"
#include "app/image/gui/boxes/WidgetTexts.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/RadioButton.h"
#include "widgets/gui/win/Spacer.h"

namespace s::image::gui::boxes {

using s::gui::IBox;
using s::gui::win::Box;
using s::gui::win::GroupBox;
using s::gui::win::RadioButton;

BgGroupBox::BgGroupBox()
    : localizer_(nullptr), colour_(nullptr), keepButton_(nullptr), fillButton_(nullptr), keep_(1) {}

BgGroupBox::~BgGroupBox() {
    if (colour_ != nullptr) {
        colour_->release();
    }
}

void BgGroupBox::reset() {
    localizer_ = nullptr;
    if (colour_ != nullptr) {
        colour_->release();
        colour_ = nullptr;
    }
    keepButton_ = nullptr;
    fillButton_ = nullptr;
    keep_ = 1;
    listeners_.clear();
}

GroupBox* BgGroupBox::build(bool keepAllowed, bool keep, int32_t red, int32_t green, int32_t blue) {
    const int32_t s = system::monitor::uiScale();
    keep_ = keepAllowed && keep ? 1 : 0;
    if (colour_ == nullptr) {
        colour_ = ColorPicker::pool();
    }
    GroupBox* group = localizer_ != nullptr && localizer_->hasText(BACKGROUND_TEXT_ID)
                          ? GroupBox::createWithTextId(IBox::COLUMN, -1, 5 * s, 20 * s, 3 * s, 100, BACKGROUND_TEXT_ID)
                          : GroupBox::createWithText(IBox::COLUMN, -1, 5 * s, 20 * s, 3 * s, 100, L"Background");
    if (colour_ == nullptr || group == nullptr) {
        if (group != nullptr) {
            group->release();
        }
        return nullptr;
    }
    colour_->setLocalizer(localizer_);
    keepButton_ = captioned<RadioButton>(localizer_, KEEP_TEXT_ID, L"Keep Transparency", keep_ != 0);
    fillButton_ = captioned<RadioButton>(localizer_, FILL_TEXT_ID, L"Fill Color", keep_ == 0);
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 1, 0, 0, 0, 0);
    Box* field = colour_->build(red, green, blue);
    if (keepButton_ != nullptr) {
        keepButton_->setEnabled(keepAllowed);
        keepButton_->addCheckedListener(this);
        group->add(keepButton_);
    }
    if (row != nullptr) {
        if (fillButton_ != nullptr) {
            fillButton_->addCheckedListener(this);
            row->add(fillButton_);
        }
        if (s::gui::win::Spacer* gap = s::gui::win::Spacer::create(0, 10 * s)) {
            row->add(gap);
        }
        if (field != nullptr) {
            row->add(field);
        }
        group->add(row);
    }
    colour_->addListener(this);
    return group;
}

void BgGroupBox::onEvent(base::IObject* source, int32_t) {
    if (colour_ != nullptr && source == static_cast<base::IObject*>(colour_)) {
        listeners_.fire(this, 0);
    } else if (keepButton_ != nullptr && source == static_cast<base::IObject*>(keepButton_) &&
               keepButton_->isChecked()) {
        keep_ = 1;
        if (fillButton_ != nullptr) {
            fillButton_->setChecked(false, false);
        }
    } else if (fillButton_ != nullptr && source == static_cast<base::IObject*>(fillButton_) &&
               fillButton_->isChecked()) {
        keep_ = 0;
        if (keepButton_ != nullptr) {
            keepButton_->setChecked(false, false);
        }
    }
}

} // namespace s::image::gui::boxes
