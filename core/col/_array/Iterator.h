#pragma once
#include <cstdint>

#include "core/col/IIterator.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::col::_array {

class ArrayBase;

// Walks an array by element address; handed out by the arrays and closed (given
// back to its pool) by the caller. It refers to the array without owning it.
class Iterator : public IIterator, public thread::IPoolable {
    S_POOLED_CLASS(Iterator, 1000, L"s_col_array_Iterator")
public:
    Iterator() { init(); }

    // Index -1, no collection, address 0.
    void init();
    void start(ArrayBase* collection, int32_t index, uint8_t* address);
    void reset() override { init(); }

    int32_t index() const override { return index_; }
    void setIndex(int32_t index) override { index_ = index; }
    bool hasNext() const override;
    bool hasPrevious() const override { return index_ > 0; }
    void skip(int32_t n) override;
    void skipBack(int32_t n) override;
    void* next() override;
    void* previous() override;
    void close() override { release(); }

private:
    int32_t index_;
    ArrayBase* collection_;
    uint8_t* address_;
};

} // namespace s::col::_array
