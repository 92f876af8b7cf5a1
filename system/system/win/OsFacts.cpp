#include "system/system/win/OsFacts.h"

#include <atomic>
#include <cstring>
#include <cwchar>

#include "core/thread/ObjLocker.h"

namespace s::system::win {

namespace {

OsFacts::Facts g_facts;
std::atomic<bool> g_gathered{false};

s::thread::ObjLocker& factsLock() {
    static s::thread::ObjLocker lock;
    return lock;
}

template <class F>
F procAs(FARPROC proc) {
    F fn;
    static_assert(sizeof(fn) == sizeof(proc));
    std::memcpy(&fn, &proc, sizeof(fn));
    return fn;
}

}  // namespace

OsFacts::Facts OsFacts::derive(uint32_t major, uint32_t minor, uint32_t build, bool isNT, bool isWow64) {
    Facts f{};
    f.osMajor = major;
    f.osMinor = minor;
    f.osBuild = build;
    f.isNT = isNT;
    f.isVistaOrLater = major >= 6;
    f.isWindows7OrLater = major > 6 || (major == 6 && minor >= 1);
    f.isWow64 = isWow64;
    // IsWow64Process is false in a 64-bit process, so it cannot tell a 64-bit system.
    f.is64BitOs = sizeof(void*) == 8 || isWow64;
    return f;
}

OsFacts::Sources OsFacts::systemSources() {
    Sources s{};
    if (HMODULE kernel = GetModuleHandleW(L"kernel32")) {
        s.isWow64Process = procAs<IsWow64ProcessFn>(GetProcAddress(kernel, "IsWow64Process"));
    }
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        s.rtlGetVersion = procAs<RtlGetVersionFn>(GetProcAddress(ntdll, "RtlGetVersion"));
    }
    s.getVersionEx = &GetVersionExW;
    return s;
}

OsFacts::Facts OsFacts::gather(const Sources& sources) {
    BOOL wow64 = FALSE;
    if (sources.isWow64Process != nullptr && !sources.isWow64Process(GetCurrentProcess(), &wow64)) {
        wow64 = FALSE;
    }
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (sources.rtlGetVersion == nullptr || sources.rtlGetVersion(&info) < 0) {
        info = OSVERSIONINFOW{};
    }
    if (info.dwMajorVersion == 0 && info.dwMinorVersion == 0 && info.dwBuildNumber == 0 &&
        sources.getVersionEx != nullptr) {
        info = OSVERSIONINFOW{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (!sources.getVersionEx(&info)) {
            info = OSVERSIONINFOW{};
        }
    }
    Facts f = derive(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                     info.dwPlatformId == VER_PLATFORM_WIN32_NT, wow64 != FALSE);
    const size_t cap = sizeof(info.szCSDVersion) / sizeof(info.szCSDVersion[0]);
    std::wcsncpy(f.servicePackText, info.szCSDVersion, cap);
    f.servicePackText[cap] = L'\0';
    return f;
}

void OsFacts::loadOsFacts() {
    if (g_gathered.load(std::memory_order_acquire)) {
        return;
    }
    s::thread::ObjLocker::Guard guard(factsLock());
    if (!g_gathered.load(std::memory_order_relaxed)) {
        g_facts = gather(systemSources());
        g_gathered.store(true, std::memory_order_release);
    }
}

const OsFacts::Facts& OsFacts::facts() {
    loadOsFacts();
    return g_facts;
}

void OsFacts::inject(const Facts* facts) {
    s::thread::ObjLocker::Guard guard(factsLock());
    if (facts != nullptr) {
        g_facts = *facts;
        g_gathered.store(true, std::memory_order_release);
    } else {
        g_gathered.store(false, std::memory_order_release);
    }
}

} // namespace s::system::win
