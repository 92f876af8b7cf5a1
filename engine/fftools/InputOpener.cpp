#include <algorithm>
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

const SpecifierOpt* match_per_stream(const SpecifierOpt* list, int count, AVFormatContext* s, AVStream* st,
                                     bool* ok) {
    const SpecifierOpt* found = nullptr;
    for (int i = 0; i < count; ++i) {
        const int match = check_stream_specifier(s, st, list[i].specifier);
        if (match > 0) {
            found = &list[i];
        } else if (match < 0) {
            *ok = false;
            return nullptr;
        }
    }
    return found;
}

const SpecifierOpt* match_per_type(const SpecifierOpt* list, int count, const char* mediatype) {
    const SpecifierOpt* found = nullptr;
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(list[i].specifier, mediatype) == 0) {
            found = &list[i];
        }
    }
    return found;
}

const AVCodec* find_default_decoder(enum AVCodecID id) {
    return ff::avcodec_find_decoder(id);
}

const AVCodec* find_codec(const char* name, enum AVMediaType type, bool encoder) {
    const char* kind = encoder ? "encoder" : "decoder";
    const AVCodec* codec = encoder ? ff::avcodec_find_encoder_by_name(name) : ff::avcodec_find_decoder_by_name(name);
    if (codec == nullptr) {
        // A codec's own name ("mp3") picks its first encoder or decoder.
        const AVCodecDescriptor* desc = ff::avcodec_descriptor_get_by_name(name);
        if (desc != nullptr) {
            codec = encoder ? ff::avcodec_find_encoder(desc->id) : find_default_decoder(desc->id);
            if (codec != nullptr) {
                ff::av_log(nullptr, AV_LOG_VERBOSE, "Matched %s '%s' for codec '%s'.\n", kind, codec->name,
                           desc->name);
            }
        }
    }
    if (codec == nullptr) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Unknown %s '%s'\n", kind, name);
        return nullptr;
    }
    if (codec->type != type) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Invalid %s type '%s'\n", kind, name);
        return nullptr;
    }
    return codec;
}

uint32_t parse_codec_tag(const char* text) {
    char* end = nullptr;
    uint32_t tag = static_cast<uint32_t>(std::strtol(text, &end, 0));
    if (*end != '\0') {
        uint8_t chars[4] = {0, 0, 0, 0};
        std::memcpy(chars, text, std::min<size_t>(sizeof chars, std::strlen(text)));
        tag = AV_RL32(chars);
    }
    return tag;
}

bool disabled_by_options(const OptionsContext* o, enum AVMediaType type) {
    return (o->video_disable && type == AVMEDIA_TYPE_VIDEO) || (o->audio_disable && type == AVMEDIA_TYPE_AUDIO) ||
           (o->subtitle_disable && type == AVMEDIA_TYPE_SUBTITLE) || (o->data_disable && type == AVMEDIA_TYPE_DATA);
}

int guess_input_channel_layout(InputStream* ist) {
    AVCodecContext* dec = ist->dec_ctx;
    if (dec->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC) {
        return 1;
    }
    if (dec->ch_layout.nb_channels > ist->guess_layout_max) {
        return 0;
    }
    ff::av_channel_layout_default(&dec->ch_layout, dec->ch_layout.nb_channels);
    if (dec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        return 0;
    }
    char name[256];
    ff::av_channel_layout_describe(&dec->ch_layout, name, sizeof name);
    ff::av_log(nullptr, AV_LOG_WARNING, "Guessed Channel Layout for Input Stream #%d.%d : %s\n", ist->file_index,
               ist->st->index, name);
    return 1;
}

namespace {

// The decoder a stream is read with: the one "-c" names for it (forcing the stream's
// codec id), else the default one.
const AVCodec* chooseDecoder(OptionsContext* o, AVFormatContext* s, AVStream* st, bool* ok) {
    const SpecifierOpt* name = match_per_stream(o->codec_names, o->nb_codec_names, s, st, ok);
    if (name == nullptr) {
        return *ok ? find_default_decoder(st->codecpar->codec_id) : nullptr;
    }
    const AVCodec* codec = find_codec(reinterpret_cast<const char*>(name->u.str), st->codecpar->codec_type, false);
    if (codec == nullptr) {
        *ok = false;
        return nullptr;
    }
    st->codecpar->codec_id = codec->id;
    return codec;
}

// One input stream per stream of the file, each with its decoder context ready to open.
int addInputStreams(OptionsContext* o, AVFormatContext* ic, int fileIndex) {
    for (unsigned i = 0; i < ic->nb_streams; ++i) {
        AVStream* st = ic->streams[i];
        AVCodecParameters* par = st->codecpar;
        InputStream* ist = append_new(input_streams, nb_input_streams);
        if (ist == nullptr) {
            return AVERROR(ENOMEM);
        }
        ist->st = st;
        ist->file_index = fileIndex;
        ist->discard = 1;
        st->discard = AVDISCARD_ALL;
        ist->min_pts = INT64_MAX;
        ist->max_pts = INT64_MIN;
        ist->filter_in_rescale_delta_last = AV_NOPTS_VALUE;
        ist->next_dts = AV_NOPTS_VALUE;
        ist->dts = AV_NOPTS_VALUE;
        ist->next_pts = AV_NOPTS_VALUE;
        ist->pts = AV_NOPTS_VALUE;
        ist->cfr_next_pts = AV_NOPTS_VALUE;

        bool ok = true;
        ist->ts_scale = 1.0;
        if (const SpecifierOpt* so = match_per_stream(o->ts_scale, o->nb_ts_scale, ic, st, &ok)) {
            ist->ts_scale = so->u.dbl;
        }
        if (const SpecifierOpt* so = match_per_stream(o->codec_tags, o->nb_codec_tags, ic, st, &ok)) {
            par->codec_tag = parse_codec_tag(reinterpret_cast<const char*>(so->u.str));
        }
        ist->dec = chooseDecoder(o, ic, st, &ok);
        if (!ok) {
            return -1;
        }
        const int filtered = filter_codec_opts(o->g->codec_opts, par->codec_id, ic, st, ist->dec, &ist->decoder_opts);
        if (filtered < 0) {
            return filtered;
        }
        ist->reinit_filters = -1;
        if (const SpecifierOpt* so = match_per_stream(o->reinit_filters, o->nb_reinit_filters, ic, st, &ok)) {
            ist->reinit_filters = so->u.i;
        }
        ist->user_set_discard = AVDISCARD_NONE;
        if (disabled_by_options(o, par->codec_type)) {
            ist->user_set_discard = AVDISCARD_ALL;
        } else if (video_discard != 0 && par->codec_type == AVMEDIA_TYPE_VIDEO) {
            ist->user_set_discard = video_discard;
        }

        ist->dec_ctx = ff::avcodec_alloc_context3(ist->dec);
        if (ist->dec_ctx == nullptr) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error allocating the decoder context.\n");
            return AVERROR(ENOMEM);
        }
        if (ff::avcodec_parameters_to_context(ist->dec_ctx, par) < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error initializing the decoder context.\n");
            return -1;
        }
        ist->decoded_frame = ff::av_frame_alloc();
        ist->filter_frame = ff::av_frame_alloc();
        ist->pkt = ff::av_packet_alloc();
        if (ist->decoded_frame == nullptr || ist->filter_frame == nullptr || ist->pkt == nullptr) {
            return AVERROR(ENOMEM);
        }
        if (o->bitexact) {
            ist->dec_ctx->flags |= AV_CODEC_FLAG_BITEXACT;
        }

        switch (par->codec_type) {
        case AVMEDIA_TYPE_VIDEO: {
            // Stream analysis no longer hands the frame rate to the decoder.
            ist->dec_ctx->framerate = st->avg_frame_rate;
            if (const SpecifierOpt* so = match_per_stream(o->frame_rates, o->nb_frame_rates, ic, st, &ok)) {
                const char* rate = reinterpret_cast<const char*>(so->u.str);
                if (ff::av_parse_video_rate(&ist->framerate, rate) < 0) {
                    ff::av_log(nullptr, AV_LOG_ERROR, "Error parsing framerate %s.\n", rate);
                    return -1;
                }
            }
            ist->top_field_first = -1;
            if (const SpecifierOpt* so = match_per_stream(o->top_field_first, o->nb_top_field_first, ic, st, &ok)) {
                ist->top_field_first = so->u.i;
            }
            break;
        }
        case AVMEDIA_TYPE_AUDIO:
            ist->guess_layout_max = INT_MAX;
            if (const SpecifierOpt* so = match_per_stream(o->guess_layout_max, o->nb_guess_layout_max, ic, st, &ok)) {
                ist->guess_layout_max = so->u.i;
            }
            guess_input_channel_layout(ist);
            break;
        case AVMEDIA_TYPE_DATA:
        case AVMEDIA_TYPE_SUBTITLE:
            if (const SpecifierOpt* so = match_per_stream(o->fix_sub_duration, o->nb_fix_sub_duration, ic, st, &ok)) {
                ist->fix_sub_duration = so->u.i;
            }
            if (const SpecifierOpt* so = match_per_stream(o->frame_sizes, o->nb_frame_sizes, ic, st, &ok)) {
                // the canvas bitmap subtitles are drawn on
                const char* size = reinterpret_cast<const char*>(so->u.str);
                if (ff::av_parse_video_size(&ist->dec_ctx->width, &ist->dec_ctx->height, size) < 0) {
                    ff::av_log(nullptr, AV_LOG_FATAL, "Invalid canvas size: %s.\n", size);
                    return -1;
                }
            }
            break;
        default: break;
        }
        if (!ok) {
            return -1;
        }
        if (ff::avcodec_parameters_from_context(par, ist->dec_ctx) < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error initializing the decoder context.\n");
            return -1;
        }
    }
    return 0;
}

// "-dump_attachment": an attachment stream's data into a file of its own.
int dumpAttachment(AVStream* st, const char* filename) {
    if (st->codecpar->extradata_size == 0) {
        ff::av_log(nullptr, AV_LOG_WARNING, "No extradata to dump in stream #%d:%d.\n", nb_input_files - 1,
                   st->index);
        return 0;
    }
    if (*filename == '\0') {
        const AVDictionaryEntry* e = ff::av_dict_get(st->metadata, "filename", nullptr, 0);
        if (e != nullptr) {
            filename = e->value;
        }
    }
    if (*filename == '\0') {
        ff::av_log(nullptr, AV_LOG_FATAL, "No filename specified and no 'filename' tag in stream #%d:%d.\n",
                   nb_input_files - 1, st->index);
        return -1;
    }
    if (check_file_overwrite(filename) < 0) {
        return -1;
    }
    AVIOContext* out = nullptr;
    if (ff::avio_open2(&out, filename, AVIO_FLAG_WRITE, nullptr, nullptr) < 0) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Could not open file %s for writing.\n", filename);
        return -1;
    }
    ff::avio_write(out, st->codecpar->extradata, st->codecpar->extradata_size);
    ff::avio_flush(out);
    ff::avio_closep(&out);
    return 0;
}

// Library options left over after a call that should have taken them all.
int assertAllOptionsUsed(AVDictionary* left) {
    const AVDictionaryEntry* e = ff::av_dict_get(left, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    if (e != nullptr) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Option %s not found.\n", e->key);
        return AVERROR_OPTION_NOT_FOUND;
    }
    return 0;
}

// The format layer keeps what it did not use; options also meant for the codecs
// ("strict") are not its to complain about.
void removeCodecOptions(AVDictionary** formatOptions, AVDictionary* codecOptions) {
    const AVDictionaryEntry* e = nullptr;
    while ((e = ff::av_dict_get(codecOptions, "", e, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        ff::av_dict_set(formatOptions, e->key, nullptr, AV_DICT_MATCH_CASE);
    }
}

} // namespace

int open_input_file(OptionsContext* o, const char* filename) {
    if (o->stop_time != INT64_MAX && o->recording_time != INT64_MAX) {
        o->stop_time = INT64_MAX;
        ff::av_log(nullptr, AV_LOG_WARNING, "-t and -to cannot be used together; using -t.\n");
    }
    const AVInputFormat* format = nullptr;
    if (o->format != nullptr) {
        format = ff::av_find_input_format(o->format);
        if (format == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Unknown input format: '%s'\n", o->format);
            return -1;
        }
    }
    if (std::strcmp(filename, "-") == 0) {
        filename = "pipe:";
    }
    if (std::strncmp(filename, "pipe:", 5) == 0) {
        stdin_interaction = 0;
    }

    AVFormatContext* ic = ff::avformat_alloc_context();
    if (ic == nullptr) {
        print_error(filename, AVERROR(ENOMEM));
        return AVERROR(ENOMEM);
    }
    // Raw inputs learn their layout from the options given before "-i".
    if (o->nb_audio_sample_rate != 0) {
        ff::av_dict_set_int(&o->g->format_opts, "sample_rate", o->audio_sample_rate[o->nb_audio_sample_rate - 1].u.i, 0);
    }
    if (o->nb_audio_channels != 0 && format != nullptr && format->priv_class != nullptr) {
        const AVClass* priv = format->priv_class;
        if (ff::av_opt_find(&priv, "ch_layout", nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ) != nullptr) {
            char layout[32];
            std::snprintf(layout, sizeof layout, "%dC", o->audio_channels[o->nb_audio_channels - 1].u.i);
            ff::av_dict_set(&o->g->format_opts, "ch_layout", layout, 0);
        }
    }
    if (o->nb_frame_rates != 0 && format != nullptr && format->priv_class != nullptr) {
        const AVClass* priv = format->priv_class;
        if (ff::av_opt_find(&priv, "framerate", nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ) != nullptr) {
            ff::av_dict_set(&o->g->format_opts, "framerate",
                            reinterpret_cast<const char*>(o->frame_rates[o->nb_frame_rates - 1].u.str), 0);
        }
    }
    if (o->nb_frame_sizes != 0) {
        ff::av_dict_set(&o->g->format_opts, "video_size",
                        reinterpret_cast<const char*>(o->frame_sizes[o->nb_frame_sizes - 1].u.str), 0);
    }
    if (o->nb_frame_pix_fmts != 0) {
        ff::av_dict_set(&o->g->format_opts, "pixel_format",
                        reinterpret_cast<const char*>(o->frame_pix_fmts[o->nb_frame_pix_fmts - 1].u.str), 0);
    }

    // "-c:a name" before "-i" forces the decoders the demuxer probes with.
    static const struct {
        const char* specifier;
        enum AVMediaType type;
    } KINDS[] = {{"v", AVMEDIA_TYPE_VIDEO}, {"a", AVMEDIA_TYPE_AUDIO}, {"s", AVMEDIA_TYPE_SUBTITLE}, {"d", AVMEDIA_TYPE_DATA}};
    for (const auto& kind : KINDS) {
        const SpecifierOpt* name = match_per_type(o->codec_names, o->nb_codec_names, kind.specifier);
        if (name == nullptr) {
            continue;
        }
        const AVCodec* codec = find_codec(reinterpret_cast<const char*>(name->u.str), kind.type, false);
        if (codec == nullptr) {
            ff::avformat_free_context(ic);
            return -1;
        }
        switch (kind.type) {
        case AVMEDIA_TYPE_VIDEO: ic->video_codec = codec; ic->video_codec_id = codec->id; break;
        case AVMEDIA_TYPE_AUDIO: ic->audio_codec = codec; ic->audio_codec_id = codec->id; break;
        case AVMEDIA_TYPE_SUBTITLE: ic->subtitle_codec = codec; ic->subtitle_codec_id = codec->id; break;
        default: ic->data_codec = codec; ic->data_codec_id = codec->id; break;
        }
    }
    ic->flags |= AVFMT_FLAG_NONBLOCK;
    if (o->bitexact) {
        ic->flags |= AVFMT_FLAG_BITEXACT;
    }

    int err = ff::avformat_open_input(&ic, filename, format, &o->g->format_opts);
    if (err < 0) {
        // the context is freed by the failed open
        print_error(filename, err);
        return err;
    }
    removeCodecOptions(&o->g->format_opts, o->g->codec_opts);
    err = assertAllOptionsUsed(o->g->format_opts);
    bool ok = err >= 0;
    // Forced decoders decide the codec ids stream analysis works with.
    for (unsigned i = 0; ok && i < ic->nb_streams; ++i) {
        chooseDecoder(o, ic, ic->streams[i], &ok);
    }
    if (!ok) {
        ff::avformat_close_input(&ic);
        return err < 0 ? err : -1;
    }

    AVDictionary** streamOptions = nullptr;
    err = setup_find_stream_info_opts(ic, o->g->codec_opts, &streamOptions);
    if (err < 0) {
        ff::avformat_close_input(&ic);
        return err;
    }
    const unsigned analysed = ic->nb_streams;
    err = ff::avformat_find_stream_info(ic, streamOptions);
    for (unsigned i = 0; i < analysed; ++i) {
        ff::av_dict_free(&streamOptions[i]);
    }
    ff::av_freep(&streamOptions);
    if (err < 0) {
        ff::av_log(nullptr, AV_LOG_FATAL, "%s: could not find codec parameters\n", filename);
        if (ic->nb_streams == 0) {
            ff::avformat_close_input(&ic);
            return -1;
        }
    }

    int64_t timestamp = o->start_time == AV_NOPTS_VALUE ? 0 : o->start_time;
    if (ic->start_time != AV_NOPTS_VALUE) {
        timestamp += ic->start_time;
    }
    if (o->start_time != AV_NOPTS_VALUE) {
        int64_t seekTo = timestamp;
        if ((ic->iformat->flags & AVFMT_SEEK_TO_PTS) == 0) {
            // streams with reordered frames seek a little earlier
            for (unsigned i = 0; i < ic->nb_streams; ++i) {
                if (ic->streams[i]->codecpar->video_delay != 0) {
                    seekTo -= 3 * AV_TIME_BASE / 23;
                    break;
                }
            }
        }
        if (ff::avformat_seek_file(ic, -1, INT64_MIN, seekTo, seekTo, 0) < 0) {
            ff::av_log(nullptr, AV_LOG_WARNING, "%s: could not seek to position %0.3f\n", filename,
                       static_cast<double>(timestamp) / AV_TIME_BASE);
        }
    }

    // Listed before its streams are made, so the clean-up closes it whatever follows.
    InputFile* f = append_new(input_files, nb_input_files);
    if (f == nullptr) {
        ff::avformat_close_input(&ic);
        return AVERROR(ENOMEM);
    }
    f->ctx = ic;
    f->ist_index = nb_input_streams;
    f->start_time = o->start_time;
    // An input's "-t" limits the next output instead (carried by the context's release).
    f->recording_time = INT64_MAX;
    f->input_ts_offset = o->input_ts_offset;
    f->ts_offset = o->input_ts_offset - (copy_ts ? 0 : timestamp);
    f->nb_streams = static_cast<int>(ic->nb_streams);
    f->rate_emu = o->rate_emu;
    f->accurate_seek = 1;
    f->pkt = ff::av_packet_alloc();
    if (f->pkt == nullptr) {
        return AVERROR(ENOMEM);
    }

    err = addInputStreams(o, ic, nb_input_files - 1);
    if (err < 0) {
        return err;
    }
    ff::av_dump_format(ic, nb_input_files - 1, filename, 0);

    for (int i = 0; i < o->nb_dump_attachment; ++i) {
        for (unsigned j = 0; j < ic->nb_streams; ++j) {
            AVStream* st = ic->streams[j];
            const int match = check_stream_specifier(ic, st, o->dump_attachment[i].specifier);
            if (match < 0) {
                return match;
            }
            if (match == 1 && dumpAttachment(st, reinterpret_cast<const char*>(o->dump_attachment[i].u.str)) < 0) {
                return -1;
            }
        }
    }
    return 0;
}

} // namespace s::fftools
