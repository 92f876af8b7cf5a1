#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::system::codepage {

// One entry of the code-page catalogue: a Windows code-page number and its display
// name. The catalogue itself is CodePageCatalogue.
class CodePage : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(CodePage, 1000, L"s_system_codepage_CodePage")
public:
    CodePage();
    ~CodePage() override;

    // A pooled entry with the number and a copy of the name.
    static CodePage* create(int32_t number, const wchar_t* name);

    // Number 0, name storage freed.
    void reset() override;

    int32_t number() const { return number_; }
    void setNumber(int32_t number) { number_ = number; }
    const str::strbuffer::StrBuffer* name() const { return name_; }
    str::strbuffer::StrBuffer* name() { return name_; }

private:
    int32_t number_;
    str::strbuffer::StrBuffer* name_;
};

} // namespace s::system::codepage
