// The UI scale table through injected screen sizes, and the live monitor list, work
// area and screen captures of the test display.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>

#include "core/thread/Held.h"
#include "images/image/win/BufferedImage.h"
#include "images/monitor/win/ScreenCapture.h"
#include "system/monitor/UiScale.h"
#include "system/monitor/win/Monitor.h"
#include "system/monitor/win/Monitors.h"

using s::image::win::BufferedImage;
namespace monitor = s::system::monitor;
namespace mwin = s::system::monitor::win;

namespace {

int32_t screenWidth = 0;
int32_t screenHeight = 0;

void injectedScreen(int32_t* width, int32_t* height) {
    *width = screenWidth;
    *height = screenHeight;
}

using Released = s::thread::Held<BufferedImage>;

RECT virtualScreen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// A shown, painted top-level window filled with one colour.
HWND colouredWindow(int x, int y, int width, int height, COLORREF colour) {
    static HBRUSH brush = CreateSolidBrush(colour);
    WNDCLASSW cls = {};
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.hbrBackground = brush;
    cls.lpszClassName = L"BrisqueltonCaptureTest";
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls.lpszClassName, L"", WS_POPUP, x, y, width,
                                  height, nullptr, nullptr, cls.hInstance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    // Let the display catch up with the paint.
    const DWORD until = GetTickCount() + 500;
    while (GetTickCount() < until) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    return window;
}

} // namespace

TEST(UiScale, ScreenSizesGiveTheirScale) {
    struct Case {
        int32_t width, height, scale;
    };
    const Case cases[] = {{1920, 1200, 1}, {1921, 1620, 2}, {2560, 1600, 1}, {3840, 2160, 2}, {4096, 3240, 2},
                          {4097, 3240, 4}, {1920, 1080, 1}, {1920, 1620, 1}, {1921, 1619, 1}, {4097, 3239, 2},
                          {2560, 1700, 2}, {4100, 3240, 4}, {8000, 1000, 1}, {1280, 1024, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        EXPECT_EQ(c.scale, monitor::uiScaleForScreen(c.width, c.height));
        screenWidth = c.width;
        screenHeight = c.height;
        monitor::setScreenSizeFunction(&injectedScreen);
        EXPECT_EQ(c.scale, monitor::uiScale());
        EXPECT_EQ(c.width > 1920 && c.height >= 1620, monitor::isScreenAtLeast1921x1620());
        EXPECT_EQ(c.width > 4096 && c.height >= 3240, monitor::isScreenAtLeast4097x3240());
    }
    monitor::setScreenSizeFunction(nullptr);
}

TEST(UiScale, ChosenOnceFromThePrimaryScreen) {
    screenWidth = 4097;
    screenHeight = 3240;
    monitor::setScreenSizeFunction(&injectedScreen);
    EXPECT_EQ(4, monitor::uiScale());
    // A later change of the screen is not seen.
    screenWidth = 1024;
    screenHeight = 768;
    EXPECT_EQ(4, monitor::uiScale());
    EXPECT_TRUE(monitor::isScreenAtLeast4097x3240());

    monitor::setScreenSizeFunction(nullptr);
    const int32_t expected =
        monitor::uiScaleForScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(expected, monitor::uiScale());
    // The size the scale came from is the primary monitor's, as the system reports it.
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    EXPECT_EQ(info.rcMonitor.right - info.rcMonitor.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info.rcMonitor.bottom - info.rcMonitor.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(monitor::uiScaleForScreen(info.rcMonitor.right - info.rcMonitor.left,
                                        info.rcMonitor.bottom - info.rcMonitor.top),
              expected);
}

TEST(Monitors, ListAndWorkAreaOfTheDisplay) {
    ASSERT_GE(mwin::monitorCount(), 1);
    EXPECT_EQ(nullptr, mwin::monitorAt(-1));
    EXPECT_EQ(nullptr, mwin::monitorAt(mwin::monitorCount()));
    for (int32_t i = 0; i < mwin::monitorCount(); ++i) {
        mwin::Monitor* m = mwin::monitorAt(i);
        ASSERT_NE(nullptr, m);
        EXPECT_EQ(i, m->index());
        EXPECT_NE(L'\0', m->deviceNameText()[0]);
        EXPECT_GT(m->width(), 0);
        EXPECT_GE(m->workLeft(), m->left());
        EXPECT_LE(m->workWidth(), m->width());
    }
    mwin::Monitor* primary = mwin::monitorFromRect(0, 0, 1, 1);
    ASSERT_NE(nullptr, primary);
    EXPECT_EQ(0, primary->left());
    EXPECT_EQ(0, primary->top());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), primary->width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), primary->height());
    EXPECT_EQ(primary->workWidth(), mwin::workAreaWidth());
    EXPECT_EQ(primary->workHeight(), mwin::workAreaHeight());
    EXPECT_EQ(primary->workLeft(), mwin::workAreaLeft());
    EXPECT_EQ(primary->workTop(), mwin::workAreaTop());
    // Far off every screen: the nearest monitor, which is one of the list.
    mwin::Monitor* nearest = mwin::monitorFromRect(100000, 100000, 10, 10);
    ASSERT_NE(nullptr, nearest);
    EXPECT_EQ(nearest, mwin::monitorAt(nearest->index()));
    EXPECT_NE(nullptr, mwin::monitorFromRect(INT_MAX - 5, INT_MAX - 5, 100, 100));
}

TEST(ScreenCapture, ClipsToTheVirtualScreen) {
    const RECT screen = virtualScreen();
    Released clipped(mwin::captureScreenRect(screen.left - 100, screen.top, 300, 50));
    ASSERT_NE(nullptr, clipped.get());
    EXPECT_EQ(200, clipped.get()->width());
    EXPECT_EQ(50, clipped.get()->height());
    EXPECT_FALSE(clipped.get()->hasAlpha());
    EXPECT_EQ(255u, clipped.get()->pixel(0, 0) >> 24);
    Released exact(mwin::captureScreenRect(screen.left, screen.top, 200, 50));
    ASSERT_NE(nullptr, exact.get());
    for (int32_t y = 0; y < 50; y += 7) {
        for (int32_t x = 0; x < 200; x += 13) {
            ASSERT_EQ(exact.get()->pixel(x, y), clipped.get()->pixel(x, y));
        }
    }
    Released corner(mwin::captureScreenRect(screen.right - 10, screen.bottom - 5, 100, 100));
    ASSERT_NE(nullptr, corner.get());
    EXPECT_EQ(10, corner.get()->width());
    EXPECT_EQ(5, corner.get()->height());

    EXPECT_EQ(nullptr, mwin::captureScreenRect(screen.left - 500, screen.top, 100, 100));
    EXPECT_EQ(nullptr, mwin::captureScreenRect(screen.right, screen.top, 100, 100));
    EXPECT_EQ(nullptr, mwin::captureScreenRect(0, 0, 0, 10));
    EXPECT_EQ(nullptr, mwin::captureScreenRect(0, 0, 10, -10));
    EXPECT_EQ(nullptr, mwin::captureScreenRect(INT_MAX - 5, 0, 100, 100));
    EXPECT_EQ(nullptr, mwin::captureScreenRect(INT_MIN, 0, 100, 100));
}

TEST(ScreenCapture, CapturesAWindow) {
    EXPECT_EQ(nullptr, mwin::captureWindow(nullptr));
    EXPECT_EQ(nullptr, mwin::captureWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF1234))));

    HWND window = colouredWindow(100, 120, 64, 48, RGB(200, 30, 60));
    ASSERT_NE(nullptr, window) << "needs a display";
    Released whole(mwin::captureWindow(window));
    ASSERT_NE(nullptr, whole.get());
    EXPECT_EQ(64, whole.get()->width());
    EXPECT_EQ(48, whole.get()->height());
    EXPECT_EQ(0xFFC81E3Cu, whole.get()->pixel(32, 24));
    EXPECT_EQ(0xFFC81E3Cu, whole.get()->pixel(0, 0));
    EXPECT_EQ(0xFFC81E3Cu, whole.get()->pixel(63, 47));

    // Partly left of the screen: only the visible part, from the screen's edge.
    const RECT screen = virtualScreen();
    SetWindowPos(window, nullptr, screen.left - 20, 120, 64, 48, SWP_NOZORDER | SWP_NOACTIVATE);
    Released part(mwin::captureWindow(window));
    ASSERT_NE(nullptr, part.get());
    EXPECT_EQ(44, part.get()->width());
    EXPECT_EQ(48, part.get()->height());
    DestroyWindow(window);
}
