#include "engine/video/StreamInfo.h"

namespace s::video {

StreamInfo::StreamInfo() {
    reset();
}

StreamInfo::~StreamInfo() = default;

void StreamInfo::reset() {
    type = TYPE_UNKNOWN;
    decoderOpened = 0;
    codecId = 0;
    codecName.freeStorage();
    codecLongName.freeStorage();
    codecTagText.freeStorage();
    codecTag = 0;
    profileName.freeStorage();
    codecTimeBaseNum = codecTimeBaseDen = 0;
    startTime = duration = 0;
    realFrameRateNum = realFrameRateDen = 0;
    avgFrameRateNum = avgFrameRateDen = 0;
    timeBaseNum = timeBaseDen = 0;
    bitRate = 0;
    frameCount = 0;
    tagKeys.reset();
    tagValues.reset();
    width = height = 0;
    hasSampleAspect = 0;
    sampleAspectNum = sampleAspectDen = 0;
    displayAspectNum = displayAspectDen = 0;
    hasBFrames = 0;
    pixelFormatName.freeStorage();
    level = 0;
    timecode.freeStorage();
    sampleRate = channels = bitsPerSample = 0;
    sampleFormat = SAMPLE_OTHER;
    losslessBits = 0;
}

} // namespace s::video
