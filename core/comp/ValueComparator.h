#pragma once
#include <cstdint>
#include <new>

#include "core/base/IComparator.h"
#include "core/base/IObject.h"

namespace s::comp {

// Orders array elements given by address as values of type T (-1, 0, 1). Each
// comparator class exists as one shared instance, built on first use and kept for
// the life of the process.
template <class Derived, class T>
class ValueComparator : public base::IObject, public base::IComparator {
public:
    static const Derived& instance() {
        static const Derived* const shared = new Derived();
        return *shared;
    }
    base::IObject* newInstance() const override { return new (std::nothrow) Derived(); }

    int32_t compare(const void* a, const void* b) const override {
        const T x = *static_cast<const T*>(a);
        const T y = *static_cast<const T*>(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
};

} // namespace s::comp
