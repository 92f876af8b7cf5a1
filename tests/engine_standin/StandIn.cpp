// A scripted stand-in for ffmpeg.exe: the runner tests start it with a list of steps
// and it carries them out in order.
//
//   -e TEXT    write TEXT to standard error (\r and \n escapes, exact bytes)
//   -o TEXT    the same on standard output
//   -t TIME    a progress line "size=... time=TIME bitrate=... speed=..." ended by CR
//   -n N TEXT  TEXT and CR, N times, on standard error
//   -s MS      sleep
//   -f PATH    create PATH, write to it and keep it open until the end
//   -i         read standard input once and report "stdin:N" (N bytes, or "fail")
//   -q         report its priority class as "priority:N"
//   -d         report its working folder as "folder:PATH"
//   -p PIDFILE write its own process id to PIDFILE
//   -c PIDFILE start a silent copy of itself that sleeps a minute (inheriting this
//              one's handles, the output pipe among them), and write its
//              process id to PIDFILE
//   -w         write "converted" into its last command-line argument, where ffmpeg
//              writes its output
//   -x CODE    exit with CODE (default 0)
//
// Started as ffmpeg.exe by the job loop, it ignores the ffmpeg command line and takes its
// steps from the environment variable STANDIN_STEPS, separated by "|".
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string narrow(const wchar_t* text) {
    std::string out;
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n > 1) {
        out.resize(static_cast<size_t>(n - 1));
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    }
    std::string unescaped;
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\\' && i + 1 < out.size() && (out[i + 1] == 'r' || out[i + 1] == 'n')) {
            unescaped.push_back(out[++i] == 'r' ? '\r' : '\n');
        } else {
            unescaped.push_back(out[i]);
        }
    }
    return unescaped;
}

void put(DWORD which, const std::string& bytes) {
    DWORD done = 0;
    WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
}

bool writeId(const wchar_t* pidFile, DWORD id) {
    HANDLE file = CreateFileW(pidFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::string text = std::to_string(id);
    DWORD done = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) != FALSE;
    CloseHandle(file);
    return ok;
}

bool startSleeper(const wchar_t* pidFile) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = std::wstring(L"\"") + self + L"\" -s 60000";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(self, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return writeId(pidFile, info.dwProcessId);
}

} // namespace

std::vector<std::wstring> stepsFromEnvironment() {
    std::vector<std::wstring> steps{L""};
    wchar_t text[4096];
    const DWORD n = GetEnvironmentVariableW(L"STANDIN_STEPS", text, 4096);
    if (n == 0 || n >= 4096) {
        return {};
    }
    for (DWORD i = 0; i < n; ++i) {
        if (text[i] == L'|') {
            steps.emplace_back();
        } else {
            steps.back().push_back(text[i]);
        }
    }
    return steps;
}

void writeConverted(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(file, "converted", 9, &done, nullptr);
    CloseHandle(file);
}

int wmain(int commandCount, wchar_t** commandLine) {
    std::vector<std::wstring> scripted = stepsFromEnvironment();
    std::vector<wchar_t*> pointers{commandLine[0]};
    for (std::wstring& step : scripted) {
        pointers.push_back(&step[0]);
    }
    const int argc = scripted.empty() ? commandCount : static_cast<int>(pointers.size());
    wchar_t** argv = scripted.empty() ? commandLine : pointers.data();
    int code = 0;
    HANDLE output = INVALID_HANDLE_VALUE;
    for (int i = 1; i < argc; ++i) {
        const std::wstring step = argv[i];
        const wchar_t* value = i + 1 < argc ? argv[i + 1] : L"";
        if (step == L"-e" || step == L"-o") {
            put(step == L"-e" ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, narrow(value));
            ++i;
        } else if (step == L"-t") {
            put(STD_ERROR_HANDLE, "size=     128kB time=" + narrow(value) + " bitrate= 256.0kbits/s speed=1.0x\r");
            ++i;
        } else if (step == L"-n" && i + 2 < argc) {
            const long count = wcstol(value, nullptr, 10);
            const std::string line = narrow(argv[i + 2]) + "\r";
            for (long k = 0; k < count; ++k) {
                put(STD_ERROR_HANDLE, line);
            }
            i += 2;
        } else if (step == L"-s") {
            Sleep(static_cast<DWORD>(wcstoul(value, nullptr, 10)));
            ++i;
        } else if (step == L"-f") {
            output = CreateFileW(value, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD done = 0;
            WriteFile(output, "partial", 7, &done, nullptr);
            ++i;
        } else if (step == L"-i") {
            char buffer[16];
            DWORD got = 0;
            const BOOL ok = ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &got, nullptr);
            put(STD_ERROR_HANDLE, ok ? "stdin:" + std::to_string(got) + "\r" : std::string("stdin:fail\r"));
        } else if (step == L"-d") {
            wchar_t folder[1024] = {};
            char bytes[4096] = {};
            GetCurrentDirectoryW(1024, folder);
            WideCharToMultiByte(CP_UTF8, 0, folder, -1, bytes, sizeof(bytes), nullptr, nullptr);
            put(STD_ERROR_HANDLE, std::string("folder:") + bytes + "\r");
        } else if (step == L"-q") {
            put(STD_ERROR_HANDLE, "priority:" + std::to_string(GetPriorityClass(GetCurrentProcess())) + "\r");
        } else if (step == L"-p") {
            if (!writeId(value, GetCurrentProcessId())) {
                code = 9;
            }
            ++i;
        } else if (step == L"-c") {
            if (!startSleeper(value)) {
                code = 9;
            }
            ++i;
        } else if (step == L"-w") {
            writeConverted(commandLine[commandCount - 1]);
        } else if (step == L"-x") {
            code = static_cast<int>(wcstol(value, nullptr, 10));
            ++i;
        }
    }
    if (output != INVALID_HANDLE_VALUE) {
        CloseHandle(output);
    }
    return code;
}
