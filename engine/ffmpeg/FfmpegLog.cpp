#include "engine/ffmpeg/FfmpegLog.h"

#include <windows.h>

#include <cstring>

#include "core/str/strbuffer/StrBuffer.h"
#include "engine/ffmpeg/ExternalRunner.h"
#include "engine/ffmpeg/FfmpegLibraries.h"

namespace s::ffmpeg {

namespace {

struct LogState {
    CRITICAL_SECTION lock;
    str::strbuffer::StrBuffer* target = nullptr;
    // The target's length when this run began: the cap counts this run's lines only.
    uint32_t start = 0;
    bool headingWritten = false;
    // FFmpeg's line assembly: a message not ended by a line feed continues the line.
    int printPrefix = 1;
    LogState() { InitializeCriticalSection(&lock); }
};

LogState& state() {
    static LogState s;
    return s;
}

// The report lines of a run ("size=... time=... bitrate=...") are its progress, not its story.
bool isProgressReport(const char* line) {
    return std::strncmp(line, "size=", 5) == 0 || std::strncmp(line, "frame=", 6) == 0;
}

void appendLocked(LogState& s, const char* utf8) {
    if (s.target == nullptr || s.target->length() > s.start + LOG_CAP || isProgressReport(utf8)) {
        return;
    }
    if (!s.headingWritten) {
        s.target->append(L"[FFmpeg Output]:\n");
        s.headingWritten = true;
    }
    s.target->fromUtf8(utf8, true, -1);
}

} // namespace

void FfmpegLog::install() {
    static bool installed = false;
    if (!installed && ffmpegLibrariesLoaded()) {
        av_log_set_callback(&FfmpegLog::callback);
        installed = true;
    }
}

void FfmpegLog::setTarget(str::strbuffer::StrBuffer* log) {
    LogState& s = state();
    EnterCriticalSection(&s.lock);
    s.target = log;
    s.start = log != nullptr ? log->length() : 0;
    s.headingWritten = false;
    s.printPrefix = 1;
    LeaveCriticalSection(&s.lock);
}

void FfmpegLog::append(const char* utf8) {
    LogState& s = state();
    EnterCriticalSection(&s.lock);
    appendLocked(s, utf8);
    LeaveCriticalSection(&s.lock);
}

void FfmpegLog::callback(void* avcl, int level, const char* fmt, va_list vl) {
    if (level > AV_LOG_INFO) {
        return;
    }
    LogState& s = state();
    EnterCriticalSection(&s.lock);
    if (s.target != nullptr) {
        char line[1024];
        av_log_format_line2(avcl, level, fmt, vl, line, sizeof line, &s.printPrefix);
        appendLocked(s, line);
    }
    LeaveCriticalSection(&s.lock);
}

} // namespace s::ffmpeg
