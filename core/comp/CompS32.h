#pragma once
#include <cstdint>

#include "core/comp/ValueComparator.h"
#include "core/thread/ClassPool.h"

namespace s::comp {

// Orders elements as signed 32-bit values.
class CompS32 : public ValueComparator<CompS32, int32_t> {
    S_CLASS_NAME(L"s_comp_CompS32")
};

} // namespace s::comp
