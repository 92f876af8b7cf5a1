#include "app/video/VideoList.h"

#include <utility>

#include "widgets/gui/IComboBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"

namespace s::video {

using gui::IComboBox;
using gui::combobox::ComboBoxItem;

VideoList::VideoList(const wchar_t* key, int32_t defaultValue, int32_t nonChoice, std::vector<Entry> entries)
    : key_(key), default_(defaultValue), nonChoice_(nonChoice), entries_(std::move(entries)) {}

int32_t VideoList::indexOf(const IComboBox* list, int32_t value) const {
    if (list == nullptr || value == nonChoice_) {
        return -1;
    }
    for (int32_t i = 0; i < list->getItemCount(); ++i) {
        const ComboBoxItem* item = list->getItem(i);
        if (item != nullptr && item->value == value) {
            return i;
        }
    }
    return -1;
}

void VideoList::restore(IComboBox* list, int32_t stored) const {
    int32_t index = indexOf(list, stored);
    if (index < 0) {
        index = indexOf(list, default_);
    }
    if (index >= 0) {
        list->setSelectedIndex(index, false);
    }
}

bool VideoList::acceptChoice(IComboBox* list, int32_t* value) const {
    const ComboBoxItem* item = list != nullptr ? list->getSelectedItem() : nullptr;
    if (item != nullptr && item->value != nonChoice_) {
        *value = item->value;
        return true;
    }
    if (list != nullptr) {
        const ComboBoxItem* previous = list->getPreviousItem();
        if (previous != nullptr && previous->value != nonChoice_) {
            list->setSelectedIndex(list->getPreviousIndex(), false);
        } else {
            restore(list, default_);
        }
    }
    return false;
}

int32_t VideoList::chosenValue(const IComboBox* list) const {
    const ComboBoxItem* item = list != nullptr ? list->getSelectedItem() : nullptr;
    return item != nullptr && item->value != nonChoice_ ? item->value : default_;
}

} // namespace s::video
