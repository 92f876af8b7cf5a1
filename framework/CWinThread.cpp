#include "framework/CWinThread.h"

#include <process.h>

#include "framework/AfxOle.h"
#include "framework/CWnd.h"

namespace {

thread_local CWinThread* t_current = nullptr;

bool isInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

} // namespace

CWinThread* AfxGetThread() {
    return t_current;
}

CWinThread::~CWinThread() {
    if (m_hThread != nullptr) {
        CloseHandle(m_hThread);
    }
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize) {
    if (m_hThread != nullptr) {
        return FALSE;
    }
    unsigned id = 0;
    const uintptr_t handle = _beginthreadex(nullptr, stackSize, &CWinThread::entry, this,
                                            CREATE_SUSPENDED | (createFlags & STACK_SIZE_PARAM_IS_A_RESERVATION), &id);
    if (handle == 0) {
        return FALSE;
    }
    m_hThread = reinterpret_cast<HANDLE>(handle);
    m_nThreadID = id;
    if ((createFlags & CREATE_SUSPENDED) == 0) {
        ::ResumeThread(m_hThread);
    }
    return TRUE;
}

void CWinThread::makeCurrent() {
    t_current = this;
}

unsigned __stdcall CWinThread::entry(void* param) {
    CWinThread* thread = static_cast<CWinThread*>(param);
    thread->makeCurrent();
    const int result = thread->InitInstance() ? thread->Run() : thread->ExitInstance();
    AfxOleTerm();
    t_current = nullptr;
    if (thread->m_bAutoDelete) {
        delete thread;
    }
    return static_cast<unsigned>(result);
}

int CWinThread::Run() {
    while (PumpMessage()) {
    }
    return ExitInstance();
}

BOOL CWinThread::PumpMessage() {
    const BOOL got = GetMessageW(&m_msgCur, nullptr, 0, 0);
    if (got == 0) {
        return FALSE;
    }
    if (got == -1) {
        // Only a bad window filter makes GetMessage fail; there is none here.
        return TRUE;
    }
    if (!PreTranslateMessage(&m_msgCur)) {
        TranslateMessage(&m_msgCur);
        DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd == nullptr) {
        return FALSE;
    }
    // The control and its parents first: dialog navigation would take keys such as
    // Enter in a text field before the field saw them.
    if (CWnd::WalkPreTranslateTree(msg)) {
        return TRUE;
    }
    if (!isInput(msg->message)) {
        return FALSE;
    }
    HWND root = GetAncestor(msg->hwnd, GA_ROOT);
    return root != nullptr && CWnd::FromHandle(root) != nullptr && IsDialogMessageW(root, msg);
}
