#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::col {

// Walks a collection by element address. Forward: call next() while hasNext();
// backward: previous() while hasPrevious(). close() gives the iterator back.
class IIterator : public base::IObject {
public:
    virtual int32_t index() const = 0;
    virtual void setIndex(int32_t index) = 0;
    virtual bool hasNext() const = 0;
    virtual bool hasPrevious() const = 0;
    virtual void skip(int32_t n) = 0;
    virtual void skipBack(int32_t n) = 0;
    // Returns the current element's address, then moves one element forward.
    virtual void* next() = 0;
    // Moves one element back and returns the new address.
    virtual void* previous() = 0;
    virtual void close() = 0;
};

} // namespace s::col
