// Pooled objects held by the tests: given back to their pool at the end of the scope.
#pragma once
#include <string>

#include "support/Released.h"
#include "system/file/win/PathWin.h"

template <class T>
Released<T> held(T* object) {
    return Released<T>(object);
}

// A held path of text, and its text ("<null>" without a path).
inline Released<s::file::win::PathWin> path(const std::wstring& text) {
    return held(s::file::win::PathWin::create(text.c_str()));
}
inline std::wstring text(const Released<s::file::win::PathWin>& p) {
    return p ? p->getText() : L"<null>";
}
