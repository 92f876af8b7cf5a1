#pragma once
#include <windows.h>

#include <new>

class CWnd;

// A thread with a message pump. The thread runs InitInstance; when that answers true it
// runs Run (the pump) until WM_QUIT, else ExitInstance at once. The pump offers each
// queued message first to the objects of its window and that window's parents
// (PreTranslateMessage, innermost first), then to dialog navigation of its top-level
// window, and only then translates and dispatches it.
//
// Threads are started with AfxBeginThread<T>(). With m_bAutoDelete set (the default)
// the object deletes itself when its thread ends; otherwise the starter deletes it,
// after the thread has ended.
class CWinThread {
public:
    CWinThread() = default;
    // Closes the thread handle; the thread must have ended (or never started).
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the native thread (CREATE_SUSPENDED in flags leaves it suspended).
    BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0);

    // On the new thread, first. True goes on into Run.
    virtual BOOL InitInstance() { return FALSE; }
    // On the thread, last; answers the thread's exit code (WM_QUIT's wParam).
    virtual int ExitInstance() { return static_cast<int>(m_msgCur.wParam); }
    // The pump; answers ExitInstance().
    virtual int Run();
    // The pre-translation of the pump: true takes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Takes and handles one message; false on WM_QUIT (which is kept in m_msgCur).
    BOOL PumpMessage();

    // The thread's main window: m_pMainWnd.
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

    DWORD ResumeThread() const { return ::ResumeThread(m_hThread); }
    DWORD SuspendThread() const { return ::SuspendThread(m_hThread); }
    BOOL SetThreadPriority(int priority) const { return ::SetThreadPriority(m_hThread, priority); }
    int GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
    BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
        return ::PostThreadMessageW(m_nThreadID, message, wParam, lParam);
    }
    operator HANDLE() const { return m_hThread; }

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur = {};

protected:
    // Marks this object as the calling thread's own (AfxGetThread).
    void makeCurrent();

private:
    static unsigned __stdcall entry(void* param);
};

// The CWinThread of the calling thread, or null for threads the framework did not start.
CWinThread* AfxGetThread();

// Makes a T (a CWinThread) and starts its thread at the given priority; null when the
// thread could not be made.
template <class T>
T* AfxBeginThread(int priority = THREAD_PRIORITY_NORMAL, UINT stackSize = 0, DWORD createFlags = 0) {
    T* thread = new (std::nothrow) T();
    if (thread == nullptr) {
        return nullptr;
    }
    if (!thread->CreateThread(createFlags | CREATE_SUSPENDED, stackSize)) {
        delete thread;
        return nullptr;
    }
    thread->SetThreadPriority(priority);
    if ((createFlags & CREATE_SUSPENDED) == 0) {
        thread->ResumeThread();
    }
    return thread;
}
