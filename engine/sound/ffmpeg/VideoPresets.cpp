#include "engine/sound/ffmpeg/VideoPresets.h"

#include <cwchar>

namespace s::sound::ffmpeg {

namespace {

// Rows of seven ids take these extensions in turn.
const wchar_t* const SEVEN[7] = {L".3g2", L".3gp", L".avi", L".mov", L".mkv", L".mp4", L".m4v"};

enum : uint8_t {
    SG_ALL = 1,       // short GOP on every id
    SG_FOURTH = 2,    // short GOP on the ".mov" id of a row of seven
    EE_ALL = 4,       // extra effort on every id
    EE_SECOND = 8,    // extra effort on the second id of a pair
    DIVX5 = 16,
    FLV_SWF = 32,
    RATE_CAP = 64,
};

struct Row {
    int32_t first, last;
    const wchar_t* extension;  // null: the row of seven
    const wchar_t* codec;
    uint8_t flags;
};

const Row ROWS[] = {
    {10001, 10007, nullptr, L"mpeg4", SG_FOURTH},
    {10008, 10014, nullptr, L"mpeg4", SG_FOURTH | EE_ALL},
    {10015, 10021, nullptr, L"libx264", SG_FOURTH},
    {10022, 10028, nullptr, L"libx264", SG_FOURTH | EE_ALL},
    {17015, 17021, nullptr, L"libx265", SG_FOURTH},
    {17022, 17028, nullptr, L"libx265", SG_FOURTH | EE_ALL},
    {10031, 10032, L".mpg", L"mpeg2video", EE_SECOND},
    {10033, 10058, L".mpg", L"dvd", SG_ALL},
    {10059, 10059, L".ogg", L"libtheora", 0},
    {10060, 10060, L".ogv", L"libtheora", 0},
    {10061, 10061, L".ts", L"mpeg2video", 0},
    {10062, 10062, L".tp", L"mpeg2video", 0},
    {10063, 10063, L".ts", L"mpeg2video", EE_ALL},
    {10064, 10064, L".tp", L"mpeg2video", EE_ALL},
    {10073, 10073, L".3g2", L"h263", 0},
    {10074, 10074, L".3gp", L"h263", 0},
    {10079, 10088, L".mpg", L"vcd", SG_ALL},
    {10089, 10106, L".mpg", L"svcd", SG_ALL},
    {10107, 10111, L".dv", L"dv", 0},
    {10112, 10116, L".dv", L"dv50", 0},
    {10117, 10117, L".raw", L"rawvideo", 0},
    {10118, 10119, L".avi", L"msmpeg4v2", EE_SECOND},
    {10120, 10121, L".avi", L"mpeg4", DIVX5 | EE_SECOND},
    {10200, 10201, L".wmv", L"wmv1", EE_SECOND},
    {10202, 10203, L".wmv", L"wmv2", EE_SECOND},
    {10210, 10210, L".rm", L"rv10", 0},
    {10301, 10302, L".flv", L"flv", FLV_SWF | SG_ALL | EE_SECOND},
    {10303, 10304, L".flv", L"libx264", FLV_SWF | SG_ALL | EE_SECOND},
    {10305, 10306, L".flv", L"libx265", FLV_SWF | SG_ALL | EE_SECOND},
    {10311, 10312, L".swf", L"flv", FLV_SWF | SG_ALL | EE_SECOND},
    {10313, 10314, L".swf", L"libx264", FLV_SWF | SG_ALL | EE_SECOND},
    {10315, 10316, L".swf", L"libx265", FLV_SWF | SG_ALL | EE_SECOND},
    {10400, 10400, L".webm", L"libvpx", 0},
    {10501, 10507, nullptr, L"libxvid", SG_FOURTH},
    {10551, 10557, nullptr, L"libxvid", SG_FOURTH | EE_ALL},
    {10601, 10602, L".avi", L"mpeg4", RATE_CAP | EE_SECOND},
    {10611, 10612, L".avi", L"libxvid", RATE_CAP | EE_SECOND},
    {10621, 10622, L".avi", L"libx264", RATE_CAP | EE_SECOND},
    {10631, 10632, L".avi", L"libx265", RATE_CAP | EE_SECOND},
    {10701, 10702, L".mp4", L"mpeg4", SG_ALL | EE_SECOND},
    {10711, 10712, L".mp4", L"libxvid", SG_ALL | EE_SECOND},
    {10721, 10722, L".mp4", L"libx264", SG_ALL | EE_SECOND},
    {10731, 10732, L".mp4", L"libx265", SG_ALL | EE_SECOND},
    {10801, 10802, L".mp4", L"mpeg4", SG_ALL | EE_SECOND},
    {10811, 10812, L".mp4", L"libxvid", SG_ALL | EE_SECOND},
    {10821, 10822, L".mp4", L"libx264", SG_ALL | EE_SECOND},
    {10831, 10832, L".mp4", L"libx265", SG_ALL | EE_SECOND},
    {10901, 10902, L".mp4", L"mpeg4", SG_ALL | EE_SECOND},
    {10911, 10912, L".mp4", L"libxvid", SG_ALL | EE_SECOND},
    {10921, 10922, L".mp4", L"libx264", SG_ALL | EE_SECOND},
    {10931, 10932, L".mp4", L"libx265", SG_ALL | EE_SECOND},
};

const Row* rowOf(int32_t id) {
    for (const Row& row : ROWS) {
        if (id >= row.first && id <= row.last) {
            return &row;
        }
    }
    return nullptr;
}

// Disc targets: the ids of each TV system (0 ends a list), the extra-effort ids and
// the screen shapes, as id ranges.
struct TvIds {
    VideoPresets::TvSystem tv;
    int32_t ids[7];
};
struct Range {
    int32_t first, last;
    int32_t value;
};

const TvIds DISC_TV[] = {
    {VideoPresets::TV_PREFER_NTSC, {10034, 10039, 10043, 10047, 10051, 10055, 0}},
    {VideoPresets::TV_PREFER_PAL, {10035, 10040, 10044, 10048, 10052, 10056, 0}},
    {VideoPresets::TV_NTSC, {10036, 10041, 10045, 10049, 10053, 10057, 0}},
    {VideoPresets::TV_PAL, {10037, 10042, 10046, 10050, 10054, 10058, 0}},
    {VideoPresets::TV_PREFER_NTSC, {10080, 10085, 10090, 10095, 10099, 10103, 0}},
    {VideoPresets::TV_PREFER_PAL, {10081, 10086, 10091, 10096, 10100, 10104, 0}},
    {VideoPresets::TV_NTSC, {10082, 10087, 10092, 10097, 10101, 10105, 0}},
    {VideoPresets::TV_PAL, {10083, 10088, 10093, 10098, 10102, 10106, 0}},
    {VideoPresets::TV_PREFER_NTSC, {10108, 10113, 0}},
    {VideoPresets::TV_PREFER_PAL, {10109, 10114, 0}},
    {VideoPresets::TV_NTSC, {10110, 10115, 0}},
    {VideoPresets::TV_PAL, {10111, 10116, 0}},
};

const Range DISC_EXTRA_EFFORT[] = {
    {10038, 10042, 1}, {10047, 10050, 1}, {10055, 10058, 1}, {10084, 10088, 1}, {10095, 10098, 1}, {10103, 10106, 1},
};

const Range DISC_ASPECT[] = {
    {10043, 10050, VideoPresets::ASPECT_16_9}, {10051, 10058, VideoPresets::ASPECT_4_3},
    {10090, 10093, VideoPresets::ASPECT_16_9}, {10095, 10098, VideoPresets::ASPECT_16_9},
    {10099, 10106, VideoPresets::ASPECT_4_3},
};

int32_t rangeValue(const Range* ranges, size_t count, int32_t id) {
    for (size_t i = 0; i < count; ++i) {
        if (id >= ranges[i].first && id <= ranges[i].last) {
            return ranges[i].value;
        }
    }
    return 0;
}

VideoPresets::TvSystem discTv(int32_t id) {
    for (const TvIds& list : DISC_TV) {
        for (const int32_t* at = list.ids; *at != 0; ++at) {
            if (*at == id) {
                return list.tv;
            }
        }
    }
    return VideoPresets::TV_AUTO;
}

struct Fixed {
    int32_t first, last;
    const wchar_t* muxer;
};

const Fixed FIXED_CONTAINERS[] = {
    {10062, 10062, L"mpegts"}, {10064, 10064, L"mpegts"}, {10117, 10117, L"rawvideo"}, {10400, 10400, L"webm"},
    {10631, 10632, L"mp4"},    {17017, 17017, L"mp4"},    {17024, 17024, L"mp4"},      {10801, 10832, L"psp"},
};

// The concrete presets of the same-as-source ids, by the kind of source.
struct SameAsSource {
    const wchar_t* extension;
    const wchar_t* container;  // FFmpeg's demuxer name list
    int32_t ids[4];            // x265, x264, Xvid, MPEG-4 families
    int32_t audioFormat;
};

const SameAsSource SAME_AS_SOURCE[] = {
    {L".avi", L"avi", {17024, 10024, 10553, 10003}, 6},
    {L".flv", L"flv", {17027, 10304, 10304, 10301}, 18},
    {L".mkv", L"MATROSKA,WEBM", {17026, 10026, 10555, 10005}, 5},
    {L".mp4", L"MOV,MP4,M4A,3GP,3G2,MJ2", {17027, 10027, 10556, 10006}, 5},
};

bool equalsIgnoringCase(const wchar_t* a, const wchar_t* b) {
    return a != nullptr && b != nullptr && _wcsicmp(a, b) == 0;
}

struct Tag {
    const wchar_t* name;
    const wchar_t* tag;
};

const Tag VIDEO_TAGS[] = {
    {L"mpeg4", L".mpeg4"},    {L"libx264", L".x264"},  {L"libx265", L".x265"},  {L"mpeg2video", L".mpeg2"},
    {L"dvd", L".mpeg2"},      {L"libtheora", L".theora"}, {L"h263", L".h263"},  {L"vcd", L".mpeg1"},
    {L"svcd", L".mpeg2"},     {L"dv", L".dv"},         {L"dv50", L".dv50"},     {L"rawvideo", L".raw"},
    {L"wmv1", L".wmv7"},      {L"wmv2", L".wmv9"},     {L"rv10", L".rv10"},     {L"flv", L".flv"},
    {L"libvpx", L".vp8"},     {L"libxvid", L".xvid"},
};

const Tag AUDIO_TAGS[] = {
    {L"aac", L".aac"},
    {L"libopencore_amrnb", L".amr"},
    {L"ac3", L".ac3"},
    {L"pcm_alaw", L".pcm-aLaw"},
    {L"pcm_mulaw", L".pcm-uLaw"},
    {L"pcm_s8", L".pcm-s8"},
    {L"pcm_u8", L".pcm-u8"},
    {L"pcm_s16le", L".pcm-s16le"},
    {L"pcm_s16be", L".pcm-s16be"},
    {L"pcm_u16le", L".pcm-u16le"},
    {L"pcm_u16be", L".pcm-u16be"},
    {L"pcm_s24le", L".pcm-s24le"},
    {L"pcm_s24be", L".pcm-s24be"},
    {L"pcm_u24le", L".pcm-u24le"},
    {L"pcm_u24be", L".pcm-u24be"},
    {L"pcm_s32le", L".pcm-s32le"},
    {L"pcm_s32be", L".pcm-s32be"},
    {L"pcm_u32le", L".pcm-u32le"},
    {L"pcm_u32be", L".pcm-u32be"},
    {L"pcm_f32le", L".pcm-f32le"},
    {L"pcm_f32be", L".pcm-f32be"},
    {L"pcm_f64le", L".pcm-f64le"},
    {L"pcm_f64be", L".pcm-f64be"},
    {L"flac", L".flac"},
    {L"alac", L".alac"},
    {L"adpcm_yamaha", L".adpcm-Yamaha"},
    {L"mp2", L".mp2"},
    {L"libmp3lame", L".mp3"},
    {L"libvorbis", L".vorbis"},
    {L"libgsm_ms", L".gsm-ms"},
    {L"adpcm_ima_wav", L".adpcm-ima"},
    {L"adpcm_ms", L".adpcm-ms"},
    {L"wmav2", L".wma2"},
    {L"adpcm_adx", L".adpcm-adx"},
    {L"g722", L".g722"},
    {L"g726", L".g726"},
    {L"libgsm", L".gsm"},
    {L"adpcm_ima_qt", L".adpcm-ima-qt"},
    {L"nellymoser", L".nellymoser"},
    {L"roq_dpcm", L".roq-dpcm"},
    {L"sonic", L".sonic"},
    {L"sonicls", L".sonic-ls"},
    {L"adpcm_swf", L".adpcm-swf"},
};

const wchar_t* tagOf(const Tag* tags, size_t count, const wchar_t* name) {
    if (name == nullptr) {
        return L"";
    }
    for (size_t i = 0; i < count; ++i) {
        if (wcscmp(tags[i].name, name) == 0) {
            return tags[i].tag;
        }
    }
    return L"";
}

} // namespace

const wchar_t* VideoPresets::codecForPreset(int32_t id) {
    const Row* row = rowOf(id);
    return row != nullptr ? row->codec : nullptr;
}

VideoPresets::Flags VideoPresets::presetFlags(int32_t id) {
    Flags flags{false, false, false, false, false, TV_AUTO, ASPECT_AUTO};
    const Row* row = rowOf(id);
    if (row == nullptr) {
        return flags;
    }
    flags.shortGop = (row->flags & SG_ALL) != 0 || ((row->flags & SG_FOURTH) != 0 && id == row->first + 3);
    flags.extraEffort = (row->flags & EE_ALL) != 0 || ((row->flags & EE_SECOND) != 0 && id == row->first + 1);
    flags.divx5Tag = (row->flags & DIVX5) != 0;
    flags.flvSwf = (row->flags & FLV_SWF) != 0;
    flags.frameRateCap = (row->flags & RATE_CAP) != 0;
    if (isDiscTarget(row->codec)) {
        flags.tvSystem = discTv(id);
        flags.extraEffort = rangeValue(DISC_EXTRA_EFFORT, sizeof(DISC_EXTRA_EFFORT) / sizeof(Range), id) != 0;
        flags.aspectKind =
            static_cast<AspectKind>(rangeValue(DISC_ASPECT, sizeof(DISC_ASPECT) / sizeof(Range), id));
    }
    return flags;
}

bool VideoPresets::isDiscTarget(const wchar_t* codec) {
    if (codec == nullptr) {
        return false;
    }
    return wcscmp(codec, L"dvd") == 0 || wcscmp(codec, L"vcd") == 0 || wcscmp(codec, L"svcd") == 0 ||
           wcscmp(codec, L"dv") == 0 || wcscmp(codec, L"dv50") == 0;
}

const wchar_t* VideoPresets::videoOutputExtension(int32_t& id, const wchar_t* inputExtension,
                                                  const wchar_t* containerName, int32_t& audioFormatId,
                                                  uint8_t& twoPass) {
    const int32_t families[4] = {SAME_AS_SOURCE_X265, SAME_AS_SOURCE_X264, SAME_AS_SOURCE_XVID,
                                 SAME_AS_SOURCE_MPEG4};
    for (int family = 0; family < 4; ++family) {
        if (id != families[family]) {
            continue;
        }
        const SameAsSource* chosen = &SAME_AS_SOURCE[0];  // anything else is taken as AVI
        for (const SameAsSource& row : SAME_AS_SOURCE) {
            if (equalsIgnoringCase(inputExtension, row.extension) || equalsIgnoringCase(containerName, row.container)) {
                chosen = &row;
                break;
            }
        }
        id = chosen->ids[family];
        audioFormatId = chosen->audioFormat;
        if (chosen == &SAME_AS_SOURCE[1]) {
            if (family == 0) {
                audioFormatId = 5;  // H.265 goes into MP4 with AAC, never into FLV
            } else if (family == 2) {
                twoPass = 0;
            }
        }
        break;
    }
    const Row* row = rowOf(id);
    if (row == nullptr) {
        return L".avi";
    }
    return row->extension != nullptr ? row->extension : SEVEN[id - row->first];
}

const wchar_t* VideoPresets::fixedContainer(int32_t id) {
    if (rowOf(id) == nullptr) {
        return nullptr;
    }
    for (const Fixed& fixed : FIXED_CONTAINERS) {
        if (id >= fixed.first && id <= fixed.last) {
            return fixed.muxer;
        }
    }
    return nullptr;
}

bool VideoPresets::needsExternalRoute(const wchar_t* codec) {
    return codec != nullptr && (wcscmp(codec, L"libxvid") == 0 || wcscmp(codec, L"libx264") == 0);
}

const wchar_t* VideoPresets::presetNameSuffix(const wchar_t* codec, int32_t id) {
    if (id == 10118 || id == 10119) {
        return L".divx3";
    }
    if (id == 10120 || id == 10121) {
        return L".divx5";
    }
    return tagOf(VIDEO_TAGS, sizeof(VIDEO_TAGS) / sizeof(Tag), codec);
}

const wchar_t* VideoPresets::audioFormatNameSuffix(const wchar_t* encoder) {
    return tagOf(AUDIO_TAGS, sizeof(AUDIO_TAGS) / sizeof(Tag), encoder);
}

} // namespace s::sound::ffmpeg
