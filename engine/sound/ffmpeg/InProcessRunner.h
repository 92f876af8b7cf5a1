#pragma once
#include <atomic>
#include <cstdint>

namespace s::sound::ffmpeg {

class IJobDialog;

// The in-process road as the job loop calls it: runs one FFmpeg command line inside
// this process over the bound libraries, reporting progress to the owner
// (IJobDialog::reportProgress) with the output name, and stopping soon after the cancel
// byte is set.
//   command:          the whole command line, program first
//   pass, passWeight: 0 single pass; 1 or 2 of a two-pass job, pass 1 filling the
//                     weight's share of the progress scale
//   workingDirectory: the current directory during the run (restored afterwards)
//   durationMs:       the input's duration, the total of the progress scale
// Answers 0 succeeded, 1 failed, 2 cancelled. Only one run at a time in the process.
typedef int32_t (*InProcessRunner)(const wchar_t* command, int32_t pass, double passWeight,
                                   const wchar_t* workingDirectory, int64_t durationMs, IJobDialog* owner,
                                   const wchar_t* outputName, const std::atomic<uint8_t>* cancel);

} // namespace s::sound::ffmpeg
