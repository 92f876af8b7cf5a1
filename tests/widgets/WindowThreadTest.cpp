#include <gtest/gtest.h>

#include <windows.h>

#include <malloc.h>

#include <atomic>
#include <string>

#include "WindowTestSupport.h"
#include "support/WaitFor.h"
#include "system/lang/Localizer.h"
#include "system/time/Clock.h"
#include "system/xml/Node.h"
#include "widgets/gui/IWindowState.h"
#include "widgets/gui/win/ToolkitWindowClass.h"

namespace {

using namespace windowtest;
using s::gui::IWindow;

struct StateRecord : s::gui::IWindowState {
    void setMaximized(bool on) override { maximized = on; }
    void setNormalBounds(int32_t, int32_t, int32_t, int32_t) override {}
    void setLanguageName(const wchar_t* name) override { language = name; }
    void persist() override { ++persisted; }
    bool maximized = false;
    int persisted = 0;
    std::wstring language;
};

std::wstring titleOf(HWND hwnd) {
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    return text;
}

std::wstring classOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

TEST(WindowThreadTest, EachWindowLivesOnItsOwnUiThreadWithOneClassForBoth) {
    Released<Window> first(Window::pool());
    Released<Window> second(Window::pool());
    for (Window* window : {first.get(), second.get()}) {
        HWND frame = window->getFrameHandle();
        ASSERT_NE(nullptr, frame);
        EXPECT_EQ(L"TaveloWindowClass", classOf(frame));
        const DWORD uiThread = GetWindowThreadProcessId(frame, nullptr);
        EXPECT_EQ(window->getUiThreadId(), uiThread);
        EXPECT_NE(GetCurrentThreadId(), uiThread);
        // The frame has an owner that never shows, and starts hidden.
        HWND owner = GetWindow(frame, GW_OWNER);
        ASSERT_NE(nullptr, owner);
        EXPECT_EQ(L"TaveloWindowClass", classOf(owner));
        EXPECT_NE(0, GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_FALSE(IsWindowVisible(frame));
        EXPECT_EQ(static_cast<LONG_PTR>(WS_EX_CLIENTEDGE),
                  GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    }
    EXPECT_NE(first->getUiThreadId(), second->getUiThreadId());
    EXPECT_EQ(GetClassLongPtrW(first->getFrameHandle(), GCW_ATOM), GetClassLongPtrW(second->getFrameHandle(), GCW_ATOM));
    // Registering again is success: the class exists.
    EXPECT_TRUE(s::gui::win::registerToolkitWindowClass());
}

TEST(WindowThreadTest, ChildrenMakeTheirControlsOnTheUiThreadAndPlacingAHiddenFrameKeepsItHidden) {
    Released<Window> window(Window::pool());
    NativeButton* button = NativeButton::pool();
    window->add(button);
    ASSERT_NE(nullptr, button->m_hWnd);
    EXPECT_EQ(window->getUiThreadId(), button->createdOn.load());
    EXPECT_EQ(window->getUiThreadId(), GetWindowThreadProcessId(button->m_hWnd, nullptr));
    EXPECT_EQ(window->getFrameHandle(), GetParent(button->m_hWnd));

    window->setBounds(40, 50, 300, 200);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(40, window->getX());
    EXPECT_EQ(300, window->getWidth());
    RECT client;
    GetClientRect(window->getFrameHandle(), &client);
    EXPECT_EQ(client.right, window->getInnerWidth());
    EXPECT_EQ(300 - client.right, window->getBorderWidth());
    window->setVisible(true);
    EXPECT_TRUE(window->isVisible());
    window->setSize(320, 210);
    EXPECT_EQ(320, window->getWidth());
}

TEST(WindowThreadTest, ControlNotificationsAreReflectedToTheirControl) {
    Released<Window> window(Window::pool());
    NativeButton* button = NativeButton::pool();
    window->add(button);
    ASSERT_NE(nullptr, button->m_hWnd);
    HWND frame = window->getFrameHandle();
    HWND control = button->m_hWnd;
    button->answer = 77;
    struct CommandCase {
        WORD code;
        UINT reflected;  // 0: not reflected
    };
    const CommandCase commands[] = {
        {BN_CLICKED, 0x8004},    {CBN_SELCHANGE, 0x800A}, {CBN_EDITCHANGE, 0x8005}, {CBN_DROPDOWN, 0x800F}, {CBN_CLOSEUP, 0x8010},
        {EN_KILLFOCUS, 0x8015},  {EN_CHANGE, 0x800C},      {BN_SETFOCUS, 0},       {EN_UPDATE, 0},
    };
    for (const CommandCase& c : commands) {
        button->reflected.clear();
        const LRESULT result =
            SendMessageW(frame, WM_COMMAND, MAKEWPARAM(100, c.code), reinterpret_cast<LPARAM>(control));
        if (c.reflected == 0) {
            EXPECT_TRUE(button->reflected.empty()) << c.code;
        } else {
            ASSERT_EQ(1u, button->reflected.size()) << c.code;
            EXPECT_EQ(c.reflected, button->reflected[0]);
            EXPECT_EQ(0, result);
        }
    }

    struct NotifyCase {
        UINT code;
        UINT reflected;
        LRESULT result;
    };
    const NotifyCase notifies[] = {
        {NM_CUSTOMDRAW, 0x800E, 77},     {LVN_ITEMCHANGED, 0x8006, 0}, {LVN_BEGINDRAG, 0x8008, 0},
        {LVN_ODSTATECHANGED, 0x8007, 0}, {LVN_COLUMNCLICK, 0x800D, 77}, {TCN_SELCHANGE, 0x800B, 77},
        {HDN_ENDDRAG, 0x8012, 77},       {NM_CLICK, 0, 0},
    };
    for (const NotifyCase& c : notifies) {
        button->reflected.clear();
        NMHDR header = {control, 100, c.code};
        const LRESULT result = SendMessageW(frame, WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&header));
        EXPECT_EQ(c.result, result) << static_cast<int>(c.code);
        EXPECT_EQ(c.reflected == 0 ? 0u : 1u, button->reflected.size()) << static_cast<int>(c.code);
    }

    // Colour requests come back with the control's brush.
    button->reflected.clear();
    HDC dc = GetDC(frame);
    EXPECT_EQ(77, SendMessageW(frame, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    ReleaseDC(frame, dc);
    ASSERT_EQ(1u, button->reflected.size());
    EXPECT_EQ(0x8003u, button->reflected[0]);
}

TEST(WindowThreadTest, HooksTurnMessagesIntoListenerEvents) {
    Recorder recorder;
    Released<Window> window(Window::pool());
    HWND frame = window->getFrameHandle();
    window->addKeyListener(&recorder);
    window->addActivateListener(&recorder);
    window->addDeactivateListener(&recorder);
    window->addSizeListener(&recorder);
    window->addMouseWheelListener(&recorder);
    window->addSizingListener(&recorder);
    window->addSecondInstanceListener(&recorder);

    // Pre-hook: keys are told, Enter goes no further.
    SendMessageW(frame, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ('A', window->getLastKey());
    SendMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(VK_RETURN, window->getLastKey());
    EXPECT_EQ(2, recorder.count(IWindow::KEY));
    EXPECT_NE(0, SendMessageW(frame, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);

    SendMessageW(frame, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    SendMessageW(frame, WM_ACTIVATE, WA_INACTIVE, 0);
    // The frame may also be activated for real meanwhile: count at least ours.
    EXPECT_LE(1, recorder.count(IWindow::ACTIVATED));
    EXPECT_LE(1, recorder.count(IWindow::DEACTIVATED));
    SendMessageW(frame, Window::MSG_SECOND_INSTANCE, 0, 0);
    EXPECT_EQ(1, recorder.count(IWindow::SECOND_INSTANCE));

    // Wheel direction from the signed high word, never from wParam as a whole.
    struct Wheel {
        short delta;
        bool up;
    };
    for (const Wheel& w : {Wheel{WHEEL_DELTA, true}, Wheel{-WHEEL_DELTA, false}, Wheel{-2 * WHEEL_DELTA, false}}) {
        SendMessageW(frame, WM_MOUSEWHEEL, MAKEWPARAM(0, w.delta), MAKELPARAM(-5, -5));
        EXPECT_EQ(w.up, window->getWheelDelta() > 0) << w.delta;
    }
    EXPECT_EQ(3, recorder.count(IWindow::WHEEL));

    // Post-hook: the size event comes after the frame has its new size.
    int32_t widthWhenTold = -1;
    recorder.action = [&](int32_t code) {
        if (code == 4) {
            widthWhenTold = window->getWidth();
        }
    };
    window->setSize(333, 222);
    EXPECT_EQ(333, widthWhenTold);
    EXPECT_LE(1, recorder.count(IWindow::SIZED));
    // Every event ran on the UI thread, with the window as source.
    for (size_t i = 0; i < recorder.codes.size(); ++i) {
        EXPECT_EQ(window->getUiThreadId(), recorder.threads[i]);
        EXPECT_EQ(static_cast<s::base::IObject*>(window.get()), recorder.sources[i]);
    }
    recorder.action = nullptr;
}

TEST(WindowThreadTest, SizingEdgesAreMappedAndListenersMayChangeTheRectangle) {
    Recorder recorder;
    Released<Window> window(Window::pool());
    window->addSizingListener(&recorder);
    struct Case {
        WPARAM wmsz;
        int32_t edge;
    };
    const Case cases[] = {
        {WMSZ_LEFT, 1},    {WMSZ_RIGHT, 2},    {WMSZ_TOP, 3},        {WMSZ_BOTTOM, 4},
        {WMSZ_TOPLEFT, 5}, {WMSZ_TOPRIGHT, 6}, {WMSZ_BOTTOMLEFT, 7}, {WMSZ_BOTTOMRIGHT, 8},
    };
    for (const Case& c : cases) {
        int32_t seen = -1;
        recorder.action = [&](int32_t) {
            seen = window->getSizingEdge();
            window->setSizingRight(window->getSizingRight() + 1);
        };
        RECT rect = {10, 20, 110, 220};
        SendMessageW(window->getFrameHandle(), WM_SIZING, c.wmsz, reinterpret_cast<LPARAM>(&rect));
        EXPECT_EQ(c.edge, seen) << c.wmsz;
        EXPECT_EQ(111, rect.right);
    }
    // Taller than the monitor: the dragged side gives way.
    recorder.action = nullptr;
    const int screen = GetSystemMetrics(SM_CYSCREEN);
    RECT bottom = {0, 100, 100, 100 + screen + 500};
    SendMessageW(window->getFrameHandle(), WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&bottom));
    EXPECT_EQ(100 + screen, bottom.bottom);
    RECT top = {0, 100, 100, 100 + screen + 500};
    SendMessageW(window->getFrameHandle(), WM_SIZING, WMSZ_TOP, reinterpret_cast<LPARAM>(&top));
    EXPECT_EQ(100 + 500, top.top);
}

TEST(WindowThreadTest, MiddleClickActionsAreComparedByIdentity) {
    const wchar_t lookalike[] = L"Close";
    struct Case {
        const wchar_t* action;
        bool closes;
    };
    for (const Case& c : {Case{s::gui::IWindow::MIDDLE_CLOSE, true}, Case{lookalike, false},
                          Case{s::gui::IWindow::MIDDLE_DO_NOTHING, false}}) {
        Released<Window> window(Window::pool());
        window->setMiddleClickAction(c.action);
        SendMessageW(window->getFrameHandle(), WM_MBUTTONDOWN, 0, 0);
        EXPECT_EQ(c.closes, window->isClosed());
    }
}

TEST(WindowThreadTest, ACloseListenerMayVetoAndAClosedWindowIgnoresFurtherCloses) {
    Recorder recorder;
    Released<Window> window(Window::pool());
    window->addCloseListener(&recorder);
    window->setVisible(true);
    bool vetoNext = true;
    recorder.action = [&](int32_t code) {
        if (code == 1 && vetoNext) {
            window->veto();
        }
    };
    window->close();
    EXPECT_EQ(1, recorder.count(IWindow::CLOSE));
    EXPECT_FALSE(window->isClosed());
    EXPECT_TRUE(window->isVisible());

    vetoNext = false;
    window->close();
    EXPECT_EQ(2, recorder.count(IWindow::CLOSE));
    EXPECT_TRUE(window->isClosed());
    EXPECT_FALSE(window->isVisible());
    // The native windows stay; the listeners are not asked again.
    EXPECT_TRUE(IsWindow(window->getFrameHandle()));
    SendMessageW(window->getFrameHandle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(2, recorder.count(IWindow::CLOSE));
    window->waitUntilClosed();  // returns at once
    recorder.action = nullptr;
}

TEST(WindowThreadTest, WaitUntilClosedEndsWhenAnotherThreadCloses) {
    Released<Window> window(Window::pool());
    HWND frame = window->getFrameHandle();
    HANDLE closer = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            Sleep(100);
            PostMessageW(static_cast<HWND>(p), WM_CLOSE, 0, 0);
            return 0;
        },
        frame, 0, nullptr);
    const ULONGLONG start = GetTickCount64();
    window->waitUntilClosed();
    EXPECT_TRUE(window->isClosed());
    EXPECT_LT(GetTickCount64() - start, 3000u);
    WaitForSingleObject(closer, 5000);
    CloseHandle(closer);
}

TEST(WindowThreadTest, SystemShutdownClosesOnceAndPersistsButALogOffChangesNothing) {
    Recorder recorder;
    StateRecord record;
    Released<Window> window(Window::pool());
    window->addCloseListener(&recorder);
    window->setStateRecord(&record);
    HWND frame = window->getFrameHandle();

    SendMessageW(frame, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(window->isClosed());
    EXPECT_FALSE(window->isShuttingDown());
    EXPECT_EQ(0, record.persisted);

    SendMessageW(frame, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(window->isClosed());
    EXPECT_TRUE(window->isShuttingDown());
    EXPECT_EQ(1, recorder.count(IWindow::CLOSE));
    EXPECT_EQ(1, record.persisted);
    SendMessageW(frame, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(1, recorder.count(IWindow::CLOSE));
    window->setStateRecord(nullptr);
}

TEST(WindowThreadTest, TheTitleFollowsTheLanguagePack) {
    s::xml::Node* root = s::xml::Node::pool();
    root->parse(L"<lang><languages><entry tagName=\"eng\" engName=\"English\"/>"
                L"<entry tagName=\"deu\" engName=\"German\"/></languages><entries>"
                L"<entry id=\"1\"><eng>Converter</eng><deu>Konverter</deu></entry>"
                L"<entry id=\"2\"><eng>1.5</eng><deu>1,5</deu></entry></entries></lang>");
    Released<s::lang::Localizer> localizer(s::lang::Localizer::pool());
    localizer->load(root);
    root->release();
    localizer->setLanguage(L"English");

    Recorder recorder;
    StateRecord record;
    struct Case {
        int32_t versionId;
        const wchar_t* english;
        const wchar_t* german;
    };
    for (const Case& c : {Case{2, L"Converter v1.5", L"Konverter v1,5"}, Case{-1, L"Converter", L"Konverter"}}) {
        localizer->setLanguage(L"English");
        Released<Window> window(Window::pool());
        window->addLanguageListener(&recorder);
        window->setStateRecord(&record);
        window->setTitleTextId(1, c.versionId);
        EXPECT_STREQ(L"", window->getTitle());  // no pack yet
        window->setLocalizer(localizer.get());
        EXPECT_STREQ(c.english, window->getTitle());
        EXPECT_EQ(c.english, titleOf(window->getFrameHandle()));
        const int told = recorder.count(IWindow::LANGUAGE);
        localizer->setLanguage(L"German");
        EXPECT_STREQ(c.german, window->getTitle());
        EXPECT_EQ(told + 1, recorder.count(IWindow::LANGUAGE));
        EXPECT_EQ(L"German", record.language);
        window->setStateRecord(nullptr);
    }
    // Released windows have left the pack: a change reaches no one.
    const size_t before = recorder.codes.size();
    localizer->setLanguage(L"English");
    EXPECT_EQ(before, recorder.codes.size());
}

TEST(WindowThreadTest, AnEndedUiThreadEndsTheWaitAndTheReleaseAtOnce) {
    Window* window = Window::pool();
    HANDLE thread = openUiThread(window);
    ASSERT_NE(nullptr, thread);
    PostThreadMessageW(window->getUiThreadId(), WM_QUIT, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    const ULONGLONG start = GetTickCount64();
    window->waitUntilClosed();
    EXPECT_FALSE(window->isClosed());
    window->release();
    EXPECT_LT(GetTickCount64() - start, 1000u);
    CloseHandle(thread);
}

TEST(WindowThreadTest, EnterInATextFieldReachesTheField) {
    Released<Window> window(Window::pool());
    EnterField* field = EnterField::pool();
    window->add(field);
    ASSERT_NE(nullptr, field->m_hWnd);
    window->setVisible(true);
    PostMessageW(field->m_hWnd, WM_KEYDOWN, VK_RETURN, 1);
    testsupport::waitFor([&] { return field->enters.load() != 0; }, 10000);
    EXPECT_EQ(1, field->enters.load());
}

TEST(WindowThreadTest, ReleasingEndsTheUiThreadWithinTheLimit) {
    Window* window = Window::pool();
    NativeButton* child = NativeButton::pool();
    window->add(child);
    HANDLE thread = openUiThread(window);
    ASSERT_NE(nullptr, thread);
    HWND frame = window->getFrameHandle();
    const ULONGLONG start = GetTickCount64();
    window->release();
    EXPECT_LT(GetTickCount64() - start, static_cast<ULONGLONG>(Window::STOP_LIMIT_MS));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
    EXPECT_FALSE(IsWindow(frame));
    CloseHandle(thread);
    // The child went back to its pool, detached: the next one taken is the same object.
    NativeButton* again = NativeButton::pool();
    EXPECT_EQ(child, again);
    EXPECT_EQ(nullptr, again->getParent());
    again->release();
}

// Holds the UI thread for good, as a call that never comes back would, answering only what
// other threads send it; the WM_QUIT posted to the thread stays in its queue.
struct NeverReturns : s::gui::events::IEventListener {
    void onEvent(s::base::IObject*, int32_t) override {
        entered.store(true);
        for (;;) {
            MSG msg;
            PeekMessageW(&msg, nullptr, WM_APP + 0x3FF0, WM_APP + 0x3FF0, PM_NOREMOVE);
            Sleep(10);
        }
    }
    std::atomic<bool> entered{false};
};

TEST(WindowThreadTest, AUiThreadThatDoesNotEndInTimeIsLeftRunningNeverSuspended) {
    static NeverReturns stuck;  // the thread runs in it until the process ends
    Window* window = Window::pool();
    window->addWorkerEventListener(&stuck);
    HANDLE thread = OpenThread(SYNCHRONIZE | THREAD_SUSPEND_RESUME, FALSE, window->getUiThreadId());
    ASSERT_NE(nullptr, thread);
    HWND frame = window->getFrameHandle();
    ASSERT_TRUE(window->postWorkerEvent(L"Hold", 0, 0, nullptr));
    ASSERT_TRUE(testsupport::waitFor([] { return stuck.entered.load(); }));
    const ULONGLONG start = GetTickCount64();
    window->release();
    EXPECT_GE(GetTickCount64() - start, static_cast<ULONGLONG>(Window::STOP_LIMIT_MS - 100));
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(thread, 0));
    // A suspend now finds the thread never suspended before.
    EXPECT_EQ(0u, SuspendThread(thread));
    ResumeThread(thread);
    CloseHandle(thread);
}

// Holds the UI thread inside a handler of the window until let go, answering what other
// threads send it; then tells whether the window's memory is still allocated.
struct HeldUntilLetGo : s::gui::events::IEventListener {
    void onEvent(s::base::IObject*, int32_t) override {
        entered.store(true);
        while (!letGo.load()) {
            MSG msg;
            PeekMessageW(&msg, nullptr, WM_APP + 0x3FF0, WM_APP + 0x3FF0, PM_NOREMOVE);
            Sleep(10);
        }
        windowKept.store(_msize(window) != static_cast<size_t>(-1));
    }
    Window* window = nullptr;
    std::atomic<bool> entered{false};
    std::atomic<bool> letGo{false};
    std::atomic<bool> windowKept{false};
};

std::atomic<int64_t> g_clock{0};
// Each reading a second later: the stop limit passes within a few readings.
int64_t leapingClock() {
    return g_clock += 1000;
}

// A UI thread still inside a handler when the wait for it ends keeps its window until the
// handler has returned, then gives back the window and itself as it ends.
TEST(WindowThreadTest, AUiThreadThatOutlivesTheWaitKeepsItsWindowUntilItEnds) {
    HeldUntilLetGo held;
    Window* window = Window::pool();
    held.window = window;
    window->addWorkerEventListener(&held);
    HANDLE thread = openUiThread(window);
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(window->postWorkerEvent(L"Hold", 0, 0, nullptr));
    ASSERT_TRUE(testsupport::waitFor([&] { return held.entered.load(); }));
    const s::time::MillisFn previous = s::time::setClockSource(&leapingClock);
    const ULONGLONG start = GetTickCount64();
    window->release();
    s::time::setClockSource(previous);
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(thread, 0));
    held.letGo.store(true);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 3000));
    EXPECT_TRUE(held.windowKept.load());
    CloseHandle(thread);
}

TEST(WindowThreadTest, AWindowReleasedFromItsOwnUiThreadGoesWithoutAHang) {
    Recorder recorder;
    Window* window = Window::pool();
    window->addWorkerEventListener(&recorder);
    recorder.action = [&](int32_t) { window->release(); };
    HANDLE thread = openUiThread(window);
    ASSERT_NE(nullptr, thread);
    HWND frame = window->getFrameHandle();
    const ULONGLONG start = GetTickCount64();
    window->sendWorkerEvent(L"ReleaseMe", 0, 0, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 3000));
    EXPECT_LT(GetTickCount64() - start, 3000u);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(1, recorder.count(IWindow::WORKER_EVENT));
    CloseHandle(thread);
}

} // namespace
