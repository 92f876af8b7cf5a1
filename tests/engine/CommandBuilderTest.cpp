#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "ProbedMedia.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "engine/video/VideoInfo.h"
#include "support/ChildProcess.h"
#include "support/Seams.h"

using s::sound::ffmpeg::CommandBuilder;
using s::sound::ffmpeg::FormatTable;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::str::strbuffer::StrBuffer;
using s::system::win::MessageBoxSeam;
using s::thread::Held;
using s::video::StreamInfo;
using s::video::VideoInfo;

namespace {

// Seams: no real waits, boxes recorded.
uint32_t sleptMs = 0;
std::vector<std::wstring> boxes;

void noSleep(uint32_t ms) {
    sleptMs += ms;
}

int WINAPI recordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    boxes.push_back(text);
    return IDOK;
}

// A scratch folder under the temporary folder, removed with its contents at the end.
class Folder {
public:
    Folder() : root_(testsupport::freshTempFolder(L"cmdbuild_" + std::to_wstring(++count_))) {}
    ~Folder() { testsupport::removeTree(root_); }
    std::wstring at(const std::wstring& name) const { return root_ + L"\\" + name; }

    static bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    static void write(const std::wstring& path, const std::string& bytes) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        CloseHandle(h);
    }
    static std::string read(const std::wstring& path) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        char buffer[256];
        DWORD got = 0;
        const bool ok = h != INVALID_HANDLE_VALUE && ReadFile(h, buffer, sizeof(buffer), &got, nullptr);
        CloseHandle(h);
        return ok ? std::string(buffer, got) : "(missing)";
    }

private:
    static inline int count_ = 0;
    std::wstring root_;
};

// Probed sources, as the prober would fill them.
enum Source { WAV, MP3_COVER, AC3_51, MP3_FILM, OGG_TAGGED, FLAC_TAGGED, FLAC_24, FLOAT_WAV, TWO_TRACKS, WAV_24_51 };

VideoInfo* probed(Source source) {
    VideoInfo* info = VideoInfo::pool();
    switch (source) {
    case WAV:  // 10 s of CD audio
        info->duration = 10000000;
        addStream(info, audioStream(L"pcm_s16le", 65536, 44100, 2, 1411200));
        break;
    case MP3_COVER:  // 200 s, JPEG cover first
        info->duration = 200000000;
        addStream(info, videoStream(L"mjpeg"));
        addStream(info, audioStream(L"mp3", 86017, 44100, 2, 128000));
        break;
    case FLAC_24:  // a 24-bit FLAC, which decodes to 32-bit samples
    case FLOAT_WAV: {
        info->duration = 10000000;
        StreamInfo* audio = source == FLAC_24 ? audioStream(L"flac", 86028, 44100, 2, 0)
                                              : audioStream(L"pcm_f32le", 65557, 44100, 2, 2822400);
        audio->losslessBits = source == FLAC_24 ? 24 : 32;
        audio->sampleFormat = source == FLAC_24 ? StreamInfo::SAMPLE_S32 : StreamInfo::SAMPLE_FLT;
        addStream(info, audio);
        break;
    }
    case TWO_TRACKS:  // stereo first, then a 5.1 track FFmpeg alone would pick
        info->duration = 10000000;
        addStream(info, audioStream(L"pcm_s16le", 65536, 44100, 2, 1411200));
        addStream(info, audioStream(L"pcm_s16le", 65536, 48000, 6, 4608000));
        break;
    case WAV_24_51: {
        info->duration = 10000000;
        StreamInfo* audio = audioStream(L"pcm_s24le", 65544, 48000, 6, 6912000);
        audio->losslessBits = 24;
        audio->sampleFormat = StreamInfo::SAMPLE_S32;
        addStream(info, audio);
        break;
    }
    case AC3_51:  // 01:02:03.456
        info->duration = 3723456000;
        addStream(info, audioStream(L"ac3", 86019, 48000, 6, 384000));
        break;
    case MP3_FILM:  // a film first, the cover as the second video stream
        info->duration = 60000000;
        addStream(info, videoStream(L"h264"));
        addStream(info, audioStream(L"mp3", 86017, 44100, 2, 128000));
        addStream(info, videoStream(L"mjpeg"));
        break;
    case OGG_TAGGED:  // Vorbis with its tags on the stream, as Ogg keeps them
    case FLAC_TAGGED: {  // tags on the container, and one on the stream too
        const bool ogg = source == OGG_TAGGED;
        info->duration = 10000000;
        StreamInfo* audio = ogg ? audioStream(L"vorbis", 86021, 44100, 2, 128000)
                                : audioStream(L"flac", 86028, 44100, 2, 0);
        audio->tagKeys.add(L"title");
        audio->tagValues.add(L"Song");
        addStream(info, audio);
        if (!ogg) {
            info->tagKeys.add(L"title");
            info->tagValues.add(L"Song");
        }
        break;
    }
    }
    return info;
}

// A job record of the format, quality and bit rate.
struct Job : Setting {
    explicit Job(int32_t format, int32_t level = 0, int32_t rate = 0) {
        formatId = format;
        quality = level;
        bitRate = rate;
    }
};

class CommandBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        sleptMs = 0;
        boxes.clear();
        previousSleep_ = CommandBuilder::setSleepFunction(&noSleep);
        previousBox_ = MessageBoxSeam::set(&recordBox);
    }
    void TearDown() override {
        CommandBuilder::setSleepFunction(previousSleep_);
        MessageBoxSeam::set(previousBox_);
    }

    // The command for a fresh output named after the format; "{in}", "{out}" and
    // "{dir}" in the expectation stand for the input, the output and the folder.
    std::wstring build(const Setting& setting, Source source, bool external, int32_t pass = 0,
                       const wchar_t* outputName = nullptr) {
        Held<VideoInfo> info(probed(source));
        output_ = folder_.at(outputName != nullptr ? outputName
                                                   : std::wstring(L"out") +
                                                         FormatTable::audioOutputExtension(setting.formatId));
        const bool copy = setting.canCopyAudioStream(info.get(), FormatTable::audioOutputExtension(setting.formatId));
        Held<StrBuffer> work(StrBuffer::pool());
        weight_ = 0;
        Held<StrBuffer> command(CommandBuilder::buildFfmpegCommand(&setting, info.get(), input(), output_.c_str(),
                                                                   PROGRAM, external, pass, copy, false, work.get(),
                                                                   &weight_));
        work_ = work->c_str();
        return command ? std::wstring(command->c_str()) : L"(null)";
    }

    // "{head}" and "{xhead}" stand for the start of every command on the in-process
    // and the external road.
    std::wstring expand(std::wstring text) const {
        replace(text, L"{head}", L"ffmpeg -probesize 100M -analyzeduration 100M -i \"{in}\" -y");
        replace(text, L"{xhead}",
                L"\"" + std::wstring(PROGRAM) + L"\" -probesize 100M -analyzeduration 100M -i \"{in}\" -y");
        replace(text, L"{in}", input());
        replace(text, L"{out}", output_);
        replace(text, L"{dir}", folder_.at(L""));
        return text;
    }
    static void replace(std::wstring& text, const std::wstring& what, const std::wstring& with) {
        for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + with.size())) {
            text.replace(at, what.size(), with);
        }
    }
    const wchar_t* input() const { return input_.c_str(); }
    static constexpr const wchar_t* PROGRAM = L"C:\\Program Files\\FFmpeg Kit\\ffmpeg.exe";

    Folder folder_;
    std::wstring input_ = L"C:\\music\\in.src";
    std::wstring output_;
    std::wstring work_;
    double weight_ = 0;

private:
    CommandBuilder::SleepFn previousSleep_ = nullptr;
    MessageBoxSeam::MessageBoxFn previousBox_ = nullptr;
};

const wchar_t* const QUEUE = L" -max_muxing_queue_size 9999";

struct Golden {
    const char* what;
    Source source;
    int32_t formatId, bitsPerSample, quality, sampleRate, channels, bitRate, volume;
    const wchar_t* streams;  // between " -y" and the queue option
    const wchar_t* tail;     // after the queue option, before the output
};

} // namespace

TEST_F(CommandBuilderTest, GoldenAudioCommandLines) {
    const Golden rows[] = {
        {"CD audio to MP3, similar quality", WAV, 18, 0, 100, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -acodec libmp3lame -ar 44100 -ac 2 -ab 320000"},
        {"MP3 with cover copied into MP3", MP3_COVER, 18, 0, 100, 0, 0, 0, 100,
         L" -codec:v copy -map 0:a:0 -map 0:v:0 -map_metadata 0 -id3v2_version 3", L" -codec:a copy"},
        {"MP3 with cover, louder, re-encoded", MP3_COVER, 18, 0, 100, 0, 0, 0, 150,
         L" -codec:v copy -map 0:a:0 -map 0:v:0 -map_metadata 0 -id3v2_version 3",
         L" -acodec libmp3lame -ar 44100 -ac 2 -ab 128000 -vol 384"},
        {"MP3 with cover to FLAC drops the picture", MP3_COVER, 12, 0, 100, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -f flac -acodec flac -sample_fmt s16 -ar 44100 -ac 2 -ab 128000"},
        {"an MP3 in ALAC gets 16 bits", MP3_COVER, 14, 0, 100, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -acodec alac -sample_fmt s16p -ar 44100 -ac 2 -ab 128000"},
        {"the first of two audio streams", TWO_TRACKS, 28, 0, 0, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -f wav -bitexact -acodec pcm_s16le -ar 44100 -ac 2 -ab 1411200"},
        {"\"Same\" keeps a 24-bit 5.1 WAV's channels", WAV_24_51, 28, 0, 0, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -f wav -bitexact -acodec pcm_s24le -ar 48000 -ac 6 -ab 6912000"},
        {"24-bit FLAC keeps its depth in ALAC", FLAC_24, 14, 0, 100, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -acodec alac -sample_fmt s32p -ar 44100 -ac 2"},
        {"\"Same\" bits of a 24-bit FLAC in WAV", FLAC_24, 28, 0, 0, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -f wav -bitexact -acodec pcm_s24le -ar 44100 -ac 2"},
        {"\"Same\" bits of a float WAV in AIFF, louder", FLOAT_WAV, 7, 0, 0, 0, 0, 0, 150, L" -vn -map 0:a:0",
         L" -acodec pcm_f32be -ar 44100 -ac 2 -ab 2822400 -vol 384"},
        {"\"Same\" bits of an MP3 in AU", MP3_COVER, 9, 0, 0, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -acodec pcm_s16be -ar 44100 -ac 2 -ab 128000"},
        {"MP3 with cover copied into MP4", MP3_COVER, 19, 0, 100, 0, 0, 0, 100, L" -codec:v copy -map 0:v:0 -map 0:a:0",
         L" -codec:a copy"},
        {"MP3 with cover to MOV AAC, level 5", MP3_COVER, 16, 0, 5, 0, 0, 0, 100,
         L" -codec:v copy -map 0:v:0 -map 0:a:0", L" -acodec aac -strict experimental -ar 44100 -ac 2 -ab 256000"},
        {"second video stream is the cover, WMA", MP3_FILM, 34, 0, 9, 0, 0, 0, 100,
         L" -codec:v copy -map 0:v:1 -map 0:a:0", L" -acodec wmav2 -ar 44100 -ac 2 -ab 320000"},
        {"cover not kept in M4A", MP3_COVER, 13, 0, 9, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -acodec aac -strict experimental -ar 44100 -ac 2 -ab 423360"},
        {"raw big-endian unsigned 24-bit", WAV, 23, 124, 0, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -f u24be -acodec pcm_u24be -ar 44100 -ac 2 -ab 1411200"},
        {"raw little-endian 8-bit", WAV, 22, 8, 0, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -f s8 -acodec pcm_s8 -ar 44100 -ac 2 -ab 1411200"},
        {"raw float big-endian", WAV, 23, 1064, 0, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -f f64be -acodec pcm_f64be -ar 44100 -ac 2 -ab 1411200"},
        {"raw a-law", WAV, 24, 0, 0, 0, 0, 0, 100, L" -vn -map 0:a:0", L" -f alaw -acodec pcm_alaw -ar 44100 -ac 2 -ab 1411200"},
        {"raw mu-law, quieter", WAV, 25, 0, 0, 8000, 1, 0, 50, L" -vn -map 0:a:0",
         L" -f mulaw -acodec pcm_mulaw -ar 8000 -ac 1 -ab 1411200 -vol 128"},
        {"8-bit WAV offered unsigned", WAV, 28, 108, 0, 22050, 1, 0, 100, L" -vn -map 0:a:0",
         L" -f wav -bitexact -acodec pcm_u8 -ar 22050 -ac 1 -ab 1411200"},
        {"WAV for an audio CD", WAV, 29, 16, 0, 44100, 2, 0, 100, L" -vn -map 0:a:0",
         L" -f wav -bitexact -acodec pcm_s16le -ar 44100 -ac 2 -ab 1411200"},
        {"GSM WAV", WAV, 30, 0, 0, 8000, 1, 13000, 100, L" -vn -map 0:a:0",
         L" -f wav -bitexact -acodec libgsm_ms -ar 8000 -ac 1 -ab 13000"},
        {"AMR at 12.2 kb/s", MP3_COVER, 8, 0, 0, 8000, 1, 12200, 100, L" -vn -map 0:a:0",
         L" -acodec libopencore_amrnb -ar 8000 -ac 1 -ab 12200"},
        {"5.1 AC3 to stereo Vorbis", AC3_51, 21, 0, 100, 0, 2, 0, 100, L" -vn -map 0:a:0",
         L" -acodec libvorbis -ar 48000 -ac 2 -ab 192000"},
        {"5.1 AC3 to AC3 level 5", AC3_51, 6, 0, 5, 0, 0, 0, 100, L" -vn -map 0:a:0", L" -acodec ac3 -ar 48000 -ac 6 -ab 320000"},
        {"5.1 to MP2 at a chosen bit rate", AC3_51, 17, 0, 0, 22050, 0, 256000, 100, L" -vn -map 0:a:0",
         L" -acodec mp2 -ar 22050 -ac 2 -ab 160000"},
        {"SMAF at 16 kHz", WAV, 15, 0, 0, 16000, 0, 0, 100, L" -vn -map 0:a:0",
         L" -acodec adpcm_yamaha -strict experimental -ar 22050 -ac 2 -ab 1411200"},
        {"no encoder: no audio, volume kept", WAV, 999, 0, 100, 0, 0, 0, 50, L" -vn -map 0:a:0", L" -an -vol 128"},
        {"Ogg's stream tags become the MP3's", OGG_TAGGED, 18, 0, 100, 0, 0, 0, 100, L" -vn -map 0:a:0 -map_metadata 0:s:a:0",
         L" -acodec libmp3lame -ar 44100 -ac 2 -ab 128000"},
        {"a container's own tags are enough", FLAC_TAGGED, 18, 0, 100, 0, 0, 0, 100, L" -vn -map 0:a:0",
         L" -acodec libmp3lame -ar 44100 -ac 2 -ab 320000"},
    };
    for (const Golden& row : rows) {
        Job setting(row.formatId, row.quality, row.bitRate);
        setting.bitsPerSample = row.bitsPerSample;
        setting.sampleRate = row.sampleRate;
        setting.channels = row.channels;
        setting.volume = row.volume;
        const std::wstring got = build(setting, row.source, false);
        EXPECT_EQ(got, expand(L"{head}" + std::wstring(row.streams) + QUEUE + row.tail + L" \"{out}\"")) << row.what;
        EXPECT_TRUE(Folder::exists(output_)) << row.what;
        EXPECT_EQ(weight_, 0.5);
        DeleteFileW(output_.c_str());
    }
    EXPECT_EQ(sleptMs, 0u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CommandBuilderTest, TestRangesOfTheJobRecord) {
    struct Range {
        Source source;  // WAV 10 s, MP3_COVER 200 s, AC3_51 3723456 ms
        int64_t kind, length;
        const wchar_t* options;
    };
    const Range rows[] = {
        {MP3_COVER, 1, 30000, L" -t 00:00:30.000"},
        {AC3_51, 1, 4000000, L""},  // longer than the file: the whole file
        {WAV, 1, 10000, L""},
        {AC3_51, 2, 60000, L" -ss 00:30:31.728 -t 00:01:00.000"},
        {WAV, 2, 10000, L""},
        {WAV, 2, 12000, L""},
        {WAV, 3, 1000, L" -ss 00:00:09.000 -t 00:00:01.000"},
        {WAV, 3, 10001, L""},
        {WAV, 3, 10000, L""},
        {AC3_51, 3, 3600000, L" -ss 00:02:03.456 -t 01:00:00.000"},
        {WAV, 0, 1000, L""},
        {WAV, 1, 0, L""},
        {WAV, 2, -5, L""},
    };
    for (const Range& row : rows) {
        Job setting(12);
        setting.testStart = row.kind;
        setting.testLength = row.length;
        const std::wstring got = build(setting, row.source, false);
        const std::wstring want = L"ffmpeg" + std::wstring(row.options) + L" -probesize 100M";
        EXPECT_EQ(got.compare(0, want.size(), want), 0) << row.kind << L" " << row.length << L": " << got;
        DeleteFileW(output_.c_str());
    }
}

TEST_F(CommandBuilderTest, ExternalRoadQuotesEveryPath) {
    const Job setting(18, 100);
    const std::wstring got = build(setting, WAV, true, 0, L"out.mp3");
    EXPECT_EQ(got, expand(L"{xhead} -vn -map 0:a:0 -max_muxing_queue_size 9999"
                          L" -acodec libmp3lame -ar 44100 -ac 2 -ab 320000 \"{out}\""));
}

// ffmpeg.exe has no sample guard of ours: float samples a file stores pass the same one
// as a filter, with the volume after it; decoded floats of lossy sources and the
// in-process road go without.
TEST_F(CommandBuilderTest, ExternalRoadGuardsStoredFloatSamples) {
    Job setting(34, 9);
    setting.volume = 150;
    const std::wstring external = build(setting, FLOAT_WAV, true);
    EXPECT_EQ(external, expand(L"{xhead} -vn -map 0:a:0 -max_muxing_queue_size 9999"
                                                      L" -acodec wmav2 -ar 44100 -ac 2 -ab 320000"
                                                      L" -af aeval=exprs=if(isnan(val(ch))\\,0\\,clip(val(ch)"
                                                      L"\\,-10.666666666666666\\,10.666666666666666)):c=same"
                                                      L",volume=1.500000 \"{out}\""));
    const std::wstring inProcess = build(setting, FLOAT_WAV, false);
    EXPECT_EQ(inProcess, expand(L"{head} -vn -map 0:a:0 -max_muxing_queue_size 9999"
                                                       L" -acodec wmav2 -ar 44100 -ac 2 -ab 320000 -vol 384 \"{out}\""));
    EXPECT_EQ(build(setting, MP3_COVER, true).find(L"aeval"), std::wstring::npos);
}

TEST_F(CommandBuilderTest, TwoPassesShareAWorkFolderAndPassOneWritesNothing) {
    const Job setting(18, 0, 192000);
    // A folder of the user's with the working folder's name stays as it is.
    CreateDirectoryW(folder_.at(L"Pass1.TMP~").c_str(), nullptr);
    Folder::write(folder_.at(L"Pass1.TMP~\\keep.txt"), "mine");

    const std::wstring first = build(setting, WAV, true, 1);
    EXPECT_EQ(first, expand(L"{xhead} -pass 1 -vn -map 0:a:0 -max_muxing_queue_size 9999"
                            L" -acodec libmp3lame -ar 44100 -ac 2 -ab 192000 NUL"));
    EXPECT_FALSE(Folder::exists(output_));
    EXPECT_EQ(work_, folder_.at(L"Pass1.TMP~ (1)"));
    EXPECT_TRUE(Folder::exists(work_));
    EXPECT_EQ(Folder::read(folder_.at(L"Pass1.TMP~\\keep.txt")), "mine");

    const std::wstring second = build(setting, WAV, false, 2);
    EXPECT_EQ(second, expand(L"{head} -pass 2 -vn -map 0:a:0 -max_muxing_queue_size 9999"
                             L" -acodec libmp3lame -ar 44100 -ac 2 -ab 192000 \"{out}\""));
    EXPECT_EQ(weight_, 0.5);

    // Beside an output whose folder no process could start in, the working folder goes
    // to the temporary folder.
    const std::wstring deep = L"\\\\?\\" + folder_.at(std::wstring(240, L'd'));
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    build(setting, WAV, true, 1, (std::wstring(240, L'd') + L"\\out.mp3").c_str());
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    EXPECT_EQ(work_.substr(0, work_.rfind(L'\\') + 1), temp) << testsupport::narrow(work_);
    EXPECT_NE(work_.find(L"Pass1.TMP~"), std::wstring::npos) << testsupport::narrow(work_);
    RemoveDirectoryW(work_.c_str());
    RemoveDirectoryW(deep.c_str());
}

TEST_F(CommandBuilderTest, OutputIsCreatedBeforehandAndAnExistingOneKept) {
    const Job setting(28);
    build(setting, WAV, false);
    EXPECT_TRUE(Folder::exists(output_));
    EXPECT_EQ(Folder::read(output_), "");

    Folder::write(output_, "earlier");
    build(setting, WAV, false);
    EXPECT_EQ(Folder::read(output_), "earlier");
    EXPECT_TRUE(boxes.empty());
}

// Both roads name every file exactly, never by a short form (which may open another
// file); a name ending in a dot or a blank keeps it through the "\\?\" form.
TEST_F(CommandBuilderTest, BothRoadsNameEveryFileExactly) {
    const Job setting(12, 9);  // FLAC keeps its extension
    const struct {
        const wchar_t* input;
        const wchar_t* output;
        const wchar_t* inputAs;  // how the command names the input; null: as given
    } cases[] = {
        {L"C:\\music\\Track 18 - Finale.wav", L"Track 18 - Finale.flac", nullptr},
        {L"C:\\music\\- best.mp3 collection.wav", L"LongerThanTwelve ü.flac", nullptr},
        {L"C:\\music\\end.wav.", L"end.wav.flac", L"\\\\?\\C:\\music\\end.wav."},
        {L"C:\\music\\sp.wav ", L"sp.flac", L"\\\\?\\C:\\music\\sp.wav "},
        {L"C:\\music.\\a.wav", L"a.flac", L"\\\\?\\C:\\music.\\a.wav"},
    };
    for (const auto& c : cases) {
        for (bool external : {false, true}) {
            SCOPED_TRACE(testsupport::narrow(c.input) + (external ? " external" : " in-process"));
            input_ = c.input;
            const std::wstring got = build(setting, WAV, external, 0, c.output);
            const std::wstring in = L" -i \"" + std::wstring(c.inputAs != nullptr ? c.inputAs : c.input) + L"\" -y";
            EXPECT_NE(got.find(in), std::wstring::npos) << testsupport::narrow(got);
            EXPECT_EQ(got.substr(got.size() - output_.size() - 3), L" \"" + output_ + L"\"")
                << testsupport::narrow(got);
            EXPECT_TRUE(Folder::exists(output_));
            EXPECT_EQ(sleptMs, 0u);
            DeleteFileW(output_.c_str());
        }
    }
    // An output folder ending in a dot is named exactly too.
    input_ = L"C:\\music\\a.wav";
    CreateDirectoryW((L"\\\\?\\" + folder_.at(L"dir.")).c_str(), nullptr);
    const std::wstring got = build(setting, WAV, true, 0, L"dir.\\a.flac");
    EXPECT_EQ(got.substr(got.size() - output_.size() - 7), L" \"\\\\?\\" + output_ + L"\"") << testsupport::narrow(got);
    EXPECT_TRUE(Folder::exists(L"\\\\?\\" + output_));
    DeleteFileW((L"\\\\?\\" + output_).c_str());
    RemoveDirectoryW((L"\\\\?\\" + folder_.at(L"dir.")).c_str());
    EXPECT_TRUE(boxes.empty());
}

// Nothing runs on an output the program could not make.
TEST_F(CommandBuilderTest, OutputThatCannotBeCreatedGivesNoCommand) {
    Folder::write(folder_.at(L"plainfile"), "x");
    for (bool external : {false, true}) {
        boxes.clear();
        sleptMs = 0;
        EXPECT_EQ(build(Job(18), WAV, external, 0, L"plainfile\\out.mp3"), L"(null)");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], L"Failed to create the output file.\r\nProblem in the file system permissions?");
        EXPECT_EQ(sleptMs, 5000u);  // 2 s watching, then three 1 s retries
    }
}
