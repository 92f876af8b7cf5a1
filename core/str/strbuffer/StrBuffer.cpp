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

namespace s::str::strbuffer {

using col::_array::ArrayBase;
using col::_array::ArrayU08;

namespace {

// Space, LF, ideographic space, tab, CR.
const wchar_t DEFAULT_TRIM_SET[] = {L' ', L'\n', 0x3000, L'\t', L'\r'};
const uint32_t DEFAULT_TRIM_COUNT = 5;

// Code pages the conversions treat without the Windows converters.
const int32_t CP_UTF16LE = 1200;
const int32_t CP_UTF16BE = 1201;

// Room handed to the number formatter: the usual width, and enough for any "%f" of a
// double (up to 309 integer digits, sign, point and six decimals).
const uint32_t NUMBER_ROOM = 256;
const uint32_t NUMBER_ROOM_WIDE = 1024;

inline wchar_t fold(wchar_t u) {
    return (u >= L'A' && u <= L'Z') ? static_cast<wchar_t>(u + 32) : u;
}

inline wchar_t unfold(wchar_t u) {
    return (u >= L'a' && u <= L'z') ? static_cast<wchar_t>(u - 32) : u;
}

inline bool sameUnit(wchar_t a, wchar_t b, bool ignoreCase) {
    return ignoreCase ? fold(a) == fold(b) : a == b;
}

uint32_t textLength(const wchar_t* text, int32_t count) {
    if (text == nullptr) {
        return 0;
    }
    return count < 0 ? static_cast<uint32_t>(wcslen(text)) : static_cast<uint32_t>(count);
}

bool inSet(wchar_t u, const wchar_t* set, uint32_t n, bool ignoreCase) {
    for (uint32_t i = 0; i < n; ++i) {
        if (sameUnit(u, set[i], ignoreCase)) {
            return true;
        }
    }
    return false;
}

bool unitsEqual(const wchar_t* a, const wchar_t* b, uint32_t n, bool ignoreCase) {
    if (!ignoreCase) {
        return n == 0 || wmemcmp(a, b, n) == 0;
    }
    for (uint32_t i = 0; i < n; ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

// wcsncmp / _wcsnicmp semantics (stops at a NUL in either text), as -1, 0 or 1;
// n < 0 compares up to the NULs.
int32_t compareTexts(const wchar_t* a, const wchar_t* b, int64_t n, bool ignoreCase) {
    for (int64_t i = 0; n < 0 || i < n; ++i) {
        const wchar_t ua = ignoreCase ? fold(a[i]) : a[i];
        const wchar_t ub = ignoreCase ? fold(b[i]) : b[i];
        if (ua != ub) {
            return ua < ub ? -1 : 1;
        }
        if (ua == 0) {
            return 0;
        }
    }
    return 0;
}

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

bool isInStorage(const void* p, const wchar_t* units, uint32_t capacity) {
    const uintptr_t a = reinterpret_cast<uintptr_t>(p);
    const uintptr_t lo = reinterpret_cast<uintptr_t>(units);
    return units != nullptr && a >= lo && a < lo + (static_cast<uintptr_t>(capacity) + 1) * sizeof(wchar_t);
}

// A source that lies in the string's own storage, copied aside: a resize frees that
// storage, and a conversion that empties the string first would write over it.
class StagedSource {
public:
    StagedSource(const void* source, size_t bytes, const wchar_t* units, uint32_t capacity)
        : source_(source), copy_(nullptr), failed_(false) {
        if (source != nullptr && bytes != 0 && isInStorage(source, units, capacity)) {
            copy_ = std::malloc(bytes);
            failed_ = copy_ == nullptr;
            if (copy_ != nullptr) {
                std::memcpy(copy_, source, bytes);
            }
            source_ = copy_;
        }
    }
    ~StagedSource() { std::free(copy_); }
    StagedSource(const StagedSource&) = delete;
    StagedSource& operator=(const StagedSource&) = delete;
    bool failed() const { return failed_; }
    const void* get() const { return source_; }

private:
    const void* source_;
    void* copy_;
    bool failed_;
};

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

} // namespace

// ---------------------------------------------------------------- construction

StrBuffer::StrBuffer() : units_(nullptr), length_(0), capacity_(0), position_(0) {}

StrBuffer::~StrBuffer() {
    std::free(units_);
}

void StrBuffer::reset() {
    freeStorage();
}

StrBuffer* StrBuffer::fromText(const wchar_t* text) {
    StrBuffer* s = pool();
    return s != nullptr ? s->assign(text) : nullptr;
}

StrBuffer* StrBuffer::fromConcat(const wchar_t* a, const wchar_t* b) {
    StrBuffer* s = pool();
    return s != nullptr ? s->append(a)->append(b) : nullptr;
}

StrBuffer* StrBuffer::joinPath(const wchar_t* dir, const wchar_t* name) {
    StrBuffer* s = pool();
    return s != nullptr ? s->append(dir)->appendChar(L'\\')->append(name) : nullptr;
}

StrBuffer* StrBuffer::shortcutPath(const wchar_t* dir, const wchar_t* name) {
    StrBuffer* s = joinPath(dir, name);
    return s != nullptr ? s->append(L".lnk") : nullptr;
}

int32_t StrBuffer::compareIgnoringCaseThenLength(const StrBuffer* a, const StrBuffer* b) {
    const uint32_t n = a->length_ < b->length_ ? a->length_ : b->length_;
    for (uint32_t i = 0; i < n; ++i) {
        const wchar_t ua = fold(a->units_[i]);
        const wchar_t ub = fold(b->units_[i]);
        if (ua != ub) {
            return ua < ub ? -1 : 1;
        }
    }
    return a->length_ == b->length_ ? 0 : (a->length_ < b->length_ ? -1 : 1);
}

// ---------------------------------------------------------------- IObject

int32_t StrBuffer::compareTo(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<StrBuffer>(other)) {
        return IStr::compareTo(other, comparator);
    }
    const StrBuffer* o = static_cast<const StrBuffer*>(other);
    const uint32_t n = length_ < o->length_ ? length_ : o->length_;
    if (n != 0) {
        const int c = std::memcmp(units_, o->units_, static_cast<size_t>(n) * sizeof(wchar_t));
        if (c != 0) {
            return c < 0 ? -1 : 1;
        }
    }
    return length_ == o->length_ ? 0 : (length_ < o->length_ ? -1 : 1);
}

int32_t StrBuffer::compareToIgnoreCase(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<StrBuffer>(other)) {
        return IStr::compareToIgnoreCase(other, comparator);
    }
    return compareIgnoringCaseThenLength(this, static_cast<const StrBuffer*>(other));
}

bool StrBuffer::equals(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<StrBuffer>(other)) {
        return IStr::equals(other, comparator);
    }
    const StrBuffer* o = static_cast<const StrBuffer*>(other);
    return length_ == o->length_ && unitsEqual(units_, o->units_, length_, false);
}

bool StrBuffer::equalsIgnoreCase(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr || !base::isClass<StrBuffer>(other)) {
        return IStr::equalsIgnoreCase(other, comparator);
    }
    const StrBuffer* o = static_cast<const StrBuffer*>(other);
    return length_ == o->length_ && unitsEqual(units_, o->units_, length_, true);
}

uint32_t StrBuffer::hashCode() const {
    uint32_t h = 0;
    for (uint32_t i = 0; i < length_; ++i) {
        h = ((h << 1) | ((h >> 30) & 1u)) ^ units_[i];
    }
    return h;
}

uint32_t StrBuffer::hashCodeIgnoreCase() const {
    uint32_t h = 0;
    for (uint32_t i = 0; i < length_; ++i) {
        h = ((h << 1) | ((h >> 30) & 1u)) ^ fold(units_[i]);
    }
    return h;
}

// ---------------------------------------------------------------- storage

void StrBuffer::terminate() const {
    if (units_ != nullptr) {
        units_[length_] = 0;
    }
}

const wchar_t* StrBuffer::c_str() const {
    if (length_ == 0) {
        return L"";
    }
    units_[length_] = 0;
    return units_;
}

bool StrBuffer::reallocate(uint32_t capacity) {
    // One more unit for the NUL; computed wide so a 32-bit build cannot wrap.
    const uint64_t bytes = (static_cast<uint64_t>(capacity) + 1) * sizeof(wchar_t);
    if (bytes > SIZE_MAX) {
        return false;
    }
    wchar_t* units = static_cast<wchar_t*>(std::malloc(static_cast<size_t>(bytes)));
    if (units == nullptr) {
        return false;
    }
    if (length_ != 0) {
        std::memcpy(units, units_, static_cast<size_t>(length_) * sizeof(wchar_t));
    }
    std::free(units_);
    units_ = units;
    capacity_ = capacity;
    return true;
}

bool StrBuffer::reserveExact(uint32_t n) {
    return n <= capacity_ || reallocate(n);
}

bool StrBuffer::grow() {
    const uint32_t next = ArrayBase::grownCapacity(capacity_);
    return next > capacity_ && reallocate(next);
}

bool StrBuffer::reserve(uint32_t n) {
    return n <= capacity_ || reallocate(ArrayBase::grownCapacityFor(capacity_, n));
}

bool StrBuffer::ensureRoom(uint32_t n) {
    const uint64_t need = static_cast<uint64_t>(length_) + n;
    return need <= UINT32_MAX && reserve(static_cast<uint32_t>(need));
}

void StrBuffer::clear() {
    length_ = 0;
    position_ = 0;
}

void StrBuffer::freeStorage() {
    std::free(units_);
    units_ = nullptr;
    length_ = 0;
    capacity_ = 0;
    position_ = 0;
}

void StrBuffer::swapStorage(StrBuffer* other) {
    wchar_t* units = units_;
    const uint32_t length = length_;
    const uint32_t capacity = capacity_;
    units_ = other->units_;
    length_ = other->length_;
    capacity_ = other->capacity_;
    other->units_ = units;
    other->length_ = length;
    other->capacity_ = capacity;
}

// ---------------------------------------------------------------- whole text

StrBuffer* StrBuffer::reverse() {
    if (length_ > 1) {
        for (uint32_t i = 0, j = length_ - 1; i < j; ++i, --j) {
            const wchar_t t = units_[i];
            units_[i] = units_[j];
            units_[j] = t;
        }
    }
    return this;
}

StrBuffer* StrBuffer::toLowerCase() {
    for (uint32_t i = 0; i < length_; ++i) {
        units_[i] = static_cast<wchar_t>(towlower(units_[i]));
    }
    return this;
}

StrBuffer* StrBuffer::toUpperCase() {
    for (uint32_t i = 0; i < length_; ++i) {
        units_[i] = static_cast<wchar_t>(towupper(units_[i]));
    }
    return this;
}

StrBuffer* StrBuffer::capitalize() {
    toLowerCase();
    if (length_ != 0 && units_[0] >= L'a' && units_[0] <= L'z') {
        units_[0] = static_cast<wchar_t>(units_[0] - 32);
    }
    return this;
}

wchar_t StrBuffer::charLowerAt(uint32_t i) const {
    return fold(units_[i]);
}

wchar_t StrBuffer::charUpperAt(uint32_t i) const {
    return unfold(units_[i]);
}

// ---------------------------------------------------------------- searches

namespace {

bool forwardSearch(const wchar_t* units, uint32_t length, uint32_t from, uint32_t* at,
                   const wchar_t* set, uint32_t setLength, bool ignoreCase) {
    for (uint32_t i = from; i < length; ++i) {
        if (inSet(units[i], set, setLength, ignoreCase)) {
            if (at != nullptr) {
                *at = i;
            }
            return true;
        }
    }
    return false;
}

// The units below `before`; END stands for the whole text even past END units.
uint32_t searchBound(uint32_t before, uint32_t length) {
    return before == StrBuffer::END || before > length ? length : before;
}

bool backwardSearch(const wchar_t* units, uint32_t length, uint32_t before, uint32_t* at,
                    const wchar_t* set, uint32_t setLength, bool ignoreCase) {
    for (uint32_t i = before < length ? before : length; i-- > 0;) {
        if (inSet(units[i], set, setLength, ignoreCase)) {
            if (at != nullptr) {
                *at = i;
            }
            return true;
        }
    }
    return false;
}

} // namespace

bool StrBuffer::indexOf(wchar_t ch, uint32_t from, uint32_t* at) const {
    return forwardSearch(units_, length_, from, at, &ch, 1, false);
}

bool StrBuffer::indexOfIgnoreCase(wchar_t ch, uint32_t from, uint32_t* at) const {
    return forwardSearch(units_, length_, from, at, &ch, 1, true);
}

bool StrBuffer::indexOfAny(const wchar_t* set, int32_t count, uint32_t from, uint32_t* at) const {
    return forwardSearch(units_, length_, from, at, set, textLength(set, count), false);
}

bool StrBuffer::indexOfAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t from, uint32_t* at) const {
    return forwardSearch(units_, length_, from, at, set, textLength(set, count), true);
}

bool StrBuffer::lastIndexOf(wchar_t ch, uint32_t before, uint32_t* at) const {
    return backwardSearch(units_, length_, searchBound(before, length_), at, &ch, 1, false);
}

bool StrBuffer::lastIndexOfIgnoreCase(wchar_t ch, uint32_t before, uint32_t* at) const {
    return backwardSearch(units_, length_, searchBound(before, length_), at, &ch, 1, true);
}

bool StrBuffer::lastIndexOfAny(const wchar_t* set, int32_t count, uint32_t before, uint32_t* at) const {
    return backwardSearch(units_, length_, searchBound(before, length_), at, set, textLength(set, count), false);
}

bool StrBuffer::lastIndexOfAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t before, uint32_t* at) const {
    return backwardSearch(units_, length_, searchBound(before, length_), at, set, textLength(set, count), true);
}

bool StrBuffer::indexOfText(const wchar_t* text, uint32_t from, uint32_t* at) const {
    const uint32_t n = textLength(text, -1);
    if (n == 0 || n > length_) {
        return false;
    }
    for (uint32_t i = from; i <= length_ - n; ++i) {
        if (units_[i] == text[0] && unitsEqual(units_ + i, text, n, false)) {
            if (at != nullptr) {
                *at = i;
            }
            return true;
        }
    }
    return false;
}

bool StrBuffer::indexOfTextIgnoreCase(const wchar_t* text, uint32_t from, uint32_t* at) const {
    const uint32_t n = textLength(text, -1);
    if (n == 0 || n > length_) {
        return false;
    }
    uint32_t i = from;
    while (indexOfIgnoreCase(text[0], i, &i) && i <= length_ - n) {
        if (regionMatchesIgnoreCase(i, text, 0, static_cast<int32_t>(n))) {
            if (at != nullptr) {
                *at = i;
            }
            return true;
        }
        ++i;
    }
    return false;
}

bool StrBuffer::lastIndexOfTextImpl(const wchar_t* text, uint32_t before, uint32_t* at, bool ignoreCase) const {
    const uint32_t n = textLength(text, -1);
    const uint32_t bound = searchBound(before, length_);
    // A pattern longer than the searched part cannot match (and must not wrap the start).
    if (n == 0 || n > bound) {
        return false;
    }
    // Candidates are the positions below start + 1 holding the first pattern unit.
    uint32_t limit = bound - n + 1;
    uint32_t i;
    while (backwardSearch(units_, length_, limit, &i, text, 1, ignoreCase)) {
        if (unitsEqual(units_ + i, text, n, ignoreCase)) {
            if (at != nullptr) {
                *at = i;
            }
            return true;
        }
        limit = i;
    }
    return false;
}

bool StrBuffer::lastIndexOfText(const wchar_t* text, uint32_t before, uint32_t* at) const {
    return lastIndexOfTextImpl(text, before, at, false);
}

bool StrBuffer::lastIndexOfTextIgnoreCase(const wchar_t* text, uint32_t before, uint32_t* at) const {
    return lastIndexOfTextImpl(text, before, at, true);
}

// ---------------------------------------------------------------- region tests

bool StrBuffer::regionMatchesImpl(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count,
                                  bool ignoreCase) const {
    if (text == nullptr) {
        return false;
    }
    uint32_t n;
    if (count < 0) {
        // The rest of the text from the offset, which must reach the end of this string.
        const uint32_t total = textLength(text, -1);
        if (textOffset > total) {
            return false;
        }
        n = total - textOffset;
        if (static_cast<uint64_t>(index) + n != length_) {
            return false;
        }
    } else {
        n = static_cast<uint32_t>(count);
        if (static_cast<uint64_t>(index) + n > length_) {
            return false;
        }
    }
    return unitsEqual(units_ + index, text + textOffset, n, ignoreCase);
}

bool StrBuffer::regionMatches(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const {
    return regionMatchesImpl(index, text, textOffset, count, false);
}

bool StrBuffer::regionMatchesIgnoreCase(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const {
    return regionMatchesImpl(index, text, textOffset, count, true);
}

bool StrBuffer::startsWith(const wchar_t* text, int32_t count) const {
    const uint32_t n = textLength(text, count);
    return text != nullptr && n <= length_ && regionMatchesImpl(0, text, 0, static_cast<int32_t>(n), false);
}

bool StrBuffer::startsWithIgnoreCase(const wchar_t* text, int32_t count) const {
    const uint32_t n = textLength(text, count);
    return text != nullptr && n <= length_ && regionMatchesImpl(0, text, 0, static_cast<int32_t>(n), true);
}

bool StrBuffer::endsWith(const wchar_t* text, int32_t count) const {
    const uint32_t n = textLength(text, count);
    return text != nullptr && n <= length_ && regionMatchesImpl(length_ - n, text, 0, static_cast<int32_t>(n), false);
}

bool StrBuffer::endsWithIgnoreCase(const wchar_t* text, int32_t count) const {
    const uint32_t n = textLength(text, count);
    return text != nullptr && n <= length_ && regionMatchesImpl(length_ - n, text, 0, static_cast<int32_t>(n), true);
}

int32_t StrBuffer::compareRegion(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const {
    if (index > length_) {
        return -1;
    }
    const wchar_t* own = units_ != nullptr ? (terminate(), units_ + index) : L"";
    return compareTexts(own, text + textOffset, count, false);
}

int32_t StrBuffer::compareRegionIgnoreCase(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const {
    if (index > length_) {
        return -1;
    }
    const wchar_t* own = units_ != nullptr ? (terminate(), units_ + index) : L"";
    return compareTexts(own, text + textOffset, count, true);
}

// ---------------------------------------------------------------- trims

StrBuffer* StrBuffer::trimEndImpl(const wchar_t* set, uint32_t setLength, uint32_t minLength) {
    while (length_ > minLength && inSet(units_[length_ - 1], set, setLength, false)) {
        --length_;
    }
    return this;
}

StrBuffer* StrBuffer::trimStartImpl(const wchar_t* set, uint32_t setLength) {
    uint32_t n = 0;
    while (n < length_ && inSet(units_[n], set, setLength, false)) {
        ++n;
    }
    if (n != 0) {
        std::memmove(units_, units_ + n, static_cast<size_t>(length_ - n) * sizeof(wchar_t));
        length_ -= n;
    }
    return this;
}

StrBuffer* StrBuffer::trimEnd() {
    return trimEndImpl(DEFAULT_TRIM_SET, DEFAULT_TRIM_COUNT, 0);
}

StrBuffer* StrBuffer::trimEndKeeping(uint32_t minLength) {
    return trimEndImpl(DEFAULT_TRIM_SET, DEFAULT_TRIM_COUNT, minLength);
}

StrBuffer* StrBuffer::trimEndSet(const wchar_t* set, int32_t count) {
    return trimEndImpl(set, textLength(set, count), 0);
}

StrBuffer* StrBuffer::trimEndSetKeeping(const wchar_t* set, uint32_t minLength, int32_t count) {
    return trimEndImpl(set, textLength(set, count), minLength);
}

StrBuffer* StrBuffer::trimStart() {
    return trimStartImpl(DEFAULT_TRIM_SET, DEFAULT_TRIM_COUNT);
}

StrBuffer* StrBuffer::trimStartSet(const wchar_t* set, int32_t count) {
    return trimStartImpl(set, textLength(set, count));
}

// ---------------------------------------------------------------- appending units

StrBuffer* StrBuffer::prepend(const wchar_t* units, int32_t count) {
    const uint32_t n = textLength(units, count);
    if (n == 0) {
        return this;
    }
    // A source inside this string is found again after the storage moves.
    const bool own = isInStorage(units, units_, capacity_);
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
    const bool own = isInStorage(units, units_, capacity_);
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
    if (isInStorage(text, units_, capacity_)) {
        textCopy = fromText(text);
        text = textCopy->c_str();
    }
    if (with != nullptr && isInStorage(with, units_, capacity_)) {
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

namespace {

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

// ---------------------------------------------------------------- iterators

Iterator* StrBuffer::iterator() {
    Iterator* it = Iterator::pool();
    if (it != nullptr) {
        it->start(this, -1, units_);
    }
    return it;
}

Iterator* StrBuffer::reverseIterator() {
    Iterator* it = Iterator::pool();
    if (it != nullptr) {
        it->start(this, static_cast<int32_t>(length_), units_ + length_);
    }
    return it;
}

Iterator* StrBuffer::iteratorAt(uint32_t index) {
    Iterator* it = Iterator::pool();
    if (it != nullptr) {
        it->start(this, static_cast<int32_t>(index) - 1, units_ + index);
    }
    return it;
}

Iterator* StrBuffer::reverseIteratorAt(uint32_t index) {
    Iterator* it = Iterator::pool();
    if (it != nullptr) {
        it->start(this, static_cast<int32_t>(length_ - index), units_ + (length_ - index));
    }
    return it;
}

// ---------------------------------------------------------------- streams

bool StrBuffer::read(void* buffer, uint32_t max, uint32_t& got) {
    got = 0;
    if (max == 0) {
        return true;
    }
    const int64_t end = static_cast<int64_t>(length_) * 2;
    if (position_ < 0 || position_ >= end) {
        return false;
    }
    const int64_t left = end - position_;
    got = left < max ? static_cast<uint32_t>(left) : max;
    std::memcpy(buffer, reinterpret_cast<const uint8_t*>(units_) + position_, got);
    position_ += got;
    return true;
}

bool StrBuffer::write(const void* bytes, uint32_t count, uint32_t& done) {
    done = 0;
    if (position_ < 0) {
        return false;
    }
    const int64_t end = position_ + count;
    const int64_t units = end / 2 + 1;
    if (units > UINT32_MAX) {
        return false;
    }
    // Our own units written again (at the end, say) are read before a resize frees them.
    StagedSource source(bytes, count, units_, capacity_);
    if (source.failed() || !reserve(static_cast<uint32_t>(units))) {
        return false;
    }
    bytes = source.get();
    uint8_t* base = reinterpret_cast<uint8_t*>(units_);
    const int64_t oldEnd = static_cast<int64_t>(length_) * 2;
    if (position_ > oldEnd) {
        // A write past the end leaves no stale storage in the gap.
        std::memset(base + oldEnd, 0, static_cast<size_t>(position_ - oldEnd));
    }
    if (count != 0) {
        std::memmove(base + position_, bytes, count);
    }
    position_ = end;
    if (static_cast<uint64_t>(end / 2) > length_) {
        length_ = static_cast<uint32_t>(end / 2);
    }
    done = count;
    return true;
}

} // namespace s::str::strbuffer
