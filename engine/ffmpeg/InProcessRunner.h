#pragma once
#include <atomic>
#include <cstdint>

namespace s::sound::ffmpeg { class IJobDialog; }

namespace s::ffmpeg {

// The in-process road: one FFmpeg command line run by the program's own transcoder,
// inside this process, over the bound libraries. Its signature is the job loop's
// InProcessRunner. The process's current directory is the working directory for the
// length of the run (relative names, such as the two-pass log, land there) and is
// restored on every return. FFmpeg's messages go to the owner's job log. Answers 0
// succeeded, 1 failed (also when no audio packet was written), 2 cancelled. One run at
// a time in the process.
// A run that wrote no audio packet (and no video) fails with this line in the log.
inline constexpr wchar_t NO_AUDIO_TEXT[] =
    L"[FFmpeg]: no audio could be encoded from the input: the output holds no audio packet.";

int32_t runFfmpegInProcess(const wchar_t* command, int32_t pass, double passWeight, const wchar_t* workingDirectory,
                           int64_t durationMs, sound::ffmpeg::IJobDialog* owner, const wchar_t* outputName,
                           const std::atomic<uint8_t>* cancel);

// The transcoder's progress hook: position (at most total) and total in seconds,
// reported to the owner (taskbar, "ProcessStatusUpdate", priority rule). Answers the
// rule's result.
int32_t onFfmpegProgress(int32_t position, int32_t total, const wchar_t* name, void* owner);

// The argument vector of a command: split at every blank outside double quotes (the
// command quotes its paths, which may hold blanks), the quote characters removed, each
// piece as UTF-8, ended by a null entry. *argc gets the count. Free with
// freeInProcessArguments. Null when memory runs out.
char** splitInProcessCommand(const wchar_t* command, int* argc);
void freeInProcessArguments(char** argv);

// The run's total in whole seconds: the duration's, at least 1.
int32_t durationSeconds(int64_t durationMs);

} // namespace s::ffmpeg
