#pragma once
// What the sources of PathWin share: path text forms, folder walks and attribute bits.
#include <windows.h>
#include <ntsecapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <cstdint>
#include <cwchar>

#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayU08.h"
#include "core/comp/MergeSort.h"
#include "core/io/StreamCopy.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "system/file/win/ListingFilter.h"
#include "system/file/win/PathWin.h"
#include "system/file/win/ShellLink.h"
#include "system/file/win/StreamLister.h"
#include "system/time/Clock.h"

namespace s::file::win::pathwin {

using col::_array::ArrayP;
using col::_array::ArrayU08;
using str::strarray::StrArray;
using str::strbuffer::StrBuffer;
using thread::Held;

inline StrBuffer* prepared(StrBuffer* out, bool append) {
    if (out == nullptr) {
        return StrBuffer::pool();
    }
    if (!append) {
        out->clear();
    }
    return out;
}

inline bool isDots(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Calls fn(entry) for every entry the pattern finds, "." and ".." left out, while fn
// answers true. False when the pattern finds nothing (or the folder cannot be read).
template <class Fn>
bool walk(const wchar_t* pattern, Fn&& fn) {
    WIN32_FIND_DATAW entry;
    HANDLE h = FindFirstFileW(pattern, &entry);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        if (!isDots(entry.cFileName) && !fn(entry)) {
            break;
        }
    } while (FindNextFileW(h, &entry));
    FindClose(h);
    return true;
}

// Walks the entries of a folder path.
template <class Fn>
bool walkFolder(const PathWin* folder, Fn&& fn) {
    Held<StrBuffer> pattern(StrBuffer::fromConcat(folder->getApiText(), L"\\*"));
    return pattern && walk(pattern->c_str(), fn);
}

// The attribute bits SetFileAttributesW takes.
inline DWORD settable(DWORD attributes) {
    const DWORD bits = attributes &
                       (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return bits != 0 ? bits : FILE_ATTRIBUTE_NORMAL;
}

// The absolute, normalised form of a path text (the text itself when the system
// cannot make one).
inline StrBuffer* absoluteOf(const wchar_t* text) {
    StrBuffer* out = StrBuffer::pool();
    if (out == nullptr) {
        return nullptr;
    }
    const DWORD need = GetFullPathNameW(text, 0, nullptr, nullptr);
    if (need != 0 && out->reserveExact(need + 1)) {
        const DWORD n = GetFullPathNameW(text, need + 1, out->data(), nullptr);
        if (n != 0 && n <= need) {
            out->setLength(n);
            return out;
        }
    }
    return out->assign(text);
}

// "\\?\" and "\\.\" hand the rest to the system as it stands: the drive or the
// "UNC\server\share" follows them. The prefix length (4, or 3 for the bare prefix), else 0.
inline uint32_t prefixLength(const wchar_t* text, size_t length) {
    if (length < 3 || text[0] != L'\\' || text[1] != L'\\' || (text[2] != L'?' && text[2] != L'.')) {
        return 0;
    }
    return length == 3 ? 3 : (text[3] == L'\\' ? 4 : 0);
}

// Where the drive letter of "X:" or "\\?\X:" stands; -1 without one.
inline int32_t driveAt(const wchar_t* text, size_t length) {
    const uint32_t at = prefixLength(text, length);
    return length >= at + 2 && text[at + 1] == L':' ? static_cast<int32_t>(at) : -1;
}

// Where the server name of "\\server" or "\\?\UNC\server" starts; 0 when not a share.
inline uint32_t serverAt(const wchar_t* text, size_t length) {
    const uint32_t prefix = prefixLength(text, length);
    if (prefix == 0) {
        return length > 2 && text[0] == L'\\' && text[1] == L'\\' && text[2] != L'\\' ? 2 : 0;
    }
    return prefix == 4 && length > 8 && _wcsnicmp(text + 4, L"UNC\\", 4) == 0 && text[8] != L'\\' ? 8 : 0;
}

// A random number from the system's source. The C runtime keeps its state per thread,
// so its numbers repeat from run to run on every thread it was not seeded on.
inline uint32_t randomNumber() {
    uint32_t value = 0;
    if (RtlGenRandom(&value, sizeof(value))) {
        return value;
    }
    static std::atomic<uint32_t> calls{0};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<uint32_t>(now.QuadPart) * 2654435761u ^ GetCurrentThreadId() * 40503u ^ ++calls;
}

} // namespace s::file::win::pathwin
