#pragma once
#include <cstdint>

#include "core/str/strbuffer/StrBuffer.h"
#include "engine/video/VideoInfo.h"

namespace s::video {

// The fixed-label text report of a probed file that goes into the job log, one
// "\n"-ended line per field. A new pooled string the caller releases; null only when
// no string can be had.
str::strbuffer::StrBuffer* formatMediaReport(const VideoInfo* info);

// Appends "hh:mm:ss.cc" for a duration in microseconds (hundredths truncated).
str::strbuffer::StrBuffer* appendTimeText(str::strbuffer::StrBuffer* out, int64_t microseconds);

// A stream duration in its time-base units as microseconds (truncated); the value
// itself when the time base is not known.
int64_t streamDurationMicroseconds(const StreamInfo* stream);

} // namespace s::video
