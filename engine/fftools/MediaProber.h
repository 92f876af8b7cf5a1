#pragma once
#include <cstdint>

#include "engine/video/VideoInfo.h"

namespace s::fftools {

// Describes a media file in-process through the bound FFmpeg libraries: the container,
// its tags and every stream with its codec (the codec's own name, "mp3" rather than
// FFmpeg's preferred "mp3float"), sizes, rates and tags. path is a wide path, handed to
// FFmpeg as UTF-8; tags are read as UTF-8.
//
// Always answers a pooled record (the caller releases it). A missing path, or
// libraries that are not loaded, give a record with probed 0; a file FFmpeg cannot
// open or analyse gives probed 1, streamInfoFound 0, no streams and the size the file
// system gives. Not thread-safe: the conversion worker probes one file at a time.
video::VideoInfo* probeMediaFile(const wchar_t* path);

// The file's bit rate: its size over its length when both are known and give a rate
// above 0, else what the container says.
int64_t fileBitRate(int64_t containerRate, int64_t size, int64_t durationMicroseconds);
// Only in files with video: the first video stream without a known rate, and then the
// first audio stream without one, each get what the file's rate leaves over after the
// streams that have one (never below 0).
void backFillStreamBitRates(video::VideoInfo* info);

} // namespace s::fftools
