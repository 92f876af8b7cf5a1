// The window's extras on real frames: custom frame, transparency and fades, user timers,
// hot keys, clipboard viewing, the tray record and keeping inside the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ControlsSupport.h"
#include "ToolkitTestSupport.h"
#include "drawers/gui/drawer/IWindow.h"
#include "system/monitor/UiScale.h"
#include "system/lang/Localizer.h"
#include "system/time/Clock.h"
#include "system/xml/Node.h"
#include "widgets/gui/IWindowState.h"
#include "widgets/gui/win/ScreenPlacement.h"
#include "widgets/gui/win/TrayIcon.h"
#include "widgets/gui/win/WindowFader.h"
#include "widgets/gui/win/WindowFrame.h"
#include "support/FrameInput.h"
#include "support/RealInput.h"
#include "support/UiThread.h"
#include "support/WaitFor.h"
#include "widgets/gui/menuitem/MenuItem.h"
#include "widgets/gui/win/PopupMenu.h"

namespace {

using s::gui::IWindow;
using s::gui::menuitem::MenuItem;
using s::gui::win::PopupMenu;
using s::gui::win::ScreenPlacement;
using s::gui::win::TrayIcon;
using s::gui::win::Window;
using s::gui::win::WindowFader;
using s::gui::win::WindowFrame;
using namespace toolkittest;
using windowtest::Recorder;

// A frame drawer that paints one colour and clips to the whole window, recording sizes.
class StubFrame : public s::gui::drawer::IWindow {
public:
    const wchar_t* className() const override { return L"s_gui_test_StubFrame"; }
    s::base::IObject* newInstance() const override { return nullptr; }
    void release() override {}
    void reset() override {}
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) override {
        const RECT area = {left, top, right, bottom};
        HBRUSH brush = CreateSolidBrush(RGB(0, 128, 0));
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        ++paints;
    }
    void setColor(int32_t, int32_t, int32_t) override {}
    HRGN createRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
        regions.push_back(SIZE{right - left, bottom - top});
        return CreateRectRgn(left, top, right - 10, bottom);
    }
    uint32_t getBackgroundColor() const override { return 0; }
    uint8_t getBackgroundRed() const override { return 0; }
    uint8_t getBackgroundGreen() const override { return 0; }
    uint8_t getBackgroundBlue() const override { return 0; }
    void setBackgroundColor(int32_t, int32_t, int32_t) override {}
    uint8_t getFrameRed() const override { return 0; }
    uint8_t getFrameGreen() const override { return 0; }
    uint8_t getFrameBlue() const override { return 0; }
    void setFrameColor(int32_t, int32_t, int32_t) override {}
    void setTopCorners(int32_t) override {}
    void setBottomCorners(int32_t) override {}

    int paints = 0;
    std::vector<SIZE> regions;
};

RECT frameOf(Window* window) {
    RECT rect;
    GetWindowRect(window->getFrameHandle(), &rect);
    return rect;
}

void screenAtScale2(int32_t* width, int32_t* height) {
    *width = 2560;
    *height = 1700;
}

TEST(WindowExtrasTest, TheCustomFrameHitTestsItsEdgesAtUiScale2AndClipsToTheDrawersRegion) {
    s::system::monitor::setScreenSizeFunction(&screenAtScale2);
    ASSERT_EQ(2, s::system::monitor::uiScale());
    Released<Window> window(shownWindow(50, 50, 300, 200));
    StubFrame drawer;
    window->setFrameDrawer(&drawer, false);
    HWND frame = window->getFrameHandle();
    RECT rect;
    GetWindowRect(frame, &rect);
    ASSERT_EQ(300, rect.right - rect.left);
    // b = 10, c = 60 at scale 2.
    struct Case {
        int dx, dy;
        LRESULT hit;
    } cases[] = {
        {297, 40, HTTOPRIGHT},   {297, 100, HTRIGHT},     {297, 150, HTBOTTOMRIGHT}, {150, 195, HTBOTTOM},
        {30, 195, HTBOTTOMLEFT}, {250, 195, HTBOTTOMRIGHT}, {4, 100, HTLEFT},        {4, 30, HTTOPLEFT},
        {4, 170, HTBOTTOMLEFT},  {150, 4, HTTOP},         {30, 4, HTTOPLEFT},        {280, 4, HTTOPRIGHT},
        {150, 100, HTCLIENT},    {290, 100, HTCLIENT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.hit, WindowFrame::hitTest(c.dx, c.dy, 300, 200, 2)) << c.dx << "," << c.dy;
        EXPECT_EQ(c.hit, SendMessageW(frame, WM_NCHITTEST, 0, MAKELPARAM(rect.left + c.dx, rect.top + c.dy)))
            << c.dx << "," << c.dy;
    }
    // Free spots drag the window when asked.
    window->setDragByClientArea(true);
    EXPECT_EQ(HTCAPTION, SendMessageW(frame, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 150, rect.top + 100)));
    s::system::monitor::setScreenSizeFunction(nullptr);

    // After a resize the window is clipped to the region made for its new size.
    window->setSize(260, 180);
    settle(window.get());
    ASSERT_FALSE(drawer.regions.empty());
    EXPECT_EQ(260, drawer.regions.back().cx);
    EXPECT_EQ(180, drawer.regions.back().cy);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(frame, region));
    RECT box;
    GetRgnBox(region, &box);
    DeleteObject(region);
    EXPECT_EQ(250, box.right - box.left);
    EXPECT_EQ(180, box.bottom - box.top);
    EXPECT_LT(0, drawer.paints);
    window->setFrameDrawer(nullptr, false);
}

// Moves the cursor and waits until the system reports it there and keeps it there: X
// round trips take seconds on a loaded machine, and a late motion event from an earlier
// warp can put the cursor back where it was.
void moveCursor(int x, int y) {
    int steady = 0;
    EXPECT_TRUE(testsupport::waitFor(
        [&] {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&msg);
            }
            POINT at;
            if (GetCursorPos(&at) && at.x == x && at.y == y) {
                Sleep(10);
                return ++steady >= 5;
            }
            steady = 0;
            SetCursorPos(x, y);
            return false;
        },
        10000))
        << "cursor never stayed at " << x << "," << y;
}

// Each edge dragged by a person: the frame follows every move through the sizing rules,
// the listeners hear the moves, the edge and the release once the drag is over; a drag
// whose mouse is taken away (the capture given up, as when a menu opens) changes nothing.
TEST(WindowExtrasTest, APersonsDragOfTheCustomFramesEdgesResizesThroughTheSizingRulesAndEndsWithTheRelease) {
    Released<Window> window(shownWindow(60, 60, 300, 200));
    StubFrame drawer;
    window->setFrameDrawer(&drawer, false);
    window->setResizeByFrame(true);
    window->activate(true);
    settle(window.get());
    Recorder moves, ups, sizing;
    std::vector<int32_t> edges;
    sizing.action = [&](int32_t) { edges.push_back(window->getSizingEdge()); };
    window->addMouseMoveListener(&moves);
    window->addLeftButtonUpListener(&ups);
    window->addSizingListener(&sizing);
    struct Case {
        const char* name;
        POINT at;  // from the frame's left and top; negative from its right and bottom
        int dx, dy;
        bool cancelled;
        RECT change;  // added to left, top, right, bottom
        int32_t edge;
    } cases[] = {
        // The stub's region leaves out the right edge.
        {"bottom", {150, -2}, 0, 40, false, {0, 0, 0, 40}, Window::EDGE_BOTTOM},
        {"bottom left", {3, -3}, -20, 32, false, {-20, 0, 0, 32}, Window::EDGE_BOTTOM_LEFT},
        {"top", {150, 2}, 0, -24, false, {0, -24, 0, 0}, Window::EDGE_TOP},
        {"taken away", {150, -2}, 0, -20, true, {0, 0, 0, 0}, Window::EDGE_NONE},
    };
    // The recorders are written on the UI thread: read there.
    const auto onUi = [&](const std::function<size_t()>& read) {
        size_t value = 0;
        testsupport::onUiThread(window.get(), [&] { value = read(); });
        return value;
    };
    const auto upsHeard = [&] { return onUi([&] { return static_cast<size_t>(ups.count(IWindow::LEFT_UP)); }); };
    const auto movesHeard = [&] { return onUi([&] { return static_cast<size_t>(moves.count(IWindow::MOUSE_MOVE)); }); };
    for (const Case& c : cases) {
        const RECT before = frameOf(window.get());
        const POINT edge = {c.at.x >= 0 ? before.left + c.at.x : before.right + c.at.x,
                            c.at.y >= 0 ? before.top + c.at.y : before.bottom + c.at.y};
        // A loaded machine takes seconds for a move to reach the frame, and a late motion
        // event of an earlier move can put the cursor back: it is moved again then.
        const auto stepTaken = [&](int step) {
            const POINT to = {edge.x + c.dx * step / 4, edge.y + c.dy * step / 4};
            return testsupport::waitFor([&] {
                POINT at{};
                if (step > 0 && GetCursorPos(&at) && (at.x != to.x || at.y != to.y)) {
                    testsupport::moveMouse(to.x, to.y);
                }
                const RECT now = frameOf(window.get());
                return now.left == before.left + c.change.left * step / 4 &&
                       now.top == before.top + c.change.top * step / 4 &&
                       now.bottom == before.bottom + c.change.bottom * step / 4;
            }, 15000);
        };
        size_t told = 0, upsBefore = 0, movesBefore = 0;
        bool grabbed = false;
        for (int attempt = 0; attempt < 2 && !grabbed; ++attempt) {
            if (attempt > 0) {
                // The machine lost the press or the first move: let go, and press once more.
                testsupport::LostInput::repeated("edge drag");
                ASSERT_TRUE(testsupport::leftButton(false)) << c.name;
                settle(window.get());
                ASSERT_TRUE(stepTaken(0)) << c.name << " moved by a drag that was lost";
            }
            told = onUi([&] { return edges.size(); });
            upsBefore = upsHeard();
            // Onto the edge from inside the frame, then down on it.
            ASSERT_TRUE(testsupport::moveMouse(before.left + 150, before.top + 100)) << c.name;
            ASSERT_TRUE(testsupport::moveMouse(edge.x, edge.y)) << c.name;
            settle(window.get());
            ASSERT_TRUE(testsupport::leftButton(true)) << c.name;
            // The press is handled before the mouse is taken away: none waits in the queue.
            ASSERT_TRUE(testsupport::waitOnUiThread(window.get(), [] {
                return (HIWORD(GetQueueStatus(QS_MOUSEBUTTON)) & QS_MOUSEBUTTON) == 0;
            })) << c.name;
            if (c.cancelled) {
                testsupport::onUiThread(window.get(), [] { ReleaseCapture(); });
            }
            movesBefore = movesHeard();
            ASSERT_TRUE(testsupport::moveMouse(edge.x + c.dx / 4, edge.y + c.dy / 4)) << c.name;
            grabbed = c.cancelled || stepTaken(1);
        }
        ASSERT_TRUE(grabbed) << c.name << " step 1";
        for (int step = 2; step <= 4; ++step) {
            ASSERT_TRUE(testsupport::moveMouse(edge.x + c.dx * step / 4, edge.y + c.dy * step / 4)) << c.name;
            if (!c.cancelled) {
                ASSERT_TRUE(stepTaken(step)) << c.name << " step " << step;
            }
        }
        settle(window.get());
        if (!c.cancelled) {
            // Moves during the drag are heard; the release is heard once the drag is over.
            EXPECT_GT(movesHeard(), movesBefore) << c.name;
            EXPECT_EQ(upsBefore, upsHeard()) << c.name;
        }
        ASSERT_TRUE(testsupport::leftButton(false)) << c.name;
        if (!c.cancelled) {
            EXPECT_TRUE(testsupport::waitFor([&] { return upsHeard() == upsBefore + 1; }, 10000)) << c.name;
        }
        settle(window.get());
        const RECT after = frameOf(window.get());
        EXPECT_EQ(before.left + c.change.left, after.left) << c.name;
        EXPECT_EQ(before.top + c.change.top, after.top) << c.name;
        EXPECT_EQ(before.right + c.change.right, after.right) << c.name;
        EXPECT_EQ(before.bottom + c.change.bottom, after.bottom) << c.name;
        std::vector<int32_t> edgesNow;
        onUi([&] {
            edgesNow = edges;
            return size_t{0};
        });
        if (c.edge == Window::EDGE_NONE) {
            EXPECT_EQ(told, edgesNow.size()) << c.name;
        } else {
            ASSERT_LT(told, edgesNow.size()) << c.name;
            EXPECT_EQ(c.edge, edgesNow.back()) << c.name;
        }
    }
    EXPECT_GT(onUi([&] { return static_cast<size_t>(sizing.count(IWindow::SIZING)); }), 0u);
    window->setFrameDrawer(nullptr, false);
}

BYTE layeredAlpha(HWND hwnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags);
    return alpha;
}

TEST(WindowExtrasTest, TransparencyMakesTheFrameLayeredOnlyBelowFullOpacity) {
    Released<Window> window(shownWindow(50, 50, 200, 150));
    HWND frame = window->getFrameHandle();
    struct Step {
        int32_t percent;
        bool layered;
        BYTE alpha;
    } steps[] = {{100, false, 0}, {0, true, 0}, {50, true, 127}, {99, true, 252}, {100, false, 0}};
    for (const Step& s : steps) {
        window->setAlpha(s.percent, false);
        EXPECT_EQ(s.percent, window->getAlpha());
        EXPECT_EQ(s.layered, (GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) << s.percent;
        if (s.layered) {
            EXPECT_EQ(s.alpha, layeredAlpha(frame)) << s.percent;
        }
    }
}

TEST(WindowExtrasTest, FadeStepsStopAtTheirTarget) {
    struct Case {
        int32_t from, to, step, want;
    } cases[] = {{4, 0, 19, 0}, {23, 0, 19, 4}, {95, 99, 9, 99}, {90, 99, 9, 99}, {0, 99, 9, 9}, {50, 50, 9, 50}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.want, WindowFader::stepToward(c.from, c.to, c.step)) << c.from << "->" << c.to;
    }
}

TEST(WindowExtrasTest, AHoverFadeToNinetyNineGoesOutAndEndsAtNinetyNineWithItsTimersGone) {
    Released<Window> window(shownWindow(0, 0, 200, 150));
    // The cursor stays away from the window, so the wait ends after the display time.
    moveCursor(1200, 1000);
    window->setAlpha(99, false);
    window->setHoverBehaviour(true, false, false, false, 1, -1, -1);
    SendMessageW(window->getFrameHandle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    int32_t lowest = 100;
    bool animating = false;
    const bool ended = testsupport::waitFor(
        [&] {
            lowest = window->getAlpha() < lowest ? window->getAlpha() : lowest;
            animating = animating || window->isAnimating();
            return !window->isFading();
        },
        8000);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(animating);
    EXPECT_FALSE(window->isAnimating());
    EXPECT_EQ(0, lowest);
    EXPECT_EQ(99, window->getAlpha());
    EXPECT_EQ(252, layeredAlpha(window->getFrameHandle()));
}

TEST(WindowExtrasTest, UserTimersTickWithTheirOwnIdUntilKilled) {
    Released<Window> window(Window::pool());
    Recorder ticks;
    std::vector<uint32_t> ids;
    ticks.action = [&](int32_t) {
        ids.push_back(window->getTimerId());
        window->setTimerHandled();
    };
    window->addTimerListener(&ticks);
    ASSERT_TRUE(window->setTimer(5, 20));
    EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return ticks.codes.size() >= 3; }));
    window->killTimer(5);
    settle(window.get());
    const size_t after = ticks.codes.size();
    Sleep(200);
    settle(window.get());
    EXPECT_EQ(after, ticks.codes.size());
    for (size_t i = 0; i < after; ++i) {
        EXPECT_EQ(IWindow::USER_TIMER, ticks.codes[i]);
        EXPECT_EQ(5u, ids[i]);
    }
}

void pressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST(WindowExtrasTest, AHotKeyTakenTwiceFailsWithItsErrorAndAPressFiresTheFirst) {
    BoxRecorder boxes;
    BoxRecorder::clear();
    Released<Window> first(shownWindow(0, 0, 200, 150));
    Released<Window> second(Window::pool());
    Recorder keys;
    first->addHotKeyListener(&keys);
    ASSERT_TRUE(first->registerHotKey(true, true, false, false, VK_F9, L"BrisqueltonTestKeyOne", true));
    EXPECT_FALSE(second->registerHotKey(true, true, false, false, VK_F9, L"BrisqueltonTestKeyTwo", true));
    ASSERT_EQ(1u, BoxRecorder::texts().size());
    EXPECT_EQ(0u, BoxRecorder::texts()[0].find(L"(1409) HotKey Alt+Ctrl+F9"));
    // The refused name keeps no atom.
    EXPECT_EQ(0, GlobalFindAtomW(L"BrisqueltonTestKeyTwo"));

    pressKeys({VK_CONTROL, VK_MENU, VK_F9});
    EXPECT_TRUE(testsupport::waitOnUiThread(first.get(), [&] { return keys.count(IWindow::HOT_KEY) == 1; }));
    EXPECT_TRUE(first->isHotKey(L"BrisqueltonTestKeyOne"));
    EXPECT_FALSE(first->isHotKey(L"BrisqueltonTestKeyTwo"));

    first->unregisterHotKey(L"BrisqueltonTestKeyOne");
    EXPECT_FALSE(first->hasHotKey(L"BrisqueltonTestKeyOne"));
    EXPECT_EQ(0, GlobalFindAtomW(L"BrisqueltonTestKeyOne"));
    // Free again: the second window gets it now.
    EXPECT_TRUE(second->registerHotKey(true, true, false, false, VK_F9, L"BrisqueltonTestKeyTwo", true));
    second->unregisterAllHotKeys();
}

TEST(WindowExtrasTest, OneClipboardWriteTellsTheViewerOnce) {
    Released<Window> window(Window::pool());
    Recorder changes;
    window->addClipboardListener(&changes);
    window->setClipboardViewer(true);
    ASSERT_TRUE(window->isClipboardViewer());
    Sleep(100);
    settle(window.get());
    const size_t before = changes.codes.size();

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const wchar_t text[] = L"copied";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    memcpy(GlobalLock(memory), text, sizeof(text));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();

    EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return changes.codes.size() > before; }));
    Sleep(200);
    settle(window.get());
    EXPECT_EQ(before + 1, changes.codes.size());
    EXPECT_EQ(IWindow::CLIPBOARD, changes.codes.back());
    window->setClipboardViewer(false);
    EXPECT_FALSE(window->isClipboardViewer());
}

struct TrayCall {
    DWORD message;
    NOTIFYICONDATAW data;
};

std::vector<TrayCall>& trayCalls() {
    static std::vector<TrayCall> calls;
    return calls;
}

BOOL WINAPI recordTray(DWORD message, PNOTIFYICONDATAW data) {
    trayCalls().push_back(TrayCall{message, *data});
    return TRUE;
}

TEST(WindowExtrasTest, ARightClickOnTheTrayIconTellsTheTrayMenuListenersThenItsEntryRuns) {
    auto previous = TrayIcon::setNotifyFunction(&recordTray);
    Released<Window> window(shownWindow(50, 50, 200, 150));
    window->setTrayIcon(true);
    Released<PopupMenu> menu(PopupMenu::pool());
    menu->addItem(MenuItem::createWithText(L"Show", 901));
    menu->addItem(MenuItem::createWithText(L"Quit", 902));
    window->setTrayMenu(menu.get());
    Recorder told, commands;
    bool shownWhenTold = true;
    told.action = [&](int32_t) { shownWhenTold = controlstest::shownMenu() != nullptr; };
    window->addTrayMenuListener(&told);
    menu->addCommandListener(&commands);
    // What the shell posts for a right click on the icon.
    PostMessageW(window->getFrameHandle(), TrayIcon::CALLBACK_MESSAGE, 0, WM_RBUTTONDOWN);
    HWND popup = nullptr;
    ASSERT_TRUE(testsupport::waitFor([&] { return (popup = controlstest::shownMenu()) != nullptr; }));
    EXPECT_EQ(1, told.count(IWindow::TRAY_MENU));
    EXPECT_FALSE(shownWhenTold);
    RECT shown;
    GetWindowRect(popup, &shown);
    testsupport::clickAt(POINT{shown.left + 20, shown.top + (shown.bottom - shown.top) * 3 / 4});
    ASSERT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return commands.count(0) == 1; }));
    EXPECT_EQ(902, menu->getLastCommand());
    window->setTrayMenu(nullptr);
    window->setTrayIcon(false);
    TrayIcon::setNotifyFunction(previous);
}

TEST(WindowExtrasTest, TheTrayRecordCarriesTheTitleCutTo127Characters) {
    Released<Window> window(Window::pool());
    auto previous = TrayIcon::setNotifyFunction(&recordTray);
    trayCalls().clear();
    const std::wstring longTitle(200, L'T');
    window->setTitle(longTitle.c_str());
    window->setTrayIcon(true);
    window->setTitle(L"short");
    window->setTrayIcon(false);
    window->setTitle(L"not shown");
    TrayIcon::setNotifyFunction(previous);

    struct Want {
        DWORD message;
        UINT flags;
        size_t tipLength;
    } wants[] = {{NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, 127}, {NIM_MODIFY, NIF_TIP, 5}, {NIM_DELETE, 0, 0}};
    ASSERT_EQ(3u, trayCalls().size());
    for (size_t i = 0; i < 3; ++i) {
        const TrayCall& call = trayCalls()[i];
        EXPECT_EQ(wants[i].message, call.message);
        EXPECT_EQ(wants[i].flags, call.data.uFlags);
        EXPECT_EQ(wants[i].tipLength, wcslen(call.data.szTip));
        EXPECT_EQ(window->getFrameHandle(), call.data.hWnd);
        EXPECT_EQ(0u, call.data.uID);
        EXPECT_EQ(sizeof(NOTIFYICONDATAW), call.data.cbSize);
    }
    EXPECT_EQ(static_cast<UINT>(WM_USER + 2), trayCalls()[0].data.uCallbackMessage);
}

TEST(WindowExtrasTest, AMoveOffScreenEndsInsideTheWorkArea) {
    Released<Window> window(shownWindow(100, 100, 200, 150));
    window->setKeepInsideScreen(true);
    const RECT area = ScreenPlacement::keepArea();
    struct Case {
        int x, y, wantX, wantY;
    } cases[] = {
        {-500, -400, area.left, area.top},
        {5000, 5000, area.right - 200, area.bottom - 150},
        {120, 130, 120, 130},
    };
    for (const Case& c : cases) {
        window->setPosition(c.x, c.y);
        RECT rect;
        GetWindowRect(window->getFrameHandle(), &rect);
        EXPECT_EQ(c.wantX, rect.left) << c.x;
        EXPECT_EQ(c.wantY, rect.top) << c.y;
    }
}

// A record keeping x, y, width and height (indexes 0-3), counting the writes.
struct BoundsRecord : s::gui::IWindowState {
    void setMaximized(bool on) override {
        maximizedCalls.push_back(on);
        maximizedState = on;
    }
    void setNormalBounds(int32_t x, int32_t y, int32_t w, int32_t h) override {
        setX(x), setY(y), setWidth(w), setHeight(h);
    }
    void setLanguageName(const wchar_t*) override {}
    void persist() override {}
    bool maximized() override { return maximizedState; }
    bool hasPlacement() override { return has[0] && has[1]; }
    bool hasX() override { return has[0]; }
    int32_t x() override { return value[0]; }
    void setX(int32_t v) override { write(0, v); }
    bool hasY() override { return has[1]; }
    int32_t y() override { return value[1]; }
    void setY(int32_t v) override { write(1, v); }
    bool hasWidth() override { return has[2]; }
    bool widthIsValid() override { return value[2] >= 10; }
    int32_t width() override { return value[2]; }
    void setWidth(int32_t v) override { write(2, v); }
    bool hasHeight() override { return has[3]; }
    bool heightIsValid() override { return value[3] >= 10; }
    int32_t height() override { return value[3]; }
    void setHeight(int32_t v) override { write(3, v); }
    int32_t defaultWidth() const override { return defaults.cx; }
    int32_t defaultHeight() const override { return defaults.cy; }
    s::lang::Localizer* localizer() const override { return texts; }
    int32_t titleTextBase() const override { return titleBase; }
    HICON smallIcon() override { return icon; }
    bool keepOnTop() override { return onTop; }
    void place(int32_t x, int32_t y, int32_t w, int32_t h) {
        setNormalBounds(x, y, w, h);
        writes = 0;
    }
    void write(int i, int32_t v) {
        has[i] = true;
        value[i] = v;
        ++writes;
    }
    std::vector<bool> maximizedCalls;
    bool maximizedState = false;
    bool has[4] = {};
    int32_t value[4] = {};
    int writes = 0;
    SIZE defaults = {-1, -1};
    s::lang::Localizer* texts = nullptr;
    int32_t titleBase = -1;
    HICON icon = nullptr;
    bool onTop = false;
};

TEST(WindowExtrasTest, RestoringAMaximisedWindowTellsTheRecordItsNormalSizeAgain) {
    Released<Window> window(shownWindow(200, 150, 320, 240));
    BoundsRecord record;
    window->setStateRecord(&record);
    window->maximize();
    settle(window.get());
    ASSERT_FALSE(record.maximizedCalls.empty());
    EXPECT_TRUE(record.maximizedCalls.back());
    record.place(0, 0, 0, 0);
    window->restore();
    settle(window.get());
    EXPECT_FALSE(record.maximizedCalls.back());
    EXPECT_EQ((std::vector<int32_t>{200, 150, 320, 240}),
              (std::vector<int32_t>{record.value[0], record.value[1], record.value[2], record.value[3]}));
}

TEST(WindowStateTest, MinimisingHandsTheRecordTheNormalBoundsAndAWindowMinimisedFromMaximisedComesBackSo) {
    for (bool maximiseFirst : {false, true}) {
        BoundsRecord record;
        {
            Released<Window> window(shownWindow(200, 150, 320, 240));
            window->setStateRecord(&record);
            window->setDragByClientArea(true);
            window->setPassDoubleClicks(true);
            window->setMiddleClickAction(IWindow::MIDDLE_ICONIZE);
            window->activate(true);
            settle(window.get());
            const std::vector<int32_t> normal = {200, 150, 320, 240};
            auto bounds = [&] {
                return std::vector<int32_t>{record.value[0], record.value[1], record.value[2], record.value[3]};
            };
            if (maximiseFirst) {
                record.place(0, 0, 0, 0);
                testsupport::doubleClickAt(testsupport::centreOf(window->getFrameHandle()));
                ASSERT_TRUE(testsupport::waitFor([&] { return window->isMaximized(); }));
                settle(window.get());
                ASSERT_FALSE(record.maximizedCalls.empty());
                EXPECT_TRUE(record.maximizedCalls.back());
                EXPECT_EQ(normal, bounds()) << "maximised";
                Sleep(GetDoubleClickTime() + 50);  // the middle click starts no double click
            }
            record.place(0, 0, 0, 0);
            record.maximizedCalls.clear();
            testsupport::clickAt(testsupport::centreOf(window->getFrameHandle()), testsupport::Button::Middle);
            ASSERT_TRUE(testsupport::waitFor([&] { return window->isMinimized(); })) << maximiseFirst;
            settle(window.get());
            EXPECT_EQ(normal, bounds()) << "minimised, maximised first " << maximiseFirst;
            // A maximised window is not told "not maximised" for being minimised.
            EXPECT_EQ(maximiseFirst ? std::vector<bool>{} : std::vector<bool>{false}, record.maximizedCalls);
            window->close();
            EXPECT_TRUE(window->isClosed());
            window->setStateRecord(nullptr);
        }
        // The next start shows the window as the record kept it.
        Released<Window> again(Window::pool());
        again->setBounds(200, 150, 320, 240);
        again->setStateRecord(&record);
        again->show(true, false);
        EXPECT_EQ(maximiseFirst, again->isMaximized());
        again->setStateRecord(nullptr);
    }
}

TEST(WindowExtrasTest, ShowingBringsALostWindowBackAndHidingRemembersWhereItWas) {
    Released<Window> window(Window::pool());
    BoundsRecord record;
    window->setStateRecord(&record);
    struct Case {
        int x, y;
        bool centred;
    } cases[] = {{-3000, -3000, true}, {200, 150, false}};
    for (const Case& c : cases) {
        window->setBounds(c.x, c.y, 240, 160);
        window->show(true, false);
        RECT shown;
        GetWindowRect(window->getFrameHandle(), &shown);
        EXPECT_TRUE(window->isOnScreen());
        EXPECT_EQ(c.centred, shown.left != c.x || shown.top != c.y) << c.x;
        window->show(false, false);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(shown.left, record.x());
        EXPECT_EQ(shown.top, record.y());
        EXPECT_EQ(240, record.width());
        ASSERT_FALSE(record.maximizedCalls.empty());
        EXPECT_FALSE(record.maximizedCalls.back());
    }
    window->setStateRecord(nullptr);
}

TEST(WindowExtrasTest, AWindowIsOnScreenWithTenPixelsInsideEachWay) {
    const RECT screen = {0, 0, 1280, 1024};
    struct Case {
        RECT window;
        bool on;
    } cases[] = {
        {{100, 100, 300, 200}, true},  {{-190, 100, 10, 200}, true}, {{-191, 100, 9, 200}, false},
        {{100, 1014, 300, 1200}, true}, {{100, 1015, 300, 1200}, false}, {{100, 100, 110, 200}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.on, ScreenPlacement::isOnScreen(c.window, screen)) << c.window.left << "," << c.window.top;
    }
}

bool centredOnWorkArea(Window* window) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window->getFrameHandle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT r = frameOf(window);
    const RECT& a = monitor.rcWork;
    return std::abs((r.left + r.right) - (a.left + a.right)) <= 1 && std::abs((r.top + r.bottom) - (a.top + a.bottom)) <= 1;
}

TEST(WindowStateTest, ApplyingARecordSetsSizeTitleOptionsAndPlace) {
    s::xml::Node* root = s::xml::Node::pool();
    root->parse(L"<lang><languages><entry tagName=\"eng\" engName=\"English\"/></languages><entries>"
                L"<entry id=\"1\"><eng>Converter</eng></entry><entry id=\"11\"><eng>1.38</eng></entry></entries></lang>");
    Released<s::lang::Localizer> texts(s::lang::Localizer::pool());
    texts->load(root);
    root->release();
    texts->setLanguage(L"English");
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    struct Case {
        bool placed;
        RECT stored;  // x, y, width, height
        bool withVersion;
        RECT want;  // x, y, width, height; x -1: centred, -2: anywhere
        const wchar_t* title;
    } cases[] = {
        {true, {100, 80, 300, 200}, true, {100, 80, 300, 200}, L"Converter v1.38"},
        {false, {0, 0, 5, 5}, false, {-2, 0, 320, 240}, L"Converter"},
        {true, {-6000, -6000, 300, 200}, false, {-1, 0, 300, 200}, L"Converter"},
    };
    for (const Case& c : cases) {
        Released<Window> window(Window::pool());
        BoundsRecord record;
        record.defaults = SIZE{320, 240};
        record.texts = texts.get();
        record.titleBase = 1;
        record.icon = icon;
        record.onTop = c.placed;
        record.place(c.stored.left, c.stored.top, c.stored.right, c.stored.bottom);
        record.has[0] = record.has[1] = c.placed;
        window->applyState(&record, c.withVersion);
        const RECT r = frameOf(window.get());
        EXPECT_EQ(c.want.right, r.right - r.left) << c.stored.left;
        EXPECT_EQ(c.want.bottom, r.bottom - r.top) << c.stored.left;
        if (c.want.left == -1) {
            EXPECT_TRUE(centredOnWorkArea(window.get())) << c.stored.left;
        } else if (c.want.left != -2) {
            EXPECT_EQ(c.want.left, r.left);
            EXPECT_EQ(c.want.top, r.top);
        }
        EXPECT_STREQ(c.title, window->getTitle());
        EXPECT_EQ(c.placed, window->isTopmost());
        EXPECT_EQ(icon, reinterpret_cast<HICON>(SendMessageW(window->getFrameHandle(), WM_GETICON, ICON_SMALL, 0)));
        window->setStateRecord(nullptr);
    }
}

TEST(WindowStateTest, ShowingFollowsTheRecordAndHidingWritesOnlyWhatChanged) {
    struct Case {
        bool maximized;
        bool placed;
        bool wantCentred;
    } cases[] = {{true, true, false}, {false, false, true}, {false, true, false}};
    for (const Case& c : cases) {
        Released<Window> window(Window::pool());
        BoundsRecord record;
        record.maximizedState = c.maximized;
        window->setBounds(40, 30, 260, 180);
        if (c.placed) {
            record.place(40, 30, 260, 180);
        }
        window->setStateRecord(&record);
        window->show(true, false);
        EXPECT_EQ(c.maximized, window->isMaximized());
        if (!c.maximized) {
            EXPECT_EQ(c.wantCentred, centredOnWorkArea(window.get()));
        }
        window->show(false, false);
        if (!c.maximized) {
            EXPECT_EQ(c.placed ? 0 : 4, record.writes) << "an unchanged place is not written again";
            const RECT r = frameOf(window.get());
            EXPECT_EQ(r.left, record.x());
            EXPECT_EQ(r.top, record.y());
        }
        window->setStateRecord(nullptr);
    }
}

int64_t g_now = 0;
int64_t fixedClock() {
    return g_now;
}

TEST(WindowStateTest, ATrayClickTogglesBetweenTrayAndScreen) {
    enum Before { IN_TRAY, ACTIVE, LOST_100_MS_AGO, LOST_200_MS_AGO };
    struct Case {
        bool toggle;
        Before before;
        bool wantInTray;
    } cases[] = {
        {true, IN_TRAY, false}, {true, ACTIVE, true}, {true, LOST_100_MS_AGO, true},
        {true, LOST_200_MS_AGO, false}, {false, ACTIVE, false},
    };
    auto previousTray = TrayIcon::setNotifyFunction(&recordTray);
    auto previousClock = s::time::setClockSource(&fixedClock);
    for (const Case& c : cases) {
        Released<Window> window(shownWindow(50, 50, 200, 150));
        Recorder recorder;
        window->addTrayClickListener(&recorder);
        window->setTrayClickToggle(c.toggle);
        HWND frame = window->getFrameHandle();
        g_now = 1000000;
        SendMessageW(frame, WM_ACTIVATE, WA_ACTIVE, 0);
        if (c.before == IN_TRAY) {
            window->minimizeToTray();
        } else if (c.before != ACTIVE) {
            SendMessageW(frame, WM_ACTIVATE, WA_INACTIVE, 0);
            g_now += c.before == LOST_100_MS_AGO ? 100 : 200;
        }
        SendMessageW(frame, TrayIcon::CALLBACK_MESSAGE, 0, WM_LBUTTONDOWN);
        EXPECT_EQ(c.wantInTray, window->isInTray()) << c.before;
        EXPECT_EQ(!c.wantInTray, window->isVisible()) << c.before;
        EXPECT_EQ(c.wantInTray, window->isTrayIconShown()) << c.before;
        EXPECT_EQ(1, recorder.count(IWindow::TRAY_CLICK));
    }
    s::time::setClockSource(previousClock);
    TrayIcon::setNotifyFunction(previousTray);
}

TEST(WindowStateTest, CloseToTrayHidesOnTheCloseBoxButCloseStillCloses) {
    auto previousTray = TrayIcon::setNotifyFunction(&recordTray);
    for (bool toTray : {true, false}) {
        Released<Window> window(shownWindow(50, 50, 200, 150));
        window->setCloseToTray(toTray);
        ASSERT_TRUE(testsupport::clickCaptionButton(window->getFrameHandle(), HTCLOSE));
        EXPECT_TRUE(testsupport::waitFor([&] { return !window->isVisible(); }));
        EXPECT_EQ(toTray, window->isInTray());
        EXPECT_EQ(!toTray, window->isClosed());
        EXPECT_FALSE(window->isVisible());
        window->close();
        EXPECT_TRUE(window->isClosed());
        EXPECT_FALSE(window->isTrayIconShown());
    }
    TrayIcon::setNotifyFunction(previousTray);
}

// The tray state is decided on the window's own thread: a close listener that lets the
// caller of close go on early (ReplyMessage) still finds the window in the tray after it.
TEST(WindowStateTest, CloseToTrayIsDecidedOnTheWindowsOwnThread) {
    auto previousTray = TrayIcon::setNotifyFunction(&recordTray);
    Released<Window> window(shownWindow(50, 50, 200, 150));
    window->setCloseToTray(true);
    Recorder closes;
    closes.action = [](int32_t) {
        ReplyMessage(0);
        Sleep(100);
    };
    window->addCloseListener(&closes);
    window->close();
    EXPECT_TRUE(testsupport::waitFor([&] { return window->isClosed() && window->isInTray(); }, 10000));
    TrayIcon::setNotifyFunction(previousTray);
}

TEST(WindowStateTest, AVetoedCloseLeavesACloseToTrayWindowOutOfTheTrayAndAltF4StillTakesItThere) {
    auto previousTray = TrayIcon::setNotifyFunction(&recordTray);
    for (bool veto : {true, false}) {
        Released<Window> window(shownWindow(50, 50, 200, 150));
        window->setCloseToTray(true);
        Recorder closes;
        closes.action = [&](int32_t) {
            if (veto) {
                window->veto();
            }
        };
        window->addCloseListener(&closes);
        window->close();
        EXPECT_EQ(1, closes.count(IWindow::CLOSE));
        EXPECT_EQ(!veto, window->isClosed());
        EXPECT_EQ(!veto, window->isInTray()) << veto;
        EXPECT_EQ(veto, window->isVisible());
        if (veto) {
            window->activate(true);
            ASSERT_TRUE(testsupport::waitFor([&] { return GetForegroundWindow() == window->getFrameHandle(); }));
            testsupport::press(VK_F4, VK_MENU);
            EXPECT_TRUE(testsupport::waitFor([&] { return window->isInTray() && !window->isVisible(); }));
            EXPECT_FALSE(window->isClosed());
            EXPECT_EQ(1, closes.count(IWindow::CLOSE));
        }
    }
    TrayIcon::setNotifyFunction(previousTray);
}

} // namespace
