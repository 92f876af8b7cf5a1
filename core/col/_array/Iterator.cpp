#include "core/col/_array/Iterator.h"

#include "core/col/_array/ArrayBase.h"

namespace s::col::_array {

void Iterator::init() {
    collection_ = nullptr;
    walk(-1, nullptr, 0);
}

void Iterator::start(ArrayBase* collection, int32_t index, uint8_t* address) {
    collection_ = collection;
    walk(index, address, collection != nullptr ? collection->elementSize() : 0);
}

int64_t Iterator::count() const {
    return collection_->count();
}

} // namespace s::col::_array
