#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <string>
#include <vector>

#include "TestWindows.h"
#include "framework/AfxOle.h"
#include "framework/CEdit.h"
#include "framework/PumpingWait.h"

namespace {

TEST(CWinThreadTest, InitInstanceDecidesWhetherThePumpRuns) {
    struct Case {
        BOOL init;
        int exitCode;
    };
    for (const Case& c : {Case{TRUE, 42}, Case{FALSE, 0}}) {
        std::atomic<DWORD> ranOn{0};
        FunctionThread* thread = startThread([&](FunctionThread*) {
            ranOn = GetCurrentThreadId();
            return c.init;
        });
        ASSERT_NE(nullptr, thread);
        if (c.init) {
            // The pump runs until WM_QUIT, whose wParam becomes the exit code.
            Sleep(50);
            EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread->m_hThread, 0));
            while (!thread->PostThreadMessage(WM_QUIT, static_cast<WPARAM>(c.exitCode), 0)) {
                Sleep(5);
            }
        }
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 5000));
        DWORD code = 99;
        GetExitCodeThread(thread->m_hThread, &code);
        EXPECT_EQ(static_cast<DWORD>(c.exitCode), code);
        EXPECT_EQ(thread->m_nThreadID, ranOn.load());
        EXPECT_NE(GetCurrentThreadId(), ranOn.load());
        EXPECT_EQ(1, thread->exits);
        delete thread;
    }
}

TEST(CWinThreadTest, AnAutoDeletingThreadDeletesItself) {
    static std::atomic<int> deleted{0};
    struct Self : CWinThread {
        ~Self() override { ++deleted; }
        BOOL InitInstance() override { return FALSE; }
    };
    Self* thread = AfxBeginThread<Self>(THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    HANDLE handle = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &handle, SYNCHRONIZE, FALSE, 0);
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(handle, 5000));
    CloseHandle(handle);
    EXPECT_EQ(1, deleted.load());
}

// An edit field whose pre-translation may take Enter, inside a parent that records too.
struct Field : CEdit {
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) {
            order->push_back(L"field");
            return takeEnter && msg->wParam == VK_RETURN;
        }
        return FALSE;
    }
    std::vector<std::wstring>* order = nullptr;
    bool takeEnter = false;
};

struct Panel : CWnd {
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) {
            order->push_back(L"panel");
        }
        return FALSE;
    }
    std::vector<std::wstring>* order = nullptr;
};

struct Form {
    Panel frame;
    Field first;
    Field second;
    std::vector<std::wstring> order;

    BOOL create(FunctionThread* thread) {
        frame.order = first.order = second.order = &order;
        const RECT a = {5, 5, 100, 25};
        const RECT b = {5, 30, 100, 50};
        if (!frame.CreateEx(WS_EX_CONTROLPARENT, plainClass(), L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                            120, nullptr, nullptr) ||
            !first.Create(WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, a, frame, 1) ||
            !second.Create(WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, b, frame, 2)) {
            return FALSE;
        }
        thread->m_pMainWnd = &frame;
        SetForegroundWindow(frame);
        first.SetFocus();
        return TRUE;
    }
};

// Posts a key to the field, as the keyboard would, and lets the pump handle it.
void pressKey(Form& form, HWND target, WPARAM key) {
    form.order.clear();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    // Sent messages do not wait for the queue: give the pump time to reach the keys.
    Sleep(50);
    SendMessageW(form.frame, WM_NULL, 0, 0);
}

TEST(CWinThreadTest, ThePumpOffersKeysToTheControlAndItsParentsBeforeDialogNavigation) {
    Form form;
    FunctionThread* thread = startThread([&](FunctionThread* self) { return form.create(self); });
    ASSERT_NE(nullptr, thread);
    while (form.second.m_hWnd == nullptr && WaitForSingleObject(thread->m_hThread, 10) == WAIT_TIMEOUT) {
    }
    ASSERT_NE(nullptr, form.second.m_hWnd);

    // Not taken by the field: the panel sees it next.
    pressKey(form, form.first, VK_RETURN);
    EXPECT_EQ((std::vector<std::wstring>{L"field", L"panel"}), form.order);

    // Taken by the field: Enter reaches it although dialog navigation would eat it.
    form.first.takeEnter = true;
    pressKey(form, form.first, VK_RETURN);
    EXPECT_EQ((std::vector<std::wstring>{L"field"}), form.order);

    // Tab, untaken, still moves the focus to the next field.
    DWORD focusThread = thread->m_nThreadID;
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    pressKey(form, form.first, VK_TAB);
    ASSERT_TRUE(GetGUIThreadInfo(focusThread, &info));
    EXPECT_EQ(form.second.m_hWnd, info.hwndFocus);

    // Windows are destroyed on their own thread, then the thread ends.
    SendMessageW(form.frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(nullptr, form.frame.m_hWnd);
    EXPECT_TRUE(stopThread(thread));
}

TEST(CWinThreadTest, EveryUiThreadHasItsOwnSingleThreadedApartment) {
    for (int i = 0; i < 2; ++i) {
        std::atomic<int> init{-1};
        std::atomic<bool> again{false};
        HRESULT multi = S_OK;
        FunctionThread* thread = startThread([&](FunctionThread*) {
            init = AfxOleInit() ? 1 : 0;
            again = AfxOleInit() != FALSE && AfxOleIsInitialized();
            multi = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            return FALSE;  // the thread's end ends OLE too
        });
        ASSERT_NE(nullptr, thread);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, 5000));
        EXPECT_EQ(1, init.load());
        EXPECT_TRUE(again.load());
        EXPECT_EQ(RPC_E_CHANGED_MODE, multi);
        delete thread;
    }
    EXPECT_FALSE(AfxOleIsInitialized());
}

TEST(PumpingWaitTest, MessagesSentToTheWaitingThreadAreHandled) {
    RecordingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, plainClass(), L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND target = wnd.m_hWnd;
    HANDLE sender = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* args = static_cast<std::pair<HWND, HANDLE>*>(p);
            SendMessageW(args->first, WM_USER + 5, 0, 0);
            SetEvent(args->second);
            return 0;
        },
        new std::pair<HWND, HANDLE>(target, done), 0, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, PumpingWait(1, &done, 5000));
    EXPECT_NE(wnd.messages.end(), std::find(wnd.messages.begin(), wnd.messages.end(), WM_USER + 5));
    WaitForSingleObject(sender, 5000);
    CloseHandle(sender);
    CloseHandle(done);
}

TEST(PumpingWaitTest, TimesOutAndKeepsAQuitForThePump) {
    const ULONGLONG start = GetTickCount64();
    PostQuitMessage(7);
    PumpingSleep(60);
    EXPECT_GE(GetTickCount64() - start, 40u);  // tick granularity
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), PumpingWait(1, &never, 20));
    CloseHandle(never);
}

} // namespace
