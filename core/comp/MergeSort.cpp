#include "core/comp/MergeSort.h"

#include <cstdlib>
#include <cstring>

namespace s::comp {

namespace {

// Whether a comparison result keeps a before b in the wanted direction.
template <bool Descending>
inline bool inOrder(int32_t result) {
    return Descending ? result >= 0 : result <= 0;
}

template <bool Descending>
void sortRange(void** src, void** dest, int32_t low, int32_t high, int32_t off, CompareFn cmp, void* user) {
    if (high - low < 7) {
        for (int32_t i = low + 1; i < high; ++i) {
            for (int32_t j = i; j > low && !inOrder<Descending>(cmp(dest[j - 1], dest[j], user)); --j) {
                void* t = dest[j];
                dest[j] = dest[j - 1];
                dest[j - 1] = t;
            }
        }
        return;
    }
    const int32_t destLow = low;
    const int32_t destHigh = high;
    low += off;
    high += off;
    const int32_t mid = static_cast<int32_t>((static_cast<uint32_t>(low) + static_cast<uint32_t>(high)) >> 1);
    sortRange<Descending>(dest, src, low, mid, -off, cmp, user);
    sortRange<Descending>(dest, src, mid, high, -off, cmp, user);

    if (inOrder<Descending>(cmp(src[mid - 1], src[mid], user))) {
        std::memcpy(dest + destLow, src + low, static_cast<size_t>(high - low) * sizeof(void*));
        return;
    }
    for (int32_t i = destLow, p = low, q = mid; i < destHigh; ++i) {
        if (q >= high || (p < mid && inOrder<Descending>(cmp(src[p], src[q], user)))) {
            dest[i] = src[p++];
        } else {
            dest[i] = src[q++];
        }
    }
}

} // namespace

void mergeSort(void** work, void** target, int32_t low, int32_t high, int32_t offset, CompareFn compare,
               void* userData) {
    sortRange<false>(work, target, low, high, offset, compare, userData);
}

void mergeSortDescending(void** work, void** target, int32_t low, int32_t high, int32_t offset,
                         CompareFn compare, void* userData) {
    sortRange<true>(work, target, low, high, offset, compare, userData);
}

bool sortPointers(void** items, uint32_t n, CompareFn compare, void* userData, bool descending) {
    if (n < 2) {
        return true;
    }
    if (n > static_cast<uint32_t>(INT32_MAX)) {
        return false;
    }
    void** work = static_cast<void**>(std::malloc(static_cast<size_t>(n) * sizeof(void*)));
    if (work == nullptr) {
        return false;
    }
    std::memcpy(work, items, static_cast<size_t>(n) * sizeof(void*));
    if (descending) {
        mergeSortDescending(work, items, 0, static_cast<int32_t>(n), 0, compare, userData);
    } else {
        mergeSort(work, items, 0, static_cast<int32_t>(n), 0, compare, userData);
    }
    std::free(work);
    return true;
}

} // namespace s::comp
