#pragma once
#include <cstdint>

#include "core/col/IIterator.h"
#include "core/thread/IPoolable.h"

namespace s::col {

// Walks elements of one size that lie one after another, by address: what the pooled
// iterators of the arrays and of the strings share. It refers to what it walks without
// owning it; the count is asked anew at each hasNext.
class StepIterator : public IIterator, public thread::IPoolable {
public:
    int32_t index() const override { return index_; }
    void setIndex(int32_t index) override { index_ = index; }
    // index < count - 1
    bool hasNext() const override;
    bool hasPrevious() const override { return index_ > 0; }
    void skip(int32_t n) override;
    void skipBack(int32_t n) override;
    void* next() override;
    void* previous() override;
    void close() override { release(); }

protected:
    StepIterator() { walk(-1, nullptr, 0); }
    // Index, current address and element size; a step of 0 walks nothing.
    void walk(int32_t index, void* address, uint32_t step);
    // The elements walked now; not asked while the step is 0.
    virtual int64_t count() const = 0;

private:
    int32_t index_;
    uint8_t* address_;
    uint32_t step_;
};

} // namespace s::col
