#include "widgets/gui/win/UIThread.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "framework/AfxOle.h"
#include "widgets/gui/win/Window.h"

namespace s::gui::win {

UIThread::UIThread()
    : window_(nullptr), ready_(0), started_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), ending_(false),
      orphaned_(false), adopted_(nullptr) {
    m_bAutoDelete = FALSE;
}

UIThread::~UIThread() {
    if (started_ != nullptr) {
        CloseHandle(started_);
    }
}

BOOL UIThread::InitInstance() {
    const BOOL made = makeWindow();
    if (started_ != nullptr) {
        SetEvent(started_);
    }
    return made;
}

BOOL UIThread::makeWindow() {
    INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&classes);
    AfxOleInit();
    // Only the first call in a process can succeed (RPC_E_TOO_LATE afterwards on
    // Windows, S_OK under Wine): every result is fine here.
    (void)CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT, RPC_C_IMP_LEVEL_IMPERSONATE,
                               nullptr, EOAC_NONE, nullptr);
    if (window_ == nullptr || !window_->createNative()) {
        return FALSE;
    }
    m_pMainWnd = window_;
    ready_.store(1);
    return TRUE;
}

bool UIThread::adopt(Window* window) {
    std::lock_guard<std::mutex> hold(endLock_);
    if (ending_) {
        return false;
    }
    orphaned_ = true;
    adopted_ = window;
    return true;
}

int UIThread::ExitInstance() {
    ready_.store(0);
    Window* adopted = nullptr;
    {
        std::lock_guard<std::mutex> hold(endLock_);
        ending_ = true;
        adopted = adopted_;
        if (orphaned_) {
            // Read by this thread's own end, after this: no other thread touches it now.
            m_bAutoDelete = TRUE;
        }
    }
    // No handler of the window runs any more.
    if (adopted != nullptr) {
        adopted->releaseNow();
    }
    return CWinThread::ExitInstance();
}

BOOL UIThread::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd == nullptr && msg->message == RELEASE_WINDOW) {
        // Here no handler of the window is running any more, so it may go.
        Window* window = reinterpret_cast<Window*>(msg->lParam);
        if (window != nullptr && window == window_) {
            window->releaseNow();
        }
        return TRUE;
    }
    return CWinThread::PreTranslateMessage(msg);
}

} // namespace s::gui::win
