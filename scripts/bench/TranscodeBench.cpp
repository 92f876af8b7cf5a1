// The in-process road against ffmpeg.exe on one input, the cost of probing it and
// building its command, and the cost of judging outputs in a batch of short files.
// Started by scripts/bench-transcode.sh; not a test.
//   transcode_bench.exe <folder holding in.wav> <ffmpeg.exe> [runs]
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/FfmpegLocator.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/fftools/MediaProber.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "engine/video/VideoInfo.h"
#include "Seconds.h"

using s::str::strbuffer::StrBuffer;
using s::thread::Held;
using Setting = s::sound::gui::dialogs::mp3conv::Setting;
using s::sound::ffmpeg::CommandBuilder;
using s::sound::ffmpeg::FormatTable;

namespace {

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

// The converter dialog as the job loop needs it for one batch of MP3s.
class BatchDialog : public s::sound::ffmpeg::IJobDialog {
public:
    BatchDialog() { InitializeCriticalSection(&lock_); }
    ~BatchDialog() override { DeleteCriticalSection(&lock_); }
    void lockQueue() override { EnterCriticalSection(&lock_); }
    void unlockQueue() override { LeaveCriticalSection(&lock_); }
    int32_t queueCount() override { return static_cast<int32_t>(queue.size()); }
    const wchar_t* queuedPath(int32_t index) override { return queue[static_cast<size_t>(index)].c_str(); }
    void setCurrentIndex(int32_t) override {}
    const std::atomic<uint8_t>* cancelFlag() override { return &cancel_; }
    const wchar_t* outputFolder() override { return folder.c_str(); }
    const Setting* setting() override { return &job_; }
    void setLastFileSucceeded(bool ok) override { succeeded += ok ? 1 : 0; }
    StrBuffer* jobLog() override { return nullptr; }
    void setExternalRun(bool) override {}
    intptr_t sendWorkerEvent(const wchar_t*, intptr_t, intptr_t, const wchar_t*) override { return 0; }
    int32_t updateWorkerPriority(bool) override { return 1; }
    bool wantsIdlePriority() override { return false; }
    s::sound::ffmpeg::ITaskbarProgress* taskbar() override { return nullptr; }

    std::vector<std::wstring> queue;
    std::wstring folder;
    int succeeded = 0;

private:
    CRITICAL_SECTION lock_;
    std::atomic<uint8_t> cancel_{0};
    Job job_{18};
};

bool alwaysAudio(const wchar_t*) {
    return true;
}

// A one-second 44.1 kHz stereo WAV of a tone.
bool writeShortWav(const std::wstring& path) {
    const uint32_t frames = 44100, bytes = frames * 4;
    std::string data("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data", 40);
    const uint32_t riff = 36 + bytes;
    data.replace(4, 4, reinterpret_cast<const char*>(&riff), 4);
    data.append(reinterpret_cast<const char*>(&bytes), 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t v = static_cast<int16_t>(8000 * std::sin(2 * 3.14159265358979 * 441.0 * i / 44100));
        data.append(reinterpret_cast<const char*>(&v), 2).append(reinterpret_cast<const char*>(&v), 2);
    }
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = h != INVALID_HANDLE_VALUE && WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written,
                                                           nullptr) && written == data.size();
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return ok;
}

// Seconds for the job loop to convert the short WAVs to MP3 in-process, outputs judged
// or not (best of runs); negative when a file failed.
double batchSeconds(const std::wstring& folder, int files, int runs, bool judged) {
    s::sound::ffmpeg::JobLoop::setAudioCheck(judged ? nullptr : &alwaysAudio);
    double best = 1e9;
    for (int r = 0; r < runs; ++r) {
        BatchDialog dialog;
        dialog.folder = folder + L"\\batch-out";
        for (int i = 0; i < files; ++i) {
            dialog.queue.push_back(folder + L"\\batch\\" + std::to_wstring(i) + L".wav");
            DeleteFileW((dialog.folder + L"\\" + std::to_wstring(i) + L".mp3").c_str());
        }
        const double t0 = nowSeconds();
        s::sound::ffmpeg::JobLoop::runQueue(&dialog);
        best = std::min(best, nowSeconds() - t0);
        if (dialog.succeeded != files) {
            best = -1;
            break;
        }
    }
    s::sound::ffmpeg::JobLoop::setAudioCheck(nullptr);
    return best;
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
    // The judge of outputs in a batch: 50 one-second WAVs to MP3 through the job loop on
    // the in-process road (no ffmpeg.exe to be found), with and without the judge.
    const int files = 50;
    CreateDirectoryW((folder + L"\\batch").c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        if (!writeShortWav(folder + L"\\batch\\" + std::to_wstring(i) + L".wav")) {
            std::fwprintf(stderr, L"batch WAV not written\n");
            return 1;
        }
    }
    const std::wstring noTools = folder + L"\\no-tools";
    CreateDirectoryW(noTools.c_str(), nullptr);
    const wchar_t* noKey = L"Software\\BrisqueltonTranscodeBench\\none";
    const s::ffmpeg::FfmpegLocator::Sources nowhere{noTools.c_str(), HKEY_CURRENT_USER, noKey, HKEY_CURRENT_USER,
                                                    noKey, noKey};
    s::ffmpeg::FfmpegLocator::inject(&nowhere);
    // Short runs vary more than long ones: at least three of each, taken in turn.
    double unjudged = 1e9, judged = 1e9;
    for (int r = 0; r < std::max(runs, 3); ++r) {
        const double without = batchSeconds(folder, files, 1, false);
        const double with = batchSeconds(folder, files, 1, true);
        unjudged = without < 0 ? without : std::min(unjudged, without);
        judged = with < 0 ? with : std::min(judged, with);
    }
    s::ffmpeg::FfmpegLocator::inject(nullptr);
    if (unjudged <= 0 || judged <= 0) {
        std::fwprintf(stderr, L"a batch file failed\n");
        return 1;
    }
    const double cost = (judged / unjudged - 1.0) * 100.0;
    std::wprintf(L"\n%d one-second WAVs to MP3: %.2f s judged, %.2f s not (judge %+.1f%%)\n", files, judged,
                 unjudged, cost);

    std::wprintf(L"\n%ls\n", best < 0.030 && !slower && cost < 5.0
                                  ? L"OK: in-process not slower, probe + command under 30 ms, judge under 5%"
                                  : L"NOT MET: see the figures above");
    return 0;
}
