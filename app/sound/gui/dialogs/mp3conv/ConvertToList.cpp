#include "app/sound/gui/dialogs/mp3conv/ConvertToList.h"

#include "widgets/gui/combobox/ComboBoxItem.h"

namespace s::sound::gui::dialogs::mp3conv {

typedef ConvertToList::Entry Entry;

namespace {

constexpr int32_t BOLD = s::gui::combobox::ComboBoxItem::BOLD;
constexpr int32_t HEADER = s::gui::combobox::ComboBoxItem::HEADER;
constexpr int32_t RULE = s::gui::combobox::ComboBoxItem::LIGHT_SEPARATOR;

// The audio formats in the order of the first mode's list (rows 1 to 36).
constexpr Entry AUDIO[] = {
    {1190000, nullptr, 0, nullptr, HEADER},
    {0, L".3G2", 3, L"3g2_Aac", 0},
    {1192010, nullptr, 4, L"3g2_Amr", 0},
    {0, L".3GP", 1, L"3gp_Aac", 0},
    {1192020, nullptr, 2, L"3gp_Amr", 0},
    {0, L".AAC", 5, L"Aac", 0},
    {0, L".AC3", 6, L"Ac3", 0},
    {1192070, nullptr, 7, L"Aiff", 0},
    {0, L".AMR", 8, L"Amr", 0},
    {1192072, nullptr, 9, L"Au", 0},
    {0, L".AU  (a-Law)", 10, L"Au_Alaw", 0},
    {0, L".AU  (u-Law)", 11, L"Au_Mulaw", 0},
    {1192074, nullptr, 12, L"Flac", 0},
    {0, L".M4A", 13, L"M4a_Aac", 0},
    {1192076, nullptr, 14, L"M4a_Alac", 0},
    {0, L".MMF", 15, L"Mmf", 0},
    {0, L".MOV", 16, L"Mov_Aac", 0},
    {0, L".MP2", 17, L"Mp2", 0},
    {0, L".MP3", 18, L"Mp3", BOLD},
    {0, L".MP4", 19, L"Mp4_Aac", 0},
    {0, L".OGG", 21, L"Ogg_Vorbis", BOLD},
    {1192078, nullptr, 20, L"Ogg_Flac", 0},
    {0, L".RA", 26, L"Ra_Ac3", 0},
    {0, L".RM", 27, L"Rm_Ac3", 0},
    {1192080, nullptr, 28, L"Wav", BOLD},
    {1192050, nullptr, 29, L"Wav_AudioCd", 0},
    {0, L".WAV  (ADPCM IMA)", 31, L"Wav_Ima", 0},
    {0, L".WAV  (ADPCM Microsoft)", 32, L"Wav_Ms", 0},
    {0, L".WAV  (ADPCM Yamaha)", 33, L"Wav_Yamaha", 0},
    {0, L".WAV  (GSM)", 30, L"Wav_Gsm", 0},
    {0, L".WMA", 34, L"Wma", BOLD},
    {1190001, nullptr, 0, nullptr, HEADER},
    {0, L".RAW  (Little-Endian)", 22, L"Pcm_Le", 0},
    {0, L".RAW  (Big-Endian)", 23, L"Pcm_Be", 0},
    {0, L".RAW  (a-Law)", 24, L"Pcm_Alaw", 0},
    {0, L".RAW  (u-Law)", 25, L"Pcm_Mulaw", 0},
};
constexpr int32_t AUDIO_COUNT = sizeof(AUDIO) / sizeof(AUDIO[0]);

constexpr Entry SAME_FORMAT_HEADER = {1180000, nullptr, 0, nullptr, HEADER};
constexpr Entry SAME_FORMAT = {1180001, nullptr, ConvertToList::NO_CONFIGURATION, nullptr, 0};
constexpr Entry SEPARATOR = {0, L"-", 0, nullptr, RULE};

constexpr Entry VIDEO_PRESETS[] = {
    {0, L".3G2 ", 10001, nullptr, 0},      {1192030, nullptr, 10073, nullptr, 0},
    {0, L".3GP ", 10002, nullptr, 0},      {1192040, nullptr, 10074, nullptr, 0},
    {0, L".AVI", 10003, nullptr, BOLD},    {1192105, nullptr, 10118, nullptr, 0},
    {1192110, nullptr, 10601, nullptr, BOLD}, {0, L".DV", 10107, nullptr, 0},
    {0, L".DV     [DV50]", 10112, nullptr, 0}, {0, L".FLV", 10301, nullptr, BOLD},
    {0, L".M4V", 10007, nullptr, 0},       {0, L".MKV", 10005, nullptr, BOLD},
    {0, L".MOV ", 10004, nullptr, 0},      {0, L".MP4 ", 10006, nullptr, BOLD},
    {0, L".MP4    [Android]", 10901, nullptr, 0}, {1192150, nullptr, 10701, nullptr, BOLD},
    {0, L".MP4    [PSP]", 10801, nullptr, 0}, {0, L".MPG", 10031, nullptr, 0},
    {1192210, nullptr, 10033, nullptr, BOLD}, {1192211, nullptr, 10089, nullptr, 0},
    {1192212, nullptr, 10079, nullptr, 0}, {0, L".OGG ", 10059, nullptr, 0},
    {0, L".OGV", 10060, nullptr, 0},       {1192300, nullptr, 10117, nullptr, 0},
    {0, L".RM", 10210, nullptr, 0},        {0, L".SWF", 10311, nullptr, 0},
    {0, L".TP", 10062, nullptr, 0},        {0, L".TS", 10061, nullptr, 0},
    {0, L".WEBM ", 10400, nullptr, 0},     {0, L".WMV", 10200, nullptr, BOLD},
};

constexpr Entry TARGETS[] = {
    {1192010, nullptr, 536870911, L"ByFileSize", 0},
    {1192013, nullptr, 536870910, L"ByFileSizeRelative", 0},
    {1192030, nullptr, 536870907, L"ByImageSize", 0},
    {1192033, nullptr, 536870906, L"ByImageSizeRelative", 0},
    {1192020, nullptr, 536870909, L"ByBitRate", 0},
    {1192023, nullptr, 536870908, L"ByBitRateRelative", 0},
};

constexpr Entry RESOLUTIONS[] = {
    {1192000, nullptr, 0, nullptr, HEADER},
    {0, L"1080p", 536870805, nullptr, 0},
    {1192020, nullptr, 536870806, nullptr, 0},
    {0, L"480p [HQ]", 536870807, nullptr, 0},
    {0, L"360p [MQ]", 536870808, nullptr, 0},
    {1192050, nullptr, 536870809, nullptr, 0},
    {0, L"226p [LQ]", 536870810, nullptr, 0},
    {1192070, nullptr, 536870811, nullptr, 0},
};

template <size_t N>
void append(std::vector<Entry>* list, const Entry (&rows)[N]) {
    list->insert(list->end(), rows, rows + N);
}

} // namespace

std::vector<Entry> ConvertToList::entries(int32_t mode) {
    std::vector<Entry> list;
    switch (mode) {
    case 1:
        append(&list, AUDIO);
        break;
    case 2:
        list.push_back({1190002, nullptr, 0, nullptr, HEADER});
        append(&list, VIDEO_PRESETS);
        list.insert(list.end(), {SEPARATOR, SAME_FORMAT_HEADER, SAME_FORMAT, SEPARATOR});
        list.push_back({1190003, nullptr, 0, nullptr, HEADER});
        // The audio formats without either header, the raw ones between ".RA" and ".RM".
        list.insert(list.end(), AUDIO + 1, AUDIO + 23);
        list.insert(list.end(), AUDIO + 32, AUDIO + AUDIO_COUNT);
        list.insert(list.end(), AUDIO + 23, AUDIO + 31);
        break;
    case 3:
        append(&list, TARGETS);
        break;
    case 4:
        list.insert(list.end(), {SAME_FORMAT_HEADER, SAME_FORMAT, SEPARATOR});
        append(&list, AUDIO);
        break;
    case 6:
        append(&list, RESOLUTIONS);
        break;
    default:
        break;
    }
    return list;
}

int32_t ConvertToList::defaultFormatId(int32_t mode) {
    switch (mode) {
    case 1:
    case 4: return 18;
    case 2: return 10003;
    case 3: return 536870911;
    case 6: return 536870806;
    default: return 0;
    }
}

int32_t ConvertToList::defaultIndex(int32_t mode) {
    const int32_t id = defaultFormatId(mode);
    const std::vector<Entry> list = entries(mode);
    for (size_t i = 0; id != 0 && i < list.size(); ++i) {
        if (list[i].formatId == id) {
            return static_cast<int32_t>(i);
        }
    }
    return 0;
}

const wchar_t* ConvertToList::audioGroup(int32_t formatId) {
    for (const Entry& e : AUDIO) {
        if (formatId != 0 && e.formatId == formatId) {
            return e.group;
        }
    }
    return nullptr;
}

} // namespace s::sound::gui::dialogs::mp3conv
