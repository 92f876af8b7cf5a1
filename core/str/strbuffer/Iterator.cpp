#include "core/str/strbuffer/Iterator.h"

#include "core/str/strbuffer/StrBuffer.h"

namespace s::str::strbuffer {

void Iterator::init() {
    index_ = -1;
    text_ = nullptr;
    address_ = nullptr;
}

void Iterator::start(StrBuffer* text, int32_t index, wchar_t* address) {
    text_ = text;
    index_ = index;
    address_ = address;
}

bool Iterator::hasNext() const {
    return text_ != nullptr && static_cast<int64_t>(index_) < static_cast<int64_t>(text_->length()) - 1;
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
    wchar_t* current = address_;
    ++address_;
    return current;
}

void* Iterator::previous() {
    --index_;
    --address_;
    return address_;
}

} // namespace s::str::strbuffer
