#pragma once
#include <cstdint>

#include "core/comp/ValueComparator.h"
#include "core/thread/ClassPool.h"

namespace s::comp {

// Orders elements as signed 8-bit values.
class CompS08 : public ValueComparator<CompS08, int8_t> {
    S_CLASS_NAME(L"s_comp_CompS08")
};

} // namespace s::comp
