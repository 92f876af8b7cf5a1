#include "drawers/gui/drawer/skin/Base.h"

#include "core/str/strbuffer/StrBuffer.h"
#include "drawers/gui/drawer/IButton.h"
#include "drawers/gui/drawer/ICheckBox.h"
#include "drawers/gui/drawer/ICombo.h"
#include "drawers/gui/drawer/ICounter.h"
#include "drawers/gui/drawer/IGroupBox.h"
#include "drawers/gui/drawer/IListBox.h"
#include "drawers/gui/drawer/IListHeader.h"
#include "drawers/gui/drawer/IMenu.h"
#include "drawers/gui/drawer/IRadioButton.h"
#include "drawers/gui/drawer/IScrollBar.h"
#include "drawers/gui/drawer/ISlider.h"
#include "drawers/gui/drawer/IStatusBar.h"
#include "drawers/gui/drawer/ITabBox.h"
#include "drawers/gui/drawer/IText.h"
#include "drawers/gui/drawer/IWindow.h"

namespace s::gui::drawer::skin {

Base::Base() : name_(str::strbuffer::StrBuffer::pool()) {}

Base::~Base() {
    Base::reset();
    if (name_ != nullptr) {
        name_->release();
    }
}

void Base::reset() {
    if (name_ != nullptr) {
        name_->clear();
    }
    replace(window_, static_cast<IWindow*>(nullptr));
    replace(button_, static_cast<IButton*>(nullptr));
    replace(text_, static_cast<IText*>(nullptr));
    replace(scrollBar_, static_cast<IScrollBar*>(nullptr));
    replace(checkBox_, static_cast<ICheckBox*>(nullptr));
    replace(radioButton_, static_cast<IRadioButton*>(nullptr));
    replace(slider_, static_cast<ISlider*>(nullptr));
    replace(counter_, static_cast<ICounter*>(nullptr));
    replace(listHeader_, static_cast<IListHeader*>(nullptr));
    replace(listBox_, static_cast<IListBox*>(nullptr));
    replace(statusBar_, static_cast<IStatusBar*>(nullptr));
    replace(menu_, static_cast<IMenu*>(nullptr));
    replace(combo_, static_cast<ICombo*>(nullptr));
    replace(groupBox_, static_cast<IGroupBox*>(nullptr));
    replace(tabBox_, static_cast<ITabBox*>(nullptr));
}

const wchar_t* Base::getName() const {
    return name_ != nullptr ? name_->c_str() : L"";
}

void Base::setName(const wchar_t* name) {
    if (name_ == nullptr) {
        return;
    }
    name_->clear();
    name_->append(name != nullptr ? name : L"");
}

} // namespace s::gui::drawer::skin
