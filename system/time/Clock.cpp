#include "system/time/Clock.h"

#include <atomic>

namespace s::time {

namespace {

std::atomic<MillisFn> clockSource{nullptr};

int64_t systemMillis() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return fileTimeToMillis(now);
}

} // namespace

int64_t currentTimeMillis() {
    const MillisFn source = clockSource.load();
    return source != nullptr ? source() : systemMillis();
}

MillisFn setClockSource(MillisFn source) {
    return clockSource.exchange(source);
}

int64_t fileTimeToMillis(const FILETIME& time) {
    const uint64_t units = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (static_cast<int64_t>(units) - FILETIME_1970) / 10000;
}

FILETIME secondsToFileTime(int64_t seconds) {
    const uint64_t units = static_cast<uint64_t>(seconds * 10000000 + FILETIME_1970);
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(units);
    result.dwHighDateTime = static_cast<DWORD>(units >> 32);
    return result;
}

} // namespace s::time
