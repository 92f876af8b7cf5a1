#pragma once
#include <cstdint>

namespace s::sound::ffmpeg {

// The application window's taskbar button as a batch shows on it. Implementations do
// nothing where the system has no taskbar progress. Called on the conversion worker.
class ITaskbarProgress {
public:
    virtual ~ITaskbarProgress() = default;

    // A batch begins: the button shows that work is going on.
    virtual void taskbarStart() = 0;
    // done of total (both at most 10000 from the job loop).
    virtual void taskbarProgress(int32_t total, int32_t done) = 0;
    // The batch is over: the button shows no progress.
    virtual void taskbarEnd() = 0;
};

} // namespace s::sound::ffmpeg
