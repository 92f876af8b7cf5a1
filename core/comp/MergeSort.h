#pragma once
#include <cstdint>

namespace s::comp {

// Orders two pointers: negative, 0 or positive.
typedef int32_t (*CompareFn)(const void* a, const void* b, void* userData);

// Stable merge sort of the pointers target[low..high) in ascending order of compare.
// work must hold a copy of the same pointers at the same positions (offset 0 for a
// plain copy). Runs of six or fewer are insertion-sorted; halves already in order
// are copied after a single comparison.
void mergeSort(void** work, void** target, int32_t low, int32_t high, int32_t offset,
               CompareFn compare, void* userData);
// The same in descending order; equal elements also keep their input order.
void mergeSortDescending(void** work, void** target, int32_t low, int32_t high, int32_t offset,
                         CompareFn compare, void* userData);

// Sorts n pointers in place through a temporary copy; false (nothing changed) when
// the copy cannot be allocated.
bool sortPointers(void** items, uint32_t n, CompareFn compare, void* userData, bool descending = false);

} // namespace s::comp
