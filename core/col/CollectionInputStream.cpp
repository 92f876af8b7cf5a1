#include "core/col/CollectionInputStream.h"

#include <cstring>

#include "core/col/_array/ArrayBase.h"

namespace s::col {

void CollectionInputStream::open(_array::ArrayBase* collection) {
    collection_ = collection;
    position_ = 0;
}

void CollectionInputStream::reset() {
    collection_ = nullptr;
    position_ = 0;
}

int64_t CollectionInputStream::size() const {
    return collection_ == nullptr ? 0 : static_cast<int64_t>(collection_->byteSize());
}

bool CollectionInputStream::read(void* buffer, uint32_t max, uint32_t& got) {
    got = 0;
    if (max == 0) {
        return true;
    }
    const int64_t remaining = size() - position_;
    if (remaining <= 0) {
        return false;
    }
    const uint32_t n = remaining < max ? static_cast<uint32_t>(remaining) : max;
    std::memcpy(buffer, collection_->items() + position_, n);
    position_ += n;
    got = n;
    return true;
}

void CollectionInputStream::seekEnd() {
    position_ = size();
}

void CollectionInputStream::seekFromEnd(int64_t distance) {
    seek(size() - distance);
}

int64_t CollectionInputStream::skip(int64_t n) {
    seek(position_ + n);
    return n;
}

int64_t CollectionInputStream::skipBack(int64_t n) {
    seek(position_ - n);
    return n;
}

} // namespace s::col
