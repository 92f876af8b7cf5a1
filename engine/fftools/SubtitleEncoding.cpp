#include "engine/fftools/SubtitleEncoding.h"

#include <climits>
#include <cstring>
#include <utility>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/SubtitleCanvas.h"
#include "engine/fftools/TranscodeLoop.h"

namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

constexpr int SUBTITLE_OUT_MAX_SIZE = 1024 * 1024;
constexpr AVRational MILLISECONDS{1, 1000};

int subtitleKind(enum AVCodecID id) {
    const AVCodecDescriptor* desc = ff::avcodec_descriptor_get(id);
    return desc != nullptr ? desc->props & (AV_CODEC_PROP_TEXT_SUB | AV_CODEC_PROP_BITMAP_SUB) : 0;
}

// False once the stream has reached its file's "-t" (it is then closed).
bool check_recording_time(OutputStream* ost) {
    const OutputFile* of = output_files[ost->file_index];
    const int64_t first = ost->first_pts == AV_NOPTS_VALUE ? 0 : ost->first_pts;
    if (of->recording_time != INT64_MAX &&
        ff::av_rescale_q(ost->sync_opts - first, ost->enc_ctx->time_base, TIME_BASE_Q) >= of->recording_time) {
        close_output_stream(ost);
        return false;
    }
    return true;
}

// Encodes one subtitle for ost. DVB subtitles take two packets: one shows the
// rectangles, an empty one clears them at the end time.
int do_subtitle_out(OutputFile* of, OutputStream* ost, AVSubtitle* sub) {
    if (sub->pts == AV_NOPTS_VALUE) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Subtitle packets must have a pts\n");
        return exit_on_error ? -1 : 0;
    }
    AVCodecContext* enc = ost->enc_ctx;
    if (subtitle_out == nullptr) {
        subtitle_out = static_cast<uint8_t*>(ff::av_malloc(SUBTITLE_OUT_MAX_SIZE));
        if (subtitle_out == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Failed to allocate subtitle_out\n");
            return -1;
        }
    }
    const bool dvb = enc->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
    const int nb = dvb ? 2 : 1;
    // shifted to honour "-ss", so that "-t" counts from the output's start
    const int64_t pts = sub->pts - (of->start_time == AV_NOPTS_VALUE ? 0 : of->start_time);
    const unsigned rects = sub->num_rects;
    int ret = 0;
    for (int i = 0; i < nb && ret == 0; ++i) {
        ost->sync_opts = ff::av_rescale_q(pts, TIME_BASE_Q, enc->time_base);
        if (!check_recording_time(ost)) {
            break;
        }
        // the encoders want the start display time at 0
        sub->pts = pts + ff::av_rescale_q(sub->start_display_time, MILLISECONDS, TIME_BASE_Q);
        sub->end_display_time -= sub->start_display_time;
        sub->start_display_time = 0;
        if (i == 1) {
            sub->num_rects = 0;  // the clearing packet (the rectangles are given back below)
        }
        const int size = ff::avcodec_encode_subtitle(enc, subtitle_out, SUBTITLE_OUT_MAX_SIZE, sub);
        if (size < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Subtitle encoding failed\n");
            ret = -1;
            break;
        }
        AVPacket* pkt = ost->pkt;
        ff::av_packet_unref(pkt);
        if (ff::av_new_packet(pkt, size) < 0) {
            ret = -1;
            break;
        }
        std::memcpy(pkt->data, subtitle_out, static_cast<size_t>(size));
        pkt->pts = ff::av_rescale_q(sub->pts, TIME_BASE_Q, ost->mux_timebase);
        pkt->duration = ff::av_rescale_q(sub->end_display_time, MILLISECONDS, ost->mux_timebase);
        if (dvb) {
            // the display times are counted in the 90 kHz clock of the transport
            const int64_t shift = 90LL * (i == 0 ? sub->start_display_time : sub->end_display_time);
            pkt->pts += ff::av_rescale_q(shift, AVRational{1, 90000}, ost->mux_timebase);
        }
        pkt->dts = pkt->pts;
        if (output_packet(of, pkt, ost, false) < 0) {
            ret = -1;
        }
    }
    sub->num_rects = rects;
    return ret;
}

// Whether ost takes what ist decodes (it is its source, and the output has started).
bool check_output_constraints(InputStream* ist, OutputStream* ost) {
    const OutputFile* of = output_files[ost->file_index];
    const int istIndex = input_files[ist->file_index]->ist_index + ist->st->index;
    if (ost->source_index != istIndex) {
        return false;
    }
    return of->start_time == AV_NOPTS_VALUE || of->start_time == 0 || ist->pts >= of->start_time;
}

// One decode call; the subtitle goes out to the canvas and the encoders. *got tells
// whether the decoder gave one.
int decode_one(InputStream* ist, const AVPacket* pkt, int* got) {
    AVSubtitle subtitle = {};
    // (5.1 takes the packet as non-const but does not change it)
    const int ret = ff::avcodec_decode_subtitle2(ist->dec_ctx, &subtitle, got, const_cast<AVPacket*>(pkt));
    if (ret < 0 || !*got) {
        if (ret < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error while decoding stream #%d:%d: %s\n", ist->file_index,
                       ist->st->index, errorText(ret));
            *got = 0;
        }
        if (pkt->size == 0) {
            sub2video_flush(ist);
        }
        return ret < 0 && exit_on_error ? -1 : 0;
    }
    if (ist->fix_sub_duration) {
        // Each subtitle is held back until the next one, which may cut its duration short.
        if (ist->prev_sub.got_output) {
            const int64_t gap = ff::av_rescale_q(subtitle.pts - ist->prev_sub.subtitle.pts, TIME_BASE_Q, MILLISECONDS);
            const int end = static_cast<int>(gap > INT_MAX ? INT_MAX : gap);
            if (end < static_cast<int>(ist->prev_sub.subtitle.end_display_time)) {
                ff::av_log(ist->dec_ctx, AV_LOG_DEBUG, "Subtitle duration reduced from %d to %d\n",
                           ist->prev_sub.subtitle.end_display_time, end);
                ist->prev_sub.subtitle.end_display_time = static_cast<uint32_t>(end);
            }
        }
        std::swap(*got, ist->prev_sub.got_output);
        std::swap(subtitle, ist->prev_sub.subtitle);
    }
    int result = 0;
    if (*got) {
        sub2video_update(ist, &subtitle);
    }
    if (*got && subtitle.num_rects > 0) {
        for (int i = 0; i < nb_output_streams && result == 0; ++i) {
            OutputStream* ost = output_streams[i];
            if (!ost->encoding_needed || ost->filter != nullptr || !check_output_constraints(ist, ost)) {
                continue;
            }
            result = do_subtitle_out(output_files[ost->file_index], ost, &subtitle);
        }
    }
    ff::avsubtitle_free(&subtitle);
    return result;
}

} // namespace

int init_subtitle_encoder(OutputStream* ost) {
    AVCodecContext* enc = ost->enc_ctx;
    const InputStream* ist = ost->source_index >= 0 ? input_streams[ost->source_index] : nullptr;
    const AVCodecContext* dec = ist != nullptr ? ist->dec_ctx : nullptr;
    if (enc == nullptr || dec == nullptr) {
        return AVERROR(EINVAL);
    }
    const int inputKind = subtitleKind(dec->codec_id);
    const int outputKind = subtitleKind(enc->codec_id);
    if (inputKind != 0 && outputKind != 0 && inputKind != outputKind) {
        ff::av_log(nullptr, AV_LOG_ERROR,
                   "Subtitle encoding currently only possible from text to text or bitmap to bitmap\n");
        return AVERROR_INVALIDDATA;
    }
    if (dec->subtitle_header != nullptr) {
        // the ASS code reads it as text: one byte more for the terminator
        enc->subtitle_header = static_cast<uint8_t*>(ff::av_mallocz(static_cast<size_t>(dec->subtitle_header_size) + 1));
        if (enc->subtitle_header == nullptr) {
            return AVERROR(ENOMEM);
        }
        std::memcpy(enc->subtitle_header, dec->subtitle_header, static_cast<size_t>(dec->subtitle_header_size));
        enc->subtitle_header_size = dec->subtitle_header_size;
    }
    enc->time_base = MILLISECONDS;
    if (enc->width == 0) {
        enc->width = dec->width;
        enc->height = dec->height;
    }
    if (output_files[ost->file_index]->ctx->flags & AVFMT_FLAG_BITEXACT) {
        enc->flags |= AV_CODEC_FLAG_BITEXACT;
    }
    return 0;
}

int transcode_subtitles(InputStream* ist, const AVPacket* pkt) {
    if (pkt != nullptr) {
        int got = 0;
        return decode_one(ist, pkt, &got);
    }
    // The end: empty packets until the decoder has nothing more.
    AVPacket* empty = ff::av_packet_alloc();
    if (empty == nullptr) {
        return AVERROR(ENOMEM);
    }
    int got = 1;
    int ret = 0;
    while (got && ret == 0) {
        ret = decode_one(ist, empty, &got);
    }
    ff::av_packet_free(&empty);
    return ret;
}

} // namespace s::fftools
