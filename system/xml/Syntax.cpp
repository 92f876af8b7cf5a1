#include "system/xml/Syntax.h"

#include <cwchar>

namespace s::xml::syntax {

using str::strbuffer::StrBuffer;

namespace {

// Whether text[i..n) begins with the given entity.
bool startsAt(const wchar_t* text, uint32_t i, uint32_t n, const wchar_t* entity, uint32_t entityLength) {
    return n - i >= entityLength && wmemcmp(text + i, entity, entityLength) == 0;
}

// Appends the run of plain characters at v[i] in one copy; returns the index after it.
uint32_t appendPlain(const wchar_t* v, uint32_t i, uint32_t n, StrBuffer* out) {
    const uint32_t start = i;
    while (i < n && v[i] != L'&') {
        ++i;
    }
    out->appendUnits(v + start, static_cast<int32_t>(i - start));
    return i;
}

} // namespace

void unescapeAttribute(const wchar_t* v, uint32_t n, StrBuffer* out) {
    for (uint32_t i = 0; i < n;) {
        if (v[i] != L'&') {
            i = appendPlain(v, i, n, out);
        } else if (startsAt(v, i, n, L"&amp;", 5)) {
            out->appendChar(L'&');
            i += 5;
        } else if (startsAt(v, i, n, L"&lt;", 4)) {
            out->appendChar(L'<');
            i += 4;
        } else if (startsAt(v, i, n, L"&quot;", 6)) {
            out->appendChar(L'"');
            i += 6;
        } else if (startsAt(v, i, n, L"&#13;", 5)) {
            out->appendChar(L'\r');
            i += 5;
        } else if (startsAt(v, i, n, L"&#10;", 5)) {
            out->appendChar(L'\n');
            i += 5;
        } else {
            out->appendChar(v[i++]);
        }
    }
}

void unescapeText(const wchar_t* v, uint32_t n, StrBuffer* out) {
    uint32_t i = 0;
    while (i < n && isBlank(v[i])) {
        ++i;
    }
    uint32_t keep = out->length();
    while (i < n) {
        if (v[i] != L'&') {
            i = appendPlain(v, i, n, out);
        } else if (startsAt(v, i, n, L"&amp;", 5)) {
            out->appendChar(L'&');
            i += 5;
        } else if (startsAt(v, i, n, L"&lt;", 4)) {
            out->appendChar(L'<');
            i += 4;
        } else if (startsAt(v, i, n, L"&gt;", 4)) {
            out->appendChar(L'>');
            i += 4;
        } else if (startsAt(v, i, n, L"&#160;", 6)) {
            out->appendChar(L' ');
            i += 6;
            keep = out->length();
        } else if (startsAt(v, i, n, L"&#13;", 5)) {
            out->appendChar(L'\r');
            i += 5;
            keep = out->length();
        } else if (startsAt(v, i, n, L"&#10;", 5)) {
            out->appendChar(L'\n');
            i += 5;
            keep = out->length();
        } else {
            out->appendChar(v[i++]);
        }
    }
    out->trimEndKeeping(keep);
}

} // namespace s::xml::syntax
