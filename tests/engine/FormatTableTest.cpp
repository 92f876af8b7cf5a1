#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>

#include "ProbedMedia.h"
#include "core/thread/Held.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/video/VideoInfo.h"

using s::sound::ffmpeg::FormatTable;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::thread::Held;
using s::video::VideoInfo;

namespace {

std::wstring text(const wchar_t* value) {
    return value != nullptr ? value : L"(none)";
}

// A probed file with one audio stream of the codec, and optionally a cover picture.
VideoInfo* mediaWithAudio(const wchar_t* codec, bool cover = false) {
    VideoInfo* info = VideoInfo::pool();
    if (cover) addStream(info, videoStream(L"mjpeg"));
    addStream(info, audioStream(codec));
    return info;
}

} // namespace

TEST(FormatTable, EveryFormatIdHasItsExtensionAndEncoder) {
    struct Row {
        int32_t id;
        const wchar_t* extension;
        const wchar_t* encoder;  // with 16-bit samples where the layout decides
    };
    const Row rows[] = {
        {1, L".3gp", L"aac"},          {2, L".3gp", L"libopencore_amrnb"}, {3, L".3g2", L"aac"},
        {4, L".3g2", L"libopencore_amrnb"}, {5, L".aac", L"aac"},      {6, L".ac3", L"ac3"},
        {7, L".aiff", L"pcm_s16be"},   {8, L".amr", L"libopencore_amrnb"}, {9, L".au", L"pcm_s16be"},
        {10, L".au", L"pcm_alaw"},     {11, L".au", L"pcm_mulaw"},     {12, L".flac", L"flac"},
        {13, L".m4a", L"aac"},         {14, L".m4a", L"alac"},         {15, L".mmf", L"adpcm_yamaha"},
        {16, L".mov", L"aac"},         {17, L".mp2", L"mp2"},          {18, L".mp3", L"libmp3lame"},
        {19, L".mp4", L"aac"},         {20, L".ogg", L"flac"},         {21, L".ogg", L"libvorbis"},
        {22, L".raw", L"pcm_s16le"},   {23, L".raw", L"pcm_s16be"},    {24, L".raw", L"pcm_alaw"},
        {25, L".raw", L"pcm_mulaw"},   {26, L".ra", L"ac3"},           {27, L".rm", L"ac3"},
        {28, L".wav", L"pcm_s16le"},   {29, L".wav", L"pcm_s16le"},    {30, L".wav", L"libgsm_ms"},
        {31, L".wav", L"adpcm_ima_wav"}, {32, L".wav", L"adpcm_ms"},   {33, L".wav", L"adpcm_yamaha"},
        {34, L".wma", L"wmav2"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(text(FormatTable::audioOutputExtension(row.id)), row.extension) << row.id;
        EXPECT_EQ(text(FormatTable::audioCodecForFormat(row.id, 16)), row.encoder) << row.id;
    }
    for (int32_t id : {0, -1, 35, 200, 212, 999, 10001}) {
        EXPECT_EQ(text(FormatTable::audioOutputExtension(id)), L".obj") << id;
        EXPECT_EQ(FormatTable::audioCodecForFormat(id, 16), nullptr) << id;
    }
}

TEST(FormatTable, PcmEncoderBySampleLayout) {
    struct Row {
        int32_t bits;
        const wchar_t* aiffAu;
        const wchar_t* rawLe;
        const wchar_t* rawBe;
        const wchar_t* wav;
    };
    const Row rows[] = {
        {8, L"pcm_s8", L"pcm_s8", L"pcm_s8", L"pcm_s16le"},
        {16, L"pcm_s16be", L"pcm_s16le", L"pcm_s16be", L"pcm_s16le"},
        {24, L"pcm_s24be", L"pcm_s24le", L"pcm_s24be", L"pcm_s24le"},
        {32, L"pcm_s32be", L"pcm_s32le", L"pcm_s32be", L"pcm_s32le"},
        {108, L"pcm_s16be", L"pcm_u8", L"pcm_u8", L"pcm_u8"},
        {116, L"pcm_s16be", L"pcm_u16le", L"pcm_u16be", L"pcm_s16le"},
        {124, L"pcm_s16be", L"pcm_u24le", L"pcm_u24be", L"pcm_s16le"},
        {132, L"pcm_s16be", L"pcm_u32le", L"pcm_u32be", L"pcm_s16le"},
        {1032, L"pcm_f32be", L"pcm_f32le", L"pcm_f32be", L"pcm_f32le"},
        {1064, L"pcm_f64be", L"pcm_f64le", L"pcm_f64be", L"pcm_f64le"},
        {0, L"pcm_s16be", L"pcm_s16le", L"pcm_s16be", L"pcm_s16le"},
        {12, L"pcm_s16be", L"pcm_s16le", L"pcm_s16be", L"pcm_s16le"},
        {1016, L"pcm_s16be", L"pcm_s16le", L"pcm_s16be", L"pcm_s16le"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(text(FormatTable::audioCodecForFormat(7, row.bits)), row.aiffAu) << row.bits;
        EXPECT_EQ(text(FormatTable::audioCodecForFormat(9, row.bits)), row.aiffAu) << row.bits;
        EXPECT_EQ(text(FormatTable::audioCodecForFormat(22, row.bits)), row.rawLe) << row.bits;
        EXPECT_EQ(text(FormatTable::audioCodecForFormat(23, row.bits)), row.rawBe) << row.bits;
        EXPECT_EQ(text(FormatTable::audioCodecForFormat(28, row.bits)), row.wav) << row.bits;
        // Raw output needs a raw muxer of the same name.
        EXPECT_EQ(text(FormatTable::rawMuxerForCodec(FormatTable::audioCodecForFormat(22, row.bits))),
                  std::wstring(row.rawLe + 4));
    }
    // Formats with a fixed encoder ignore the layout.
    EXPECT_EQ(text(FormatTable::audioCodecForFormat(29, 24)), L"pcm_s16le");
    EXPECT_EQ(text(FormatTable::audioCodecForFormat(10, 1064)), L"pcm_alaw");
    EXPECT_EQ(FormatTable::rawMuxerForCodec(L"aac"), nullptr);
    EXPECT_EQ(FormatTable::rawMuxerForCodec(L"pcm_"), nullptr);
    EXPECT_EQ(FormatTable::rawMuxerForCodec(nullptr), nullptr);
}

TEST(FormatTable, SourceCodecsThatFitAnExtension) {
    struct Row {
        const wchar_t* codec;
        const wchar_t* extension;
        bool fits;
    };
    // Positives of every codec are in the stream-copy test below; here the near misses.
    const Row rows[] = {
        {L"aac", L".m4v", true},    {L"ac3", L".ts", true},     {L"mp3", L".swf", true},    {L"vorbis", L".webm", true},
        {L"mp2", L".mpg", true},    {L"wmav2", L".wmv", true},  {L"flac", L".mkv", true},   {L"aac", L".ogg", false},
        {L"mp3", L".mp2", false},   {L"mp2", L".mp3", false},   {L"flac", L".wav", false},  {L"pcm_s16le", L".wav", false},
        {L"opus", L".ogg", false},  {L"MP3", L".mp3", false},   {L"mp3", L".MP3", false},   {L"mp3float", L".mp3", false},
        {nullptr, L".mp3", false},  {L"mp3", nullptr, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FormatTable::codecFitsExtension(row.codec, row.extension), row.fits)
            << text(row.codec) << L" " << text(row.extension);
    }
    // Pictures by the same rule: the prober's exact names ("Unknown" is its own).
    const Row pictures[] = {
        {L"h264", L".flv", true},   {L"Unknown", L".mkv", true}, {L"flv", L".swf", true},  {L"H264", L".mp4", false},
        {L"unknown", L".mp4", false}, {L"theora", L".mp4", false}, {L"h264", L".MP4", false}, {nullptr, L".mp4", false},
    };
    for (const Row& row : pictures) {
        EXPECT_EQ(FormatTable::videoCodecFitsExtension(row.codec, row.extension), row.fits)
            << text(row.codec) << L" " << text(row.extension);
    }
}

TEST(FormatTable, StreamCopyRuleOfTheJobRecord) {
    struct Row {
        const char* what;
        const wchar_t* codec;
        int32_t formatId;
        int32_t sampleRate, channels, volume, quality;
        bool copied;
    };
    const Row rows[] = {
        {"mp3 to mp3, all same", L"mp3", 18, 0, 0, 100, 100, true},
        {"mp3 to mp3, louder", L"mp3", 18, 0, 0, 150, 100, false},
        {"mp3 to mp3, source bit rate", L"mp3", 18, 0, 0, 100, 101, true},
        {"mp3 to mp3, best level", L"mp3", 18, 0, 0, 100, 9, true},
        {"mp3 to mp3, lower level", L"mp3", 18, 0, 0, 100, 5, false},
        {"mp3 to mp3, a bit rate chosen", L"mp3", 18, 0, 0, 100, 0, false},
        {"mp3 to mp3, no quality at all", L"mp3", 18, 0, 0, 100, -1, true},
        {"mp3 to mp3, new rate", L"mp3", 18, 44100, 0, 100, 100, false},
        {"mp3 to mp3, mono", L"mp3", 18, 0, 1, 100, 100, false},
        {"aac to m4a", L"aac", 13, 0, 0, 100, 100, true},
        {"aac to aac", L"aac", 5, 0, 0, 100, 100, true},
        {"aac to mp3", L"aac", 18, 0, 0, 100, 100, false},
        {"flac to ogg flac", L"flac", 20, 0, 0, 100, 100, true},
        {"vorbis to ogg vorbis", L"vorbis", 21, 0, 0, 100, 100, true},
        {"ac3 to ra", L"ac3", 26, 0, 0, 100, 100, true},
        {"wma to wma", L"wmav2", 34, 0, 0, 100, 100, true},
        {"pcm to wav", L"pcm_s16le", 28, 0, 0, 100, 100, false},
    };
    Held<Setting> setting(Setting::create());
    for (const Row& row : rows) {
        setting->reset();
        setting->formatId = row.formatId;
        setting->sampleRate = row.sampleRate;
        setting->channels = row.channels;
        setting->volume = row.volume;
        setting->quality = row.quality;
        Held<VideoInfo> info(mediaWithAudio(row.codec, true));
        EXPECT_EQ(setting->canCopyAudioStream(info.get(), FormatTable::audioOutputExtension(row.formatId)), row.copied)
            << row.what;
    }

    // Nothing to copy without an audio stream.
    setting->reset();
    setting->quality = 100;
    EXPECT_FALSE(setting->canCopyAudioStream(nullptr, L".mp3"));
    Held<VideoInfo> silent(VideoInfo::pool());
    EXPECT_FALSE(setting->canCopyAudioStream(silent.get(), L".mp3"));
    Held<VideoInfo> flagOnly(mediaWithAudio(L"mp3"));
    flagOnly->hasAudio = 0;
    EXPECT_FALSE(setting->canCopyAudioStream(flagOnly.get(), L".mp3"));
}

TEST(JobRecord, ResetLeavesOnlyTheVolume) {
    Held<Setting> setting(Setting::create());
    setting->outputId = 10001;
    setting->videoBitRate = INT64_C(5000000000);  // beyond 32 bits
    setting->testStart = 2;
    setting->testLength = INT64_C(4294967296000);
    setting->formatId = 29;
    setting->sampleRate = 44100;
    setting->channels = 2;
    setting->bitsPerSample = 16;
    setting->volume = 40;
    setting->twoPass = 1;
    setting->targetMode = 1;
    setting->reset();
    Setting fresh;
    for (const Setting* r : {static_cast<const Setting*>(setting.get()), static_cast<const Setting*>(&fresh)}) {
        EXPECT_EQ(r->outputId, 0);
        EXPECT_EQ(r->videoBitRate, 0);
        EXPECT_EQ(r->videoQuality | r->frameRate | r->width | r->height | r->reserved, 0);
        EXPECT_EQ(r->presetPictureSize | r->autoPictureSize | r->twoPass | r->targetMode, 0);
        EXPECT_EQ(r->testStart | r->testLength, 0);
        EXPECT_EQ(r->formatId | r->sampleRate | r->channels | r->bitRate | r->bitsPerSample | r->quality, 0);
        EXPECT_EQ(r->volume, 100);
    }
    static_assert(sizeof(Setting::videoBitRate) == 8 && sizeof(Setting::testStart) == 8 &&
                      sizeof(Setting::testLength) == 8,
                  "64-bit fields");
}
