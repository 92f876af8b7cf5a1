#include "core/digest/HexDump.h"

#include "core/str/strbuffer/StrBuffer.h"

namespace s::digest {

using str::strbuffer::StrBuffer;

namespace {

const wchar_t DIGITS[] = L"0123456789abcdef";

// Writes each value as lower-case hex digits (two per byte) after the text (append)
// or from the start (replace); the length ends after the last value.
template <class T>
StrBuffer* dump(const T* values, uint32_t count, StrBuffer* out, bool append) {
    if (out == nullptr) {
        out = StrBuffer::pool();
        if (out == nullptr) {
            return nullptr;
        }
    }
    const uint32_t digits = sizeof(T) * 2;
    const uint32_t start = append ? out->length() : 0;
    const uint64_t end = start + static_cast<uint64_t>(count) * digits;
    if (end > UINT32_MAX) {
        return out;
    }
    if (!(append ? out->reserve(static_cast<uint32_t>(end)) : out->reserveExact(static_cast<uint32_t>(end)))) {
        return out;
    }
    wchar_t* at = out->data() + start;
    for (uint32_t i = 0; i < count; ++i) {
        const T value = values[i];
        for (uint32_t d = digits; d-- > 0;) {
            *at++ = DIGITS[(value >> (d * 4)) & 0x0F];
        }
    }
    out->setLength(static_cast<uint32_t>(end));
    return out;
}

} // namespace

StrBuffer* hexDump8(const uint8_t* values, uint32_t count, StrBuffer* out, bool append) {
    return dump(values, count, out, append);
}

StrBuffer* hexDump16(const uint16_t* values, uint32_t count, StrBuffer* out, bool append) {
    return dump(values, count, out, append);
}

StrBuffer* hexDump32(const uint32_t* values, uint32_t count, StrBuffer* out, bool append) {
    return dump(values, count, out, append);
}

StrBuffer* hexDump64(const uint64_t* values, uint32_t count, StrBuffer* out, bool append) {
    return dump(values, count, out, append);
}

} // namespace s::digest
