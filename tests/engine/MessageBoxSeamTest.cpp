#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/system/win/MessageBoxSeam.h"

using s::system::win::MessageBoxSeam;

namespace {
std::vector<std::wstring> g_shown;
UINT g_type = 0;
HWND g_owner = nullptr;

int WINAPI recordBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    g_shown.push_back(std::wstring(caption) + L"|" + text);
    g_type = type;
    g_owner = owner;
    return IDOK;
}
} // namespace

TEST(MessageBoxSeam, RecorderTakesEveryBoxAndNullRestoresTheSystemBox) {
    g_shown.clear();
    const MessageBoxSeam::MessageBoxFn systemBox = MessageBoxSeam::current();
    EXPECT_EQ(MessageBoxSeam::set(&recordBox), systemBox);
    EXPECT_EQ(MessageBoxSeam::showInformation(L"one"), IDOK);
    EXPECT_EQ(g_type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(g_owner, nullptr);
    // Owned by the window that is set, so a top-most window cannot hide the box.
    const HWND window = GetDesktopWindow();
    EXPECT_EQ(MessageBoxSeam::setOwner(window), nullptr);
    MessageBoxSeam::showError(L"two");
    EXPECT_EQ(g_type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(g_owner, window);
    EXPECT_EQ(MessageBoxSeam::setOwner(nullptr), window);
    EXPECT_EQ(g_shown, (std::vector<std::wstring>{L"Brisquelton|one", L"Brisquelton|two"}));
    EXPECT_EQ(MessageBoxSeam::set(nullptr), &recordBox);
    EXPECT_EQ(MessageBoxSeam::current(), systemBox);
}
