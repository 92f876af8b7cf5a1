#pragma once
#include <cstdint>

namespace s::base {

class IObject;
class IComparator;

// Ordering, equality and hashing shared by every object. The defaults order by
// address and hash by class identity; value classes override them.
class IComparable {
public:
    virtual ~IComparable() = default;

    // With a comparator the comparator decides; without, the addresses are compared
    // as unsigned numbers (-1, 0, 1).
    virtual int32_t compareTo(const IObject* other, const IComparator* comparator = nullptr) const;
    virtual int32_t compareToIgnoreCase(const IObject* other, const IComparator* comparator = nullptr) const;
    virtual bool equals(const IObject* other, const IComparator* comparator = nullptr) const;
    virtual bool equalsIgnoreCase(const IObject* other, const IComparator* comparator = nullptr) const;
    // The class's operation table identity folded to 32 bits: equal for all
    // instances of a class that does not override it.
    virtual uint32_t hashCode() const;
    virtual uint32_t hashCodeIgnoreCase() const;
};

} // namespace s::base
