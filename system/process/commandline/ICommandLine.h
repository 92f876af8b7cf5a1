#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::process::commandline {

// The program's command-line arguments, in command-line order.
class ICommandLine : public base::IObject {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_process_commandline_ICommandLine";

    virtual uint32_t argumentCount() const = 0;
    // The text of one argument; null past the last one.
    virtual const str::strbuffer::StrBuffer* argument(uint32_t index) const = 0;
    // Ends the parse; the number of arguments gathered.
    virtual uint32_t finishParse() = 0;
};

} // namespace s::process::commandline
