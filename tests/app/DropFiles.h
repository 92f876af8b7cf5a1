// Files dropped as the shell delivers them: a WM_DROPFILES whose drop block lives in the
// receiving process, built here or written into another process.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace apptest {

// DROPFILES followed by the wide paths, each terminated, and a final terminator.
inline std::vector<char> dropBlock(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) {
        list += path;
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    std::vector<char> bytes(sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(bytes.data(), &header, sizeof(header));
    std::memcpy(bytes.data() + sizeof(header), list.data(), list.size() * sizeof(wchar_t));
    return bytes;
}

// Posts the drop to a window of this process.
inline bool dropHere(HWND target, const std::vector<std::wstring>& paths) {
    const std::vector<char> bytes = dropBlock(paths);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size());
    if (block == nullptr) {
        return false;
    }
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0) != FALSE;
}

// Writes the drop block into the process that owns target and posts the drop there.
inline bool dropInto(HWND target, const std::vector<std::wstring>& paths) {
    DWORD processId = 0;
    GetWindowThreadProcessId(target, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) {
        return false;
    }
    const std::vector<char> bytes = dropBlock(paths);
    void* remote = VirtualAllocEx(process, nullptr, bytes.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    SIZE_T written = 0;
    const bool ok = remote != nullptr && WriteProcessMemory(process, remote, bytes.data(), bytes.size(), &written) &&
                    written == bytes.size() &&
                    PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != FALSE;
    CloseHandle(process);
    return ok;
}

// The first descendant of parent that pred (HWND -> bool) picks, or null.
template <class Pred>
HWND firstChild(HWND parent, Pred pred) {
    struct Search {
        Pred* pred;
        HWND found;
    } search{&pred, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            if ((*s->pred)(child)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first descendant of parent that takes dropped files, or null.
inline HWND dropTargetOf(HWND parent) {
    return firstChild(parent, [](HWND child) {
        return (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0 && IsWindowVisible(child);
    });
}

// The first descendant of parent whose window text is text, or null.
inline HWND childWithText(HWND parent, const wchar_t* text) {
    return firstChild(parent, [text](HWND child) {
        wchar_t buffer[256] = {};
        GetWindowTextW(child, buffer, 256);
        return wcscmp(buffer, text) == 0;
    });
}

} // namespace apptest
