#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/MediaProber.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "engine/video/MediaReport.h"
#include "support/ChildProcess.h"
#include "support/FfmpegTools.h"
#include "support/Seams.h"
#include "support/Released.h"

using s::str::strbuffer::StrBuffer;
using s::video::StreamInfo;
using s::video::VideoInfo;

namespace {

// Media made once by ffmpeg.exe for every test of this file.
class MediaProber : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s::system::win::MessageBoxSeam::set(&testsupport::refuseBox);
        loaded_ = s::ffmpeg::loadFfmpegLibraries();
        folder_ = testsupport::freshTempFolder(L"prober");
        const wchar_t* tone = L"-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 ";
        const std::wstring jobs[][2] = {
            {L"tone.wav", std::wstring(tone) + L"-ac 2 -c:a pcm_s16le"},
            {L"cover.jpg", L"-f lavfi -i color=c=blue:s=64x48:d=1 -frames:v 1"},
            {L"song.mp3", std::wstring(tone) + L"-i cover.jpg -map 0:a -map 1:v -ac 2 -c:a libmp3lame -b:a 128k "
                          L"-c:v copy -disposition:v attached_pic -id3v2_version 3 "
                          L"-metadata title=\"Grüße aus Köln 日本\" -metadata artist=\"Ærø Ω\""},
            {L"tone.mp2", std::wstring(tone) + L"-ac 2 -c:a mp2 -b:a 192k"},
            {L"tone.m4a", std::wstring(tone) + L"-ac 2 -c:a aac -b:a 96k -metadata title=\"Ωmega ü\""},
            {L"six.flac", std::wstring(tone) + L"-ac 6 -c:a flac"},
            {L"tone.ogg", std::wstring(tone) + L"-ar 48000 -ac 2 -c:a opus -strict -2"},
        };
        for (const auto& job : jobs) {
            made_.push_back(testsupport::makeMedia(job[1] + L" \"" + job[0] + L"\"", folder_) ? job[0] : L"");
        }
    }
    static void TearDownTestSuite() {
        testsupport::removeTree(folder_);
        s::system::win::MessageBoxSeam::set(nullptr);
    }
    void SetUp() override { ASSERT_TRUE(loaded_) << "FFmpeg libraries not bound"; }

    static bool made(const wchar_t* name) {
        for (const std::wstring& m : made_) {
            if (m == name) return true;
        }
        return false;
    }
    static std::wstring path(const std::wstring& name) { return folder_ + L"\\" + name; }
    static Released<VideoInfo> probe(const std::wstring& file) {
        return Released<VideoInfo>(s::fftools::probeMediaFile(file.c_str()));
    }
    static std::wstring reportOf(const VideoInfo* info) {
        Released<StrBuffer> text(s::video::formatMediaReport(info));
        return text->c_str();
    }
    // A copy of the first `bytes` bytes of a file.
    static std::wstring cutCopy(const std::wstring& from, const std::wstring& to, DWORD bytes) {
        std::vector<char> data(bytes + 1);
        DWORD got = 0;
        HANDLE in = CreateFileW(path(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ReadFile(in, data.data(), bytes, &got, nullptr);
        CloseHandle(in);
        HANDLE out = CreateFileW(path(to).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(out, data.data(), got, &written, nullptr);
        CloseHandle(out);
        return path(to);
    }

    static inline bool loaded_ = false;
    static inline std::wstring folder_;
    static inline std::vector<std::wstring> made_;
};

std::wstring tagValue(const s::str::strarray::StrArray& keys, const s::str::strarray::StrArray& values,
                      const wchar_t* key) {
    for (uint32_t i = 0; i < keys.count(); ++i) {
        if (keys.get(i)->equalsIgnoreCase(Released<StrBuffer>(StrBuffer::fromText(key)).get())) {
            return values.get(i)->c_str();
        }
    }
    return L"<none>";
}

} // namespace

TEST_F(MediaProber, AudioFilesOfEveryKind) {
    const struct {
        const wchar_t* file;
        const wchar_t* format;
        uint32_t streams;
        const wchar_t* codec;
        int32_t rate, channels, bits, sampleFormat;
        int64_t streamBitRate;  // -1: whatever the encoder gave, above 0; 0: the container gives none
    } cases[] = {
        {L"tone.wav", L"wav", 1, L"pcm_s16le", 44100, 2, 16, StreamInfo::SAMPLE_S16, 1411200},
        // FFmpeg's own choice of decoder, as ffmpeg.exe makes it (mp3float, the fixed-point
        // mp2), under the codec's name.
        {L"song.mp3", L"mp3", 2, L"mp3", 44100, 2, 0, StreamInfo::SAMPLE_FLT, 128000},
        {L"tone.mp2", L"mp3", 1, L"mp2", 44100, 2, 0, StreamInfo::SAMPLE_S16, 192000},
        {L"tone.m4a", L"mov,mp4,m4a,3gp,3g2,mj2", 1, L"aac", 44100, 2, 0, StreamInfo::SAMPLE_FLT, -1},
        {L"six.flac", L"flac", 1, L"flac", 44100, 6, 0, StreamInfo::SAMPLE_S16, 0},
        {L"tone.ogg", L"ogg", 1, L"opus", 48000, 2, 0, StreamInfo::SAMPLE_FLT, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("file ") + std::string(c.file, c.file + wcslen(c.file)));
        if (!made(c.file)) {
            ADD_FAILURE() << "ffmpeg.exe could not make the file";
            continue;
        }
        Released<VideoInfo> info = probe(path(c.file));
        EXPECT_EQ(info->probed, 1);
        EXPECT_EQ(info->streamInfoFound, 1);
        EXPECT_STREQ(info->fileName.c_str(), c.file);
        EXPECT_STREQ(info->formatName.c_str(), c.format);
        EXPECT_GT(info->formatLongName.length(), 0u);
        EXPECT_EQ(info->hasAudio, 1);
        EXPECT_NEAR(static_cast<double>(info->duration), 2000000.0, 60000.0);
        EXPECT_GT(info->fileSize, 0);
        // The file's rate is its size over its length.
        EXPECT_EQ(info->bitRate, static_cast<int64_t>(info->fileSize * 8.0 / (info->duration / 1000000.0)));
        ASSERT_EQ(info->streamCount(), c.streams);
        const StreamInfo* a = info->stream(0);
        EXPECT_EQ(a->type, StreamInfo::TYPE_AUDIO);
        EXPECT_EQ(a->decoderOpened, 1);
        EXPECT_STREQ(a->codecName.c_str(), c.codec);
        EXPECT_EQ(a->sampleRate, c.rate);
        EXPECT_EQ(a->channels, c.channels);
        EXPECT_EQ(a->bitsPerSample, c.bits);
        EXPECT_EQ(a->sampleFormat, c.sampleFormat);
        EXPECT_EQ(a->codecTimeBaseNum, 1);
        EXPECT_EQ(a->codecTimeBaseDen, c.rate);
        EXPECT_GT(a->timeBaseDen, 0);
        if (c.streamBitRate >= 0) {
            EXPECT_EQ(a->bitRate, c.streamBitRate);
        } else {
            EXPECT_GT(a->bitRate, 0);
        }
    }
}

TEST_F(MediaProber, CoverPictureAndTagsInOtherScripts) {
    ASSERT_TRUE(made(L"song.mp3"));
    Released<VideoInfo> info = probe(path(L"song.mp3"));
    ASSERT_EQ(info->streamCount(), 2u);
    const StreamInfo* cover = info->stream(1);
    EXPECT_EQ(info->firstStreamOfType(StreamInfo::TYPE_VIDEO), cover);
    EXPECT_STREQ(cover->codecName.c_str(), L"mjpeg");
    EXPECT_EQ(cover->decoderOpened, 1);
    EXPECT_EQ(info->hasVideo, 1);
    EXPECT_EQ(info->width, 64);
    EXPECT_EQ(info->height, 48);
    EXPECT_EQ(cover->width, 64);
    EXPECT_EQ(cover->height, 48);
    EXPECT_STREQ(cover->timecode.c_str(), L"N/A");
    EXPECT_GT(cover->pixelFormatName.length(), 0u);
    // The picture has no rate of its own: it gets what the audio leaves of the file's,
    // never less than nothing.
    EXPECT_EQ(cover->bitRate, std::max<int64_t>(0, info->bitRate - info->stream(0)->bitRate));
    EXPECT_EQ(tagValue(info->tagKeys, info->tagValues, L"title"), L"Grüße aus Köln 日本");
    EXPECT_EQ(tagValue(info->tagKeys, info->tagValues, L"artist"), L"Ærø Ω");

    ASSERT_TRUE(made(L"tone.m4a"));
    Released<VideoInfo> m4a = probe(path(L"tone.m4a"));
    EXPECT_EQ(tagValue(m4a->tagKeys, m4a->tagValues, L"title"), L"Ωmega ü");
}

TEST_F(MediaProber, TwoProbesInARowAgree) {
    for (const wchar_t* file : {L"song.mp3", L"six.flac"}) {
        ASSERT_TRUE(made(file));
        const std::wstring first = reportOf(probe(path(file)).get());
        const std::wstring second = reportOf(probe(path(file)).get());
        EXPECT_EQ(first, second);
        EXPECT_NE(first.find(L"[Stream #0]"), std::wstring::npos);
    }
}

TEST_F(MediaProber, PathWithBlanksAndCharactersOutsideTheAnsiPage) {
    ASSERT_TRUE(made(L"tone.wav"));
    const std::wstring dir = path(L"Prüf Ordner 日本");
    const std::wstring file = dir + L"\\Tön Ω 日本 ⅓.wav";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(path(L"tone.wav").c_str(), file.c_str(), FALSE));
    Released<VideoInfo> plain = probe(path(L"tone.wav"));
    Released<VideoInfo> unusual = probe(file);
    EXPECT_STREQ(unusual->fileName.c_str(), L"Tön Ω 日本 ⅓.wav");
    EXPECT_STREQ(unusual->fullPath.c_str(), file.c_str());
    ASSERT_EQ(unusual->streamCount(), 1u);
    // Everything but the name agrees with the same file under a plain name.
    std::wstring a = reportOf(plain.get()), b = reportOf(unusual.get());
    a.erase(0, a.find(L'\n'));
    b.erase(0, b.find(L'\n'));
    EXPECT_EQ(a, b);
}

TEST_F(MediaProber, FilesThatAreNotMediaFailCleanly) {
    ASSERT_TRUE(made(L"tone.m4a"));
    ASSERT_TRUE(made(L"six.flac"));
    const std::wstring text = path(L"notes.mp3");
    HANDLE h = CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char words[] = "These are shopping notes, not sound.\r\nMilk, bread.\r\n";
    DWORD written = 0;
    WriteFile(h, words, sizeof(words) - 1, &written, nullptr);
    CloseHandle(h);

    const struct {
        std::wstring file;
        uint8_t probed;
    } cases[] = {
        {path(L"missing.wav"), 0},
        {folder_, 0},  // a folder is not a file
        {text, 1},
        {cutCopy(L"tone.wav", L"empty.wav", 0), 1},
        // Cut inside the header, and (for the MP4 family, whose index comes last) halfway.
        {cutCopy(L"six.flac", L"cut-header.flac", 30), 1},
        {cutCopy(L"tone.m4a", L"cut-half.m4a", 12000), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file.begin(), c.file.end()));
        Released<VideoInfo> info = probe(c.file);
        EXPECT_EQ(info->probed, c.probed);
        EXPECT_EQ(info->streamInfoFound, 0);
        EXPECT_EQ(info->streamCount(), 0u);
        EXPECT_EQ(info->formatName.length(), 0u);
        EXPECT_EQ(info->duration, -1);
        EXPECT_EQ(info->hasAudio, 0);
        EXPECT_EQ(info->fileName.length() != 0, c.probed == 1);
        // The log's size line: what the file system says, -1 only where there is no file.
        WIN32_FILE_ATTRIBUTE_DATA data{};
        const bool isFile = GetFileAttributesExW(c.file.c_str(), GetFileExInfoStandard, &data) &&
                            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        EXPECT_EQ(info->fileSize, isFile ? static_cast<int64_t>(data.nFileSizeLow) : -1);
    }
}

TEST(ProbedBitRates, FileRateIsSizeOverLengthWhenThatGivesOne) {
    const struct { int64_t container, size, duration, expected; } cases[] = {
        {64000, 250000, 2000000, 1000000},
        {64000, 250000, 0, 64000},          // no length
        {64000, 250000, -1, 64000},
        {64000, -1, 2000000, 64000},        // no size: never a negative rate
        {64000, 0, 2000000, 64000},
        {0, 1, 3000000000, 0},              // truncates to 0: the container's stays
    };
    for (const auto& c : cases) {
        EXPECT_EQ(s::fftools::fileBitRate(c.container, c.size, c.duration), c.expected)
            << c.container << " " << c.size << " " << c.duration;
    }
}

TEST(ProbedBitRates, StreamsWithoutARateGetWhatTheFileLeaves) {
    // Stream types and rates in file order, the file's rate, and the rates after.
    const struct {
        std::vector<std::pair<int32_t, int64_t>> streams;
        int64_t fileRate;
        std::vector<int64_t> expected;
    } cases[] = {
        {{{StreamInfo::TYPE_VIDEO, 0}, {StreamInfo::TYPE_AUDIO, 128000}}, 1128000, {1000000, 128000}},
        {{{StreamInfo::TYPE_VIDEO, 0}, {StreamInfo::TYPE_AUDIO, 128000}}, 100000, {0, 128000}},
        // Video first, then audio out of what is left; only the first stream of each kind.
        {{{StreamInfo::TYPE_AUDIO, 0}, {StreamInfo::TYPE_VIDEO, 0}, {StreamInfo::TYPE_VIDEO, 0},
          {StreamInfo::TYPE_AUDIO, 64000}}, 1064000, {0, 1000000, 0, 64000}},
        {{{StreamInfo::TYPE_VIDEO, 500000}, {StreamInfo::TYPE_AUDIO, 0}}, 700000, {500000, 200000}},
        // Audio alone is never back-filled.
        {{{StreamInfo::TYPE_AUDIO, 0}}, 320000, {0}},
    };
    for (const auto& c : cases) {
        Released<VideoInfo> info(VideoInfo::pool());
        info->bitRate = c.fileRate;
        for (const auto& [type, rate] : c.streams) {
            StreamInfo* s = StreamInfo::pool();
            s->type = type;
            s->bitRate = rate;
            info->hasVideo |= type == StreamInfo::TYPE_VIDEO ? 1 : 0;
            info->hasAudio |= type == StreamInfo::TYPE_AUDIO ? 1 : 0;
            info->addStream(s);
        }
        s::fftools::backFillStreamBitRates(info.get());
        std::vector<int64_t> rates;
        for (uint32_t i = 0; i < info->streamCount(); ++i) rates.push_back(info->stream(i)->bitRate);
        EXPECT_EQ(rates, c.expected) << "file rate " << c.fileRate;
    }
}
