#include "engine/fftools/MediaProber.h"

#include <windows.h>

#include "core/col/_array/ArrayP.h"
#include "core/col/_array/ArrayU08.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/TranscoderState.h"
#include "system/file/win/PathWin.h"

namespace s::fftools {

namespace ff = s::ffmpeg;
using col::_array::ArrayP;
using col::_array::ArrayU08;
using str::strarray::StrArray;
using str::strbuffer::StrBuffer;
using thread::Held;
using video::StreamInfo;
using video::VideoInfo;

namespace {

const wchar_t UNKNOWN[] = L"Unknown";

void assignUtf8(StrBuffer& out, const char* text, const wchar_t* fallback) {
    if (text != nullptr && *text != '\0') {
        out.fromUtf8(text, false, -1);
    } else {
        out.assign(fallback);
    }
}

// Tags are UTF-8 in every container FFmpeg reads; a null or empty text is an empty entry.
void appendTags(const AVDictionary* tags, StrArray& keys, StrArray& values) {
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = ff::av_dict_get(tags, "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        StrBuffer* key = StrBuffer::pool();
        StrBuffer* value = StrBuffer::pool();
        if (key != nullptr && entry->key != nullptr) {
            key->fromUtf8(entry->key, false, -1);
        }
        if (value != nullptr && entry->value != nullptr) {
            value->fromUtf8(entry->value, false, -1);
        }
        keys.addOwned(key);
        values.addOwned(value);
    }
}

// The name the copy rule and the output naming compare: the codec's own ("mp3") where
// a decoder carries it, though the one opened may be another ("mp3float").
const char* codecNameOf(AVCodecID id, const AVCodec* decoder) {
    const char* own = ff::avcodec_get_name(id);
    return ff::avcodec_find_decoder_by_name(own) != nullptr ? own : decoder->name;
}

// An opened decoder context for the stream, or null (no decoder, or it fails to open).
AVCodecContext* openDecoder(const AVStream* st) {
    const AVCodecParameters* par = st->codecpar;
    if (par->codec_id == AV_CODEC_ID_PROBE || par->codec_id == AV_CODEC_ID_NONE) {
        return nullptr;
    }
    // The transcoder's own choice, so the probe sees the samples a conversion will.
    const AVCodec* decoder = find_default_decoder(par->codec_id);
    if (decoder == nullptr) {
        return nullptr;
    }
    AVCodecContext* c = ff::avcodec_alloc_context3(decoder);
    if (c == nullptr) {
        return nullptr;
    }
    if (ff::avcodec_parameters_to_context(c, par) < 0 || ff::avcodec_open2(c, decoder, nullptr) < 0) {
        ff::avcodec_free_context(&c);
        return nullptr;
    }
    return c;
}

int32_t sampleFormatCode(int format) {
    switch (format) {
    case AV_SAMPLE_FMT_U8:
    case AV_SAMPLE_FMT_U8P: return StreamInfo::SAMPLE_U8;
    case AV_SAMPLE_FMT_S16:
    case AV_SAMPLE_FMT_S16P: return StreamInfo::SAMPLE_S16;
    case AV_SAMPLE_FMT_S32:
    case AV_SAMPLE_FMT_S32P: return StreamInfo::SAMPLE_S32;
    case AV_SAMPLE_FMT_FLT:
    case AV_SAMPLE_FMT_FLTP: return StreamInfo::SAMPLE_FLT;
    case AV_SAMPLE_FMT_DBL:
    case AV_SAMPLE_FMT_DBLP: return StreamInfo::SAMPLE_DBL;
    default: return StreamInfo::SAMPLE_OTHER;
    }
}

void fillVideo(VideoInfo* info, StreamInfo* s, AVFormatContext* ctx, AVStream* st) {
    const AVCodecParameters* par = st->codecpar;
    s->type = StreamInfo::TYPE_VIDEO;
    if (info->hasVideo == 0) {
        // The file's size is its first video stream's.
        info->hasVideo = 1;
        info->width = par->width;
        info->height = par->height;
    }
    s->width = par->width;
    s->height = par->height;
    s->hasBFrames = par->video_delay != 0 ? 1 : 0;
    const AVRational sar = ff::av_guess_sample_aspect_ratio(ctx, st, nullptr);
    if (sar.den != 0) {
        s->hasSampleAspect = 1;
        s->sampleAspectNum = sar.num;
        s->sampleAspectDen = sar.den;
        int num = 0, den = 0;
        ff::av_reduce(&num, &den, static_cast<int64_t>(par->width) * sar.num,
                      static_cast<int64_t>(par->height) * sar.den, 1024 * 1024);
        s->displayAspectNum = num;
        s->displayAspectDen = den;
    }
    const char* pixelFormat = par->format != AV_PIX_FMT_NONE
                                  ? ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(par->format))
                                  : nullptr;
    assignUtf8(s->pixelFormatName, pixelFormat, UNKNOWN);
    s->level = par->level;
    // Decoders no longer carry a start timecode; containers give it as a tag.
    const AVDictionaryEntry* timecode = ff::av_dict_get(st->metadata, "timecode", nullptr, 0);
    assignUtf8(s->timecode, timecode != nullptr ? timecode->value : nullptr, L"N/A");
}

void fillAudio(VideoInfo* info, StreamInfo* s, const AVStream* st, const AVCodecContext* c) {
    const AVCodecParameters* par = st->codecpar;
    s->type = StreamInfo::TYPE_AUDIO;
    info->hasAudio = 1;
    s->sampleRate = par->sample_rate;
    s->channels = par->ch_layout.nb_channels;
    const int bits = ff::av_get_bits_per_sample(par->codec_id);
    s->bitsPerSample = bits;
    if (bits != 0) {
        // Uncompressed audio: the rate follows from the sample size, whatever the container says.
        s->bitRate = static_cast<int64_t>(par->sample_rate) * s->channels * bits;
    }
    // The opened decoder's own layout is what a conversion will decode to.
    s->sampleFormat = sampleFormatCode(c != nullptr ? c->sample_fmt : par->format);
    const AVCodecDescriptor* descriptor = ff::avcodec_descriptor_get(par->codec_id);
    if (descriptor == nullptr || (descriptor->props & AV_CODEC_PROP_LOSSLESS) == 0) {
        return;  // decoded floats of a lossy codec hold no depth of their own
    }
    // A 24-bit FLAC decodes to 32-bit samples: the raw depth says what they hold.
    const int raw = c != nullptr && c->bits_per_raw_sample > 0 ? c->bits_per_raw_sample : par->bits_per_raw_sample;
    const int format = c != nullptr ? c->sample_fmt : par->format;
    if ((descriptor->props & AV_CODEC_PROP_LOSSY) != 0) {
        // A codec with lossless and lossy modes (WavPack, DTS) is judged by what it decodes
        // to: integers hold their depth, and so do floats whose depth the decoder states
        // (WavPack's stored floats); DTS's lossy core gives floats of no depth.
        const bool floats = s->sampleFormat == StreamInfo::SAMPLE_FLT || s->sampleFormat == StreamInfo::SAMPLE_DBL;
        if (s->sampleFormat == StreamInfo::SAMPLE_OTHER || (floats && raw <= 0)) {
            return;
        }
    }
    s->losslessBits = raw > 0 ? raw : bits > 0 ? bits : ff::av_get_bytes_per_sample(static_cast<AVSampleFormat>(format)) * 8;
}

void fillStreamInfo(VideoInfo* info, AVFormatContext* ctx, uint32_t index, const AVCodecContext* c) {
    StreamInfo* s = info->stream(index);
    AVStream* st = ctx->streams[index];
    const AVCodecParameters* par = st->codecpar;
    const AVCodec* decoder = c != nullptr ? c->codec : nullptr;
    if (decoder != nullptr) {
        s->codecId = par->codec_id;
        assignUtf8(s->codecName, codecNameOf(par->codec_id, decoder), UNKNOWN);
        assignUtf8(s->codecLongName, decoder->long_name, UNKNOWN);
        assignUtf8(s->profileName, ff::av_get_profile_name(decoder, par->profile), UNKNOWN);
    } else {
        s->codecName.assign(UNKNOWN);
        s->codecLongName.assign(UNKNOWN);
        s->profileName.assign(UNKNOWN);
    }
    char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
    ff::av_fourcc_make_string(tag, par->codec_tag);
    s->codecTagText.fromUtf8(tag, false, -1);
    s->codecTag = par->codec_tag;
    s->bitRate = par->bit_rate;

    switch (par->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        fillVideo(info, s, ctx, st);
        // Decoders keep no time base of their own any more: one frame's length.
        if (st->r_frame_rate.num > 0 && st->r_frame_rate.den > 0) {
            s->codecTimeBaseNum = st->r_frame_rate.den;
            s->codecTimeBaseDen = st->r_frame_rate.num;
        }
        break;
    case AVMEDIA_TYPE_AUDIO:
        fillAudio(info, s, st, c);
        // One sample's length.
        if (par->sample_rate > 0) {
            s->codecTimeBaseNum = 1;
            s->codecTimeBaseDen = par->sample_rate;
        }
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        s->type = StreamInfo::TYPE_SUBTITLE;
        break;
    default:
        s->type = StreamInfo::TYPE_UNKNOWN;
        break;
    }

    s->realFrameRateNum = st->r_frame_rate.num;
    s->realFrameRateDen = st->r_frame_rate.den;
    s->avgFrameRateNum = st->avg_frame_rate.num;
    s->avgFrameRateDen = st->avg_frame_rate.den;
    s->timeBaseNum = st->time_base.num;
    s->timeBaseDen = st->time_base.den;
    s->startTime = st->start_time;
    s->duration = st->duration;
    if (st->nb_frames != 0) {
        s->frameCount = st->nb_frames;
    }
    appendTags(st->metadata, s->tagKeys, s->tagValues);
}

void fillFormatInfo(VideoInfo* info, AVFormatContext* ctx) {
    const int64_t size = ctx->pb != nullptr ? ff::avio_size(ctx->pb) : -1;
    assignUtf8(info->formatName, ctx->iformat->name, L"");
    if (ctx->iformat->long_name != nullptr) {
        info->formatLongName.fromUtf8(ctx->iformat->long_name, false, -1);
    }
    info->startTime = ctx->start_time;
    info->duration = ctx->duration;
    info->fileSize = size;
    info->bitRate = fileBitRate(ctx->bit_rate, size, info->duration);
    backFillStreamBitRates(info);
    appendTags(ctx->metadata, info->tagKeys, info->tagValues);
}

void closeProbeInput(AVFormatContext** ctx, ArrayP& decoders) {
    for (uint32_t i = 0; i < decoders.count(); ++i) {
        AVCodecContext* c = static_cast<AVCodecContext*>(decoders.get(i));
        ff::avcodec_free_context(&c);
    }
    decoders.clear();
    ff::avformat_close_input(ctx);
}

// Opens and analyses the file and lists its streams, each with its decoder opened when
// it can be (the contexts land in `decoders`, null where none opened). Negative: an
// FFmpeg error; nothing stays open then.
int openProbeInput(VideoInfo* info, AVFormatContext** ctx, const char* fileName, ArrayP& decoders) {
    info->streamInfoFound = 0;
    int err = ff::avformat_open_input(ctx, fileName, nullptr, nullptr);
    if (err < 0) {
        return err;
    }
    err = ff::avformat_find_stream_info(*ctx, nullptr);
    if (err < 0) {
        ff::avformat_close_input(ctx);
        return err;
    }
    info->streamInfoFound = 1;
    for (unsigned i = 0; i < (*ctx)->nb_streams; ++i) {
        StreamInfo* s = StreamInfo::pool();
        AVCodecContext* c = openDecoder((*ctx)->streams[i]);
        if (!info->addStream(s) || !decoders.add(c)) {
            ff::avcodec_free_context(&c);
            closeProbeInput(ctx, decoders);
            return AVERROR(ENOMEM);
        }
        s->decoderOpened = c != nullptr ? 1 : 0;
    }
    return 0;
}

int probeFile(VideoInfo* info, const char* fileName) {
    AVFormatContext* ctx = nullptr;
    ArrayP decoders;
    const int err = openProbeInput(info, &ctx, fileName, decoders);
    if (err < 0) {
        // A file that is no media, or is cut short: no streams, nothing half-filled.
        info->clearStreams();
        info->streamInfoFound = 0;
        return err;
    }
    for (uint32_t i = 0; i < info->streamCount(); ++i) {
        fillStreamInfo(info, ctx, i, static_cast<const AVCodecContext*>(decoders.get(i)));
    }
    fillFormatInfo(info, ctx);
    closeProbeInput(&ctx, decoders);
    return 0;
}

} // namespace

int64_t fileBitRate(int64_t containerRate, int64_t size, int64_t duration) {
    if (duration <= 0) {
        return containerRate;
    }
    const double seconds = static_cast<double>(duration) / 1000000.0;
    const int64_t rate = static_cast<int64_t>(static_cast<double>(size) * 8.0 / seconds);
    return rate > 0 ? rate : containerRate;
}

namespace {

// The first stream of the kind without a known rate gets what the file's rate leaves
// over after every stream that has one; never less than 0.
void backFillBitRate(VideoInfo* info, int32_t type) {
    StreamInfo* target = info->firstStreamOfType(type);
    if (target == nullptr || target->bitRate > 0) {
        return;
    }
    int64_t known = 0;
    for (uint32_t i = 0; i < info->streamCount(); ++i) {
        if (info->stream(i)->bitRate > 0) {
            known += info->stream(i)->bitRate;
        }
    }
    const int64_t rest = info->bitRate - known;
    target->bitRate = rest > 0 ? rest : 0;
}

} // namespace

void backFillStreamBitRates(VideoInfo* info) {
    if (info->hasVideo != 0) {
        backFillBitRate(info, StreamInfo::TYPE_VIDEO);
        if (info->hasAudio != 0) {
            backFillBitRate(info, StreamInfo::TYPE_AUDIO);
        }
    }
}

VideoInfo* probeMediaFile(const wchar_t* path) {
    VideoInfo* info = VideoInfo::pool();
    if (info == nullptr || path == nullptr || !ff::ffmpegLibrariesLoaded()) {
        return info;
    }
    Held<file::win::PathWin> file(file::win::PathWin::create(path));
    if (!file || !file->isFile()) {
        return info;
    }
    info->probed = 1;
    info->fullPath.assign(path);
    info->fileName.assign(file->getName());
    Held<ArrayU08> utf8(info->fullPath.toUtf8(nullptr, false));
    if (!utf8 || utf8->count() == 0) {
        return info;
    }
    probeFile(info, reinterpret_cast<const char*>(utf8->values()));
    if (info->fileSize < 0) {
        // FFmpeg could not open it; the log still tells the size the file has.
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExW(file->getApiText(), GetFileExInfoStandard, &data)) {
            info->fileSize = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        }
    }
    return info;
}

} // namespace s::fftools
