// Proves the cross-built FFmpeg: the seven DLLs load by bare name and match the headers we
// compile against, and the bundled ffmpeg.exe encodes with each external encoder we rely on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

struct DllVersion {
    const wchar_t* dll;
    const char* function;
    unsigned headerVersion;
};

TEST(FfmpegDlls, LoadByBareNameAndMatchHeaders) {
    const DllVersion dlls[] = {
        {L"avcodec-59.dll", "avcodec_version", LIBAVCODEC_VERSION_INT},
        {L"avdevice-59.dll", "avdevice_version", LIBAVDEVICE_VERSION_INT},
        {L"avfilter-8.dll", "avfilter_version", LIBAVFILTER_VERSION_INT},
        {L"avformat-59.dll", "avformat_version", LIBAVFORMAT_VERSION_INT},
        {L"avutil-57.dll", "avutil_version", LIBAVUTIL_VERSION_INT},
        {L"swresample-4.dll", "swresample_version", LIBSWRESAMPLE_VERSION_INT},
        {L"swscale-6.dll", "swscale_version", LIBSWSCALE_VERSION_INT},
    };
    for (const DllVersion& d : dlls) {
        HMODULE module = LoadLibraryW(d.dll);
        ASSERT_NE(module, nullptr) << "cannot load " << std::string(d.dll, d.dll + wcslen(d.dll))
                                   << " (error " << GetLastError() << ")";
        auto version = reinterpret_cast<unsigned (*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, d.function)));
        ASSERT_NE(version, nullptr) << d.function;
        EXPECT_EQ(version(), d.headerVersion) << d.function;
    }
    // The names above carry the major versions the program binds: check they agree.
    EXPECT_EQ(LIBAVCODEC_VERSION_MAJOR, 59);
    EXPECT_EQ(LIBAVFILTER_VERSION_MAJOR, 8);
    EXPECT_EQ(LIBAVUTIL_VERSION_MAJOR, 57);
    EXPECT_EQ(LIBSWRESAMPLE_VERSION_MAJOR, 4);
    EXPECT_EQ(LIBSWSCALE_VERSION_MAJOR, 6);
}

// One second of a 440 Hz tone, 44100 Hz stereo 16-bit.
bool writeToneWav(const std::wstring& path) {
    const uint32_t rate = 44100, channels = 2, frames = rate;
    std::vector<int16_t> samples(frames * channels);
    for (uint32_t i = 0; i < frames; ++i) {
        auto v = static_cast<int16_t>(12000 * std::sin(2 * 3.14159265358979 * 440 * i / rate));
        samples[2 * i] = samples[2 * i + 1] = v;
    }
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string header = "RIFF";
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) header.push_back(char(v >> (8 * i))); };
    auto put16 = [&](uint16_t v) { header.push_back(char(v)); header.push_back(char(v >> 8)); };
    put32(36 + dataBytes);
    header += "WAVEfmt ";
    put32(16); put16(1); put16(channels); put32(rate); put32(rate * channels * 2); put16(channels * 2); put16(16);
    header += "data";
    put32(dataBytes);
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, header.data(), DWORD(header.size()), &written, nullptr) &&
              WriteFile(f, samples.data(), dataBytes, &written, nullptr) && written == dataBytes;
    CloseHandle(f);
    return ok;
}

// Runs a command line with its output (stdout and stderr) captured.
int run(const std::wstring& commandLine, std::string& output) {
    return testsupport::runCaptured(commandLine, L"", output);
}

std::map<std::string, std::string> probe(const std::wstring& file) {
    std::string out;
    std::wstring cmd = L"\"" FFMPEG_TOOLS_DIR L"\\ffprobe.exe\" -v error -show_entries "
                       L"stream=codec_name,sample_rate,channels:format=duration "
                       L"-of default=noprint_wrappers=1 \"" + file + L"\"";
    std::map<std::string, std::string> fields;
    if (run(cmd, out) != 0) return fields;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
    return fields;
}

struct Encoding {
    const wchar_t* file;
    const wchar_t* options;
    const char* codec;
    const char* sampleRate;
    const char* channels;
};

TEST(FfmpegExe, EncodesWithTheExternalEncoders) {
    const std::wstring dir = testsupport::freshTempFolder(L"ffmpeg-build-test");
    const std::wstring input = dir + L"\\tone.wav";
    ASSERT_TRUE(writeToneWav(input));
    const Encoding encodings[] = {
        {L"tone.mp3", L"-c:a libmp3lame -b:a 128k", "mp3", "44100", "2"},
        {L"tone.ogg", L"-c:a libvorbis -q:a 4", "vorbis", "44100", "2"},
        {L"tone.amr", L"-c:a libopencore_amrnb -ar 8000 -ac 1 -b:a 12.2k", "amr_nb", "8000", "1"},
        {L"tone-gsm.wav", L"-c:a libgsm_ms -ar 8000 -ac 1", "gsm_ms", "8000", "1"},
    };
    for (const Encoding& e : encodings) {
        const std::wstring output = dir + L"\\" + e.file;
        std::string log;
        std::wstring cmd = L"\"" FFMPEG_TOOLS_DIR L"\\ffmpeg.exe\" -hide_banner -nostdin -y -i \"" + input +
                           L"\" " + e.options + L" \"" + output + L"\"";
        ASSERT_EQ(run(cmd, log), 0) << log;
        auto fields = probe(output);
        EXPECT_EQ(fields["codec_name"], e.codec) << log;
        EXPECT_EQ(fields["sample_rate"], e.sampleRate);
        EXPECT_EQ(fields["channels"], e.channels);
        ASSERT_FALSE(fields["duration"].empty());
        EXPECT_NEAR(std::strtod(fields["duration"].c_str(), nullptr), 1.0, 0.1) << fields["codec_name"];
        DeleteFileW(output.c_str());
    }
    DeleteFileW(input.c_str());
    RemoveDirectoryW(dir.c_str());
}

}  // namespace
