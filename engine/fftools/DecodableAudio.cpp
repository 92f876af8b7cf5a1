#include "engine/fftools/DecodableAudio.h"

#include <cerrno>

#include "core/col/_array/ArrayU08.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/TranscoderState.h"

namespace s::fftools {

namespace ff = s::ffmpeg;
using col::_array::ArrayU08;
using str::strbuffer::StrBuffer;
using thread::Held;

namespace {

// Everything one look opened, closed on every return.
struct Look {
    int64_t deadline = 0;  // av_gettime_relative() microseconds
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    ~Look() {
        ff::av_frame_free(&frame);
        ff::av_packet_free(&packet);
        ff::avcodec_free_context(&decoder);
        ff::avformat_close_input(&format);
    }
};

// True once the decoder gives a frame with samples at a known rate.
bool gaveSamples(Look& look) {
    while (ff::avcodec_receive_frame(look.decoder, look.frame) >= 0) {
        const bool samples = look.frame->nb_samples > 0 && look.frame->sample_rate > 0;
        ff::av_frame_unref(look.frame);
        if (samples) {
            return true;
        }
    }
    return false;
}

constexpr unsigned OPEN_RETRY_US = 50000;

bool pastDeadline(const Look& look) {
    return ff::av_gettime_relative() > look.deadline;
}

// Ends a read or probe that the time limit has overtaken.
int interrupted(void* opaque) {
    return pastDeadline(*static_cast<const Look*>(opaque)) ? 1 : 0;
}

// Opens the file into look.format, bounded by the look's time limit.
int openInput(Look& look, const char* fileName) {
    look.format = ff::avformat_alloc_context();
    if (look.format == nullptr) {
        return AVERROR(ENOMEM);
    }
    look.format->interrupt_callback.callback = &interrupted;
    look.format->interrupt_callback.opaque = &look;
    return ff::avformat_open_input(&look.format, fileName, nullptr, nullptr);
}

bool decodes(const char* fileName) {
    Look look;
    look.deadline = ff::av_gettime_relative() + DecodableAudio::TIME_LIMIT_MS * 1000;
    int opened = openInput(look, fileName);
    // Another program may hold a fresh file without sharing it for a moment (a scanner,
    // an indexer, whoever waits for the output): that is no verdict on its sound.
    while (opened == AVERROR(EACCES) && !pastDeadline(look)) {
        ff::av_usleep(OPEN_RETRY_US);
        opened = openInput(look, fileName);
    }
    if (opened < 0 || ff::avformat_find_stream_info(look.format, nullptr) < 0) {
        return false;
    }
    int index = -1;
    for (unsigned i = 0; i < look.format->nb_streams && index < 0; ++i) {
        if (look.format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            index = static_cast<int>(i);
        }
    }
    if (index < 0) {
        return false;
    }
    const AVCodecParameters* par = look.format->streams[index]->codecpar;
    // The decoder the transcoder would open.
    const AVCodec* codec = find_default_decoder(par->codec_id);
    look.packet = ff::av_packet_alloc();
    look.frame = ff::av_frame_alloc();
    if (look.packet == nullptr || look.frame == nullptr) {
        return false;
    }
    // A codec these libraries cannot decode is judged by its first packet alone.
    if (codec != nullptr) {
        look.decoder = ff::avcodec_alloc_context3(codec);
        if (look.decoder == nullptr || ff::avcodec_parameters_to_context(look.decoder, par) < 0 ||
            ff::avcodec_open2(look.decoder, codec, nullptr) < 0) {
            return false;
        }
    }
    while (!pastDeadline(look)) {
        if (ff::av_read_frame(look.format, look.packet) < 0) {
            break;  // the end, or a read error: what the decoder holds still counts
        }
        const bool ours = look.packet->stream_index == index && look.packet->size > 0;
        if (ours && look.decoder == nullptr) {
            return true;
        }
        if (ours) {
            ff::avcodec_send_packet(look.decoder, look.packet);
        }
        ff::av_packet_unref(look.packet);
        if (ours && gaveSamples(look)) {
            return true;
        }
    }
    if (look.decoder == nullptr || pastDeadline(look)) {
        return false;
    }
    ff::avcodec_send_packet(look.decoder, nullptr);
    return gaveSamples(look);
}

} // namespace

bool DecodableAudio::holds(const wchar_t* path) {
    if (path == nullptr || !ff::ffmpegLibrariesLoaded()) {
        return false;
    }
    Held<StrBuffer> wide(StrBuffer::fromText(path));
    Held<ArrayU08> utf8(wide ? wide->toUtf8(nullptr, false) : nullptr);
    if (!utf8 || utf8->count() == 0) {
        return false;
    }
    return decodes(reinterpret_cast<const char*>(utf8->values()));
}

} // namespace s::fftools
