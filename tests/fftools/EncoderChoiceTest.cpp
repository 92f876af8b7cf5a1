// What the job rules choose for an encoder, tried on the encoder itself: the Vorbis bit
// rates, and the tags an Ogg file keeps on its stream.
#include <cwchar>
#include <string>

#include "TranscoderFixture.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/fftools/MediaProber.h"
#include "engine/sound/ffmpeg/AudioRules.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/video/VideoInfo.h"
#include "support/FfmpegTools.h"

namespace ff = s::ffmpeg;
using s::sound::ffmpeg::AudioRules;
using s::sound::ffmpeg::CommandBuilder;
using s::sound::gui::dialogs::mp3conv::Setting;
using s::str::strbuffer::StrBuffer;
using s::thread::Held;
using s::video::VideoInfo;

namespace {

// The value of a tag among parallel key and value lists, keys matched in any case.
std::wstring tagOf(const s::str::strarray::StrArray& keys, const s::str::strarray::StrArray& values,
                   const wchar_t* key) {
    for (uint32_t i = 0; i < keys.count(); ++i) {
        if (_wcsicmp(keys.get(i)->c_str(), key) == 0) return values.get(i)->c_str();
    }
    return L"(none)";
}

} // namespace

class EncoderChoice : public TranscoderTest {};

// Every rate of the rules' ladder, mono and stereo, at every level, the source's quality
// and chosen bit rates: libvorbis accepts what the rules give it.
TEST_F(EncoderChoice, LibvorbisTakesEveryBitRateTheRulesChoose) {
    const AVCodec* vorbis = ff::avcodec_find_encoder_by_name("libvorbis");
    ASSERT_NE(vorbis, nullptr);
    const int32_t rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    const struct {
        int32_t quality;
        int64_t bitRate;
    } choices[] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0},
                   {Setting::QUALITY_SIMILAR, 0}, {0, 32000}, {0, 64000}, {0, 192000}, {0, 320000}};
    std::string refused;
    for (const int32_t rate : rates) {
        for (int32_t channels = 1; channels <= 2; ++channels) {
            for (const auto& choice : choices) {
                int32_t ch = channels, r = rate, quality = choice.quality;
                int64_t bitRate = choice.bitRate;
                AudioRules::chooseAudioCodecOptions(L"libvorbis", ch, r, bitRate, quality, AudioRules::CODEC_PCM_S16LE,
                                                    rate, channels, int64_t{16} * rate * channels);
                AVCodecContext* c = ff::avcodec_alloc_context3(vorbis);
                c->sample_rate = r;
                ff::av_channel_layout_default(&c->ch_layout, ch);
                c->sample_fmt = AV_SAMPLE_FMT_FLTP;
                c->bit_rate = bitRate;
                if (ff::avcodec_open2(c, vorbis, nullptr) < 0) {
                    refused += " " + std::to_string(r) + " Hz x" + std::to_string(ch) + " at " + std::to_string(bitRate);
                }
                ff::avcodec_free_context(&c);
            }
        }
    }
    EXPECT_EQ(refused, "");
}

// An Ogg Vorbis song's tags live on its stream: MP3 and FLAC outputs made by the job's
// own command carry them on the file.
TEST_F(EncoderChoice, OggStreamTagsReachTheOutputFile) {
    ASSERT_TRUE(testsupport::makeMedia(L"-f lavfi -i sine=sample_rate=44100:duration=1 -ac 2 -c:a libvorbis "
                                       L"-metadata title=Tango -metadata artist=\"Ærø\" -metadata album=Night "
                                       L"-metadata date=2001 -metadata track=7 tagged.ogg",
                                       folder_));
    Held<VideoInfo> ogg(s::fftools::probeMediaFile(path(L"tagged.ogg").c_str()));
    ASSERT_EQ(ogg->streamCount(), 1u);
    ASSERT_EQ(ogg->tagKeys.count(), 0u);  // none on the container
    const wchar_t* const tags[][2] = {
        {L"title", L"Tango"}, {L"artist", L"Ærø"}, {L"album", L"Night"}, {L"date", L"2001"}, {L"track", L"7"}};
    const struct {
        int32_t formatId;
        const wchar_t* output;
    } outputs[] = {{18, L"tagged.mp3"}, {12, L"tagged.flac"}};
    for (const auto& out : outputs) {
        SCOPED_TRACE(utf8(out.output));
        Setting setting;
        setting.formatId = out.formatId;
        setting.quality = 9;
        double weight = 0;
        Held<StrBuffer> command(CommandBuilder::buildFfmpegCommand(&setting, ogg.get(), path(L"tagged.ogg").c_str(),
                                                                   path(out.output).c_str(), nullptr, false, 0, false,
                                                                   false, nullptr, &weight));
        ASSERT_TRUE(command);
        ASSERT_EQ(ff::runFfmpegInProcess(command->c_str(), 0, weight, folder_.c_str(), 1000, nullptr, out.output,
                                         nullptr),
                  0);
        Held<VideoInfo> made(s::fftools::probeMediaFile(path(out.output).c_str()));
        for (const auto& tag : tags) {
            EXPECT_EQ(tagOf(made->tagKeys, made->tagValues, tag[0]), tag[1]);
        }
    }
}
