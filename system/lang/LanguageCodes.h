#pragma once
#include <cstdint>

namespace s::lang {

// The program's own language codes: (language number << 16) | variant. Numbers are
// fixed (saved settings and the language pack depend on them); the variant is
// non-zero only for the regional forms of Chinese, Portuguese and Serbian.
constexpr int32_t languageCode(int32_t number, int32_t variant) { return (number << 16) | variant; }

// The code of a Windows language identifier (whole identifiers first, then the
// primary language); -1 when neither is known.
int32_t languageCodeFromLangId(uint16_t langId);

// The upper-case English name of a code ("CHINESE_SIMPLIFIED"); "Unknown" for any
// code that is not in the table (-1 included).
const wchar_t* LanguageNameOf(int32_t code);

} // namespace s::lang
