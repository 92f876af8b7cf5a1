#include "engine/video/VideoInfo.h"

namespace s::video {

VideoInfo::VideoInfo() {
    // Streams go back to their pool whenever the list is emptied.
    streams_.setCleaner(&StreamInfo::pooler());
    reset();
}

VideoInfo::~VideoInfo() = default;

void VideoInfo::reset() {
    probed = 0;
    fileName.freeStorage();
    fullPath.freeStorage();
    streamInfoFound = 0;
    formatName.freeStorage();
    formatLongName.freeStorage();
    width = height = 0;
    hasVideo = hasAudio = 0;
    startTime = 0;
    duration = -1;
    fileSize = -1;
    bitRate = 0;
    tagKeys.reset();
    tagValues.reset();
    streams_.freeStorage();
}

bool VideoInfo::addStream(StreamInfo* info) {
    if (info == nullptr) {
        return false;
    }
    if (!streams_.add(info)) {
        info->release();
        return false;
    }
    return true;
}

StreamInfo* VideoInfo::firstStreamOfType(int32_t type) const {
    const uint32_t n = streams_.count();
    for (uint32_t i = 0; i < n; ++i) {
        StreamInfo* s = stream(i);
        if (s->type == type) {
            return s;
        }
    }
    return nullptr;
}

} // namespace s::video
