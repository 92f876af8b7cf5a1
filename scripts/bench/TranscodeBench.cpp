// The in-process road against ffmpeg.exe on one input, and the cost of probing it and
// building its command. Started by scripts/bench-transcode.sh; not a test.
//   transcode_bench.exe <folder holding in.wav> <ffmpeg.exe> [runs]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/fftools/MediaProber.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/gui/dialogs/mp3conv/Setting.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "engine/video/VideoInfo.h"

using s::str::strbuffer::StrBuffer;
using s::thread::Held;
using Setting = s::sound::gui::dialogs::mp3conv::Setting;
using s::sound::ffmpeg::CommandBuilder;
using s::sound::ffmpeg::FormatTable;

namespace {

double nowSeconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int WINAPI printBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    std::fwprintf(stderr, L"box: %ls\n", text);
    return IDOK;
}

// The format at 192 kbit/s (the lossless ones ignore it), as the bit-rate list offers it;
// left at the source's own rate, AAC would be asked for 1411 kbit/s.
struct Job : Setting {
    explicit Job(int32_t format) {
        formatId = format;
        bitRate = 192000;
    }
};

// The command of one road for the format, with the output named after the road.
std::wstring command(const Job& job, const s::video::VideoInfo* info, const std::wstring& input,
                     const std::wstring& output, const std::wstring& program, bool external) {
    Held<StrBuffer> text(CommandBuilder::buildFfmpegCommand(&job, info, input.c_str(), output.c_str(),
                                                            program.c_str(), external, 0, false, nullptr,
                                                            nullptr));
    return text ? std::wstring(text->c_str()) : std::wstring();
}

int runExternal(std::wstring line, const std::wstring& folder) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    SetHandleInformation(nul, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, folder.c_str(), &si,
                        &pi)) {
        CloseHandle(nul);
        return -1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(nul);
    return static_cast<int>(code);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: transcode_bench <folder> <ffmpeg.exe> [runs]\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const std::wstring program = argv[2];
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 3;
    const std::wstring input = folder + L"\\in.wav";
    s::system::win::MessageBoxSeam::set(&printBox);
    if (!s::ffmpeg::loadFfmpegLibraries()) {
        std::fwprintf(stderr, L"FFmpeg libraries not bound\n");
        return 1;
    }

    // Probe plus command of one file, as the job loop does them: best of 20.
    double best = 1e9;
    for (int i = 0; i < 20; ++i) {
        const double t0 = nowSeconds();
        Held<s::video::VideoInfo> info(s::fftools::probeMediaFile(input.c_str()));
        const std::wstring text = command(Job(18), info.get(), input, folder + L"\\probe.mp3", program, false);
        best = std::min(best, nowSeconds() - t0);
        if (text.empty()) {
            std::fwprintf(stderr, L"no command\n");
            return 1;
        }
    }
    std::wprintf(L"probe + command: %.1f ms\n\n", best * 1000.0);

    Held<s::video::VideoInfo> info(s::fftools::probeMediaFile(input.c_str()));
    const int64_t durationMs = info->duration / 1000;
    const struct {
        int32_t format;
        const wchar_t* name;
    } formats[] = {{18, L"MP3"}, {13, L"AAC"}, {12, L"FLAC"}, {21, L"Vorbis"}};
    std::wprintf(L"| format | in-process (s) | ffmpeg.exe (s) | ratio |\n|---|---:|---:|---:|\n");
    bool slower = false;
    for (const auto& f : formats) {
        const std::wstring ext = FormatTable::audioOutputExtension(f.format);
        double inProcess = 1e9, external = 1e9;
        for (int r = 0; r < runs; ++r) {
            const std::wstring inName = folder + L"\\in-process" + ext;
            const std::wstring exName = folder + L"\\external" + ext;
            DeleteFileW(inName.c_str());
            DeleteFileW(exName.c_str());
            const std::wstring inCommand = command(Job(f.format), info.get(), input, inName, program, false);
            std::atomic<uint8_t> cancel{0};
            double t0 = nowSeconds();
            const int inStatus = s::ffmpeg::runFfmpegInProcess(inCommand.c_str(), 0, 0.5, folder.c_str(), durationMs,
                                                               nullptr, L"in-process", &cancel);
            inProcess = std::min(inProcess, nowSeconds() - t0);
            const std::wstring exCommand = command(Job(f.format), info.get(), input, exName, program, true);
            t0 = nowSeconds();
            const int exStatus = runExternal(exCommand, folder);
            external = std::min(external, nowSeconds() - t0);
            if (inStatus != 0 || exStatus != 0) {
                std::fwprintf(stderr, L"%ls failed: in-process %d, external %d\n", f.name, inStatus, exStatus);
                return 1;
            }
        }
        std::wprintf(L"| %ls | %.2f | %.2f | %.2f |\n", f.name, inProcess, external, inProcess / external);
        slower = slower || inProcess > external;
    }
    std::wprintf(L"\n%ls\n", best < 0.030 && !slower ? L"OK: in-process not slower, probe + command under 30 ms"
                                                      : L"NOT MET: see the figures above");
    return 0;
}
