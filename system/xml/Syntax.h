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

// Past any byte-order marks, blanks and declarations ("<?...?>"): where an element may start.
inline const wchar_t* pastProlog(const wchar_t* p, const wchar_t* end) {
    while (p < end) {
        if (*p == 0xFEFF || isBlank(*p)) {
            ++p;
        } else if (end - p >= 2 && p[0] == L'<' && p[1] == L'?') {
            const wchar_t* q = p + 2;
            while (end - q >= 2 && !(q[0] == L'?' && q[1] == L'>')) {
                ++q;
            }
            p = end - q >= 2 ? q + 2 : end;
        } else {
            break;
        }
    }
    return p;
}

// The opening tag of the element at or after p. Its name goes to name(start, length), which
// answers whether the element is a comment (its body is then skipped); each attribute goes,
// as it stands (still escaped), to attribute(name, length, value, length). Returns the "/"
// or ">" that ends the tag, or, with *ended set, where the element ended within it (past a
// comment, or the end of the text). Every scan is bounded by end.
template <class Name, class Attribute>
const wchar_t* readTag(const wchar_t* p, const wchar_t* end, Name name, Attribute attribute, bool* ended) {
    *ended = true;
    p = skipTo(p, end, L'<');
    if (p == end) {
        return end;
    }
    p = skipBlanks(p + 1, end);
    // "!" and two more characters ("!--" for a comment), else up to a blank, "/" or ">".
    const wchar_t* nameStart = p;
    if (p < end && *p == L'!') {
        p = end - p >= 3 ? p + 3 : end;
    } else {
        while (p < end && !isBlank(*p) && *p != L'/' && *p != L'>') {
            ++p;
        }
    }
    if (name(nameStart, static_cast<uint32_t>(p - nameStart))) {
        for (; end - p >= 3; ++p) {
            if (p[0] == L'-' && p[1] == L'-' && p[2] == L'>') {
                return p + 3;
            }
        }
        return end;
    }
    // Each round moves on by at least one character.
    for (;;) {
        p = skipBlanks(p, end);
        if (p == end) {
            return end;
        }
        if (*p == L'>' || *p == L'/') {
            break;
        }
        const wchar_t* attrName = p;
        while (p < end && *p != L'=' && *p != L' ') {
            ++p;
        }
        const wchar_t* attrNameEnd = p;
        p = skipTo(p, end, L'"');
        const wchar_t* value = p < end ? p + 1 : end;
        p = skipTo(value, end, L'"');
        attribute(attrName, static_cast<uint32_t>(attrNameEnd - attrName), value, static_cast<uint32_t>(p - value));
        if (p < end) {
            ++p;
        }
    }
    *ended = false;
    return p;
}

// The content of an element whose opening tag ends at the ">" at p: each run of text
// (blanks before it dropped, still escaped) goes to text(start, length); at the "<" of each
// child element child(p) reads the child and answers where it ended, or null to end the
// element there. Returns past the closing tag (its name is not compared), or end.
template <class Text, class Child>
const wchar_t* readContent(const wchar_t* p, const wchar_t* end, Text text, Child child) {
    for (p = skipBlanks(p + 1, end);; p = skipBlanks(p, end)) {
        if (p < end && *p != L'<') {
            const wchar_t* start = p;
            p = skipTo(p, end, L'<');
            text(start, static_cast<uint32_t>(p - start));
        }
        if (end - p < 2) {
            return end;
        }
        if (p[1] == L'/') {
            return pastClose(p, end);
        }
        p = child(p);
        if (p == nullptr) {
            return end;
        }
    }
}

// An attribute value as stored (escaped) appended to out.
void unescapeAttribute(const wchar_t* v, uint32_t n, str::strbuffer::StrBuffer* out);
// Element text appended to out: blanks around the text are dropped, but never
// blanks that came from an escape.
void unescapeText(const wchar_t* v, uint32_t n, str::strbuffer::StrBuffer* out);

} // namespace s::xml::syntax
