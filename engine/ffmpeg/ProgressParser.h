#pragma once
#include <cstdint>

namespace s::ffmpeg {

// Where a conversion stands on the progress bar. Both values are at most 10000, so
// they fit the bar and the taskbar alike; the position never passes the total.
struct Progress {
    int64_t total;
    int64_t position;
};

// The time after "time=" in milliseconds: hh:mm:ss.cc (fewer fields and any number of
// fraction digits read too). "N/A", a negative time and unreadable text give 0.
int64_t parseProgressTime(const wchar_t* text, uint32_t length);

// Puts a position in the input (milliseconds) on the bar. The total is the input's
// duration, divided by ten together with the position until it is at most 10000. A
// position of 0 or less counts as 1, so a run that has not placed itself yet still
// shows that it started. Two-pass jobs share the bar: pass 1 fills the weight's share,
// pass 2 the rest (pass 0 is a single-pass job).
Progress scaleProgress(int64_t positionMs, int64_t durationMs, int32_t pass, double weight);

// True when the line is one of ffmpeg's progress lines (it holds "time="); out then
// holds the scaled progress.
bool parseProgressLine(const wchar_t* line, uint32_t length, int64_t durationMs, int32_t pass, double weight,
                       Progress* out);

} // namespace s::ffmpeg
