#include "engine/sound/ffmpeg/FormatTable.h"

#include <cwchar>

#include "engine/video/StreamInfo.h"

namespace s::sound::ffmpeg {

namespace {

struct FormatRow {
    const wchar_t* extension;
    // Null: the encoder depends on the sample layout (see PcmColumn).
    const wchar_t* encoder;
};

// Indexed by format id - 1.
// Audio encoders of video files only, ids 201 on.
const wchar_t* const VIDEO_ONLY_ENCODERS[] = {L"adpcm_adx", L"alac",     L"g722",  L"g726",   L"libgsm",    L"adpcm_ima_qt",
                                             L"nellymoser", L"roq_dpcm", L"sonic", L"sonicls", L"adpcm_swf"};
constexpr int32_t VIDEO_ONLY_FIRST = 201;

const FormatRow FORMATS[] = {
    {L".3gp", L"aac"},                // 1
    {L".3gp", L"libopencore_amrnb"},  // 2
    {L".3g2", L"aac"},                // 3
    {L".3g2", L"libopencore_amrnb"},  // 4
    {L".aac", L"aac"},                // 5
    {L".ac3", L"ac3"},                // 6
    {L".aiff", nullptr},              // 7
    {L".amr", L"libopencore_amrnb"},  // 8
    {L".au", nullptr},                // 9
    {L".au", L"pcm_alaw"},            // 10
    {L".au", L"pcm_mulaw"},           // 11
    {L".flac", L"flac"},              // 12
    {L".m4a", L"aac"},                // 13
    {L".m4a", L"alac"},               // 14
    {L".mmf", L"adpcm_yamaha"},       // 15
    {L".mov", L"aac"},                // 16
    {L".mp2", L"mp2"},                // 17
    {L".mp3", L"libmp3lame"},         // 18
    {L".mp4", L"aac"},                // 19
    {L".ogg", L"flac"},               // 20
    {L".ogg", L"libvorbis"},          // 21
    {L".raw", nullptr},               // 22
    {L".raw", nullptr},               // 23
    {L".raw", L"pcm_alaw"},           // 24
    {L".raw", L"pcm_mulaw"},          // 25
    {L".ra", L"ac3"},                 // 26
    {L".rm", L"ac3"},                 // 27
    {L".wav", nullptr},               // 28
    {L".wav", L"pcm_s16le"},          // 29
    {L".wav", L"libgsm_ms"},          // 30
    {L".wav", L"adpcm_ima_wav"},      // 31
    {L".wav", L"adpcm_ms"},           // 32
    {L".wav", L"adpcm_yamaha"},       // 33
    {L".wma", L"wmav2"},              // 34
};
constexpr int32_t FORMAT_COUNT = static_cast<int32_t>(sizeof(FORMATS) / sizeof(FORMATS[0]));

// One row per sample-layout code; the columns are AIFF and AU (ids 7, 9), raw
// little-endian (22), raw big-endian (23) and WAV (28). WAV and AIFF/AU have no
// unsigned wide forms, so those codes fall back to 16-bit signed.
struct PcmRow {
    int32_t bits;
    const wchar_t* column[4];
};

const PcmRow PCM[] = {
    {8, {L"pcm_s8", L"pcm_s8", L"pcm_s8", L"pcm_s16le"}},
    {16, {L"pcm_s16be", L"pcm_s16le", L"pcm_s16be", L"pcm_s16le"}},
    {24, {L"pcm_s24be", L"pcm_s24le", L"pcm_s24be", L"pcm_s24le"}},
    {32, {L"pcm_s32be", L"pcm_s32le", L"pcm_s32be", L"pcm_s32le"}},
    {108, {L"pcm_s16be", L"pcm_u8", L"pcm_u8", L"pcm_u8"}},
    {116, {L"pcm_s16be", L"pcm_u16le", L"pcm_u16be", L"pcm_s16le"}},
    {124, {L"pcm_s16be", L"pcm_u24le", L"pcm_u24be", L"pcm_s16le"}},
    {132, {L"pcm_s16be", L"pcm_u32le", L"pcm_u32be", L"pcm_s16le"}},
    {FormatTable::BITS_FLOAT32, {L"pcm_f32be", L"pcm_f32le", L"pcm_f32be", L"pcm_f32le"}},
    {FormatTable::BITS_FLOAT64, {L"pcm_f64be", L"pcm_f64le", L"pcm_f64be", L"pcm_f64le"}},
};
const wchar_t* const PCM_OTHER[4] = {L"pcm_s16be", L"pcm_s16le", L"pcm_s16be", L"pcm_s16le"};

int pcmColumn(int32_t formatId) {
    switch (formatId) {
    case 7:
    case 9:
        return 0;
    case 22:
        return 1;
    case 23:
        return 2;
    case 28:
        return 3;
    default:
        return -1;
    }
}

// Source codecs and the extensions that take them unchanged.
struct CopyRow {
    const wchar_t* codec;
    const wchar_t* extensions[9];  // null-ended
};

const CopyRow COPYABLE[] = {
    {L"aac", {L".mp4", L".mkv", L".mov", L".3g2", L".3gp", L".m4v", L".aac", L".m4a", nullptr}},
    {L"ac3", {L".avi", L".rm", L".tp", L".ts", L".ac3", L".ra", L".mkv", L".mp4", nullptr}},
    {L"mp3", {L".avi", L".flv", L".swf", L".mp3", L".mkv", L".mp4", nullptr}},
    {L"vorbis", {L".ogg", L".ogv", L".webm", L".mkv", nullptr}},
    {L"mp2", {L".mpg", L".mp2", L".mkv", L".mp4", nullptr}},
    {L"wmav2", {L".wmv", L".wma", nullptr}},
    {L"flac", {L".flac", L".ogg", L".mkv", nullptr}},
};

const CopyRow VIDEO_COPYABLE[] = {
    {L"Unknown", {L".mp4", L".mkv", L".mov", L".avi", L".3g2", L".3gp", L".m4v", nullptr}},
    {L"mpeg4", {L".mp4", L".mkv", L".mov", L".avi", L".3g2", L".3gp", L".m4v", nullptr}},
    {L"h264", {L".mp4", L".mkv", L".mov", L".avi", L".3g2", L".3gp", L".m4v", L".flv", nullptr}},
    {L"mpeg2video", {L".mpg", L".tp", L".ts", L".mp4", nullptr}},
    {L"theora", {L".ogg", L".ogv", L".mkv", nullptr}},
    {L"flv", {L".flv", L".swf", nullptr}},
};

// Names are compared exactly: FFmpeg's codec names are lower case and the prober writes
// them as they are, so "MP3" is no codec of a probed stream.
template <size_t N>
bool fits(const CopyRow (&rows)[N], const wchar_t* codec, const wchar_t* extension) {
    if (codec == nullptr || extension == nullptr) {
        return false;
    }
    for (const CopyRow& row : rows) {
        if (wcscmp(row.codec, codec) != 0) {
            continue;
        }
        for (const wchar_t* const* e = row.extensions; *e != nullptr; ++e) {
            if (wcscmp(*e, extension) == 0) {
                return true;
            }
        }
        return false;
    }
    return false;
}

} // namespace

const wchar_t* FormatTable::audioOutputExtension(int32_t formatId) {
    if (formatId < 1 || formatId > FORMAT_COUNT) {
        return L".obj";
    }
    return FORMATS[formatId - 1].extension;
}

const wchar_t* FormatTable::audioCodecForFormat(int32_t formatId, int32_t bitsCode) {
    const int32_t videoOnly = formatId - VIDEO_ONLY_FIRST;
    if (videoOnly >= 0 && videoOnly < static_cast<int32_t>(sizeof(VIDEO_ONLY_ENCODERS) / sizeof(VIDEO_ONLY_ENCODERS[0]))) {
        return VIDEO_ONLY_ENCODERS[videoOnly];
    }
    if (formatId < 1 || formatId > FORMAT_COUNT) {
        return nullptr;
    }
    if (FORMATS[formatId - 1].encoder != nullptr) {
        return FORMATS[formatId - 1].encoder;
    }
    const int column = pcmColumn(formatId);
    for (const PcmRow& row : PCM) {
        if (row.bits == bitsCode) {
            return row.column[column];
        }
    }
    return PCM_OTHER[column];
}

int32_t FormatTable::sourceBitsCode(int32_t formatId, const video::StreamInfo* source) {
    typedef video::StreamInfo StreamInfo;
    const int32_t bits = source != nullptr ? source->losslessBits : 0;
    int32_t code = 16;  // a lossy source holds no depth of its own
    if (bits > 0) {
        code = source->sampleFormat == StreamInfo::SAMPLE_FLT   ? BITS_FLOAT32
               : source->sampleFormat == StreamInfo::SAMPLE_DBL ? BITS_FLOAT64
               : bits <= 8                                      ? 8
               : bits <= 16                                     ? 16
               : bits <= 24                                     ? 24
                                                                : 32;
    }
    // WAV keeps 8-bit samples unsigned alone.
    return code == 8 && pcmColumn(formatId) == 3 ? 108 : code;
}

const wchar_t* FormatTable::audioCodecForSource(int32_t formatId, int32_t bitsCode, const video::StreamInfo* source) {
    return audioCodecForFormat(formatId, bitsCode == 0 ? sourceBitsCode(formatId, source) : bitsCode);
}

const wchar_t* FormatTable::depthSampleFormat(const wchar_t* encoder, const video::StreamInfo* source) {
    if (encoder == nullptr || source == nullptr) {
        return nullptr;
    }
    // Both encoders take 16 or 24 bits. A lossy source's decoded floats hold no depth of
    // their own and would otherwise become 24 bits; a volume change would hand them
    // floats too.
    const bool deep = source->losslessBits > 16;
    if (wcscmp(encoder, L"flac") == 0) {
        return deep ? L"s32" : L"s16";
    }
    if (wcscmp(encoder, L"alac") == 0) {
        return deep ? L"s32p" : L"s16p";
    }
    return nullptr;
}

const wchar_t* FormatTable::rawMuxerForCodec(const wchar_t* encoder) {
    if (encoder == nullptr || wcsncmp(encoder, L"pcm_", 4) != 0 || encoder[4] == L'\0') {
        return nullptr;
    }
    return encoder + 4;
}

bool FormatTable::codecFitsExtension(const wchar_t* codec, const wchar_t* extension) {
    return fits(COPYABLE, codec, extension);
}

bool FormatTable::videoCodecFitsExtension(const wchar_t* codec, const wchar_t* extension) {
    return fits(VIDEO_COPYABLE, codec, extension);
}

} // namespace s::sound::ffmpeg
