#include "system/file/win/ShortPath.h"

#include <windows.h>

#include <cwchar>

#include "core/str/strbuffer/StrBuffer.h"

namespace s::file::win {

using str::strbuffer::StrBuffer;

namespace {

StrBuffer* prepared(StrBuffer* out, bool append) {
    if (out == nullptr) {
        return StrBuffer::pool();
    }
    if (!append) {
        out->clear();
    }
    return out;
}

} // namespace

StrBuffer* ShortPath::longForm(const wchar_t* text, StrBuffer* out, bool append) {
    out = prepared(out, append);
    if (out == nullptr || text == nullptr) {
        return out;
    }
    const uint32_t start = out->length();
    const size_t length = std::wcslen(text);
    // The root stays as given: "\\?\C:\", "\\?\UNC\server\share\", "\\server\share\", "C:\".
    size_t i = 0;
    const bool prefixed = std::wcsncmp(text, L"\\\\?\\", 4) == 0;
    // "\\?\C:\" is a drive root, not a server: only "\\?\UNC\" and a bare "\\" name one.
    if (std::wcsncmp(text, L"\\\\?\\UNC\\", 8) == 0 || (!prefixed && length > 2 && text[0] == L'\\' && text[1] == L'\\')) {
        i = text[2] == L'?' ? 8 : 2;
        for (int separators = 0; i < length && separators < 2; ++i) {
            if (text[i] == L'\\') {
                ++separators;
            }
        }
    } else {
        if (prefixed) {
            i = 4;
        }
        if (i + 1 < length && text[i + 1] == L':') {
            i += 2;
        }
        if (i < length && text[i] == L'\\') {
            ++i;
        }
    }
    out->appendUnits(text, static_cast<int32_t>(i));
    while (i < length) {
        size_t end = i;
        while (end < length && text[end] != L'\\') {
            ++end;
        }
        const uint32_t before = out->length();
        out->appendUnits(text + i, static_cast<int32_t>(end - i));
        const bool special = (end - i == 1 && text[i] == L'.') || (end - i == 2 && text[i] == L'.' && text[i + 1] == L'.');
        if (!special) {
            WIN32_FIND_DATAW found;
            HANDLE h = FindFirstFileW(out->c_str() + start, &found);
            if (h == INVALID_HANDLE_VALUE) {
                out->append(text + end);
                return out;
            }
            FindClose(h);
            out->setLength(before);
            out->append(found.cFileName);
        }
        if (end < length) {
            out->appendChar(L'\\');
        }
        i = end + 1;
    }
    return out;
}

} // namespace s::file::win
