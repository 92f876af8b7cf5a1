#include "core/col/StepIterator.h"

namespace s::col {

void StepIterator::walk(int32_t index, void* address, uint32_t step) {
    index_ = index;
    address_ = static_cast<uint8_t*>(address);
    step_ = step;
}

bool StepIterator::hasNext() const {
    return step_ != 0 && static_cast<int64_t>(index_) < count() - 1;
}

void StepIterator::skip(int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        next();
    }
}

void StepIterator::skipBack(int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        previous();
    }
}

void* StepIterator::next() {
    ++index_;
    uint8_t* current = address_;
    address_ += step_;
    return current;
}

void* StepIterator::previous() {
    --index_;
    address_ -= step_;
    return address_;
}

} // namespace s::col
