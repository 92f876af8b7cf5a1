#include "widgets/gui/menuitem/MenuItem.h"

#include "core/str/strbuffer/StrBuffer.h"
#include "system/lang/Localizer.h"

namespace s::gui::menuitem {

MenuItem::MenuItem() : caption_(str::strbuffer::StrBuffer::pool()) {
    reset();
}

MenuItem::~MenuItem() {
    if (caption_ != nullptr) {
        caption_->release();
    }
}

void MenuItem::reset() {
    localizer = nullptr;
    textId = -1;
    commandId = -1;
    checked = 0;
    radioSelected = 0;
    separator = 0;
    value = 0;
    if (caption_ != nullptr) {
        caption_->clear();
    }
}

MenuItem* MenuItem::createWithText(const wchar_t* caption, int32_t commandId) {
    MenuItem* item = pool();
    if (item != nullptr) {
        item->setCaption(caption);
        item->commandId = commandId;
    }
    return item;
}

MenuItem* MenuItem::createWithTextId(int32_t textId, lang::Localizer* localizer, int32_t commandId, bool checked) {
    MenuItem* item = pool();
    if (item != nullptr) {
        item->localizer = localizer;
        item->textId = textId;
        item->commandId = commandId;
        item->checked = checked ? 1 : 0;
        item->recaption();
    }
    return item;
}

MenuItem* MenuItem::createSeparator() {
    MenuItem* item = pool();
    if (item != nullptr) {
        item->separator = 1;
    }
    return item;
}

void MenuItem::recaption() {
    if (localizer != nullptr && textId != -1) {
        setCaption(localizer->getText(textId));
    }
}

const wchar_t* MenuItem::getCaption() const {
    return caption_ != nullptr ? caption_->c_str() : L"";
}

void MenuItem::setCaption(const wchar_t* caption) {
    if (caption_ != nullptr) {
        caption_->clear();
        caption_->append(caption != nullptr ? caption : L"");
    }
}

void MenuItem::setTextId(int32_t id) {
    textId = id;
    recaption();
}

} // namespace s::gui::menuitem
