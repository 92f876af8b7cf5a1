// Video presets converted from end to end on the in-process road: the job loop names
// the output, builds the commands and runs them through the program's own transcoder;
// ffprobe.exe judges the results.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/fftools/MediaProber.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "support/ChildProcess.h"
#include "support/FfmpegTools.h"
#include "support/InProcessRoad.h"
#include "support/JobHost.h"
#include "support/RawFile.h"
#include "support/Seams.h"

using s::sound::ffmpeg::JobLoop;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::str::strbuffer::StrBuffer;
using testsupport::answer;
using testsupport::narrow;

namespace {

// The converter dialog as the loop needs it; notes whether the two-pass statistics were
// in the working folder whenever progress came.
class VideoDialog : public testsupport::JobHost {
public:
    intptr_t sendWorkerEvent(const wchar_t* name, intptr_t value1, intptr_t value2, const wchar_t* text) override {
        if (wcscmp(name, L"ProcessStatusUpdate") == 0 &&
            GetFileAttributesW((folder + L"\\Pass1.TMP~\\ffmpeg2pass-0.log").c_str()) != INVALID_FILE_ATTRIBUTES) {
            statsSeen = true;
        }
        return JobHost::sendWorkerEvent(name, value1, value2, text);
    }

    bool statsSeen = false;
};

class VideoJobRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loaded_ = testsupport::InProcessRoad::bind(L"videojob-media", media_);
        // Two seconds of a 16:9 picture at 25 fps with stereo sound, larger than the disc
        // frames (a pad alone would fail on it).
        made_ = testsupport::makeMedia(L"-f lavfi -i testsrc=size=960x540:rate=25:duration=2 "
                                       L"-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 "
                                       L"-ac 2 -c:v mpeg4 -c:a aac -b:a 128k wide.mp4",
                                       media_);
    }
    static void TearDownTestSuite() { testsupport::InProcessRoad::unbind(media_); }

    void SetUp() override {
        ASSERT_TRUE(loaded_) << "FFmpeg libraries not bound";
        ASSERT_TRUE(made_) << "ffmpeg.exe could not make the clip";
        // No ffmpeg.exe anywhere: every run stays in this process.
        road_.emplace(L"videojob-noffmpeg");
    }
    void TearDown() override { road_.reset(); }

    // ffprobe.exe's answers: "stream.N.key" and "format.key", and the first picture and
    // sound streams' as "video." and "audio.".
    static std::map<std::string, std::string> probe(const std::wstring& file) {
        std::map<std::string, std::string> values = testsupport::probeFile(
            file, L"stream=codec_name,codec_type,width,height,display_aspect_ratio,r_frame_rate,sample_rate,"
                  L"channels:format=format_name,duration");
        for (const char* kind : {"video", "audio"}) {
            const std::string stream = testsupport::firstStream(values, kind);
            if (stream.empty()) continue;
            for (const char* field : {"codec_name", "width", "height", "display_aspect_ratio", "r_frame_rate"}) {
                values[std::string(kind) + "." + field] = values[stream + field];
            }
        }
        return values;
    }

    static std::wstring clip() { return media_ + L"\\wide.mp4"; }

    static inline bool loaded_ = false;
    static inline bool made_ = false;
    static inline std::wstring media_;

private:
    std::optional<testsupport::InProcessRoad> road_;
};

// "16:9" as a number; 0 for anything else.
double ratio(const std::string& text) {
    const size_t colon = text.find(':');
    const double below = colon != std::string::npos ? atof(text.c_str() + colon + 1) : 0;
    return below > 0 ? atof(text.c_str()) / below : 0;
}

} // namespace

TEST_F(VideoJobRun, PresetsConvertOnTheInProcessRoad) {
    const struct {
        const char* what;
        int32_t preset, format;
        int32_t width, height;
        uint8_t keepSize;
        int32_t sampleRate, channels, bitRate;
        const wchar_t* name;  // of the output
        const char* video;
        const char* size;     // "WxH"
        const char* shape;    // display aspect ratio; null: not checked
        const char* audio;    // null: no sound stream
    } rows[] = {
        {"DVD target, PAL", 10033, 0, 0, 0, 0, 0, 0, 0, L"wide.mpeg2.mpg", "mpeg2video", "720x576", "16:9", "ac3"},
        {"DVD in 4:3, the 16:9 picture letterboxed", 10051, 0, 0, 0, 0, 0, 0, 0, L"wide.mpeg2.mpg", "mpeg2video",
         "720x576", "4:3", "ac3"},
        {"VCD of the 16:9 clip, letterboxed", 10079, 0, 0, 0, 0, 0, 0, 0, L"wide.mpeg1.mpg", "mpeg1video", "352x288",
         "4:3", "mp2"},
        {"DV, PAL", 10107, 0, 0, 0, 0, 0, 0, 0, L"wide.dv.dv", "dvvideo", "720x576", nullptr, "pcm_s16le"},
        {"H.263 3GP with AMR sound", 10074, 8, 176, 144, 1, 8000, 1, 12200, L"wide.144p.h263.amr.3gp", "h263",
         "176x144", nullptr, "amr_nb"},
        {"FLV1 pictures and MP3 sound in SWF", 10311, 18, 0, 0, 0, 0, 0, 0, L"wide.flv.mp3.swf", "flv1", "960x540",
         nullptr, "mp3"},
        {"RealVideo at a size of multiples of 16", 10210, 0, 0, 0, 0, 0, 0, 0, L"wide.rv10.rm", "rv10", "944x528",
         nullptr, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        VideoDialog dialog;
        const std::wstring out = testsupport::freshTempFolder(L"videojob-out");
        dialog.folder = out;
        dialog.queue.push_back(clip());
        dialog.job.outputId = row.preset;
        dialog.job.formatId = row.format;
        dialog.job.width = row.width;
        dialog.job.height = row.height;
        dialog.job.presetPictureSize = row.keepSize;
        dialog.job.sampleRate = row.sampleRate;
        dialog.job.channels = row.channels;
        dialog.job.bitRate = row.bitRate;
        JobLoop::runQueue(&dialog);

        EXPECT_TRUE(dialog.succeeded) << narrow(dialog.log->c_str());
        EXPECT_FALSE(dialog.external);
        EXPECT_EQ(dialog.outputName, row.name);
        const auto got = probe(out + L"\\" + row.name);
        EXPECT_EQ(answer(got, "video.codec_name"), row.video) << narrow(dialog.log->c_str());
        EXPECT_EQ(answer(got, "video.width") + "x" + answer(got, "video.height"), row.size);
        if (row.shape != nullptr) {
            // MPEG-1 stores the nearest pixel shape of a fixed table.
            EXPECT_NEAR(ratio(answer(got, "video.display_aspect_ratio")), ratio(row.shape), 0.01);
        }
        EXPECT_EQ(answer(got, "audio.codec_name"), row.audio != nullptr ? row.audio : "(none)");
        // SWF files carry no length of their own.
        if (answer(got, "format.duration") != "N/A") {
            EXPECT_NEAR(atof(answer(got, "format.duration").c_str()), 2.0, 0.3);
        }
        EXPECT_FALSE(testsupport::readRaw(out + L"\\_error.txt").size() > 0);
        testsupport::removeTree(out);
    }
}

TEST_F(VideoJobRun, TwoPassMpeg4AviWorksInItsOwnFolder) {
    const struct {
        const char* what;
        int32_t frameRate;  // thousandths; 0: the source's
        const char* rate;   // ffprobe's r_frame_rate
    } rows[] = {
        {"at the source's rate", 0, "25/1"},
        {"at a lower rate", 15000, "15/1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        VideoDialog dialog;
        const std::wstring out = testsupport::freshTempFolder(L"videojob-twopass");
        dialog.folder = out;
        dialog.queue.push_back(clip());
        dialog.job.outputId = 10003;  // MPEG-4 AVI
        dialog.job.formatId = 6;      // AC-3 sound
        dialog.job.videoBitRate = 300000;
        dialog.job.twoPass = 1;
        dialog.job.frameRate = row.frameRate;
        JobLoop::runQueue(&dialog);

        const std::wstring log = dialog.log->c_str();
        EXPECT_TRUE(dialog.succeeded) << narrow(log);
        // Pass 1 writes no file of its own; its statistics went to the working folder,
        // which is gone afterwards.
        const size_t first = log.find(L" -pass 1 ");
        const size_t second = log.find(L" -pass 2 ");
        ASSERT_NE(first, std::wstring::npos) << narrow(log);
        ASSERT_NE(second, std::wstring::npos) << narrow(log);
        const size_t firstEnd = log.find(L'\n', first);
        EXPECT_EQ(log.substr(firstEnd - 5, 5), L" NUL ") << narrow(log.substr(first, firstEnd - first));
        EXPECT_TRUE(dialog.statsSeen);
        EXPECT_EQ(GetFileAttributesW((out + L"\\Pass1.TMP~").c_str()), INVALID_FILE_ATTRIBUTES);
        // Neither pass has anything to warn about.
        EXPECT_EQ(log.find(L"not an input option"), std::wstring::npos) << narrow(log);

        const auto got = probe(out + L"\\wide.mpeg4.ac3.avi");
        EXPECT_EQ(answer(got, "video.codec_name"), "mpeg4");
        EXPECT_EQ(answer(got, "video.width"), "960");
        EXPECT_EQ(answer(got, "video.r_frame_rate"), row.rate);
        EXPECT_EQ(answer(got, "audio.codec_name"), "ac3");
        EXPECT_NEAR(atof(answer(got, "format.duration").c_str()), 2.0, 0.3);
        testsupport::removeTree(out);
    }
}

TEST_F(VideoJobRun, PresetsThisFfmpegCannotWriteFailAndSayWhy) {
    const struct {
        int32_t preset, format;
        const wchar_t* output;
        std::vector<const char*> told;  // in "_error.txt"
        bool swfNote;
    } rows[] = {
        {10020, 5, L"wide.x264.aac.mp4", {"-vcodec libx264 -threads 0 -preset medium", "have no encoder 'libx264'"}, false},
        {17020, 0, L"wide.x265.mp4", {"-vcodec libx265", "have no encoder 'libx265'"}, false},
        {10400, 21, L"wide.vp8.vorbis.webm", {"-vcodec libvpx", "have no encoder 'libvpx'"}, false},
        {10059, 21, L"wide.theora.vorbis.ogg", {"-vcodec libtheora", "have no encoder 'libtheora'"}, false},
        {10313, 18, L"wide.x264.mp3.swf", {"have no encoder 'libx264'", "SWF file takes only FLV1"}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.preset);
        VideoDialog dialog;
        const std::wstring out = testsupport::freshTempFolder(L"videojob-missing");
        dialog.folder = out;
        dialog.queue.push_back(clip());
        dialog.job.outputId = row.preset;
        dialog.job.formatId = row.format;
        JobLoop::runQueue(&dialog);

        EXPECT_FALSE(dialog.succeeded);
        EXPECT_EQ(dialog.errorStatus, L"1");
        EXPECT_EQ(dialog.outputName, row.output);
        const std::string saved = testsupport::readRaw(out + L"\\_error.txt");
        for (const char* text : row.told) {
            EXPECT_NE(saved.find(text), std::string::npos) << text << "\n" << saved;
        }
        EXPECT_EQ(saved.find("SWF file") != std::string::npos, row.swfNote);
        EXPECT_EQ(GetFileAttributesW((out + L"\\" + row.output).c_str()), INVALID_FILE_ATTRIBUTES);
        testsupport::removeTree(out);
    }
}

// The same letterboxing through ffmpeg.exe: the disc frames come out whole there too.
TEST_F(VideoJobRun, DiscLetterboxesAlsoConvertWithFfmpegExe) {
    const struct {
        int32_t preset;
        const char* video;
        const char* size;
    } rows[] = {{10079, "mpeg1video", "352x288"}, {10051, "mpeg2video", "720x576"}, {10099, "mpeg2video", "480x576"}};
    s::thread::Held<s::video::VideoInfo> info(s::fftools::probeMediaFile(clip().c_str()));
    ASSERT_TRUE(info);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.preset);
        const std::wstring out = testsupport::freshTempFolder(L"videojob-exe");
        Setting setting;
        setting.outputId = row.preset;
        s::thread::Held<StrBuffer> command(s::sound::ffmpeg::CommandBuilder::buildFfmpegCommand(
            &setting, info.get(), clip().c_str(), (out + L"\\disc.mpg").c_str(), FFMPEG_TOOLS_DIR L"\\ffmpeg.exe", true,
            0, false, false, nullptr, nullptr));
        ASSERT_TRUE(command);
        EXPECT_NE(std::wstring(command->c_str()).find(L",pad="), std::wstring::npos) << narrow(command->c_str());
        std::string said;
        EXPECT_EQ(testsupport::runCaptured(command->c_str(), out, said), 0) << said;
        const auto got = probe(out + L"\\disc.mpg");
        EXPECT_EQ(answer(got, "video.codec_name"), row.video) << said;
        EXPECT_EQ(answer(got, "video.width") + "x" + answer(got, "video.height"), row.size);
        testsupport::removeTree(out);
    }
}
