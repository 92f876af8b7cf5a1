#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "TranscoderFixture.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/fftools/SubtitleCanvas.h"
#include "support/ChildProcess.h"
#include "support/RawFile.h"

namespace {

// Two cues: 0.5 s to 1.0 s and 1.2 s to 1.8 s.
const char* const SRT = "1\r\n00:00:00,500 --> 00:00:01,000\r\nOne\r\n\r\n2\r\n00:00:01,200 --> 00:00:01,800\r\nTwo\r\n\r\n";

std::wstring tool(const wchar_t* name) {
    return std::wstring(L"\"") + FFMPEG_TOOLS_DIR + L"\\" + name + L"\"";
}

// The last report line FFmpeg printed (the program's own log leaves them out).
std::string lastReport;

void keepReport(void* avcl, int level, const char* fmt, va_list vl) {
    char line[1024];
    int prefix = 1;
    s::ffmpeg::av_log_format_line2(avcl, level, fmt, vl, line, sizeof line, &prefix);
    if (std::strncmp(line, "frame=", 6) == 0) lastReport = line;
}

} // namespace

class SubtitleTranscode : public TranscoderTest {
protected:
    // "subs.mkv": 2 s of 64x48 video with the cues as an SRT stream.
    static bool makeSubtitledClip() {
        if (exists(path(L"subs.mkv"))) return true;
        std::string output;
        return testsupport::writeRaw(path(L"subs.srt"), SRT) &&
               testsupport::runCaptured(tool(L"ffmpeg.exe") + L" -hide_banner -loglevel error -y -f lavfi -i "
                                        L"testsrc=size=64x48:rate=25:duration=2 -i subs.srt -c:v mpeg4 -c:s srt subs.mkv",
                                        folder_, output) == 0;
    }
    // "boxed.mkv": 2 s of black 64x48 video with one DVD subtitle, a red 16x8 box at
    // (8, 8) from 0.5 s to 1.5 s.
    static bool makeBitmapClip() {
        if (exists(path(L"boxed.mkv"))) return true;
        namespace f = s::ffmpeg;
        const AVCodec* codec = f::avcodec_find_encoder_by_name("dvdsub");
        AVCodecContext* enc = f::avcodec_alloc_context3(codec);
        enc->width = 64;
        enc->height = 48;
        enc->time_base = AVRational{1, 1000};
        if (f::avcodec_open2(enc, codec, nullptr) < 0) return false;
        uint8_t indices[16 * 8];
        std::memset(indices, 1, sizeof indices);
        uint32_t palette[4] = {0, 0xffff0000u, 0, 0};
        AVSubtitleRect rect = {};
        rect.type = SUBTITLE_BITMAP;
        rect.x = rect.y = 8;
        rect.w = 16;
        rect.h = 8;
        rect.nb_colors = 4;
        rect.data[0] = indices;
        rect.data[1] = reinterpret_cast<uint8_t*>(palette);
        rect.linesize[0] = 16;
        AVSubtitleRect* rects[1] = {&rect};
        AVSubtitle sub = {};
        sub.num_rects = 1;
        sub.rects = rects;
        sub.end_display_time = 1000;
        std::string packet(65536, '\0');
        const int size = f::avcodec_encode_subtitle(enc, reinterpret_cast<uint8_t*>(packet.data()), 65536, &sub);
        if (size <= 0) return false;
        AVFormatContext* oc = nullptr;
        if (f::avformat_alloc_output_context2(&oc, nullptr, "matroska", nullptr) < 0) return false;
        f::avcodec_parameters_from_context(f::avformat_new_stream(oc, nullptr)->codecpar, enc);  // the palette too
        f::avcodec_free_context(&enc);
        AVPacket* pkt = f::av_packet_alloc();
        f::av_new_packet(pkt, size);
        std::memcpy(pkt->data, packet.data(), static_cast<size_t>(size));
        pkt->pts = pkt->dts = 500;
        pkt->duration = 1000;
        const bool written = f::avio_open2(&oc->pb, utf8(L"box.mkv").c_str(), AVIO_FLAG_WRITE, nullptr, nullptr) >= 0 &&
                             f::avformat_write_header(oc, nullptr) >= 0 && f::av_interleaved_write_frame(oc, pkt) >= 0 &&
                             f::av_write_trailer(oc) >= 0;
        f::avio_closep(&oc->pb);
        f::avformat_free_context(oc);
        f::av_packet_free(&pkt);
        if (!written) return false;
        std::string output;
        const std::wstring ffmpeg = tool(L"ffmpeg.exe") + L" -hide_banner -loglevel error -y ";
        return testsupport::runCaptured(ffmpeg + L"-f lavfi -i color=c=black:s=64x48:d=2:r=25 -i box.mkv -map 0:v -map 1:s "
                                                 L"-c:v ffv1 -c:s copy boxed.mkv",
                                        folder_, output) == 0;
    }
    // "start duration" in seconds of every packet of the file's first subtitle stream.
    static std::vector<std::string> subtitlePackets(const std::wstring& file) {
        std::string output;
        testsupport::runCaptured(tool(L"ffprobe.exe") + L" -v error -select_streams s:0 -show_entries "
                                 L"packet=pts_time,duration_time -of csv=p=0 \"" + file + L"\"",
                                 folder_, output);
        std::vector<std::string> packets;
        std::istringstream lines(output);
        std::string line;
        while (std::getline(lines, line)) {
            double start = 0, duration = 0;
            if (std::sscanf(line.c_str(), "%lf,%lf", &start, &duration) == 2) {
                char text[64];
                std::snprintf(text, sizeof text, "%.2f %.2f", start, duration);
                packets.push_back(text);
            }
        }
        return packets;
    }
};

// Subtitles re-encoded: the chosen encoder's stream with each cue's start and length;
// "-t" drops the cues that start after it; a DVB subtitle takes a second, clearing
// packet at its end; text cannot become bitmaps.
TEST_F(SubtitleTranscode, EncodesWithDisplayTimes) {
    ASSERT_TRUE(makeSubtitledClip());
    ASSERT_TRUE(makeBitmapClip());
    const struct {
        const wchar_t* input;
        std::vector<std::string> options;
        const wchar_t* output;
        int result;
        const char* codec;
        std::vector<std::string> packets;
    } cases[] = {
        {L"subs.mkv", {"-c:s", "ass"}, L"o.mkv", 0, "ass", {"0.50 0.50", "1.20 0.60"}},
        {L"subs.mkv", {"-c:s", "srt", "-t", "1"}, L"o.mkv", 0, "subrip", {"0.50 0.50"}},
        // the MP4 muxer fills the gaps of a text track with empty samples
        {L"subs.mkv", {"-c:s", "mov_text", "-f", "mp4"}, L"o.mp4", 0, "mov_text",
         {"0.00 0.50", "0.50 0.50", "1.00 0.20", "1.20 0.60"}},
        // (the DVD source keeps its end in steps of 1024/90000 s: 0.99 s)
        {L"boxed.mkv", {"-c:s", "dvbsub"}, L"o.mkv", 0, "dvb_subtitle", {"0.50 0.99", "1.49 0.99"}},
        {L"subs.mkv", {"-c:s", "dvdsub"}, L"o.mkv", 1, nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options[1]);
        clearLog();
        std::vector<std::string> args{"-i", utf8(c.input), "-y", "-vn"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(utf8(c.output));
        ASSERT_EQ(c.result, run(args)) << logText();
        if (c.codec == nullptr) {
            EXPECT_TRUE(logHas(L"Subtitle encoding currently only possible from text to text or bitmap to bitmap"));
            continue;
        }
        auto values = probe(path(c.output));
        EXPECT_EQ("subtitle", values["stream.0.codec_type"]);
        EXPECT_EQ(c.codec, values["stream.0.codec_name"]);
        EXPECT_EQ(c.packets, subtitlePackets(path(c.output)));
    }
}

// A bitmap subtitle as the picture input of a graph: drawn on the canvas from its start
// to its end (the canvas is cleared again while the video goes on).
TEST_F(SubtitleTranscode, CanvasFeedsComplexGraph) {
    ASSERT_TRUE(makeBitmapClip());
    std::string output;
    const std::wstring ffmpeg = tool(L"ffmpeg.exe") + L" -hide_banner -loglevel error -y ";
    ASSERT_EQ(0, run({"-i", utf8(L"boxed.mkv"), "-y", "-filter_complex", "[0:v][0:s]overlay", "-c:v", "ffv1", "-sn",
                      "-f", "matroska", utf8(L"overlay.mkv")}))
        << logText();
    ASSERT_EQ(0, testsupport::runCaptured(ffmpeg + L"-i overlay.mkv -f rawvideo -pix_fmt rgb24 frames.rgb", folder_,
                                          output));
    const std::string frames = testsupport::readRaw(path(L"frames.rgb"));
    const size_t frameBytes = 64 * 48 * 3;
    ASSERT_EQ(50u, frames.size() / frameBytes);
    const struct {
        int frame;
        bool red;
    } cases[] = {{5, false}, {12, false}, {14, true}, {25, true}, {36, true}, {39, false}, {49, false}};
    for (const auto& c : cases) {
        const size_t at = c.frame * frameBytes + (12 * 64 + 16) * 3;  // inside the box
        EXPECT_EQ(c.red ? std::string("\xff\x00\x00", 3) : std::string(3, '\0'), frames.substr(at, 3)) << c.frame;
    }
}

// Drawing one rectangle: palette colours land at its place; one that is not a bitmap or
// does not fit leaves the canvas alone.
TEST(SubtitleCanvas, CopiesRectangles) {
    const struct {
        int type, x, y, w, h;
        bool drawn;
    } cases[] = {
        {SUBTITLE_BITMAP, 1, 2, 2, 2, true},
        {SUBTITLE_BITMAP, 3, 3, 2, 2, false},  // past the right edge
        {SUBTITLE_BITMAP, -1, 0, 2, 2, false},
        {SUBTITLE_TEXT, 0, 0, 2, 2, false},
    };
    const uint32_t palette[2] = {0x11223344u, 0xff00ff00u};
    const uint8_t indices[4] = {0, 1, 1, 0};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        uint32_t canvas[4 * 4] = {};
        AVSubtitleRect rect = {};
        rect.type = static_cast<AVSubtitleType>(c.type);
        rect.x = c.x;
        rect.y = c.y;
        rect.w = c.w;
        rect.h = c.h;
        rect.data[0] = const_cast<uint8_t*>(indices);
        rect.data[1] = reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(palette));
        rect.linesize[0] = 2;
        ASSERT_EQ(c.drawn, s::fftools::sub2video_copy_rect(reinterpret_cast<uint8_t*>(canvas), 16, 4, 4, &rect));
        int painted = 0;
        for (uint32_t pixel : canvas) painted += pixel != 0;
        EXPECT_EQ(c.drawn ? 4 : 0, painted);
        if (c.drawn) {
            EXPECT_EQ(palette[0], canvas[2 * 4 + 1]);
            EXPECT_EQ(palette[1], canvas[2 * 4 + 2]);
            EXPECT_EQ(palette[1], canvas[3 * 4 + 1]);
            EXPECT_EQ(palette[0], canvas[3 * 4 + 2]);
        }
    }
}

// "-vstats_file", "-psnr" and "-qphist": one statistics line per encoded picture, the
// PSNR figures and the histogram in the closing report, the histogram counted anew in
// each run.
TEST_F(SubtitleTranscode, VideoStatisticsAndReport) {
    ASSERT_TRUE(made(L"clip.avi"));
    std::string histograms[2];
    for (std::string& histogram : histograms) {
        lastReport.clear();
        s::ffmpeg::av_log_set_callback(&keepReport);
        const int result = run({"-i", utf8(L"clip.avi"), "-y", "-c:v", "mpeg4", "-psnr", "-qphist", "-vstats_file",
                                utf8(L"stats.log"), "-f", "avi", utf8(L"stats.avi")});
        s::ffmpeg::av_log_set_callback(&s::ffmpeg::FfmpegLog::callback);
        ASSERT_EQ(0, result);
        std::istringstream lines(testsupport::readRaw(path(L"stats.log")));
        std::string line;
        int frames = 0;
        double lastSize = -1;
        while (std::getline(lines, line)) {
            int frame = 0, size = 0;
            float q = 0, psnr = 0, seconds = 0, br = 0, avg = 0, total = 0;
            char type = 0;
            ASSERT_EQ(9, std::sscanf(line.c_str(),
                                     "frame= %d q= %f PSNR= %f f_size= %d s_size= %fkB time= %f br= %fkbits/s "
                                     "avg_br= %fkbits/s type= %c",
                                     &frame, &q, &psnr, &size, &total, &seconds, &br, &avg, &type))
                << line;
            EXPECT_EQ(++frames, frame);
            EXPECT_GT(q, 0);
            EXPECT_GT(psnr, 15);
            EXPECT_GT(size, 0);
            EXPECT_GE(total, lastSize);
            lastSize = total;
            EXPECT_TRUE(type == 'I' || (frame > 1 && type == 'P')) << line;
        }
        EXPECT_EQ(25, frames);
        // the closing report: "L", the histogram's 32 digits, then the PSNR figures
        const std::string& log = lastReport;
        const size_t last = log.find(" L");
        const size_t figures = log.find("PSNR=Y:", last);
        ASSERT_NE(std::string::npos, figures) << log;
        histogram = log.substr(last + 2, figures - last - 2);
        EXPECT_EQ(32u, histogram.size()) << histogram;
        EXPECT_EQ(std::string::npos, histogram.find_first_not_of("0123456789ABCDEF")) << histogram;
        double y = 0, u = 0, v = 0, all = 0;
        ASSERT_EQ(4, std::sscanf(log.c_str() + figures, "PSNR=Y:%lf U:%lf V:%lf *:%lf", &y, &u, &v, &all));
        EXPECT_GT(y, 15);
        EXPECT_GT(all, 15);
    }
    EXPECT_EQ(histograms[0], histograms[1]);
}
