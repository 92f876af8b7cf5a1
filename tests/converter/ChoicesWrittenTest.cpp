// What a panel offers is what is written: every value of every option list of the 34
// audio formats (of the Volume list, its ends), one at a time with the other rows at
// their defaults, converted through the job loop on the in-process road (every ninth
// also through ffmpeg.exe), and the output's rate, channels, codec and sample layout
// read back. "Same" keeps the source's own layout, channels and samples on both roads.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/sound/gui/dialogs/mp3conv/OptionRows.h"
#include "app/sound/gui/dialogs/mp3conv/PanelLayout.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
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

// A file's first audio stream decoded whole: its rate, channels, layout and
// depth, and its samples interleaved at full scale 1.
struct Decoded {
    int rate = 0, channels = 0;
    uint64_t mask = 0;  // 0: no layout of named channels
    int bits = 0;       // the depth the samples hold: the raw depth, else the sample size
    bool floats = false;
    std::vector<double> samples;
};

double sampleAt(const AVFrame* f, int channel, int i) {
    // The planar layouts follow the packed ones in the same order.
    const bool planar = f->format >= AV_SAMPLE_FMT_U8P && f->format <= AV_SAMPLE_FMT_DBLP;
    const uint8_t* plane = f->extended_data[planar ? channel : 0];
    const int at = planar ? i : i * f->ch_layout.nb_channels + channel;
    switch (planar ? f->format - AV_SAMPLE_FMT_U8P : f->format) {
    case AV_SAMPLE_FMT_U8: return (plane[at] - 128) / 128.0;
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(plane)[at] / 32768.0;
    case AV_SAMPLE_FMT_S32: return reinterpret_cast<const int32_t*>(plane)[at] / 2147483648.0;
    case AV_SAMPLE_FMT_FLT: return reinterpret_cast<const float*>(plane)[at];
    case AV_SAMPLE_FMT_DBL: return reinterpret_cast<const double*>(plane)[at];
    default: return NAN;
    }
}

Decoded decodeAudio(const std::wstring& path) {
    namespace ff = s::ffmpeg;
    Decoded got;
    AVFormatContext* file = nullptr;
    if (ff::avformat_open_input(&file, narrow(path).c_str(), nullptr, nullptr) < 0) {
        return got;
    }
    AVCodecContext* c = nullptr;
    AVPacket* packet = ff::av_packet_alloc();
    AVFrame* frame = ff::av_frame_alloc();
    int stream = -1;
    if (ff::avformat_find_stream_info(file, nullptr) >= 0) {
        for (unsigned i = 0; i < file->nb_streams && stream < 0; ++i) {
            if (file->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
                stream = static_cast<int>(i);
            }
        }
    }
    const AVCodec* decoder = stream >= 0 ? ff::avcodec_find_decoder(file->streams[stream]->codecpar->codec_id) : nullptr;
    if (decoder != nullptr && (c = ff::avcodec_alloc_context3(decoder)) != nullptr &&
        ff::avcodec_parameters_to_context(c, file->streams[stream]->codecpar) >= 0 &&
        ff::avcodec_open2(c, decoder, nullptr) >= 0) {
        auto drain = [&] {
            while (ff::avcodec_receive_frame(c, frame) >= 0) {
                for (int i = 0; i < frame->nb_samples; ++i) {
                    for (int ch = 0; ch < frame->ch_layout.nb_channels; ++ch) {
                        got.samples.push_back(sampleAt(frame, ch, i));
                    }
                }
                got.rate = frame->sample_rate;
                got.channels = frame->ch_layout.nb_channels;
                got.mask = frame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame->ch_layout.u.mask : 0;
                const int format = frame->format;
                got.floats = format == AV_SAMPLE_FMT_FLT || format == AV_SAMPLE_FMT_FLTP ||
                             format == AV_SAMPLE_FMT_DBL || format == AV_SAMPLE_FMT_DBLP;
                got.bits = c->bits_per_raw_sample > 0 && !got.floats
                               ? c->bits_per_raw_sample
                               : ff::av_get_bytes_per_sample(static_cast<AVSampleFormat>(format)) * 8;
                ff::av_frame_unref(frame);
            }
        };
        while (ff::av_read_frame(file, packet) >= 0) {
            if (packet->stream_index == stream) {
                ff::avcodec_send_packet(c, packet);
                drain();
            }
            ff::av_packet_unref(packet);
        }
        ff::avcodec_send_packet(c, nullptr);
        drain();
    }
    ff::avcodec_free_context(&c);
    ff::av_frame_free(&frame);
    ff::av_packet_free(&packet);
    ff::avformat_close_input(&file);
    return got;
}

// The largest difference between two decodings' samples; infinite when their counts differ.
double worstDifference(const Decoded& a, const Decoded& b) {
    if (a.samples.size() != b.samples.size() || a.samples.empty()) {
        return INFINITY;
    }
    double worst = 0;
    for (size_t i = 0; i < a.samples.size(); ++i) {
        worst = std::max(worst, std::fabs(a.samples[i] - b.samples[i]));
    }
    return worst;
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

// A lavfi source of a quarter second: a tone of its own in each channel (mono, stereo, 5.1).
std::wstring tones(int channels, int rate, int lowest = 330) {
    std::wstring exprs;
    for (int ch = 0; ch < channels; ++ch) {
        exprs += (ch != 0 ? L"|" : L"") + std::wstring(L"0.5*sin(2*PI*") + std::to_wstring(lowest + 110 * ch) + L"*t)";
    }
    const wchar_t* layout = channels == 1 ? L"mono" : channels == 2 ? L"stereo" : L"5.1";
    return L"\"aevalsrc=" + exprs + L":c=" + layout + L":s=" + std::to_wstring(rate) + L":d=0.25\"";
}

// The depths "Same" keeps: the WAV encoder, the AIFF and AU one, and the bits of FLAC,
// Ogg FLAC and ALAC (at most 24).
struct Depth {
    const wchar_t* name;
    const char* wav;
    const char* aiff;
    int lossless;
};
const Depth DEPTHS[] = {
    {L"u8", "pcm_u8", "pcm_s8", 16},         {L"s16", "pcm_s16le", "pcm_s16be", 16},
    {L"s24", "pcm_s24le", "pcm_s24be", 24},  {L"s32", "pcm_s32le", "pcm_s32be", 24},
    {L"f32", "pcm_f32le", "pcm_f32be", 24},  {L"f64", "pcm_f64le", "pcm_f64be", 24},
};
const int CHANNEL_COUNTS[] = {1, 2, 6};

// One ffmpeg.exe run writing every depth at every channel count, "s24-6.wav" and so on.
std::wstring depthSources() {
    std::wstring command;
    for (const int channels : CHANNEL_COUNTS) {
        command += L" -f lavfi -i " + tones(channels, SOURCE_RATE);
    }
    for (int input = 0; input < 3; ++input) {
        for (const Depth& depth : DEPTHS) {
            const std::wstring name = depth.name;
            command += L" -map " + std::to_wstring(input) + L":a -c:a pcm_" + name +
                       (name == L"u8" ? L"" : L"le") + L" " + name + L"-" + std::to_wstring(CHANNEL_COUNTS[input]) +
                       L".wav";
        }
    }
    return command;
}

class ChoicesWritten : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        loaded_ = testsupport::InProcessRoad::bind(L"choices-media", media_);
        made_ = testsupport::writeRaw(media_ + L"\\s16.wav", sineWav(1, 16, 2, SOURCE_RATE, SOURCE_FRAMES)) &&
                testsupport::writeRaw(media_ + L"\\s24.wav", sineWav(1, 24, 2, SOURCE_RATE, SOURCE_FRAMES)) &&
                testsupport::makeMedia(L"-i s24.wav -c:a flac s24.flac -c:a libmp3lame -b:a 128k lossy.mp3 "
                                       L"-c:a wavpack -bits_per_raw_sample 24 s24.wv -ar 96000 -c:a pcm_s24le s24-96k.wav",
                                       media_) &&
                testsupport::makeMedia(depthSources(), media_) &&
                testsupport::makeMedia(L"-i f32-2.wav -c:a wavpack f32.wv", media_) &&
                // A stereo first track, then a 5.1 one at another rate that FFmpeg alone would pick.
                testsupport::makeMedia(L"-f lavfi -i " + tones(2, 44100) + L" -f lavfi -i " + tones(6, 48000, 880) +
                                       L" -map 0:a -map 1:a -c:a pcm_s16le two.mkv",
                                       media_);
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
        Decoded decoded;
    };

    // Converts a source with the record on one road, set up for it unless the caller
    // has (roadReady); what the prober reads back and the decoded output.
    static Got convert(bool external, const std::wstring& source, const Setting& job, bool roadReady = false) {
        testsupport::JobHost dialog;
        const std::wstring out = testsupport::freshTempFolder(L"choices-out");
        if (roadReady) {
            testsupport::runQueued(media_ + L"\\" + source, job, out, dialog);
        } else {
            testsupport::runOnRoad(external, media_ + L"\\" + source, job, out, dialog);
        }
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
        got.decoded = decodeAudio(written);
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

// "Same (Default)" in the Bits and Channels rows keeps what each source holds, on both
// roads alike: its depth where the container takes it (FLAC, Ogg FLAC and ALAC 16 or
// 24 bits, 16 for a lossy source), its channels, their layout where the container names
// one, its rate and its samples; of a file with two audio streams, the first.
TEST_F(ChoicesWritten, SameKeepsTheSourcesLayoutOnBothRoads) {
    struct Row {
        std::wstring source;
        const char* wav;   // .WAV; .AIFF and .AU take the same in big-endian order
        const char* aiff;
        int lossless;      // bits of FLAC, Ogg FLAC and ALAC
    };
    std::vector<Row> rows = {
        {L"s24.flac", "pcm_s24le", "pcm_s24be", 24}, {L"lossy.mp3", "pcm_s16le", "pcm_s16be", 16},
        {L"s24.wv", "pcm_s24le", "pcm_s24be", 24},   {L"f32.wv", "pcm_f32le", "pcm_f32be", 24},
        {L"two.mkv", "pcm_s16le", "pcm_s16be", 16},  {L"s24-96k.wav", "pcm_s24le", "pcm_s24be", 24},
    };
    for (const Depth& depth : DEPTHS) {
        for (const int channels : CHANNEL_COUNTS) {
            rows.push_back({std::wstring(depth.name) + L"-" + std::to_wstring(channels) + L".wav", depth.wav,
                            depth.aiff, depth.lossless});
        }
    }
    const struct {
        int32_t formatId;
        bool lossless;
        bool named;  // the container names the channels' layout
    } formats[] = {{28, false, true}, {7, false, false}, {9, false, false},
                   {12, true, true},  {20, true, false}, {14, true, true}};
    for (const bool external : {false, true}) {
        std::optional<testsupport::InProcessRoad> inProcess;
        std::optional<testsupport::ExternalRoad> outside;
        if (external) {
            outside.emplace();
        } else {
            inProcess.emplace(L"same-noffmpeg");
        }
        for (const Row& row : rows) {
            const Decoded source = decodeAudio(media_ + L"\\" + row.source);
            ASSERT_FALSE(source.samples.empty()) << narrow(row.source);
            for (const auto& format : formats) {
                SCOPED_TRACE(narrow(row.source) + " to format " + std::to_string(format.formatId) +
                             (external ? ", ffmpeg.exe" : ", in-process"));
                Setting job;
                fillDefaults(*PanelLayout::forFormat(format.formatId), job);
                const Got got = convert(external, row.source, job, true);
                ASSERT_TRUE(got.converted) << got.log;
                if (format.lossless) {
                    EXPECT_EQ(got.bits, row.lossless);
                } else {
                    EXPECT_EQ(got.codec, format.formatId == 28 ? row.wav : row.aiff);
                }
                const Decoded& out = got.decoded;
                EXPECT_EQ(out.rate, source.rate);
                EXPECT_EQ(out.channels, source.channels);
                // A named layout stays; mono and stereo may go unnamed where the container
                // names only wider ones (WAV).
                if (format.named && source.mask != 0 && (out.mask != 0 || source.channels > 2)) {
                    EXPECT_EQ(out.mask, source.mask);
                }
                // Equal where the output is as deep, else within its last bit.
                const bool asDeep = out.floats == source.floats && out.bits >= source.bits;
                EXPECT_LE(worstDifference(out, source), asDeep ? 0.0 : std::ldexp(1.0, 1 - out.bits));
                // ffmpeg.exe has no guard of ours: stored floats get it as a filter.
                if (external && source.floats && row.source != L"lossy.mp3") {
                    EXPECT_NE(got.log.find("aeval"), std::string::npos);
                }
            }
        }
    }
}
