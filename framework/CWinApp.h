#pragma once
#include <windows.h>

#include "framework/CCommandLineInfo.h"
#include "framework/CWinThread.h"

// The application object: one per process, made as a global; AfxWinMain runs it on the
// main thread. An InitInstance that does all the work and answers FALSE ends the
// program without a framework message loop.
class CWinApp : public CWinThread {
public:
    // appName: the title of message boxes; null takes the executable's name.
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override { return TRUE; }

    // Splits this process's command line into info, the program name left out.
    void ParseCommandLine(CCommandLineInfo& info) { CCommandLineInfo::parseProcess(info); }

    // The application's title.
    LPCWSTR GetAppName() const { return m_pszAppName; }

    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCWSTR m_pszAppName = nullptr;

private:
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPWSTR, int);
    // Binds the object to the calling (main) thread.
    void attachMainThread();

    wchar_t exeName_[MAX_PATH] = {};
};

// The process's application object, or null.
CWinApp* AfxGetApp();
// The calling thread's main window, else the application's.
CWnd* AfxGetMainWnd();
// The application's title; the executable's name without an application object.
LPCWSTR AfxGetAppName();

// The program's entry: wWinMain calls it. Runs the application object's InitInstance,
// then Run when it answered TRUE, else ExitInstance; answers the exit code.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);
