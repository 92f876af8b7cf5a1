#pragma once
#include <atomic>
#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }
namespace s::sound::gui::dialogs::mp3conv { class Setting; }

namespace s::sound::ffmpeg {

class ITaskbarProgress;

// Names of the worker events the job loop sends to the converter dialog's window. The
// window's listeners compare the name by identity, so senders and listeners use these
// very objects.
//   start:  (0, 0, null)
//   update: (total, position, output file name and extension)
//   error:  (input path, output path as pointers, the run's status as decimal text:
//            5 when ffmpeg.exe could not be started)
//   end:    (0, 0, null)
inline constexpr wchar_t EVENT_PROCESS_STATUS_START[] = L"ProcessStatusStart";
inline constexpr wchar_t EVENT_PROCESS_STATUS_UPDATE[] = L"ProcessStatusUpdate";
inline constexpr wchar_t EVENT_PROCESS_STATUS_END[] = L"ProcessStatusEnd";
inline constexpr wchar_t EVENT_REPORT_ERROR[] = L"ReportError";

// What the conversion job loop, and the progress hooks of both runners, use of the
// converter dialog that owns them. The dialog implements it; the loop runs on the
// dialog's worker thread and calls everything here from that thread.
class IJobDialog {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    virtual ~IJobDialog() = default;

    // The dialog's lock over its queue. The window's thread takes it when files are
    // dropped, so the loop never holds it while it sends an event.
    virtual void lockQueue() = 0;
    virtual void unlockQueue() = 0;
    // Under the queue lock: the number of queued inputs, and the full path of one of
    // them (valid until the lock is left; the loop copies it first).
    virtual int32_t queueCount() = 0;
    virtual const wchar_t* queuedPath(int32_t index) = 0;

    // The file being converted, one-based (0 before the first).
    virtual void setCurrentIndex(int32_t index) = 0;
    // Set by the window to stop the batch; read by the loop and both runners.
    virtual const std::atomic<uint8_t>* cancelFlag() = 0;
    // The folder outputs are written to.
    virtual const wchar_t* outputFolder() = 0;
    // The job record of the batch; unchanged while the batch runs.
    virtual const gui::dialogs::mp3conv::Setting* setting() = 0;
    // Whether the last file converted well.
    virtual void setLastFileSucceeded(bool succeeded) = 0;
    // The log of the file being converted; written to "_error.txt" when it fails.
    virtual StrBuffer* jobLog() = 0;
    // Whether the current run goes through an ffmpeg.exe child.
    virtual void setExternalRun(bool external) = 0;
    // The name the failed file's log was written under ("_error (1).txt" when
    // "_error.txt" exists), told before the "ReportError" event.
    virtual void setErrorLogName(const wchar_t* name) { (void)name; }
    // What the system said when ffmpeg.exe could not be started (empty for any other
    // failure), told before the "ReportError" event.
    virtual void setFailureReason(const wchar_t* reason) { (void)reason; }

    // Sends a worker event to the dialog's window and waits until it was handled there.
    virtual intptr_t sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) = 0;
    // The dialog's worker priority rule: the lowest priority while the user asked for
    // lower priority or the window is minimised, else the default (always the default
    // when forceDefault is set). Answers the thread call's result.
    virtual int32_t updateWorkerPriority(bool forceDefault) = 0;
    // The same flags as the rule reads: true while an ffmpeg.exe child should idle.
    virtual bool wantsIdlePriority() = 0;
    // The application window's taskbar button; null where there is none.
    virtual ITaskbarProgress* taskbar() = 0;

    // The progress of a run, as both runners report it: taskbar value (total, position),
    // "ProcessStatusUpdate" with total, position and the output name, then the priority
    // rule, whose result it answers.
    int32_t reportProgress(int64_t total, int64_t position, const wchar_t* outputName);
};

} // namespace s::sound::ffmpeg
