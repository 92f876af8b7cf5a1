// Ordinary inputs that must convert on both roads through the job loop: the program's
// own transcoder (no ffmpeg.exe anywhere) and ffmpeg.exe installed in optional_tools.
// ffmpeg.exe makes the sources, some bytes of them are rewritten here, ffprobe.exe
// judges the outputs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "engine/ffmpeg/FfmpegLocator.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "support/ChildProcess.h"
#include "support/FfmpegTools.h"
#include "support/InProcessRoad.h"
#include "support/JobHost.h"
#include "support/RawFile.h"
#include "support/Seams.h"

using s::sound::ffmpeg::JobLoop;
using testsupport::answer;
using testsupport::narrow;

namespace {

// ffmpeg.exe with its DLLs in a program folder's optional_tools: taken before the
// program's own transcoder.
class ExternalRoad {
public:
    ExternalRoad() : program_(testsupport::freshTempFolder(L"bothroads-program")) {
        const std::wstring tools = program_ + L"\\optional_tools";
        CreateDirectoryW(tools.c_str(), nullptr);
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((std::wstring(FFMPEG_TOOLS_DIR) + L"\\*").c_str(), &found);
        while (find != INVALID_HANDLE_VALUE) {
            const std::wstring name = found.cFileName;
            if (name == L"ffmpeg.exe" || (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".dll") == 0)) {
                CopyFileW((std::wstring(FFMPEG_TOOLS_DIR) + L"\\" + name).c_str(), (tools + L"\\" + name).c_str(),
                          FALSE);
            }
            if (!FindNextFileW(find, &found)) {
                FindClose(find);
                break;
            }
        }
        sources_ = {program_.c_str(), HKEY_CURRENT_USER, NO_KEY, HKEY_CURRENT_USER, NO_KEY, NO_KEY};
        s::ffmpeg::FfmpegLocator::inject(&sources_);
    }
    ~ExternalRoad() {
        s::ffmpeg::FfmpegLocator::inject(nullptr);
        testsupport::removeTree(program_);
    }
    ExternalRoad(const ExternalRoad&) = delete;
    ExternalRoad& operator=(const ExternalRoad&) = delete;

private:
    static constexpr wchar_t NO_KEY[] = L"Software\\BrisqueltonBothRoads\\none";
    std::wstring program_;
    s::ffmpeg::FfmpegLocator::Sources sources_{};
};

// An ADTS AAC whose first frames carry an empty raw data block: the headers of the
// encoded file's first frame, a frame length of 8 and one byte holding ID_END.
std::string lateAac(const std::string& adts, int emptyFrames) {
    if (adts.size() < 7 || static_cast<unsigned char>(adts[0]) != 0xFF) {
        return {};
    }
    std::string empty = adts.substr(0, 7);
    empty[1] = static_cast<char>(empty[1] | 0x01);  // no CRC
    const unsigned length = 8;
    empty[3] = static_cast<char>((empty[3] & 0xFC) | ((length >> 11) & 0x03));
    empty[4] = static_cast<char>((length >> 3) & 0xFF);
    empty[5] = static_cast<char>(((length & 0x07) << 5) | 0x1F);  // buffer fullness 0x7FF
    empty[6] = static_cast<char>(0xFC);                            // ... and one raw data block
    empty.push_back(static_cast<char>(0xE0));
    std::string late;
    for (int i = 0; i < emptyFrames; ++i) {
        late += empty;
    }
    return late + adts;
}

// An AMR-NB file that starts with frames of no data (frame type 15).
std::string lateAmr(const std::string& amr, int emptyFrames) {
    const std::string magic = "#!AMR\n";
    if (amr.compare(0, magic.size(), magic) != 0) {
        return {};
    }
    return magic + std::string(static_cast<size_t>(emptyFrames), '\x7C') + amr.substr(magic.size());
}

class BothRoads : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loaded_ = testsupport::InProcessRoad::bind(L"bothroads-media", media_);
        made_ = testsupport::makeMedia(
            L"-f lavfi -i sine=frequency=440:sample_rate=44100:duration=11.1 -ac 1 -c:a aac -b:a 64k tone.aac "
            L"-f lavfi -i sine=frequency=440:sample_rate=8000:duration=8 -map 1:a -ac 1 -c:a libopencore_amrnb "
            L"-b:a 12.2k tone.amr",
            media_);
        made_ = made_ &&
                testsupport::writeRaw(media_ + L"\\late.aac", lateAac(testsupport::readRaw(media_ + L"\\tone.aac"), 600)) &&
                testsupport::writeRaw(media_ + L"\\late.amr", lateAmr(testsupport::readRaw(media_ + L"\\tone.amr"), 600));
        for (const int rate : {8000, 11025, 22050}) {
            for (const int channels : {1, 2}) {
                const std::wstring name = L"low" + std::to_wstring(rate) + L"x" + std::to_wstring(channels) + L".wav";
                made_ = made_ && testsupport::makeMedia(L"-f lavfi -i sine=frequency=440:sample_rate=" +
                                                            std::to_wstring(rate) + L":duration=0.5 -ac " +
                                                            std::to_wstring(channels) + L" " + name,
                                                        media_);
            }
        }
    }
    static void TearDownTestSuite() { testsupport::InProcessRoad::unbind(media_); }

    void SetUp() override {
        ASSERT_TRUE(loaded_) << "FFmpeg libraries not bound";
        ASSERT_TRUE(made_) << "ffmpeg.exe could not make the sources";
    }

    // Converts one source on one road into a fresh folder; ffprobe.exe's answers about
    // the output ("audio.sample_rate", "format.duration"), empty when the file failed.
    static std::map<std::string, std::string> convert(bool external, const std::wstring& source, int32_t format,
                                                      const std::wstring& outputName) {
        std::optional<testsupport::InProcessRoad> inProcess;
        std::optional<ExternalRoad> outside;
        if (external) {
            outside.emplace();
        } else {
            inProcess.emplace(L"bothroads-noffmpeg");
        }
        testsupport::JobHost dialog;
        const std::wstring out = testsupport::freshTempFolder(L"bothroads-out");
        dialog.folder = out;
        dialog.queue.push_back(media_ + L"\\" + source);
        dialog.job.formatId = format;
        JobLoop::runQueue(&dialog);
        std::map<std::string, std::string> values;
        EXPECT_EQ(dialog.external, external);
        EXPECT_TRUE(dialog.succeeded) << narrow(dialog.log->c_str());
        if (dialog.succeeded) {
            values = testsupport::probeFile(out + L"\\" + outputName,
                                            L"stream=codec_name,codec_type,sample_rate:format=duration");
            const std::string audio = testsupport::firstStream(values, "audio");
            values["audio.sample_rate"] = answer(values, audio + "sample_rate");
        }
        testsupport::removeTree(out);
        return values;
    }

    static inline bool loaded_ = false;
    static inline bool made_ = false;
    static inline std::wstring media_;
};

} // namespace

// Audio that starts after many packets that decode to nothing converts whole.
TEST_F(BothRoads, LateAudioConvertsWhole) {
    const struct {
        const wchar_t* source;
        const wchar_t* output;
        double seconds;  // of decodable sound in the source
    } rows[] = {{L"late.aac", L"late.mp3", 11.0}, {L"late.amr", L"late.mp3", 7.9}};
    for (const bool external : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(narrow(row.source) + (external ? " external" : " in-process"));
            const auto got = convert(external, row.source, 18, row.output);
            EXPECT_GE(atof(answer(got, "format.duration").c_str()), row.seconds);
        }
    }
}

// The AC-3 encoder takes 32000, 44100 and 48000 Hz alone: lower sources go up to 32000.
TEST_F(BothRoads, Ac3FromLowRatesTakes32000) {
    const struct {
        int32_t format;
        const wchar_t* extension;
    } formats[] = {{6, L".ac3"}, {26, L".ra"}, {27, L".rm"}};
    for (const bool external : {false, true}) {
        for (const int rate : {8000, 11025, 22050}) {
            for (const int channels : {1, 2}) {
                const std::wstring title = L"low" + std::to_wstring(rate) + L"x" + std::to_wstring(channels);
                for (const auto& f : formats) {
                    SCOPED_TRACE(narrow(title + f.extension) + (external ? " external" : " in-process"));
                    const auto got = convert(external, title + L".wav", f.format, title + f.extension);
                    EXPECT_EQ(answer(got, "audio.sample_rate"), "32000");
                }
            }
        }
    }
}
