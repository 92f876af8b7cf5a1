#pragma once

namespace s::str::strbuffer { class StrBuffer; }

namespace s::file::win {

// The long form of path texts that may hold short (8.3) names, as links store them.
// Nothing is ever named by a short form: they need not be unique (Wine hashes them)
// and may open another file than the one they were taken from.
class ShortPath {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    // The long form of an existing path given in short or mixed form, component by
    // component, each name as the file system spells it. A component that cannot be
    // found ends the conversion: it and the rest are kept as given. "\\?\" and UNC
    // prefixes are kept. Into out (null: a new pooled string), replacing or appending.
    static StrBuffer* longForm(const wchar_t* text, StrBuffer* out, bool append);

private:
    ShortPath() = delete;
};

} // namespace s::file::win
