#include "system/process/win/OtherInstance.h"

#include <psapi.h>
#include <tlhelp32.h>

#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/PathWin.h"
#include "system/shell/win/Shell.h"

namespace s::process::win {

using str::strbuffer::StrBuffer;

namespace {

// What the window walks need: the searched path or title, and what they found.
struct WindowSearch {
    const wchar_t* exePath;
    uint32_t excludeId;
    uint32_t processId;
    HWND window;
    // The last process looked at, so its windows share one path lookup.
    uint32_t lastId;
    bool lastMatched;
    const wchar_t* titlePrefix;
};

BOOL CALLBACK matchProcessWindow(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == 0 || id == search->excludeId) {
        return TRUE;
    }
    if (id != search->lastId) {
        StrBuffer* path = OtherInstance::processExePath(id);
        search->lastId = id;
        search->lastMatched = path != nullptr && CompareStringOrdinal(path->c_str(), -1, search->exePath, -1,
                                                                      TRUE) == CSTR_EQUAL;
        if (path != nullptr) {
            path->release();
        }
    }
    if (!search->lastMatched) {
        return TRUE;
    }
    search->processId = id;
    search->window = window;
    return FALSE;
}

BOOL CALLBACK matchTitledWindow(HWND window, LPARAM param) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id != search->processId) {
        return TRUE;
    }
    // Read without sending WM_GETTEXT, which a hung window would never answer.
    wchar_t caption[512];
    const int length = InternalGetWindowText(window, caption, 512);
    if (length <= 0) {
        return TRUE;
    }
    const wchar_t* prefix = search->titlePrefix;
    if (prefix != nullptr) {
        const int prefixLength = lstrlenW(prefix);
        if (length < prefixLength ||
            CompareStringOrdinal(caption, prefixLength, prefix, prefixLength, TRUE) != CSTR_EQUAL) {
            return TRUE;
        }
    }
    search->window = window;
    return FALSE;
}

} // namespace

bool OtherInstance::samePath(const wchar_t* a, const wchar_t* b) {
    return a[0] != 0 && CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

StrBuffer* OtherInstance::ownPath() {
    file::win::PathWin* module = shell::win::getModulePath();
    StrBuffer* text = StrBuffer::fromText(module != nullptr ? module->getText() : L"");
    if (module != nullptr) {
        module->release();
    }
    return text;
}

StrBuffer* OtherInstance::processExePath(uint32_t processId) {
    StrBuffer* path = StrBuffer::pool();
    if (path == nullptr) {
        return nullptr;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot != INVALID_HANDLE_VALUE) {
        // The record size of this build: the 32-bit one makes the call fail on x64.
        MODULEENTRY32W module = {};
        module.dwSize = sizeof(module);
        if (Module32FirstW(snapshot, &module)) {
            path->assign(module.szExePath);
        }
        CloseHandle(snapshot);
        return path;
    }
    // Another bitness or no right to list its modules.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process != nullptr) {
        wchar_t image[MAX_PATH + 1] = {};
        const DWORD n = GetProcessImageFileNameW(process, image, MAX_PATH);
        if (n > 0 && n <= MAX_PATH) {
            path->assign(image);
        }
        CloseHandle(process);
    }
    return path;
}

bool OtherInstance::findProcessOf(const wchar_t* exePath, uint32_t excludeId, uint32_t* processId) {
    if (exePath == nullptr || exePath[0] == 0) {
        return false;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    // The snapshot already names each process's file; only a process of the same file name
    // can run the same path, and only its modules are worth listing (that costs far more).
    const wchar_t* fileName = exePath;
    for (const wchar_t* c = exePath; *c != 0; ++c) {
        if (*c == L'\\' || *c == L'/') {
            fileName = c + 1;
        }
    }
    bool found = false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry)) {
        const uint32_t id = entry.th32ProcessID;
        if (id == 0 || id == excludeId || !samePath(entry.szExeFile, fileName)) {
            continue;
        }
        StrBuffer* path = processExePath(id);
        if (path != nullptr) {
            if (samePath(path->c_str(), exePath)) {
                found = true;
                if (processId != nullptr) {
                    *processId = id;
                }
            }
            path->release();
        }
    }
    CloseHandle(snapshot);
    return found;
}

bool OtherInstance::findOtherInstance(uint32_t* processId) {
    StrBuffer* own = ownPath();
    if (own == nullptr) {
        return false;
    }
    const bool found = findProcessOf(own->c_str(), GetCurrentProcessId(), processId);
    own->release();
    return found;
}

bool OtherInstance::findWindowOf(HDESK desktop, const wchar_t* exePath, uint32_t excludeId, uint32_t* processId,
                                 HWND* window) {
    if (exePath == nullptr || exePath[0] == 0) {
        return false;
    }
    WindowSearch search = {exePath, excludeId, 0, nullptr, 0, false, nullptr};
    EnumDesktopWindows(desktop, &matchProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (search.window == nullptr) {
        return false;
    }
    if (processId != nullptr) {
        *processId = search.processId;
    }
    if (window != nullptr) {
        *window = search.window;
    }
    return true;
}

bool OtherInstance::findOtherInstanceWindow(HDESK desktop, uint32_t* processId, HWND* window) {
    StrBuffer* own = ownPath();
    if (own == nullptr) {
        return false;
    }
    const bool found = findWindowOf(desktop, own->c_str(), GetCurrentProcessId(), processId, window);
    own->release();
    return found;
}

void OtherInstance::waitForIdle(uint32_t processId) {
    // Only a courtesy: it fails at once on some systems, and a hung copy never
    // becomes idle, so the result is not needed and the wait is bounded.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, processId);
    if (process != nullptr) {
        WaitForInputIdle(process, IDLE_WAIT_MS);
        CloseHandle(process);
    }
}

LRESULT OtherInstance::sendToWindowOf(const wchar_t* titlePrefix, UINT message, uint32_t processId) {
    WindowSearch search = {nullptr, 0, processId, nullptr, 0, false, titlePrefix};
    EnumWindows(&matchTitledWindow, reinterpret_cast<LPARAM>(&search));
    if (search.window == nullptr) {
        return 0;
    }
    DWORD_PTR reply = 0;
    return SendMessageTimeoutW(search.window, message, 0, 0,
                               SMTO_BLOCK | SMTO_ABORTIFHUNG | SMTO_NOTIMEOUTIFNOTHUNG, SEND_TIMEOUT_MS, &reply);
}

LRESULT OtherInstance::sendToProcessWindow(const wchar_t* titlePrefix, UINT message, uint32_t processId) {
    waitForIdle(processId);
    return sendToWindowOf(titlePrefix, message, processId);
}

bool OtherInstance::notifyOtherInstance(uint32_t processId, TitleFunction titles, void* context,
                                        uint32_t titleTextId, bool alsoEvent) {
    // Once for all sends: a hung copy would otherwise cost the full wait per pack.
    waitForIdle(processId);
    if (titles == nullptr) {
        if (sendToWindowOf(nullptr, RESTORE_MESSAGE, processId) == 0) {
            return false;
        }
        if (alsoEvent) {
            sendToWindowOf(nullptr, EVENT_MESSAGE, processId);
        }
        return true;
    }
    StrBuffer* title = StrBuffer::pool();
    if (title == nullptr) {
        return false;
    }
    bool delivered = false;
    for (uint32_t index = 0; !delivered; ++index) {
        title->clear();
        if (!titles(context, index, titleTextId, title)) {
            break;
        }
        // A pack without the title would match any window of the process, and the
        // message must reach the main window.
        if (title->length() == 0) {
            continue;
        }
        if (sendToWindowOf(title->c_str(), RESTORE_MESSAGE, processId) != 0) {
            delivered = true;
            if (alsoEvent) {
                sendToWindowOf(title->c_str(), EVENT_MESSAGE, processId);
            }
        }
    }
    title->release();
    return delivered;
}

bool OtherInstance::notifyOtherInstanceOnDesktop(HDESK desktop, TitleFunction titles, void* context,
                                                 uint32_t titleTextId, bool alsoEvent) {
    uint32_t processId = 0;
    return findOtherInstanceWindow(desktop, &processId) &&
           notifyOtherInstance(processId, titles, context, titleTextId, alsoEvent);
}

} // namespace s::process::win
