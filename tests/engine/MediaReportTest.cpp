#include <gtest/gtest.h>

#include <string>

#include "engine/video/MediaReport.h"
#include "support/Released.h"

using s::str::strbuffer::StrBuffer;
using s::video::StreamInfo;
using s::video::VideoInfo;

namespace {

std::wstring timeText(int64_t us) {
    Released<StrBuffer> out(StrBuffer::pool());
    s::video::appendTimeText(out.get(), us);
    return out->c_str();
}

std::wstring report(const VideoInfo* info) {
    Released<StrBuffer> text(s::video::formatMediaReport(info));
    return text ? text->c_str() : L"<null>";
}

// An MP3 with a cover picture, as the prober would describe it.
Released<VideoInfo> coverMp3() {
    Released<VideoInfo> info(VideoInfo::pool());
    info->fileName.assign(L"Song.mp3");
    info->fileSize = 480000;
    info->formatName.assign(L"mp3");
    info->formatLongName.assign(L"MP2/3 (MPEG audio layer 2/3)");
    info->duration = 3723456789;
    info->bitRate = 128000;
    info->tagKeys.add(L"title");
    info->tagValues.add(L"Grüße");

    StreamInfo* audio = StreamInfo::pool();
    audio->type = StreamInfo::TYPE_AUDIO;
    audio->codecName.assign(L"mp3");
    audio->codecLongName.assign(L"MP3 (MPEG audio layer 3)");
    audio->codecTagText.assign(L"[0][0][0][0]");
    audio->codecTimeBaseNum = 1;
    audio->codecTimeBaseDen = 44100;
    audio->timeBaseNum = 1;
    audio->timeBaseDen = 14112000;
    audio->duration = 52544412;  // 3.7233854 s in 1/14112000 units
    audio->bitRate = 128000;
    audio->channels = 2;
    audio->sampleRate = 44100;
    audio->sampleFormat = StreamInfo::SAMPLE_FLT;
    info->addStream(audio);

    StreamInfo* cover = StreamInfo::pool();
    cover->type = StreamInfo::TYPE_VIDEO;
    cover->codecName.assign(L"mjpeg");
    cover->codecLongName.assign(L"MJPEG (Motion JPEG)");
    cover->codecTagText.assign(L"[0][0][0][0]");
    cover->timeBaseNum = 1;
    cover->timeBaseDen = 90000;
    cover->realFrameRateNum = 90000;
    cover->realFrameRateDen = 1;
    cover->duration = -9223372036854775807LL - 1;
    cover->width = 64;
    cover->height = 48;
    cover->sampleAspectNum = 1;
    cover->sampleAspectDen = 1;
    cover->displayAspectNum = 4;
    cover->displayAspectDen = 3;
    cover->pixelFormatName.assign(L"yuvj420p");
    cover->tagKeys.add(L"comment");
    cover->tagValues.add(L"Cover (front)");
    info->addStream(cover);
    return info;
}

} // namespace

TEST(MediaReport, TimeTexts) {
    const struct { int64_t us; const wchar_t* text; } cases[] = {
        {0, L"00:00:00.00"},
        {999999, L"00:00:00.99"},
        {1000000, L"00:00:01.00"},
        {59990000, L"00:00:59.99"},
        {3723456789, L"01:02:03.45"},
        {86399999999, L"23:59:59.99"},
        {360000000000, L"100:00:00.00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(timeText(c.us), c.text) << c.us;
    }
}

TEST(MediaReport, WholeTextOfOneFile) {
    Released<VideoInfo> info = coverMp3();
    const std::wstring expected =
        L"File Name: Song.mp3\n"
        L"File Size (Bytes): 480000\n"
        L" \n"
        L"[Format]\n"
        L"Format (Short Name): mp3\n"
        L"Format (Long Name): MP2/3 (MPEG audio layer 2/3)\n"
        L"Duration: 01:02:03.45\n"
        L"Duration (Microseconds): 3723456789\n"
        L"Bit Rate (bits/sec): 128000\n"
        L"Number of Streams: 2\n"
        L" \n"
        L"[Metadata]\n"
        L"title: Grüße\n"
        L" \n"
        L"[Stream #0]\n"
        L"Type: Audio\n"
        L"Codec (Short Name): mp3\n"
        L"Long (Short Name): MP3 (MPEG audio layer 3)\n"
        L"Codec Tag: 0x00000000\n"
        L"Codec Tag (String): [0][0][0][0]\n"
        L"Codec Time Base: 1/44100\n"
        L"Time Base: 1/14112000\n"
        L"Real Base Frame Rate: 0/0\n"
        L"Average Frame Rate: 0/0\n"
        L"Duration: 00:00:03.72\n"
        L"Duration (Microseconds): 3723385\n"
        L"Bit Rate (bits/sec): 128000\n"
        L"Number of Frames: N/A\n"
        L" \n"
        L"Channels: 2\n"
        L"Sample Rate (Hz): 44100\n"
        L"Sample Data Format: 32 bits (Float)\n"
        L" \n"
        L" \n"
        L"[Stream #1]\n"
        L"Type: Video\n"
        L"Codec (Short Name): mjpeg\n"
        L"Long (Short Name): MJPEG (Motion JPEG)\n"
        L"Codec Tag: 0x00000000\n"
        L"Codec Tag (String): [0][0][0][0]\n"
        L"Codec Time Base: 0/0\n"
        L"Time Base: 1/90000\n"
        L"Real Base Frame Rate: 90000/1\n"
        L"Average Frame Rate: 0/0\n"
        L"Duration: N/A\n"
        L"Duration (Microseconds): N/A\n"
        L"Bit Rate (bits/sec): N/A\n"
        L"Number of Frames: N/A\n"
        L" \n"
        L"Width: 64\n"
        L"Height: 48\n"
        L"Pixel Aspect Ratio: 1:1\n"
        L"Display Aspect Ratio: 4:3\n"
        L"Pixel Formal: yuvj420p\n"
        L"Has B Frames: No\n"
        L" \n"
        L"[Metadata]\n"
        L"comment: Cover (front)\n";
    EXPECT_EQ(report(info.get()), expected);
}

TEST(MediaReport, UnknownValuesAndMissingBlocks) {
    Released<VideoInfo> info(VideoInfo::pool());
    info->fileName.assign(L"x.bin");
    StreamInfo* s = StreamInfo::pool();
    s->type = StreamInfo::TYPE_AUDIO;
    s->sampleFormat = 9;
    s->duration = 441000;  // no time base known: shown as it stands
    s->bitRate = -5;
    s->frameCount = 12;
    s->codecTag = 0x33706d2e;
    info->addStream(s);
    const std::wstring text = report(info.get());
    // Unknown file duration and no tags: "N/A" and no file-level metadata block.
    EXPECT_NE(text.find(L"[Format]\nFormat (Short Name): \nFormat (Long Name): \nDuration: N/A\n"
                        L"Duration (Microseconds): N/A\nBit Rate (bits/sec): 0\nNumber of Streams: 1\n"
                        L" \n[Stream #0]\n"),
              std::wstring::npos)
        << text;
    EXPECT_EQ(text.find(L"[Metadata]"), std::wstring::npos);
    EXPECT_NE(text.find(L"Codec Tag: 0x33706d2e\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"Duration: 00:00:00.44\nDuration (Microseconds): 441000\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"Bit Rate (bits/sec): N/A\nNumber of Frames: 12\n"), std::wstring::npos);
    // An unknown sample layout leaves the label alone, and the separator follows.
    EXPECT_TRUE(text.ends_with(L"Sample Data Format: \n \n")) << text;
}

TEST(MediaReport, TypeTexts) {
    const struct { int32_t type; const wchar_t* text; } cases[] = {
        {0, L"Unknown"}, {1, L"Video"}, {2, L"Audio"}, {3, L"Data"}, {4, L"Sub Title"}, {5, L"Sub Title"}, {6, L"Unknown"},
    };
    for (const auto& c : cases) {
        Released<VideoInfo> info(VideoInfo::pool());
        StreamInfo* s = StreamInfo::pool();
        s->type = c.type;
        info->addStream(s);
        EXPECT_NE(report(info.get()).find(std::wstring(L"Type: ") + c.text + L"\n"), std::wstring::npos) << c.type;
    }
}

TEST(VideoInfo, ReleaseGivesTheStreamsBackEmptied) {
    VideoInfo* info = VideoInfo::pool();
    StreamInfo* s = StreamInfo::pool();
    s->type = StreamInfo::TYPE_AUDIO;
    s->codecName.assign(L"flac");
    s->tagKeys.add(L"k");
    info->addStream(s);
    info->probed = 1;
    EXPECT_EQ(info->firstStreamOfType(StreamInfo::TYPE_AUDIO), s);
    EXPECT_EQ(info->firstStreamOfType(StreamInfo::TYPE_VIDEO), nullptr);
    info->release();

    // The pools hand back the most recently released objects: both come back clean.
    Released<StreamInfo> again(StreamInfo::pool());
    EXPECT_EQ(again.get(), s);
    EXPECT_EQ(again->type, StreamInfo::TYPE_UNKNOWN);
    EXPECT_EQ(again->codecName.length(), 0u);
    EXPECT_EQ(again->tagKeys.count(), 0u);
    Released<VideoInfo> record(VideoInfo::pool());
    EXPECT_EQ(record->streamCount(), 0u);
    EXPECT_EQ(record->probed, 0);
    EXPECT_EQ(record->fileSize, -1);
    EXPECT_EQ(record->duration, -1);
}
