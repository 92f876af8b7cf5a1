#include "core/col/_array/Iterator.h"

#include "core/col/_array/ArrayBase.h"

namespace s::col::_array {

void Iterator::init() {
    index_ = -1;
    collection_ = nullptr;
    address_ = nullptr;
}

void Iterator::start(ArrayBase* collection, int32_t index, uint8_t* address) {
    collection_ = collection;
    index_ = index;
    address_ = address;
}

bool Iterator::hasNext() const {
    return collection_ != nullptr && static_cast<int64_t>(index_) < static_cast<int64_t>(collection_->count()) - 1;
}

void Iterator::skip(int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        next();
    }
}

void Iterator::skipBack(int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        previous();
    }
}

void* Iterator::next() {
    ++index_;
    uint8_t* current = address_;
    if (collection_ != nullptr) {
        address_ += collection_->elementSize();
    }
    return current;
}

void* Iterator::previous() {
    --index_;
    if (collection_ != nullptr) {
        address_ -= collection_->elementSize();
    }
    return address_;
}

} // namespace s::col::_array
