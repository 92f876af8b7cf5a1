// Windows and threads shared by the framework tests.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "framework/CWinThread.h"
#include "framework/CWnd.h"

// A window class whose procedure is DefWindowProcW, registered once.
inline const wchar_t* plainClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FrameworkTestPlain";
        return RegisterClassExW(&wc);
    }();
    return atom != 0 ? L"FrameworkTestPlain" : nullptr;
}

// Records every message WindowProc sees.
class RecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { ++ncDestroyed; }

    std::vector<UINT> messages;
    int ncDestroyed = 0;
};

// A UI thread that runs a set-up function in InitInstance and then pumps.
class FunctionThread : public CWinThread {
public:
    FunctionThread() { m_bAutoDelete = FALSE; }
    BOOL InitInstance() override { return setUp ? setUp(this) : TRUE; }
    int ExitInstance() override {
        ++exits;
        return CWinThread::ExitInstance();
    }

    std::function<BOOL(FunctionThread*)> setUp;
    int exits = 0;
};

// Runs fn on a pumping thread created suspended, so fn is set before it starts.
inline FunctionThread* startThread(std::function<BOOL(FunctionThread*)> fn) {
    FunctionThread* thread = AfxBeginThread<FunctionThread>(THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread != nullptr) {
        thread->setUp = std::move(fn);
        thread->ResumeThread();
    }
    return thread;
}

// Ends a FunctionThread and deletes it; false when it did not end in time.
inline bool stopThread(FunctionThread* thread, DWORD ms = 5000) {
    thread->PostThreadMessage(WM_QUIT, 0, 0);
    const bool ended = WaitForSingleObject(thread->m_hThread, ms) == WAIT_OBJECT_0;
    if (ended) {
        delete thread;
    }
    return ended;
}

// A hidden window that runs functions on its thread: run() sends them there.
class RunnerWnd : public CWnd {
public:
    static constexpr UINT RUN = WM_APP + 77;

    bool create() {
        return CreateEx(0, plainClass(), L"runner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr) != FALSE;
    }
    void run(const std::function<void()>& fn) const { SendMessage(RUN, reinterpret_cast<WPARAM>(&fn)); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == RUN) {
            (*reinterpret_cast<const std::function<void()>*>(wParam))();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};
