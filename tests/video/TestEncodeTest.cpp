// Two-second test encodes of a generated clip, chosen in the converter dialog's preset
// panels and converted on the in-process road; ffprobe.exe judges the results.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "PanelFixture.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/FfmpegLocator.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "support/ChildProcess.h"
#include "support/RawFile.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/TextField.h"

using s::ffmpeg::FfmpegLocator;
using s::sound::ffmpeg::JobLoop;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::sound::gui::dialogs::mp3conv::VideoControls;
using s::str::strbuffer::StrBuffer;

namespace {

// The worker's view of one batch: a copy of the dialog's job record, one queued file.
class BatchHost : public s::sound::ffmpeg::IJobDialog {
public:
    BatchHost() { InitializeCriticalSection(&lock_); }
    ~BatchHost() override { DeleteCriticalSection(&lock_); }
    void lockQueue() override { EnterCriticalSection(&lock_); }
    void unlockQueue() override { LeaveCriticalSection(&lock_); }
    int32_t queueCount() override { return 1; }
    const wchar_t* queuedPath(int32_t) override { return input.c_str(); }
    void setCurrentIndex(int32_t) override {}
    const std::atomic<uint8_t>* cancelFlag() override { return &cancel_; }
    const wchar_t* outputFolder() override { return folder.c_str(); }
    const Setting* setting() override { return &job; }
    void setLastFileSucceeded(bool ok) override { succeeded = ok; }
    StrBuffer* jobLog() override { return log.get(); }
    void setExternalRun(bool isExternal) override { external = isExternal; }
    intptr_t sendWorkerEvent(const wchar_t* name, intptr_t, intptr_t, const wchar_t* text) override {
        if (wcscmp(name, L"ReportError") == 0) {
            errorStatus = text != nullptr ? text : L"";
        } else if (wcscmp(name, L"ProcessStatusUpdate") == 0 && text != nullptr) {
            outputName = text;
        }
        return 0;
    }
    int32_t updateWorkerPriority(bool) override { return 1; }
    bool wantsIdlePriority() override { return false; }
    s::sound::ffmpeg::ITaskbarProgress* taskbar() override { return nullptr; }

    std::wstring input, folder, errorStatus, outputName;
    Setting job;
    s::thread::Held<StrBuffer> log{StrBuffer::pool()};
    bool succeeded = false;
    bool external = true;

private:
    CRITICAL_SECTION lock_;
    std::atomic<uint8_t> cancel_{0};
};

int WINAPI refuseBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    ADD_FAILURE() << "message box: " << std::string(text, text + wcslen(text));
    return IDOK;
}

std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

class TestEncodeRun : public videotest::PanelDialogTest {
protected:
    static void SetUpTestSuite() {
        s::system::win::MessageBoxSeam::set(&refuseBox);
        loaded_ = s::ffmpeg::loadFfmpegLibraries();
        if (loaded_) {
            s::ffmpeg::FfmpegLog::install();
        }
        media_ = testsupport::freshTempFolder(L"testencode-media");
        // Six seconds each, at 25 fps with stereo sound: a 16:9 and a 4:3 picture.
        made_ = true;
        for (const wchar_t* size : {L"640x360", L"320x240"}) {
            const std::wstring command = std::wstring(L"\"" FFMPEG_TOOLS_DIR L"\\ffmpeg.exe\" -hide_banner ") +
                                         L"-loglevel error -y -f lavfi -i testsrc=size=" + size +
                                         L":rate=25:duration=6 -f lavfi -i sine=frequency=440:sample_rate=44100:"
                                         L"duration=6 -ac 2 -c:v mpeg4 -c:a aac -b:a 128k clip" + size + L".mp4";
            std::string output;
            made_ = made_ && testsupport::runCaptured(command, media_, output) == 0;
        }
    }
    static void TearDownTestSuite() {
        testsupport::removeTree(media_);
        s::system::win::MessageBoxSeam::set(nullptr);
    }
    void SetUp() override {
        videotest::PanelDialogTest::SetUp();
        ASSERT_TRUE(loaded_) << "FFmpeg libraries not bound";
        ASSERT_TRUE(made_) << "ffmpeg.exe could not make the clips";
        // No ffmpeg.exe anywhere: every run stays in this process.
        empty_ = testsupport::freshTempFolder(L"testencode-noffmpeg");
        sources_ = {empty_.c_str(), HKEY_CURRENT_USER, L"Software\\BrisqueltonTestEncode\\none", HKEY_CURRENT_USER,
                    L"Software\\BrisqueltonTestEncode\\none", L"Software\\BrisqueltonTestEncode\\none"};
        FfmpegLocator::inject(&sources_);
        previousRunner_ = JobLoop::setInProcessRunner(&s::ffmpeg::runFfmpegInProcess);
        open(2);
    }
    void TearDown() override {
        JobLoop::setInProcessRunner(previousRunner_);
        FfmpegLocator::inject(nullptr);
        testsupport::removeTree(empty_);
        videotest::PanelDialogTest::TearDown();
    }

    // Ticks the preset's test row for two seconds and converts the clip of size.
    void encode(int32_t preset, const wchar_t* size, BatchHost* host) {
        showPanel(preset);
        const VideoControls& v = dialog_->videoControls();
        ASSERT_NE(v.test, nullptr);
        v.test->setCheckedQuietly(true);
        v.testSeconds->setText(L"2", false);
        ASSERT_TRUE(dialog_->fillSetting(preset));
        host->job.assign(*dialog_->jobSetting());
        host->input = media_ + L"\\clip" + size + L".mp4";
        host->folder = testsupport::freshTempFolder(L"testencode-out");
        JobLoop::runQueue(host);
    }

    // ffprobe.exe's answers for the first video and audio streams and the container.
    static std::map<std::string, std::string> probe(const std::wstring& file) {
        std::string output;
        const std::wstring command = L"\"" FFMPEG_TOOLS_DIR L"\\ffprobe.exe\" -v error -show_entries "
                                     L"stream=codec_name,codec_type,width,height:format=duration -of flat \"" +
                                     file + L"\"";
        std::map<std::string, std::string> raw, values;
        if (testsupport::runCaptured(command, media_, output) != 0) {
            return values;
        }
        std::istringstream lines(output);
        std::string line;
        while (std::getline(lines, line)) {
            const size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            std::string value = line.substr(eq + 1);
            while (!value.empty() && (value.back() == '\r' || value.back() == '"')) value.pop_back();
            if (!value.empty() && value.front() == '"') value.erase(0, 1);
            raw[line.substr(0, eq)] = value;
        }
        values["duration"] = raw["format.duration"];
        for (const char* kind : {"video", "audio"}) {
            for (int i = 0; i < 8; ++i) {
                const std::string stream = "streams.stream." + std::to_string(i) + ".";
                if (raw[stream + "codec_type"] != kind) continue;
                values[std::string(kind)] = raw[stream + "codec_name"];
                if (std::string(kind) == "video") values["size"] = raw[stream + "width"] + "x" + raw[stream + "height"];
                break;
            }
        }
        return values;
    }

    static inline bool loaded_ = false;
    static inline bool made_ = false;
    static inline std::wstring media_;

private:
    std::wstring empty_;
    FfmpegLocator::Sources sources_{};
    s::sound::ffmpeg::InProcessRunner previousRunner_ = nullptr;
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
        BatchHost host;
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
        BatchHost host;
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
    BatchHost host;
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
