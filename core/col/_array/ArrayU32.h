#pragma once
#include <cstdint>

#include "core/col/_array/ValueArray.h"
#include "core/thread/ClassPool.h"

namespace s::col::_array {

// A growable array of unsigned 32-bit integers that is also a byte stream over its elements.
class ArrayU32 : public ValueArray<uint32_t> {
    S_POOLED_CLASS(ArrayU32, 1000, L"s_col__array_ArrayU32")
public:
    ArrayU32() = default;

    void appendElementText(StrBuffer* out, const void* element) const override;
    void appendElementHex(StrBuffer* out, const void* element) const override;
    StrBuffer* toHex(StrBuffer* out = nullptr, bool append = false) const override;
    const base::IComparator* comparator() const override;
};

} // namespace s::col::_array
