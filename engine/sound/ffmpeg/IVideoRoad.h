#pragma once
#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }
namespace s::video { class VideoInfo; }
namespace s::sound::gui::dialogs::mp3conv { class Setting; }

namespace s::sound::ffmpeg {

// One command of a job with a non-zero output id, as the command builder hands it to
// the video road.
struct VideoJob {
    const gui::dialogs::mp3conv::Setting* setting;
    const video::VideoInfo* info;  // may be null: nothing known of the source
    int32_t pass;                  // 0 single, 1 or 2
    bool copyVideo;
    bool copyAudio;
};

// The video road of the command builder, for jobs with a non-zero output id. The
// engine's own road (VideoRoad) serves unless another is installed
// (CommandBuilder::setVideoRoad).
class IVideoRoad {
public:
    virtual ~IVideoRoad() = default;
    // Writes the video options after the pass option, in place of the audio road's
    // cover-art choice; may change the pass weight. False (an id that names no preset)
    // leaves the command to the audio road.
    virtual bool appendVideoOptions(str::strbuffer::StrBuffer* command, const VideoJob& job,
                                    double* passWeight) = 0;
    // The container and audio options of the video file, after the queue option.
    virtual void appendContainerAndAudio(str::strbuffer::StrBuffer* command, const VideoJob& job) = 0;
    // Last edits of the finished command.
    virtual void finishCommand(str::strbuffer::StrBuffer* command, const VideoJob& job) = 0;
};

} // namespace s::sound::ffmpeg
