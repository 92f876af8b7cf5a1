#include "system/xml/AttrFactory.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace s::xml {

namespace {

wchar_t* copyText(const wchar_t* text, uint32_t length) {
    wchar_t* copy = new (std::nothrow) wchar_t[static_cast<size_t>(length) + 1];
    if (copy != nullptr) {
        if (length != 0) {
            std::memcpy(copy, text, static_cast<size_t>(length) * sizeof(wchar_t));
        }
        copy[length] = L'\0';
    }
    return copy;
}

uint32_t lengthOf(const wchar_t* text, int32_t length) {
    if (text == nullptr) {
        return 0;
    }
    return length < 0 ? static_cast<uint32_t>(wcslen(text)) : static_cast<uint32_t>(length);
}

} // namespace

AttrFactory& AttrFactory::instance() {
    static AttrFactory* const factory = new AttrFactory();
    return *factory;
}

AttrFactory::~AttrFactory() {
    destroyIdle();
}

base::IObject* AttrFactory::newInstance() const {
    return new (std::nothrow) AttrFactory();
}

AttrFactory::Record* AttrFactory::make(const wchar_t* name, int32_t nameLength, const wchar_t* value,
                                       int32_t valueLength) {
    Record* record = static_cast<Record*>(acquire());
    if (record == nullptr) {
        return nullptr;
    }
    const uint32_t nl = lengthOf(name, nameLength);
    const uint32_t vl = lengthOf(value, valueLength);
    record->name = copyText(name, nl);
    record->value = copyText(value, vl);
    if (record->name == nullptr || record->value == nullptr) {
        release(record, -1);
        return nullptr;
    }
    record->nameLength = nl;
    record->valueLength = vl;
    return record;
}

void* AttrFactory::generate() {
    Record* record = new (std::nothrow) Record;
    if (record != nullptr) {
        std::memset(record, 0, sizeof(*record));
    }
    return record;
}

int32_t AttrFactory::sizeOf(void*) {
    return static_cast<int32_t>(sizeof(Record));
}

void AttrFactory::prepare(void* object) {
    Record* record = static_cast<Record*>(object);
    delete[] record->name;
    delete[] record->value;
    std::memset(record, 0, sizeof(*record));
}

void AttrFactory::destroyObject(void* object) {
    if (object != nullptr) {
        prepare(object);
        delete static_cast<Record*>(object);
    }
}

} // namespace s::xml
