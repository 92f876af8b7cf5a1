// Helpers of the runner tests: a host that records what a run reports, a scratch
// folder, and the stand-in's command line; raw file access comes from support/RawFile.h.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "engine/ffmpeg/IRunHost.h"
#include "support/RawFile.h"

namespace s::str::strbuffer { class StrBuffer; }

class RecordingHost : public s::ffmpeg::IRunHost {
public:
    struct Report {
        int64_t total;
        int64_t position;
        std::wstring name;
        // How many log characters there were when the report came.
        uint32_t logLength;
    };

    explicit RecordingHost(bool idle = false, const s::str::strbuffer::StrBuffer* log = nullptr)
        : idle_(idle), log_(log) {}

    void onProgress(int64_t total, int64_t position, const wchar_t* outputName) override;
    bool wantsIdlePriority() override {
        ++priorityQuestions;
        return idle_;
    }

    std::vector<Report> reports;
    int priorityQuestions = 0;

private:
    bool idle_;
    const s::str::strbuffer::StrBuffer* log_;
};

// A fresh folder under the temporary folder, deleted with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring file(const wchar_t* name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// The stand-in's command line with the given steps.
std::wstring standIn(const std::wstring& steps);
bool fileExists(const std::wstring& path);
// True while a process with the id from the file runs; false when it is gone.
bool processRunning(const std::wstring& pidFile);
// Waits up to ms for the file to exist.
bool waitForFile(const std::wstring& path, DWORD ms);
