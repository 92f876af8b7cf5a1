#pragma once
#include <cstdint>

namespace s::ffmpeg {

// What a conversion run reports to its owner (the job loop), on the run's own thread.
class IRunHost {
public:
    virtual ~IRunHost() = default;

    // A progress line was read: the owner moves the taskbar and its progress event to
    // (total, position) and applies its worker priority rule. The output name is the
    // one the run was given.
    virtual void onProgress(int64_t total, int64_t position, const wchar_t* outputName) = 0;

    // Asked for every line of output: true while the child should run at idle priority
    // (the window is minimised or the user asked for lower priority).
    virtual bool wantsIdlePriority() = 0;
};

} // namespace s::ffmpeg
