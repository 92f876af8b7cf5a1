#pragma once
#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::lang {

// Where the language pack's document is read from: a program module's resources, seen
// only as far as the localizer needs them.
class IResourceText {
public:
    virtual ~IResourceText() = default;
    // The resource (type: a text, or a Windows type number as an integer resource)
    // decoded from UTF-8 into a new pooled string; null when there is no such
    // resource, empty when it cannot be read.
    virtual str::strbuffer::StrBuffer* readResource(const wchar_t* type, uint32_t id) = 0;
};

} // namespace s::lang
