#include "widgets/gui/combobox/ComboBoxItem.h"

#include "core/str/strbuffer/StrBuffer.h"
#include "system/lang/Localizer.h"

namespace s::gui::combobox {

ComboBoxItem::ComboBoxItem() : text_(str::strbuffer::StrBuffer::pool()) {
    reset();
}

ComboBoxItem::~ComboBoxItem() {
    if (text_ != nullptr) {
        text_->release();
    }
}

void ComboBoxItem::reset() {
    if (text_ != nullptr) {
        text_->clear();
    }
    textId = -1;
    localizer = nullptr;
    value = 0;
    fontFace = nullptr;
    listFlags = 0;
    fieldFlags = 0;
}

ComboBoxItem* ComboBoxItem::createWithText(const wchar_t* text, int32_t value, int32_t listFlags, int32_t fieldFlags) {
    ComboBoxItem* item = pool();
    if (item != nullptr) {
        item->setText(text);
        item->value = value;
        item->listFlags = listFlags;
        item->fieldFlags = fieldFlags;
    }
    return item;
}

ComboBoxItem* ComboBoxItem::createWithTextId(lang::Localizer* localizer, int32_t textId, int32_t value,
                                             int32_t listFlags, int32_t fieldFlags) {
    ComboBoxItem* item = createWithText(L"", value, listFlags, fieldFlags);
    if (item != nullptr) {
        item->localizer = localizer;
        item->textId = textId;
        item->recaption();
    }
    return item;
}

void ComboBoxItem::onEvent(base::IObject* source, int32_t) {
    if (source != nullptr && source == localizer) {
        recaption();
    }
}

void ComboBoxItem::recaption() {
    if (localizer != nullptr && textId != -1) {
        setText(localizer->getText(textId));
    }
}

const wchar_t* ComboBoxItem::getText() const {
    return text_ != nullptr ? text_->c_str() : L"";
}

void ComboBoxItem::setText(const wchar_t* text) {
    if (text_ != nullptr) {
        text_->clear();
        text_->append(text != nullptr ? text : L"");
    }
}

} // namespace s::gui::combobox
