#include <windows.h>

#include <gtest/gtest.h>

#include "system/system/win/DllLocater.h"

using s::system::win::DllLocater;

TEST(DllLocater, MissingLibraryLeavesTheHandleNull) {
    DllLocater missing(L"brisquelton-no-such-library.dll");
    EXPECT_EQ(missing.handle(), nullptr);
    EXPECT_EQ(missing.loadError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(missing.unload(), FALSE);
}

TEST(DllLocater, DestructionFreesTheLibraryExactlyOnce) {
    // A library this test program does not load by itself.
    const wchar_t* name = L"msacm32.dll";
    ASSERT_EQ(GetModuleHandleW(name), nullptr);
    HMODULE ours = LoadLibraryW(name);
    ASSERT_NE(ours, nullptr);
    {
        DllLocater locater(name);
        EXPECT_EQ(locater.handle(), ours);
        EXPECT_EQ(locater.loadError(), 0u);
        EXPECT_NE(GetProcAddress(locater.handle(), "acmGetVersion"), nullptr);
    }
    // Freed once: our own reference still holds it...
    EXPECT_EQ(GetModuleHandleW(name), ours);
    // ...and was the last one left.
    FreeLibrary(ours);
    EXPECT_EQ(GetModuleHandleW(name), nullptr);

    DllLocater explicitUnload(name);
    EXPECT_NE(explicitUnload.unload(), FALSE);
    EXPECT_EQ(explicitUnload.handle(), nullptr);
    EXPECT_EQ(explicitUnload.unload(), FALSE);
    EXPECT_EQ(GetModuleHandleW(name), nullptr);
}

