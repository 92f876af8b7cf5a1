// Ordinary inputs that must convert on both roads through the job loop: the program's
// own transcoder (no ffmpeg.exe anywhere) and ffmpeg.exe installed in optional_tools.
// ffmpeg.exe makes the sources, some bytes of them are rewritten here, ffprobe.exe
// judges the outputs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/ffmpeg/FfmpegLocator.h"
#include "support/ChildProcess.h"
#include "support/DamagedMedia.h"
#include "support/ExternalRoad.h"
#include "support/FfmpegTools.h"
#include "support/InProcessRoad.h"
#include "support/JobHost.h"
#include "support/RawFile.h"
#include "support/Seams.h"
#include "support/Wav.h"

using s::sound::gui::dialogs::mp3conv::Setting;
using testsupport::ExternalRoad;
using testsupport::answer;
using testsupport::narrow;

namespace {

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

    // Converts one source with the record on one road into a fresh folder; the output's
    // bytes, empty when the file failed, and ffprobe.exe's answers about it when asked
    // ("audio.sample_rate", "format.duration").
    static std::string written(bool external, const std::wstring& source, const Setting& job,
                               std::map<std::string, std::string>* probed = nullptr) {
        testsupport::JobHost dialog;
        const std::wstring out = testsupport::freshTempFolder(L"bothroads-out");
        testsupport::runOnRoad(external, media_ + L"\\" + source, job, out, dialog);
        EXPECT_EQ(dialog.external, external);
        EXPECT_TRUE(dialog.succeeded) << narrow(dialog.log->c_str());
        const std::wstring output = out + L"\\" + dialog.outputName;
        const std::string bytes = dialog.succeeded ? testsupport::readRaw(output) : "";
        if (dialog.succeeded && probed != nullptr) {
            *probed = testsupport::probeFile(output, L"stream=codec_name,codec_type,sample_rate:format=duration");
            const std::string audio = testsupport::firstStream(*probed, "audio");
            (*probed)["audio.sample_rate"] = answer(*probed, audio + "sample_rate");
        }
        testsupport::removeTree(out);
        return bytes;
    }

    static std::map<std::string, std::string> convert(bool external, const std::wstring& source, int32_t format) {
        Setting job;
        job.formatId = format;
        std::map<std::string, std::string> values;
        written(external, source, job, &values);
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
        double seconds;  // of decodable sound in the source
    } rows[] = {{L"late.aac", 11.0}, {L"late.amr", 7.9}};
    for (const bool external : {false, true}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(narrow(row.source) + (external ? " external" : " in-process"));
            const auto got = convert(external, row.source, 18);
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
                    const auto got = convert(external, title + L".wav", f.format);
                    EXPECT_EQ(answer(got, "audio.sample_rate"), "32000");
                }
            }
        }
    }
}

// A damaged float WAV converts on both roads alike: ffmpeg.exe gets the sample guard as
// a filter before the volume, so the float samples it writes are the in-process road's
// bit for bit, and a real over of +14 dB passes both unchanged.
TEST_F(BothRoads, FloatSamplesAreGuardedAlike) {
    std::string loud;
    for (int i = 0; i < 4410 * 2; ++i) {
        const float v = static_cast<float>(5.0 * std::sin(2 * 3.141592653589793 * 441.0 * (i / 2) / 44100));
        loud.append(reinterpret_cast<const char*>(&v), 4);
    }
    ASSERT_TRUE(testsupport::writeRaw(media_ + L"\\loud.wav", testsupport::wavOf(3, 2, 44100, 32, loud)));
    ASSERT_TRUE(testsupport::writeRaw(media_ + L"\\damaged.wav", testsupport::damagedFloatWav(false, 2)));
    const struct {
        const wchar_t* source;
        int32_t format, bits, quality, volume;
        bool samples;  // a float WAV whose samples both roads must share
        const std::string* unchanged;  // ... and keep as the source holds them
    } rows[] = {
        {L"damaged.wav", 34, 0, 100, 100, false, nullptr}, {L"damaged.wav", 18, 0, 100, 100, false, nullptr},
        {L"damaged.wav", 28, 1032, 0, 100, true, nullptr}, {L"damaged.wav", 28, 1032, 0, 300, true, nullptr},
        {L"loud.wav", 28, 1032, 0, 100, true, &loud},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(narrow(row.source) + " to format " + std::to_string(row.format) + " at volume " +
                     std::to_string(row.volume));
        Setting job;
        job.formatId = row.format;
        job.bitsPerSample = row.bits;
        job.quality = row.quality;
        job.volume = row.volume;
        std::string samples[2];
        for (const bool external : {false, true}) {
            const std::string bytes = written(external, row.source, job);
            ASSERT_FALSE(bytes.empty());
            testsupport::findWavData(bytes, samples[external ? 1 : 0]);
        }
        if (row.samples) {
            EXPECT_FALSE(samples[0].empty());
            EXPECT_TRUE(samples[0] == samples[1]);
        }
        if (row.unchanged != nullptr) {
            EXPECT_TRUE(samples[0] == *row.unchanged);
        }
    }
}
