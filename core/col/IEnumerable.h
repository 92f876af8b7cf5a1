#pragma once
#include <cstdint>

#include "core/col/IIterator.h"

namespace s::col {

// Hands out iterators over a collection; the caller closes each one.
class IEnumerable {
public:
    virtual ~IEnumerable() = default;
    virtual IIterator* iterator() = 0;
    virtual IIterator* reverseIterator() = 0;
    virtual IIterator* iteratorAt(int32_t i) {
        IIterator* it = iterator();
        if (it != nullptr) {
            it->skip(i);
        }
        return it;
    }
    virtual IIterator* reverseIteratorAt(int32_t i) {
        IIterator* it = reverseIterator();
        if (it != nullptr) {
            it->skipBack(i);
        }
        return it;
    }
    virtual void* elementAddress(int32_t i) = 0;
};

} // namespace s::col
