#include "core/system/codepage/CodePage.h"

#include "core/str/strbuffer/StrBuffer.h"

namespace s::system::codepage {

using str::strbuffer::StrBuffer;

CodePage::CodePage() : number_(0), name_(StrBuffer::pool()) {}

CodePage::~CodePage() {
    delete name_;
}

CodePage* CodePage::create(int32_t number, const wchar_t* name) {
    CodePage* page = pool();
    if (page == nullptr) {
        return nullptr;
    }
    page->number_ = number;
    if (page->name_ != nullptr) {
        page->name_->assign(name);
    }
    return page;
}

void CodePage::reset() {
    number_ = 0;
    if (name_ != nullptr) {
        name_->freeStorage();
    }
}

} // namespace s::system::codepage
