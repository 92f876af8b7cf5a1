#pragma once
#include <cstdint>
#include <vector>

namespace s::sound::gui::dialogs::mp3conv {

// What each video preset's panel holds, top to bottom, and the audio codec its jobs
// carry. The rows name the builders; fixed rows show a value the preset does not let
// the user change, stream rows a codec.
class VideoPresetTable {
public:
    enum Token : int32_t {
        CODEC_MP4, CODEC_DIVX, CODEC_FLV, CODEC_MPG, CODEC_VCD, CODEC_WMV,
        VS_H263, VS_THEORA, AS_AAC, AS_AC3, AS_MP2, AS_MP3, AS_AMR, A_AVI, A_SWF,
        TV, SCR_DVD, SCR_SVCD, Q, Q_H263, Q_THEORA, Q_DVD, Q_SVCD, SZ, SZ_AND,
        FR, FR_H263, AQ, AQ_AMR, SR, SR_FLV, SR_MP2, SR_WMA, CH6, CH2, CH_RAW, VOL,
        CONT, BOOST, TEST,
        SEPARATOR,     // a 1-pixel rule (times the UI scale)
        FIXED,         // caption id, and a text id or a literal
        STREAM_VIDEO,  // literal codec text, or none
        STREAM_AUDIO,
        SHAPE_VCD,     // the VCD's screen-shape note: two texts in one frame
        P2P_SIZE,      // fixed rows whose labels the estimates rewrite
        P2P_AUDIO_RATE,
        // The rows of the size and bit-rate targets.
        FILE_SIZE, RELATIVE_SIZE, BIT_RATE, RELATIVE_BIT_RATE, SIZE_TARGET, SIZE_BY_IMAGE, SIZE_RELATIVE_IMAGE,
        QUALITY_AUTO, CONTAINER, VQ, TEST_TARGET,
    };
    struct Row {
        Token token;
        int32_t captionId;
        int32_t textId;
        const wchar_t* text;
    };
    struct Panel {
        int32_t id;
        const wchar_t* group;
        std::vector<Row> rows;
        // The job's audio format id (5 AAC, 6 AC3, 8 AMR, 17 MP2, 18 MP3, 21 Vorbis,
        // 22 PCM, 34 WMA, 0 the preset's own).
        int32_t audioFormat;
    };

    // The panel of a preset id, or null.
    static const Panel* forPreset(int32_t id);
    // Every preset.
    static const std::vector<Panel>& presets();
    // The panel of a size or bit-rate target id, or null.
    static const Panel* forTarget(int32_t id);

private:
    VideoPresetTable() = delete;
};

} // namespace s::sound::gui::dialogs::mp3conv
