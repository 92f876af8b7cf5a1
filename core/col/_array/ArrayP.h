#pragma once
#include <cstdint>

#include "core/base/IDestructor.h"
#include "core/col/_array/ArrayBase.h"
#include "core/thread/ClassPool.h"

namespace s::col::_array {

// A growable array of pointers (pointer-sized elements). It owns its elements only
// while it has an element cleaner: clear(), freeStorage(), release and destruction
// then dispose every element through it. Released to the pool, it also forgets the
// cleaner.
class ArrayP : public ArrayBase {
    S_POOLED_CLASS(ArrayP, 1000, L"s_col__array_ArrayP")
public:
    static constexpr uint8_t SHIFT = sizeof(void*) == 8 ? 3 : 2;

    ArrayP();
    ~ArrayP() override;

    base::IDestructor* cleaner() const { return cleaner_; }
    void setCleaner(base::IDestructor* cleaner) { cleaner_ = cleaner; }

    void* get(uint32_t i) const { return reinterpret_cast<void* const*>(items_)[i]; }
    void set(uint32_t i, void* p) { reinterpret_cast<void**>(items_)[i] = p; }
    void** slots() const { return reinterpret_cast<void**>(items_); }
    // Appends one pointer (fast path); false when the storage cannot grow.
    bool add(void* p);
    // Removes and returns the last pointer (null when empty).
    void* removeLast();
    // Removes and returns the pointer at index: the last is popped, others close the gap.
    void* removeAt(uint32_t index);
    // Removes the pointer and disposes it through the cleaner; without a cleaner the
    // pointer is returned instead (else null).
    void* removeAndDispose(uint32_t index);
    // Index of the pointer (identity), or -1.
    int32_t indexOf(const void* p) const;
    // Disposes every element through the cleaner (when set) and empties the array,
    // keeping the storage.
    void clear() override;
    void freeStorage() override;
    void reset() override;

    // The element's class name and the pointer value: s_x_Y(123456).
    void appendElementText(StrBuffer* out, const void* element) const override;
    void appendElementHex(StrBuffer*, const void*) const override {}
    // Pointers have no hexadecimal form: writes nothing.
    StrBuffer* toHex(StrBuffer* out = nullptr, bool append = false) const override;
    const base::IComparator* comparator() const override;

private:
    void disposeAll();

    base::IDestructor* cleaner_;
};

} // namespace s::col::_array
