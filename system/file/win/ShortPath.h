#pragma once
#include <windows.h>

#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::file::win {

// Short (8.3) and long forms of path texts. The short-name query is a replaceable
// function, because some systems (and Wine, always) have an 8.3 name for every long
// name, which leaves the no-short-name road untried otherwise.
class ShortPath {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef DWORD(WINAPI* ShortNameFn)(LPCWSTR longPath, LPWSTR buffer, DWORD size);

    // Room for the short form, in characters.
    static constexpr DWORD CAPACITY = 780;

    // Replaces the short-name query (null: the system's GetShortPathNameW); returns
    // the previous one.
    static ShortNameFn setFunction(ShortNameFn fn);

    // The short form of the text into out (null: a new pooled string), replacing or
    // appending. When the system gives none (failure, nothing, or more than fits),
    // the text itself. found (may be null) tells whether a short form other than the
    // text was had.
    static StrBuffer* shortForm(const wchar_t* text, StrBuffer* out, bool append, bool* found = nullptr);

    // The long form of an existing path given in short or mixed form, component by
    // component, each name as the file system spells it. A component that cannot be
    // found ends the conversion: it and the rest are kept as given. "\\?\" and UNC
    // prefixes are kept.
    static StrBuffer* longForm(const wchar_t* text, StrBuffer* out, bool append);

private:
    ShortPath() = delete;
};

} // namespace s::file::win
