#pragma once
#include <cstdint>

namespace s::system::monitor::win {

class Monitor;

// The process-wide monitor list, enumerated once on first use (under a lock) and
// kept for the life of the process, and the primary work area.
int32_t monitorCount();
// The monitor at a list position, or null.
Monitor* monitorAt(int32_t index);
// The monitor nearest the rectangle, or null when it is not in the list.
Monitor* monitorFromRect(int32_t x, int32_t y, int32_t width, int32_t height);

// The primary monitor's work area, read afresh.
int32_t workAreaLeft();
int32_t workAreaTop();
int32_t workAreaWidth();
int32_t workAreaHeight();

} // namespace s::system::monitor::win
