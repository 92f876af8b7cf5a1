#pragma once
#include <cstdint>

#include "core/comp/ValueComparator.h"
#include "core/thread/ClassPool.h"

namespace s::comp {

// Orders elements as unsigned pointer-sized values (whole addresses).
class CompP : public ValueComparator<CompP, uintptr_t> {
    S_CLASS_NAME(L"s_comp_CompP")
};

} // namespace s::comp
