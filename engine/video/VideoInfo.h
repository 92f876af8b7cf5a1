#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/col/_array/ArrayP.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "engine/video/StreamInfo.h"

namespace s::video {

// What the probe learned of one media file: container facts and one StreamInfo per
// stream, in the file's stream order. Taken from its pool by the prober, given back
// by the caller after the job; releasing it gives its streams back too.
class VideoInfo : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(VideoInfo, 1000, L"s_video_VideoInfo")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef str::strarray::StrArray StrArray;

    VideoInfo();
    ~VideoInfo() override;
    VideoInfo(const VideoInfo&) = delete;
    VideoInfo& operator=(const VideoInfo&) = delete;

    // Empties every text and list, zeroes the numbers (size and duration become -1)
    // and gives the streams back to their pool.
    void reset() override;

    uint32_t streamCount() const { return streams_.count(); }
    StreamInfo* stream(uint32_t index) const { return static_cast<StreamInfo*>(streams_.get(index)); }
    // Appends a stream the record owns from now on; when it cannot be stored it is
    // given back to its pool and false is answered.
    bool addStream(StreamInfo* info);
    // Gives every stream back to its pool.
    void clearStreams() { streams_.clear(); }
    // The first stream of the kind (StreamInfo::TYPE_...), or null.
    StreamInfo* firstStreamOfType(int32_t type) const;

    // Set when the file exists and probing was attempted.
    uint8_t probed;
    // Last element of the path, and the path exactly as handed to the prober.
    StrBuffer fileName;
    StrBuffer fullPath;
    // Set once FFmpeg's stream analysis succeeded.
    uint8_t streamInfoFound;
    StrBuffer formatName;
    StrBuffer formatLongName;
    // Size of the first video stream.
    int32_t width;
    int32_t height;
    uint8_t hasVideo;
    uint8_t hasAudio;
    // Microseconds; duration is negative when not known.
    int64_t startTime;
    int64_t duration;
    // Bytes; -1 when unknown.
    int64_t fileSize;
    // Bits per second.
    int64_t bitRate;
    // Container tags: parallel lists, same index.
    StrArray tagKeys;
    StrArray tagValues;

private:
    col::_array::ArrayP streams_;
};

} // namespace s::video
