#pragma once

namespace s::io {

class IInputStream;

// Something that can hand out an input stream over its content; the caller
// releases the stream.
class IInputStreamable {
public:
    virtual ~IInputStreamable() = default;
    virtual IInputStream* openInputStream() = 0;
};

} // namespace s::io
