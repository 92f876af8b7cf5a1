#include "system/lang/LangPack.h"

#include <cwchar>
#include <initializer_list>

#include "core/col/_array/ArrayS32.h"
#include "core/map/MapTable.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/system/win/OsFacts.h"

namespace s::lang {

using str::strbuffer::StrBuffer;

namespace {

const wchar_t* textOrEmpty(const StrBuffer* s) {
    return s != nullptr ? s->c_str() : L"";
}

void assignText(StrBuffer*& slot, const wchar_t* text) {
    if (slot != nullptr) {
        slot->assign(text != nullptr ? text : L"");
    }
}

} // namespace

LangPack::LangPack()
    : tagName_(StrBuffer::pool()),
      engName_(StrBuffer::pool()),
      trueName_(StrBuffer::pool()),
      ids_(col::_array::ArrayS32::pool()),
      texts_(StrArray::pool()),
      keys_(StrArray::pool()),
      namedTexts_(map::MapTable::pool()) {
    if (namedTexts_ != nullptr) {
        namedTexts_->setKeyCleaner(&StrBuffer::pooler());
        namedTexts_->setValueCleaner(&StrBuffer::pooler());
    }
}

LangPack::~LangPack() {
    for (StrBuffer* s : {tagName_, engName_, trueName_}) {
        if (s != nullptr) s->release();
    }
    if (ids_ != nullptr) ids_->release();
    if (texts_ != nullptr) texts_->release();
    if (keys_ != nullptr) keys_->release();
    if (namedTexts_ != nullptr) {
        namedTexts_->clear();
        namedTexts_->release();
    }
}

void LangPack::reset() {
    for (StrBuffer* s : {tagName_, engName_, trueName_}) {
        if (s != nullptr) s->clear();
    }
    if (ids_ != nullptr) ids_->clear();
    if (texts_ != nullptr) texts_->clear();
    if (keys_ != nullptr) keys_->clear();
    if (namedTexts_ != nullptr) namedTexts_->clear();
}

const wchar_t* LangPack::tagName() const { return textOrEmpty(tagName_); }
const wchar_t* LangPack::engName() const { return textOrEmpty(engName_); }
const wchar_t* LangPack::trueName() const { return textOrEmpty(trueName_); }

void LangPack::setNames(const wchar_t* tagName, const wchar_t* engName, const wchar_t* trueName) {
    assignText(tagName_, tagName);
    assignText(engName_, engName);
    assignText(trueName_, trueName);
}

StrBuffer* LangPack::storedText(const wchar_t* text) const {
    StrBuffer* stored = StrBuffer::fromText(text != nullptr ? text : L"");
    if (stored != nullptr && std::wcscmp(tagName(), L"vec") == 0 && !system::win::OsFacts::isVistaOrLater()) {
        stored->replaceAll(L"\u019A", L"\u0142");
    }
    return stored;
}

bool LangPack::addText(int32_t id, const wchar_t* text) {
    if (ids_ == nullptr || texts_ == nullptr) {
        return false;
    }
    StrBuffer* stored = storedText(text);
    if (stored == nullptr) {
        return false;
    }
    // Both lists grow together or not at all, so they stay parallel (a text the list
    // could not take is given back by the list).
    const uint32_t n = texts_->count();
    texts_->addOwned(stored);
    if (texts_->count() != n + 1) {
        return false;
    }
    if (!ids_->add(id)) {
        texts_->removeAt(n);
        return false;
    }
    return true;
}

StrBuffer* LangPack::findNamed(const wchar_t* key) const {
    if (namedTexts_ == nullptr || namedTexts_->count() == 0 || key == nullptr) {
        return nullptr;
    }
    StrBuffer* probe = StrBuffer::fromText(key);
    if (probe == nullptr) {
        return nullptr;
    }
    map::MapTable::Node** slot = namedTexts_->findSlot(probe->hashCode(), probe);
    probe->release();
    return slot != nullptr && *slot != nullptr ? static_cast<StrBuffer*>((*slot)->value) : nullptr;
}

bool LangPack::addNamedText(const wchar_t* key, const wchar_t* text) {
    if (namedTexts_ == nullptr || keys_ == nullptr || key == nullptr || hasKey(key)) {
        return false;
    }
    StrBuffer* mapKey = StrBuffer::fromText(key);
    StrBuffer* stored = storedText(text);
    if (mapKey == nullptr || stored == nullptr || !namedTexts_->insert(mapKey->hashCode(), mapKey, stored)) {
        if (mapKey != nullptr) mapKey->release();
        if (stored != nullptr) stored->release();
        return false;
    }
    keys_->add(key);
    return true;
}

bool LangPack::hasId(int32_t id) const {
    return textOf(id) != nullptr;
}

const wchar_t* LangPack::textOf(int32_t id) const {
    if (ids_ == nullptr || texts_ == nullptr) {
        return nullptr;
    }
    const uint32_t n = ids_->count() < texts_->count() ? ids_->count() : texts_->count();
    const int32_t* values = ids_->values();
    for (uint32_t i = 0; i < n; ++i) {
        if (values[i] == id) {
            return texts_->get(i)->c_str();
        }
    }
    return nullptr;
}

bool LangPack::hasKey(const wchar_t* key) const {
    return findNamed(key) != nullptr;
}

const wchar_t* LangPack::namedText(const wchar_t* key) const {
    const StrBuffer* text = findNamed(key);
    return text != nullptr ? text->c_str() : nullptr;
}

uint32_t LangPack::textCount() const {
    return ids_ != nullptr ? ids_->count() : 0;
}

int32_t LangPack::idAt(uint32_t index) const {
    return ids_ != nullptr && index < ids_->count() ? ids_->get(index) : 0;
}

const wchar_t* LangPack::textAt(uint32_t index) const {
    return texts_ != nullptr && index < texts_->count() ? texts_->get(index)->c_str() : L"";
}

} // namespace s::lang
