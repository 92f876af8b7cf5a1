#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::video {

// What the probe learned of one stream of a media file. A plain record: the prober
// fills the fields, the engine reads them. Take one with pool(), give it back with
// release(); a VideoInfo owns the streams it holds.
class StreamInfo : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(StreamInfo, 1000, L"s_video_StreamInfo")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef str::strarray::StrArray StrArray;

    // Stream kinds; the prober stores only 0, 1, 2 and 4.
    enum : int32_t { TYPE_UNKNOWN = 0, TYPE_VIDEO = 1, TYPE_AUDIO = 2, TYPE_DATA = 3, TYPE_SUBTITLE = 4,
                     TYPE_SUBTITLE_TEXT = 5 };
    // Sample layouts of audio streams (packed or planar alike).
    enum : int32_t { SAMPLE_OTHER = 0, SAMPLE_U8 = 1, SAMPLE_S16 = 2, SAMPLE_S32 = 3, SAMPLE_FLT = 4,
                     SAMPLE_DBL = 5 };

    StreamInfo();
    ~StreamInfo() override;
    StreamInfo(const StreamInfo&) = delete;
    StreamInfo& operator=(const StreamInfo&) = delete;

    // Empties every text and list and zeroes every number.
    void reset() override;

    bool isVideo() const { return type == TYPE_VIDEO; }
    bool isAudio() const { return type == TYPE_AUDIO; }

    int32_t type;
    uint8_t decoderOpened;
    // FFmpeg's numeric codec id.
    int32_t codecId;
    // The codec's own short name ("mp3", "aac", "mjpeg"); "Unknown" when there is none.
    StrBuffer codecName;
    StrBuffer codecLongName;
    StrBuffer codecTagText;
    uint32_t codecTag;
    StrBuffer profileName;
    int64_t codecTimeBaseNum;
    int64_t codecTimeBaseDen;
    // In the stream's time-base units, as the container gives them; negative when not given.
    int64_t startTime;
    int64_t duration;
    int64_t realFrameRateNum;
    int64_t realFrameRateDen;
    int64_t avgFrameRateNum;
    int64_t avgFrameRateDen;
    int64_t timeBaseNum;
    int64_t timeBaseDen;
    // Bits per second; 0 or less when not known.
    int64_t bitRate;
    // 0 when not given.
    int64_t frameCount;
    // Tags: parallel lists, same index.
    StrArray tagKeys;
    StrArray tagValues;

    // Video streams.
    int32_t width;
    int32_t height;
    uint8_t hasSampleAspect;
    int32_t sampleAspectNum;
    int32_t sampleAspectDen;
    int32_t displayAspectNum;
    int32_t displayAspectDen;
    uint8_t hasBFrames;
    StrBuffer pixelFormatName;
    int32_t level;
    StrBuffer timecode;

    // Audio streams.
    int32_t sampleRate;
    int32_t channels;
    // 0 for compressed codecs.
    int32_t bitsPerSample;
    int32_t sampleFormat;
    // Lossless streams: the bits each sample holds (a float layout by sampleFormat);
    // 0 for lossy codecs, whose samples hold no depth of their own.
    int32_t losslessBits;
};

} // namespace s::video
