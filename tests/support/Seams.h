// Doubles for the program's seams that no test may reach for real, and wide text for
// failure messages.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace testsupport {

// A message box fails the test (with its text) instead of waiting for a click.
inline int WINAPI refuseBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    ADD_FAILURE() << "message box: " << (text != nullptr ? std::string(text, text + wcslen(text)) : std::string());
    return IDOK;
}

// Wide text for failure messages: ASCII kept, the rest as '?'.
inline std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace testsupport
