#include "engine/fftools/TranscodeLoop.h"

#include <windows.h>

#include <cinttypes>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/FilterGraphs.h"
#include "engine/fftools/SampleGuard.h"
#include "engine/fftools/SubtitleCanvas.h"
#include "engine/fftools/SubtitleEncoding.h"
#include "engine/fftools/VideoStatistics.h"

namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

InputStream* sourceOf(const OutputStream* ost) {
    return ost->source_index >= 0 ? input_streams[ost->source_index] : nullptr;
}

const char* mediaName(enum AVMediaType type) {
    return type == AVMEDIA_TYPE_VIDEO ? "Video" : type == AVMEDIA_TYPE_AUDIO ? "Audio" : "Subtitle";
}

} // namespace

// ---- output side ----

void close_output_stream(OutputStream* ost) {
    OutputFile* of = output_files[ost->file_index];
    ost->finished |= ENCODER_FINISHED;
    if (of->shortest) {
        for (unsigned i = 0; i < of->ctx->nb_streams; ++i) {
            output_streams[of->ost_index + static_cast<int>(i)]->finished |= ENCODER_FINISHED;
        }
    }
}

void finish_output_stream(OutputStream* ost) {
    OutputFile* of = output_files[ost->file_index];
    ost->finished = ENCODER_FINISHED | MUXER_FINISHED;
    if (of->shortest) {
        for (unsigned i = 0; i < of->ctx->nb_streams; ++i) {
            output_streams[of->ost_index + static_cast<int>(i)]->finished = ENCODER_FINISHED | MUXER_FINISHED;
        }
    }
}

// Hands one packet (in the stream's mux time base) to the muxer. 0, or -1 after a
// logged write failure.
int write_packet(OutputFile* of, AVPacket* pkt, OutputStream* ost) {
    AVFormatContext* s = of->ctx;
    AVStream* st = ost->st;
    if (ost->finished & MUXER_FINISHED) {
        ff::av_packet_unref(pkt);
        return 0;
    }
    // Video frames are counted as they are encoded, everything else here.
    if (!(st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && ost->encoding_needed)) {
        if (ost->frame_number >= ost->max_frames) {
            ff::av_packet_unref(pkt);
            return 0;
        }
        ++ost->frame_number;
    }
    ff::av_packet_rescale_ts(pkt, ost->mux_timebase, st->time_base);
    if (!(s->oformat->flags & AVFMT_NOTIMESTAMPS)) {
        if (pkt->dts != AV_NOPTS_VALUE && pkt->pts != AV_NOPTS_VALUE && pkt->dts > pkt->pts) {
            ff::av_log(s, AV_LOG_WARNING, "Invalid DTS: %" PRId64 " PTS: %" PRId64 " in output stream %d:%d, replacing by guess\n",
                       pkt->dts, pkt->pts, ost->file_index, st->index);
            pkt->pts = pkt->dts = pkt->pts + pkt->dts + ost->last_mux_dts + 1 -
                                  FFMIN3(pkt->pts, pkt->dts, ost->last_mux_dts + 1) -
                                  FFMAX3(pkt->pts, pkt->dts, ost->last_mux_dts + 1);
        }
        if (pkt->dts != AV_NOPTS_VALUE && ost->last_mux_dts != AV_NOPTS_VALUE) {
            const int64_t max = ost->last_mux_dts + !(s->oformat->flags & AVFMT_TS_NONSTRICT);
            if (pkt->dts < max) {
                const int level = max - pkt->dts > 2 || st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? AV_LOG_WARNING
                                                                                                          : AV_LOG_DEBUG;
                ff::av_log(s, level,
                           "Non-monotonous DTS in output stream %d:%d; previous: %" PRId64 ", current: %" PRId64
                           "; changing to %" PRId64 ". This may result in incorrect timestamps in the output file.\n",
                           ost->file_index, st->index, ost->last_mux_dts, pkt->dts, max);
                if (pkt->pts >= pkt->dts) {
                    pkt->pts = FFMAX(pkt->pts, max);
                }
                pkt->dts = max;
            }
        }
    }
    ost->last_mux_dts = pkt->dts;
    ost->data_size += pkt->size;
    ++ost->packets_written;
    switch (st->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO: video_size += pkt->size; break;
    case AVMEDIA_TYPE_AUDIO: audio_size += pkt->size; break;
    case AVMEDIA_TYPE_SUBTITLE: subtitle_size += pkt->size; break;
    default: break;
    }
    pkt->stream_index = ost->index;
    const int ret = ff::av_interleaved_write_frame(s, pkt);
    if (ret < 0) {
        print_error("av_interleaved_write_frame()", ret);
        return -1;
    }
    return 0;
}

// Through the stream's bitstream filters, if any, to the muxer. eof drains the filters.
int output_packet(OutputFile* of, AVPacket* pkt, OutputStream* ost, bool eof) {
    int ret = 0;
    if (ost->bsf_ctx != nullptr) {
        ret = ff::av_bsf_send_packet(ost->bsf_ctx, eof ? nullptr : pkt);
        while (ret >= 0) {
            ret = ff::av_bsf_receive_packet(ost->bsf_ctx, pkt);
            if (ret < 0) {
                break;
            }
            if (write_packet(of, pkt, ost) < 0) {
                return -1;
            }
        }
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) {
            ret = 0;
        }
    } else if (!eof) {
        ret = write_packet(of, pkt, ost);
    }
    if (ret < 0) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Error applying bitstream filters to an output packet for stream #%d:%d.\n",
                   ost->file_index, ost->index);
        return -1;
    }
    return 0;
}

namespace {

// Sends a frame (null: flush) to the encoder and muxes every packet it gives back.
int encode_frame(OutputFile* of, OutputStream* ost, AVFrame* frame) {
    AVCodecContext* enc = ost->enc_ctx;
    AVPacket* pkt = ost->pkt;
    const char* failed = enc->codec_type == AVMEDIA_TYPE_AUDIO ? "Audio encoding failed (avcodec_encode_audio2)\n"
                                                               : "Video encoding failed\n";
    int ret = ff::avcodec_send_frame(enc, frame);
    if (ret < 0 && !(ret == AVERROR_EOF && frame == nullptr)) {
        if (frame == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "%s encoding failed\n", mediaName(enc->codec_type));
        } else {
            ff::av_log(nullptr, AV_LOG_FATAL, "%s", failed);
        }
        return -1;
    }
    for (;;) {
        ret = ff::avcodec_receive_packet(enc, pkt);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) {
            return 0;
        }
        if (ret < 0) {
            if (frame == nullptr) {
                ff::av_log(nullptr, AV_LOG_FATAL, "%s encoding failed\n", mediaName(enc->codec_type));
            } else {
                ff::av_log(nullptr, AV_LOG_FATAL, "%s", failed);
            }
            return -1;
        }
        if (ost->logfile != nullptr && enc->stats_out != nullptr) {
            std::fprintf(ost->logfile, "%s", enc->stats_out);
        }
        const int frameSize = pkt->size;
        if (enc->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++ost->frame_number;
            read_quality_stats(ost, pkt);
        }
        ff::av_packet_rescale_ts(pkt, enc->time_base, ost->mux_timebase);
        if (output_packet(of, pkt, ost, false) < 0) {
            return -1;
        }
        if (enc->codec_type == AVMEDIA_TYPE_VIDEO && vstats_filename != nullptr && frameSize > 0 &&
            do_video_stats(ost, frameSize) < 0) {
            return -1;
        }
    }
}

int do_audio_out(OutputFile* of, OutputStream* ost, AVFrame* frame) {
    if (frame->pts == AV_NOPTS_VALUE || audio_sync_method < 0) {
        frame->pts = ost->sync_opts;
    }
    ost->sync_opts = frame->pts + frame->nb_samples;
    ost->samples_encoded += frame->nb_samples;
    ++ost->frames_encoded;
    return encode_frame(of, ost, frame);
}

int do_video_out(OutputFile* of, OutputStream* ost, AVFrame* frame) {
    if (ost->frame_number >= ost->max_frames) {
        return 0;
    }
    if (frame->pts == AV_NOPTS_VALUE) {
        frame->pts = ost->sync_opts;
    }
    // A frame on a tick the encoder has had already (a source less regular than the rate
    // it is encoded at) is dropped, as a constant rate drops early frames; the encoder
    // would refuse it and end the run.
    if (ost->frames_encoded > 0 && frame->pts < ost->sync_opts) {
        ++nb_frames_drop;
        ff::av_log(nullptr, AV_LOG_VERBOSE, "*** drop!\n");
        return 0;
    }
    ost->sync_opts = frame->pts + 1;
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    if (ost->enc_ctx->global_quality > 0) {
        frame->quality = ost->enc_ctx->global_quality;
    }
    ++ost->frames_encoded;
    return encode_frame(of, ost, frame);
}

int flush_encoders() {
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        OutputFile* of = output_files[ost->file_index];
        if (!ost->encoding_needed || ost->enc_ctx == nullptr || !ost->initialized) {
            continue;
        }
        const enum AVMediaType type = ost->enc_ctx->codec_type;
        if (type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_VIDEO) {
            continue;
        }
        if (encode_frame(of, ost, nullptr) < 0 || output_packet(of, ost->pkt, ost, true) < 0) {
            return -1;
        }
    }
    return 0;
}

// ---- input side ----

// The stream copy of one packet (null: the input ended) to ost.
int do_streamcopy(InputStream* ist, OutputStream* ost, const AVPacket* pkt) {
    OutputFile* of = output_files[ost->file_index];
    InputFile* f = input_files[ist->file_index];
    const int64_t startTime = of->start_time == AV_NOPTS_VALUE ? 0 : of->start_time;
    if (pkt == nullptr) {
        return 0;
    }
    if (!ost->frame_number && !(pkt->flags & AV_PKT_FLAG_KEY) && !ost->copy_initial_nonkeyframes) {
        return 0;
    }
    if (!ost->frame_number && !ost->copy_prior_start) {
        const int64_t comparable = pkt->pts != AV_NOPTS_VALUE
                                       ? ff::av_rescale_q(pkt->pts, ist->st->time_base, TIME_BASE_Q)
                                       : ist->pts;
        if (comparable < startTime) {
            return 0;
        }
    }
    if (of->recording_time != INT64_MAX && ist->pts >= of->recording_time + startTime) {
        close_output_stream(ost);
        return 0;
    }
    if (f->recording_time != INT64_MAX) {
        const int64_t inputStart = f->start_time == AV_NOPTS_VALUE ? 0 : f->start_time;
        if (ist->pts >= f->recording_time + inputStart) {
            close_output_stream(ost);
            return 0;
        }
    }
    AVPacket* opkt = ost->pkt;
    if (ff::av_packet_ref(opkt, pkt) < 0) {
        return -1;
    }
    const int64_t ostStart = ff::av_rescale_q(startTime, TIME_BASE_Q, ost->mux_timebase);
    if (pkt->pts != AV_NOPTS_VALUE) {
        opkt->pts = ff::av_rescale_q(pkt->pts, ist->st->time_base, ost->mux_timebase) - ostStart;
    }
    if (pkt->dts == AV_NOPTS_VALUE) {
        opkt->dts = ff::av_rescale_q(ist->dts, TIME_BASE_Q, ost->mux_timebase);
    } else {
        opkt->dts = ff::av_rescale_q(pkt->dts, ist->st->time_base, ost->mux_timebase);
    }
    opkt->dts -= ostStart;
    opkt->duration = ff::av_rescale_q(pkt->duration, ist->st->time_base, ost->mux_timebase);
    return output_packet(of, opkt, ost, false);
}

int send_frame_to_filters(InputStream* ist, AVFrame* frame) {
    for (int i = 0; i < ist->nb_filters; ++i) {
        AVFrame* f = frame;
        if (i < ist->nb_filters - 1) {
            // Every graph but the last gets its own reference.
            f = ist->filter_frame;
            if (ff::av_frame_ref(f, frame) < 0) {
                return AVERROR(ENOMEM);
            }
        }
        const int ret = ifilter_send_frame(ist->filters[i], f);
        if (f != frame) {
            ff::av_frame_unref(f);
        }
        if (ret == AVERROR_EOF) {
            continue;  // that graph has had all it wants
        }
        if (ret < 0) {
            return ret;
        }
    }
    return 0;
}

int decoded_audio(InputStream* ist, AVFrame* frame, const AVPacket* pkt) {
    AVCodecContext* dec = ist->dec_ctx;
    ist->samples_decoded += frame->nb_samples;
    ++ist->frames_decoded;
    if (frame->sample_rate <= 0) {
        return 0;
    }
    ist->next_pts += (static_cast<int64_t>(AV_TIME_BASE) * frame->nb_samples) / frame->sample_rate;
    ist->next_dts += (static_cast<int64_t>(AV_TIME_BASE) * frame->nb_samples) / frame->sample_rate;
    AVRational tb = ist->st->time_base;
    if (frame->pts == AV_NOPTS_VALUE) {
        if (pkt != nullptr && pkt->pts != AV_NOPTS_VALUE) {
            frame->pts = pkt->pts;
        } else {
            frame->pts = ist->dts;
            tb = TIME_BASE_Q;
        }
    }
    const AVRational sampleTb{1, frame->sample_rate};
    frame->pts = ff::av_rescale_delta(tb, frame->pts, sampleTb, frame->nb_samples, &ist->filter_in_rescale_delta_last,
                                      sampleTb);
    (void)dec;
    // Held before the volume filter, so that what it makes louder still ends in range.
    const int64_t bounded = SampleGuard::boundFrame(frame, SampleGuard::limitBeforeVolume(audio_volume));
    if (bounded < 0) {
        return static_cast<int>(bounded);
    }
    if (bounded > 0) {
        ff::av_log(nullptr, AV_LOG_WARNING, "Stream #%d:%d: %lld damaged samples (not finite or far past full scale)"
                   " held in range\n", ist->file_index, ist->st->index, static_cast<long long>(bounded));
    }
    return send_frame_to_filters(ist, frame);
}

int decoded_video(InputStream* ist, AVFrame* frame) {
    ++ist->frames_decoded;
    frame->pts = frame->best_effort_timestamp;
    if (ist->framerate.num != 0) {
        frame->pts = ist->cfr_next_pts++;
    }
    if (frame->pts != AV_NOPTS_VALUE) {
        const AVRational tb = ist->framerate.num != 0 ? av_inv_q(ist->framerate) : ist->st->time_base;
        ist->next_pts = ist->pts = ff::av_rescale_q(frame->pts, tb, TIME_BASE_Q);
    }
    frame->sample_aspect_ratio = ist->st->sample_aspect_ratio.num != 0 ? ist->st->sample_aspect_ratio
                                                                       : frame->sample_aspect_ratio;
    return send_frame_to_filters(ist, frame);
}

// Decodes one packet (null: drains the decoder) and sends every frame on. At the end of
// the stream the graphs it feeds are closed. 0, or negative on a failure that ends the run.
int decode_packet(InputStream* ist, const AVPacket* pkt) {
    AVCodecContext* dec = ist->dec_ctx;
    const enum AVMediaType type = dec->codec_type;
    if (type == AVMEDIA_TYPE_SUBTITLE) {
        return transcode_subtitles(ist, pkt);
    }
    if (type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_VIDEO) {
        return 0;
    }
    int ret = ff::avcodec_send_packet(dec, pkt);
    if (ret < 0 && ret != AVERROR_EOF) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Error while decoding stream #%d:%d: %s\n", ist->file_index, ist->st->index,
                   errorText(ret));
        if (exit_on_error) {
            return -1;
        }
    }
    AVFrame* frame = ist->decoded_frame;
    for (;;) {
        ret = ff::avcodec_receive_frame(dec, frame);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) {
            break;
        }
        if (ret < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error while decoding stream #%d:%d: %s\n", ist->file_index,
                       ist->st->index, errorText(ret));
            if (exit_on_error) {
                return -1;
            }
            break;
        }
        const int sent = type == AVMEDIA_TYPE_AUDIO ? decoded_audio(ist, frame, pkt) : decoded_video(ist, frame);
        ff::av_frame_unref(frame);
        if (sent < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Failed to inject frame into filter network\n");
            return -1;
        }
    }
    if (pkt == nullptr) {
        for (int i = 0; i < ist->nb_filters; ++i) {
            if (ifilter_send_eof(ist->filters[i], ist->next_pts) < 0) {
                ff::av_log(nullptr, AV_LOG_FATAL, "Error marking filters as finished\n");
                return -1;
            }
        }
    }
    return 0;
}

// One packet of ist (null: the input ended): timestamps, decoding, stream copies.
int process_input_packet(InputStream* ist, const AVPacket* pkt) {
    const AVCodecParameters* par = ist->st->codecpar;
    if (!ist->saw_first_ts) {
        ist->dts = ist->st->avg_frame_rate.num != 0 && ist->dec_ctx != nullptr
                       ? static_cast<int64_t>(-ist->dec_ctx->has_b_frames * AV_TIME_BASE / av_q2d(ist->st->avg_frame_rate))
                       : 0;
        ist->pts = 0;
        if (pkt != nullptr && pkt->pts != AV_NOPTS_VALUE && !ist->decoding_needed) {
            ist->dts += ff::av_rescale_q(pkt->pts, ist->st->time_base, TIME_BASE_Q);
            ist->pts = ist->dts;
        }
        ist->saw_first_ts = 1;
    }
    if (ist->next_dts == AV_NOPTS_VALUE) {
        ist->next_dts = ist->dts;
    }
    if (ist->next_pts == AV_NOPTS_VALUE) {
        ist->next_pts = ist->pts;
    }
    if (pkt != nullptr && pkt->dts != AV_NOPTS_VALUE) {
        ist->next_dts = ist->dts = ff::av_rescale_q(pkt->dts, ist->st->time_base, TIME_BASE_Q);
        if (par->codec_type != AVMEDIA_TYPE_VIDEO || !ist->decoding_needed) {
            ist->next_pts = ist->pts = ist->dts;
        }
    }
    if (ist->decoding_needed) {
        const int ret = decode_packet(ist, pkt);
        if (ret < 0) {
            return ret;
        }
    }
    if (!ist->decoding_needed && pkt != nullptr) {
        ist->dts = ist->next_dts;
        int64_t step = 0;
        if (pkt->duration > 0) {
            step = ff::av_rescale_q(pkt->duration, ist->st->time_base, TIME_BASE_Q);
        } else if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0) {
            step = static_cast<int64_t>(AV_TIME_BASE) * par->frame_size / par->sample_rate;
        } else if (par->codec_type == AVMEDIA_TYPE_VIDEO && ist->st->avg_frame_rate.num != 0) {
            step = ff::av_rescale_q(1, av_inv_q(ist->st->avg_frame_rate), TIME_BASE_Q);
        }
        ist->next_dts += step;
        ist->pts = ist->dts;
        ist->next_pts = ist->next_dts;
    }
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        if (ost->source_index < 0 || input_streams[ost->source_index] != ist || ost->encoding_needed) {
            continue;
        }
        if (do_streamcopy(ist, ost, pkt) < 0) {
            return -1;
        }
    }
    return 0;
}

bool got_eagain() {
    for (int i = 0; i < nb_output_streams; ++i) {
        if (output_streams[i]->unavailable) {
            return true;
        }
    }
    return false;
}

void reset_eagain() {
    for (int i = 0; i < nb_input_files; ++i) {
        input_files[i]->eagain = 0;
    }
    for (int i = 0; i < nb_output_streams; ++i) {
        output_streams[i]->unavailable = 0;
    }
}

// The first packets of a stream whose counter wrapped before the file's start time (their
// timestamps lie more than half a turn above it) are moved down by one turn.
void correct_wrap(const AVFormatContext* is, InputStream* ist, AVPacket* pkt) {
    const int bits = ist->st->pts_wrap_bits;
    if (ist->wrap_correction_done || is->start_time == AV_NOPTS_VALUE || bits <= 0 || bits >= 63) {
        return;
    }
    ist->wrap_correction_done = 1;
    const int64_t turn = INT64_C(1) << bits;
    const int64_t start = ff::av_rescale_q(is->start_time, TIME_BASE_Q, ist->st->time_base);
    if (start > INT64_MAX - turn) {
        return;
    }
    if (pkt->dts != AV_NOPTS_VALUE && pkt->dts > start + turn / 2) {
        pkt->dts -= turn;
        ist->wrap_correction_done = 0;
    }
    if (pkt->pts != AV_NOPTS_VALUE && pkt->pts > start + turn / 2) {
        pkt->pts -= turn;
        ist->wrap_correction_done = 0;
    }
}

// A packet whose decoding time is far from the one its stream expects. In formats that
// may jump (MPEG-TS and the like) the file's offset takes up the jump, so what follows
// goes on where the stream was; elsewhere a time that far off is dropped as invalid.
void correct_discontinuity(InputFile* ifile, InputStream* ist, AVPacket* pkt) {
    if (pkt->dts == AV_NOPTS_VALUE || ist->next_dts == AV_NOPTS_VALUE) {
        return;
    }
    const AVRational tb = ist->st->time_base;
    const bool subtitle = ist->st->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE;
    const int64_t dts = ff::av_rescale_q(pkt->dts, tb, TIME_BASE_Q);
    int64_t delta = dts - ist->next_dts;
    // Subtitles may lag far behind, never run ahead.
    const auto farOff = [subtitle](int64_t by, double seconds) {
        const double limit = seconds * AV_TIME_BASE;
        return by < -limit || (by > limit && !subtitle);
    };
    if (ifile->ctx->iformat->flags & AVFMT_TS_DISCONT) {
        if (farOff(delta, dts_delta_threshold) || dts + 1 < ist->pts) {
            ifile->ts_offset -= delta;
            ff::av_log(nullptr, AV_LOG_DEBUG, "timestamp discontinuity %" PRId64 ", new offset= %" PRId64 "\n",
                       delta, ifile->ts_offset);
            const int64_t shift = ff::av_rescale_q(delta, TIME_BASE_Q, tb);
            pkt->dts -= shift;
            if (pkt->pts != AV_NOPTS_VALUE) {
                pkt->pts -= shift;
            }
        }
        return;
    }
    if (farOff(delta, dts_error_threshold) || dts + 1 < ist->pts) {
        ff::av_log(nullptr, AV_LOG_WARNING, "DTS %" PRId64 ", next:%" PRId64 " st:%d invalid dropping\n", pkt->dts,
                   ist->next_dts, pkt->stream_index);
        pkt->dts = AV_NOPTS_VALUE;
    }
    if (pkt->pts != AV_NOPTS_VALUE) {
        delta = ff::av_rescale_q(pkt->pts, tb, TIME_BASE_Q) - ist->next_dts;
        if (farOff(delta, dts_error_threshold)) {
            ff::av_log(nullptr, AV_LOG_WARNING, "PTS %" PRId64 ", next:%" PRId64 " invalid dropping st:%d\n",
                       pkt->pts, ist->next_dts, pkt->stream_index);
            pkt->pts = AV_NOPTS_VALUE;
        }
    }
}

// Reads and processes one packet of the input file. AVERROR(EAGAIN) when nothing was
// read (the file is busy, or has just ended).
int process_input(int fileIndex) {
    InputFile* ifile = input_files[fileIndex];
    AVFormatContext* is = ifile->ctx;
    AVPacket* pkt = ifile->pkt;
    if (ifile->rate_emu) {
        // "-re": nothing is read ahead of the wall clock.
        for (int i = 0; i < ifile->nb_streams; ++i) {
            const InputStream* ist = input_streams[ifile->ist_index + i];
            if (ist->dts != AV_NOPTS_VALUE && ist->dts > ff::av_gettime_relative() - ist->start) {
                ifile->eagain = 1;
                return AVERROR(EAGAIN);
            }
        }
    }
    int ret = ff::av_read_frame(is, pkt);
    if (ret == AVERROR(EAGAIN)) {
        ifile->eagain = 1;
        return ret;
    }
    if (ret < 0) {
        if (ret != AVERROR_EOF) {
            print_error(is->url, ret);
            if (exit_on_error) {
                return -1;
            }
        }
        for (int i = 0; i < ifile->nb_streams; ++i) {
            InputStream* ist = input_streams[ifile->ist_index + i];
            if (ist->decoding_needed && process_input_packet(ist, nullptr) < 0) {
                return -1;
            }
            for (int j = 0; j < nb_output_streams; ++j) {
                OutputStream* ost = output_streams[j];
                if (ost->source_index == ifile->ist_index + i && (!ost->encoding_needed || ost->filter == nullptr)) {
                    finish_output_stream(ost);
                }
            }
        }
        ifile->eof_reached = 1;
        return AVERROR(EAGAIN);
    }
    reset_eagain();
    if (pkt->stream_index >= ifile->nb_streams) {
        ff::av_packet_unref(pkt);
        return 0;  // a stream that appeared after the file was opened
    }
    InputStream* ist = input_streams[ifile->ist_index + pkt->stream_index];
    ist->data_size += pkt->size;
    ++ist->nb_packets;
    if (ist->discard) {
        ff::av_packet_unref(pkt);
        return 0;
    }
    if (pkt->flags & AV_PKT_FLAG_CORRUPT) {
        ff::av_log(nullptr, exit_on_error ? AV_LOG_FATAL : AV_LOG_WARNING, "%s: corrupt input packet in stream %d\n",
                   is->url, pkt->stream_index);
        if (exit_on_error) {
            ff::av_packet_unref(pkt);
            return -1;
        }
    }
    correct_wrap(is, ist, pkt);
    const int64_t offset = ff::av_rescale_q(ifile->ts_offset, TIME_BASE_Q, ist->st->time_base);
    if (pkt->dts != AV_NOPTS_VALUE) {
        pkt->dts += offset;
    }
    if (pkt->pts != AV_NOPTS_VALUE) {
        pkt->pts += offset;
    }
    if (ist->ts_scale != 0.0 && ist->ts_scale != 1.0) {
        if (pkt->pts != AV_NOPTS_VALUE) {
            pkt->pts = static_cast<int64_t>(pkt->pts * ist->ts_scale);
        }
        if (pkt->dts != AV_NOPTS_VALUE) {
            pkt->dts = static_cast<int64_t>(pkt->dts * ist->ts_scale);
        }
    }
    if (!copy_ts) {
        correct_discontinuity(ifile, ist, pkt);
    }
    if (pkt->pts != AV_NOPTS_VALUE) {
        sub2video_heartbeat(ist, pkt->pts);
    }
    ret = process_input_packet(ist, pkt);
    ff::av_packet_unref(pkt);
    return ret < 0 ? ret : 0;
}

// The output stream that is furthest behind and can take data; null when none can.
OutputStream* choose_output() {
    int64_t best = INT64_MAX;
    OutputStream* chosen = nullptr;
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        const int64_t at = ost->last_mux_dts == AV_NOPTS_VALUE
                               ? INT64_MIN
                               : ff::av_rescale_q(ost->last_mux_dts, ost->st->time_base, TIME_BASE_Q);
        if (!ost->initialized && !ost->inputs_done) {
            return ost->unavailable ? nullptr : ost;
        }
        if (!ost->finished && at < best) {
            best = at;
            chosen = ost->unavailable ? nullptr : ost;
        }
    }
    return chosen;
}

// True while some output stream still wants data (and has not hit its frame limit or
// its file's size limit).
bool need_output() {
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        OutputFile* of = output_files[ost->file_index];
        AVFormatContext* os = of->ctx;
        if (ost->finished) {
            continue;
        }
        if (os->pb != nullptr && of->limit_filesize != 0 && of->limit_filesize != UINT64_MAX &&
            static_cast<uint64_t>(ff::avio_seek(os->pb, 0, SEEK_CUR)) >= of->limit_filesize) {
            continue;
        }
        if (ost->frame_number >= ost->max_frames) {
            for (unsigned j = 0; j < os->nb_streams; ++j) {
                close_output_stream(output_streams[of->ost_index + static_cast<int>(j)]);
            }
            continue;
        }
        return true;
    }
    return false;
}

// Runs the graph once; when it wants input, names the input stream to read next.
int transcode_from_filter(FilterGraph* graph, InputStream** bestIst) {
    *bestIst = nullptr;
    int ret = ff::avfilter_graph_request_oldest(graph->graph);
    if (ret >= 0) {
        return reap_filters(0);
    }
    if (ret == AVERROR_EOF) {
        ret = reap_filters(1);
        for (int i = 0; i < graph->nb_outputs; ++i) {
            close_output_stream(graph->outputs[i]->ost);
        }
        return ret;
    }
    if (ret != AVERROR(EAGAIN)) {
        return ret;
    }
    int mostFailed = -1;
    for (int i = 0; i < graph->nb_inputs; ++i) {
        InputStream* ist = graph->inputs[i]->ist;
        InputFile* f = input_files[ist->file_index];
        if (f->eagain || f->eof_reached || graph->inputs[i]->filter == nullptr) {
            continue;
        }
        const int failed = static_cast<int>(ff::av_buffersrc_get_nb_failed_requests(graph->inputs[i]->filter));
        if (failed > mostFailed) {
            mostFailed = failed;
            *bestIst = ist;
        }
    }
    if (*bestIst == nullptr) {
        for (int i = 0; i < graph->nb_outputs; ++i) {
            graph->outputs[i]->ost->unavailable = 1;
        }
    }
    return 0;
}

// One step: the stream furthest behind gets one packet of the input it needs read,
// decoded, filtered, encoded and written.
int transcode_step() {
    OutputStream* ost = choose_output();
    if (ost == nullptr) {
        if (got_eagain()) {
            reset_eagain();
            ff::av_usleep(10000);
            return 0;
        }
        ff::av_log(nullptr, AV_LOG_VERBOSE, "No more inputs to read from, finishing.\n");
        return AVERROR_EOF;
    }
    InputStream* ist = nullptr;
    if (ost->filter != nullptr) {
        if (ost->filter->graph->graph == nullptr) {
            ost->inputs_done = 1;
            close_output_stream(ost);
            return 0;
        }
        const int ret = transcode_from_filter(ost->filter->graph, &ist);
        if (ret < 0) {
            return ret;
        }
        if (ist == nullptr) {
            return 0;
        }
    } else {
        ist = sourceOf(ost);
        if (ist == nullptr) {
            finish_output_stream(ost);
            return 0;
        }
    }
    int ret = process_input(ist->file_index);
    if (ret == AVERROR(EAGAIN)) {
        if (input_files[ist->file_index]->eagain) {
            ost->unavailable = 1;
        }
        return 0;
    }
    if (ret < 0) {
        return ret == AVERROR_EOF ? 0 : ret;
    }
    return reap_filters(0);
}

// ---- set-up ----

int init_input_stream(InputStream* ist) {
    ist->next_pts = AV_NOPTS_VALUE;
    ist->next_dts = AV_NOPTS_VALUE;
    ist->filter_in_rescale_delta_last = AV_NOPTS_VALUE;
    ist->start = ff::av_gettime_relative();
    if (!ist->decoding_needed) {
        return 0;
    }
    if (ist->dec == nullptr) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Decoder (codec %s) not found for input stream #%d:%d\n",
                   ff::avcodec_get_name(ist->st->codecpar->codec_id), ist->file_index, ist->st->index);
        return AVERROR(EINVAL);
    }
    if (ist->dec_ctx == nullptr) {
        ist->dec_ctx = ff::avcodec_alloc_context3(ist->dec);
        if (ist->dec_ctx == nullptr || ff::avcodec_parameters_to_context(ist->dec_ctx, ist->st->codecpar) < 0) {
            return AVERROR(ENOMEM);
        }
    }
    ist->dec_ctx->pkt_timebase = ist->st->time_base;
    if (ff::av_dict_get(ist->decoder_opts, "threads", nullptr, 0) == nullptr) {
        ff::av_dict_set(&ist->decoder_opts, "threads", "auto", 0);
    }
    const int ret = ff::avcodec_open2(ist->dec_ctx, ist->dec, &ist->decoder_opts);
    if (ret < 0) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Error while opening decoder for input stream #%d:%d : %s\n",
                   ist->file_index, ist->st->index, errorText(ret));
        return ret;
    }
    if (ist->decoded_frame == nullptr && (ist->decoded_frame = ff::av_frame_alloc()) == nullptr) {
        return AVERROR(ENOMEM);
    }
    if (ist->filter_frame == nullptr && (ist->filter_frame = ff::av_frame_alloc()) == nullptr) {
        return AVERROR(ENOMEM);
    }
    return 0;
}

// The "-bsf" chain, fed with the stream's parameters; its output becomes the stream's.
int init_output_bsfs(OutputStream* ost) {
    if (ost->bsf_ctx == nullptr && ost->bsf_names != nullptr && ost->bsf_names[0] != '\0') {
        const int ret = ff::av_bsf_list_parse_str(ost->bsf_names, &ost->bsf_ctx);
        if (ret < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error parsing bitstream filter sequence '%s': %s\n", ost->bsf_names,
                       errorText(ret));
            return ret;
        }
    }
    AVBSFContext* ctx = ost->bsf_ctx;
    if (ctx == nullptr) {
        return 0;
    }
    int ret = ff::avcodec_parameters_copy(ctx->par_in, ost->st->codecpar);
    if (ret < 0) {
        return ret;
    }
    ctx->time_base_in = ost->st->time_base;
    if ((ret = ff::av_bsf_init(ctx)) < 0) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Error initializing bitstream filter: %s\n", ctx->filter->name);
        return ret;
    }
    if ((ret = ff::avcodec_parameters_copy(ost->st->codecpar, ctx->par_out)) < 0) {
        return ret;
    }
    ost->st->time_base = ctx->time_base_out;
    return 0;
}

int init_output_stream_streamcopy(OutputStream* ost) {
    OutputFile* of = output_files[ost->file_index];
    InputStream* ist = sourceOf(ost);
    if (ist == nullptr) {
        return AVERROR(EINVAL);
    }
    const AVCodecParameters* src = ist->st->codecpar;
    AVCodecParameters* dst = ost->st->codecpar;
    uint32_t tag = dst->codec_tag;
    if (tag == 0 && ost->enc_ctx != nullptr) {
        tag = ost->enc_ctx->codec_tag;
    }
    int ret = ff::avcodec_parameters_copy(dst, src);
    if (ret < 0) {
        return ret;
    }
    // Keep the source's tag only where the muxer knows it for this codec.
    if (tag == 0) {
        unsigned int known = 0;
        const AVOutputFormat* fmt = of->ctx->oformat;
        if (fmt->codec_tag == nullptr || ff::av_codec_get_id(fmt->codec_tag, src->codec_tag) == src->codec_id ||
            !ff::av_codec_get_tag2(fmt->codec_tag, src->codec_id, &known)) {
            tag = src->codec_tag;
        }
    }
    dst->codec_tag = tag;
    if (ost->frame_rate.num == 0) {
        ost->frame_rate = ist->framerate;
    }
    ost->st->avg_frame_rate = ost->frame_rate.num != 0 ? ost->frame_rate : ist->st->avg_frame_rate;
    ost->st->r_frame_rate = ist->st->r_frame_rate;
    // The muxer's own time base for the copy (AVI wants one tick a frame), reduced.
    ret = ff::avformat_transfer_internal_stream_timing_info(of->ctx->oformat, ost->st, ist->st,
                                                           static_cast<AVTimebaseSource>(copy_tb));
    if (ret < 0) {
        return ret;
    }
    if (ost->st->time_base.num <= 0 || ost->st->time_base.den <= 0) {
        ost->st->time_base = ff::av_add_q(ff::av_stream_get_codec_timebase(ost->st), AVRational{0, 1});
    }
    if (ost->st->duration <= 0 && ist->st->duration > 0) {
        ost->st->duration = ff::av_rescale_q(ist->st->duration, ist->st->time_base, ost->st->time_base);
    }
    ost->mux_timebase = ist->st->time_base;
    if (ost->st->disposition == 0) {
        ost->st->disposition = ist->st->disposition;
    }
    if (ist->st->nb_frames > 0 && (ist->st->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
        ost->st->nb_frames = ist->st->nb_frames;
    }
    if (dst->codec_type == AVMEDIA_TYPE_AUDIO) {
        if ((dst->block_align == 1 || dst->block_align == 1152 || dst->block_align == 576) &&
            dst->codec_id == AV_CODEC_ID_MP3) {
            dst->block_align = 0;
        }
        if (dst->codec_id == AV_CODEC_ID_AC3) {
            dst->block_align = 0;
        }
    } else if (dst->codec_type == AVMEDIA_TYPE_VIDEO && ost->frame_aspect_ratio.num > 0) {
        const AVRational sar = ff::av_mul_q(ost->frame_aspect_ratio, AVRational{dst->height, dst->width});
        ff::av_log(nullptr, AV_LOG_WARNING, "Overriding aspect ratio with stream copy may produce invalid files\n");
        ost->st->sample_aspect_ratio = dst->sample_aspect_ratio = sar;
    } else if (dst->codec_type == AVMEDIA_TYPE_VIDEO) {
        ost->st->sample_aspect_ratio = ist->st->sample_aspect_ratio;
    }
    return 0;
}

int init_output_stream_encode(OutputStream* ost) {
    OutputFile* of = output_files[ost->file_index];
    AVCodecContext* enc = ost->enc_ctx;
    InputStream* ist = sourceOf(ost);
    AVFilterContext* sink = ost->filter->filter;
    if (enc == nullptr || sink == nullptr) {
        return AVERROR(EINVAL);
    }
    if (enc->codec_type == AVMEDIA_TYPE_AUDIO) {
        enc->sample_fmt = static_cast<AVSampleFormat>(ff::av_buffersink_get_format(sink));
        enc->sample_rate = ff::av_buffersink_get_sample_rate(sink);
        ff::av_channel_layout_uninit(&enc->ch_layout);
        const int ret = ff::av_buffersink_get_ch_layout(sink, &enc->ch_layout);
        if (ret < 0) {
            return ret;
        }
        if (ist != nullptr && ist->dec_ctx != nullptr && ist->dec_ctx->bits_per_raw_sample > 0) {
            enc->bits_per_raw_sample = FFMIN(ist->dec_ctx->bits_per_raw_sample,
                                             ff::av_get_bytes_per_sample(enc->sample_fmt) << 3);
        }
        enc->time_base = AVRational{1, enc->sample_rate};
    } else {
        enc->width = ff::av_buffersink_get_w(sink);
        enc->height = ff::av_buffersink_get_h(sink);
        enc->pix_fmt = static_cast<AVPixelFormat>(ff::av_buffersink_get_format(sink));
        enc->sample_aspect_ratio = ost->frame_aspect_ratio.num > 0
                                       ? ff::av_mul_q(ost->frame_aspect_ratio, AVRational{enc->height, enc->width})
                                       : ff::av_buffersink_get_sample_aspect_ratio(sink);
        ost->st->sample_aspect_ratio = enc->sample_aspect_ratio;
        AVRational rate = ost->frame_rate;
        if (rate.num == 0) {
            rate = ff::av_buffersink_get_frame_rate(sink);
        }
        if (rate.num == 0 && ist != nullptr) {
            rate = ist->framerate.num != 0 ? ist->framerate : ist->st->r_frame_rate;
        }
        if (rate.num == 0 || rate.den == 0) {
            ff::av_log(nullptr, AV_LOG_WARNING,
                       "No information about the input framerate is available. Falling back to a default value of "
                       "25fps for output stream #%d:%d. Use the -r option if you want a different framerate.\n",
                       ost->file_index, ost->index);
            rate = AVRational{25, 1};
        }
        enc->framerate = rate;
        ost->st->avg_frame_rate = rate;
        const bool variable = video_sync_method == VSYNC_VFR || video_sync_method == VSYNC_PASSTHROUGH ||
                              (video_sync_method == VSYNC_AUTO && (of->ctx->oformat->flags & AVFMT_VARIABLE_FPS));
        enc->time_base = variable ? ff::av_buffersink_get_time_base(sink) : av_inv_q(rate);
        if (frame_bits_per_raw_sample) {
            enc->bits_per_raw_sample = frame_bits_per_raw_sample;
        }
    }
    if (of->ctx->flags & AVFMT_FLAG_BITEXACT) {
        enc->flags |= AV_CODEC_FLAG_BITEXACT;
    }
    if (of->ctx->oformat->flags & AVFMT_GLOBALHEADER) {
        enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    return 0;
}

int init_output_stream(OutputStream* ost) {
    int ret = 0;
    if (ost->encoding_needed) {
        // only subtitle encoders are fed without a graph
        ret = ost->filter == nullptr ? init_subtitle_encoder(ost) : init_output_stream_encode(ost);
        if (ret < 0) {
            return ret;
        }
        AVCodecContext* enc = ost->enc_ctx;
        if (ff::av_dict_get(ost->encoder_opts, "threads", nullptr, 0) == nullptr) {
            ff::av_dict_set(&ost->encoder_opts, "threads", "auto", 0);
        }
        if ((ret = ff::avcodec_open2(enc, ost->enc, &ost->encoder_opts)) < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR,
                       "Error while opening encoder for output stream #%d:%d - maybe incorrect parameters such as "
                       "bit_rate, rate, width or height\n",
                       ost->file_index, ost->index);
            return ret;
        }
        const AVDictionaryEntry* unused = ff::av_dict_get(ost->encoder_opts, "", nullptr, AV_DICT_IGNORE_SUFFIX);
        if (unused != nullptr) {
            ff::av_log(nullptr, AV_LOG_WARNING, "Option %s not found.\n", unused->key);
        }
        if (enc->codec_type == AVMEDIA_TYPE_AUDIO && enc->frame_size > 0 &&
            !(ost->enc->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) {
            ff::av_buffersink_set_frame_size(ost->filter->filter, static_cast<unsigned>(enc->frame_size));
        }
        if (enc->bit_rate > 0 && enc->bit_rate < 1000 && enc->codec_id != AV_CODEC_ID_CODEC2) {
            ff::av_log(nullptr, AV_LOG_WARNING,
                       "The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s\n");
        }
        if ((ret = ff::avcodec_parameters_from_context(ost->st->codecpar, enc)) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Error initializing the output stream codec parameters.\n");
            return ret;
        }
        extra_size += enc->extradata_size;
        ost->st->time_base = enc->time_base;
        ost->mux_timebase = enc->time_base;
    } else if (ost->stream_copy) {
        if ((ret = init_output_stream_streamcopy(ost)) < 0) {
            return ret;
        }
    }
    if ((ret = init_output_bsfs(ost)) < 0) {
        return ret;
    }
    if (ost->filtered_frame == nullptr && (ost->filtered_frame = ff::av_frame_alloc()) == nullptr) {
        return AVERROR(ENOMEM);
    }
    if (ost->pkt == nullptr && (ost->pkt = ff::av_packet_alloc()) == nullptr) {
        return AVERROR(ENOMEM);
    }
    ost->last_mux_dts = AV_NOPTS_VALUE;
    ost->initialized = 1;
    return 0;
}

void print_stream_mapping() {
    ff::av_log(nullptr, AV_LOG_INFO, "Stream mapping:\n");
    for (int i = 0; i < nb_filtergraphs; ++i) {
        FilterGraph* fg = filtergraphs[i];
        if (filtergraph_is_simple(fg)) {
            continue;
        }
        for (int j = 0; j < fg->nb_inputs; ++j) {
            InputStream* ist = fg->inputs[j]->ist;
            ff::av_log(nullptr, AV_LOG_INFO, "  Stream #%d:%d (%s) -> %s", ist->file_index, ist->st->index,
                       ist->dec != nullptr ? ist->dec->name : "?",
                       fg->inputs[j]->name != nullptr ? reinterpret_cast<const char*>(fg->inputs[j]->name) : "");
            ff::av_log(nullptr, AV_LOG_INFO, " (graph %d)\n", i);
        }
    }
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        if (ost->attachment_filename != nullptr) {
            ff::av_log(nullptr, AV_LOG_INFO, "  File %s -> Stream #%d:%d\n", ost->attachment_filename,
                       ost->file_index, ost->index);
            continue;
        }
        if (ost->filter != nullptr && !filtergraph_is_simple(ost->filter->graph)) {
            ff::av_log(nullptr, AV_LOG_INFO, "  %s -> Stream #%d:%d (%s)\n",
                       ost->filter->name != nullptr ? reinterpret_cast<const char*>(ost->filter->name) : "?",
                       ost->file_index, ost->index, ost->enc != nullptr ? ost->enc->name : "?");
            continue;
        }
        InputStream* ist = sourceOf(ost);
        if (ist == nullptr) {
            continue;
        }
        ff::av_log(nullptr, AV_LOG_INFO, "  Stream #%d:%d -> #%d:%d", ist->file_index, ist->st->index,
                   ost->file_index, ost->index);
        if (ost->stream_copy) {
            ff::av_log(nullptr, AV_LOG_INFO, " (copy)");
        } else {
            const char* inName = ff::avcodec_get_name(ist->st->codecpar->codec_id);
            const char* outName = ost->enc != nullptr ? ff::avcodec_get_name(ost->enc->id) : "?";
            ff::av_log(nullptr, AV_LOG_INFO, " (%s (%s) -> %s (%s))", inName,
                       ist->dec != nullptr ? ist->dec->name : "?", outName,
                       ost->enc != nullptr ? ost->enc->name : "?");
        }
        ff::av_log(nullptr, AV_LOG_INFO, "\n");
    }
}

// Decoders, filter graphs, encoders and the output headers; then the mapping is shown.
int transcode_init() {
    int ret = 0;
    for (int i = 0; i < nb_input_streams; ++i) {
        if ((ret = init_input_stream(input_streams[i])) < 0) {
            return ret;
        }
    }
    for (int i = 0; i < nb_filtergraphs; ++i) {
        if ((ret = configure_filtergraph(filtergraphs[i])) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Error configuring filters.\n");
            return ret;
        }
    }
    for (int i = 0; i < nb_output_streams; ++i) {
        if ((ret = init_output_stream(output_streams[i])) < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error initializing output stream %d:%d -- %s\n",
                       output_streams[i]->file_index, output_streams[i]->index, errorText(ret));
            return ret;
        }
    }
    for (int i = 0; i < nb_output_files; ++i) {
        OutputFile* of = output_files[i];
        ret = ff::avformat_write_header(of->ctx, &of->opts);
        if (ret < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Could not write header for output file #%d (incorrect codec parameters ?): %s\n",
                       i, errorText(ret));
            return ret;
        }
        of->header_written = 1;
        ff::av_dump_format(of->ctx, i, of->ctx->url, 1);
    }
    print_stream_mapping();
    return 0;
}

// Step 9 of the loop: what each output stream holds only for the run.
void release_output_streams() {
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        if (ost == nullptr) {
            continue;
        }
        if (ost->logfile != nullptr) {
            if (std::fclose(ost->logfile) != 0) {
                ff::av_log(nullptr, AV_LOG_ERROR, "Error closing logfile, loss of information possible: %s\n",
                           errorText(AVERROR(errno)));
            }
            ost->logfile = nullptr;
        }
        ff::av_freep(&ost->forced_kf_pts);
        ff::av_dict_free(&ost->encoder_opts);
        ff::av_dict_free(&ost->sws_dict);
        ff::av_dict_free(&ost->swr_opts);
        ff::av_dict_free(&ost->resample_opts);
    }
}

void print_final_stats(int64_t totalSize) {
    const int64_t raw = video_size + audio_size + subtitle_size + extra_size;
    double percent = -1.0;
    if (raw > 0 && totalSize >= raw) {
        percent = 100.0 * static_cast<double>(totalSize - raw) / static_cast<double>(raw);
    }
    ff::av_log(nullptr, AV_LOG_INFO,
               "video:%1.0fkB audio:%1.0fkB subtitle:%1.0f global headers:%1.0fkB muxing overhead %f%%\n",
               video_size / 1024.0, audio_size / 1024.0, subtitle_size / 1024.0, extra_size / 1024.0, percent);
    if (raw == 0) {
        ff::av_log(nullptr, AV_LOG_WARNING,
                   "Output file is empty, nothing was encoded (check -ss / -t / -frames parameters if used)\n");
    }
}

// The process's user time in microseconds.
int64_t userTime() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        return 0;
    }
    return ((static_cast<int64_t>(user.dwHighDateTime) << 32) | user.dwLowDateTime) / 10;
}

int64_t runUserTime = 0;

} // namespace

void appendf(char* buf, size_t size, const char* format, ...) {
    const size_t used = std::strlen(buf);
    if (used + 1 >= size) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf + used, size - used, format, args);
    va_end(args);
}

const char* errorText(int err) {
    static char text[AV_ERROR_MAX_STRING_SIZE];
    if (ff::av_strerror(err, text, sizeof(text)) < 0) {
        std::snprintf(text, sizeof(text), "Error number %d occurred", err);
    }
    return text;
}

int reap_filters(int flush) {
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        OutputFile* of = output_files[ost->file_index];
        if (ost->filter == nullptr || ost->filter->graph->graph == nullptr || ost->filter->filter == nullptr ||
            !ost->initialized) {
            continue;
        }
        AVFilterContext* sink = ost->filter->filter;
        AVFrame* frame = ost->filtered_frame;
        for (;;) {
            int ret = ff::av_buffersink_get_frame_flags(sink, frame, AV_BUFFERSINK_FLAG_NO_REQUEST);
            if (ret < 0) {
                if (ret != AVERROR(EAGAIN) && ret != AVERROR_EOF) {
                    ff::av_log(nullptr, AV_LOG_WARNING, "Error in av_buffersink_get_frame_flags(): %s\n",
                               errorText(ret));
                }
                break;
            }
            if (frame->pts != AV_NOPTS_VALUE) {
                const int64_t start = of->start_time == AV_NOPTS_VALUE ? 0 : of->start_time;
                const AVRational tb = ff::av_buffersink_get_time_base(sink);
                frame->pts = ff::av_rescale_q(frame->pts, tb, ost->enc_ctx->time_base) -
                             ff::av_rescale_q(start, TIME_BASE_Q, ost->enc_ctx->time_base);
            }
            if (ost->enc_ctx->codec_type == AVMEDIA_TYPE_AUDIO) {
                if (!(ost->enc->capabilities & AV_CODEC_CAP_PARAM_CHANGE) &&
                    ost->enc_ctx->ch_layout.nb_channels != frame->ch_layout.nb_channels) {
                    ff::av_log(nullptr, AV_LOG_ERROR,
                               "Audio filter graph output is not normalized and encoder does not support parameter "
                               "changes\n");
                    ff::av_frame_unref(frame);
                    break;
                }
                ret = do_audio_out(of, ost, frame);
            } else {
                ret = do_video_out(of, ost, frame);
            }
            ff::av_frame_unref(frame);
            if (ret < 0) {
                return ret;
            }
        }
    }
    (void)flush;
    return 0;
}

bool progressHookValues(int32_t secs, int32_t* position, int32_t* total) {
    *total = totalSeconds;
    if (totalSeconds == 0) {
        *position = 1;
        *total = 1;
        return true;
    }
    switch (runPass) {
    case 0: *position = secs; return true;
    case 1: *position = static_cast<int32_t>(static_cast<double>(passWeight) * secs); return true;
    case 2: {
        const float rest = 1.0f - passWeight;
        const float done = static_cast<float>(totalSeconds) * passWeight;
        *position = static_cast<int32_t>(static_cast<double>(rest) * secs + static_cast<double>(done));
        return true;
    }
    default: return false;
    }
}

void print_report(int isLast, int64_t timerStart, int64_t now) {
    if (!print_stats && !isLast && progress_avio == nullptr) {
        return;
    }
    if (!isLast) {
        if (lastReportTime == -1) {
            lastReportTime = now;
            return;
        }
        if (now - lastReportTime < 500000) {
            return;
        }
        lastReportTime = now;
    }
    const double elapsed = (now - timerStart) / 1000000.0;
    AVFormatContext* oc = nb_output_files > 0 ? output_files[0]->ctx : nullptr;
    int64_t totalSize = oc != nullptr && oc->pb != nullptr ? ff::avio_size(oc->pb) : -1;
    if (totalSize <= 0 && oc != nullptr && oc->pb != nullptr) {
        totalSize = ff::avio_seek(oc->pb, 0, SEEK_CUR);
    }
    char buf[1024] = "";
    char script[1024] = "";
    bool video = false;
    int64_t pts = INT64_MIN + 1;
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        const AVCodecContext* enc = ost->enc_ctx;
        const float q = ost->stream_copy || enc == nullptr ? -1.0f : static_cast<float>(ost->quality) / FF_QP2LAMBDA;
        if (enc != nullptr && enc->codec_type == AVMEDIA_TYPE_VIDEO && !ost->stream_copy) {
            if (video) {
                appendf(buf, sizeof(buf), "q=%2.1f ", q);
                appendf(script, sizeof(script), "stream_%d_%d_q=%.1f\n", ost->file_index, ost->index, q);
            } else {
                const float fps = elapsed > 1 ? static_cast<float>(ost->frame_number / elapsed) : 0.0f;
                appendf(buf, sizeof(buf), "frame=%5d fps=%3.*f q=%3.1f ", ost->frame_number, fps < 9.95f, fps, q);
                appendf(script, sizeof(script), "frame=%d\nfps=%.1f\nstream_%d_%d_q=%.1f\n", ost->frame_number, fps,
                        ost->file_index, ost->index, q);
                if (isLast) {
                    appendf(buf, sizeof(buf), "L");
                }
                append_video_quality(buf, sizeof(buf), script, sizeof(script), ost, isLast);
                video = true;
            }
        }
        const int64_t end = ost->st != nullptr ? ff::av_stream_get_end_pts(ost->st) : AV_NOPTS_VALUE;
        if (end != AV_NOPTS_VALUE && (isLast || !ost->finished)) {
            pts = FFMAX(pts, ff::av_rescale_q(end, ost->st->time_base, TIME_BASE_Q));
        }
    }
    if (pts == INT64_MIN + 1) {
        pts = 0;
    }
    const int64_t magnitude = FFABS(pts);
    const int32_t allSecs = static_cast<int32_t>(pts / AV_TIME_BASE);
    int secs = static_cast<int>(magnitude / AV_TIME_BASE);
    const int us = static_cast<int>(magnitude % AV_TIME_BASE);
    int mins = secs / 60;
    secs %= 60;
    const int hours = mins / 60;
    mins %= 60;
    const double bitrate = pts != 0 && totalSize >= 0 ? totalSize * 8 / (pts / 1000.0) : -1;

    if (totalSize < 0) {
        appendf(buf, sizeof(buf), "size=N/A time=");
    } else {
        appendf(buf, sizeof(buf), "size=%8.0fkB time=", totalSize / 1024.0);
    }
    if (pts < 0) {
        appendf(buf, sizeof(buf), "-");
    }
    appendf(buf, sizeof(buf), "%02d:%02d:%02d.%02d ", hours, mins, secs, (100 * us) / AV_TIME_BASE);
    if (bitrate < 0) {
        appendf(buf, sizeof(buf), "bitrate=N/A");
        appendf(script, sizeof(script), "bitrate=N/A\n");
    } else {
        appendf(buf, sizeof(buf), "bitrate=%6.1fkbits/s", bitrate);
        appendf(script, sizeof(script), "bitrate=%6.1fkbits/s\n", bitrate);
    }
    if (totalSize < 0) {
        appendf(script, sizeof(script), "total_size=N/A\n");
    } else {
        appendf(script, sizeof(script), "total_size=%" PRId64 "\n", totalSize);
    }
    appendf(script, sizeof(script), "out_time_ms=%" PRId64 "\n", pts);
    appendf(script, sizeof(script), "out_time=%s%02d:%02d:%02d.%06d\n", pts < 0 ? "-" : "", hours, mins, secs, us);

    if (progressHook != nullptr) {
        int32_t position = 0;
        int32_t total = 0;
        if (progressHookValues(allSecs, &position, &total)) {
            progressHook(position, total, progressName, progressOwner);
        }
    }

    if (nb_frames_dup || nb_frames_drop) {
        appendf(buf, sizeof(buf), " dup=%d drop=%d", nb_frames_dup, nb_frames_drop);
    }
    appendf(script, sizeof(script), "dup_frames=%d\ndrop_frames=%d\n", nb_frames_dup, nb_frames_drop);
    if (print_stats || isLast) {
        ff::av_log(nullptr, AV_LOG_INFO, "%s    \r", buf);
    }
    if (progress_avio != nullptr) {
        appendf(script, sizeof(script), "progress=%s\n", isLast ? "end" : "continue");
        ff::avio_write(progress_avio, reinterpret_cast<const unsigned char*>(script),
                       static_cast<int>(std::strlen(script)));
        ff::avio_flush(progress_avio);
        if (isLast) {
            ff::avio_closep(&progress_avio);
        }
    }
    if (isLast) {
        print_final_stats(totalSize);
    }
}

int transcode() {
    int ret = transcode_init();
    if (ret < 0) {
        release_output_streams();
        return ret;
    }
    if (stdin_interaction) {
        ff::av_log(nullptr, AV_LOG_INFO, "Press [q] to stop, [?] for help\n");
    }
    const int64_t timerStart = ff::av_gettime();
    while (!received_sigterm) {
        const int64_t now = ff::av_gettime();
        if (!need_output()) {
            ff::av_log(nullptr, AV_LOG_VERBOSE, "No more output streams to write to, finishing.\n");
            break;
        }
        ret = transcode_step();
        if (ret >= 0) {
            print_report(0, timerStart, now);
            // The one place the caller's cancel byte is read: between steps.
            if (cancelFlag != nullptr && cancelFlag->load() != 0) {
                runStatus = 2;
                release_output_streams();
                return -1;
            }
        }
        if (ret < 0 && ret != AVERROR_EOF && ret != AVERROR(EAGAIN)) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error while filtering.\n");
            return -1;
        }
    }
    // What the decoders still hold, for inputs that were not read to their end.
    for (int i = 0; i < nb_input_streams; ++i) {
        InputStream* ist = input_streams[i];
        if (!input_files[ist->file_index]->eof_reached && ist->decoding_needed) {
            if (process_input_packet(ist, nullptr) < 0) {
                release_output_streams();
                return -1;
            }
        }
    }
    if ((ret = reap_filters(1)) < 0) {
        release_output_streams();
        return -1;
    }
    if (flush_encoders() < 0) {
        return -1;
    }
    ff::av_log(nullptr, AV_LOG_QUIET, "%s", "");
    ret = 0;
    for (int i = 0; i < nb_output_files; ++i) {
        OutputFile* of = output_files[i];
        if (!of->header_written) {
            ff::av_log(nullptr, AV_LOG_ERROR,
                       "Nothing was written into output file %d (%s), because at least one of its streams received no "
                       "packets.\n",
                       i, of->ctx->url);
            continue;
        }
        const int err = ff::av_write_trailer(of->ctx);
        if (err < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error writing trailer of %s: %s\n", of->ctx->url, errorText(err));
            ret = -1;
        }
    }
    print_report(1, timerStart, ff::av_gettime());
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        if (ost->encoding_needed && ost->enc_ctx != nullptr) {
            ff::av_freep(&ost->enc_ctx->stats_in);
        }
    }
    release_output_streams();
    return ret;
}

namespace {

// Counts what the outputs got, before the clean-up frees them.
void recordOutcome() {
    for (int i = 0; i < nb_output_streams; ++i) {
        const OutputStream* ost = output_streams[i];
        if (ost == nullptr || ost->st == nullptr || ost->st->codecpar == nullptr) {
            continue;
        }
        if (ost->st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++lastRun.audioStreams;
            lastRun.audioPackets += static_cast<int64_t>(ost->packets_written);
        } else if (ost->st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++lastRun.videoStreams;
        }
    }
}

} // namespace

int ffmpegMain(int argc, char** argv) {
    option_table = transcoder_options;
    lastRun = RunOutcome{};
    int ret = ffmpeg_parse_options(argc, argv);
    if (ret < 0) {
        runStatus = 1;
    } else {
        runUserTime = userTime();
        if (nb_output_files > 0 && nb_input_files > 0) {
            ret = transcode();
            if (ret >= 0) {
                recordOutcome();
                cleanupTranscoder();
                return 0;
            }
            if (runStatus != 2) {
                runStatus = 1;
            }
        }
    }
    const int status = runStatus;
    cleanupTranscoder();
    return status;
}

} // namespace s::fftools
