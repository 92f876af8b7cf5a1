// Start-up benchmark driver (scripts/bench-startup.sh runs it; not a test). Each round
// starts, one after the other and driven the same way, a bare window program, the same
// program after loading the FFmpeg DLLs, and Brisquelton.exe (all beside this program);
// each is timed from process creation to a visible frame, and its working set is read a
// second later. While Brisquelton.exe is up, a second copy is started and timed until it
// has handed over to the first and ended. The first round fills Wine's caches and is
// printed apart; the medians of the others are compared in the same run, since the
// machine's load moves seconds but hardly their ratios.
//   app_startup_bench.exe [rounds]
// With --profile it makes two warm starts of Brisquelton.exe and then one with Wine's
// timestamped debug output and the program's own start-up marks switched on (they go to
// the standard error); it prints on the standard output the ticks at which that start was
// launched and its frame seen, on the same clock as Wine's timestamps.
//   app_startup_bench.exe --profile
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

double secondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool launch(const std::wstring& exe, const wchar_t* arguments, PROCESS_INFORMATION* pi, LARGE_INTEGER* start) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (arguments != nullptr) {
        commandLine += L" ";
        commandLine += arguments;
    }
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    QueryPerformanceCounter(start);
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, pi) != 0;
}

void finish(PROCESS_INFORMATION* pi, HWND frame) {
    if (frame != nullptr) {
        PostMessageW(frame, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi->hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(pi->hProcess, 1);
    }
    CloseHandle(pi->hProcess);
    CloseHandle(pi->hThread);
}

struct Start {
    double seconds = 0;
    double workingSetMb = 0;
    // Brisquelton.exe only: a second start's run until it has ended.
    double handOverSeconds = 0;
};

// Starts the program, waits for its frame and a second more; with handOver, then starts
// a second copy and waits for it to end. The first copy is closed at the end.
bool startOnce(const std::wstring& exe, const wchar_t* arguments, bool handOver, Start* result) {
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER start;
    if (!launch(exe, arguments, &pi, &start)) {
        return false;
    }
    HWND frame = nullptr;
    for (int i = 0; i < 30000 && frame == nullptr; ++i) {
        frame = frameOf(pi.dwProcessId);
        // A program that has ended shows nothing any more.
        if (frame == nullptr && WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) {
            break;
        }
    }
    result->seconds = secondsSince(start);
    Sleep(1000);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    result->workingSetMb = GetProcessMemoryInfo(pi.hProcess, &memory, sizeof(memory))
                               ? static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0)
                               : 0.0;
    bool ok = frame != nullptr;
    if (ok && handOver) {
        PROCESS_INFORMATION second{};
        ok = launch(exe, arguments, &second, &start) && WaitForSingleObject(second.hProcess, 30000) == WAIT_OBJECT_0;
        result->handOverSeconds = secondsSince(start);
        if (second.hProcess != nullptr) {
            finish(&second, nullptr);
        }
        // The first copy's frame is still the only one.
        ok = ok && frameOf(pi.dwProcessId) == frame;
    }
    finish(&pi, frame);
    return ok;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Program {
    const wchar_t* file;
    const wchar_t* arguments;
    const char* label;
    bool handOver;
};

// Wine's +timestamp clock: the tick count in seconds.
double tickSeconds() {
    return static_cast<double>(GetTickCount64()) / 1000.0;
}

int profile(const std::wstring& exe) {
    Start start;
    for (int i = 0; i < 2; ++i) {
        if (!startOnce(exe, nullptr, false, &start)) {
            return 1;
        }
    }
    SetEnvironmentVariableW(L"WINEDEBUG", L"+timestamp,+pid,+loaddll,+debugstr");
    SetEnvironmentVariableW(L"BRISQUELTON_STARTUP_TRACE", L"1");
    const double launched = tickSeconds();
    const bool ok = startOnce(exe, nullptr, false, &start);
    SetEnvironmentVariableW(L"WINEDEBUG", L"-all");
    SetEnvironmentVariableW(L"BRISQUELTON_STARTUP_TRACE", nullptr);
    std::printf("profile: launched %.3f\nprofile: frame seen %.3f\n", launched, launched + start.seconds);
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    folder = folder.substr(0, folder.find_last_of(L'\\') + 1);
    if (argc > 1 && std::wcscmp(argv[1], L"--profile") == 0) {
        return profile(folder + L"Brisquelton.exe");
    }
    const int rounds = argc > 1 ? std::max(2, _wtoi(argv[1])) : 9;
    const Program programs[] = {{L"bare_window.exe", nullptr, "bare window", false},
                                {L"bare_window.exe", L"ffmpeg", "bare window + FFmpeg DLLs", false},
                                {L"Brisquelton.exe", nullptr, "Brisquelton.exe", true}};
    const size_t count = sizeof(programs) / sizeof(programs[0]);
    std::vector<std::vector<Start>> starts(count);
    for (int round = 0; round < rounds; ++round) {
        std::printf("round %d:", round + 1);
        for (size_t p = 0; p < count; ++p) {
            Start start;
            if (!startOnce(folder + programs[p].file, programs[p].arguments, programs[p].handOver, &start)) {
                std::printf("\n%s: no frame within 30 s (or the program ended), or the second copy did not hand "
                            "over\n",
                            programs[p].label);
                return 1;
            }
            std::printf("  %.3f s %.1f MB", start.seconds, start.workingSetMb);
            if (programs[p].handOver) {
                std::printf(" (hand-over %.3f s)", start.handOverSeconds);
            }
            starts[p].push_back(start);
        }
        std::printf("\n");
    }
    // Round 1 fills Wine's caches; the others are warm starts.
    std::printf("\n%-28s %10s %10s %12s %8s\n", "program", "first (s)", "median (s)", "working (MB)", "ratio");
    double bare = 0;
    double handOver = 0;
    for (size_t p = 0; p < count; ++p) {
        std::vector<double> seconds, memory, handOvers;
        for (size_t i = 1; i < starts[p].size(); ++i) {
            seconds.push_back(starts[p][i].seconds);
            memory.push_back(starts[p][i].workingSetMb);
            handOvers.push_back(starts[p][i].handOverSeconds);
        }
        const double m = median(seconds);
        if (p == 0) {
            bare = m;
        }
        if (programs[p].handOver) {
            handOver = median(handOvers);
        }
        std::printf("%-28s %10.3f %10.3f %12.1f %8.2f\n", programs[p].label, starts[p][0].seconds, m, median(memory),
                    m / bare);
    }
    std::printf("%-28s %10s %10.3f %12s %8.2f\n", "second start's hand-over", "", handOver, "", handOver / bare);
    return 0;
}
