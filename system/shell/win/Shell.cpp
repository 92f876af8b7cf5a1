#include "system/shell/win/Shell.h"

#include <shlobj.h>

#include <atomic>
#include <new>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ObjLocker.h"
#include "system/file/win/PathWin.h"

namespace s::shell::win {

using file::win::PathWin;
using str::strbuffer::StrBuffer;

namespace {

std::atomic<ShellExecuteFn> shellExecute{nullptr};
std::atomic<MultiFilePropertiesFn> multiFileProperties{nullptr};

BOOL runShellExecute(SHELLEXECUTEINFOW* info) {
    const ShellExecuteFn fn = shellExecute.load();
    return fn != nullptr ? fn(info) : ShellExecuteExW(info);
}

StrBuffer* specialFolderNew(int folder) {
    StrBuffer* text = StrBuffer::pool();
    if (text == nullptr) {
        return nullptr;
    }
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, folder, &list)) && list != nullptr) {
        wchar_t buffer[MAX_PATH] = {};
        if (SHGetPathFromIDListW(list, buffer)) {
            text->assign(buffer);
        }
        IMalloc* allocator = nullptr;
        if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator != nullptr) {
            allocator->Free(list);
            allocator->Release();
        }
    }
    return text;
}

} // namespace

ShellExecuteFn setShellExecute(ShellExecuteFn fn) {
    return shellExecute.exchange(fn);
}

MultiFilePropertiesFn setMultiFileProperties(MultiFilePropertiesFn fn) {
    return multiFileProperties.exchange(fn);
}

PathWin* getModulePath() {
    StrBuffer* text = StrBuffer::pool();
    if (text == nullptr) {
        return nullptr;
    }
    // A path cut at the buffer's end names another file: grow until the whole path fits.
    for (DWORD size = MAX_PATH + 1;; size = size * 2 < 32768 ? size * 2 : 32768) {
        if (!text->reserveExact(size)) {
            break;
        }
        const DWORD n = GetModuleFileNameW(nullptr, text->data(), size);
        if (n < size) {
            text->setLength(n);
            break;
        }
        if (size == 32768) {
            break;  // longer than any path can be: none at all beats a cut one
        }
    }
    PathWin* path = PathWin::create(text->c_str());
    text->release();
    return path;
}

PathWin* newTempFilePath() {
    wchar_t folder[780] = {};
    const DWORD n = GetTempPathW(780, folder);
    if (n == 0 || n >= 780) {
        return nullptr;
    }
    wchar_t name[MAX_PATH + 1] = {};
    if (GetTempFileNameW(folder, L"NEW", 0, name) == 0) {
        return nullptr;
    }
    return PathWin::create(name);
}

StrBuffer* desktopFolderPathNew() {
    return specialFolderNew(CSIDL_DESKTOP);
}

StrBuffer* windowsFolderPathNew() {
    return specialFolderNew(CSIDL_WINDOWS);
}

const StrBuffer* desktopFolderPath() {
    static StrBuffer* const desktop = desktopFolderPathNew();
    return desktop;
}

bool shellOpen(const wchar_t* text) {
    if (text == nullptr || text[0] == 0) {
        return false;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = L"open";
    info.lpFile = text;
    info.lpParameters = L"";
    info.nShow = SW_SHOW;
    return runShellExecute(&info) != FALSE;
}

bool showShellProperties(const wchar_t* text) {
    if (text == nullptr || text[0] == 0) {
        return false;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpVerb = L"properties";
    info.lpFile = text;
    info.lpParameters = L"";
    info.nShow = SW_SHOW;
    return runShellExecute(&info) != FALSE;
}

bool showMultiFileProperties(uint32_t count, const wchar_t* const* texts) {
    const HRESULT init = CoInitialize(nullptr);
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || desktop == nullptr) {
        if (SUCCEEDED(init)) {
            CoUninitialize();
        }
        return false;
    }
    LPCITEMIDLIST* lists = count != 0 ? new (std::nothrow) LPCITEMIDLIST[count] : nullptr;
    UINT made = 0;
    for (uint32_t i = 0; lists != nullptr && i < count; ++i) {
        if (texts[i] == nullptr) {
            continue;
        }
        LPITEMIDLIST list = ILCreateFromPathW(texts[i]);
        if (list == nullptr) {
            list = SHSimpleIDListFromPath(texts[i]);
        }
        if (list == nullptr) {
            ULONG eaten = 0;
            desktop->ParseDisplayName(nullptr, nullptr, const_cast<LPWSTR>(texts[i]), &eaten, &list, nullptr);
        }
        if (list != nullptr) {
            lists[made++] = list;
        }
    }
    IDataObject* data = nullptr;
    if (made != 0) {
        desktop->GetUIObjectOf(nullptr, made, lists, IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
    }
    for (UINT i = 0; i < made; ++i) {
        ILFree(const_cast<LPITEMIDLIST>(lists[i]));
    }
    delete[] lists;
    bool shown = false;
    if (data != nullptr) {
        const MultiFilePropertiesFn fn = multiFileProperties.load();
        shown = SUCCEEDED(fn != nullptr ? fn(data, 0) : SHMultiFileProperties(data, 0));
        data->Release();
    }
    desktop->Release();
    if (SUCCEEDED(init)) {
        CoUninitialize();
    }
    return shown;
}

void enableShutdownPrivilege() {
    static thread::ObjLocker lock;
    static bool done = false;
    thread::ObjLocker::Guard guard(lock);
    if (done) {
        return;
    }
    done = true;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return;
    }
    TOKEN_PRIVILEGES privileges = {};
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
}

} // namespace s::shell::win
