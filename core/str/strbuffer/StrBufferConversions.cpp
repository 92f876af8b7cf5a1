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

namespace {

// Code pages the conversions treat without the Windows converters.
const int32_t CP_UTF16LE = 1200;
const int32_t CP_UTF16BE = 1201;

// Room handed to the number formatter: the usual width, and enough for any "%f" of a
// double (up to 309 integer digits, sign, point and six decimals).
const uint32_t NUMBER_ROOM = 256;
const uint32_t NUMBER_ROOM_WIDE = 1024;

inline int hexValue(wchar_t u) {
    if (u >= L'0' && u <= L'9') {
        return u - L'0';
    }
    if (u >= L'a' && u <= L'f') {
        return u - L'a' + 10;
    }
    if (u >= L'A' && u <= L'F') {
        return u - L'A' + 10;
    }
    return -1;
}

// Units that are not "narrow" always belong to words; narrow ones only when they
// are letters, digits or one of % + -.
bool isWordUnit(wchar_t u) {
    const bool narrow = u <= 0xFF || (u >= 0x3000 && u <= 0x3002) || u == 0x300C || u == 0x300D ||
                        u == 0x3010 || u == 0x3011 || u == 0xFF08 || u == 0xFF09;
    if (!narrow) {
        return true;
    }
    if (u == L'%' || u == L'+' || u == L'-') {
        return true;
    }
    return u <= 0xFF && iswalnum(u);
}

// The bounded formatter of the C runtime; -1 when the text does not fit.
int formatNumber(wchar_t* out, uint32_t room, const wchar_t* format, va_list args) {
    const int n = _vsnwprintf(out, room, format, args);
    return (n < 0 || static_cast<uint32_t>(n) >= room) ? -1 : n;
}

// The shared formatting string of the assign operations, under its own lock.
thread::ObjLocker& numberLocker() {
    static thread::ObjLocker* const locker = new thread::ObjLocker();
    return *locker;
}

// Texts are converted in slices of this many units: the system's conversions count
// in 32-bit signed numbers.
const uint32_t CONVERSION_SLICE = 1u << 26;

// Where a slice of units from `from` may end: never between the two halves of a pair.
uint32_t sliceEnd(const wchar_t* units, uint32_t from, uint32_t length) {
    if (length - from <= CONVERSION_SLICE) {
        return length;
    }
    uint32_t end = from + CONVERSION_SLICE;
    if (units[end - 1] >= 0xD800 && units[end - 1] <= 0xDBFF) {
        --end;
    }
    return end;
}

// Where a slice of code-page bytes may end: never inside a character. 0 when the
// code page's characters cannot be told apart without converting from the start.
size_t byteSliceEnd(uint32_t codePage, const unsigned char* chars, size_t from, size_t n) {
    if (n - from <= CONVERSION_SLICE) {
        return n;
    }
    size_t end = from + CONVERSION_SLICE;
    if (codePage == CP_UTF8) {
        while (end > from && (chars[end] & 0xC0) == 0x80) {
            --end;
        }
        return end > from ? end : 0;
    }
    CPINFO info;
    if (!GetCPInfo(codePage, &info)) {
        return 0;
    }
    if (info.MaxCharSize == 1) {
        return end;
    }
    if (info.MaxCharSize == 2 && info.LeadByte[0] != 0) {
        size_t at = from;
        while (at < end) {
            at += IsDBCSLeadByteEx(codePage, chars[at]) ? 2 : 1;
        }
        return at > end ? end - 1 : end;
    }
    return 0;
}

// The number to convert with: the UTF-16 entries of the catalogue map to the
// byte-copying forms.
uint32_t conversionNumber(const system::codepage::CodePage* codePage) {
    const system::codepage::CodePageCatalogue& pages = system::codepage::CodePageCatalogue::ensureCodePages();
    if (codePage == pages.utf16() || codePage->number() == CP_UTF16LE) {
        return CP_UTF16LE;
    }
    if (codePage == pages.utf16Be() || codePage->number() == CP_UTF16BE) {
        return CP_UTF16BE;
    }
    return static_cast<uint32_t>(codePage->number());
}

} // namespace

// ---------------------------------------------------------------- conversions

ArrayU08* StrBuffer::toCodePageImpl(uint32_t codePage, ArrayU08* bytes, bool append, bool countNul) const {
    ArrayU08* made = nullptr;
    if (bytes == nullptr) {
        bytes = made = ArrayU08::pool();
        if (bytes == nullptr) {
            return nullptr;
        }
    } else if (!append) {
        bytes->clear();
    }
    const uint32_t start = bytes->count();
    const bool wide = codePage == CP_UTF16LE || codePage == CP_UTF16BE;
    // The UTF-16 forms end in a NUL unit, the others in a NUL byte.
    const uint32_t nulBytes = wide ? 2 : 1;

    // Bytes the text needs, counted in 64 bits. Code pages are asked slice by slice,
    // since some need more than 3 bytes a unit (GB18030, the ISO-2022 escapes).
    uint64_t need = 0;
    bool ok = true;
    if (wide) {
        need = static_cast<uint64_t>(length_) * 2;
    } else {
        for (uint32_t from = 0; ok && from < length_;) {
            const uint32_t end = sliceEnd(units_, from, length_);
            const int n = WideCharToMultiByte(codePage, 0, units_ + from, static_cast<int>(end - from), nullptr, 0,
                                              nullptr, nullptr);
            ok = n > 0;
            need += ok ? static_cast<uint64_t>(n) : 0;
            from = end;
        }
    }
    const uint64_t total = start + need + nulBytes;
    ok = ok && total <= UINT32_MAX &&
         (append ? bytes->reserve(static_cast<uint32_t>(total)) : bytes->reserveExact(static_cast<uint32_t>(total)));
    uint8_t* out = ok ? bytes->items() + start : nullptr;
    uint64_t produced = 0;
    if (ok && codePage == CP_UTF16LE) {
        std::memcpy(out, units_, static_cast<size_t>(need));
        produced = need;
    } else if (ok && codePage == CP_UTF16BE) {
        for (size_t i = 0; i < length_; ++i) {
            out[2 * i] = static_cast<uint8_t>(units_[i] >> 8);
            out[2 * i + 1] = static_cast<uint8_t>(units_[i]);
        }
        produced = need;
    } else {
        for (uint32_t from = 0; ok && from < length_;) {
            const uint32_t end = sliceEnd(units_, from, length_);
            const uint64_t room = need - produced;
            const int n = WideCharToMultiByte(codePage, 0, units_ + from, static_cast<int>(end - from),
                                              reinterpret_cast<char*>(out + produced),
                                              static_cast<int>(room < INT32_MAX ? room : INT32_MAX), nullptr, nullptr);
            ok = n > 0;
            produced += ok ? static_cast<uint64_t>(n) : 0;
            from = end;
        }
    }
    if (!ok) {
        // Never a silently shortened text: no array at all.
        if (made != nullptr) {
            made->release();
        } else {
            bytes->setCount(start);
        }
        return nullptr;
    }
    std::memset(out + produced, 0, nulBytes);
    bytes->setCount(static_cast<uint32_t>(start + produced + (countNul ? nulBytes : 0)));
    return bytes;
}

ArrayU08* StrBuffer::toUtf8(ArrayU08* bytes, bool append) const {
    return toCodePageImpl(CP_UTF8, bytes, append, true);
}

ArrayU08* StrBuffer::toUtf8Unterminated(ArrayU08* bytes, bool append) const {
    return toCodePageImpl(CP_UTF8, bytes, append, false);
}

ArrayU08* StrBuffer::toOem(ArrayU08* bytes, bool append) const {
    return toCodePageImpl(GetOEMCP(), bytes, append, true);
}

ArrayU08* StrBuffer::toOemUnterminated(ArrayU08* bytes, bool append) const {
    return toCodePageImpl(GetOEMCP(), bytes, append, false);
}

ArrayU08* StrBuffer::toCodePage(const system::codepage::CodePage* codePage, ArrayU08* bytes, bool append) const {
    if (codePage == nullptr) {
        return nullptr;
    }
    return toCodePageImpl(conversionNumber(codePage), bytes, append, true);
}

ArrayU08* StrBuffer::toCodePageUnterminated(const system::codepage::CodePage* codePage, ArrayU08* bytes, bool append) const {
    if (codePage == nullptr) {
        return nullptr;
    }
    return toCodePageImpl(conversionNumber(codePage), bytes, append, false);
}

StrBuffer* StrBuffer::fromMultiByte(uint32_t codePage, const char* chars, bool append, int32_t count) {
    // -1 stops before the NUL: the terminator is not part of the text.
    const size_t n = chars == nullptr ? 0 : (count < 0 ? strlen(chars) : static_cast<size_t>(count));
    StagedSource source(chars, n, units_, capacity_);
    if (source.failed()) {
        return nullptr;
    }
    if (!append) {
        length_ = 0;
    }
    if (n == 0) {
        return this;
    }
    const unsigned char* in = static_cast<const unsigned char*>(source.get());
    const uint32_t before = length_;
    // Slice by slice, so texts past 2^31 bytes convert whole or not at all.
    for (size_t from = 0; from < n;) {
        const size_t end = byteSliceEnd(codePage, in, from, n);
        if (end <= from) {
            length_ = before;
            return nullptr;
        }
        const char* slice = reinterpret_cast<const char*>(in + from);
        const int need = MultiByteToWideChar(codePage, 0, slice, static_cast<int>(end - from), nullptr, 0);
        const uint64_t total = static_cast<uint64_t>(length_) + static_cast<uint32_t>(need > 0 ? need : 0);
        const bool room = need > 0 && total <= UINT32_MAX &&
                          (append || from != 0 ? reserve(static_cast<uint32_t>(total))
                                               : reserveExact(static_cast<uint32_t>(total)));
        const int produced =
            room ? MultiByteToWideChar(codePage, 0, slice, static_cast<int>(end - from), units_ + length_, need) : 0;
        if (produced <= 0) {
            length_ = before;
            return from == 0 && n <= CONVERSION_SLICE ? this : nullptr;
        }
        length_ += static_cast<uint32_t>(produced);
        from = end;
    }
    return this;
}

StrBuffer* StrBuffer::fromUtf8(const char* chars, bool append, int32_t count) {
    return fromMultiByte(CP_UTF8, chars, append, count);
}

StrBuffer* StrBuffer::fromOem(const char* chars, bool append, int32_t count) {
    return fromMultiByte(GetOEMCP(), chars, append, count);
}

StrBuffer* StrBuffer::fromCodePage(const system::codepage::CodePage* codePage, const void* chars, bool append,
                                   int32_t count) {
    if (codePage == nullptr) {
        return this;
    }
    const uint32_t number = conversionNumber(codePage);
    if (number != CP_UTF16LE && number != CP_UTF16BE) {
        return fromMultiByte(number, static_cast<const char*>(chars), append, count);
    }
    if (chars == nullptr) {
        if (!append) {
            length_ = 0;
        }
        return this;
    }
    const uint8_t* given = static_cast<const uint8_t*>(chars);
    uint32_t n;
    if (count < 0) {
        n = 0;
        while (given[2 * n] != 0 || given[2 * n + 1] != 0) {
            ++n;
        }
    } else {
        n = static_cast<uint32_t>(count) / 2;
    }
    // Our own units appended again are read before the resize frees them.
    StagedSource source(given, static_cast<size_t>(n) * 2, units_, capacity_);
    if (source.failed()) {
        return nullptr;
    }
    const uint8_t* in = static_cast<const uint8_t*>(source.get());
    if (!append) {
        length_ = 0;
    }
    if (n == 0 || !(append ? ensureRoom(n) : reserveExact(n))) {
        return this;
    }
    if (number == CP_UTF16LE) {
        std::memcpy(units_ + length_, in, static_cast<size_t>(n) * 2);
    } else {
        for (uint32_t i = 0; i < n; ++i) {
            units_[length_ + i] = static_cast<wchar_t>((in[2 * i] << 8) | in[2 * i + 1]);
        }
    }
    length_ += n;
    return this;
}

// ---------------------------------------------------------------- numbers

int32_t StrBuffer::toInt() const {
    return static_cast<int32_t>(_wtoi(c_str()));
}

int64_t StrBuffer::toInt64() const {
    return static_cast<int64_t>(_wtoi64(c_str()));
}

float StrBuffer::toFloat() const {
    return static_cast<float>(wcstod(c_str(), nullptr));
}

bool StrBuffer::isHex() const {
    if (length_ == 0) {
        return false;
    }
    for (uint32_t i = 0; i < length_; ++i) {
        if (hexValue(units_[i]) < 0) {
            return false;
        }
    }
    return true;
}

uint32_t StrBuffer::hexDigitAt(uint32_t i) const {
    const int v = hexValue(units_[i]);
    return v < 0 ? 0 : static_cast<uint32_t>(v);
}

uint32_t StrBuffer::parseHex() const {
    uint32_t value = 0;
    for (uint32_t i = 0; i < length_; ++i) {
        value = value * 16 + hexDigitAt(i);
    }
    return value;
}

ArrayU08* StrBuffer::hexToBytes(ArrayU08* bytes, bool append) const {
    if (bytes == nullptr) {
        bytes = ArrayU08::pool();
        if (bytes == nullptr) {
            return nullptr;
        }
    } else if (!append) {
        bytes->clear();
    }
    const uint32_t n = length_ / 2;
    const uint32_t start = bytes->count();
    if (n == 0 || static_cast<uint64_t>(start) + n > UINT32_MAX || !bytes->reserve(start + n)) {
        return bytes;
    }
    uint8_t* out = bytes->items() + start;
    uint8_t previous = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const int high = hexValue(units_[2 * i]);
        const int low = hexValue(units_[2 * i + 1]);
        const uint8_t h = high < 0 ? static_cast<uint8_t>(previous & 0x0F) : static_cast<uint8_t>(high);
        const uint8_t l = low < 0 ? 0 : static_cast<uint8_t>(low);
        previous = static_cast<uint8_t>((h << 4) | l);
        out[i] = previous;
    }
    bytes->setCount(start + n);
    return bytes;
}

bool StrBuffer::isInteger() const {
    if (length_ == 0) {
        return false;
    }
    for (uint32_t i = 0; i < length_; ++i) {
        const wchar_t u = units_[i];
        if (u >= L'0' && u <= L'9') {
            continue;
        }
        if (i == 0 && u == L'-' && length_ > 1) {
            continue;
        }
        return false;
    }
    return true;
}

StrBuffer* StrBuffer::appendNumber(const wchar_t* format, ...) {
    // Try the usual room, then room for any double; on failure the text is unchanged.
    const uint32_t rooms[2] = {NUMBER_ROOM, NUMBER_ROOM_WIDE};
    for (uint32_t room : rooms) {
        if (!ensureRoom(room)) {
            return this;
        }
        va_list args;
        va_start(args, format);
        const int n = formatNumber(units_ + length_, room + 1, format, args);
        va_end(args);
        if (n >= 0) {
            length_ += static_cast<uint32_t>(n);
            return this;
        }
    }
    return this;
}

StrBuffer* StrBuffer::assignNumber(const wchar_t* format, ...) {
    length_ = 0;
    thread::ObjLocker& locker = numberLocker();
    thread::ObjLocker::Guard guard(locker);
    StrBuffer* shared = static_cast<StrBuffer*>(locker.held());
    if (shared == nullptr) {
        shared = new (std::nothrow) StrBuffer();
        if (shared == nullptr) {
            return this;
        }
        locker.setHeld(shared);
    }
    const uint32_t rooms[2] = {NUMBER_ROOM, NUMBER_ROOM_WIDE};
    int n = -1;
    for (uint32_t room : rooms) {
        if (!shared->reserveExact(room)) {
            break;
        }
        va_list args;
        va_start(args, format);
        n = formatNumber(shared->units_, room + 1, format, args);
        va_end(args);
        if (n >= 0) {
            break;
        }
    }
    shared->length_ = n > 0 ? static_cast<uint32_t>(n) : 0;
    if (shared->length_ != 0 && reserveExact(shared->length_)) {
        std::memcpy(units_, shared->units_, static_cast<size_t>(shared->length_) * sizeof(wchar_t));
        length_ = shared->length_;
    }
    return this;
}

StrBuffer* StrBuffer::appendInt64(int64_t value) {
    return appendNumber(L"%I64d", value);
}

StrBuffer* StrBuffer::appendUInt32(uint32_t value) {
    return appendNumber(L"%u", value);
}

StrBuffer* StrBuffer::appendUInt16(uint16_t value) {
    return appendNumber(L"%u", static_cast<uint32_t>(value));
}

StrBuffer* StrBuffer::appendUInt8(uint8_t value) {
    return appendNumber(L"%u", static_cast<uint32_t>(value));
}

StrBuffer* StrBuffer::appendInt32(int32_t value) {
    return appendNumber(L"%d", value);
}

StrBuffer* StrBuffer::appendInt16(int16_t value) {
    return appendNumber(L"%d", static_cast<int32_t>(value));
}

StrBuffer* StrBuffer::appendInt8(int8_t value) {
    return appendNumber(L"%d", static_cast<int32_t>(value));
}

StrBuffer* StrBuffer::appendFloat(float value) {
    return appendNumber(L"%f", static_cast<double>(value));
}

StrBuffer* StrBuffer::appendDouble(double value) {
    return appendNumber(L"%f", value);
}

StrBuffer* StrBuffer::assignInt64(int64_t value) {
    return assignNumber(L"%I64d", value);
}

StrBuffer* StrBuffer::assignUInt32(uint32_t value) {
    return assignNumber(L"%u", value);
}

StrBuffer* StrBuffer::assignUInt16(uint16_t value) {
    return assignNumber(L"%u", static_cast<uint32_t>(value));
}

StrBuffer* StrBuffer::assignUInt8(uint8_t value) {
    return assignNumber(L"%u", static_cast<uint32_t>(value));
}

StrBuffer* StrBuffer::assignInt32(int32_t value) {
    return assignNumber(L"%d", value);
}

StrBuffer* StrBuffer::assignInt16(int16_t value) {
    return assignNumber(L"%d", static_cast<int32_t>(value));
}

StrBuffer* StrBuffer::assignInt8(int8_t value) {
    return assignNumber(L"%d", static_cast<int32_t>(value));
}

StrBuffer* StrBuffer::assignFloat(float value) {
    return assignNumber(L"%f", static_cast<double>(value));
}

StrBuffer* StrBuffer::assignDouble(double value) {
    return assignNumber(L"%f", value);
}

// ---------------------------------------------------------------- words

strarray::StrArray* StrBuffer::split(wchar_t ch) const {
    strarray::StrArray* list = strarray::StrArray::pool();
    if (list == nullptr) {
        return nullptr;
    }
    uint32_t start = 0;
    for (uint32_t i = 0; i <= length_; ++i) {
        if (i == length_ || units_[i] == ch) {
            if (i > start) {
                list->addOwned(substring(start, i));
            }
            start = i + 1;
        }
    }
    return list;
}

strarray::StrArray* StrBuffer::distinctWords(bool skipCommonWords) const {
    strarray::StrArray* list = strarray::StrArray::pool();
    if (list == nullptr) {
        return nullptr;
    }
    static const wchar_t* const COMMON[] = {L"the", L"of", L"and"};
    uint32_t start = 0;
    bool inWord = false;
    for (uint32_t i = 0; i <= length_; ++i) {
        const bool word = i < length_ && isWordUnit(units_[i]);
        if (word && !inWord) {
            start = i;
            inWord = true;
        } else if (!word && inWord) {
            inWord = false;
            StrBuffer* w = substring(start, i);
            if (w == nullptr) {
                continue;
            }
            bool drop = list->find(w);
            if (!drop && skipCommonWords) {
                for (const wchar_t* common : COMMON) {
                    const uint32_t n = textLength(common, -1);
                    if (w->length_ == n && unitsEqual(w->units_, common, n, true)) {
                        drop = true;
                        break;
                    }
                }
            }
            if (drop) {
                w->release();
            } else {
                list->addOwned(w);
            }
        }
    }
    return list;
}

} // namespace s::str::strbuffer
