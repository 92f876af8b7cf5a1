// Another copy of a program for the running-copy tests. Modes:
//   wait <title> <ready event> <quit event> <limit ms> [decoy]
//       shows a window with the title (and, with "decoy", a second window "Decoy"
//       above it), sets the ready event and pumps messages until the quit event or the
//       limit; exit code 100 + restores + 10 * events of the titled window + 1000 *
//       messages of the decoy.
//   hang <title> <ready event> <limit ms>
//       shows the window, sets the ready event and stops pumping for the limit.
//   notify <also event 0|1> [titles...]
//   notifydesktop <also event 0|1> [titles...]
//       looks for another copy of this executable (process list or desktop windows)
//       and notifies it; exit code 0 delivered, 2 not found, 3 found but not delivered.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <cwctype>

#include "core/str/strbuffer/StrBuffer.h"
#include "system/process/win/OtherInstance.h"

using s::process::win::OtherInstance;

namespace {

HWND mainWindow = nullptr;
int restores = 0;
int events = 0;
int decoyMessages = 0;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == OtherInstance::RESTORE_MESSAGE || message == OtherInstance::EVENT_MESSAGE) {
        if (window != mainWindow) {
            ++decoyMessages;
        } else if (message == OtherInstance::RESTORE_MESSAGE) {
            ++restores;
        } else {
            ++events;
        }
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND showWindow(const wchar_t* title) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BrisqueltonCopyHelper";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"BrisqueltonCopyHelper", title, WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void pumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void signal(const wchar_t* name) {
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    if (event != nullptr) {
        SetEvent(event);
        CloseHandle(event);
    }
}

int waitMode(int argc, wchar_t** argv) {
    if (argc < 6) {
        return 90;
    }
    mainWindow = showWindow(argv[2]);
    if (mainWindow == nullptr) {
        return 91;
    }
    if (argc > 6 && wcscmp(argv[6], L"decoy") == 0) {
        showWindow(L"Decoy");
    }
    pumpPending();
    HANDLE quit = OpenEventW(SYNCHRONIZE, FALSE, argv[4]);
    if (quit == nullptr) {
        return 92;
    }
    signal(argv[3]);
    const DWORD limit = static_cast<DWORD>(_wtoi(argv[5]));
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limit) {
            break;
        }
        const DWORD woke = MsgWaitForMultipleObjects(1, &quit, FALSE, limit - elapsed, QS_ALLINPUT);
        pumpPending();
        if (woke == WAIT_OBJECT_0) {
            break;
        }
    }
    pumpPending();
    CloseHandle(quit);
    return 100 + restores + 10 * events + 1000 * decoyMessages;
}

int hangMode(int argc, wchar_t** argv) {
    if (argc < 5) {
        return 90;
    }
    mainWindow = showWindow(argv[2]);
    pumpPending();
    signal(argv[3]);
    Sleep(static_cast<DWORD>(_wtoi(argv[4])));
    return 0;
}

struct Titles {
    wchar_t** texts;
    int count;
};

bool titleOf(void* context, uint32_t index, uint32_t, s::str::strbuffer::StrBuffer* title) {
    const Titles* titles = static_cast<const Titles*>(context);
    if (index >= static_cast<uint32_t>(titles->count)) {
        return false;
    }
    title->assign(titles->texts[index]);
    return true;
}

int notifyMode(int argc, wchar_t** argv, bool onDesktop) {
    if (argc < 3) {
        return 90;
    }
    const bool alsoEvent = argv[2][0] == L'1';
    Titles titles = {argv + 3, argc - 3};
    OtherInstance::TitleFunction function = titles.count > 0 ? &titleOf : nullptr;
    uint32_t id = 0;
    if (onDesktop) {
        HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
        if (!OtherInstance::findOtherInstanceWindow(desktop, &id)) {
            return 2;
        }
        return OtherInstance::notifyOtherInstanceOnDesktop(desktop, function, &titles, 7, alsoEvent) ? 0 : 3;
    }
    if (!OtherInstance::findOtherInstance(&id)) {
        return 2;
    }
    return OtherInstance::notifyOtherInstance(id, function, &titles, 7, alsoEvent) ? 0 : 3;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) {
        return 90;
    }
    int result = 90;
    if (wcscmp(argv[1], L"wait") == 0) {
        result = waitMode(argc, argv);
    } else if (wcscmp(argv[1], L"hang") == 0) {
        result = hangMode(argc, argv);
    } else if (wcscmp(argv[1], L"notify") == 0) {
        result = notifyMode(argc, argv, false);
    } else if (wcscmp(argv[1], L"notifydesktop") == 0) {
        result = notifyMode(argc, argv, true);
    }
    LocalFree(argv);
    return result;
}
