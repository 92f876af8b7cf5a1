#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::video { class VideoInfo; }

namespace s::sound::gui::dialogs::mp3conv {

// The job record: what every file of the next batch is converted to. The converter
// dialog resets it and fills it from the chosen format's options on its UI thread
// while no batch runs; the conversion worker then reads it, unchanged and without a
// lock, for every file of the batch.
//
// Some fields carry other names on the video road of the engine:
//   presetPictureSize  is its keep-size flag (set: no resizing);
//   reserved           is its sharpen flag (non-zero: scale and unsharp filter);
//   targetMode         is its audio-share flag (set: an automatic size keeps a share
//                      of the bit rate for the audio);
//   testStart          is its test kind (0 none, 1 from the start, 2 middle, 3 end).
class Setting : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Setting, 1000, L"s_sound_gui_dialogs_mp3conv_Setting")
public:
    // Codes of the fields below.
    static constexpr int32_t VOLUME_UNCHANGED = 100;
    static constexpr int32_t QUALITY_SIMILAR = 100;
    static constexpr int32_t QUALITY_SOURCE_BIT_RATE = 101;
    static constexpr int32_t QUALITY_BEST_LEVEL = 9;
    // Automatic video bit rates: the source's rate up to a curve, or along one.
    static constexpr int32_t VIDEO_QUALITY_AUTO_UP = 104;
    static constexpr int32_t VIDEO_QUALITY_AUTO_CURVE = 105;
    static constexpr int32_t FORMAT_NO_CONFIGURATION = 999;
    static constexpr int64_t TEST_NONE = 0;
    static constexpr int64_t TEST_FROM_START = 1;
    static constexpr int64_t TEST_MIDDLE = 2;
    static constexpr int64_t TEST_END = 3;

    // A record from the pool, reset.
    static Setting* create();

    // A reset record (the dialog keeps one as a member, outside the pool).
    Setting();
    ~Setting() override = default;
    Setting(const Setting&) = delete;
    Setting& operator=(const Setting&) = delete;

    // Every field 0 except volume, which becomes 100.
    void reset() override;

    // Whether the source's first audio stream may be copied unchanged into a file of
    // this extension: the record asks for no change of rate, channels, volume or
    // quality, and the source codec fits the extension.
    bool canCopyAudioStream(const video::VideoInfo* info, const wchar_t* extension) const;
    // Whether the source's first video stream may be copied unchanged into a file of
    // this extension: the record asks for no new size, frame rate or quality, and the
    // source codec fits the extension.
    bool canCopyVideoStream(const video::VideoInfo* info, const wchar_t* extension) const;

    // Takes every field of the other record (a job's own copy, which the video road
    // may rewrite for one file).
    void assign(const Setting& other);

    // Video output id: 0 for every audio job, else the chosen preset's id.
    int32_t outputId;
    // Video bit rate in bits per second; 0 = not chosen.
    int64_t videoBitRate;
    // Video quality level or target-size code (megabytes + 2137483647); 0 = not chosen.
    int32_t videoQuality;
    // Frame-rate code of the chosen entry; 0 = same as the source.
    int32_t frameRate;
    // Output picture size in pixels; 0 = not chosen.
    int32_t width;
    int32_t height;
    // 1 for the two H.263 presets (176 x 144). See the class note.
    uint8_t presetPictureSize;
    // 1 when the picture size is chosen automatically.
    uint8_t autoPictureSize;
    // 1 = two video passes.
    uint8_t twoPass;
    // Always 0 from the dialog. See the class note.
    int32_t reserved;
    // Start-position code of a test encode; 0 = none. See the class note.
    int64_t testStart;
    // Length of a test encode in milliseconds; 0 = the whole file.
    int64_t testLength;
    // Audio format id of the "Convert to:" list (1 to 34), 999 = no configuration, or
    // a video preset's audio codec (5, 6, 8, 18, 21) or 0.
    int32_t formatId;
    // Output sample rate in Hz; 0 = same as the source.
    int32_t sampleRate;
    // Output channel count (1, 2 or 6); 0 = same as the source.
    int32_t channels;
    // Audio bit rate in bits per second; 0 = not chosen.
    int32_t bitRate;
    // Sample layout: 8/16/24/32 signed, 100 + bits unsigned, 1032/1064 float; 0 = same.
    int32_t bitsPerSample;
    // 1 to 9 levels (9 best), 100 similar to the source, 101 the source's bit rate;
    // 0 = not chosen.
    int32_t quality;
    // 1 when the job aims at a size, bit-rate or picture-size target. See the class note.
    uint8_t targetMode;
    // Volume in percent; 100 = unchanged.
    int32_t volume;
};

} // namespace s::sound::gui::dialogs::mp3conv
