#pragma once
#include <cstdint>

#include "core/base/IComparator.h"
#include "core/col/ICollection.h"
#include "core/col/IEnumerable.h"
#include "core/io/IInputStream.h"
#include "core/io/IInputStreamable.h"
#include "core/io/IOutputStream.h"
#include "core/thread/IPoolable.h"

namespace s::str::strbuffer { class StrBuffer; }
namespace s::digest::md5 { class Md5; }

namespace s::col::_array {

// A growable array of fixed-size elements (1 << shift bytes each) that is also a byte
// input and output stream over its own storage. Indexes and counts are in elements,
// stream positions in bytes. Storage grows by grownCapacity() and never shrinks until
// freeStorage()/reset(); new space is not zeroed. Element accessors do not check
// indexes: callers keep them below count().
class ArrayBase : public ICollection,
                  public io::IInputStreamable,
                  public thread::IPoolable,
                  public IEnumerable,
                  public io::IInputStream,
                  public io::IOutputStream {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_col_array_ArrayBase";
    typedef str::strbuffer::StrBuffer StrBuffer;

    explicit ArrayBase(uint8_t shift);
    ~ArrayBase() override;
    ArrayBase(const ArrayBase&) = delete;
    ArrayBase& operator=(const ArrayBase&) = delete;

    const wchar_t* className() const override { return CLASS_NAME; }
    // With a comparator it decides; else fewer elements is less, and equal counts
    // compare element by element with comparator().
    int32_t compareTo(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;

    // One growth step from capacity c: 100 below 100, x3 below 10,000,000, x2 below
    // 50,000,000, x1.5 below 100,000,000, else x1.2 (truncated); c itself when the
    // step would overflow. Shared by the arrays, the strings and the pools.
    static uint32_t grownCapacity(uint32_t c);
    // Growth steps from capacity c until it holds n; exactly n when the steps run out.
    static uint32_t grownCapacityFor(uint32_t c, uint32_t n);

    uint8_t shift() const { return shift_; }
    uint32_t elementSize() const { return 1u << shift_; }
    uint32_t capacity() const { return capacity_; }
    // Raw storage (null until the first reservation).
    uint8_t* items() const { return items_; }

    // Resizing answers false when the storage cannot be had; the array is unchanged then.
    bool grow();
    bool reserve(uint32_t n);
    bool reserveExact(uint32_t n);

    const wchar_t* typeName() const override { return className(); }
    // count -1 copies the rest from srcIndex.
    // Between arrays of different element sizes the range goes as bytes; false when
    // it is not a whole number of the other array's elements.
    bool copyInto(ArrayBase* other, uint32_t destIndex, uint32_t srcIndex, int32_t count) const;
    bool copyFrom(const ArrayBase* other, uint32_t srcIndex, uint32_t destIndex, int32_t count);
    uint32_t count() const override { return count_; }
    // Reserves exactly n when needed; new elements are not initialised.
    bool setCount(uint32_t n);
    // n elements in bytes; -1 means the count.
    uint64_t byteSize(int64_t n = -1) const;
    // Copies elements to raw memory at element destIndex; count -1 the rest. Returns
    // the elements copied.
    uint32_t copyOut(void* buffer, uint32_t destIndex, uint32_t srcIndex, int32_t count) const;
    // Copies count elements from raw memory into the array at destIndex, raising the
    // count to the end of the range when that is larger.
    bool writeRange(const void* src, uint32_t count, uint32_t srcIndex, uint32_t destIndex);
    bool append(const void* src, uint32_t count = 1, uint32_t srcIndex = 0);
    bool prepend(const void* src, uint32_t count = 1, uint32_t srcIndex = 0);
    // An index past the count appends.
    bool insert(uint32_t index, const void* src, uint32_t count = 1, uint32_t srcIndex = 0);
    // The removing operations clamp n to what is there and return the elements removed.
    uint32_t dropLast(uint32_t n);
    uint32_t dropFirst(uint32_t n);
    uint32_t removeRange(uint32_t index, uint32_t n);
    uint32_t takeLast(void* buffer, uint32_t n, uint32_t destIndex = 0);
    uint32_t takeFirst(void* buffer, uint32_t n, uint32_t destIndex = 0);
    uint32_t takeRange(uint32_t index, void* buffer, uint32_t n, uint32_t destIndex = 0);
    // Compares elements from index with otherItems from otherIndex, byte by byte
    // (unsigned), over at most limit elements (-1: no limit). Equal bytes give 0 when
    // both ranges reach the limit or end together, else the shorter range is less.
    int32_t compareRange(uint32_t index, const void* otherItems, uint32_t otherCount,
                         uint32_t otherIndex, int32_t limit) const;
    // Count and position 0, storage kept.
    void clear() override;
    // Frees the storage; count, capacity and position 0.
    virtual void freeStorage();
    void swap(uint32_t i, uint32_t j);
    void reverse();
    // Swaps through a caller-given element-sized temporary.
    void swapVia(uint32_t i, uint32_t j, void* temp);

    // Texts. out null: a new pooled string is returned; append false empties out first.
    virtual void appendElementText(StrBuffer* out, const void* element) const;
    virtual void appendElementHex(StrBuffer* out, const void* element) const;
    // typeName() " [" elements separated by one space "]".
    StrBuffer* toString(StrBuffer* out = nullptr, bool append = false) const;
    // <typeName() length="count">hex</typeName()>
    StrBuffer* toXml(StrBuffer* out = nullptr, bool append = false) const;
    // MD5 (or the given digester) of count * elementSize bytes, as lower-case hex.
    StrBuffer* digest(::s::digest::md5::Md5* digester, StrBuffer* out = nullptr, bool append = false) const;
    // Every element in hexadecimal, without separators.
    virtual StrBuffer* toHex(StrBuffer* out = nullptr, bool append = false) const;
    // The element order (null: unsigned bytes in memory order).
    virtual const base::IComparator* comparator() const;

    // A pooled input stream over the elements; the caller releases it.
    io::IInputStream* openInputStream() override;

    // Pool reset: frees the storage.
    void reset() override;

    IIterator* iterator() override;
    IIterator* reverseIterator() override;
    IIterator* iteratorAt(int32_t i) override;
    IIterator* reverseIteratorAt(int32_t i) override;
    void* elementAddress(int32_t i) override { return items_ + (static_cast<size_t>(i) << shift_); }

    // Byte streams over the storage, sharing one position.
    bool read(void* buffer, uint32_t max, uint32_t& got) override;
    bool write(const void* bytes, uint32_t count, uint32_t& done) override;
    bool flush() override { return true; }
    void truncate() override {}
    void close() override { position_ = 0; }
    int64_t position() const override { return position_; }
    bool isSeekable() const override { return true; }
    void rewind() override { position_ = 0; }
    void seekEnd() override;
    // Positions below 0 are clamped to 0.
    void seek(int64_t position) override;
    void seekFromEnd(int64_t distance) override;
    int64_t skip(int64_t n) override;
    int64_t skipBack(int64_t n) override;
    void dispose() override { close(); }
    void disposeRelease() override { close(); }

protected:
    // Moves count elements; ranges may overlap.
    void moveElements(uint32_t to, uint32_t from, uint32_t n);
    bool reallocate(uint32_t capacity);
    // Capacity for n elements by growth steps from the current one.
    uint32_t steppedCapacity(uint32_t n) const;
    // Makes room for n more elements after count (growth steps).
    bool ensureRoom(uint32_t n);
    static StrBuffer* prepareOut(StrBuffer* out, bool append);
    // When from points into this array's storage, copies the bytes aside and points
    // from at the copy (freed by the caller); false when no memory.
    bool stageOwnBytes(const uint8_t*& from, size_t bytes, void*& copy) const;

    uint8_t shift_;
    uint8_t* items_;
    uint32_t count_;
    uint32_t capacity_;
    int64_t position_;
};

} // namespace s::col::_array
