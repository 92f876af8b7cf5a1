// Probed files as the prober fills them, for the tests of the audio job rules.
#pragma once
#include <cstdint>

#include "engine/video/VideoInfo.h"

inline s::video::StreamInfo* audioStream(const wchar_t* codec, int32_t codecId = 0, int32_t rate = 0,
                                         int32_t channels = 0, int64_t bitRate = 0) {
    s::video::StreamInfo* s = s::video::StreamInfo::pool();
    s->type = s::video::StreamInfo::TYPE_AUDIO;
    s->codecName.assign(codec);
    s->codecId = codecId;
    s->sampleRate = rate;
    s->channels = channels;
    s->bitRate = bitRate;
    return s;
}

inline s::video::StreamInfo* videoStream(const wchar_t* codec) {
    s::video::StreamInfo* s = s::video::StreamInfo::pool();
    s->type = s::video::StreamInfo::TYPE_VIDEO;
    s->codecName.assign(codec);
    return s;
}

// Adds the stream and sets the file's flag of its kind.
inline void addStream(s::video::VideoInfo* info, s::video::StreamInfo* stream) {
    (stream->type == s::video::StreamInfo::TYPE_AUDIO ? info->hasAudio : info->hasVideo) = 1;
    info->addStream(stream);
}
