#pragma once
#include <cstdint>

#include "core/col/StepIterator.h"
#include "core/thread/ClassPool.h"

namespace s::col::_array {

class ArrayBase;

// Walks an array by element address; handed out by the arrays and closed (given
// back to its pool) by the caller. It refers to the array without owning it.
class Iterator : public StepIterator {
    S_POOLED_CLASS(Iterator, 1000, L"s_col_array_Iterator")
public:
    Iterator() { init(); }

    // Index -1, no collection, address 0.
    void init();
    void start(ArrayBase* collection, int32_t index, uint8_t* address);
    void reset() override { init(); }

protected:
    int64_t count() const override;

private:
    ArrayBase* collection_;
};

} // namespace s::col::_array
