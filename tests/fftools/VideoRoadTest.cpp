#include "fftools/TranscoderRuns.h"

using namespace fftoolstest;
using s::video::StreamInfo;

// The video road: scaling and frame-rate changes through the graph, copies, dropping a
// kind of stream.
TEST_F(TranscodeRun, VideoThroughTheGraph) {
    const struct {
        std::vector<std::string> options;
        const wchar_t* output;
        const char* videoCodec;  // null: no video stream
        int width, height;
        int frameRate;           // 0: not checked
        const char* audioCodec;  // null: no audio stream
    } cases[] = {
        {{"-vcodec", "mpeg4", "-s", "32x24", "-r", "10", "-acodec", "aac", "-f", "mp4"}, L"o.mp4", "mpeg4", 32, 24, 10,
         "aac"},
        {{"-vcodec", "mjpeg", "-an", "-f", "avi"}, L"o.avi", "mjpeg", 64, 48, 25, nullptr},
        {{"-codec:v", "copy", "-acodec", "libmp3lame", "-f", "avi"}, L"o.avi", "mpeg4", 64, 48, 25, "mp3"},
        {{"-vn", "-acodec", "libmp3lame", "-f", "mp3"}, L"o.mp3", nullptr, 0, 0, 0, "mp3"},
        {{"-vcodec", "mpeg4", "-aspect", "16:9", "-an", "-f", "mp4"}, L"o.mp4", "mpeg4", 64, 48, 0, nullptr},
    };
    for (const auto& c : cases) {
        Scratch out;
        std::vector<std::string> args{"-i", media().arg(L"clip.mp4"), "-y"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(out.arg(c.output));
        SCOPED_TRACE(c.options[0] + " " + c.options[1]);
        LogCapture::clear();
        ASSERT_EQ(0, runTranscoder(args)) << LogCapture::get();
        auto info = probe(out.path(c.output));
        const StreamInfo* video = info->firstStreamOfType(StreamInfo::TYPE_VIDEO);
        const StreamInfo* audio = info->firstStreamOfType(StreamInfo::TYPE_AUDIO);
        EXPECT_NEAR(2.0, info->duration / 1e6, 0.15);
        ASSERT_EQ(c.videoCodec != nullptr, video != nullptr);
        ASSERT_EQ(c.audioCodec != nullptr, audio != nullptr);
        if (video != nullptr) {
            EXPECT_EQ(c.videoCodec, narrow(video->codecName.c_str()));
            EXPECT_EQ(c.width, video->width);
            EXPECT_EQ(c.height, video->height);
            if (c.frameRate != 0 && video->realFrameRateDen != 0) {
                EXPECT_NEAR(c.frameRate, static_cast<double>(video->realFrameRateNum) / video->realFrameRateDen, 0.01);
            }
        }
        if (audio != nullptr) {
            EXPECT_EQ(c.audioCodec, narrow(audio->codecName.c_str()));
        }
    }
}

// Two passes: the first writes the statistics file in the working folder, the second
// reads it and encodes the video to about the asked rate.
TEST_F(TranscodeRun, TwoPassVideo) {
    Scratch out;
    const std::string prefix = out.arg(L"stats");
    for (const char* pass : {"1", "2"}) {
        const std::wstring name = std::wstring(L"o") + (pass[0] == '1' ? L"1" : L"2") + L".avi";
        ASSERT_EQ(0, runTranscoder({"-i", media().arg(L"clip.mp4"), "-y", "-an", "-vcodec", "mpeg4", "-b:v", "100k",
                                    "-pass", pass, "-passlogfile", prefix, "-f", "avi", out.arg(name)}))
            << pass << "\n" << LogCapture::get();
        if (pass[0] == '1') {
            const std::string stats = testsupport::readRaw(out.path(L"stats-0.log"));
            EXPECT_NE(std::string::npos, stats.find("in:0 ")) << "no first-pass statistics";
        }
    }
    auto info = probe(out.path(L"o2.avi"));
    ASSERT_NE(nullptr, info->firstStreamOfType(StreamInfo::TYPE_VIDEO));
    EXPECT_NEAR(2.0, info->duration / 1e6, 0.15);
}
