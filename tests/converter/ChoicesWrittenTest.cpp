// What a panel offers is what is written: every value of every option list of the 34
// audio formats (of the Volume list, its ends), one at a time with the other rows at
// their defaults, converted through the job loop on the in-process road (every ninth
// also through ffmpeg.exe), and the output's rate, channels, codec and sample layout
// read back. "Same" keeps the source's own layout on both roads.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"
#include "app/sound/gui/dialogs/mp3conv/PanelLayout.h"
#include "core/thread/Held.h"
#include "engine/fftools/MediaProber.h"
#include "engine/video/VideoInfo.h"
#include "support/DamagedMedia.h"
#include "support/ExternalRoad.h"
#include "support/FfmpegTools.h"
#include "support/InProcessRoad.h"
#include "support/JobHost.h"
#include "support/RawFile.h"
#include "support/Seams.h"

using s::sound::gui::dialogs::mp3conv::OptionRows;
using s::sound::gui::dialogs::mp3conv::PanelLayout;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::video::StreamInfo;
using testsupport::narrow;

namespace {

constexpr int SOURCE_RATE = 44100;
constexpr int SOURCE_FRAMES = 11025;  // 0.25 s: a raw AC-3 file of fewer frames is not known as one

// A sine of the frames at the rate as integer or float samples of the WAV tag.
std::string sineWav(uint16_t tag, uint16_t bits, int channels, int rate, int frames) {
    std::string data;
    for (int i = 0; i < frames * channels; ++i) {
        const double v = 0.5 * std::sin(2 * 3.141592653589793 * 440.0 * (i / channels) / rate);
        if (tag == 3 && bits == 64) {
            data.append(reinterpret_cast<const char*>(&v), 8);
        } else if (tag == 3) {
            const float f = static_cast<float>(v);
            data.append(reinterpret_cast<const char*>(&f), 4);
        } else if (bits == 8) {
            data.push_back(static_cast<char>(128 + std::lround(v * 127)));
        } else {
            const int64_t n = std::llround(v * static_cast<double>((int64_t{1} << (bits - 1)) - 1));
            data.append(reinterpret_cast<const char*>(&n), bits / 8);
        }
    }
    return testsupport::wavOf(tag, static_cast<uint16_t>(channels), static_cast<uint32_t>(rate), bits, data);
}

// The PCM encoder a layout code names in a container of that byte order.
std::string pcmName(int32_t code, bool bigEndian) {
    if (code == 108) {
        return "pcm_u8";
    }
    if (code == 8) {
        return "pcm_s8";
    }
    const char* kind = code > 1000 ? "f" : code > 100 ? "u" : "s";
    const int32_t bits = code > 1000 ? code - 1000 : code > 100 ? code - 100 : code;
    return std::string("pcm_") + kind + std::to_string(bits) + (bigEndian ? "be" : "le");
}

int pcmBytes(int32_t code) {
    return code == 1064 ? 8 : code == 1032 ? 4 : (code % 100) / 8;
}

// What an output of a format holds: its codec as the prober names it ("" for raw
// samples), or the PCM layout by bits code in that byte order.
struct Written {
    int32_t formatId;
    const char* codec;  // null: PCM by the bits code
    bool bigEndian;
    int rawBytes;       // raw samples: bytes per sample, else 0 (by the bits code: -1)
};
const Written WRITTEN[] = {
    {1, "aac", false, 0},          {2, "amrnb", false, 0},       {3, "aac", false, 0},
    {4, "amrnb", false, 0},        {5, "aac", false, 0},         {6, "ac3", false, 0},
    {7, nullptr, true, 0},         {8, "amrnb", false, 0},       {9, nullptr, true, 0},
    {10, "pcm_alaw", false, 0},    {11, "pcm_mulaw", false, 0},  {12, "flac", false, 0},
    {13, "aac", false, 0},         {14, "alac", false, 0},       {15, "adpcm_yamaha", false, 0},
    {16, "aac", false, 0},         {17, "mp2", false, 0},        {18, "mp3", false, 0},
    {19, "aac", false, 0},         {20, "flac", false, 0},       {21, "vorbis", false, 0},
    {22, nullptr, false, -1},      {23, nullptr, true, -1},      {24, "", false, 1},
    {25, "", false, 1},            {26, "ac3", false, 0},        {27, "ac3", false, 0},
    {28, nullptr, false, 0},       {29, "pcm_s16le", false, 0},  {30, "gsm_ms", false, 0},
    {31, "adpcm_ima_wav", false, 0}, {32, "adpcm_ms", false, 0}, {33, "adpcm_yamaha", false, 0},
    {34, "wmav2", false, 0},
};

// The record a batch takes from a panel whose lists all show their defaults.
void fillDefaults(const PanelLayout& layout, Setting& job) {
    job.reset();
    job.formatId = layout.formatId;
    for (int32_t i = 0; i < layout.rowCount; ++i) {
        const PanelLayout::Row& row = layout.rows[i];
        PanelLayout::applyValue(&job, row.kind, row.list != nullptr ? row.list().defaultValue() : row.value);
    }
    PanelLayout::applyValue(&job, OptionRows::VOLUME, OptionRows::volume().defaultValue());
}

class ChoicesWritten : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loaded_ = testsupport::InProcessRoad::bind(L"choices-media", media_);
        made_ = testsupport::writeRaw(media_ + L"\\s16.wav", sineWav(1, 16, 2, SOURCE_RATE, SOURCE_FRAMES)) &&
                testsupport::writeRaw(media_ + L"\\u8.wav", sineWav(1, 8, 2, SOURCE_RATE, SOURCE_FRAMES)) &&
                testsupport::writeRaw(media_ + L"\\s24.wav", sineWav(1, 24, 2, SOURCE_RATE, SOURCE_FRAMES)) &&
                testsupport::writeRaw(media_ + L"\\s32.wav", sineWav(1, 32, 2, SOURCE_RATE, SOURCE_FRAMES)) &&
                testsupport::writeRaw(media_ + L"\\f32.wav", sineWav(3, 32, 2, SOURCE_RATE, SOURCE_FRAMES)) &&
                testsupport::writeRaw(media_ + L"\\f64.wav", sineWav(3, 64, 2, SOURCE_RATE, SOURCE_FRAMES)) &&
                testsupport::makeMedia(L"-i s24.wav -c:a flac s24.flac -c:a libmp3lame -b:a 128k lossy.mp3", media_);
    }
    static void TearDownTestSuite() { testsupport::InProcessRoad::unbind(media_); }

    void SetUp() override {
        ASSERT_TRUE(loaded_) << "FFmpeg libraries not bound";
        ASSERT_TRUE(made_) << "the sources could not be made";
    }

    struct Got {
        bool converted = false;
        std::string codec;
        int rate = 0, channels = 0, bits = 0;
        int64_t size = 0;
        std::string log;
    };

    // Converts a source with the record on one road; what the prober reads back.
    static Got convert(bool external, const std::wstring& source, const Setting& job) {
        testsupport::JobHost dialog;
        const std::wstring out = testsupport::freshTempFolder(L"choices-out");
        testsupport::runOnRoad(external, media_ + L"\\" + source, job, out, dialog);
        Got got;
        got.converted = dialog.succeeded && dialog.external == external;
        got.log = narrow(dialog.log->c_str());
        const std::wstring written = out + L"\\" + dialog.outputName;
        got.size = static_cast<int64_t>(testsupport::readRaw(written).size());
        s::thread::Held<s::video::VideoInfo> info(s::fftools::probeMediaFile(written.c_str()));
        const StreamInfo* audio = info ? info->firstStreamOfType(StreamInfo::TYPE_AUDIO) : nullptr;
        if (audio != nullptr) {
            got.codec = narrow(audio->codecName.c_str());
            got.rate = audio->sampleRate;
            got.channels = audio->channels;
            got.bits = audio->losslessBits;
        }
        testsupport::removeTree(out);
        return got;
    }

    static inline bool loaded_ = false;
    static inline bool made_ = false;
    static inline std::wstring media_;
};

} // namespace

TEST_F(ChoicesWritten, EveryOfferedValueOfEveryFormatIsWrittenAsChosen) {
    int conversions = 0;
    for (const Written& format : WRITTEN) {
        const PanelLayout* layout = PanelLayout::forFormat(format.formatId);
        ASSERT_NE(layout, nullptr);
        std::vector<const OptionRows*> lists;
        for (int32_t i = 0; i < layout->rowCount; ++i) {
            if (layout->rows[i].list != nullptr) {
                lists.push_back(&layout->rows[i].list());
            }
        }
        lists.push_back(&OptionRows::volume());
        for (const OptionRows* list : lists) {
            for (const OptionRows::Entry& entry : list->entries()) {
                // Loudness changes none of what is read back: the whole list on WAV, its
                // ends elsewhere.
                const bool volume = list->kind() == OptionRows::VOLUME;
                if (!OptionRows::isChoice(entry.listFlags, entry.fieldFlags) ||
                    (volume && format.formatId != 28 && entry.value != 300 && entry.value != 10)) {
                    continue;
                }
                Setting job;
                fillDefaults(*layout, job);
                PanelLayout::applyValue(&job, list->kind(), entry.value);
                const bool external = conversions++ % 9 == 4;
                SCOPED_TRACE("format " + std::to_string(format.formatId) + ", " + narrow(list->key()) + " " +
                             std::to_string(entry.value) + (external ? ", ffmpeg.exe" : ", in-process"));
                const Got got = convert(external, L"s16.wav", job);
                if (!got.converted) {
                    ADD_FAILURE() << got.log;
                    continue;
                }
                // "Same" is the source's: 44.1 kHz stereo, 16 bits.
                const int rate = job.sampleRate > 0 ? job.sampleRate : SOURCE_RATE;
                const int channels = job.channels > 0 ? job.channels : 2;
                const int32_t bits = job.bitsPerSample != 0 ? job.bitsPerSample : 16;
                if (format.rawBytes != 0) {
                    const int bytes = format.rawBytes > 0 ? format.rawBytes : pcmBytes(bits);
                    const double frames = static_cast<double>(SOURCE_FRAMES) * rate / SOURCE_RATE;
                    EXPECT_NEAR(static_cast<double>(got.size), frames * channels * bytes, frames * channels * bytes * 0.02);
                    continue;
                }
                EXPECT_EQ(got.codec, format.codec != nullptr ? format.codec : pcmName(bits, format.bigEndian));
                EXPECT_EQ(got.rate, rate);
                EXPECT_EQ(got.channels, channels);
                if (got.codec == "flac" || got.codec == "alac") {
                    EXPECT_EQ(got.bits, 16);
                }
            }
        }
    }
    EXPECT_GT(conversions, 600);
}

// "Same (Default)" in a Bits row and the lossless outputs keep each source's own layout
// where the container takes it, 16 bits where it has none, on both roads alike.
TEST_F(ChoicesWritten, SameKeepsTheSourcesLayoutOnBothRoads) {
    const struct {
        const wchar_t* source;
        const char* wav;   // .WAV; .AIFF and .AU take the same in big-endian order
        const char* aiff;
        int lossless;      // bits of FLAC, Ogg FLAC and ALAC (decoded floats keep 24)
    } rows[] = {
        {L"s16.wav", "pcm_s16le", "pcm_s16be", 16}, {L"u8.wav", "pcm_u8", "pcm_s8", 16},
        {L"s24.wav", "pcm_s24le", "pcm_s24be", 24}, {L"s24.flac", "pcm_s24le", "pcm_s24be", 24},
        {L"s32.wav", "pcm_s32le", "pcm_s32be", 24}, {L"f32.wav", "pcm_f32le", "pcm_f32be", 24},
        {L"f64.wav", "pcm_f64le", "pcm_f64be", 24}, {L"lossy.mp3", "pcm_s16le", "pcm_s16be", 24},
    };
    const struct {
        int32_t formatId;
        bool lossless;
    } formats[] = {{28, false}, {7, false}, {9, false}, {12, true}, {20, true}, {14, true}};
    for (const bool external : {false, true}) {
        for (const auto& row : rows) {
            for (const auto& format : formats) {
                SCOPED_TRACE(narrow(row.source) + " to format " + std::to_string(format.formatId) +
                             (external ? ", ffmpeg.exe" : ", in-process"));
                Setting job;
                fillDefaults(*PanelLayout::forFormat(format.formatId), job);
                const Got got = convert(external, row.source, job);
                ASSERT_TRUE(got.converted) << got.log;
                if (format.lossless) {
                    EXPECT_EQ(got.bits, row.lossless);
                } else {
                    EXPECT_EQ(got.codec, format.formatId == 28 ? row.wav : row.aiff);
                }
            }
        }
    }
}
