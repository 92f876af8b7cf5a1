// The converter dialog as the job loop sees it, for tests that run batches: a locked
// queue, the output folder, the batch's job record and log, how the last file went,
// the error status and the last output name reported.
#pragma once
#include <windows.h>

#include <atomic>
#include <cwchar>
#include <string>
#include <vector>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "engine/sound/ffmpeg/Setting.h"

namespace testsupport {

class JobHost : public s::sound::ffmpeg::IJobDialog {
public:
    JobHost() { InitializeCriticalSection(&lock_); }
    ~JobHost() override { DeleteCriticalSection(&lock_); }
    JobHost(const JobHost&) = delete;
    JobHost& operator=(const JobHost&) = delete;

    void lockQueue() override { EnterCriticalSection(&lock_); }
    void unlockQueue() override { LeaveCriticalSection(&lock_); }
    int32_t queueCount() override { return static_cast<int32_t>(queue.size()); }
    const wchar_t* queuedPath(int32_t index) override { return queue[static_cast<size_t>(index)].c_str(); }
    void setCurrentIndex(int32_t) override {}
    const std::atomic<uint8_t>* cancelFlag() override { return &cancel; }
    const wchar_t* outputFolder() override { return folder.c_str(); }
    const s::sound::gui::dialogs::mp3conv::Setting* setting() override { return &job; }
    void setLastFileSucceeded(bool ok) override { succeeded = ok; }
    StrBuffer* jobLog() override { return log.get(); }
    void setExternalRun(bool isExternal) override { external = isExternal; }
    void setErrorLogName(const wchar_t* name) override { errorLogName = name != nullptr ? name : L""; }
    void setFailureReason(const wchar_t* reason) override { failureReason = reason != nullptr ? reason : L""; }
    intptr_t sendWorkerEvent(const wchar_t* name, intptr_t, intptr_t, const wchar_t* text) override {
        if (wcscmp(name, L"ReportError") == 0) {
            errorStatus = text != nullptr ? text : L"";
        } else if (wcscmp(name, L"ProcessStatusUpdate") == 0 && text != nullptr) {
            outputName = text;
        }
        return 0;
    }
    int32_t updateWorkerPriority(bool) override { return 1; }
    bool wantsIdlePriority() override { return false; }
    s::sound::ffmpeg::ITaskbarProgress* taskbar() override { return nullptr; }

    std::vector<std::wstring> queue;
    std::wstring folder;
    s::sound::gui::dialogs::mp3conv::Setting job;
    std::atomic<uint8_t> cancel{0};
    s::thread::Held<StrBuffer> log{StrBuffer::pool()};
    bool succeeded = false;
    bool external = true;
    std::wstring errorStatus;
    std::wstring errorLogName;
    std::wstring failureReason;
    std::wstring outputName;

private:
    CRITICAL_SECTION lock_;
};

} // namespace testsupport
