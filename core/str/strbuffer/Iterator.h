#pragma once
#include <cstdint>

#include "core/col/IIterator.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::str::strbuffer {

class StrBuffer;

// Walks the units of a string by address; handed out by StrBuffer and closed (given
// back to its pool) by the caller. It refers to the string without owning it, so the
// string must not grow while it is walked.
//   Iterator* it = s->iterator();
//   while (it->hasNext()) { wchar_t u = *static_cast<wchar_t*>(it->next()); ... }
//   it->close();
class Iterator : public col::IIterator, public thread::IPoolable {
    S_POOLED_CLASS(Iterator, 1000, L"s_str_strbuffer_Iterator")
public:
    Iterator() { init(); }

    // Index -1, no string, address 0.
    void init();
    void start(StrBuffer* text, int32_t index, wchar_t* address);
    void reset() override { init(); }

    int32_t index() const override { return index_; }
    void setIndex(int32_t index) override { index_ = index; }
    // index < length - 1
    bool hasNext() const override;
    bool hasPrevious() const override { return index_ > 0; }
    void skip(int32_t n) override;
    void skipBack(int32_t n) override;
    // Returns the current unit's address, then moves one unit forward.
    void* next() override;
    // Moves one unit back and returns the new address.
    void* previous() override;
    void close() override { release(); }

private:
    int32_t index_;
    StrBuffer* text_;
    wchar_t* address_;
};

} // namespace s::str::strbuffer
