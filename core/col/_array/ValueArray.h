#pragma once
#include <cstdint>

#include "core/col/_array/ArrayBase.h"

namespace s::col::_array {

// Typed element access shared by the number arrays (elements of 1 or 4 bytes).
template <class T>
class ValueArray : public ArrayBase {
    static_assert(sizeof(T) == 1 || sizeof(T) == 4, "number arrays hold 8- or 32-bit elements");

public:
    ValueArray() : ArrayBase(sizeof(T) == 1 ? 0 : 2) {}

    using ArrayBase::swap;
    using ArrayBase::takeFirst;
    using ArrayBase::takeLast;

    T* values() const { return reinterpret_cast<T*>(items_); }
    T get(uint32_t i) const { return values()[i]; }
    void set(uint32_t i, T value) { values()[i] = value; }
    // Appends one element (fast path); false when the storage cannot grow.
    bool add(T value) {
        if (count_ == capacity_ && !grow()) {
            return false;
        }
        values()[count_++] = value;
        return true;
    }
    // Removes and returns the last element (0 when empty).
    T takeLast() { return count_ == 0 ? T(0) : values()[--count_]; }
    // Removes and returns the first element (0 when empty).
    T takeFirst() {
        if (count_ == 0) {
            return T(0);
        }
        const T first = values()[0];
        removeRange(0, 1);
        return first;
    }
    void swap(uint32_t i, uint32_t j) {
        T* v = values();
        const T t = v[i];
        v[i] = v[j];
        v[j] = t;
    }
};

} // namespace s::col::_array
