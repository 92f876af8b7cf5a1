#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/io/IInputStream.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::col {

namespace _array { class ArrayBase; }

// Reads an array's elements in order as bytes, from its own position, without
// disturbing the array's stream position. It refers to the array without owning it.
class CollectionInputStream : public base::IObject, public thread::IPoolable, public io::IInputStream {
    S_POOLED_CLASS(CollectionInputStream, 1000, L"s_col_CollectionInputStream")
public:
    CollectionInputStream() : collection_(nullptr), position_(0) {}

    void open(_array::ArrayBase* collection);
    void reset() override;

    bool read(void* buffer, uint32_t max, uint32_t& got) override;
    void close() override { position_ = 0; }
    int64_t position() const override { return position_; }
    bool isSeekable() const override { return true; }
    void rewind() override { position_ = 0; }
    void seekEnd() override;
    void seek(int64_t position) override { position_ = position < 0 ? 0 : position; }
    void seekFromEnd(int64_t distance) override;
    int64_t skip(int64_t n) override;
    int64_t skipBack(int64_t n) override;

private:
    int64_t size() const;

    _array::ArrayBase* collection_;
    int64_t position_;
};

} // namespace s::col
