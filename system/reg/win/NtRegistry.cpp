#include "system/reg/win/NtRegistry.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "system/system/win/OsFacts.h"

namespace s::reg::win {

namespace {

// Every entry point the binding requires, whether this code calls it or not.
const char* const kEntryPoints[] = {
    "NtOpenThread", "NtCreateKey", "NtOpenKey", "NtFlushKey", "NtDeleteKey", "NtQueryKey",
    "NtEnumerateKey", "NtClose", "NtSetValueKey", "NtSetInformationKey", "NtQueryValueKey",
    "NtEnumerateValueKey", "NtDeleteValueKey", "NtRenameKey", "NtQueryMultipleValueKey",
    "NtNotifyChangeKey", "NtCreateFile", "RtlAllocateHeap", "RtlFreeHeap", "NtRestoreKey",
    "NtSaveKey", "NtLoadKey", "NtLoadKey2", "NtReplaceKey", "NtUnloadKey", "RtlInitString",
    "RtlInitAnsiString", "RtlInitUnicodeString", "RtlAnsiStringToUnicodeString",
    "RtlUnicodeStringToAnsiString", "RtlFreeAnsiString", "RtlFreeUnicodeString",
};

std::atomic<NtRegistry::MessageBoxFn> g_messageBox{&MessageBoxW};

template <class F>
F procAs(FARPROC proc) {
    F fn;
    static_assert(sizeof(fn) == sizeof(proc));
    std::memcpy(&fn, &proc, sizeof(fn));
    return fn;
}

// The SID text buffer of the binding, in bytes.
constexpr DWORD kSidTextBytes = 256;

}  // namespace

const NtRegistry& NtRegistry::instance() {
    static const NtRegistry binding;
    return binding;
}

NtRegistry::NtRegistry()
    : ntdll_(s::system::win::OsFacts::isNT() ? L"ntdll.dll" : nullptr), bound_(false) {
    std::wcscpy(userPath_, L"\\Registry\\User\\");
    HMODULE h = ntdll_.handle();
    if (h == nullptr) {
        return;
    }
    for (const char* name : kEntryPoints) {
        if (GetProcAddress(h, name) == nullptr) {
            return;
        }
    }
    ntOpenKey = procAs<NtOpenKeyFn>(GetProcAddress(h, "NtOpenKey"));
    ntCreateKey = procAs<NtCreateKeyFn>(GetProcAddress(h, "NtCreateKey"));
    ntFlushKey = procAs<NtHandleFn>(GetProcAddress(h, "NtFlushKey"));
    ntDeleteKey = procAs<NtHandleFn>(GetProcAddress(h, "NtDeleteKey"));
    ntClose = procAs<NtHandleFn>(GetProcAddress(h, "NtClose"));
    ntEnumerateKey = procAs<NtEnumerateFn>(GetProcAddress(h, "NtEnumerateKey"));
    ntEnumerateValueKey = procAs<NtEnumerateFn>(GetProcAddress(h, "NtEnumerateValueKey"));
    ntQueryValueKey = procAs<NtQueryValueKeyFn>(GetProcAddress(h, "NtQueryValueKey"));
    ntSetValueKey = procAs<NtSetValueKeyFn>(GetProcAddress(h, "NtSetValueKey"));
    ntDeleteValueKey = procAs<NtNameFn>(GetProcAddress(h, "NtDeleteValueKey"));
    ntRenameKey = procAs<NtNameFn>(GetProcAddress(h, "NtRenameKey"));
    bound_ = true;

    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        reportError(GetLastError());
        return;
    }
    wchar_t sid[kSidTextBytes / sizeof(wchar_t)];
    if (tokenUserSidText(token, sid, sizeof(sid))) {
        std::wcscat(userPath_, sid);
    }
    CloseHandle(token);
}

bool NtRegistry::sidText(PSID sid, wchar_t* text, DWORD* bytes) {
    if (sid == nullptr || bytes == nullptr || !IsValidSid(sid)) {
        SetLastError(ERROR_INVALID_SID);
        return false;
    }
    const PSID_IDENTIFIER_AUTHORITY authority = GetSidIdentifierAuthority(sid);
    const DWORD subCount = *GetSidSubAuthorityCount(sid);
    const DWORD needed = 56 + 24 * subCount;
    if (text == nullptr || *bytes < needed) {
        *bytes = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    const size_t cap = *bytes / sizeof(wchar_t);
    int len = std::swprintf(text, cap, L"S-%lu-", static_cast<unsigned long>(SID_REVISION));
    const BYTE* v = authority->Value;
    if (v[0] != 0 || v[1] != 0) {
        len += std::swprintf(text + len, cap - len, L"0x%02hx%02hx%02hx%02hx%02hx%02hx",
                             static_cast<unsigned short>(v[0]), static_cast<unsigned short>(v[1]),
                             static_cast<unsigned short>(v[2]), static_cast<unsigned short>(v[3]),
                             static_cast<unsigned short>(v[4]), static_cast<unsigned short>(v[5]));
    } else {
        const unsigned long value = static_cast<unsigned long>(v[5]) | (static_cast<unsigned long>(v[4]) << 8) |
                                    (static_cast<unsigned long>(v[3]) << 16) |
                                    (static_cast<unsigned long>(v[2]) << 24);
        len += std::swprintf(text + len, cap - len, L"%lu", value);
    }
    for (DWORD i = 0; i < subCount; ++i) {
        len += std::swprintf(text + len, cap - len, L"-%lu",
                             static_cast<unsigned long>(*GetSidSubAuthority(sid, i)));
    }
    return true;
}

bool NtRegistry::tokenUserSidText(HANDLE token, wchar_t* text, DWORD bytes) {
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenUser, nullptr, 0, &size) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        reportError(GetLastError());
        return false;
    }
    void* info = HeapAlloc(GetProcessHeap(), 0, size);
    if (info == nullptr) {
        reportError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    bool ok = false;
    if (!GetTokenInformation(token, TokenUser, info, size, &size)) {
        reportError(GetLastError());
    } else if (!sidText(static_cast<TOKEN_USER*>(info)->User.Sid, text, &bytes)) {
        reportError(GetLastError());
    } else {
        ok = true;
    }
    HeapFree(GetProcessHeap(), 0, info);
    return ok;
}

void NtRegistry::reportError(DWORD code) {
    wchar_t* systemText = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   GetModuleHandleW(L"NTDLL.DLL"), code, 0,
                                   reinterpret_cast<wchar_t*>(&systemText), 0, nullptr);
    wchar_t message[1024];
    if (n != 0 && systemText != nullptr) {
        std::swprintf(message, 1024, L"Error( %u [0x%8XL] ) - %ls", static_cast<unsigned>(code),
                      static_cast<unsigned>(code), systemText);
    } else {
        std::swprintf(message, 1024, L"Error( %u [0x%8XL] ) - No NT Error Data was returned??",
                      static_cast<unsigned>(code), static_cast<unsigned>(code));
    }
    if (systemText != nullptr) {
        LocalFree(systemText);
    }
    g_messageBox.load()(nullptr, message, L"Registry", MB_OK | MB_ICONERROR);
}

NtRegistry::MessageBoxFn NtRegistry::setMessageBox(MessageBoxFn fn) {
    return g_messageBox.exchange(fn != nullptr ? fn : &MessageBoxW);
}

} // namespace s::reg::win
