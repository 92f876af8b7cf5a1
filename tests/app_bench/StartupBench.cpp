// Starts Brisquelton.exe (beside this program) several times and reports how long each
// start takes until its frame is visible, and the process's working set a second later.
//   app_startup_bench.exe [runs]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HWND frameOf(DWORD processId) {
    struct Found {
        DWORD processId;
        HWND window;
    } found{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Found* f = reinterpret_cast<Found*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == f->processId && IsWindowVisible(window) &&
                (GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

struct Run {
    double seconds;
    double workingSetMb;
};

bool startOnce(const std::wstring& exe, Run* run) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        return false;
    }
    HWND frame = nullptr;
    for (int i = 0; i < 30000 && frame == nullptr; ++i) {
        frame = frameOf(pi.dwProcessId);
        if (frame == nullptr) {
            Sleep(1);
        }
    }
    QueryPerformanceCounter(&now);
    run->seconds = static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    Sleep(1000);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    run->workingSetMb = GetProcessMemoryInfo(pi.hProcess, &memory, sizeof(memory))
                            ? static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0)
                            : 0.0;
    if (frame != nullptr) {
        PostMessageW(frame, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return frame != nullptr;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(2, _wtoi(argv[1])) : 6;
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe(path, n);
    exe = exe.substr(0, exe.find_last_of(L'\\')) + L"\\Brisquelton.exe";
    std::vector<Run> results;
    for (int i = 0; i < runs; ++i) {
        Run run{};
        if (!startOnce(exe, &run)) {
            std::printf("run %d: no frame within 30 s\n", i + 1);
            return 1;
        }
        std::printf("run %d: frame visible after %.3f s, working set %.1f MB\n", i + 1, run.seconds, run.workingSetMb);
        results.push_back(run);
    }
    // The first start in a fresh prefix also fills Wine's caches; the others are warm.
    std::vector<double> warm;
    double memory = 0;
    for (size_t i = 1; i < results.size(); ++i) {
        warm.push_back(results[i].seconds);
        memory = std::max(memory, results[i].workingSetMb);
    }
    std::sort(warm.begin(), warm.end());
    std::printf("first start: %.3f s\n", results[0].seconds);
    std::printf("later starts: best %.3f s, median %.3f s, worst %.3f s\n", warm.front(), warm[warm.size() / 2],
                warm.back());
    std::printf("working set one second after start: up to %.1f MB\n", memory);
    return 0;
}
