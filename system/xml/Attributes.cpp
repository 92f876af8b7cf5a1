#include "system/xml/Attributes.h"

#include <cwchar>
#include <new>

namespace s::xml {

Attributes::Attributes() {
    list_.setCleaner(&AttrFactory::instance());
}

Attributes::~Attributes() {
    list_.freeStorage();
}

base::IObject* Attributes::newInstance() const {
    return new (std::nothrow) Attributes();
}

bool Attributes::add(const wchar_t* name, int32_t nameLength, const wchar_t* value, int32_t valueLength) {
    AttrFactory& factory = AttrFactory::instance();
    Record* record = factory.make(name, nameLength, value, valueLength);
    if (record == nullptr) {
        return false;
    }
    if (!list_.add(record)) {
        factory.release(record, -1);
        return false;
    }
    return true;
}

int32_t Attributes::indexOf(const wchar_t* name, int32_t nameLength) const {
    if (name == nullptr) {
        name = L"";
    }
    const uint32_t length = nameLength < 0 ? static_cast<uint32_t>(wcslen(name)) : static_cast<uint32_t>(nameLength);
    const uint32_t n = list_.count();
    for (uint32_t i = 0; i < n; ++i) {
        const Record* record = at(i);
        // msvcrt's comparison folds ASCII letters only, as every name lookup here does.
        if (record->nameLength == length && (length == 0 || _wcsnicmp(record->name, name, length) == 0)) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

Attributes::Record* Attributes::find(const wchar_t* name, int32_t nameLength) const {
    const int32_t i = indexOf(name, nameLength);
    return i < 0 ? nullptr : at(static_cast<uint32_t>(i));
}

void Attributes::removeAt(uint32_t i) {
    if (i < list_.count()) {
        list_.removeAndDispose(i);
    }
}

uint32_t Attributes::removeAll(const wchar_t* name, int32_t nameLength) {
    uint32_t removed = 0;
    for (int32_t i = indexOf(name, nameLength); i >= 0; i = indexOf(name, nameLength)) {
        removeAt(static_cast<uint32_t>(i));
        ++removed;
    }
    return removed;
}

void Attributes::clear() {
    // Lists are short-lived and small: idle elements hold no storage.
    list_.freeStorage();
}

} // namespace s::xml

