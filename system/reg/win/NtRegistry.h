#pragma once
#include <windows.h>
#include <winternl.h>

#include "system/system/win/DllLocater.h"

namespace s::reg::win {

// The process's one binding of the native registry calls of ntdll, and the NT path
// of the current user's hive ("\Registry\User\<SID>"). Made on first use; when the
// system is not NT or an entry point is missing, isBound() is false.
class NtRegistry {
public:
    typedef NTSTATUS(NTAPI* NtOpenKeyFn)(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes);
    typedef NTSTATUS(NTAPI* NtCreateKeyFn)(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes,
                                           ULONG titleIndex, PUNICODE_STRING keyClass, ULONG options,
                                           PULONG disposition);
    typedef NTSTATUS(NTAPI* NtHandleFn)(HANDLE key);
    typedef NTSTATUS(NTAPI* NtEnumerateFn)(HANDLE key, ULONG index, ULONG infoClass, PVOID info,
                                           ULONG length, PULONG resultLength);
    typedef NTSTATUS(NTAPI* NtQueryValueKeyFn)(HANDLE key, PUNICODE_STRING name, ULONG infoClass,
                                               PVOID info, ULONG length, PULONG resultLength);
    typedef NTSTATUS(NTAPI* NtSetValueKeyFn)(HANDLE key, PUNICODE_STRING name, ULONG titleIndex,
                                             ULONG type, PVOID data, ULONG size);
    typedef NTSTATUS(NTAPI* NtNameFn)(HANDLE key, PUNICODE_STRING name);
    typedef int(WINAPI* MessageBoxFn)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

    // Information classes and records of the enumeration and query calls.
    enum : ULONG { KEY_BASIC_INFORMATION_CLASS = 0, KEY_VALUE_BASIC_INFORMATION_CLASS = 0,
                   KEY_VALUE_FULL_INFORMATION_CLASS = 1 };
    struct KeyBasicInformation {
        LARGE_INTEGER lastWriteTime;
        ULONG titleIndex;
        ULONG nameLength;  // bytes
        WCHAR name[1];
    };
    struct KeyValueBasicInformation {
        ULONG titleIndex;
        ULONG type;
        ULONG nameLength;  // bytes
        WCHAR name[1];
    };
    struct KeyValueFullInformation {
        ULONG titleIndex;
        ULONG type;
        ULONG dataOffset;  // from the start of the record
        ULONG dataLength;
        ULONG nameLength;
        WCHAR name[1];
    };

    static const NtRegistry& instance();

    bool isBound() const { return bound_; }
    // "\Registry\User\" followed by the SID text of the process token's user.
    const wchar_t* currentUserPath() const { return userPath_; }

    // "S-1-5-21-..." into `text`; *bytes is the buffer size in bytes and must be at
    // least 56 + 24 x sub-authority count, else ERROR_INSUFFICIENT_BUFFER and *bytes
    // becomes the size needed.
    static bool sidText(PSID sid, wchar_t* text, DWORD* bytes);
    // The SID text of the token's user; a failure is shown in a message box.
    static bool tokenUserSidText(HANDLE token, wchar_t* text, DWORD bytes);
    // Shows a Win32 error code with its text from ntdll's message table.
    static void reportError(DWORD code);
    // Replaces the message box (tests must never block on one); returns the previous.
    static MessageBoxFn setMessageBox(MessageBoxFn fn);

    NtOpenKeyFn ntOpenKey = nullptr;
    NtCreateKeyFn ntCreateKey = nullptr;
    NtHandleFn ntFlushKey = nullptr;
    NtHandleFn ntDeleteKey = nullptr;
    NtHandleFn ntClose = nullptr;
    NtEnumerateFn ntEnumerateKey = nullptr;
    NtEnumerateFn ntEnumerateValueKey = nullptr;
    NtQueryValueKeyFn ntQueryValueKey = nullptr;
    NtSetValueKeyFn ntSetValueKey = nullptr;
    NtNameFn ntDeleteValueKey = nullptr;
    NtNameFn ntRenameKey = nullptr;

private:
    NtRegistry();
    NtRegistry(const NtRegistry&) = delete;
    NtRegistry& operator=(const NtRegistry&) = delete;

    s::system::win::DllLocater ntdll_;
    bool bound_;
    wchar_t userPath_[16 + 128];
};

} // namespace s::reg::win
