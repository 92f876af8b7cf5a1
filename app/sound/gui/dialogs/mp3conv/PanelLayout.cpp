#include "app/sound/gui/dialogs/mp3conv/PanelLayout.h"

#include "engine/sound/ffmpeg/Setting.h"

namespace s::sound::gui::dialogs::mp3conv {

typedef PanelLayout::Row Row;

namespace {

constexpr Row Q = {&OptionRows::quality, OptionRows::QUALITY, 0, 0, nullptr, 0};
constexpr Row Q_AMR = {&OptionRows::qualityAmr, OptionRows::QUALITY, 0, 0, nullptr, 0};
constexpr Row SR_PCM = {&OptionRows::sampleRatePcm, OptionRows::SAMPLE_RATE, 0, 0, nullptr, 0};
constexpr Row SR_AAC = {&OptionRows::sampleRateAac, OptionRows::SAMPLE_RATE, 0, 0, nullptr, 0};
constexpr Row SR_COMMON = {&OptionRows::sampleRateCommon, OptionRows::SAMPLE_RATE, 0, 0, nullptr, 0};
constexpr Row SR_FLAC = {&OptionRows::sampleRateFlac, OptionRows::SAMPLE_RATE, 0, 0, nullptr, 0};
constexpr Row SR_MP2 = {&OptionRows::sampleRateMp2, OptionRows::SAMPLE_RATE, 0, 0, nullptr, 0};
constexpr Row SR_WMA = {&OptionRows::sampleRateWma, OptionRows::SAMPLE_RATE, 0, 0, nullptr, 0};
constexpr Row SR_YAMAHA = {&OptionRows::sampleRateYamaha, OptionRows::SAMPLE_RATE, 0, 0, nullptr, 0};
constexpr Row SR_AC3 = {&OptionRows::sampleRateAc3, OptionRows::SAMPLE_RATE, 0, 0, nullptr, 0};
constexpr Row CH_SURROUND = {&OptionRows::channelsSurround, OptionRows::CHANNELS, 0, 0, nullptr, 0};
constexpr Row CH_STEREO = {&OptionRows::channelsStereo, OptionRows::CHANNELS, 0, 0, nullptr, 0};
constexpr Row CH_RAW = {&OptionRows::channelsRaw, OptionRows::CHANNELS, 0, 0, nullptr, 0};
constexpr Row BITS_BE = {&OptionRows::bitsPerSampleBe, OptionRows::BITS_PER_SAMPLE, 0, 0, nullptr, 0};
constexpr Row BITS_PCM_BE = {&OptionRows::bitsPerSamplePcmBe, OptionRows::BITS_PER_SAMPLE, 0, 0, nullptr, 0};
constexpr Row BITS_WAV = {&OptionRows::bitsPerSampleWav, OptionRows::BITS_PER_SAMPLE, 0, 0, nullptr, 0};
constexpr Row BITS_PCM_LE = {&OptionRows::bitsPerSamplePcmLe, OptionRows::BITS_PER_SAMPLE, 0, 0, nullptr, 0};
// The boxes of formats that allow one value only.
constexpr Row AT_8000 = {nullptr, OptionRows::SAMPLE_RATE, 1300000, 0, L"8,000 Hz", 8000};
constexpr Row AT_44100 = {nullptr, OptionRows::SAMPLE_RATE, 1300000, 1301000, nullptr, 44100};
constexpr Row MONO = {nullptr, OptionRows::CHANNELS, 1400000, 1401000, nullptr, 1};
constexpr Row STEREO = {nullptr, OptionRows::CHANNELS, 1400000, 1402000, nullptr, 2};
constexpr Row BITS_16 = {nullptr, OptionRows::BITS_PER_SAMPLE, 1500000, 1502000, nullptr, 16};
constexpr Row GSM_RATE = {nullptr, OptionRows::QUALITY, 1200001, 0, L"13 kbps", 13000};

constexpr PanelLayout PANELS[] = {
    {1, L"3gp_Aac", L"AAC", {Q, SR_AAC, CH_SURROUND}, 3},
    {2, L"3gp_Amr", L"AMR", {Q_AMR, AT_8000, MONO}, 3},
    {3, L"3g2_Aac", L"AAC", {Q, SR_AAC, CH_SURROUND}, 3},
    {4, L"3g2_Amr", L"AMR", {Q_AMR, AT_8000, MONO}, 3},
    {5, L"Aac", L"AAC", {Q, SR_AAC, CH_SURROUND}, 3},
    {6, L"Ac3", L"AC3", {Q, SR_AC3, CH_SURROUND}, 3},
    {7, L"Aiff", L"PCM", {SR_PCM, CH_SURROUND, BITS_BE}, 3},
    {8, L"Amr", L"AMR", {Q_AMR, AT_8000, MONO}, 3},
    {9, L"Au", L"PCM", {SR_PCM, CH_SURROUND, BITS_BE}, 3},
    {10, L"Au_Alaw", L"PCM a-LAW", {SR_COMMON, CH_SURROUND}, 2},
    {11, L"Au_Mulaw", L"PCM u-LAW", {SR_COMMON, CH_SURROUND}, 2},
    {12, L"Flac", L"FLAC", {SR_FLAC, CH_SURROUND}, 2},
    {13, L"M4a_Aac", L"AAC", {Q, SR_AAC, CH_SURROUND}, 3},
    {14, L"M4a_Alac", L"ALAC", {SR_AAC, CH_SURROUND}, 2},
    {15, L"Mmf", L"ADPCM YAMAHA", {SR_YAMAHA, CH_STEREO}, 2},
    {16, L"Mov_Aac", L"AAC", {Q, SR_AAC, CH_SURROUND}, 3},
    {17, L"Mp2", L"MP2", {Q, SR_MP2, CH_STEREO}, 3},
    {18, L"Mp3", L"MP3", {Q, SR_COMMON, CH_STEREO}, 3},
    {19, L"Mp4_Aac", L"AAC", {Q, SR_AAC, CH_SURROUND}, 3},
    {20, L"Ogg_Flac", L"FLAC", {SR_FLAC, CH_SURROUND}, 2},
    {21, L"Ogg_Vorbis", L"VORBIS", {Q, SR_COMMON, CH_STEREO}, 3},
    {22, L"Pcm_Le", L"PCM LE", {SR_PCM, CH_RAW, BITS_PCM_LE}, 3},
    {23, L"Pcm_Be", L"PCM BE", {SR_PCM, CH_RAW, BITS_PCM_BE}, 3},
    {24, L"Pcm_Alaw", L"PCM a-LAW", {SR_PCM, CH_RAW}, 2},
    {25, L"Pcm_Mulaw", L"PCM u-LAW", {SR_PCM, CH_RAW}, 2},
    {26, L"Ra_Ac3", L"AC3", {Q, SR_AC3, CH_SURROUND}, 3},
    {27, L"Rm_Ac3", L"AC3", {Q, SR_AC3, CH_SURROUND}, 3},
    {28, L"Wav", L"PCM", {SR_PCM, CH_SURROUND, BITS_WAV}, 3},
    {29, L"Wav_AudioCd", L"PCM", {AT_44100, STEREO, BITS_16}, 3},
    {30, L"Wav_Gsm", L"GSM", {GSM_RATE, AT_8000, MONO}, 3},
    {31, L"Wav_Ima", L"ADPCM IMA", {SR_COMMON, CH_STEREO}, 2},
    {32, L"Wav_Ms", L"ADPCM MICROSOFT", {SR_COMMON, CH_STEREO}, 2},
    {33, L"Wav_Yamaha", L"ADPCM YAMAHA", {SR_YAMAHA, CH_STEREO}, 2},
    {34, L"Wma", L"WMAV2", {Q, SR_WMA, CH_STEREO}, 3},
};

} // namespace

const PanelLayout* PanelLayout::forFormat(int32_t formatId) {
    if (formatId < 1 || formatId > static_cast<int32_t>(sizeof(PANELS) / sizeof(PANELS[0]))) {
        return nullptr;
    }
    return &PANELS[formatId - 1];
}

void PanelLayout::applyValue(Setting* record, OptionRows::Kind kind, int32_t value) {
    switch (kind) {
    case OptionRows::QUALITY:
        // Bit rates are in bits per second, levels 1 to 9 or 100.
        (value >= 1000 ? record->bitRate : record->quality) = value;
        break;
    case OptionRows::SAMPLE_RATE: record->sampleRate = value; break;
    case OptionRows::CHANNELS: record->channels = value; break;
    case OptionRows::BITS_PER_SAMPLE: record->bitsPerSample = value; break;
    case OptionRows::VOLUME: record->volume = value; break;
    default: break;
    }
}

} // namespace s::sound::gui::dialogs::mp3conv
