#pragma once
#include <cstdint>

#include "core/comp/ValueComparator.h"
#include "core/thread/ClassPool.h"

namespace s::comp {

// Orders elements as unsigned 32-bit values.
class CompU32 : public ValueComparator<CompU32, uint32_t> {
    S_CLASS_NAME(L"s_comp_CompU32")
};

} // namespace s::comp
