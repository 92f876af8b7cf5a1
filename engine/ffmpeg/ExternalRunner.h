#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::ffmpeg {

class IRunHost;

// One ffmpeg.exe run as the job loop hands it over.
struct ExternalRun {
    // The whole command line, program first (quoted when it holds blanks).
    const wchar_t* command;
    // Passed back with every progress report.
    const wchar_t* outputName;
    // The child's working directory; null keeps the program's own.
    const wchar_t* workingDirectory;
    // 0 single pass, 1 or 2 for the passes of a two-pass job, weighted by passWeight.
    int32_t pass;
    double passWeight;
    // The input's duration: the total of the progress scale.
    int64_t durationMs;
    // Set by another thread to stop the run; read while the child runs.
    const std::atomic<uint8_t>* cancel;
    // The job log; the child's output lines go there up to LOG_CAP characters. May be null.
    str::strbuffer::StrBuffer* log;
    // May be null: progress and priority then go unreported.
    IRunHost* host;
    // Takes the system's reason when the child could not be started. May be null.
    str::strbuffer::StrBuffer* startFailure;
};

// Run results shared with the in-process road.
constexpr int32_t RUN_SUCCEEDED = 0;
constexpr int32_t RUN_FAILED = 1;
constexpr int32_t RUN_CANCELLED = 2;
// ffmpeg.exe could not be started, or its loader refused it (a DLL it needs missing).
constexpr int32_t RUN_NOT_STARTED = 5;

// Output lines of one run are logged while that run has added at most this many
// characters to the log (a retry after a long first attempt keeps its own share).
constexpr uint32_t LOG_CAP = 20000;

// A start the system refuses is made once more before the run counts as not started;
// the reason then says it was tried twice.
constexpr const wchar_t* TRIED_TWICE_TEXT = L"; the start was tried twice";

// The system's start of a child (CreateProcessW), a seam for tests of refused starts.
typedef BOOL(WINAPI* ProcessStartFn)(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES process,
                                     LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                     LPCWSTR folder, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION info);
// Installs fn (null: CreateProcessW again); answers the one it replaces.
ProcessStartFn setProcessStart(ProcessStartFn fn);

// Runs the command as a hidden child whose standard output and error come back through
// a private pipe and whose standard input is the null device. Progress lines drive the
// host, every other line goes into the log after one "[FFmpeg Output]:" heading. A set
// cancel byte ends the child and everything it started within a poll interval, also
// while it prints nothing; the run then answers RUN_CANCELLED once they are gone, so
// their files can be deleted. RUN_NOT_STARTED for a child that could not be started or
// that its loader ended (the reason logged and given in startFailure; a start the system
// refused is made a second time first); otherwise
// RUN_SUCCEEDED for exit code 0 and RUN_FAILED for any other code.
int32_t runExternalFfmpeg(const ExternalRun& run);

// Whether the ffmpeg.exe at program decodes one frame of the first audio stream of the
// file at path: the judge of outputs where the FFmpeg libraries are not bound. It reads
// until that frame or the file's end; false when none came within timeoutMs, when the
// child could not run, or once the cancel byte (may be null) is set. The child starts
// in workingDirectory (null: the program's own).
bool externalDecodesAudio(const wchar_t* program, const wchar_t* path, const wchar_t* workingDirectory,
                          uint32_t timeoutMs, const std::atomic<uint8_t>* cancel);

} // namespace s::ffmpeg
