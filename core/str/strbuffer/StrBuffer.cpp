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

// Space, LF, ideographic space, tab, CR.
const wchar_t DEFAULT_TRIM_SET[] = {L' ', L'\n', 0x3000, L'\t', L'\r'};
const uint32_t DEFAULT_TRIM_COUNT = 5;

inline wchar_t unfold(wchar_t u) {
    return (u >= L'a' && u <= L'z') ? static_cast<wchar_t>(u - 32) : u;
}

inline bool sameUnit(wchar_t a, wchar_t b, bool ignoreCase) {
    return ignoreCase ? fold(a) == fold(b) : a == b;
}

bool inSet(wchar_t u, const wchar_t* set, uint32_t n, bool ignoreCase) {
    for (uint32_t i = 0; i < n; ++i) {
        if (sameUnit(u, set[i], ignoreCase)) {
            return true;
        }
    }
    return false;
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
