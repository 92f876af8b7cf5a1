#pragma once
#include <cstdint>

namespace s::sound::ffmpeg {

// The video presets of the job record's output id: each id's codec (or FFmpeg disc
// target), extension, container, encoder flags and file-name tag, the four
// same-as-source ids and the audio tags of video file names. Pure functions over
// constant tables; the texts are constants in the tables' own spelling.
//
//   int32_t id = 268435365, format = 0; uint8_t twoPass = 1;
//   const wchar_t* ext = VideoPresets::videoOutputExtension(id, L".mkv", L"matroska,webm", format, twoPass);
//   // ext ".mkv", id 10026 (libx264), format 5 (AAC)
class VideoPresets {
public:
    // The four ids that ask for a file like the source, by family.
    static constexpr int32_t SAME_AS_SOURCE_X265 = 268435325;
    static constexpr int32_t SAME_AS_SOURCE_X264 = 268435365;
    static constexpr int32_t SAME_AS_SOURCE_XVID = 268435405;
    static constexpr int32_t SAME_AS_SOURCE_MPEG4 = 268435445;

    // TV system of a disc target: chosen from the source's frame rate, or fixed.
    enum TvSystem { TV_AUTO, TV_PREFER_NTSC, TV_PREFER_PAL, TV_NTSC, TV_PAL };
    // Screen shape a DVD or SVCD is padded to: by the source, 4:3, 16:9.
    enum AspectKind { ASPECT_AUTO = 0, ASPECT_4_3 = 1, ASPECT_16_9 = 2 };

    struct Flags {
        bool shortGop;
        bool extraEffort;
        bool divx5Tag;
        bool flvSwf;
        // Frame rates above 30 fps become 29.97 (the AVI sharing presets).
        bool frameRateCap;
        TvSystem tvSystem;
        AspectKind aspectKind;
    };

    // The codec or disc-target name ("mpeg4", "libx264", "dvd", "vcd", ...), or null
    // for an id outside the table.
    static const wchar_t* codecForPreset(int32_t id);
    // The preset's flags; all clear for an id outside the table.
    static Flags presetFlags(int32_t id);
    // Whether the codec is an FFmpeg disc target ("dvd", "vcd", "svcd", "dv", "dv50").
    static bool isDiscTarget(const wchar_t* codec);
    // The output extension of a preset (".avi" outside the table). A same-as-source
    // id is first replaced by a concrete preset chosen by the input's extension and
    // probed container name (either may be null), together with the audio format id
    // and, in one case, a cleared two-pass byte.
    static const wchar_t* videoOutputExtension(int32_t& id, const wchar_t* inputExtension,
                                               const wchar_t* containerName, int32_t& audioFormatId,
                                               uint8_t& twoPass);
    // The muxer a preset fixes whatever its extension ("mpegts", "mp4", "psp", ...),
    // or null.
    static const wchar_t* fixedContainer(int32_t id);
    // Whether the preset's encoder only runs through an ffmpeg.exe child.
    static bool needsExternalRoute(const wchar_t* codec);
    // The video tag of an output name (".x264", ".mpeg2", ...); "" for none.
    static const wchar_t* presetNameSuffix(const wchar_t* codec, int32_t id);
    // The audio tag of an output name by audio encoder (".aac", ".pcm-s16le", ...);
    // "" for none.
    static const wchar_t* audioFormatNameSuffix(const wchar_t* encoder);

private:
    VideoPresets() = delete;
};

} // namespace s::sound::ffmpeg
