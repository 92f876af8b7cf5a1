#include "engine/sound/ffmpeg/IJobDialog.h"

#include "engine/sound/ffmpeg/ITaskbarProgress.h"

namespace s::sound::ffmpeg {

int32_t IJobDialog::reportProgress(int64_t total, int64_t position, const wchar_t* outputName) {
    ITaskbarProgress* bar = taskbar();
    if (bar != nullptr) {
        bar->taskbarProgress(static_cast<int32_t>(total), static_cast<int32_t>(position));
    }
    sendWorkerEvent(EVENT_PROCESS_STATUS_UPDATE, static_cast<intptr_t>(total), static_cast<intptr_t>(position),
                    outputName);
    return updateWorkerPriority(false);
}

} // namespace s::sound::ffmpeg
