#include "engine/sound/ffmpeg/Setting.h"

#include <cwchar>

#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/video/VideoInfo.h"

namespace s::sound::gui::dialogs::mp3conv {

Setting* Setting::create() {
    Setting* setting = pool();
    if (setting != nullptr) {
        setting->reset();
    }
    return setting;
}

Setting::Setting() {
    reset();
}

void Setting::reset() {
    outputId = 0;
    videoBitRate = 0;
    videoQuality = 0;
    frameRate = 0;
    width = 0;
    height = 0;
    presetPictureSize = 0;
    autoPictureSize = 0;
    twoPass = 0;
    reserved = 0;
    testStart = 0;
    testLength = 0;
    formatId = 0;
    sampleRate = 0;
    channels = 0;
    bitRate = 0;
    bitsPerSample = 0;
    quality = 0;
    targetMode = 0;
    volume = VOLUME_UNCHANGED;
}

bool Setting::canCopyAudioStream(const video::VideoInfo* info, const wchar_t* extension) const {
    if (info == nullptr || !info->hasAudio) {
        return false;
    }
    const video::StreamInfo* audio = info->firstStreamOfType(video::StreamInfo::TYPE_AUDIO);
    if (audio == nullptr) {
        return false;
    }
    // A chosen level below the best, or a chosen bit rate (quality 0), re-encodes.
    const bool qualityChange = quality >= 0 && quality != QUALITY_BEST_LEVEL && quality != QUALITY_SIMILAR &&
                               quality != QUALITY_SOURCE_BIT_RATE;
    if (sampleRate >= 1 || channels >= 1 || volume != VOLUME_UNCHANGED || qualityChange) {
        return false;
    }
    return ffmpeg::FormatTable::codecFitsExtension(audio->codecName.c_str(), extension);
}

bool Setting::canCopyVideoStream(const video::VideoInfo* info, const wchar_t* extension) const {
    if (info == nullptr || !info->hasVideo || extension == nullptr) {
        return false;
    }
    const video::StreamInfo* picture = info->firstStreamOfType(video::StreamInfo::TYPE_VIDEO);
    if (picture == nullptr) {
        return false;
    }
    const bool qualityChange = videoQuality >= 0 && videoQuality != QUALITY_BEST_LEVEL &&
                               videoQuality != QUALITY_SOURCE_BIT_RATE && videoQuality != VIDEO_QUALITY_AUTO_UP &&
                               videoQuality != VIDEO_QUALITY_AUTO_CURVE;
    if ((width >= 1 && height >= 1) || frameRate > 0 || qualityChange) {
        return false;
    }
    return ffmpeg::FormatTable::videoCodecFitsExtension(picture->codecName.c_str(), extension);
}

void Setting::assign(const Setting& other) {
    outputId = other.outputId;
    videoBitRate = other.videoBitRate;
    videoQuality = other.videoQuality;
    frameRate = other.frameRate;
    width = other.width;
    height = other.height;
    presetPictureSize = other.presetPictureSize;
    autoPictureSize = other.autoPictureSize;
    twoPass = other.twoPass;
    reserved = other.reserved;
    testStart = other.testStart;
    testLength = other.testLength;
    formatId = other.formatId;
    sampleRate = other.sampleRate;
    channels = other.channels;
    bitRate = other.bitRate;
    bitsPerSample = other.bitsPerSample;
    quality = other.quality;
    targetMode = other.targetMode;
    volume = other.volume;
}

} // namespace s::sound::gui::dialogs::mp3conv
