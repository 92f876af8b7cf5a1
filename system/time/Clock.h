#pragma once
#include <windows.h>

#include <cstdint>

namespace s::time {

// 100-nanosecond units between 1601-01-01 and 1970-01-01 (UTC).
constexpr int64_t FILETIME_1970 = 116444736000000000LL;

typedef int64_t (*MillisFn)();

// Now in milliseconds since 1970-01-01 UTC, from the system clock unless a source was
// set. Any thread.
int64_t currentTimeMillis();
// Replaces the clock behind currentTimeMillis (null: the system clock); returns the
// previous source. For tests of code that waits on the clock.
MillisFn setClockSource(MillisFn source);

// A FILETIME as milliseconds since 1970 (signed division, so times before 1970 are
// negative and round toward zero).
int64_t fileTimeToMillis(const FILETIME& time);
// Seconds since 1970 as a FILETIME.
FILETIME secondsToFileTime(int64_t seconds);

} // namespace s::time
