#pragma once
#include <cstdint>

#include "engine/sound/ffmpeg/IVideoRoad.h"

namespace s::sound::ffmpeg {

// The engine's video road: turns a video preset of the job record into FFmpeg's video
// options (disc target, codec and encoder settings, bit rate or quality, frame rate,
// picture size and filters), the video file's container and audio, and the last edits
// of the command (Xvid as tagged MPEG-4, x265's own pass parameter).
//
// A disc target's bars are drawn by scaling the picture first and padding it to the
// target's frame ("scale=352:198,pad=352:288:0:44" with a 352x288 size): FFmpeg
// applies the size option after the filters, so a pad alone would meet the source's
// full size and fail.
class VideoRoad : public IVideoRoad {
public:
    // The road the command builder uses when none other is installed.
    static VideoRoad& instance();
    // Seam: the processor count the thread options are made from (0: the machine's).
    // Answers the one it replaces.
    static uint32_t setProcessorCount(uint32_t count);

    bool appendVideoOptions(str::strbuffer::StrBuffer* command, const VideoJob& job, double* passWeight) override;
    void appendContainerAndAudio(str::strbuffer::StrBuffer* command, const VideoJob& job) override;
    void finishCommand(str::strbuffer::StrBuffer* command, const VideoJob& job) override;
};

} // namespace s::sound::ffmpeg
