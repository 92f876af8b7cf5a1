#include "app/video/VideoPresetTable.h"

namespace s::sound::gui::dialogs::mp3conv {

typedef VideoPresetTable T;
typedef VideoPresetTable::Row Row;

namespace {

constexpr int32_t CAP_QUALITY = 1200001;
constexpr int32_t CAP_RATE = 1300000;
constexpr int32_t CAP_CHANNELS = 1400000;
constexpr int32_t CAP_FRAME_RATE = 1294000;
constexpr int32_t CAP_SIZE = 1295000;
constexpr int32_t CAP_VIDEO_RATE = 1290000;
constexpr int32_t MONO = 1401000;
constexpr int32_t STEREO = 1402000;

constexpr Row r(T::Token token) { return {token, 0, 0, nullptr}; }
constexpr Row fixed(int32_t caption, const wchar_t* text) { return {T::FIXED, caption, 0, text}; }
constexpr Row fixedId(int32_t caption, int32_t textId) { return {T::FIXED, caption, textId, nullptr}; }
constexpr Row video(const wchar_t* codec) { return {T::STREAM_VIDEO, 0, 0, codec}; }
constexpr Row audio(const wchar_t* codec) { return {T::STREAM_AUDIO, 0, 0, codec}; }
constexpr Row SEP = r(T::SEPARATOR);

std::vector<Row> mpeg4Aac() {
    return {r(T::CODEC_MP4), r(T::Q), r(T::SZ), r(T::FR), SEP, r(T::AS_AAC), r(T::AQ), r(T::SR), r(T::CH6),
            r(T::VOL), SEP, r(T::TEST)};
}

std::vector<Row> h263Amr() {
    return {r(T::VS_H263), r(T::Q_H263), fixed(CAP_SIZE, L"176 x 144"), r(T::FR_H263), SEP, r(T::AS_AMR),
            r(T::AQ_AMR), fixed(CAP_RATE, L"8,000 Hz"), fixedId(CAP_CHANNELS, MONO), r(T::VOL), SEP, r(T::TEST)};
}

std::vector<Row> dv() {
    return {video(nullptr), r(T::TV), fixed(CAP_SIZE, L"720 x 480 (NTSC) / 720 x 576 (PAL)"), SEP, audio(nullptr),
            fixed(CAP_RATE, L"48,000 Hz"), r(T::VOL), SEP, r(T::TEST)};
}

std::vector<Row> theora() {
    return {r(T::VS_THEORA), r(T::Q_THEORA), r(T::SZ), r(T::FR), SEP, audio(L"VORBIS"), r(T::AQ), r(T::SR),
            r(T::CH2), r(T::VOL), SEP, r(T::TEST)};
}

std::vector<Row> mpg2Ac3() {
    return {r(T::CODEC_MPG), r(T::Q), r(T::SZ), r(T::FR), SEP, r(T::AS_AC3), r(T::AQ), r(T::SR), r(T::CH6),
            r(T::VOL), SEP, r(T::TEST)};
}

std::vector<T::Panel> makePresets() {
    return {
        {10001, L"VC_3g2_Mpeg4_Aac", mpeg4Aac(), 5},
        {10073, L"VC_3g2_H263_Amr", h263Amr(), 8},
        {10002, L"VC_3gp_Mpeg4_Aac", mpeg4Aac(), 5},
        {10074, L"VC_3gp_H263_Amr", h263Amr(), 8},
        // The channel row follows the audio codec choice (stereo for the default).
        {10003, L"VC_Avi_Mpeg4_Ac3",
         {r(T::CODEC_MP4), r(T::Q), r(T::SZ), r(T::FR), SEP, r(T::A_AVI), r(T::AQ), r(T::SR), r(T::CH6), r(T::VOL),
          SEP, r(T::TEST)},
         6},
        {10118, L"VC_Avi_Divx3_Mp3",
         {r(T::CODEC_DIVX), r(T::Q), r(T::SZ), r(T::FR), SEP, r(T::AS_MP3), r(T::AQ), r(T::SR), r(T::CH2), r(T::VOL),
          SEP, r(T::TEST)},
         18},
        {10601, L"VC_Avi_Mpeg4_Mp3_P2PShare",
         {r(T::CODEC_MP4), r(T::CONT), r(T::BOOST), {T::P2P_SIZE, CAP_SIZE, 0, L"624 x 352"},
          fixed(CAP_FRAME_RATE, L"Same  (Up to 29.97 fps)"), SEP, r(T::AS_MP3),
          {T::P2P_AUDIO_RATE, CAP_QUALITY, 0, L"128 kbps"}, fixed(CAP_RATE, L"48,000 Hz"),
          fixedId(CAP_CHANNELS, STEREO), r(T::VOL), SEP, r(T::TEST)},
         18},
        {10107, L"VC_Dv_Dv", dv(), 0},
        {10112, L"VC_Dv_Dv50", dv(), 0},
        {10301, L"VC_Flv_Flv_Mp3",
         {r(T::CODEC_FLV), r(T::Q), r(T::SZ), r(T::FR), SEP, r(T::AS_MP3), r(T::AQ), r(T::SR_FLV), r(T::CH2),
          r(T::VOL), SEP, r(T::TEST)},
         18},
        {10007, L"VC_M4v_Mpeg4_Aac", mpeg4Aac(), 5},
        {10005, L"VC_Mkv_Mpeg4_Aac", mpeg4Aac(), 5},
        {10004, L"VC_Mov_Mpeg4_Aac", mpeg4Aac(), 5},
        {10006, L"VC_Mp4_Mpeg4_Aac", mpeg4Aac(), 5},
        {10901, L"VC_Mp4_Mpeg4_Aac_Android",
         {r(T::CODEC_MP4), r(T::Q), r(T::SZ_AND), r(T::FR), SEP, r(T::AS_AAC), r(T::AQ), r(T::SR),
          fixedId(CAP_CHANNELS, STEREO), r(T::VOL), SEP, r(T::TEST)},
         5},
        {10701, L"VC_Mp4_Mpeg4_Aac_Ipod",
         {r(T::CODEC_MP4), r(T::Q), fixed(CAP_SIZE, L"320 x 240"), r(T::FR), SEP, r(T::AS_AAC), r(T::AQ), r(T::SR),
          fixedId(CAP_CHANNELS, STEREO), r(T::VOL), SEP, r(T::TEST)},
         5},
        {10801, L"VC_Mp4_Mpeg4_Aac_Psp",
         {r(T::CODEC_MP4), r(T::Q), fixed(CAP_SIZE, L"368 x 192"), fixed(CAP_FRAME_RATE, L"29.97 fps"), SEP,
          r(T::AS_AAC), r(T::AQ), fixed(CAP_RATE, L"24,000 Hz"), fixedId(CAP_CHANNELS, STEREO), r(T::VOL), SEP,
          r(T::TEST)},
         5},
        {10031, L"VC_Mpg_Mpg_Mp2",
         {r(T::CODEC_MPG), r(T::Q), r(T::SZ), r(T::FR), SEP, r(T::AS_MP2), r(T::AQ), r(T::SR_MP2), r(T::CH2),
          r(T::VOL), SEP, r(T::TEST)},
         17},
        {10033, L"VC_Mpg_Mpg_Ac3_Dvd",
         {r(T::CODEC_MPG), r(T::TV), r(T::SCR_DVD), r(T::Q_DVD), SEP, r(T::AS_AC3), fixed(CAP_QUALITY, L"448 kbps"),
          fixed(CAP_RATE, L"48,000 Hz"), r(T::VOL), SEP, r(T::TEST)},
         0},
        {10089, L"VC_Mpg_Mpg_Mp2_Svcd",
         {r(T::CODEC_MPG), r(T::TV), r(T::SCR_SVCD), r(T::Q_SVCD), SEP, r(T::AS_MP2),
          fixed(CAP_QUALITY, L"224 kbps"), fixed(CAP_RATE, L"44,100 Hz"), r(T::VOL), SEP, r(T::TEST)},
         0},
        {10079, L"VC_Mpg_Mpg_Mp2_Vcd",
         {r(T::CODEC_VCD), r(T::TV), r(T::SHAPE_VCD), fixed(CAP_VIDEO_RATE, L"1,150 kbps"), SEP, r(T::AS_MP2),
          fixed(CAP_QUALITY, L"224 kbps"), fixed(CAP_RATE, L"44,100 Hz"), r(T::VOL), SEP, r(T::TEST)},
         0},
        {10059, L"VC_Ogg_Theora_Vorbis", theora(), 21},
        {10060, L"VC_Ogv_Theora_Vorbis", theora(), 21},
        {10117, L"VC_Raw",
         {video(L"RAW VIDEO"), r(T::SZ), r(T::FR), SEP, audio(L"PCM LE S16"), r(T::SR), r(T::CH_RAW), r(T::VOL), SEP,
          r(T::TEST)},
         22},
        {10210, L"VC_Rm_Rv10_Ac3",
         {video(L"RV10"), r(T::Q), r(T::SZ), r(T::FR), SEP, r(T::AS_AC3), r(T::AQ), r(T::SR), r(T::CH6), r(T::VOL),
          SEP, r(T::TEST)},
         6},
        {10311, L"VC_Swf_Flv_Mp3",
         {video(L"FLV"), r(T::Q), r(T::SZ), r(T::FR), SEP, r(T::A_SWF), r(T::AQ), r(T::SR_FLV), r(T::CH2), r(T::VOL),
          SEP, r(T::TEST)},
         18},
        {10062, L"VC_Tp_Mpg2_Ac3", mpg2Ac3(), 6},
        {10061, L"VC_Ts_Mpg2_Ac3", mpg2Ac3(), 6},
        {10200, L"VC_Wmv_Wmv1_Wma",
         {r(T::CODEC_WMV), r(T::Q), r(T::SZ), r(T::FR), SEP, audio(L"WMAV2"), r(T::AQ), r(T::SR_WMA), r(T::CH2),
          r(T::VOL), SEP, r(T::TEST)},
         34},
        {10400, L"VC_Webm_Vp8_Vorbis",
         {video(L"VP8"), r(T::Q), r(T::SZ), r(T::FR), SEP, audio(L"VORBIS"), r(T::AQ), r(T::SR), r(T::CH2), r(T::VOL),
          SEP, r(T::TEST)},
         21},
    };
}

// Audio format 18: a target's sound is MP3.
std::vector<T::Panel> makeTargets() {
    return {
        {536870911, L"ByFileSize",
         {r(T::FILE_SIZE), r(T::SIZE_TARGET), r(T::CONTAINER), r(T::VQ), r(T::TEST_TARGET)}, 18},
        {536870910, L"ByFileSizeRelative",
         {r(T::RELATIVE_SIZE), r(T::SIZE_TARGET), r(T::CONTAINER), r(T::VQ), r(T::TEST_TARGET)}, 18},
        {536870909, L"ByBitRate", {r(T::BIT_RATE), r(T::SIZE_TARGET), r(T::CONTAINER), r(T::VQ), r(T::TEST_TARGET)}, 18},
        {536870908, L"ByBitRateRelative",
         {r(T::RELATIVE_BIT_RATE), r(T::SIZE_TARGET), r(T::CONTAINER), r(T::VQ), r(T::TEST_TARGET)}, 18},
        {536870907, L"ByImageSize",
         {r(T::SIZE_BY_IMAGE), r(T::QUALITY_AUTO), r(T::CONTAINER), r(T::VQ), r(T::TEST_TARGET)}, 18},
        {536870906, L"ByImageSizeRelative",
         {r(T::SIZE_RELATIVE_IMAGE), r(T::QUALITY_AUTO), r(T::CONTAINER), r(T::VQ), r(T::TEST_TARGET)}, 18},
    };
}

} // namespace

const T::Panel* VideoPresetTable::forTarget(int32_t id) {
    static const std::vector<Panel> table = makeTargets();
    for (const Panel& p : table) {
        if (p.id == id) {
            return &p;
        }
    }
    return nullptr;
}

const std::vector<T::Panel>& VideoPresetTable::presets() {
    static const std::vector<Panel> table = makePresets();
    return table;
}

const T::Panel* VideoPresetTable::forPreset(int32_t id) {
    for (const Panel& p : presets()) {
        if (p.id == id) {
            return &p;
        }
    }
    return nullptr;
}

} // namespace s::sound::gui::dialogs::mp3conv
