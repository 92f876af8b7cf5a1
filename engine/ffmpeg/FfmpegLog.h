#pragma once
#include <cstdarg>

namespace s::str::strbuffer { class StrBuffer; }

namespace s::ffmpeg {

// Where FFmpeg's own messages go: into the log of the run under way (the job log that
// "_error.txt" is written from), never to standard error. Codec threads log too, so
// every message is added under one lock.
class FfmpegLog {
public:
    // Routes FFmpeg's messages here; once is enough, later calls do nothing.
    static void install();
    // The log the messages are appended to (null: they are dropped). Messages of the
    // progress report are not logged; a log over the run's cap takes no more.
    static void setTarget(str::strbuffer::StrBuffer* log);

    // Adds one formatted message (already one text) to the target; the first one of a
    // run after the heading "[FFmpeg Output]:\n".
    static void append(const char* utf8);

    // FFmpeg's callback.
    static void callback(void* avcl, int level, const char* fmt, va_list vl);

private:
    FfmpegLog() = delete;
};

} // namespace s::ffmpeg
