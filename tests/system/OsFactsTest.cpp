#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "system/system/win/OsFacts.h"

using s::system::win::OsFacts;

namespace {

// Fake version sources: what each call reports.
OSVERSIONINFOW g_rtl;
LONG g_rtlStatus = 0;
OSVERSIONINFOW g_win32;
BOOL g_wow64 = FALSE;

LONG WINAPI fakeRtlGetVersion(OSVERSIONINFOW* info) {
    if (g_rtlStatus >= 0) *info = g_rtl;
    return g_rtlStatus;
}
BOOL WINAPI fakeGetVersionEx(OSVERSIONINFOW* info) {
    *info = g_win32;
    return TRUE;
}
BOOL WINAPI fakeIsWow64Process(HANDLE, PBOOL wow64) {
    *wow64 = g_wow64;
    return TRUE;
}

OSVERSIONINFOW version(DWORD major, DWORD minor, DWORD build, const wchar_t* sp = L"") {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof(v);
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    v.dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::wcscpy(v.szCSDVersion, sp);
    return v;
}

}  // namespace

TEST(OsFacts, VersionFlagsFollowTheVersionNumbers) {
    struct Case {
        uint32_t major, minor;
        bool vista, seven, nt52;
    } cases[] = {
        {5, 1, false, false, false}, {5, 2, false, false, true}, {6, 0, true, false, false},
        {6, 1, true, true, false},   {6, 2, true, true, false},  {10, 0, true, true, false},
    };
    for (const Case& c : cases) {
        const OsFacts::Facts f = OsFacts::derive(c.major, c.minor, 1, true, false);
        OsFacts::inject(&f);
        EXPECT_EQ(OsFacts::isVistaOrLater(), c.vista) << c.major << "." << c.minor;
        EXPECT_EQ(OsFacts::isWindows7OrLater(), c.seven) << c.major << "." << c.minor;
        EXPECT_EQ(OsFacts::isWindowsNT52(), c.nt52) << c.major << "." << c.minor;
    }
    const OsFacts::Facts not_nt = OsFacts::derive(5, 2, 1, false, false);
    OsFacts::inject(&not_nt);
    EXPECT_FALSE(OsFacts::isWindowsNT52());
    OsFacts::inject(nullptr);
}

TEST(OsFacts, GatheringPrefersRtlGetVersionAndFallsBack) {
    const OsFacts::Sources all = {&fakeIsWow64Process, &fakeRtlGetVersion, &fakeGetVersionEx};
    // A compatibility shim makes GetVersionExW report 6.2; the true version wins.
    g_rtl = version(10, 0, 19045, L"Service Pack 9");
    g_rtlStatus = 0;
    g_win32 = version(6, 2, 9200);
    OsFacts::Facts f = OsFacts::gather(all);
    EXPECT_EQ(f.osMajor, 10u);
    EXPECT_EQ(f.osBuild, 19045u);
    EXPECT_TRUE(f.isNT);
    EXPECT_STREQ(f.servicePackText, L"Service Pack 9");

    // Failing, reporting nothing, or missing: GetVersionExW answers.
    g_rtlStatus = static_cast<LONG>(0xC0000001);
    EXPECT_EQ(OsFacts::gather(all).osMinor, 2u);
    g_rtlStatus = 0;
    g_rtl = version(0, 0, 0);
    EXPECT_EQ(OsFacts::gather(all).osMinor, 2u);
    const OsFacts::Sources noRtl = {nullptr, nullptr, &fakeGetVersionEx};
    f = OsFacts::gather(noRtl);
    EXPECT_EQ(f.osMajor, 6u);
    EXPECT_FALSE(f.isWow64);  // no IsWow64Process: not WOW64

    // A 32-bit process under WOW64 knows the system is 64-bit; a 64-bit process is
    // never under WOW64 and still knows it.
    g_wow64 = TRUE;
    f = OsFacts::gather(all);
    EXPECT_TRUE(f.isWow64);
    EXPECT_TRUE(f.is64BitOs);
    g_wow64 = FALSE;
    f = OsFacts::gather(all);
    EXPECT_FALSE(f.isWow64);
    EXPECT_EQ(f.is64BitOs, sizeof(void*) == 8);
}

TEST(OsFacts, SystemFactsOfThisProcess) {
    OsFacts::inject(nullptr);
    EXPECT_TRUE(OsFacts::isNT());
    // Wine reports 6.1 or 10.0 depending on the prefix.
    EXPECT_GE(OsFacts::osMajor(), 6u);
    EXPECT_TRUE(OsFacts::isWindows7OrLater());
    EXPECT_FALSE(OsFacts::isWow64());
    EXPECT_TRUE(OsFacts::is64BitOs());
}
