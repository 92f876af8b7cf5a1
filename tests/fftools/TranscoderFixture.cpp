#include "TranscoderFixture.h"

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/fftools/TranscoderState.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "support/ChildProcess.h"
#include "support/FfmpegTools.h"
#include "support/Seams.h"

std::wstring TranscoderTest::folder_;
std::vector<std::wstring> TranscoderTest::made_;

namespace {

bool loaded = false;

std::string toUtf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::vector<char*> argvOf(const std::vector<std::string>& args, std::vector<std::string>& keep) {
    keep.assign(1, "ffmpeg");
    keep.insert(keep.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : keep) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    return argv;
}

} // namespace

void TranscoderTest::SetUpTestSuite() {
    s::system::win::MessageBoxSeam::set(&testsupport::refuseBox);
    loaded = s::ffmpeg::loadFfmpegLibraries();
    folder_ = testsupport::freshTempFolder(L"fftools-options");
    const std::wstring tone = L"-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 ";
    const std::wstring jobs[][2] = {
        {L"tone.wav", tone + L"-ac 2 -c:a pcm_s16le"},
        {L"quiet.wav", L"-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 -af volume=0.25 -ac 2 -c:a pcm_s16le"},
        {L"cover.jpg", L"-f lavfi -i color=c=blue:s=64x48:d=1 -frames:v 1"},
        {L"song.mp3", tone + L"-i cover.jpg -map 0:a -map 1:v -ac 2 -c:a libmp3lame -b:a 128k -c:v copy "
                      L"-disposition:v attached_pic -id3v2_version 3 -metadata title=Song"},
        {L"six.flac", tone + L"-ac 6 -c:a flac"},
        {L"tone.m4a", tone + L"-ac 2 -c:a aac -b:a 96k"},
        {L"clip.avi", L"-f lavfi -i testsrc=size=64x48:rate=25:duration=1 -c:v mpeg4"},
        {L"long.wav", L"-f lavfi -i sine=frequency=440:sample_rate=8000:duration=600 -ac 1 -c:a pcm_s16le"},
    };
    for (const auto& job : jobs) {
        made_.push_back(testsupport::makeMedia(job[1] + L" \"" + job[0] + L"\"", folder_) ? job[0] : L"");
    }
}

void TranscoderTest::TearDownTestSuite() {
    testsupport::removeTree(folder_);
    s::system::win::MessageBoxSeam::set(nullptr);
}

void TranscoderTest::SetUp() {
    ASSERT_TRUE(loaded) << "FFmpeg libraries not bound";
    log_ = s::str::strbuffer::StrBuffer::pool();
    // other test suites of this program catch FFmpeg's messages their own way
    s::ffmpeg::av_log_set_callback(&s::ffmpeg::FfmpegLog::callback);
    s::ffmpeg::FfmpegLog::setTarget(log_);
}

void TranscoderTest::TearDown() {
    s::ffmpeg::FfmpegLog::setTarget(nullptr);
    if (log_ != nullptr) {
        log_->release();
        log_ = nullptr;
    }
}

std::wstring TranscoderTest::path(const std::wstring& name) {
    return folder_ + L"\\" + name;
}

std::string TranscoderTest::utf8(const std::wstring& name) {
    return toUtf8(path(name));
}

bool TranscoderTest::made(const std::wstring& name) {
    for (const std::wstring& m : made_) {
        if (m == name) return true;
    }
    return false;
}

int TranscoderTest::parse(const std::vector<std::string>& args) {
    std::vector<std::string> keep;
    std::vector<char*> argv = argvOf(args, keep);
    s::fftools::option_table = s::fftools::transcoder_options;
    return s::fftools::ffmpeg_parse_options(static_cast<int>(keep.size()), argv.data());
}

int TranscoderTest::run(const std::vector<std::string>& args) {
    std::vector<std::string> keep;
    std::vector<char*> argv = argvOf(args, keep);
    return s::fftools::ffmpegMain(static_cast<int>(keep.size()), argv.data());
}

std::wstring TranscoderTest::log() const {
    return log_ != nullptr ? std::wstring(log_->c_str()) : std::wstring();
}

void TranscoderTest::clearLog() {
    log_->clear();
    s::ffmpeg::FfmpegLog::setTarget(log_);
}

std::string TranscoderTest::logText() const {
    return toUtf8(log());
}

std::map<std::string, std::string> TranscoderTest::probe(const std::wstring& file) {
    return testsupport::probeFile(file, L"stream=index,codec_name,codec_type,sample_rate,channels,channel_layout,"
                                        L"bit_rate:stream_disposition=attached_pic:format=format_name,duration");
}

bool TranscoderTest::exists(const std::wstring& file) {
    return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int64_t TranscoderTest::fileSize(const std::wstring& file) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
