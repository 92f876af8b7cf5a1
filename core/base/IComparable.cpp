#include "core/base/IComparable.h"

#include <cstring>

#include "core/base/IComparator.h"
#include "core/base/IObject.h"

namespace s::base {

int32_t IComparable::compareTo(const IObject* other, const IComparator* comparator) const {
    if (comparator != nullptr) {
        return comparator->compare(this, other);
    }
    const uintptr_t a = reinterpret_cast<uintptr_t>(this);
    const uintptr_t b = reinterpret_cast<uintptr_t>(static_cast<const IComparable*>(other));
    return a == b ? 0 : (a < b ? -1 : 1);
}

int32_t IComparable::compareToIgnoreCase(const IObject* other, const IComparator* comparator) const {
    if (comparator != nullptr) {
        return comparator->compareIgnoreCase(this, other);
    }
    return compareTo(other, nullptr);
}

bool IComparable::equals(const IObject* other, const IComparator* comparator) const {
    return compareTo(other, comparator) == 0;
}

bool IComparable::equalsIgnoreCase(const IObject* other, const IComparator* comparator) const {
    return compareToIgnoreCase(other, comparator) == 0;
}

uint32_t IComparable::hashCode() const {
    // The first machine word is the operation table pointer.
    uintptr_t word;
    std::memcpy(&word, static_cast<const void*>(this), sizeof(word));
    uint64_t wide = static_cast<uint64_t>(word);
    return static_cast<uint32_t>(wide ^ (wide >> 32));
}

uint32_t IComparable::hashCodeIgnoreCase() const {
    return hashCode();
}

} // namespace s::base
