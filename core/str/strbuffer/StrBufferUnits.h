#pragma once
// Unit comparisons the sources of StrBuffer share.
#include <cstdint>
#include <cwchar>

namespace s::str::strbuffer::units {

inline wchar_t fold(wchar_t u) {
    return (u >= L'A' && u <= L'Z') ? static_cast<wchar_t>(u + 32) : u;
}

inline uint32_t textLength(const wchar_t* text, int32_t count) {
    if (text == nullptr) {
        return 0;
    }
    return count < 0 ? static_cast<uint32_t>(wcslen(text)) : static_cast<uint32_t>(count);
}

inline bool unitsEqual(const wchar_t* a, const wchar_t* b, uint32_t n, bool ignoreCase) {
    if (!ignoreCase) {
        return n == 0 || wmemcmp(a, b, n) == 0;
    }
    for (uint32_t i = 0; i < n; ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace s::str::strbuffer::units
