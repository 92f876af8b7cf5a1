#pragma once
#include <windows.h>

#include <cstdint>

namespace s::system::win {

// Process-wide facts about the operating system, gathered once on first use.
// Version-dependent code reads them here, and its tests inject other versions.
class OsFacts {
public:
    typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE process, PBOOL wow64);
    typedef LONG(WINAPI* RtlGetVersionFn)(OSVERSIONINFOW* info);
    typedef BOOL(WINAPI* GetVersionExFn)(OSVERSIONINFOW* info);

    // The platform calls gathering reads; a null entry counts as missing.
    struct Sources {
        IsWow64ProcessFn isWow64Process;
        RtlGetVersionFn rtlGetVersion;
        GetVersionExFn getVersionEx;
    };

    struct Facts {
        uint32_t osMajor;
        uint32_t osMinor;
        uint32_t osBuild;
        bool isNT;
        bool isVistaOrLater;
        bool isWindows7OrLater;
        // The process runs under WOW64 (never true for a 64-bit process).
        bool isWow64;
        // The system is 64-bit: always in a 64-bit build, else when under WOW64.
        bool is64BitOs;
        wchar_t servicePackText[257];
    };

    // Facts derived from version numbers alone (no service pack text).
    static Facts derive(uint32_t major, uint32_t minor, uint32_t build, bool isNT, bool isWow64);
    // Gathers facts from the given calls: RtlGetVersion first (it is not fooled by
    // compatibility shims), GetVersionExW when that is missing or reports 0.0.0.
    static Facts gather(const Sources& sources);
    // The system's own calls (kernel32 and ntdll, looked up at run time).
    static Sources systemSources();

    // Gathers the system's facts unless gathered or injected already.
    static void loadOsFacts();
    static const Facts& facts();
    // Replaces the process-wide facts (tests of version-dependent code); null
    // goes back to the system's facts.
    static void inject(const Facts* facts);

    static uint32_t osMajor() { return facts().osMajor; }
    static uint32_t osMinor() { return facts().osMinor; }
    static uint32_t osBuild() { return facts().osBuild; }
    static bool isNT() { return facts().isNT; }
    static bool isVistaOrLater() { return facts().isVistaOrLater; }
    static bool isWindows7OrLater() { return facts().isWindows7OrLater; }
    static bool isWindowsNT52() { return facts().isNT && facts().osMajor == 5 && facts().osMinor == 2; }
    static bool isWow64() { return facts().isWow64; }
    static bool is64BitOs() { return facts().is64BitOs; }
    static const wchar_t* servicePackText() { return facts().servicePackText; }
};

} // namespace s::system::win
