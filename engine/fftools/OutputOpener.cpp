#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/FileOpeners.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

const char* str(const SpecifierOpt* so) {
    return so != nullptr ? reinterpret_cast<const char*>(so->u.str) : nullptr;
}

// "-c" for the stream: "copy", an encoder, or (none given) the format's own choice.
int chooseEncoder(OptionsContext* o, AVFormatContext* s, OutputStream* ost) {
    const enum AVMediaType type = ost->st->codecpar->codec_type;
    if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_SUBTITLE) {
        // other kinds are never encoded
        ost->stream_copy = 1;
        ost->encoding_needed = 0;
        return 0;
    }
    bool ok = true;
    const char* name = str(match_per_stream(o->codec_names, o->nb_codec_names, s, ost->st, &ok));
    if (!ok) {
        return -1;
    }
    if (name == nullptr) {
        ost->st->codecpar->codec_id = ff::av_guess_codec(s->oformat, nullptr, s->url, nullptr, type);
        ost->enc = ff::avcodec_find_encoder(ost->st->codecpar->codec_id);
        if (ost->enc == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL,
                       "Automatic encoder selection failed for output stream #%d:%d. Default encoder for format %s "
                       "(codec %s) is probably disabled. Please choose an encoder manually.\n",
                       ost->file_index, ost->index, s->oformat->name, ff::avcodec_get_name(ost->st->codecpar->codec_id));
            return AVERROR_ENCODER_NOT_FOUND;
        }
    } else if (std::strcmp(name, "copy") == 0) {
        ost->stream_copy = 1;
    } else {
        ost->enc = find_codec(name, type, true);
        if (ost->enc == nullptr) {
            return -1;
        }
        ost->st->codecpar->codec_id = ost->enc->id;
    }
    ost->encoding_needed = !ost->stream_copy;
    return 0;
}

// "-pre name": a preset by name for the stream's encoder. Named presets are never
// found (no base folders are searched), so any name fails.
int applyPreset(OptionsContext* o, AVFormatContext* oc, OutputStream* ost, bool* ok) {
    const char* preset = str(match_per_stream(o->presets, o->nb_presets, oc, ost->st, ok));
    if (preset == nullptr) {
        return *ok ? 0 : -1;
    }
    char filename[1000];
    FILE* f = get_preset_file(filename, sizeof filename, preset, 0, ost->enc->name);
    if (f == nullptr) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Preset %s specified for stream %d:%d, but could not be opened.\n", preset,
                   ost->file_index, ost->index);
        return -1;
    }
    std::fclose(f);
    return 0;
}

OutputStream* newOutputStream(OptionsContext* o, AVFormatContext* oc, enum AVMediaType type, int source_index) {
    AVStream* st = ff::avformat_new_stream(oc, nullptr);
    if (st == nullptr) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Could not alloc stream.\n");
        return nullptr;
    }
    const int idx = static_cast<int>(oc->nb_streams) - 1;
    if (idx < o->nb_streamid_map) {
        st->id = o->streamid_map[idx];
    }
    OutputStream* ost = append_new(output_streams, nb_output_streams);
    if (ost == nullptr) {
        return nullptr;
    }
    ost->file_index = nb_output_files - 1;
    ost->index = idx;
    ost->st = st;
    ost->source_index = source_index;
    ost->last_mux_dts = AV_NOPTS_VALUE;
    ost->first_pts = AV_NOPTS_VALUE;
    st->codecpar->codec_type = type;

    if (chooseEncoder(o, oc, ost) < 0) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Error selecting an encoder for stream %d:%d\n", ost->file_index, ost->index);
        return nullptr;
    }
    // Copied streams keep a context too: it carries their parameters to the muxer.
    ost->enc_ctx = ff::avcodec_alloc_context3(ost->enc);
    ost->filtered_frame = ff::av_frame_alloc();
    ost->pkt = ff::av_packet_alloc();
    ost->muxing_queue = ff::av_fifo_alloc2(8, sizeof(AVPacket*), AV_FIFO_FLAG_AUTO_GROW);
    if (ost->enc_ctx == nullptr || ost->filtered_frame == nullptr || ost->pkt == nullptr ||
        ost->muxing_queue == nullptr) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Error allocating the encoding context.\n");
        return nullptr;
    }
    ost->enc_ctx->codec_type = type;

    bool ok = true;
    if (filter_codec_opts(o->g->codec_opts, ost->enc != nullptr ? ost->enc->id : AV_CODEC_ID_NONE, oc, st, ost->enc,
                          &ost->encoder_opts) < 0) {
        return nullptr;
    }
    if (ost->enc != nullptr && applyPreset(o, oc, ost, &ok) < 0) {
        return nullptr;
    }
    if (o->bitexact) {
        ost->enc_ctx->flags |= AV_CODEC_FLAG_BITEXACT;
    }

    ost->max_frames = INT64_MAX;
    if (const SpecifierOpt* so = match_per_stream(o->max_frames, o->nb_max_frames, oc, st, &ok)) {
        ost->max_frames = so->u.i64;
    }
    ost->copy_prior_start = -1;
    if (const SpecifierOpt* so = match_per_stream(o->copy_prior_start, o->nb_copy_prior_start, oc, st, &ok)) {
        ost->copy_prior_start = so->u.i;
    }
    if (const char* bsfs = str(match_per_stream(o->bitstream_filters, o->nb_bitstream_filters, oc, st, &ok))) {
        // Checked now, made when the stream is initialised.
        char* names = ff::av_strdup(bsfs);
        if (names == nullptr) {
            return nullptr;
        }
        for (char* name = names; *name != '\0';) {
            char* comma = std::strchr(name, ',');
            if (comma != nullptr) {
                *comma = '\0';
            }
            char* equals = std::strchr(name, '=');
            if (equals != nullptr) {
                *equals = '\0';
            }
            if (ff::av_bsf_get_by_name(name) == nullptr) {
                ff::av_log(nullptr, AV_LOG_FATAL, "Unknown bitstream filter %s\n", name);
                ff::av_free(names);
                return nullptr;
            }
            name = comma != nullptr ? comma + 1 : name + std::strlen(name);
        }
        ff::av_free(names);
        ost->bsf_names = ff::av_strdup(bsfs);
    }
    if (const char* tag = str(match_per_stream(o->codec_tags, o->nb_codec_tags, oc, st, &ok))) {
        st->codecpar->codec_tag = ost->enc_ctx->codec_tag = parse_codec_tag(tag);
    }
    if (const SpecifierOpt* so = match_per_stream(o->qscale, o->nb_qscale, oc, st, &ok)) {
        if (so->u.dbl >= 0) {
            ost->enc_ctx->flags |= AV_CODEC_FLAG_QSCALE;
            ost->enc_ctx->global_quality = static_cast<int>(FF_QP2LAMBDA * so->u.dbl);
        }
    }
    ost->max_muxing_queue_size = 128;
    if (const SpecifierOpt* so = match_per_stream(o->max_muxing_queue_size, o->nb_max_muxing_queue_size, oc, st, &ok)) {
        ost->max_muxing_queue_size = so->u.i;
    }
    if (const SpecifierOpt* so =
            match_per_stream(o->copy_initial_nonkeyframes, o->nb_copy_initial_nonkeyframes, oc, st, &ok)) {
        ost->copy_initial_nonkeyframes = so->u.i;
    }
    if (!ok) {
        return nullptr;
    }
    if ((oc->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        ost->enc_ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    ff::av_dict_copy(&ost->sws_dict, o->g->sws_dict, 0);
    ff::av_dict_copy(&ost->swr_opts, o->g->swr_opts, 0);
    if (ost->enc != nullptr && ff::av_get_exact_bits_per_sample(ost->enc->id) == 24) {
        ff::av_dict_set(&ost->swr_opts, "output_sample_bits", "24", 0);
    }
    if (source_index >= 0) {
        InputStream* ist = input_streams[source_index];
        ost->sync_ist = ist;
        ist->discard = 0;
        ist->st->discard = static_cast<AVDiscard>(ist->user_set_discard);
    }
    return ost;
}

// The stream's "-filter"/"-vf"/"-af" text, or the pass-through filter of its kind.
char* streamFilters(OptionsContext* o, AVFormatContext* oc, OutputStream* ost, bool* ok) {
    const char* text = str(match_per_stream(o->filters, o->nb_filters, oc, ost->st, ok));
    if (text == nullptr) {
        text = ost->st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? "null" : "anull";
    }
    return ff::av_strdup(text);
}

// Filtering needs decoded frames: a copied stream with a filter text is refused.
bool refuseFilteredCopy(OptionsContext* o, AVFormatContext* oc, OutputStream* ost) {
    bool ok = true;
    const char* text = str(match_per_stream(o->filters, o->nb_filters, oc, ost->st, &ok));
    if (text != nullptr) {
        ff::av_log(nullptr, AV_LOG_ERROR,
                   "Filtergraph '%s' was defined for %s output stream %d:%d but codec copy was selected.\n"
                   "Filtering and streamcopy cannot be used together.\n",
                   text, ff::av_get_media_type_string(ost->st->codecpar->codec_type), ost->file_index, ost->index);
        return true;
    }
    return !ok;
}

bool parseMatrix(uint16_t** dest, const char* text) {
    *dest = static_cast<uint16_t*>(ff::av_mallocz(sizeof(uint16_t) * 64));
    if (*dest == nullptr) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Could not allocate memory for intra matrix.\n");
        return false;
    }
    const char* p = text;
    for (int i = 0; i < 64; ++i) {
        (*dest)[i] = static_cast<uint16_t>(std::atoi(p));
        if (i == 63) {
            break;
        }
        p = std::strchr(p, ',');
        if (p == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Syntax error in matrix \"%s\" at coeff %d\n", text, i);
            return false;
        }
        ++p;
    }
    return true;
}

bool parseRcOverride(AVCodecContext* enc, const char* text) {
    int i = 0;
    for (const char* p = text; p != nullptr; ++i) {
        int start = 0, end = 0, q = 0;
        if (std::sscanf(p, "%d,%d,%d", &start, &end, &q) != 3) {
            ff::av_log(nullptr, AV_LOG_FATAL, "error parsing rc_override\n");
            return false;
        }
        RcOverride* grown =
            static_cast<RcOverride*>(ff::av_realloc_array(enc->rc_override, static_cast<size_t>(i) + 1, sizeof(RcOverride)));
        if (grown == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Could not (re)allocate memory for rc_override.\n");
            return false;
        }
        enc->rc_override = grown;
        enc->rc_override_count = i + 1;
        grown[i].start_frame = start;
        grown[i].end_frame = end;
        if (q > 0) {
            grown[i].qscale = q;
            grown[i].quality_factor = 1.0f;
        } else {
            grown[i].qscale = 0;
            grown[i].quality_factor = -q / 100.0f;
        }
        p = std::strchr(p, '/');
        if (p != nullptr) {
            ++p;
        }
    }
    return true;
}

// The two-pass statistics "<prefix>-<stream>.log" in the current directory (the job's
// working folder): written by pass 1, read whole before pass 2 encodes. libx264 keeps
// its own file under that name.
int openPassLog(OutputStream* ost, int pass) {
    char name[1024];
    std::snprintf(name, sizeof name, "%s-%d.log", ost->logfile_prefix != nullptr ? ost->logfile_prefix : "ffmpeg2pass",
                  nb_output_streams - 1);
    if (std::strcmp(ost->enc->name, "libx264") == 0) {
        ff::av_dict_set(&ost->encoder_opts, "stats", name, AV_DICT_DONT_OVERWRITE);
        return 0;
    }
    if ((pass & 2) != 0) {
        char* stats = nullptr;
        size_t size = 0;
        if (cmdutils_read_file(name, &stats, &size) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Error reading log file '%s' for pass-2 encoding\n", name);
            return -1;
        }
        ost->enc_ctx->stats_in = stats;
    }
    if ((pass & 1) != 0) {
        ost->logfile = fopen_utf8(name, L"wb");
        if (ost->logfile == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Cannot write log file '%s' for pass-1 encoding: %s\n", name,
                       std::strerror(errno));
            return -1;
        }
    }
    return 0;
}

OutputStream* newVideoStream(OptionsContext* o, AVFormatContext* oc, int source_index) {
    OutputStream* ost = newOutputStream(o, oc, AVMEDIA_TYPE_VIDEO, source_index);
    if (ost == nullptr) {
        return nullptr;
    }
    AVStream* st = ost->st;
    AVCodecContext* enc = ost->enc_ctx;
    bool ok = true;
    if (const char* rate = str(match_per_stream(o->frame_rates, o->nb_frame_rates, oc, st, &ok))) {
        if (ff::av_parse_video_rate(&ost->frame_rate, rate) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid framerate value: %s\n", rate);
            return nullptr;
        }
    }
    if (const char* aspect = str(match_per_stream(o->frame_aspect_ratios, o->nb_frame_aspect_ratios, oc, st, &ok))) {
        AVRational q;
        if (ff::av_parse_ratio(&q, aspect, 255, 0, nullptr) < 0 || q.num <= 0 || q.den <= 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid aspect ratio: %s\n", aspect);
            return nullptr;
        }
        ost->frame_aspect_ratio = q;
    }
    if (ost->stream_copy) {
        return refuseFilteredCopy(o, oc, ost) || !ok ? nullptr : ost;
    }

    if (const char* size = str(match_per_stream(o->frame_sizes, o->nb_frame_sizes, oc, st, &ok))) {
        if (ff::av_parse_video_size(&enc->width, &enc->height, size) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid frame size: %s.\n", size);
            return nullptr;
        }
    }
    enc->bits_per_raw_sample = frame_bits_per_raw_sample;
    if (const char* pixFmt = str(match_per_stream(o->frame_pix_fmts, o->nb_frame_pix_fmts, oc, st, &ok))) {
        if (*pixFmt == '+') {
            ost->keep_pix_fmt = 1;
            ++pixFmt;
        }
        if (*pixFmt != '\0' && (enc->pix_fmt = ff::av_get_pix_fmt(pixFmt)) == AV_PIX_FMT_NONE) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Unknown pixel format requested: %s.\n", pixFmt);
            return nullptr;
        }
    }
    st->sample_aspect_ratio = enc->sample_aspect_ratio;
    if (intra_only) {
        enc->gop_size = 0;
    }
    if (const char* matrix = str(match_per_stream(o->intra_matrices, o->nb_intra_matrices, oc, st, &ok))) {
        if (!parseMatrix(&enc->intra_matrix, matrix)) {
            return nullptr;
        }
    }
    if (const char* matrix = str(match_per_stream(o->inter_matrices, o->nb_inter_matrices, oc, st, &ok))) {
        if (!parseMatrix(&enc->inter_matrix, matrix)) {
            return nullptr;
        }
    }
    if (const char* overrides = str(match_per_stream(o->rc_overrides, o->nb_rc_overrides, oc, st, &ok))) {
        if (!parseRcOverride(enc, overrides)) {
            return nullptr;
        }
    }
    enc->intra_dc_precision = intra_dc_precision - 8;
    if (do_psnr) {
        enc->flags |= AV_CODEC_FLAG_PSNR;
    }
    // Two passes: the encoder learns which one; the statistics file is the transcode's.
    int pass = 0;
    if (const SpecifierOpt* so = match_per_stream(o->pass, o->nb_pass, oc, st, &ok)) {
        pass = so->u.i;
    }
    if ((pass & 1) != 0) {
        enc->flags |= AV_CODEC_FLAG_PASS1;
        ff::av_dict_set(&ost->encoder_opts, "flags", "+pass1", AV_DICT_APPEND);
    }
    if ((pass & 2) != 0) {
        enc->flags |= AV_CODEC_FLAG_PASS2;
        ff::av_dict_set(&ost->encoder_opts, "flags", "+pass2", AV_DICT_APPEND);
    }
    if (const char* prefix = str(match_per_stream(o->passlogfiles, o->nb_passlogfiles, oc, st, &ok))) {
        ost->logfile_prefix = ff::av_strdup(prefix);
    }
    if (pass != 0 && openPassLog(ost, pass) < 0) {
        return nullptr;
    }
    if (const char* keys = str(match_per_stream(o->forced_key_frames, o->nb_forced_key_frames, oc, st, &ok))) {
        ost->forced_keyframes = ff::av_strdup(keys);
    }
    if (const SpecifierOpt* so = match_per_stream(o->force_fps, o->nb_force_fps, oc, st, &ok)) {
        ost->force_fps = so->u.i;
    }
    ost->top_field_first = -1;
    if (const SpecifierOpt* so = match_per_stream(o->top_field_first, o->nb_top_field_first, oc, st, &ok)) {
        ost->top_field_first = so->u.i;
    }
    ost->avfilter = streamFilters(o, oc, ost, &ok);
    ost->last_frame = ff::av_frame_alloc();
    if (!ok || ost->avfilter == nullptr || ost->last_frame == nullptr) {
        return nullptr;
    }
    return ost;
}

OutputStream* newAudioStream(OptionsContext* o, AVFormatContext* oc, int source_index) {
    OutputStream* ost = newOutputStream(o, oc, AVMEDIA_TYPE_AUDIO, source_index);
    if (ost == nullptr) {
        return nullptr;
    }
    if (ost->stream_copy) {
        return refuseFilteredCopy(o, oc, ost) ? nullptr : ost;
    }
    AVStream* st = ost->st;
    AVCodecContext* enc = ost->enc_ctx;
    bool ok = true;
    if (const SpecifierOpt* so = match_per_stream(o->audio_channels, o->nb_audio_channels, oc, st, &ok)) {
        if (so->u.i > 0) {
            enc->ch_layout.order = AV_CHANNEL_ORDER_UNSPEC;
            enc->ch_layout.nb_channels = so->u.i;
        }
    }
    if (const char* layout = str(match_per_stream(o->channel_layouts, o->nb_channel_layouts, oc, st, &ok))) {
        ff::av_channel_layout_uninit(&enc->ch_layout);
        if (ff::av_channel_layout_from_string(&enc->ch_layout, layout) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Unknown channel layout: %s\n", layout);
            return nullptr;
        }
    }
    if (const char* format = str(match_per_stream(o->sample_fmts, o->nb_sample_fmts, oc, st, &ok))) {
        if ((enc->sample_fmt = ff::av_get_sample_fmt(format)) == AV_SAMPLE_FMT_NONE) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid sample format '%s'\n", format);
            return nullptr;
        }
    }
    if (const SpecifierOpt* so = match_per_stream(o->audio_sample_rate, o->nb_audio_sample_rate, oc, st, &ok)) {
        enc->sample_rate = so->u.i;
    }
    ost->avfilter = streamFilters(o, oc, ost, &ok);
    if (!ok || ost->avfilter == nullptr) {
        return nullptr;
    }
    // "-map_channel" entries meant for this stream, in the order given.
    for (int n = 0; n < o->nb_audio_channel_maps; ++n) {
        const AudioChannelMap* map = &o->audio_channel_maps[n];
        if ((map->ofile_idx != -1 && ost->file_index != map->ofile_idx) ||
            (map->ostream_idx != -1 && st->index != map->ostream_idx)) {
            continue;
        }
        const InputStream* ist = nullptr;
        if (map->channel_idx != -1) {
            if (ost->source_index < 0) {
                ff::av_log(nullptr, AV_LOG_FATAL, "Cannot determine input stream for channel mapping %d.%d\n",
                           ost->file_index, st->index);
                continue;
            }
            ist = input_streams[ost->source_index];
        }
        if (ist == nullptr || (ist->file_index == map->file_idx && ist->st->index == map->stream_idx)) {
            if (!grow_one(ost->audio_channels_map, ost->audio_channels_mapped)) {
                return nullptr;
            }
            ost->audio_channels_map[ost->audio_channels_mapped - 1] = map->channel_idx;
        }
    }
    return ost;
}

OutputStream* newOnlyCopiedStream(OptionsContext* o, AVFormatContext* oc, enum AVMediaType type, int source_index) {
    OutputStream* ost = newOutputStream(o, oc, type, source_index);
    if (ost != nullptr && !ost->stream_copy) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Data stream encoding not supported yet (only streamcopy)\n");
        return nullptr;
    }
    return ost;
}

OutputStream* newAttachmentStream(OptionsContext* o, AVFormatContext* oc, int source_index) {
    OutputStream* ost = newOutputStream(o, oc, AVMEDIA_TYPE_ATTACHMENT, source_index);
    if (ost != nullptr) {
        ost->stream_copy = 1;
        ost->finished = 1;
    }
    return ost;
}

OutputStream* newSubtitleStream(OptionsContext* o, AVFormatContext* oc, int source_index) {
    OutputStream* ost = newOutputStream(o, oc, AVMEDIA_TYPE_SUBTITLE, source_index);
    if (ost == nullptr || ost->stream_copy) {
        return ost;
    }
    bool ok = true;
    if (const char* size = str(match_per_stream(o->frame_sizes, o->nb_frame_sizes, oc, ost->st, &ok))) {
        if (ff::av_parse_video_size(&ost->enc_ctx->width, &ost->enc_ctx->height, size) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid frame size: %s.\n", size);
            return nullptr;
        }
    }
    return ok ? ost : nullptr;
}

OutputStream* newStreamFor(OptionsContext* o, AVFormatContext* oc, enum AVMediaType type, int source_index) {
    switch (type) {
    case AVMEDIA_TYPE_VIDEO: return newVideoStream(o, oc, source_index);
    case AVMEDIA_TYPE_AUDIO: return newAudioStream(o, oc, source_index);
    case AVMEDIA_TYPE_SUBTITLE: return newSubtitleStream(o, oc, source_index);
    case AVMEDIA_TYPE_DATA: return newOnlyCopiedStream(o, oc, type, source_index);
    case AVMEDIA_TYPE_ATTACHMENT: return newAttachmentStream(o, oc, source_index);
    default:
        ff::av_log(nullptr, AV_LOG_FATAL, "Cannot map stream #%d:%d - unsupported type.\n",
                   input_streams[source_index]->file_index, input_streams[source_index]->st->index);
        return nullptr;
    }
}

// A complex graph's output becomes a new stream of this file.
int bindOutputFilter(OutputFilter* ofilter, OptionsContext* o, AVFormatContext* oc) {
    OutputStream* ost = nullptr;
    switch (ofilter->type) {
    case AVMEDIA_TYPE_VIDEO: ost = newVideoStream(o, oc, -1); break;
    case AVMEDIA_TYPE_AUDIO: ost = newAudioStream(o, oc, -1); break;
    default:
        ff::av_log(nullptr, AV_LOG_FATAL, "Only video and audio filters are supported currently.\n");
        return -1;
    }
    if (ost == nullptr) {
        return -1;
    }
    ost->filter = ofilter;
    ofilter->ost = ost;
    ofilter->format = -1;
    if (ost->stream_copy) {
        ff::av_log(nullptr, AV_LOG_ERROR,
                   "Streamcopy requested for output stream %d:%d, which is fed from a complex filtergraph. Filtering "
                   "and streamcopy cannot be used together.\n",
                   ost->file_index, ost->index);
        return -1;
    }
    ff::avfilter_inout_free(&ofilter->out_tmp);
    return 0;
}

// No "-map": the largest picture, the audio stream with the most channels and the first
// subtitle stream, each only when the format takes that kind.
int mapDefaultStreams(OptionsContext* o, AVFormatContext* oc) {
    const AVOutputFormat* format = oc->oformat;
    if (!o->video_disable && format->video_codec != AV_CODEC_ID_NONE) {
        int area = 0, idx = -1;
        const int qcr = ff::avformat_query_codec(format, format->video_codec, 0);
        for (int i = 0; i < nb_input_streams; ++i) {
            const InputStream* ist = input_streams[i];
            if (ist->user_set_discard == AVDISCARD_ALL) {
                continue;
            }
            const AVCodecParameters* par = ist->st->codecpar;
            const bool picture = (ist->st->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
            // cover art loses to any real video unless the format stores pictures
            const int candidate = qcr != MKTAG('A', 'P', 'I', 'C') && picture ? 1 : par->width * par->height;
            if (par->codec_type == AVMEDIA_TYPE_VIDEO && candidate > area) {
                if (qcr == MKTAG('A', 'P', 'I', 'C') && !picture) {
                    continue;
                }
                area = candidate;
                idx = i;
            }
        }
        if (idx >= 0 && newVideoStream(o, oc, idx) == nullptr) {
            return -1;
        }
    }
    if (!o->audio_disable && format->audio_codec != AV_CODEC_ID_NONE) {
        int channels = 0, idx = -1;
        for (int i = 0; i < nb_input_streams; ++i) {
            const InputStream* ist = input_streams[i];
            if (ist->user_set_discard == AVDISCARD_ALL) {
                continue;
            }
            if (ist->st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && ist->st->codecpar->ch_layout.nb_channels > channels) {
                channels = ist->st->codecpar->ch_layout.nb_channels;
                idx = i;
            }
        }
        if (idx >= 0 && newAudioStream(o, oc, idx) == nullptr) {
            return -1;
        }
    }
    const SpecifierOpt* subtitleCodec = match_per_type(o->codec_names, o->nb_codec_names, "s");
    if (!o->subtitle_disable && (format->subtitle_codec != AV_CODEC_ID_NONE || subtitleCodec != nullptr)) {
        for (int i = 0; i < nb_input_streams; ++i) {
            if (input_streams[i]->st->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) {
                if (newSubtitleStream(o, oc, i) == nullptr) {
                    return -1;
                }
                break;
            }
        }
    }
    return 0;
}

int mapChosenStreams(OptionsContext* o, AVFormatContext* oc) {
    for (int i = 0; i < o->nb_stream_maps; ++i) {
        const StreamMap* map = &o->stream_maps[i];
        if (map->disabled) {
            continue;
        }
        if (map->linklabel != nullptr) {
            OutputFilter* found = nullptr;
            for (int j = 0; j < nb_filtergraphs && found == nullptr; ++j) {
                for (int k = 0; k < filtergraphs[j]->nb_outputs; ++k) {
                    AVFilterInOut* out = filtergraphs[j]->outputs[k]->out_tmp;
                    if (out != nullptr && out->name != nullptr && std::strcmp(out->name, map->linklabel) == 0) {
                        found = filtergraphs[j]->outputs[k];
                        break;
                    }
                }
            }
            if (found == nullptr) {
                ff::av_log(nullptr, AV_LOG_FATAL,
                           "Output with label '%s' does not exist in any defined filter graph, or was already used "
                           "elsewhere.\n",
                           map->linklabel);
                return -1;
            }
            if (bindOutputFilter(found, o, oc) < 0) {
                return -1;
            }
            continue;
        }
        const int source = input_files[map->file_index]->ist_index + map->stream_index;
        const InputStream* ist = input_streams[source];
        const enum AVMediaType type = ist->st->codecpar->codec_type;
        if (disabled_by_options(o, type)) {
            continue;
        }
        OutputStream* ost = newStreamFor(o, oc, type, source);
        if (ost == nullptr) {
            return -1;
        }
        ost->sync_ist = input_streams[input_files[map->sync_file_index]->ist_index + map->sync_stream_index];
    }
    return 0;
}

int addAttachments(OptionsContext* o, AVFormatContext* oc) {
    for (int i = 0; i < o->nb_attachments; ++i) {
        const char* name = o->attachments[i];
        AVIOContext* pb = nullptr;
        if (ff::avio_open2(&pb, name, AVIO_FLAG_READ, nullptr, nullptr) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Could not open attachment file %s.\n", name);
            return -1;
        }
        const int64_t length = ff::avio_size(pb);
        if (length <= 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Could not get size of the attachment %s.\n", name);
            ff::avio_closep(&pb);
            return -1;
        }
        uint8_t* data = nullptr;
        if (length <= INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE) {
            data = static_cast<uint8_t*>(ff::av_malloc(static_cast<size_t>(length) + AV_INPUT_BUFFER_PADDING_SIZE));
        }
        if (data == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Attachment %s too large.\n", name);
            ff::avio_closep(&pb);
            return -1;
        }
        const int read = ff::avio_read(pb, data, static_cast<int>(length));
        ff::avio_closep(&pb);
        std::memset(data + length, 0, AV_INPUT_BUFFER_PADDING_SIZE);
        OutputStream* ost = newAttachmentStream(o, oc, -1);
        if (ost == nullptr || read != length) {
            ff::av_free(data);
            if (ost != nullptr) {
                ff::av_log(nullptr, AV_LOG_FATAL, "Could not read attachment %s.\n", name);
            }
            return -1;
        }
        ost->stream_copy = 0;
        ost->attachment_filename = name;
        ost->st->codecpar->extradata = data;
        ost->st->codecpar->extradata_size = static_cast<int>(length);
        const char* slash = std::strrchr(name, '/');
        const char* backslash = std::strrchr(name, '\\');
        const char* base = std::max(slash, backslash);
        ff::av_dict_set(&ost->st->metadata, "filename", base != nullptr && base[1] != '\0' ? base + 1 : name,
                        AV_DICT_DONT_OVERWRITE);
    }
    return 0;
}

// "g", "s[:specifier]", "c:index", "p:index" of the metadata options.
bool parseMetaType(const char* arg, char* type, int* index, const char** streamSpec) {
    *streamSpec = "";
    if (*arg == '\0') {
        *type = 'g';
        return true;
    }
    *type = *arg;
    switch (*arg) {
    case 'g': return true;
    case 's':
        if (arg[1] != '\0' && arg[1] != ':') {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid metadata specifier %s.\n", arg + 1);
            return false;
        }
        *streamSpec = arg[1] == ':' ? arg + 2 : "";
        return true;
    case 'c':
    case 'p':
        if (arg[1] == ':') {
            *index = static_cast<int>(std::strtol(arg + 2, nullptr, 0));
        }
        return true;
    default: ff::av_log(nullptr, AV_LOG_FATAL, "Invalid metadata type %c.\n", *arg); return false;
    }
}

AVDictionary** metadataOf(AVFormatContext* ctx, char type, int index) {
    const char* what = nullptr;
    switch (type) {
    case 'g': return &ctx->metadata;
    case 'c':
        if (index >= 0 && index < static_cast<int>(ctx->nb_chapters)) {
            return &ctx->chapters[index]->metadata;
        }
        what = "chapter";
        break;
    case 'p':
        if (index >= 0 && index < static_cast<int>(ctx->nb_programs)) {
            return &ctx->programs[index]->metadata;
        }
        what = "program";
        break;
    default: return nullptr;
    }
    ff::av_log(nullptr, AV_LOG_FATAL, "Invalid %s index %d while processing metadata maps.\n", what, index);
    return nullptr;
}

// "-map_metadata outspec infile[:inspec]". Without an input file (index -1) it only
// turns the default copies off.
int copyMetadata(const char* outspec, const char* inspec, AVFormatContext* oc, AVFormatContext* ic, OptionsContext* o) {
    char typeIn = 'g', typeOut = 'g';
    int idxIn = 0, idxOut = 0;
    const char* specIn = "";
    const char* specOut = "";
    if (!parseMetaType(inspec, &typeIn, &idxIn, &specIn) || !parseMetaType(outspec, &typeOut, &idxOut, &specOut)) {
        return -1;
    }
    if (ic == nullptr) {
        if (typeOut == 'g' || *outspec == '\0') {
            o->metadata_global_manual = 1;
        }
        if (typeOut == 's' || *outspec == '\0') {
            o->metadata_streams_manual = 1;
        }
        if (typeOut == 'c' || *outspec == '\0') {
            o->metadata_chapters_manual = 1;
        }
        return 0;
    }
    if (typeIn == 'g' || typeOut == 'g') {
        o->metadata_global_manual = 1;
    }
    if (typeIn == 's' || typeOut == 's') {
        o->metadata_streams_manual = 1;
    }
    if (typeIn == 'c' || typeOut == 'c') {
        o->metadata_chapters_manual = 1;
    }
    AVDictionary** in = nullptr;
    if (typeIn == 's') {
        for (unsigned i = 0; i < ic->nb_streams && in == nullptr; ++i) {
            const int match = check_stream_specifier(ic, ic->streams[i], specIn);
            if (match < 0) {
                return match;
            }
            if (match > 0) {
                in = &ic->streams[i]->metadata;
            }
        }
        if (in == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Stream specifier %s does not match  any streams.\n", specIn);
            return -1;
        }
    } else if ((in = metadataOf(ic, typeIn, idxIn)) == nullptr) {
        return -1;
    }
    if (typeOut != 's') {
        AVDictionary** out = metadataOf(oc, typeOut, idxOut);
        if (out == nullptr) {
            return -1;
        }
        ff::av_dict_copy(out, *in, AV_DICT_DONT_OVERWRITE);
        return 0;
    }
    for (unsigned i = 0; i < oc->nb_streams; ++i) {
        const int match = check_stream_specifier(oc, oc->streams[i], specOut);
        if (match < 0) {
            return match;
        }
        if (match > 0) {
            ff::av_dict_copy(&oc->streams[i]->metadata, *in, AV_DICT_DONT_OVERWRITE);
        }
    }
    return 0;
}

// The input's chapters that fall into the output's range, shifted to its start.
int copyChapters(const InputFile* ifile, const OutputFile* ofile, AVFormatContext* os, bool copyMeta) {
    const AVFormatContext* is = ifile->ctx;
    if (is->nb_chapters == 0) {
        return 0;
    }
    AVChapter** grown = static_cast<AVChapter**>(
        ff::av_realloc_array(os->chapters, static_cast<size_t>(is->nb_chapters) + os->nb_chapters, sizeof(AVChapter*)));
    if (grown == nullptr) {
        return AVERROR(ENOMEM);
    }
    os->chapters = grown;
    for (unsigned i = 0; i < is->nb_chapters; ++i) {
        const AVChapter* in = is->chapters[i];
        const int64_t start = ofile->start_time == AV_NOPTS_VALUE ? 0 : ofile->start_time;
        const int64_t offset = ff::av_rescale_q(start - ifile->ts_offset, AV_TIME_BASE_Q, in->time_base);
        const int64_t limit = ofile->recording_time == INT64_MAX
                                  ? INT64_MAX
                                  : ff::av_rescale_q(ofile->recording_time, AV_TIME_BASE_Q, in->time_base);
        if (in->end < offset) {
            continue;
        }
        if (limit != INT64_MAX && in->start > limit + offset) {
            break;
        }
        AVChapter* out = static_cast<AVChapter*>(ff::av_mallocz(sizeof(AVChapter)));
        if (out == nullptr) {
            return AVERROR(ENOMEM);
        }
        out->id = in->id;
        out->time_base = in->time_base;
        out->start = std::max<int64_t>(0, in->start - offset);
        out->end = std::min<int64_t>(limit, in->end - offset);
        if (copyMeta) {
            ff::av_dict_copy(&out->metadata, in->metadata, 0);
        }
        os->chapters[os->nb_chapters++] = out;
    }
    return 0;
}

// "-metadata[:specifier] key=value"; an empty value removes the key.
int applyManualMetadata(OptionsContext* o, AVFormatContext* oc) {
    for (int i = 0; i < o->nb_metadata; ++i) {
        char* pair = reinterpret_cast<char*>(o->metadata[i].u.str);
        char* value = std::strchr(pair, '=');
        if (value == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "No '=' character in metadata string %s.\n", pair);
            return -1;
        }
        *value++ = '\0';
        char type = 'g';
        int index = 0;
        const char* streamSpec = "";
        if (!parseMetaType(o->metadata[i].specifier, &type, &index, &streamSpec)) {
            return -1;
        }
        if (type == 's') {
            for (unsigned j = 0; j < oc->nb_streams; ++j) {
                const int match = check_stream_specifier(oc, oc->streams[j], streamSpec);
                if (match < 0) {
                    return match;
                }
                if (match > 0) {
                    ff::av_dict_set(&oc->streams[j]->metadata, pair, *value != '\0' ? value : nullptr, 0);
                }
            }
            continue;
        }
        AVDictionary** m = metadataOf(oc, type, index);
        if (m == nullptr) {
            return -1;
        }
        ff::av_dict_set(m, pair, *value != '\0' ? value : nullptr, 0);
    }
    return 0;
}

// A stream's wishes for its graph's sink: what the options fixed, else the encoder's lists.
void setFilterConstraints(OutputStream* ost) {
    OutputFilter* f = ost->filter;
    const AVCodecContext* enc = ost->enc_ctx;
    if (f == nullptr || ost->enc == nullptr) {
        return;
    }
    if (enc->codec_type == AVMEDIA_TYPE_VIDEO) {
        f->frame_rate = ost->frame_rate;
        f->width = enc->width;
        f->height = enc->height;
        if (enc->pix_fmt != AV_PIX_FMT_NONE) {
            f->format = enc->pix_fmt;
        } else {
            f->formats = reinterpret_cast<const int*>(ost->enc->pix_fmts);
        }
        return;
    }
    if (enc->codec_type != AVMEDIA_TYPE_AUDIO) {
        return;
    }
    if (enc->sample_fmt != AV_SAMPLE_FMT_NONE) {
        f->format = enc->sample_fmt;
    } else {
        f->formats = reinterpret_cast<const int*>(ost->enc->sample_fmts);
    }
    if (enc->sample_rate != 0) {
        f->sample_rate = enc->sample_rate;
    } else {
        f->sample_rates = ost->enc->supported_samplerates;
    }
    if (enc->ch_layout.nb_channels == 0) {
        f->ch_layouts = ost->enc->ch_layouts;
        return;
    }
    ff::av_channel_layout_uninit(&f->ch_layout);
    if (enc->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC) {
        ff::av_channel_layout_copy(&f->ch_layout, &enc->ch_layout);
        return;
    }
    // A count only ("-ac 2"): the encoder's first layout of that many channels, else
    // the usual one.
    if (ost->enc->ch_layouts != nullptr) {
        for (const AVChannelLayout* l = ost->enc->ch_layouts; l->nb_channels != 0; ++l) {
            if (l->nb_channels == enc->ch_layout.nb_channels) {
                ff::av_channel_layout_copy(&f->ch_layout, l);
                return;
            }
        }
    }
    ff::av_channel_layout_default(&f->ch_layout, enc->ch_layout.nb_channels);
}

// Decoding and simple graphs for the encoded streams of the file just opened.
int connectStreams(const OutputFile* of) {
    for (int i = of->ost_index; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        if (ost->source_index < 0) {
            continue;
        }
        InputStream* ist = input_streams[ost->source_index];
        if (!ost->encoding_needed) {
            continue;
        }
        ist->decoding_needed |= DECODING_FOR_OST;
        const enum AVMediaType type = ost->st->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) {
            if (init_simple_filtergraph(ist, ost) < 0) {
                ff::av_log(nullptr, AV_LOG_ERROR, "Error initializing a simple filtergraph between streams %d:%d->%d:%d\n",
                           ist->file_index, ost->source_index, nb_output_files - 1, ost->st->index);
                return -1;
            }
        }
    }
    for (int i = of->ost_index; i < nb_output_streams; ++i) {
        setFilterConstraints(output_streams[i]);
    }
    return 0;
}

} // namespace

int check_file_overwrite(const char* filename) {
    // Only local files are checked ("C:\x", "file:x", names without a protocol).
    const bool local = std::strchr(filename, ':') == nullptr || filename[1] == ':' ||
                       std::strncmp(filename, "file:", 5) == 0;
    if ((file_overwrite && !no_file_overwrite) || !local || ff::avio_check(filename, 0) != 0) {
        return 0;
    }
    if (stdin_interaction && (!no_file_overwrite || file_overwrite)) {
        std::fprintf(stderr, "File '%s' already exists. Overwrite ? [y/N] ", filename);
        std::fflush(stderr);
        if (!read_yesno()) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Not overwriting - exiting\n");
            return -1;
        }
        return 0;
    }
    ff::av_log(nullptr, AV_LOG_FATAL, "File '%s' already exists. Exiting.\n", filename);
    return -1;
}

int open_output_file(OptionsContext* o, const char* filename) {
    if (o->stop_time != INT64_MAX && o->recording_time != INT64_MAX) {
        o->stop_time = INT64_MAX;
        ff::av_log(nullptr, AV_LOG_WARNING, "-t and -to cannot be used together; using -t.\n");
    }
    if (o->stop_time != INT64_MAX && o->recording_time == INT64_MAX) {
        const int64_t start = o->start_time == AV_NOPTS_VALUE ? 0 : o->start_time;
        if (o->stop_time <= start) {
            ff::av_log(nullptr, AV_LOG_ERROR, "-to value smaller than -ss; aborting.\n");
            return -1;
        }
        o->recording_time = o->stop_time - start;
    }
    if (std::strcmp(filename, "-") == 0) {
        filename = "pipe:";
    }

    OutputFile* of = append_new(output_files, nb_output_files);
    if (of == nullptr) {
        return AVERROR(ENOMEM);
    }
    of->ost_index = nb_output_streams;
    of->recording_time = o->recording_time;
    of->start_time = o->start_time;
    of->limit_filesize = o->limit_filesize;
    of->shortest = o->shortest;
    ff::av_dict_copy(&of->opts, o->g->format_opts, 0);

    AVFormatContext* oc = nullptr;
    int err = ff::avformat_alloc_output_context2(&oc, nullptr, o->format, filename);
    if (oc == nullptr) {
        print_error(filename, err);
        return err < 0 ? err : -1;
    }
    of->ctx = oc;
    if (o->recording_time != INT64_MAX) {
        oc->duration = o->recording_time;
    }
    if (o->bitexact) {
        oc->flags |= AVFMT_FLAG_BITEXACT;
    }

    // Unlabelled outputs of complex graphs go to the first output file.
    for (int i = 0; i < nb_filtergraphs; ++i) {
        FilterGraph* fg = filtergraphs[i];
        for (int j = 0; j < fg->nb_outputs; ++j) {
            OutputFilter* ofilter = fg->outputs[j];
            if (ofilter->out_tmp == nullptr || ofilter->out_tmp->name != nullptr) {
                continue;
            }
            switch (ofilter->type) {
            case AVMEDIA_TYPE_VIDEO: o->video_disable = 1; break;
            case AVMEDIA_TYPE_AUDIO: o->audio_disable = 1; break;
            case AVMEDIA_TYPE_SUBTITLE: o->subtitle_disable = 1; break;
            default: break;
            }
            if (bindOutputFilter(ofilter, o, oc) < 0) {
                return -1;
            }
        }
    }
    err = o->nb_stream_maps == 0 ? mapDefaultStreams(o, oc) : mapChosenStreams(o, oc);
    if (err < 0 || addAttachments(o, oc) < 0) {
        return -1;
    }
    if (oc->nb_streams == 0 && (oc->oformat->flags & AVFMT_NOSTREAMS) == 0) {
        ff::av_dump_format(oc, nb_output_files - 1, oc->url, 1);
        ff::av_log(nullptr, AV_LOG_ERROR, "Output file #%d does not contain any stream\n", nb_output_files - 1);
        return -1;
    }
    if (connectStreams(of) < 0) {
        return -1;
    }
    if ((oc->oformat->flags & AVFMT_NEEDNUMBER) != 0 && !ff::av_filename_number_test(oc->url)) {
        print_error(oc->url, AVERROR(EINVAL));
        return AVERROR(EINVAL);
    }
    if ((oc->oformat->flags & AVFMT_NOFILE) == 0) {
        if (check_file_overwrite(filename) < 0) {
            return -1;
        }
        err = ff::avio_open2(&oc->pb, filename, AVIO_FLAG_WRITE, &oc->interrupt_callback, &of->opts);
        if (err < 0) {
            print_error(filename, err);
            return err;
        }
    }
    if (o->mux_preload != 0) {
        ff::av_dict_set_int(&of->opts, "preload", static_cast<int64_t>(o->mux_preload * AV_TIME_BASE), 0);
    }
    oc->max_delay = static_cast<int>(o->mux_max_delay * AV_TIME_BASE);

    for (int i = 0; i < o->nb_metadata_map; ++i) {
        char* rest = nullptr;
        const char* map = reinterpret_cast<const char*>(o->metadata_map[i].u.str);
        const int inIndex = static_cast<int>(std::strtol(map, &rest, 0));
        if (inIndex >= nb_input_files) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid input file index %d while processing metadata maps\n", inIndex);
            return -1;
        }
        err = copyMetadata(o->metadata_map[i].specifier, *rest != '\0' ? rest + 1 : rest, oc,
                           inIndex >= 0 ? input_files[inIndex]->ctx : nullptr, o);
        if (err < 0) {
            return err;
        }
    }

    if (o->chapters_input_file >= nb_input_files) {
        if (o->chapters_input_file != INT_MAX) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid input file index %d in chapter mapping.\n",
                       o->chapters_input_file);
            return -1;
        }
        // the first input that has chapters
        o->chapters_input_file = -1;
        for (int i = 0; i < nb_input_files; ++i) {
            if (input_files[i]->ctx->nb_chapters != 0) {
                o->chapters_input_file = i;
                break;
            }
        }
    }
    if (o->chapters_input_file >= 0 &&
        copyChapters(input_files[o->chapters_input_file], of, oc, !o->metadata_chapters_manual) < 0) {
        return AVERROR(ENOMEM);
    }

    if (!o->metadata_global_manual && nb_input_files != 0) {
        ff::av_dict_copy(&oc->metadata, input_files[0]->ctx->metadata, AV_DICT_DONT_OVERWRITE);
        if (o->recording_time != INT64_MAX) {
            ff::av_dict_set(&oc->metadata, "duration", nullptr, 0);
        }
        ff::av_dict_set(&oc->metadata, "creation_time", nullptr, 0);
    }
    if (!o->metadata_streams_manual) {
        for (int i = of->ost_index; i < nb_output_streams; ++i) {
            OutputStream* ost = output_streams[i];
            if (ost->source_index < 0) {
                continue;
            }
            ff::av_dict_copy(&ost->st->metadata, input_streams[ost->source_index]->st->metadata, AV_DICT_DONT_OVERWRITE);
            if (!ost->stream_copy) {
                // the new encoder writes its own name
                ff::av_dict_set(&ost->st->metadata, "encoder", nullptr, 0);
            }
        }
    }
    return applyManualMetadata(o, oc);
}

} // namespace s::fftools
