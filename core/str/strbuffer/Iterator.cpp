#include "core/str/strbuffer/Iterator.h"

#include "core/str/strbuffer/StrBuffer.h"

namespace s::str::strbuffer {

void Iterator::init() {
    text_ = nullptr;
    walk(-1, nullptr, 0);
}

void Iterator::start(StrBuffer* text, int32_t index, wchar_t* address) {
    text_ = text;
    walk(index, address, text != nullptr ? sizeof(wchar_t) : 0);
}

int64_t Iterator::count() const {
    return text_->length();
}

} // namespace s::str::strbuffer
