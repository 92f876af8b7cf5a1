#include "app/image/gui/boxes/ConfigBox.h"

#include "app/image/gui/boxes/BgGroupBox.h"
#include "app/image/gui/boxes/BmpConfigBox.h"
#include "app/image/gui/boxes/ColorPicker.h"
#include "app/image/gui/boxes/GifConfigBox.h"
#include "app/image/gui/boxes/JpgConfigBox.h"
#include "app/image/gui/boxes/PngConfigBox.h"
#include "app/image/gui/boxes/WidgetTexts.h"
#include "images/image/EncodeSettingBase.h"
#include "images/image/bmp/EncodeSetting.h"
#include "images/image/gui/BoxFactory.h"
#include "images/image/gif/EncodeSetting.h"
#include "images/image/jpg/EncodeSetting.h"
#include "images/image/png/EncodeSetting.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/RadioButton.h"

namespace s::image::gui::boxes {

using s::gui::IBox;
using s::gui::win::Box;
using s::gui::win::GroupBox;
using s::gui::win::RadioButton;

ConfigBox::ConfigBox()
    : localizer_(nullptr), setting_(nullptr), outer_(nullptr), background_(nullptr), depthButtons_(), depths_(),
      depthCount_(0) {}

ConfigBox::~ConfigBox() {
    resetBox();
}

ConfigBox* ConfigBox::create(EncodeSettingBase* setting) {
    ConfigBox* box = nullptr;
    if (dynamic_cast<bmp::EncodeSetting*>(setting) != nullptr) {
        box = BmpConfigBox::pool();
    } else if (dynamic_cast<gif::EncodeSetting*>(setting) != nullptr) {
        box = GifConfigBox::pool();
    } else if (dynamic_cast<jpg::EncodeSetting*>(setting) != nullptr) {
        box = JpgConfigBox::pool();
    } else if (dynamic_cast<png::EncodeSetting*>(setting) != nullptr) {
        box = PngConfigBox::pool();
    }
    if (box != nullptr) {
        box->attach(setting);
    }
    return box;
}

void ConfigBox::registerAsMaker() {
    BoxFactory::setMaker([](EncodeSettingBase* setting) -> IEncodeSettingBox* { return create(setting); });
}

void ConfigBox::attach(EncodeSettingBase* setting) {
    if (setting_ != nullptr && setting_ != setting) {
        setting_->forgetBox(this);
    }
    setting_ = setting;
    if (setting != nullptr) {
        setting->linkBox(this);
    }
}

bool ConfigBox::applyChoices() {
    if (setting_ == nullptr || !isBuilt()) {
        return false;
    }
    setting_->takeSharedChoices(backgroundColour(), keepTransparency());
    applyOwn();
    return true;
}

void ConfigBox::resetBox() {
    if (setting_ != nullptr) {
        setting_->forgetBox(this);
        setting_ = nullptr;
    }
    if (background_ != nullptr) {
        background_->release();
        background_ = nullptr;
    }
    localizer_ = nullptr;
    outer_ = nullptr;
    depthCount_ = 0;
}

IBox* ConfigBox::build() {
    const int32_t s = system::monitor::uiScale();
    if (background_ == nullptr) {
        background_ = BgGroupBox::pool();
    }
    Box* outer = Box::create(IBox::COLUMN, 0, 100, 100, 0, 0, 10 * s, 0, 0);
    if (background_ == nullptr || outer == nullptr) {
        if (outer != nullptr) {
            outer->release();
        }
        return nullptr;
    }
    background_->setLocalizer(localizer_);
    if (s::gui::IComponent* own = buildOwn()) {
        outer->add(own);
    }
    const int32_t red = setting_ != nullptr ? setting_->backgroundRed() : EncodeSettingBase::DEFAULT_COLOUR;
    const int32_t green = setting_ != nullptr ? setting_->backgroundGreen() : EncodeSettingBase::DEFAULT_COLOUR;
    const int32_t blue = setting_ != nullptr ? setting_->backgroundBlue() : EncodeSettingBase::DEFAULT_COLOUR;
    // Without a setting the box offers to keep transparency where the format can.
    const bool keeps = keepAllowed() && (setting_ == nullptr || setting_->keepsTransparency());
    if (GroupBox* group = background_->build(keepAllowed(), keeps, red, green, blue)) {
        outer->add(group);
    }
    outer_ = outer;
    return outer;
}

bool ConfigBox::keepTransparency() const {
    return background_ != nullptr && background_->keepTransparency();
}

uint32_t ConfigBox::backgroundColour() const {
    return background_ != nullptr && background_->colourField() != nullptr ? background_->colourField()->colour()
                                                                            : ColorPicker::DEFAULT_COLOUR;
}

GroupBox* ConfigBox::formatGroup(int32_t textId, const wchar_t* caption, int32_t gapX) const {
    const int32_t s = system::monitor::uiScale();
    return localizer_ != nullptr && localizer_->hasText(textId)
               ? GroupBox::createWithTextId(IBox::COLUMN, gapX, 5 * s, 20 * s, 3 * s, 100, textId)
               : GroupBox::createWithText(IBox::COLUMN, gapX, 5 * s, 20 * s, 3 * s, 100, caption);
}

GroupBox* ConfigBox::depthGroup(const Depth* depths, int32_t count, int32_t current) {
    GroupBox* group = formatGroup(RESOLUTION_TEXT_ID, L"Resolution", 10 * system::monitor::uiScale());
    depthCount_ = 0;
    if (group == nullptr) {
        return nullptr;
    }
    for (int32_t i = 0; i < count && i < MAX_DEPTHS; ++i) {
        RadioButton* button =
            captioned<RadioButton>(localizer_, depths[i].textId, depths[i].caption, depths[i].bitCount == current);
        if (button == nullptr) {
            continue;
        }
        button->addCheckedListener(this);
        group->add(button);
        depthButtons_[depthCount_] = button;
        depths_[depthCount_] = depths[i].bitCount;
        ++depthCount_;
    }
    return group;
}

int32_t ConfigBox::chosenDepth(int32_t fallback) const {
    for (int32_t i = 0; i < depthCount_; ++i) {
        if (depthButtons_[i]->isChecked()) {
            return depths_[i];
        }
    }
    return fallback;
}

void ConfigBox::onEvent(base::IObject* source, int32_t) {
    int32_t clicked = -1;
    for (int32_t i = 0; i < depthCount_; ++i) {
        if (source == static_cast<base::IObject*>(depthButtons_[i]) && depthButtons_[i]->isChecked()) {
            clicked = i;
        }
    }
    for (int32_t i = 0; clicked >= 0 && i < depthCount_; ++i) {
        if (i != clicked && depthButtons_[i]->isChecked()) {
            depthButtons_[i]->setChecked(false, false);
        }
    }
}

} // namespace s::image::gui::boxes
