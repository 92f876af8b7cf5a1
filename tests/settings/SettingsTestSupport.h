// Helpers of the settings tests: pooled objects released at the end of the scope and
// raw file access that does not go through the code under test.
#pragma once
#include "support/RawFile.h"
#include "support/Released.h"
#include <windows.h>

#include <memory>
#include <string>

template <class T>
using Held = Released<T>;

inline std::wstring exeFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, n);
    return text.substr(0, text.find_last_of(L'\\'));
}

using testsupport::readRaw;
using testsupport::writeRaw;

inline size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}
