#pragma once
#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }
namespace s::video { class VideoInfo; }
namespace s::sound::gui::dialogs::mp3conv { class Setting; }

namespace s::sound::ffmpeg {

// The video road of the command builder, for jobs with a non-zero output id. Until one
// is installed (CommandBuilder::setVideoRoad) such jobs take the audio road's stream
// choice (cover art or no video).
class IVideoRoad {
public:
    virtual ~IVideoRoad() = default;
    // Writes the video options in place of the audio road's cover-art choice, after
    // the pass option; may change the pass weight. False leaves the choice to the
    // audio road.
    virtual bool appendVideoOptions(str::strbuffer::StrBuffer* command,
                                    const gui::dialogs::mp3conv::Setting* setting, const video::VideoInfo* info,
                                    int32_t pass, double* passWeight) = 0;
    // Last edits of the finished command of a video job.
    virtual void finishCommand(str::strbuffer::StrBuffer* command, const gui::dialogs::mp3conv::Setting* setting,
                               int32_t pass) = 0;
};

} // namespace s::sound::ffmpeg
