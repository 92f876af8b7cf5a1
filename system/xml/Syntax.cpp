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

// The references a value in quotes and an element's text decode; any other stays as it
// is. A non-breaking space becomes a plain one that the text's end trimming keeps.
struct Reference {
    const wchar_t* name;
    uint32_t length;
    wchar_t unit;
    bool inAttribute;
    bool inText;
};
constexpr Reference REFERENCES[] = {
    {L"&amp;", 5, L'&', true, true},   {L"&lt;", 4, L'<', true, true},   {L"&gt;", 4, L'>', false, true},
    {L"&quot;", 6, L'"', true, false}, {L"&#160;", 6, L' ', false, true}, {L"&#13;", 5, L'\r', true, true},
    {L"&#10;", 5, L'\n', true, true},
};

// Appends v[i..n) to out with the references of one reader decoded; answers out's length
// after the last decoded reference (its length on entry when none was).
uint32_t decode(const wchar_t* v, uint32_t i, uint32_t n, bool text, StrBuffer* out) {
    uint32_t afterReference = out->length();
    while (i < n) {
        if (v[i] != L'&') {
            i = appendPlain(v, i, n, out);
            continue;
        }
        const Reference* found = nullptr;
        for (const Reference& r : REFERENCES) {
            if ((text ? r.inText : r.inAttribute) && startsAt(v, i, n, r.name, r.length)) {
                found = &r;
                break;
            }
        }
        if (found == nullptr) {
            out->appendChar(v[i++]);
            continue;
        }
        out->appendChar(found->unit);
        i += found->length;
        afterReference = out->length();
    }
    return afterReference;
}

} // namespace

void unescapeAttribute(const wchar_t* v, uint32_t n, StrBuffer* out) {
    decode(v, 0, n, false, out);
}

void unescapeText(const wchar_t* v, uint32_t n, StrBuffer* out) {
    uint32_t i = 0;
    while (i < n && isBlank(v[i])) {
        ++i;
    }
    // Blanks that references made are kept; trailing plain ones are not.
    out->trimEndKeeping(decode(v, i, n, true, out));
}

} // namespace s::xml::syntax
