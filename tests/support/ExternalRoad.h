// ffmpeg.exe with its DLLs in a program folder's optional_tools, for tests of whole
// batches on the external road, and one file run on either road. The test program
// defines FFMPEG_TOOLS_DIR.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "engine/ffmpeg/FfmpegLocator.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "support/ChildProcess.h"
#include "support/InProcessRoad.h"
#include "support/JobHost.h"

namespace testsupport {

// ffmpeg.exe with its DLLs in a program folder's optional_tools: taken before the
// program's own transcoder.
class ExternalRoad {
public:
    ExternalRoad() : program_(freshTempFolder(L"external-road-program")) {
        const std::wstring tools = program_ + L"\\optional_tools";
        CreateDirectoryW(tools.c_str(), nullptr);
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((std::wstring(FFMPEG_TOOLS_DIR) + L"\\*").c_str(), &found);
        while (find != INVALID_HANDLE_VALUE) {
            const std::wstring name = found.cFileName;
            if (name == L"ffmpeg.exe" || (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".dll") == 0)) {
                CopyFileW((std::wstring(FFMPEG_TOOLS_DIR) + L"\\" + name).c_str(), (tools + L"\\" + name).c_str(),
                          FALSE);
            }
            if (!FindNextFileW(find, &found)) {
                FindClose(find);
                break;
            }
        }
        sources_ = {program_.c_str(), HKEY_CURRENT_USER, NO_KEY, HKEY_CURRENT_USER, NO_KEY, NO_KEY};
        s::ffmpeg::FfmpegLocator::inject(&sources_);
    }
    ~ExternalRoad() {
        s::ffmpeg::FfmpegLocator::inject(nullptr);
        removeTree(program_);
    }
    ExternalRoad(const ExternalRoad&) = delete;
    ExternalRoad& operator=(const ExternalRoad&) = delete;

private:
    static constexpr wchar_t NO_KEY[] = L"Software\\BrisqueltonExternalRoad\\none";
    std::wstring program_;
    s::ffmpeg::FfmpegLocator::Sources sources_{};
};

// Converts input with the record into folder on the road a test has set up (an
// ExternalRoad or an InProcessRoad); dialog tells how it went.
inline void runQueued(const std::wstring& input, const s::sound::gui::dialogs::mp3conv::Setting& job,
                      const std::wstring& folder, JobHost& dialog) {
    dialog.folder = folder;
    dialog.queue.push_back(input);
    dialog.job.assign(job);
    s::sound::ffmpeg::JobLoop::runQueue(&dialog);
}

// The same on one road (ffmpeg.exe, or the program's own transcoder with no ffmpeg.exe
// anywhere) set up for this one file.
inline void runOnRoad(bool external, const std::wstring& input, const s::sound::gui::dialogs::mp3conv::Setting& job,
                      const std::wstring& folder, JobHost& dialog) {
    std::optional<InProcessRoad> inProcess;
    std::optional<ExternalRoad> outside;
    if (external) {
        outside.emplace();
    } else {
        inProcess.emplace(L"road-noffmpeg");
    }
    runQueued(input, job, folder, dialog);
}

} // namespace testsupport
