#pragma once
#include <cstdint>

#include "core/comp/ValueComparator.h"
#include "core/thread/ClassPool.h"

namespace s::comp {

// Orders elements as unsigned 8-bit values.
class CompU08 : public ValueComparator<CompU08, uint8_t> {
    S_CLASS_NAME(L"s_comp_CompU08")
};

} // namespace s::comp
