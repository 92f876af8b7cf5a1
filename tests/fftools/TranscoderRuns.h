// What the in-process transcoder tests share: media made once per test program (WAV
// written here, the rest by one ffmpeg.exe call), running ffmpegMain on an argument
// list, reading the FFmpeg log and the samples of a WAV file, and a recording progress hook.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "core/str/strbuffer/StrBuffer.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/fftools/MediaProber.h"
#include "engine/fftools/TranscoderState.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "engine/video/VideoInfo.h"
#include "support/ChildProcess.h"
#include "support/FfmpegTools.h"
#include "support/RawFile.h"
#include "support/Released.h"
#include "support/Seams.h"
#include "support/Wav.h"

namespace fftoolstest {

// A 16-bit PCM WAV file of a sine at 441 Hz with the given peak on every channel.
inline bool writeSineWav(const std::wstring& path, int rate, int channels, double seconds, int peak) {
    const uint32_t frames = static_cast<uint32_t>(rate * seconds);
    const uint32_t dataSize = frames * channels * 2;
    std::string bytes = testsupport::wavHeader(static_cast<uint32_t>(rate), static_cast<uint32_t>(channels), dataSize);
    auto u16 = [&](uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    bytes.reserve(bytes.size() + dataSize);
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t v = static_cast<int16_t>(std::lround(peak * std::sin(2 * 3.14159265358979 * 441.0 * i / rate)));
        for (int c = 0; c < channels; ++c) {
            u16(static_cast<uint16_t>(v));
        }
    }
    return testsupport::writeRaw(path, bytes);
}

// The bytes of a WAV file's "data" chunk; empty when there is none.
inline std::string wavData(const std::string& file) {
    std::string data;
    testsupport::findWavData(file, data);
    return data;
}

// The largest magnitude among a 16-bit WAV file's samples.
inline int wavPeak(const std::wstring& path) {
    return testsupport::peakOf(wavData(testsupport::readRaw(path)));
}

// Everything FFmpeg logs while a test runs, through the program's own log route (its
// callback stays installed for every test of the program).
class LogCapture {
public:
    static void install() { s::ffmpeg::FfmpegLog::install(); }
    static void clear() {
        buffer().clear();
        s::ffmpeg::FfmpegLog::setTarget(&buffer());
    }
    static std::string get() {
        const std::wstring text = buffer().c_str();
        return std::string(text.begin(), text.end());
    }

private:
    static s::str::strbuffer::StrBuffer& buffer() {
        static Released<s::str::strbuffer::StrBuffer> held(s::str::strbuffer::StrBuffer::pool());
        return *held;
    }
};

// One call of the progress hook.
struct HookCall {
    int32_t position;
    int32_t total;
    const wchar_t* name;
    void* owner;
    ULONGLONG at;  // milliseconds
};

// The hook's record; a hook call may also set the cancel byte.
struct HookRecord {
    std::vector<HookCall> calls;
    std::atomic<uint8_t>* cancelOnCall = nullptr;
};

inline HookRecord*& currentRecord() {
    static HookRecord* record = nullptr;
    return record;
}

inline int32_t recordingHook(int32_t position, int32_t total, const wchar_t* name, void* owner) {
    HookRecord* record = currentRecord();
    if (record != nullptr) {
        record->calls.push_back({position, total, name, owner, GetTickCount64()});
        if (record->cancelOnCall != nullptr) {
            record->cancelOnCall->store(1);
        }
    }
    return 7;  // ignored by the transcoder
}

// The run parameters a test hands to ffmpegMain (as the in-process runner would).
struct RunParameters {
    int32_t pass = 0;
    float weight = 0.5f;
    int32_t totalSeconds = 0;
    HookRecord* record = nullptr;
    const std::atomic<uint8_t>* cancel = nullptr;
};

// Calls ffmpegMain with "ffmpeg" and args; the result is the run's status.
inline int runTranscoder(const std::vector<std::string>& args, const RunParameters& p = RunParameters()) {
    std::vector<std::string> all{"ffmpeg"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    namespace f = s::fftools;
    f::runPass = p.pass;
    f::passWeight = p.weight;
    f::totalSeconds = p.totalSeconds;
    f::progressOwner = p.record;
    f::progressName = L"out.name";
    f::cancelFlag = p.cancel;
    f::progressHook = p.record != nullptr ? &recordingHook : nullptr;
    currentRecord() = p.record;
    const int status = s::fftools::ffmpegMain(static_cast<int>(all.size()), argv.data());
    currentRecord() = nullptr;
    return status;
}

inline std::string narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end());
}

inline bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The media every test of the program uses, made on first use: "tone.wav" (3 s, 44100 Hz
// stereo, peak 8000), "long.wav" (240 s), and from ffmpeg.exe "six.flac" (3 s, 5.1),
// "song.mp3" (3 s with a cover picture), "tone.m4a" (3 s AAC) and "clip.mp4" (2 s of
// 64x48 MPEG-4 video at 25 fps with AAC audio), "rate1.mp2" and "rate2.mp2" (1 s each, at
// 44100 and 22050 Hz).
class Media {
public:
    static const Media& get() {
        static Media media;
        return media;
    }
    std::wstring path(const wchar_t* name) const { return folder + L"\\" + name; }
    std::string arg(const wchar_t* name) const { return narrow(path(name)); }

    bool loaded = false;
    bool made = false;
    std::wstring folder;

    ~Media() { testsupport::removeTree(folder); }

private:
    Media() {
        s::system::win::MessageBoxSeam::set(&testsupport::refuseBox);
        loaded = s::ffmpeg::loadFfmpegLibraries();
        if (loaded) {
            LogCapture::install();
        }
        folder = testsupport::freshTempFolder(L"transcode-media");
        writeSineWav(path(L"tone.wav"), 44100, 2, 3.0, 8000);
        writeSineWav(path(L"long.wav"), 44100, 2, 240.0, 8000);
        const std::wstring sine = L"-f lavfi -i sine=frequency=440:sample_rate=44100:duration=3 ";
        made = testsupport::makeMedia(
            sine +
            L"-f lavfi -i color=c=blue:s=64x48:d=1 -f lavfi -i testsrc=size=64x48:rate=25:duration=2 "
            L"-map 0:a -ac 6 -c:a flac six.flac "
            L"-map 0:a -map 1:v -ac 2 -c:a libmp3lame -b:a 128k -c:v mjpeg -frames:v 1 "
            L"-disposition:v attached_pic -id3v2_version 3 song.mp3 "
            L"-map 0:a -ac 2 -c:a aac -b:a 96k tone.m4a "
            L"-map 2:v -map 0:a -t 2 -c:v mpeg4 -c:a aac clip.mp4 "
            L"-map 0:a -t 1 -ac 2 -c:a mp2 -ar 44100 rate1.mp2 -map 0:a -t 1 -ac 2 -c:a mp2 -ar 22050 rate2.mp2",
            folder);
    }
};

// A probe of a file, released at the end of the statement's holder.
inline Released<s::video::VideoInfo> probe(const std::wstring& path) {
    return Released<s::video::VideoInfo>(s::fftools::probeMediaFile(path.c_str()));
}

// Output files of one test, each in its own scratch folder.
class Scratch {
public:
    Scratch() : folder_(testsupport::freshTempFolder(L"transcode-out-" + std::to_wstring(++counter()))) {}
    ~Scratch() { testsupport::removeTree(folder_); }
    std::wstring path(const std::wstring& name) const { return folder_ + L"\\" + name; }
    std::string arg(const std::wstring& name) const { return narrow(path(name)); }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::wstring folder_;
};

// Base of every test: the libraries bound and the media made.
class TranscodeRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(media().loaded) << "FFmpeg libraries not bound";
        ASSERT_TRUE(media().made) << "ffmpeg.exe could not make the test media";
        LogCapture::clear();
    }
    void TearDown() override { s::ffmpeg::FfmpegLog::setTarget(nullptr); }
    static const Media& media() { return Media::get(); }
};

} // namespace fftoolstest
