// The yardstick of the start-up benchmark: a bare Win32 program that registers one class
// and shows one window of the Drop Box's compact size, and nothing else. With "ffmpeg"
// it first loads the seven FFmpeg DLLs beside it, which prices them apart.
//   bare_window.exe [ffmpeg]
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    if (commandLine != nullptr && std::wcsstr(commandLine, L"ffmpeg") != nullptr) {
        static const wchar_t* const DLLS[] = {L"avcodec-59.dll",  L"avdevice-59.dll",  L"avfilter-8.dll",
                                              L"avformat-59.dll", L"avutil-57.dll",    L"swresample-4.dll",
                                              L"swscale-6.dll"};
        for (const wchar_t* dll : DLLS) {
            if (LoadLibraryW(dll) == nullptr) {
                return 2;
            }
        }
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWindow";
    if (RegisterClassExW(&windowClass) == 0) {
        return 1;
    }
    HWND window = CreateWindowExW(0, L"BareWindow", L"Bare Window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 265, 280, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
