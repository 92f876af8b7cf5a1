#include "core/str/strbuffer/StrBuffer.h"

#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <new>

#include "core/col/_array/ArrayBase.h"
#include "core/col/_array/ArrayU08.h"
#include "core/digest/HexDump.h"
#include "core/digest/md5/Md5.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/Iterator.h"
#include "core/system/codepage/CodePage.h"
#include "core/system/codepage/CodePageCatalogue.h"
#include "core/thread/ObjLocker.h"
#include "core/str/strbuffer/StagedSource.h"
#include "core/str/strbuffer/StrBufferUnits.h"

namespace s::str::strbuffer {

using col::_array::ArrayBase;
using col::_array::ArrayU08;
using namespace units;

// ---------------------------------------------------------------- appending units

StrBuffer* StrBuffer::prepend(const wchar_t* units, int32_t count) {
    const uint32_t n = textLength(units, count);
    if (n == 0) {
        return this;
    }
    // A source inside this string is found again after the storage moves.
    const bool own = StagedSource::inStorage(units, units_, capacity_);
    const size_t offset = own ? static_cast<size_t>(units - units_) : 0;
    if (!ensureRoom(n)) {
        return this;
    }
    std::memmove(units_ + n, units_, static_cast<size_t>(length_) * sizeof(wchar_t));
    const wchar_t* src = own ? units_ + offset + n : units;
    std::memcpy(units_, src, static_cast<size_t>(n) * sizeof(wchar_t));
    length_ += n;
    return this;
}

StrBuffer* StrBuffer::appendUnits(const wchar_t* units, int32_t count) {
    const uint32_t n = textLength(units, count);
    if (n == 0) {
        return this;
    }
    const bool own = StagedSource::inStorage(units, units_, capacity_);
    const size_t offset = own ? static_cast<size_t>(units - units_) : 0;
    if (!ensureRoom(n)) {
        return this;
    }
    const wchar_t* src = own ? units_ + offset : units;
    std::memmove(units_ + length_, src, static_cast<size_t>(n) * sizeof(wchar_t));
    length_ += n;
    return this;
}

StrBuffer* StrBuffer::appendBytes(const char* chars, int32_t count) {
    const uint32_t n = chars == nullptr ? 0 : (count < 0 ? static_cast<uint32_t>(strlen(chars)) : static_cast<uint32_t>(count));
    if (n == 0 || !ensureRoom(n)) {
        return this;
    }
    // Bytes 0x80-0xFF become U+0080-U+00FF (Latin-1), never U+FF80-U+FFFF.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(chars);
    for (uint32_t i = 0; i < n; ++i) {
        units_[length_ + i] = static_cast<wchar_t>(bytes[i]);
    }
    length_ += n;
    return this;
}

StrBuffer* StrBuffer::appendBytes(const char* text) {
    return appendBytes(text, -1);
}

StrBuffer* StrBuffer::appendChar(wchar_t unit) {
    if (length_ == capacity_ && !grow()) {
        return this;
    }
    units_[length_++] = unit;
    return this;
}

StrBuffer* StrBuffer::append(const StrBuffer* other) {
    if (other == nullptr || other->length_ == 0) {
        return this;
    }
    const uint32_t n = other->length_;
    if (!ensureRoom(n)) {
        return this;
    }
    // Read the source after reserving: it may be this string.
    std::memmove(units_ + length_, other->units_, static_cast<size_t>(n) * sizeof(wchar_t));
    length_ += n;
    return this;
}

StrBuffer* StrBuffer::append(const wchar_t* text) {
    return appendUnits(text, -1);
}

StrBuffer* StrBuffer::assign(const StrBuffer* other) {
    if (other == this) {
        return this;
    }
    length_ = 0;
    return append(other);
}

StrBuffer* StrBuffer::assign(const wchar_t* text) {
    // appendUnits moves (not copies) a source taken from this string's own storage.
    length_ = 0;
    return appendUnits(text, -1);
}

StrBuffer* StrBuffer::appendHex(const uint64_t* values, uint32_t count) {
    digest::hexDump64(values, count, this, true);
    return this;
}

StrBuffer* StrBuffer::appendHex(const uint32_t* values, uint32_t count) {
    digest::hexDump32(values, count, this, true);
    return this;
}

StrBuffer* StrBuffer::appendHex(const uint16_t* values, uint32_t count) {
    digest::hexDump16(values, count, this, true);
    return this;
}

StrBuffer* StrBuffer::appendHex(const uint8_t* values, uint32_t count) {
    digest::hexDump8(values, count, this, true);
    return this;
}

StrBuffer* StrBuffer::appendHex(const int64_t* values, uint32_t count) {
    digest::hexDump64(reinterpret_cast<const uint64_t*>(values), count, this, true);
    return this;
}

StrBuffer* StrBuffer::appendHex(const int32_t* values, uint32_t count) {
    digest::hexDump32(reinterpret_cast<const uint32_t*>(values), count, this, true);
    return this;
}

StrBuffer* StrBuffer::appendHex(const int16_t* values, uint32_t count) {
    digest::hexDump16(reinterpret_cast<const uint16_t*>(values), count, this, true);
    return this;
}

StrBuffer* StrBuffer::appendHex(const int8_t* values, uint32_t count) {
    digest::hexDump8(reinterpret_cast<const uint8_t*>(values), count, this, true);
    return this;
}

StrBuffer* StrBuffer::appendHexWords(const uint64_t* values, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t words[2] = {static_cast<uint32_t>(values[i]), static_cast<uint32_t>(values[i] >> 32)};
        digest::hexDump32(words, 2, this, true);
    }
    return this;
}

// ---------------------------------------------------------------- replacing and cutting

uint32_t StrBuffer::replaceAllImpl(const wchar_t* text, const wchar_t* with, bool ignoreCase) {
    const uint32_t n = textLength(text, -1);
    const uint32_t w = textLength(with, -1);
    if (n == 0 || n > length_) {
        return 0;
    }
    // Patterns taken from this string's own storage would change under our feet.
    StrBuffer* textCopy = nullptr;
    StrBuffer* withCopy = nullptr;
    if (StagedSource::inStorage(text, units_, capacity_)) {
        textCopy = fromText(text);
        text = textCopy->c_str();
    }
    if (with != nullptr && StagedSource::inStorage(with, units_, capacity_)) {
        withCopy = fromText(with);
        with = withCopy->c_str();
    }
    auto matchAt = [&](uint32_t i) { return i + n <= length_ && unitsEqual(units_ + i, text, n, ignoreCase); };
    uint32_t replaced = 0;
    if (w == n) {
        for (uint32_t i = 0; i + n <= length_;) {
            if (matchAt(i)) {
                std::memcpy(units_ + i, with, static_cast<size_t>(n) * sizeof(wchar_t));
                i += n;
                ++replaced;
            } else {
                ++i;
            }
        }
    } else if (w < n) {
        uint32_t out = 0;
        for (uint32_t i = 0; i < length_;) {
            if (matchAt(i)) {
                if (w != 0) {
                    std::memmove(units_ + out, with, static_cast<size_t>(w) * sizeof(wchar_t));
                }
                out += w;
                i += n;
                ++replaced;
            } else {
                units_[out++] = units_[i++];
            }
        }
        length_ = out;
    } else {
        uint32_t first = 0;
        while (first + n <= length_ && !matchAt(first)) {
            ++first;
        }
        StrBuffer* result = first + n <= length_ ? pool() : nullptr;
        if (result != nullptr) {
            result->appendUnits(units_, static_cast<int32_t>(first));
            for (uint32_t i = first; i < length_;) {
                if (matchAt(i)) {
                    result->appendUnits(with, static_cast<int32_t>(w));
                    i += n;
                    ++replaced;
                } else {
                    result->appendChar(units_[i++]);
                }
            }
            swapStorage(result);
            result->release();
        }
    }
    if (textCopy != nullptr) {
        textCopy->release();
    }
    if (withCopy != nullptr) {
        withCopy->release();
    }
    return replaced;
}

uint32_t StrBuffer::replaceAll(const wchar_t* text, const wchar_t* with) {
    return replaceAllImpl(text, with, false);
}

uint32_t StrBuffer::replaceAllIgnoreCase(const wchar_t* text, const wchar_t* with) {
    return replaceAllImpl(text, with, true);
}

StrBuffer* StrBuffer::copy() const {
    StrBuffer* s = pool();
    return s != nullptr ? s->append(this) : nullptr;
}

StrBuffer* StrBuffer::keepRange(uint32_t start, uint32_t end) {
    if (end > length_) {
        end = length_;
    }
    if (start >= end) {
        length_ = 0;
        return this;
    }
    if (start != 0) {
        std::memmove(units_, units_ + start, static_cast<size_t>(end - start) * sizeof(wchar_t));
    }
    length_ = end - start;
    return this;
}

StrBuffer* StrBuffer::substring(uint32_t start, uint32_t end) const {
    StrBuffer* s = pool();
    if (s == nullptr) {
        return nullptr;
    }
    if (end > length_) {
        end = length_;
    }
    if (start < end) {
        s->appendUnits(units_ + start, static_cast<int32_t>(end - start));
    }
    return s;
}

StrBuffer* StrBuffer::prefix(bool found, uint32_t at) const {
    return substring(0, found ? at : 0);
}

StrBuffer* StrBuffer::beforeLast(wchar_t ch, uint32_t before) const {
    uint32_t at = 0;
    const bool found = lastIndexOf(ch, before, &at);
    return prefix(found, at);
}

StrBuffer* StrBuffer::beforeLastIgnoreCase(wchar_t ch, uint32_t before) const {
    uint32_t at = 0;
    const bool found = lastIndexOfIgnoreCase(ch, before, &at);
    return prefix(found, at);
}

StrBuffer* StrBuffer::beforeLastAny(const wchar_t* set, int32_t count, uint32_t before) const {
    uint32_t at = 0;
    const bool found = lastIndexOfAny(set, count, before, &at);
    return prefix(found, at);
}

StrBuffer* StrBuffer::beforeLastAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t before) const {
    uint32_t at = 0;
    const bool found = lastIndexOfAnyIgnoreCase(set, count, before, &at);
    return prefix(found, at);
}

StrBuffer* StrBuffer::beforeLastText(const wchar_t* text, uint32_t before) const {
    uint32_t at = 0;
    const bool found = lastIndexOfText(text, before, &at);
    return prefix(found, at);
}

StrBuffer* StrBuffer::beforeLastTextIgnoreCase(const wchar_t* text, uint32_t before) const {
    uint32_t at = 0;
    const bool found = lastIndexOfTextIgnoreCase(text, before, &at);
    return prefix(found, at);
}

// ---------------------------------------------------------------- digest

StrBuffer* StrBuffer::digestHex(digest::md5::Md5* digester, StrBuffer* out, bool append) const {
    digest::md5::Md5* md5 = digester != nullptr ? digester : digest::md5::Md5::pool();
    if (md5 == nullptr) {
        return out;
    }
    if (length_ != 0) {
        md5->update(units_, static_cast<uint64_t>(length_) * sizeof(wchar_t));
    }
    md5->finish(nullptr);
    out = md5->toHex(out, append);
    if (digester == nullptr) {
        md5->release();
    }
    return out;
}

} // namespace s::str::strbuffer
