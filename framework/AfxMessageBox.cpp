#include "framework/AfxMessageBox.h"

#include <atomic>

#include "framework/CWinApp.h"
#include "framework/CWnd.h"

namespace {

std::atomic<AfxMessageBoxFn> g_show{&MessageBoxW};

} // namespace

int AfxMessageBox(LPCWSTR text, UINT type) {
    HWND owner = GetActiveWindow();
    if (owner == nullptr) {
        CWnd* main = AfxGetMainWnd();
        owner = main != nullptr ? main->m_hWnd : nullptr;
    }
    return g_show.load()(owner, text, AfxGetAppName(), type);
}

int AfxShowMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return g_show.load()(owner, text, caption, type);
}

AfxMessageBoxFn AfxSetMessageBoxFunction(AfxMessageBoxFn fn) {
    return g_show.exchange(fn != nullptr ? fn : &MessageBoxW);
}
