#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ProbedMedia.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/ffmpeg/VideoPresets.h"
#include "engine/sound/ffmpeg/VideoRoad.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "engine/video/VideoInfo.h"
#include "support/ChildProcess.h"

using s::sound::ffmpeg::CommandBuilder;
using s::sound::ffmpeg::FormatTable;
using s::sound::ffmpeg::VideoPresets;
using s::sound::ffmpeg::VideoRoad;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::str::strbuffer::StrBuffer;
using s::system::win::MessageBoxSeam;
using s::thread::Held;
using s::video::StreamInfo;
using s::video::VideoInfo;

namespace {

void noSleep(uint32_t) {}
int WINAPI noBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    ADD_FAILURE() << "a message box was shown";
    return IDOK;
}

// Probed sources: picture size, frame rate, sample aspect, the file's audio and size.
struct Source {
    const wchar_t* codec;
    int32_t width, height;
    int64_t rateNum, rateDen;
    int32_t sarNum, sarDen;
    bool audio;
    const wchar_t* file;       // name and extension
    const wchar_t* container;  // FFmpeg's demuxer names
};

const Source FILM{L"h264", 1920, 1080, 25, 1, 1, 1, true, L"film.mkv", L"matroska,webm"};
const Source NTSC_TV{L"mpeg2video", 640, 480, 30000, 1001, 1, 1, true, L"tv.mpg", L"mpeg"};
const Source SCOPE{L"h264", 1920, 816, 25, 1, 1, 1, true, L"scope.mp4", L"mov,mp4,m4a,3gp,3g2,mj2"};
const Source SQUARE{L"mpeg4", 480, 480, 25, 1, 1, 1, false, L"square.avi", L"avi"};
const Source SQUARE_NTSC{L"mpeg4", 480, 480, 30000, 1001, 1, 1, false, L"square.avi", L"avi"};
const Source ANAMORPHIC{L"mpeg2video", 720, 576, 25, 1, 64, 45, true, L"wide.vob", L"mpeg"};
const Source WIDE_360{L"h264", 640, 360, 25, 1, 1, 1, true, L"small.flv", L"flv"};

// 60 s; with audio at 128 kb/s the file is sized so the picture has 8 Mb/s.
VideoInfo* probed(const Source& source) {
    VideoInfo* info = VideoInfo::pool();
    info->duration = 60000000;
    info->fileSize = (8000000 + (source.audio ? 128000 : 0)) * 60 / 8;
    info->width = source.width;
    info->height = source.height;
    info->fileName.assign(source.file);
    info->formatName.assign(source.container);
    StreamInfo* video = videoStream(source.codec);
    video->width = source.width;
    video->height = source.height;
    video->realFrameRateNum = source.rateNum;
    video->realFrameRateDen = source.rateDen;
    video->sampleAspectNum = source.sarNum;
    video->sampleAspectDen = source.sarDen;
    addStream(info, video);
    if (source.audio) {
        addStream(info, audioStream(L"aac", 86018, 48000, 2, 128000));
    }
    return info;
}

// A video job: preset, audio format and the video fields that matter here.
struct Job {
    int32_t outputId;
    int32_t formatId = 0;
    int32_t videoQuality = 0;
    int64_t videoBitRate = 0;
    int32_t frameRate = 0;
    int32_t width = 0, height = 0;
    uint8_t autoSize = 0, audioShare = 0, keepSize = 0;
    int32_t audioQuality = 0;
    int32_t sampleRate = 0, channels = 0, bitRate = 0;
    int32_t volume = 100;
    int32_t sharpen = 0;

    void fill(Setting& s) const {
        s.outputId = outputId;
        s.formatId = formatId;
        s.videoQuality = videoQuality;
        s.videoBitRate = videoBitRate;
        s.frameRate = frameRate;
        s.width = width;
        s.height = height;
        s.autoPictureSize = autoSize;
        s.targetMode = audioShare;
        s.presetPictureSize = keepSize;
        s.quality = audioQuality;
        s.sampleRate = sampleRate;
        s.channels = channels;
        s.bitRate = bitRate;
        s.volume = volume;
        s.reserved = sharpen;
    }
};

class VideoCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousSleep_ = CommandBuilder::setSleepFunction(&noSleep);
        previousBox_ = MessageBoxSeam::set(&noBox);
        previousCount_ = VideoRoad::setProcessorCount(4);  // 6 encoder threads
    }
    void TearDown() override {
        CommandBuilder::setSleepFunction(previousSleep_);
        MessageBoxSeam::set(previousBox_);
        VideoRoad::setProcessorCount(previousCount_);
        testsupport::removeTree(folder_);
    }

    // The command after the head (program, probe options, input, -y), with the output
    // as "{out}"; the copy decisions are the job loop's.
    std::wstring build(const Job& job, const Source& source, int32_t pass = 0) {
        Setting setting;
        job.fill(setting);
        Held<VideoInfo> info(probed(source));
        int32_t id = setting.outputId, format = setting.formatId;
        uint8_t twoPass = 1;
        const wchar_t* extension = VideoPresets::videoOutputExtension(id, nullptr, nullptr, format, twoPass);
        const bool copyVideo = setting.canCopyVideoStream(info.get(), extension);
        const bool copyAudio = setting.canCopyAudioStream(info.get(), extension);
        const std::wstring output = folder_ + L"\\out" + extension;
        weight_ = 0;
        Held<StrBuffer> command(CommandBuilder::buildFfmpegCommand(&setting, info.get(), L"C:\\in.src", output.c_str(),
                                                                   nullptr, false, pass, copyAudio, copyVideo,
                                                                   nullptr, &weight_));
        DeleteFileW(output.c_str());
        std::wstring text = command ? command->c_str() : L"(null)";
        const std::wstring head = L"ffmpeg -probesize 100M -analyzeduration 100M -i \"C:\\in.src\" -y";
        if (text.compare(0, head.size(), head) != 0) {
            return L"(no head) " + text;
        }
        text.erase(0, head.size());
        const size_t at = text.find(L"\"" + output + L"\"");
        if (at != std::wstring::npos) {
            text.replace(at, output.size() + 2, L"{out}");
        }
        return text;
    }

    std::wstring folder_ = testsupport::freshTempFolder(L"videocmd");
    double weight_ = 0;

private:
    CommandBuilder::SleepFn previousSleep_ = nullptr;
    MessageBoxSeam::MessageBoxFn previousBox_ = nullptr;
    uint32_t previousCount_ = 0;
};

const std::wstring Q = L" -max_muxing_queue_size 9999";

struct Golden {
    const char* what;
    Job job;
    const Source* source;
    int32_t pass;
    std::wstring command;
    double weight;
};

} // namespace

TEST_F(VideoCommandTest, GoldenVideoCommandLines) {
    const Golden rows[] = {
        // Disc targets: the TV system from the frame rate, the frame and its shape.
        {"DVD, PAL from 25 fps, 16:9 source", {10033}, &FILM, 0,
         L" -target pal-dvd -vcodec mpeg2video -threads 6 -g 15 -b:v 6000000 -aspect 16:9 -ab 448000 -s 720x576" + Q +
             L" {out}",
         0.5},
        {"DVD, NTSC from 29.97 fps, 4:3 source", {10033}, &NTSC_TV, 0,
         L" -target ntsc-dvd -vcodec mpeg2video -threads 6 -g 18 -b:v 6000000 -aspect 4:3 -ab 448000 -s 720x480" + Q +
             L" {out}",
         0.5},
        {"DVD PAL, scope picture letterboxed by scaling first", {10037}, &SCOPE, 0,
         L" -target pal-dvd -vcodec mpeg2video -threads 6 -g 15 -b:v 6000000 -aspect 16:9 -ab 448000 -s 720x576"
         L" -vf \"scale=720:436,pad=720:576:0:70\"" + Q + L" {out}",
         0.5},
        {"DVD NTSC 4:3 with extra effort, anamorphic 16:9 source letterboxed into 4:3", {10057}, &ANAMORPHIC, 0,
         L" -target ntsc-dvd -vcodec mpeg2video -threads 6 -trellis 2 -mbd 2 -cmp 2 -subcmp 2 -g 18 -b:v 6000000"
         L" -aspect 4:3 -ab 448000 -s 720x480 -vf \"scale=720:360,pad=720:480:0:60\"" + Q + L" {out}",
         0.5},
        {"DVD at the source's bit rate, capped", {10033, 0, 101}, &FILM, 0,
         L" -target pal-dvd -vcodec mpeg2video -threads 6 -g 15 -b:v 6000000 -aspect 16:9 -ab 448000 -s 720x576" + Q +
             L" {out}",
         0.5},
        {"DVD at 50 % of the disc maximum", {10033, 0, 850}, &FILM, 0,
         L" -target pal-dvd -vcodec mpeg2video -threads 6 -g 15 -b:v 3000000 -aspect 16:9 -ab 448000 -s 720x576" + Q +
             L" {out}",
         0.5},
        {"VCD of a 16:9 source: scaled to 352x198, padded to the frame", {10079}, &FILM, 0,
         L" -target pal-vcd -vcodec mpeg1video -threads 6 -g 15 -aspect 4:3 -ab 224000 -s 352x288"
         L" -vf \"scale=352:198,pad=352:288:0:44\"" + Q + L" {out}",
         0.5},
        {"VCD of a square source: pillarbox", {10079}, &SQUARE, 0,
         L" -target pal-vcd -vcodec mpeg1video -threads 6 -g 15 -aspect 4:3 -ab 224000 -s 352x288"
         L" -vf \"scale=288:288,pad=352:288:32:0\"" + Q + L" -an {out}",
         0.5},
        {"VCD NTSC pillarbox: half bars rounded away, offset cut to even", {10079}, &SQUARE_NTSC, 0,
         L" -target ntsc-vcd -vcodec mpeg1video -threads 6 -g 18 -aspect 4:3 -ab 224000 -s 352x240"
         L" -vf \"scale=262:240,pad=352:240:44:0\"" + Q + L" -an {out}",
         0.5},
        {"SVCD 16:9, automatic system", {10090}, &FILM, 0,
         L" -target pal-svcd -vcodec mpeg2video -threads 6 -g 15 -b:v 2040000 -aspect 16:9 -ab 224000 -s 480x576" + Q +
             L" {out}",
         0.5},
        {"SVCD at 700 MiB for a minute: the disc maximum", {10089, 0, 2137483647 + 700}, &FILM, 0,
         L" -target pal-svcd -vcodec mpeg2video -threads 6 -g 15 -b:v 2040000 -ab 224000 -s 480x576" + Q + L" {out}",
         0.5},
        {"DV, PAL", {10107}, &FILM, 0, L" -target pal-dv -s 720x576" + Q + L" {out}", 0.5},
        {"DV50, NTSC forced", {10115}, &FILM, 0, L" -target ntsc-dv50 -s 720x480" + Q + L" {out}", 0.5},
        // Codec presets: encoder settings, rates, sizes, containers.
        {"libx264 pass 1: pass, codec, threads, preset, GOP in order; rawvideo not needed in MP4",
         {10020, 0, 0, 1500000},
         &FILM,
         1,
         L" -pass 1 -vcodec libx264 -threads 0 -preset medium -g 250 -bf 3 -b:v 1500000 -r 25 -s 1920x1080" + Q +
             L" -f mp4 -an NUL",
         0.33},
        {"libx264 pass 2", {10020, 0, 0, 1500000}, &FILM, 2,
         L" -pass 2 -vcodec libx264 -threads 0 -preset medium -g 250 -bf 3 -b:v 1500000 -r 25 -s 1920x1080" + Q +
             L" -f mp4 -an {out}",
         0.33},
        {"libx265 pass 1: the pass becomes an x265 parameter", {17020, 0, 0, 1500000}, &FILM, 1,
         L" -x265-params pass=1 -vcodec libx265 -b:v 1500000 -r 25 -s 1920x1080" + Q + L" -f mp4 -an NUL", 0.5},
        {"libx265 in AVI is written as MP4", {17017, 0, 4}, &FILM, 0,
         L" -vcodec libx265 -qscale 9 -r 25 -s 1920x1080" + Q + L" -f mp4 -an {out}", 0.5},
        {"Xvid: MPEG-4 under the Xvid tag", {10503, 0, 5}, &FILM, 0,
         L" -vcodec mpeg4 -vtag xvid -threads 6 -bf 2 -g 300 -qscale 7 -r 25 -s 1920x1080" + Q + L" -an {out}", 0.33},
        {"MPEG-4 AVI pass 1 writes rawvideo and no sound", {10003, 6, 0, 800000}, &FILM, 1,
         L" -pass 1 -vcodec mpeg4 -threads 6 -g 300 -b:v 800000 -r 25 -s 1920x1080" + Q + L" -f rawvideo -an NUL",
         0.5},
        {"quality 9: crf 8 for libx264, short GOP", {10025, 0, 9}, &NTSC_TV, 0,
         L" -vcodec libx264 -threads 0 -preset medium -crf 8 -r 30000/1001 -s 640x480" + Q + L" -an {out}", 0.5},
        {"quality 9: qscale 1 for MPEG-4, extra effort after the short GOP", {10011, 0, 9}, &NTSC_TV, 0,
         L" -vcodec mpeg4 -threads 6 -g 15 -flags +mv4+aic -trellis 2 -mbd 2 -cmp 2 -subcmp 2 -qscale 1"
         L" -r 30000/1001 -s 640x480" + Q + L" -an {out}",
         0.5},
        {"quality 1: crf 33", {10021, 0, 1}, &FILM, 0,
         L" -vcodec libx264 -threads 0 -preset medium -g 250 -bf 3 -crf 33 -r 25 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"a code from 10 to 99 writes no rate", {10001, 0, 50, 900000}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 25 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"half a frame a second is taken as NTSC", {10001, 0, 0, 0, 500}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 30000/1001 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"59.94 fps", {10001, 0, 0, 0, 59940}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 60000/1001 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"23.976 fps", {10001, 0, 0, 0, 23976}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 24000/1001 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"above 60 fps is 60", {10001, 0, 0, 0, 120000}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 60 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"the AVI sharing presets cap at 29.97", {10601, 0, 0, 0, 50000}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 30000/1001 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"NTSC source rate kept exactly", {10001}, &NTSC_TV, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 30000/1001 -s 640x480" + Q + L" -an {out}", 0.5},
        {"DivX 5: tag and short GOP", {10120, 0, 0, 1000000}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -vtag DX50 -g 15 -b:v 1000000 -r 25 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"DivX 5 pass 1 has no tag", {10120, 0, 0, 1000000}, &FILM, 1,
         L" -pass 1 -vcodec mpeg4 -threads 6 -g 15 -b:v 1000000 -r 25 -s 1920x1080" + Q + L" -f rawvideo -an NUL", 0.5},
        {"record size fitted to the source's shape", {10001, 0, 0, 0, 0, 640, 640}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 25 -s 640x360 -vf \"setsar=1\"" + Q + L" -an {out}", 0.5},
        {"relative size, half", {10001, 0, 0, 0, 0, 16384, 5000}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 25 -s 960x540 -vf \"setsar=1\"" + Q + L" -an {out}", 0.5},
        {"anamorphic source shown wide", {10001, 0, 0, 0, 0, 1024, 1024}, &ANAMORPHIC, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 25 -s 1024x576 -vf \"setsar=1\"" + Q + L" -an {out}", 0.5},
        {"automatic size from the bit rate, audio share kept",
         {10006, 0, 0, 1000000, 0, 0, 0, 1, 1},
         &FILM,
         0,
         L" -vcodec mpeg4 -threads 6 -g 300 -b:v 1000000 -r 25 -s 634x358 -vf \"setsar=1\"" + Q + L" -f mp4 -an {out}",
         0.5},
        {"sharpened", {10001, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 1}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -r 25 -s 1920x1080 -vf \"scale=1280:-1,unsharp=3:3:0.3\"" + Q +
             L" -an {out}",
         0.5},
        {"rv10: sizes in multiples of 16", {10210}, &WIDE_360, 0,
         L" -vcodec rv10 -threads 1 -r 25 -s 624x352" + Q + L" -an {out}", 0.5},
        {"H.263 3GP with AMR sound at the preset's size",
         {10074, 8, 0, 0, 0, 176, 144, 0, 0, 1, 0, 8000, 1, 12200},
         &FILM,
         0,
         L" -vcodec h263 -threads 1 -r 25 -s 176x144" + Q + L" -acodec libopencore_amrnb -ar 8000 -ac 1 -ab 12200 {out}",
         0.5},
        // Automatic bit rates from the source's 8 Mb/s picture.
        {"similar quality at a quarter of the pixels, H.264 to MPEG-4 gains a third",
         {10001, 0, 100, 0, 0, 960, 540},
         &FILM,
         0,
         L" -vcodec mpeg4 -threads 6 -g 300 -b:v 2660000 -r 25 -s 960x540 -vf \"setsar=1\"" + Q + L" -an {out}",
         0.5},
        {"60 % of the source's rate", {10001, 0, 660}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -b:v 4800000 -r 25 -s 1920x1080" + Q + L" -an {out}", 0.5},
        {"the source's own rate", {10025, 0, 101}, &NTSC_TV, 0,
         L" -vcodec libx264 -threads 0 -preset medium -b:v 8000000 -r 30000/1001 -s 640x480" + Q + L" -an {out}", 0.5},
        {"a 60 MiB file for a minute", {10001, 0, 2137483647 + 60}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -b:v 7969177 -r 25 -s 1920x1080" + Q + L" -an {out}", 0.5},
        // Copies.
        {"H.264 in MKV copied: codec and threads only", {10005, 5, 101, 0, 0, 0, 0, 0, 0, 0, 100}, &FILM, 0,
         L" -vcodec copy -threads 6" + Q + L" -f matroska -codec:a copy {out}", 0.5},
        {"the same at quality 5 is re-encoded", {10005, 5, 5, 0, 0, 0, 0, 0, 0, 0, 100}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -qscale 7 -r 25 -s 1920x1080" + Q + L" -f matroska -codec:a copy {out}",
         0.5},
        {"quality 9 copies H.264 into MP4", {10027, 0, 9}, &FILM, 0, L" -vcodec copy -threads 0" + Q + L" -f mp4 -an {out}",
         0.5},
        {"a copy into DivX AVI keeps the tag", {10120, 0, 104}, &FILM, 0, L" -vcodec copy -threads 6 -vtag DX50" + Q +
                                                                               L" -an {out}",
         0.5},
        {"louder sound of a re-encoded file", {10006, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 150}, &FILM, 0,
         L" -vcodec mpeg4 -threads 6 -g 300 -qscale 7 -r 25 -s 1920x1080" + Q +
             L" -f mp4 -acodec aac -strict experimental -ar 48000 -ac 2 -ab 128000 -vol 384 {out}",
         0.5},
        // Same-as-source ids take the source's kind.
        {"H.264 family, MKV source", {VideoPresets::SAME_AS_SOURCE_X264, 5, 5}, &FILM, 0,
         L" -vcodec libx264 -threads 0 -preset medium -g 250 -bf 3 -crf 22 -r 25 -s 1920x1080" + Q + L" -f matroska"
         L" -acodec aac -strict experimental -ar 48000 -ac 2 -ab 128000 {out}",
         0.5},
        {"an id without a preset takes the audio road", {268435455}, &FILM, 0, L" -vn -map 0:a:0" + Q + L" -an {out}",
         0.5},
    };
    for (const Golden& row : rows) {
        EXPECT_EQ(build(row.job, *row.source, row.pass), row.command) << row.what;
        EXPECT_DOUBLE_EQ(weight_, row.weight) << row.what;
    }
}

TEST(VideoPresets, TablesByPresetId) {
    using TvSystem = VideoPresets::TvSystem;
    using AspectKind = VideoPresets::AspectKind;
    constexpr TvSystem AUTO = VideoPresets::TV_AUTO, PAL = VideoPresets::TV_PAL;
    constexpr TvSystem PREFER_PAL = VideoPresets::TV_PREFER_PAL, PREFER_NTSC = VideoPresets::TV_PREFER_NTSC;
    constexpr AspectKind BY_SOURCE = VideoPresets::ASPECT_AUTO, WIDE = VideoPresets::ASPECT_16_9;
    constexpr AspectKind TV = VideoPresets::ASPECT_4_3;
    const struct {
        int32_t id;
        const wchar_t* codec;  // null: not a preset
        const wchar_t* extension;
        const wchar_t* tag;
        const wchar_t* container;  // fixed muxer, null: none
        bool shortGop, extraEffort;
        TvSystem tv;
        AspectKind aspect;
    } rows[] = {
        {10001, L"mpeg4", L".3g2", L".mpeg4", nullptr, false, false, AUTO, BY_SOURCE},
        {10004, L"mpeg4", L".mov", L".mpeg4", nullptr, true, false, AUTO, BY_SOURCE},
        {10014, L"mpeg4", L".m4v", L".mpeg4", nullptr, false, true, AUTO, BY_SOURCE},
        {10020, L"libx264", L".mp4", L".x264", nullptr, false, false, AUTO, BY_SOURCE},
        {17017, L"libx265", L".avi", L".x265", L"mp4", false, false, AUTO, BY_SOURCE},
        {17025, L"libx265", L".mov", L".x265", nullptr, true, true, AUTO, BY_SOURCE},
        {10032, L"mpeg2video", L".mpg", L".mpeg2", nullptr, false, true, AUTO, BY_SOURCE},
        {10038, L"dvd", L".mpg", L".mpeg2", nullptr, true, true, AUTO, BY_SOURCE},
        {10044, L"dvd", L".mpg", L".mpeg2", nullptr, true, false, PREFER_PAL, WIDE},
        {10055, L"dvd", L".mpg", L".mpeg2", nullptr, true, true, PREFER_NTSC, TV},
        {10060, L"libtheora", L".ogv", L".theora", nullptr, false, false, AUTO, BY_SOURCE},
        {10062, L"mpeg2video", L".tp", L".mpeg2", L"mpegts", false, false, AUTO, BY_SOURCE},
        {10063, L"mpeg2video", L".ts", L".mpeg2", nullptr, false, true, AUTO, BY_SOURCE},
        {10088, L"vcd", L".mpg", L".mpeg1", nullptr, true, true, PAL, BY_SOURCE},
        {10094, L"svcd", L".mpg", L".mpeg2", nullptr, true, false, AUTO, BY_SOURCE},
        {10103, L"svcd", L".mpg", L".mpeg2", nullptr, true, true, PREFER_NTSC, TV},
        {10109, L"dv", L".dv", L".dv", nullptr, false, false, PREFER_PAL, BY_SOURCE},
        {10116, L"dv50", L".dv", L".dv50", nullptr, false, false, PAL, BY_SOURCE},
        {10117, L"rawvideo", L".raw", L".raw", L"rawvideo", false, false, AUTO, BY_SOURCE},
        {10119, L"msmpeg4v2", L".avi", L".divx3", nullptr, false, true, AUTO, BY_SOURCE},
        {10120, L"mpeg4", L".avi", L".divx5", nullptr, false, false, AUTO, BY_SOURCE},
        {10203, L"wmv2", L".wmv", L".wmv9", nullptr, false, true, AUTO, BY_SOURCE},
        {10210, L"rv10", L".rm", L".rv10", nullptr, false, false, AUTO, BY_SOURCE},
        {10313, L"libx264", L".swf", L".x264", nullptr, true, false, AUTO, BY_SOURCE},
        {10400, L"libvpx", L".webm", L".vp8", L"webm", false, false, AUTO, BY_SOURCE},
        {10554, L"libxvid", L".mov", L".xvid", nullptr, true, true, AUTO, BY_SOURCE},
        {10632, L"libx265", L".avi", L".x265", L"mp4", false, true, AUTO, BY_SOURCE},
        {10812, L"libxvid", L".mp4", L".xvid", L"psp", true, true, AUTO, BY_SOURCE},
        {10803, nullptr, L".avi", L"", nullptr, false, false, AUTO, BY_SOURCE},
        {10029, nullptr, L".avi", L"", nullptr, false, false, AUTO, BY_SOURCE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        const wchar_t* codec = VideoPresets::codecForPreset(row.id);
        EXPECT_EQ(std::wstring(codec != nullptr ? codec : L"(none)"), row.codec != nullptr ? row.codec : L"(none)");
        int32_t id = row.id, format = 7;
        uint8_t twoPass = 1;
        EXPECT_STREQ(VideoPresets::videoOutputExtension(id, L".avi", L"avi", format, twoPass), row.extension);
        EXPECT_EQ(id, row.id);
        EXPECT_EQ(format, 7);
        EXPECT_STREQ(VideoPresets::presetNameSuffix(codec, row.id), row.tag);
        const wchar_t* muxer = VideoPresets::fixedContainer(row.id);
        EXPECT_EQ(std::wstring(muxer != nullptr ? muxer : L"(none)"),
                  row.container != nullptr ? row.container : L"(none)");
        const VideoPresets::Flags flags = VideoPresets::presetFlags(row.id);
        EXPECT_EQ(flags.shortGop, row.shortGop);
        EXPECT_EQ(flags.extraEffort, row.extraEffort);
        EXPECT_EQ(flags.tvSystem, row.tv);
        EXPECT_EQ(flags.aspectKind, row.aspect);
    }
}

TEST(VideoPresets, SameAsSourceIdsBecomeConcretePresets) {
    const struct {
        int32_t id;
        const wchar_t* extension;
        const wchar_t* container;
        int32_t preset, format;
        uint8_t twoPass;
        const wchar_t* output;
    } rows[] = {
        {VideoPresets::SAME_AS_SOURCE_X265, L".AVI", L"", 17024, 6, 1, L".avi"},
        {VideoPresets::SAME_AS_SOURCE_X265, L".flv", L"flv", 17027, 5, 1, L".mp4"},
        {VideoPresets::SAME_AS_SOURCE_XVID, L".flv", L"flv", 10304, 18, 0, L".flv"},
        {VideoPresets::SAME_AS_SOURCE_MPEG4, L".xyz", L"flv", 10301, 18, 1, L".flv"},
        {VideoPresets::SAME_AS_SOURCE_X264, L".webm", L"matroska,webm", 10026, 5, 1, L".mkv"},
        {VideoPresets::SAME_AS_SOURCE_XVID, L".mov", L"mov,mp4,m4a,3gp,3g2,mj2", 10556, 5, 1, L".mp4"},
        {VideoPresets::SAME_AS_SOURCE_MPEG4, L".mp4", L"avi", 10003, 6, 1, L".avi"},  // rows are tried in order
        {VideoPresets::SAME_AS_SOURCE_X264, L".vob", L"mpeg", 10024, 6, 1, L".avi"},
        {VideoPresets::SAME_AS_SOURCE_X264, nullptr, nullptr, 10024, 6, 1, L".avi"},
    };
    for (const auto& row : rows) {
        int32_t id = row.id, format = 21;
        uint8_t twoPass = 1;
        EXPECT_STREQ(VideoPresets::videoOutputExtension(id, row.extension, row.container, format, twoPass),
                     row.output);
        EXPECT_EQ(id, row.preset) << row.id;
        EXPECT_EQ(format, row.format) << row.id;
        EXPECT_EQ(twoPass, row.twoPass) << row.id;
    }
}

TEST(VideoPresets, AudioTagsOfVideoNamesAndVideoOnlyAudioFormats) {
    const struct {
        const wchar_t* encoder;
        const wchar_t* tag;
    } tags[] = {
        {L"aac", L".aac"},           {L"libopencore_amrnb", L".amr"}, {L"pcm_s16be", L".pcm-s16be"},
        {L"pcm_u8", L".pcm-u8"},     {L"pcm_alaw", L".pcm-aLaw"},      {L"pcm_mulaw", L".pcm-uLaw"},
        {L"adpcm_yamaha", L".adpcm-Yamaha"}, {L"libmp3lame", L".mp3"}, {L"libvorbis", L".vorbis"},
        {L"wmav2", L".wma2"},        {L"sonicls", L".sonic-ls"},       {L"adpcm_ima_qt", L".adpcm-ima-qt"},
        {L"libgsm_ms", L".gsm-ms"},  {L"opus", L""},                   {nullptr, L""},
    };
    for (const auto& row : tags) {
        EXPECT_STREQ(VideoPresets::audioFormatNameSuffix(row.encoder), row.tag);
    }
    const struct {
        int32_t id;
        const wchar_t* encoder;
    } formats[] = {{201, L"adpcm_adx"}, {202, L"alac"}, {205, L"libgsm"}, {209, L"sonic"}, {211, L"adpcm_swf"}};
    for (const auto& row : formats) {
        EXPECT_STREQ(FormatTable::audioCodecForFormat(row.id, 16), row.encoder) << row.id;
    }
}

TEST(VideoPresets, VideoStreamCopyRule) {
    const struct {
        const wchar_t* codec;  // null: a file without pictures
        const wchar_t* extension;
        int32_t quality, width, height, frameRate;
        bool copy;
    } rows[] = {
        {L"h264", L".mkv", 101, 0, 0, 0, true},
        {L"h264", L".flv", 9, 0, 0, 0, true},
        {L"h264", L".mkv", 104, 1280, 0, 0, true},  // one side alone changes nothing
        {L"h264", L".mkv", 105, 0, 0, 0, true},
        {L"h264", L".mkv", 0, 0, 0, 0, false},
        {L"h264", L".mkv", -1, 0, 0, 0, true},
        {L"h264", L".mkv", 106, 0, 0, 0, false},
        {L"h264", L".mkv", 101, 1280, 720, 0, false},
        {L"h264", L".mkv", 101, 0, 0, 25000, false},
        {L"h264", L".mpg", 101, 0, 0, 0, false},
        {L"Unknown", L".m4v", 101, 0, 0, 0, true},
        {L"mpeg4", L".flv", 101, 0, 0, 0, false},
        {L"mpeg2video", L".ts", 101, 0, 0, 0, true},
        {L"theora", L".ogv", 101, 0, 0, 0, true},
        {L"flv", L".swf", 101, 0, 0, 0, true},
        {L"vp8", L".webm", 101, 0, 0, 0, false},
        {nullptr, L".mkv", 101, 0, 0, 0, false},
    };
    for (const auto& row : rows) {
        Held<VideoInfo> info(VideoInfo::pool());
        if (row.codec != nullptr) {
            addStream(info.get(), videoStream(row.codec));
        }
        Setting setting;
        setting.videoQuality = row.quality;
        setting.width = row.width;
        setting.height = row.height;
        setting.frameRate = row.frameRate;
        EXPECT_EQ(setting.canCopyVideoStream(info.get(), row.extension), row.copy)
            << (row.codec ? row.codec : L"none") << L" " << row.extension << L" " << row.quality;
    }
}
