#include "framework/CWinApp.h"

#include <atomic>

#include "framework/AfxOle.h"
#include "framework/CWnd.h"

namespace {

std::atomic<CWinApp*> g_app{nullptr};

// The executable's file name without folder and extension.
void exeBaseName(wchar_t* name, DWORD size) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        name[0] = 0;
        return;
    }
    const wchar_t* start = path;
    for (const wchar_t* p = path; *p != 0; ++p) {
        if (*p == L'\\' || *p == L'/') {
            start = p + 1;
        }
    }
    DWORD i = 0;
    for (; start[i] != 0 && i + 1 < size; ++i) {
        name[i] = start[i];
    }
    name[i] = 0;
    for (DWORD j = i; j > 0; --j) {
        if (name[j - 1] == L'.') {
            name[j - 1] = 0;
            break;
        }
    }
}

} // namespace

CWinApp::CWinApp(LPCWSTR appName) {
    m_bAutoDelete = FALSE;
    if (appName != nullptr) {
        m_pszAppName = appName;
    } else {
        exeBaseName(exeName_, MAX_PATH);
        m_pszAppName = exeName_;
    }
    CWinApp* none = nullptr;
    g_app.compare_exchange_strong(none, this);
}

CWinApp::~CWinApp() {
    CWinApp* self = this;
    g_app.compare_exchange_strong(self, nullptr);
}

void CWinApp::attachMainThread() {
    makeCurrent();
    m_nThreadID = GetCurrentThreadId();
}

CWinApp* AfxGetApp() {
    return g_app.load();
}

CWnd* AfxGetMainWnd() {
    CWinThread* thread = AfxGetThread();
    if (thread != nullptr && thread->GetMainWnd() != nullptr) {
        return thread->GetMainWnd();
    }
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->GetMainWnd() : nullptr;
}

LPCWSTR AfxGetAppName() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pszAppName != nullptr) {
        return app->m_pszAppName;
    }
    static wchar_t name[MAX_PATH] = {};
    static const bool named = (exeBaseName(name, MAX_PATH), true);
    (void)named;
    return name;
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = show;
    app->attachMainThread();
    const int result = app->InitInstance() ? app->Run() : app->ExitInstance();
    AfxOleTerm();
    return result;
}
