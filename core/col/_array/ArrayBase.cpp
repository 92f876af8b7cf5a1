#include "core/col/_array/ArrayBase.h"

#include <cstdlib>
#include <cstring>

#include "core/col/CollectionInputStream.h"
#include "core/col/_array/Iterator.h"
#include "core/digest/md5/Md5.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::col::_array {

ArrayBase::ArrayBase(uint8_t shift)
    : shift_(shift), items_(nullptr), count_(0), capacity_(0), position_(0) {}

ArrayBase::~ArrayBase() {
    std::free(items_);
}

uint32_t ArrayBase::grownCapacity(uint32_t c) {
    double next;
    if (c < 100) {
        return 100;
    } else if (c < 10000000) {
        next = c * 3.0;
    } else if (c < 50000000) {
        next = c * 2.0;
    } else if (c < 100000000) {
        next = c * 1.5;
    } else {
        next = c * 1.2;
    }
    if (next > static_cast<double>(UINT32_MAX)) {
        return c;
    }
    return static_cast<uint32_t>(next);
}

bool ArrayBase::reallocate(uint32_t capacity) {
    const uint64_t bytes = static_cast<uint64_t>(capacity) << shift_;
    if (bytes > SIZE_MAX) {
        return false;
    }
    uint8_t* storage = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytes)));
    if (storage == nullptr) {
        return false;
    }
    if (items_ != nullptr) {
        std::memcpy(storage, items_, static_cast<size_t>(count_) << shift_);
        std::free(items_);
    }
    items_ = storage;
    capacity_ = capacity;
    return true;
}

uint32_t ArrayBase::steppedCapacity(uint32_t n) const {
    return grownCapacityFor(capacity_, n);
}

uint32_t ArrayBase::grownCapacityFor(uint32_t c, uint32_t n) {
    while (c < n) {
        const uint32_t next = grownCapacity(c);
        if (next <= c) {
            return n;  // the ladder ran out: exactly what is needed
        }
        c = next;
    }
    return c;
}

bool ArrayBase::grow() {
    const uint32_t next = grownCapacity(capacity_);
    return next > capacity_ && reallocate(next);
}

bool ArrayBase::reserve(uint32_t n) {
    return n <= capacity_ || reallocate(steppedCapacity(n));
}

bool ArrayBase::reserveExact(uint32_t n) {
    return n <= capacity_ || reallocate(n);
}

bool ArrayBase::ensureRoom(uint32_t n) {
    if (n > UINT32_MAX - count_) {
        return false;
    }
    return reserve(count_ + n);
}

void ArrayBase::moveElements(uint32_t to, uint32_t from, uint32_t n) {
    if (n != 0 && to != from) {
        std::memmove(items_ + (static_cast<size_t>(to) << shift_), items_ + (static_cast<size_t>(from) << shift_),
                     static_cast<size_t>(n) << shift_);
    }
}

int32_t ArrayBase::compareTo(const base::IObject* other, const base::IComparator* comparator) const {
    if (comparator != nullptr) {
        return comparator->compare(static_cast<const base::IObject*>(this), other);
    }
    // Only arrays of the same class compare by content; anything else keeps the
    // address order.
    if (other == nullptr || other->className() != className()) {
        return IObject::compareTo(other, nullptr);
    }
    const auto* that = static_cast<const ArrayBase*>(other);
    if (count_ != that->count_) {
        return count_ < that->count_ ? -1 : 1;
    }
    const base::IComparator* order = this->comparator();
    const uint32_t size = elementSize();
    for (uint32_t i = 0; i < count_; ++i) {
        const uint8_t* a = items_ + static_cast<size_t>(i) * size;
        const uint8_t* b = that->items_ + static_cast<size_t>(i) * that->elementSize();
        int32_t r;
        if (order != nullptr) {
            r = order->compare(a, b);
        } else {
            const int m = std::memcmp(a, b, size);
            r = m < 0 ? -1 : (m > 0 ? 1 : 0);
        }
        if (r != 0) {
            return r;
        }
    }
    return 0;
}

bool ArrayBase::copyInto(ArrayBase* other, uint32_t destIndex, uint32_t srcIndex, int32_t count) const {
    if (other == nullptr || srcIndex > count_) {
        return false;
    }
    const uint32_t rest = count_ - srcIndex;
    const uint32_t n = count < 0 || static_cast<uint32_t>(count) > rest ? rest : static_cast<uint32_t>(count);
    if (other->shift_ == shift_) {
        return other->writeRange(items_, n, srcIndex, destIndex);
    }
    // Different element sizes: the range moves as bytes, and only as whole elements
    // of the other array.
    const uint64_t bytes = static_cast<uint64_t>(n) << shift_;
    if ((bytes & (other->elementSize() - 1)) != 0 || (bytes >> other->shift_) > UINT32_MAX) {
        return false;
    }
    return other->writeRange(items_ + (static_cast<size_t>(srcIndex) << shift_),
                             static_cast<uint32_t>(bytes >> other->shift_), 0, destIndex);
}

bool ArrayBase::copyFrom(const ArrayBase* other, uint32_t srcIndex, uint32_t destIndex, int32_t count) {
    return other != nullptr && other->copyInto(this, destIndex, srcIndex, count);
}

bool ArrayBase::setCount(uint32_t n) {
    if (!reserveExact(n)) {
        return false;
    }
    count_ = n;
    return true;
}

uint64_t ArrayBase::byteSize(int64_t n) const {
    if (n < 0) {
        n = count_;
    }
    return static_cast<uint64_t>(n) << shift_;
}

uint32_t ArrayBase::copyOut(void* buffer, uint32_t destIndex, uint32_t srcIndex, int32_t count) const {
    if (buffer == nullptr || srcIndex >= count_) {
        return 0;
    }
    const uint32_t rest = count_ - srcIndex;
    const uint32_t n = count < 0 || static_cast<uint32_t>(count) > rest ? rest : static_cast<uint32_t>(count);
    std::memcpy(static_cast<uint8_t*>(buffer) + (static_cast<size_t>(destIndex) << shift_),
                items_ + (static_cast<size_t>(srcIndex) << shift_), static_cast<size_t>(n) << shift_);
    return n;
}

bool ArrayBase::writeRange(const void* src, uint32_t count, uint32_t srcIndex, uint32_t destIndex) {
    if (count == 0) {
        return true;
    }
    if (src == nullptr || count > UINT32_MAX - destIndex) {
        return false;
    }
    const uint32_t end = destIndex + count;
    const uint8_t* from = static_cast<const uint8_t*>(src) + (static_cast<size_t>(srcIndex) << shift_);
    void* copy = nullptr;
    if (end > capacity_ && !stageOwnBytes(from, static_cast<size_t>(count) << shift_, copy)) {
        return false;
    }
    const bool ok = reserveExact(end);
    if (ok) {
        std::memmove(items_ + (static_cast<size_t>(destIndex) << shift_), from, static_cast<size_t>(count) << shift_);
        if (end > count_) {
            count_ = end;
        }
    }
    std::free(copy);
    return ok;
}

bool ArrayBase::stageOwnBytes(const uint8_t*& from, size_t bytes, void*& copy) const {
    copy = nullptr;
    const bool inside = items_ != nullptr && from >= items_ && from < items_ + (static_cast<size_t>(capacity_) << shift_);
    if (!inside) {
        return true;
    }
    // The source lies in our own storage, which a resize frees: keep a copy.
    copy = std::malloc(bytes);
    if (copy == nullptr) {
        return false;
    }
    std::memcpy(copy, from, bytes);
    from = static_cast<const uint8_t*>(copy);
    return true;
}

bool ArrayBase::append(const void* src, uint32_t count, uint32_t srcIndex) {
    return insert(count_, src, count, srcIndex);
}

bool ArrayBase::prepend(const void* src, uint32_t count, uint32_t srcIndex) {
    return insert(0, src, count, srcIndex);
}

bool ArrayBase::insert(uint32_t index, const void* src, uint32_t count, uint32_t srcIndex) {
    if (count == 0) {
        return true;
    }
    if (src == nullptr) {
        return false;
    }
    if (index > count_) {
        index = count_;
    }
    const uint8_t* from = static_cast<const uint8_t*>(src) + (static_cast<size_t>(srcIndex) << shift_);
    // Also when no resize is due: moving the tail up may overwrite the source.
    void* copy = nullptr;
    if (!stageOwnBytes(from, static_cast<size_t>(count) << shift_, copy)) {
        return false;
    }
    bool ok;
    if (count == 1 && count_ < capacity_) {
        ok = true;
    } else if (count == 1) {
        ok = count_ != UINT32_MAX && grow();
    } else {
        ok = ensureRoom(count);
    }
    if (ok) {
        moveElements(index + count, index, count_ - index);
        std::memcpy(items_ + (static_cast<size_t>(index) << shift_), from, static_cast<size_t>(count) << shift_);
        count_ += count;
    }
    std::free(copy);
    return ok;
}

uint32_t ArrayBase::dropLast(uint32_t n) {
    if (n > count_) {
        n = count_;
    }
    count_ -= n;
    return n;
}

uint32_t ArrayBase::dropFirst(uint32_t n) {
    return removeRange(0, n);
}

uint32_t ArrayBase::removeRange(uint32_t index, uint32_t n) {
    if (index >= count_) {
        return 0;
    }
    if (n > count_ - index) {
        n = count_ - index;
    }
    moveElements(index, index + n, count_ - index - n);
    count_ -= n;
    return n;
}

uint32_t ArrayBase::takeLast(void* buffer, uint32_t n, uint32_t destIndex) {
    if (n > count_) {
        n = count_;
    }
    return takeRange(count_ - n, buffer, n, destIndex);
}

uint32_t ArrayBase::takeFirst(void* buffer, uint32_t n, uint32_t destIndex) {
    return takeRange(0, buffer, n, destIndex);
}

uint32_t ArrayBase::takeRange(uint32_t index, void* buffer, uint32_t n, uint32_t destIndex) {
    if (index >= count_ || n == 0) {
        return 0;
    }
    if (n > count_ - index) {
        n = count_ - index;
    }
    if (buffer != nullptr) {
        copyOut(buffer, destIndex, index, static_cast<int32_t>(n));
    }
    return removeRange(index, n);
}

int32_t ArrayBase::compareRange(uint32_t index, const void* otherItems, uint32_t otherCount,
                                uint32_t otherIndex, int32_t limit) const {
    const uint32_t len1 = index < count_ ? count_ - index : 0;
    const uint32_t len2 = otherIndex < otherCount ? otherCount - otherIndex : 0;
    const uint32_t longer = len1 > len2 ? len1 : len2;
    // The full length never exceeds what the longer range holds: two equal ranges
    // that end before the limit are equal.
    const uint32_t full = limit < 0 || static_cast<uint32_t>(limit) > longer ? longer : static_cast<uint32_t>(limit);
    uint32_t compared = len1 < len2 ? len1 : len2;
    if (compared > full) {
        compared = full;
    }
    if (compared != 0) {
        const int m = std::memcmp(items_ + (static_cast<size_t>(index) << shift_),
                                  static_cast<const uint8_t*>(otherItems) + (static_cast<size_t>(otherIndex) << shift_),
                                  static_cast<size_t>(compared) << shift_);
        if (m != 0) {
            return m < 0 ? -1 : 1;
        }
    }
    if (compared == full) {
        return 0;
    }
    return len1 < len2 ? -1 : 1;
}

void ArrayBase::clear() {
    count_ = 0;
    position_ = 0;
}

void ArrayBase::freeStorage() {
    std::free(items_);
    items_ = nullptr;
    count_ = 0;
    capacity_ = 0;
    position_ = 0;
}

void ArrayBase::reset() {
    freeStorage();
}

void ArrayBase::swap(uint32_t i, uint32_t j) {
    uint8_t temp[8];
    swapVia(i, j, temp);
}

void ArrayBase::reverse() {
    if (count_ < 2) {
        return;
    }
    uint8_t temp[8];
    for (uint32_t i = 0, j = count_ - 1; i < j; ++i, --j) {
        swapVia(i, j, temp);
    }
}

void ArrayBase::swapVia(uint32_t i, uint32_t j, void* temp) {
    const size_t size = elementSize();
    uint8_t* a = items_ + i * size;
    uint8_t* b = items_ + j * size;
    std::memcpy(temp, a, size);
    std::memcpy(a, b, size);
    std::memcpy(b, temp, size);
}

const base::IComparator* ArrayBase::comparator() const {
    return nullptr;
}

ArrayBase::StrBuffer* ArrayBase::prepareOut(StrBuffer* out, bool append) {
    if (out == nullptr) {
        return StrBuffer::pool();
    }
    if (!append) {
        out->clear();
    }
    return out;
}

void ArrayBase::appendElementText(StrBuffer*, const void*) const {}

void ArrayBase::appendElementHex(StrBuffer*, const void*) const {}

ArrayBase::StrBuffer* ArrayBase::toString(StrBuffer* out, bool append) const {
    out = prepareOut(out, append);
    if (out == nullptr) {
        return nullptr;
    }
    out->append(typeName())->append(L" [");
    const size_t size = elementSize();
    for (uint32_t i = 0; i < count_; ++i) {
        if (i != 0) {
            out->appendChar(L' ');
        }
        appendElementText(out, items_ + i * size);
    }
    out->appendChar(L']');
    return out;
}

ArrayBase::StrBuffer* ArrayBase::toXml(StrBuffer* out, bool append) const {
    out = prepareOut(out, append);
    if (out == nullptr) {
        return nullptr;
    }
    out->appendChar(L'<')->append(typeName())->append(L" length=\"")->appendUInt32(count_)->append(L"\">");
    toHex(out, true);
    out->append(L"</")->append(typeName())->appendChar(L'>');
    return out;
}

ArrayBase::StrBuffer* ArrayBase::toHex(StrBuffer* out, bool append) const {
    out = prepareOut(out, append);
    if (out == nullptr) {
        return nullptr;
    }
    const size_t size = elementSize();
    for (uint32_t i = 0; i < count_; ++i) {
        appendElementHex(out, items_ + i * size);
    }
    return out;
}

ArrayBase::StrBuffer* ArrayBase::digest(::s::digest::md5::Md5* digester, StrBuffer* out, bool append) const {
    ::s::digest::md5::Md5* md5 = digester != nullptr ? digester : ::s::digest::md5::Md5::pool();
    if (md5 == nullptr) {
        return nullptr;
    }
    if (count_ != 0) {
        md5->update(items_, byteSize());
    }
    md5->finish(nullptr);
    out = md5->toHex(out, append);
    if (digester == nullptr) {
        md5->release();
    }
    return out;
}

io::IInputStream* ArrayBase::openInputStream() {
    CollectionInputStream* stream = CollectionInputStream::pool();
    if (stream != nullptr) {
        stream->open(this);
    }
    return stream;
}

IIterator* ArrayBase::iterator() {
    Iterator* it = Iterator::pool();
    if (it != nullptr) {
        it->start(this, -1, items_);
    }
    return it;
}

IIterator* ArrayBase::reverseIterator() {
    Iterator* it = Iterator::pool();
    if (it != nullptr) {
        it->start(this, static_cast<int32_t>(count_), items_ + (static_cast<size_t>(count_) << shift_));
    }
    return it;
}

IIterator* ArrayBase::iteratorAt(int32_t i) {
    Iterator* it = Iterator::pool();
    if (it != nullptr) {
        it->start(this, i - 1, items_ + (static_cast<ptrdiff_t>(i) << shift_));
    }
    return it;
}

IIterator* ArrayBase::reverseIteratorAt(int32_t i) {
    Iterator* it = Iterator::pool();
    if (it != nullptr) {
        const int64_t index = static_cast<int64_t>(count_) - i;
        it->start(this, static_cast<int32_t>(index), items_ + (static_cast<ptrdiff_t>(index) << shift_));
    }
    return it;
}

bool ArrayBase::read(void* buffer, uint32_t max, uint32_t& got) {
    got = 0;
    if (max == 0) {
        return true;
    }
    const int64_t size = static_cast<int64_t>(byteSize());
    if (position_ >= size || position_ < 0) {
        return false;
    }
    const int64_t remaining = size - position_;
    const uint32_t n = remaining < max ? static_cast<uint32_t>(remaining) : max;
    std::memcpy(buffer, items_ + position_, n);
    position_ += n;
    got = n;
    return true;
}

bool ArrayBase::write(const void* bytes, uint32_t count, uint32_t& done) {
    done = 0;
    if (count == 0) {
        return true;
    }
    const uint64_t end = static_cast<uint64_t>(position_) + count;
    const uint64_t elements = (end >> shift_) + 1;
    if (elements > UINT32_MAX) {
        return false;
    }
    // Our own items written again (at the end, say) are read before a resize frees them.
    const uint8_t* from = static_cast<const uint8_t*>(bytes);
    void* copy = nullptr;
    if (elements > capacity_ && !stageOwnBytes(from, count, copy)) {
        return false;
    }
    if (!reserve(static_cast<uint32_t>(elements))) {
        std::free(copy);
        return false;
    }
    std::memmove(items_ + position_, from, count);
    std::free(copy);
    position_ = static_cast<int64_t>(end);
    const uint32_t reached = static_cast<uint32_t>(end >> shift_);
    if (reached > count_) {
        count_ = reached;
    }
    done = count;
    return true;
}

void ArrayBase::seekEnd() {
    position_ = static_cast<int64_t>(byteSize());
}

void ArrayBase::seek(int64_t position) {
    position_ = position < 0 ? 0 : position;
}

void ArrayBase::seekFromEnd(int64_t distance) {
    seek(static_cast<int64_t>(byteSize()) - distance);
}

int64_t ArrayBase::skip(int64_t n) {
    seek(position_ + n);
    return n;
}

int64_t ArrayBase::skipBack(int64_t n) {
    seek(position_ - n);
    return n;
}

} // namespace s::col::_array
