#include "system/process/commandline/win/CommandLine.h"

#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"

namespace s::process::commandline::win {

using str::strarray::StrArray;
using str::strbuffer::StrBuffer;

CommandLine::CommandLine() : arguments_(StrArray::pool()) {}

CommandLine::~CommandLine() {
    if (arguments_ != nullptr) {
        arguments_->release();
    }
}

uint32_t CommandLine::argumentCount() const {
    return arguments_ == nullptr ? 0 : arguments_->count();
}

const StrBuffer* CommandLine::argument(uint32_t index) const {
    return index < argumentCount() ? arguments_->get(index) : nullptr;
}

void CommandLine::parseParam(const wchar_t* param, bool flag, bool /*last*/) {
    if (arguments_ == nullptr) {
        return;
    }
    if (!flag) {
        arguments_->add(param);
        return;
    }
    StrBuffer* text = StrBuffer::fromConcat(L"-", param);
    if (text != nullptr) {
        arguments_->addOwned(text);
    }
}

void CommandLine::reset() {
    if (arguments_ != nullptr) {
        arguments_->clear();
    }
}

} // namespace s::process::commandline::win
