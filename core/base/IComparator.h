#pragma once
#include <cstdint>

namespace s::base {

// Orders two items given by address (objects, or elements of an array).
class IComparator {
public:
    virtual ~IComparator() = default;
    virtual int32_t compare(const void* a, const void* b) const = 0;
    virtual int32_t compareIgnoreCase(const void* a, const void* b) const { return compare(a, b); }
};

} // namespace s::base
