#include "core/str/strarray/StrArray.h"

#include <cstring>

#include "core/col/_array/ArrayU08.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::str::strarray {

using col::_array::ArrayU08;
using strbuffer::StrBuffer;

StrArray::StrArray() {
    items_.setCleaner(&StrBuffer::pooler());
}

StrArray::~StrArray() {
    // At destruction the strings are deleted outright, not pooled.
    const uint32_t n = items_.count();
    for (uint32_t i = 0; i < n; ++i) {
        delete get(i);
    }
    items_.setCleaner(nullptr);
    items_.clear();
}

void StrArray::clear() {
    if (items_.count() != 0) {
        items_.freeStorage();
    }
}

void StrArray::reset() {
    // The inner array keeps the string pool as its cleaner across pool round trips.
    items_.freeStorage();
}

StrArray* StrArray::add(const wchar_t* text) {
    StrBuffer* s = StrBuffer::fromText(text);
    return addOwned(s);
}

StrArray* StrArray::addOwned(StrBuffer* text) {
    if (text != nullptr && !items_.add(text)) {
        text->release();
    }
    return this;
}

bool StrArray::find(const StrBuffer* text, uint32_t* index) const {
    if (text == nullptr) {
        return false;
    }
    const uint32_t n = items_.count();
    for (uint32_t i = 0; i < n; ++i) {
        if (get(i)->equalsIgnoreCase(text)) {
            if (index != nullptr) {
                *index = i;
            }
            return true;
        }
    }
    return false;
}

bool StrArray::findText(const wchar_t* text, uint32_t* index) const {
    StrBuffer* s = StrBuffer::fromText(text);
    if (s == nullptr) {
        return false;
    }
    const bool found = find(s, index);
    s->release();
    return found;
}

void StrArray::removeAt(uint32_t index) {
    if (index < items_.count()) {
        items_.removeAndDispose(index);
    }
}

void StrArray::fromMultiString(const ArrayU08* bytes) {
    clear();
    if (bytes == nullptr) {
        return;
    }
    const uint32_t n = bytes->count() / 2;
    if (n < 2) {
        return;
    }
    // Units are read byte-wise: the array gives no alignment promise.
    const uint8_t* raw = bytes->items();
    auto unitAt = [raw](uint32_t i) { return static_cast<wchar_t>(raw[2 * i] | (raw[2 * i + 1] << 8)); };
    if (unitAt(n - 1) != 0 || unitAt(n - 2) != 0) {
        return;
    }
    uint32_t i = 0;
    do {
        uint32_t end = i;
        while (end < n && unitAt(end) != 0) {
            ++end;
        }
        StrBuffer* s = StrBuffer::pool();
        if (s == nullptr) {
            return;
        }
        if (end > i && s->reserveExact(end - i)) {
            std::memcpy(s->data(), raw + 2 * static_cast<size_t>(i), static_cast<size_t>(end - i) * 2);
            s->setLength(end - i);
        }
        addOwned(s);
        i = end + 1;
    } while (i < n && unitAt(i) != 0);
}

ArrayU08* StrArray::toMultiString(ArrayU08* bytes) const {
    if (bytes == nullptr) {
        bytes = ArrayU08::pool();
        if (bytes == nullptr) {
            return nullptr;
        }
    }
    bytes->clear();
    const uint32_t n = items_.count();
    if (n == 0) {
        // Two NUL units: an empty block.
        if (bytes->setCount(4)) {
            std::memset(bytes->items(), 0, 4);
        }
        return bytes;
    }
    uint64_t total = 2;
    for (uint32_t i = 0; i < n; ++i) {
        total += static_cast<uint64_t>(get(i)->length()) * 2 + 2;
    }
    if (total > UINT32_MAX || !bytes->setCount(static_cast<uint32_t>(total))) {
        return bytes;
    }
    uint8_t* out = bytes->items();
    for (uint32_t i = 0; i < n; ++i) {
        const StrBuffer* s = get(i);
        const size_t size = static_cast<size_t>(s->length()) * 2;
        if (size != 0) {
            std::memcpy(out, s->data(), size);
        }
        out[size] = 0;
        out[size + 1] = 0;
        out += size + 2;
    }
    out[0] = 0;
    out[1] = 0;
    return bytes;
}

ArrayU08* StrArray::joinLines() const {
    StrBuffer* text = StrBuffer::pool();
    if (text == nullptr) {
        return nullptr;
    }
    const uint32_t n = items_.count();
    for (uint32_t i = 0; i < n; ++i) {
        if (i != 0) {
            text->append(L"\r\n");
        }
        text->append(get(i));
    }
    ArrayU08* bytes = text->toUtf8Unterminated(nullptr, false);
    text->release();
    return bytes;
}

} // namespace s::str::strarray
