// Two-second test encodes of a generated clip, chosen in the converter dialog's preset
// panels and converted on the in-process road; ffprobe.exe judges the results.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PanelFixture.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "support/ChildProcess.h"
#include "support/FfmpegTools.h"
#include "support/InProcessRoad.h"
#include "support/JobHost.h"
#include "support/RawFile.h"
#include "support/Seams.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/TextField.h"

using s::sound::ffmpeg::JobLoop;
using s::sound::gui::dialogs::mp3conv::VideoControls;
using testsupport::JobHost;
using testsupport::narrow;

namespace {

class TestEncodeRun : public videotest::PanelDialogTest {
protected:
    static void SetUpTestSuite() {
        loaded_ = testsupport::InProcessRoad::bind(L"testencode-media", media_);
        // Six seconds each, at 25 fps with stereo sound: a 16:9 and a 4:3 picture.
        made_ = true;
        for (const wchar_t* size : {L"640x360", L"320x240"}) {
            made_ = made_ && testsupport::makeMedia(std::wstring(L"-f lavfi -i testsrc=size=") + size +
                                                        L":rate=25:duration=6 -f lavfi -i sine=frequency=440:"
                                                        L"sample_rate=44100:duration=6 -ac 2 -c:v mpeg4 -c:a aac "
                                                        L"-b:a 128k clip" + size + L".mp4",
                                                    media_);
        }
    }
    static void TearDownTestSuite() { testsupport::InProcessRoad::unbind(media_); }
    void SetUp() override {
        videotest::PanelDialogTest::SetUp();
        ASSERT_TRUE(loaded_) << "FFmpeg libraries not bound";
        ASSERT_TRUE(made_) << "ffmpeg.exe could not make the clips";
        // No ffmpeg.exe anywhere: every run stays in this process.
        road_.emplace(L"testencode-noffmpeg");
        open(2);
    }
    void TearDown() override {
        road_.reset();
        videotest::PanelDialogTest::TearDown();
    }

    // Ticks the preset's test row for two seconds and converts the clip of size.
    void encode(int32_t preset, const wchar_t* size, JobHost* host) {
        showPanel(preset);
        const VideoControls& v = dialog_->videoControls();
        ASSERT_NE(v.test, nullptr);
        v.test->setCheckedQuietly(true);
        v.testSeconds->setText(L"2", false);
        ASSERT_TRUE(dialog_->fillSetting(preset));
        host->job.assign(*dialog_->jobSetting());
        host->queue = {media_ + L"\\clip" + size + L".mp4"};
        host->folder = testsupport::freshTempFolder(L"testencode-out");
        JobLoop::runQueue(host);
    }

    // ffprobe.exe's answers for the first video and audio streams and the container.
    static std::map<std::string, std::string> probe(const std::wstring& file) {
        const std::map<std::string, std::string> raw =
            testsupport::probeFile(file, L"stream=codec_name,codec_type,width,height:format=duration");
        std::map<std::string, std::string> values;
        if (raw.empty()) return values;
        values["duration"] = testsupport::answer(raw, "format.duration");
        for (const char* kind : {"video", "audio"}) {
            const std::string stream = testsupport::firstStream(raw, kind);
            if (stream.empty()) continue;
            values[kind] = raw.at(stream + "codec_name");
            if (std::string(kind) == "video") {
                values["size"] = testsupport::answer(raw, stream + "width") + "x" + testsupport::answer(raw, stream + "height");
            }
        }
        return values;
    }

    static inline bool loaded_ = false;
    static inline bool made_ = false;
    static inline std::wstring media_;

private:
    std::optional<testsupport::InProcessRoad> road_;
};

} // namespace

TEST_F(TestEncodeRun, PresetsMakeTwoSecondTestFiles) {
    const struct {
        const char* what;
        int32_t preset;
        const wchar_t* source;
        const char *video, *size, *audio;
    } rows[] = {
        {"MPEG-4 AVI", 10003, L"640x360", "mpeg4", "640x360", "mp3"},
        {"H.263 3GP with AMR", 10074, L"640x360", "h263", "176x144", "amr_nb"},
        {"VCD from 16:9", 10079, L"640x360", "mpeg1video", "352x288", "mp2"},
        {"VCD from 4:3", 10079, L"320x240", "mpeg1video", "352x288", "mp2"},
        {"SVCD", 10089, L"640x360", "mpeg2video", "480x576", "mp2"},
        {"DVD", 10033, L"640x360", "mpeg2video", "720x576", "ac3"},
        {"DV", 10107, L"640x360", "dvvideo", "720x576", "pcm_s16le"},
        {"WMV", 10200, L"640x360", "wmv1", "640x360", "wmav2"},
        {"FLV", 10301, L"640x360", "flv1", "640x360", "mp3"},
        {"MPEG-2 TS", 10061, L"640x360", "mpeg2video", "640x360", "ac3"},
        {"PSP", 10801, L"640x360", "mpeg4", "368x192", "aac"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        JobHost host;
        encode(row.preset, row.source, &host);
        EXPECT_TRUE(host.succeeded) << narrow(host.log->c_str());
        EXPECT_EQ(host.errorStatus, L"");
        EXPECT_FALSE(host.external);
        EXPECT_NE(host.outputName.find(L".=TEST="), std::wstring::npos) << narrow(host.outputName);
        const auto got = probe(host.folder + L"\\" + host.outputName);
        EXPECT_EQ(got.count("video") ? got.at("video") : "(none)", row.video) << narrow(host.log->c_str());
        EXPECT_EQ(got.count("size") ? got.at("size") : "(none)", row.size);
        EXPECT_EQ(got.count("audio") ? got.at("audio") : "(none)", row.audio);
        EXPECT_NEAR(atof(got.count("duration") ? got.at("duration").c_str() : "0"), 2.0, 0.25);
        EXPECT_TRUE(testsupport::readRaw(host.folder + L"\\_error.txt").empty());
        testsupport::removeTree(host.folder);
    }
}

TEST_F(TestEncodeRun, PresetsWithoutTheirEncoderFailWithALog) {
    for (int32_t preset : {10059, 10400}) {
        SCOPED_TRACE(preset);
        JobHost host;
        encode(preset, L"640x360", &host);
        EXPECT_FALSE(host.succeeded);
        EXPECT_EQ(host.errorStatus, L"1");
        EXPECT_FALSE(testsupport::readRaw(host.folder + L"\\_error.txt").empty());
        testsupport::removeTree(host.folder);
    }
}

TEST_F(TestEncodeRun, TwoPassMpeg4TestLeavesNoPassFolder) {
    showPanel(10003);
    choose(dialog_->videoControls().videoCodec, 18);  // the alternative encoder in two passes
    // A picture size of its own, so the clip's MPEG-4 pictures are encoded, not copied.
    s::gui::win::ComboBox* sizes = dialog_->videoControls().sizeList;
    ASSERT_NE(sizes, nullptr);
    int32_t size = 0;
    for (int32_t i = 0; i < sizes->getItemCount() && size == 0; ++i) {
        const int32_t value = sizes->getItem(i)->value;
        size = value > (320 << 16) && value < (1 << 30) && (value >> 16) < 640 ? value : 0;
    }
    ASSERT_NE(size, 0);
    choose(sizes, size);
    JobHost host;
    encode(10003, L"640x360", &host);
    EXPECT_EQ(host.job.twoPass, 1);
    EXPECT_TRUE(host.succeeded) << narrow(host.log->c_str());
    EXPECT_NE(std::wstring(host.log->c_str()).find(L" -pass 2 "), std::wstring::npos) << narrow(host.log->c_str());
    EXPECT_NE(host.outputName.find(L".=TEST="), std::wstring::npos);
    EXPECT_EQ(GetFileAttributesW((host.folder + L"\\Pass1.TMP~").c_str()), INVALID_FILE_ATTRIBUTES);
    const auto got = probe(host.folder + L"\\" + host.outputName);
    EXPECT_EQ(got.count("video") ? got.at("video") : "(none)", "mpeg4");
    // The chosen width; the height keeps the clip's shape.
    EXPECT_EQ((got.count("size") ? got.at("size") : "(none)").rfind(std::to_string(size >> 16) + "x", 0), 0u);
    EXPECT_NEAR(atof(got.count("duration") ? got.at("duration").c_str() : "0"), 2.0, 0.25);
    testsupport::removeTree(host.folder);
}
