#pragma once
#include <cstdint>

#include "core/col/StepIterator.h"
#include "core/thread/ClassPool.h"

namespace s::str::strbuffer {

class StrBuffer;

// Walks the units of a string by address; handed out by StrBuffer and closed (given
// back to its pool) by the caller. It refers to the string without owning it, so the
// string must not grow while it is walked.
//   Iterator* it = s->iterator();
//   while (it->hasNext()) { wchar_t u = *static_cast<wchar_t*>(it->next()); ... }
//   it->close();
class Iterator : public col::StepIterator {
    S_POOLED_CLASS(Iterator, 1000, L"s_str_strbuffer_Iterator")
public:
    Iterator() { init(); }

    // Index -1, no string, address 0.
    void init();
    void start(StrBuffer* text, int32_t index, wchar_t* address);
    void reset() override { init(); }

protected:
    int64_t count() const override;

private:
    StrBuffer* text_;
};

} // namespace s::str::strbuffer
