#pragma once
#include <cstdint>

#include "core/str/strbuffer/StrBuffer.h"

// The scanning steps and unescaping shared by the element tree (Node) and the
// read-only tree over a text (TextTree), so both read a document the same way.
namespace s::xml::syntax {

inline bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

inline const wchar_t* skipBlanks(const wchar_t* p, const wchar_t* end) {
    while (p < end && isBlank(*p)) {
        ++p;
    }
    return p;
}

inline const wchar_t* skipTo(const wchar_t* p, const wchar_t* end, wchar_t c) {
    while (p < end && *p != c) {
        ++p;
    }
    return p;
}

// Past the next ">" (the end of the text when there is none).
inline const wchar_t* pastClose(const wchar_t* p, const wchar_t* end) {
    p = skipTo(p, end, L'>');
    return p < end ? p + 1 : end;
}

// An attribute value as stored (escaped) appended to out.
void unescapeAttribute(const wchar_t* v, uint32_t n, str::strbuffer::StrBuffer* out);
// Element text appended to out: blanks around the text are dropped, but never
// blanks that came from an escape.
void unescapeText(const wchar_t* v, uint32_t n, str::strbuffer::StrBuffer* out);

} // namespace s::xml::syntax
