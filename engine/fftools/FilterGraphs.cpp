#include "engine/fftools/FilterGraphs.h"

#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/SubtitleCanvas.h"
#include "engine/fftools/TranscodeLoop.h"

namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

// Appends item to a pointer list kept as array and count; false when memory runs out.
template <typename T>
bool appendPointer(T**& array, int& count, T* item) {
    void* grown = ff::av_realloc_array(array, static_cast<size_t>(count) + 1, sizeof(T*));
    if (grown == nullptr) {
        return false;
    }
    array = static_cast<T**>(grown);
    array[count++] = item;
    return true;
}

// "key=value:" for every entry, the last ":" dropped.
void joinDictionary(const AVDictionary* dict, char* buf, size_t size) {
    buf[0] = '\0';
    const AVDictionaryEntry* e = nullptr;
    while ((e = ff::av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        appendf(buf, size, "%s=%s:", e->key, e->value);
    }
    const size_t len = std::strlen(buf);
    if (len > 0) {
        buf[len - 1] = '\0';
    }
}

// "graph 0 input from stream 0:1" style names for a pad of a complex graph.
char* describeFilterLink(FilterGraph* fg, AVFilterInOut* inout, bool in) {
    AVFilterContext* ctx = inout->filter_ctx;
    AVFilterPad* pads = in ? ctx->input_pads : ctx->output_pads;
    const int nbPads = in ? static_cast<int>(ctx->nb_inputs) : static_cast<int>(ctx->nb_outputs);
    char* text = ff::av_asprintf("%s", ctx->filter->name);
    if (text != nullptr && nbPads > 1) {
        char* more = ff::av_asprintf("%s:%s", text, ff::avfilter_pad_get_name(pads, inout->pad_idx));
        ff::av_free(text);
        text = more;
    }
    (void)fg;
    return text;
}

InputFilter* newInputFilter(FilterGraph* fg, InputStream* ist, enum AVMediaType type) {
    InputFilter* ifilter = static_cast<InputFilter*>(ff::av_mallocz(sizeof(InputFilter)));
    if (ifilter == nullptr) {
        return nullptr;
    }
    ifilter->ist = ist;
    ifilter->graph = fg;
    ifilter->type = type;
    ifilter->format = -1;
    if (!appendPointer(fg->inputs, fg->nb_inputs, ifilter)) {
        ff::av_free(ifilter);
        return nullptr;
    }
    if (!appendPointer(ist->filters, ist->nb_filters, ifilter)) {
        --fg->nb_inputs;
        ff::av_free(ifilter);
        return nullptr;
    }
    return ifilter;
}

OutputFilter* newOutputFilter(FilterGraph* fg) {
    OutputFilter* ofilter = static_cast<OutputFilter*>(ff::av_mallocz(sizeof(OutputFilter)));
    if (ofilter == nullptr) {
        return nullptr;
    }
    ofilter->graph = fg;
    ofilter->format = -1;
    if (!appendPointer(fg->outputs, fg->nb_outputs, ofilter)) {
        ff::av_free(ofilter);
        return nullptr;
    }
    return ofilter;
}

FilterGraph* newFilterGraph() {
    FilterGraph* fg = static_cast<FilterGraph*>(ff::av_mallocz(sizeof(FilterGraph)));
    if (fg == nullptr) {
        return nullptr;
    }
    fg->index = nb_filtergraphs;
    if (!appendPointer(filtergraphs, nb_filtergraphs, fg)) {
        ff::av_free(fg);
        return nullptr;
    }
    return fg;
}

// Links ctx after *last (its pad *pad); the chain then goes on from ctx.
int linkAfter(AVFilterContext* ctx, AVFilterContext** last, int* pad) {
    const int ret = ff::avfilter_link(*last, *pad, ctx, 0);
    if (ret < 0) {
        return ret;
    }
    *last = ctx;
    *pad = 0;
    return 0;
}

// A trim filter ahead of last (its pad *pad) when a start or a length is set; the chain
// then goes on from it.
int insertTrim(int64_t startTime, int64_t duration, AVFilterContext** last, int* pad, const char* name,
               bool audio) {
    if (duration == INT64_MAX && startTime == AV_NOPTS_VALUE) {
        return 0;
    }
    const AVFilter* trim = ff::avfilter_get_by_name(audio ? "atrim" : "trim");
    if (trim == nullptr) {
        ff::av_log(nullptr, AV_LOG_ERROR, "%s filter not present, cannot limit recording time.\n",
                   audio ? "atrim" : "trim");
        return AVERROR_FILTER_NOT_FOUND;
    }
    AVFilterContext* ctx = ff::avfilter_graph_alloc_filter((*last)->graph, trim, name);
    if (ctx == nullptr) {
        return AVERROR(ENOMEM);
    }
    int ret = 0;
    if (duration != INT64_MAX) {
        ret = ff::av_opt_set_int(ctx, "durationi", duration, AV_OPT_SEARCH_CHILDREN);
    }
    if (ret >= 0 && startTime != AV_NOPTS_VALUE) {
        ret = ff::av_opt_set_int(ctx, "starti", startTime, AV_OPT_SEARCH_CHILDREN);
    }
    if (ret < 0) {
        ff::av_log(ctx, AV_LOG_ERROR, "Error configuring the %s filter", name);
        return ret;
    }
    ret = ff::avfilter_init_str(ctx, nullptr);
    if (ret < 0) {
        return ret;
    }
    return linkAfter(ctx, last, pad);
}

// Creates a filter named name with args and links it after *last; the chain goes on
// from it.
int insertFilter(AVFilterGraph* graph, const char* filterName, const char* name, const char* args,
                 AVFilterContext** last, int* pad) {
    AVFilterContext* ctx = nullptr;
    int ret = ff::avfilter_graph_create_filter(&ctx, ff::avfilter_get_by_name(filterName), name, args, nullptr, graph);
    if (ret < 0) {
        return ret;
    }
    return linkAfter(ctx, last, pad);
}

// The sample format the encoder will be given: a format the options fixed when the
// encoder takes it, else (with a warning) the encoder's first.
int chooseSampleFormat(const AVCodec* enc, int wanted) {
    if (enc == nullptr || enc->sample_fmts == nullptr || wanted == AV_SAMPLE_FMT_NONE) {
        return wanted;
    }
    for (const enum AVSampleFormat* p = enc->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p) {
        if (*p == wanted) {
            return wanted;
        }
    }
    const AVCodecDescriptor* desc = ff::avcodec_descriptor_get(enc->id);
    if (desc != nullptr && (desc->props & AV_CODEC_PROP_LOSSLESS) &&
        ff::av_get_bytes_per_sample(static_cast<AVSampleFormat>(wanted)) >
            ff::av_get_bytes_per_sample(enc->sample_fmts[0])) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Conversion will not be lossless.\n");
    }
    ff::av_log(nullptr, AV_LOG_WARNING, "Incompatible sample format '%s' for codec '%s', auto-selecting format '%s'\n",
               ff::av_get_sample_fmt_name(static_cast<AVSampleFormat>(wanted)), enc->name,
               ff::av_get_sample_fmt_name(enc->sample_fmts[0]));
    return enc->sample_fmts[0];
}

// The pixel format the encoder will be given, chosen the same way.
int choosePixelFormat(OutputStream* ost, const AVCodec* enc, int wanted) {
    if (enc == nullptr || enc->pix_fmts == nullptr || wanted == AV_PIX_FMT_NONE) {
        return wanted;
    }
    for (const enum AVPixelFormat* p = enc->pix_fmts; *p != AV_PIX_FMT_NONE; ++p) {
        if (*p == wanted) {
            return wanted;
        }
    }
    const enum AVPixelFormat best =
        ff::avcodec_find_best_pix_fmt_of_list(enc->pix_fmts, static_cast<AVPixelFormat>(wanted), 0, nullptr);
    if (wanted != AV_PIX_FMT_NONE && ost != nullptr) {
        ff::av_log(nullptr, AV_LOG_WARNING, "Incompatible pixel format '%s' for codec '%s', auto-selecting format '%s'\n",
                   ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(wanted)), enc->name,
                   ff::av_get_pix_fmt_name(best));
    }
    return best;
}

// "fmt1|fmt2|..." of the encoder's pixel formats, or the one the options fixed. Empty
// when nothing constrains it.
void pixelFormats(OutputStream* ost, char* buf, size_t size) {
    buf[0] = '\0';
    OutputFilter* ofilter = ost->filter;
    const int fixed = ofilter->format >= 0 ? ofilter->format : (ost->enc_ctx != nullptr ? ost->enc_ctx->pix_fmt : -1);
    if (fixed >= 0 && fixed != AV_PIX_FMT_NONE) {
        const int chosen = choosePixelFormat(ost, ost->enc, fixed);
        appendf(buf, size, "%s", ff::av_get_pix_fmt_name(static_cast<AVPixelFormat>(chosen)));
        return;
    }
    if (ost->keep_pix_fmt || ost->enc == nullptr || ost->enc->pix_fmts == nullptr) {
        return;
    }
    // The JPEG encoder refuses limited-range YUV unless the compliance is relaxed.
    const AVDictionaryEntry* strict = ff::av_dict_get(ost->encoder_opts, "strict", nullptr, 0);
    if (strict != nullptr && ost->enc_ctx != nullptr) {
        ff::av_opt_set(ost->enc_ctx, "strict", strict->value, 0);
    }
    if (std::strcmp(ost->enc->name, "mjpeg") == 0 &&
        (ost->enc_ctx == nullptr || ost->enc_ctx->strict_std_compliance > FF_COMPLIANCE_UNOFFICIAL)) {
        appendf(buf, size, "yuvj420p|yuvj422p|yuvj444p");
        return;
    }
    for (const enum AVPixelFormat* p = ost->enc->pix_fmts; *p != AV_PIX_FMT_NONE; ++p) {
        appendf(buf, size, "%s%s", buf[0] != '\0' ? "|" : "", ff::av_get_pix_fmt_name(*p));
    }
}

// The layout the options fixed for the output: a counted layout ("-ac 6") becomes the
// encoder's first layout with that many channels, else the default one.
void fixedLayout(OutputStream* ost, AVChannelLayout* out) {
    const AVChannelLayout* wanted = &ost->filter->ch_layout;
    if (wanted->nb_channels == 0 && ost->enc_ctx != nullptr) {
        wanted = &ost->enc_ctx->ch_layout;
    }
    if (wanted->nb_channels == 0) {
        return;
    }
    if (wanted->order != AV_CHANNEL_ORDER_UNSPEC) {
        ff::av_channel_layout_copy(out, wanted);
        return;
    }
    if (ost->enc != nullptr && ost->enc->ch_layouts != nullptr) {
        for (const AVChannelLayout* l = ost->enc->ch_layouts; l->nb_channels != 0; ++l) {
            if (l->nb_channels == wanted->nb_channels) {
                ff::av_channel_layout_copy(out, l);
                return;
            }
        }
    }
    ff::av_channel_layout_default(out, wanted->nb_channels);
}

// The aformat arguments for the encoder: its sample formats, rates and layouts, or the
// ones the options fixed.
void audioFormatConstraints(OutputStream* ost, char* buf, size_t size) {
    buf[0] = '\0';
    OutputFilter* ofilter = ost->filter;
    const AVCodec* enc = ost->enc;
    char list[1024];

    int format = ofilter->format;
    if (format < 0 && ost->enc_ctx != nullptr && ost->enc_ctx->sample_fmt != AV_SAMPLE_FMT_NONE) {
        format = ost->enc_ctx->sample_fmt;
    }
    list[0] = '\0';
    if (format >= 0) {
        appendf(list, sizeof(list), "%s", ff::av_get_sample_fmt_name(
                                              static_cast<AVSampleFormat>(chooseSampleFormat(enc, format))));
    } else if (enc != nullptr && enc->sample_fmts != nullptr) {
        for (const enum AVSampleFormat* p = enc->sample_fmts; *p != AV_SAMPLE_FMT_NONE; ++p) {
            appendf(list, sizeof(list), "%s%s", list[0] != '\0' ? "|" : "", ff::av_get_sample_fmt_name(*p));
        }
    }
    if (list[0] != '\0') {
        appendf(buf, size, "sample_fmts=%s:", list);
    }

    int rate = ofilter->sample_rate;
    if (rate <= 0 && ost->enc_ctx != nullptr) {
        rate = ost->enc_ctx->sample_rate;
    }
    list[0] = '\0';
    if (rate > 0) {
        appendf(list, sizeof(list), "%d", rate);
    } else if (enc != nullptr && enc->supported_samplerates != nullptr) {
        for (const int* p = enc->supported_samplerates; *p != 0; ++p) {
            appendf(list, sizeof(list), "%s%d", list[0] != '\0' ? "|" : "", *p);
        }
    }
    if (list[0] != '\0') {
        appendf(buf, size, "sample_rates=%s:", list);
    }

    AVChannelLayout layout = {};
    fixedLayout(ost, &layout);
    list[0] = '\0';
    char name[128];
    if (layout.nb_channels > 0) {
        if (ff::av_channel_layout_describe(&layout, name, sizeof(name)) >= 0) {
            appendf(list, sizeof(list), "%s", name);
        }
    } else if (enc != nullptr && enc->ch_layouts != nullptr) {
        for (const AVChannelLayout* l = enc->ch_layouts; l->nb_channels != 0; ++l) {
            if (ff::av_channel_layout_describe(l, name, sizeof(name)) >= 0) {
                appendf(list, sizeof(list), "%s%s", list[0] != '\0' ? "|" : "", name);
            }
        }
    }
    ff::av_channel_layout_uninit(&layout);
    if (list[0] != '\0') {
        appendf(buf, size, "channel_layouts=%s:", list);
    }
    const size_t len = std::strlen(buf);
    if (len > 0) {
        buf[len - 1] = '\0';
    }
}

// The sink of an output ("buffersink" or "abuffersink"), named after its stream.
int createSink(FilterGraph* fg, OutputFilter* ofilter, const char* kind) {
    char name[255];
    std::snprintf(name, sizeof(name), "output stream %d:%d", ofilter->ost->file_index, ofilter->ost->index);
    return ff::avfilter_graph_create_filter(&ofilter->filter, ff::avfilter_get_by_name(kind), name, nullptr, nullptr,
                                            fg->graph);
}

// The output's start and length, then its sink, end the chain that ends at last.
int endOutputChain(OutputFilter* ofilter, AVFilterContext* last, int pad, bool audio) {
    OutputStream* ost = ofilter->ost;
    OutputFile* of = output_files[ost->file_index];
    char name[255];
    std::snprintf(name, sizeof(name), "trim for output stream %d:%d", ost->file_index, ost->index);
    const int ret = insertTrim(of->start_time, of->recording_time, &last, &pad, name, audio);
    return ret < 0 ? ret : ff::avfilter_link(last, pad, ofilter->filter, 0);
}

int configureOutputVideoFilter(FilterGraph* fg, OutputFilter* ofilter, AVFilterInOut* out) {
    OutputStream* ost = ofilter->ost;
    OutputFile* of = output_files[ost->file_index];
    AVFilterContext* last = out->filter_ctx;
    int pad = out->pad_idx;
    char name[255];
    char args[1024];

    int ret = createSink(fg, ofilter, "buffersink");
    if (ret < 0) {
        return ret;
    }
    int width = ofilter->width > 0 ? ofilter->width : (ost->enc_ctx != nullptr ? ost->enc_ctx->width : 0);
    int height = ofilter->height > 0 ? ofilter->height : (ost->enc_ctx != nullptr ? ost->enc_ctx->height : 0);
    if (width > 0 || height > 0) {
        std::snprintf(args, sizeof(args), "%d:%d", width, height);
        char sws[512];
        joinDictionary(ost->sws_dict, sws, sizeof(sws));
        if (sws[0] != '\0') {
            appendf(args, sizeof(args), ":%s", sws);
        }
        std::snprintf(name, sizeof(name), "scaler for output stream %d:%d", ost->file_index, ost->index);
        if ((ret = insertFilter(fg->graph, "scale", name, args, &last, &pad)) < 0) {
            return ret;
        }
    }
    pixelFormats(ost, args, sizeof(args));
    if (args[0] != '\0') {
        std::snprintf(name, sizeof(name), "pixel format for output stream %d:%d", ost->file_index, ost->index);
        if ((ret = insertFilter(fg->graph, "format", name, args, &last, &pad)) < 0) {
            return ret;
        }
    }
    // A constant frame rate is made here rather than by duplicating frames at the encoder.
    // Only a variable-rate format without timestamps takes frames as they come; one
    // without timestamps alone (rawvideo, the first pass of two) is encoded at the rate
    // its encoder's time base counts in.
    const int flags = of->ctx->oformat->flags;
    const bool asTheyCome = video_sync_method == VSYNC_AUTO && (flags & AVFMT_NOTIMESTAMPS) &&
                            (flags & AVFMT_VARIABLE_FPS);
    if (ost->frame_rate.num > 0 && ost->frame_rate.den > 0 && video_sync_method != VSYNC_PASSTHROUGH &&
        video_sync_method != VSYNC_VFR && !asTheyCome) {
        std::snprintf(args, sizeof(args), "fps=%d/%d", ost->frame_rate.num, ost->frame_rate.den);
        std::snprintf(name, sizeof(name), "fps for output stream %d:%d", ost->file_index, ost->index);
        if ((ret = insertFilter(fg->graph, "fps", name, args, &last, &pad)) < 0) {
            return ret;
        }
    }
    return endOutputChain(ofilter, last, pad, false);
}

int configureOutputAudioFilter(FilterGraph* fg, OutputFilter* ofilter, AVFilterInOut* out) {
    OutputStream* ost = ofilter->ost;
    AVFilterContext* last = out->filter_ctx;
    int pad = out->pad_idx;
    char name[255];
    char args[2048];

    int ret = createSink(fg, ofilter, "abuffersink");
    if (ret < 0) {
        return ret;
    }
    if ((ret = ff::av_opt_set_int(ofilter->filter, "all_channel_counts", 1, AV_OPT_SEARCH_CHILDREN)) < 0) {
        return ret;
    }
    if (ost->audio_channels_mapped > 0) {
        AVChannelLayout layout = {};
        fixedLayout(ost, &layout);
        if (layout.nb_channels == 0) {
            ff::av_channel_layout_default(&layout, ost->audio_channels_mapped);
        }
        char layoutName[128] = "";
        ff::av_channel_layout_describe(&layout, layoutName, sizeof(layoutName));
        ff::av_channel_layout_uninit(&layout);
        std::snprintf(args, sizeof(args), "%s", layoutName);
        for (int i = 0; i < ost->audio_channels_mapped; ++i) {
            if (ost->audio_channels_map[i] != -1) {
                appendf(args, sizeof(args), "|c%d=c%d", i, ost->audio_channels_map[i]);
            }
        }
        ff::av_log(nullptr, AV_LOG_INFO, "-map_channel is forwarded to lavfi similarly to -af pan=%s.\n", args);
        std::snprintf(name, sizeof(name), "pan for output stream %d:%d", ost->file_index, ost->index);
        if ((ret = insertFilter(fg->graph, "pan", name, args, &last, &pad)) < 0) {
            return ret;
        }
    }
    audioFormatConstraints(ost, args, sizeof(args));
    if (args[0] != '\0') {
        std::snprintf(name, sizeof(name), "audio format for output stream %d:%d", ost->file_index, ost->index);
        if ((ret = insertFilter(fg->graph, "aformat", name, args, &last, &pad)) < 0) {
            return ret;
        }
    }
    return endOutputChain(ofilter, last, pad, true);
}

int configureOutputFilter(FilterGraph* fg, OutputFilter* ofilter, AVFilterInOut* out) {
    if (ofilter->ost == nullptr) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Filter %s has an unconnected output\n",
                   ofilter->name != nullptr ? reinterpret_cast<const char*>(ofilter->name) : "");
        return -1;
    }
    switch (ff::avfilter_pad_get_type(out->filter_ctx->output_pads, out->pad_idx)) {
    case AVMEDIA_TYPE_VIDEO: return configureOutputVideoFilter(fg, ofilter, out);
    case AVMEDIA_TYPE_AUDIO: return configureOutputAudioFilter(fg, ofilter, out);
    default: ff::av_log(nullptr, AV_LOG_FATAL, "Only video and audio filters supported currently.\n"); return -1;
    }
}

// Trims an input to its "-ss"/"-t" when the input file asks for an exact start.
int insertInputTrim(InputStream* ist, AVFilterContext** last, int* pad, bool audio) {
    InputFile* f = input_files[ist->file_index];
    const int64_t start = f->start_time == AV_NOPTS_VALUE || !f->accurate_seek ? AV_NOPTS_VALUE : 0;
    char name[255];
    std::snprintf(name, sizeof(name), "trim for input stream %d:%d", ist->file_index, ist->st->index);
    return insertTrim(start, f->recording_time, last, pad, name, audio);
}

// The source's parameters from the decoder, while no frame has set them yet.
void ifilterParametersFromDecoder(InputFilter* ifilter) {
    const AVCodecContext* dec = ifilter->ist->dec_ctx;
    const AVCodecParameters* par = ifilter->ist->st->codecpar;
    if (ifilter->format >= 0) {
        return;
    }
    if (ifilter->type == AVMEDIA_TYPE_AUDIO) {
        ifilter->format = dec != nullptr && dec->sample_fmt != AV_SAMPLE_FMT_NONE ? dec->sample_fmt : par->format;
        ifilter->sample_rate = dec != nullptr && dec->sample_rate > 0 ? dec->sample_rate : par->sample_rate;
        ff::av_channel_layout_uninit(&ifilter->ch_layout);
        ff::av_channel_layout_copy(&ifilter->ch_layout,
                                   dec != nullptr && dec->ch_layout.nb_channels > 0 ? &dec->ch_layout : &par->ch_layout);
    } else {
        ifilter->format = dec != nullptr && dec->pix_fmt != AV_PIX_FMT_NONE ? dec->pix_fmt : par->format;
        ifilter->width = dec != nullptr && dec->width > 0 ? dec->width : par->width;
        ifilter->height = dec != nullptr && dec->height > 0 ? dec->height : par->height;
        ifilter->sample_aspect_ratio = dec != nullptr ? dec->sample_aspect_ratio : par->sample_aspect_ratio;
    }
}

int configureInputVideoFilter(FilterGraph* fg, InputFilter* ifilter, AVFilterInOut* in) {
    InputStream* ist = ifilter->ist;
    InputFile* f = input_files[ist->file_index];
    char name[255];
    char args[512];

    const AVRational tb = ist->framerate.num != 0 ? av_inv_q(ist->framerate) : ist->st->time_base;
    AVRational fr = ist->framerate;
    if (fr.num == 0) {
        fr = ff::av_guess_frame_rate(f->ctx, ist->st, nullptr);
    }
    if (ist->st->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) {
        const int ret = sub2video_prepare(ist, ifilter);
        if (ret < 0) {
            return ret;
        }
    }
    AVRational sar = ifilter->sample_aspect_ratio;
    if (sar.den == 0) {
        sar = AVRational{0, 1};
    }
    if (ifilter->format < 0 || ifilter->width <= 0 || ifilter->height <= 0) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Cannot determine format of input stream %d:%d after EOF\n",
                   ist->file_index, ist->st->index);
        return AVERROR_INVALIDDATA;
    }
    std::snprintf(args, sizeof(args), "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                  ifilter->width, ifilter->height, ifilter->format, tb.num, tb.den, sar.num, sar.den);
    if (fr.num != 0 && fr.den != 0) {
        appendf(args, sizeof(args), ":frame_rate=%d/%d", fr.num, fr.den);
    }
    std::snprintf(name, sizeof(name), "graph %d input from stream %d:%d", fg->index, ist->file_index, ist->st->index);
    int ret = ff::avfilter_graph_create_filter(&ifilter->filter, ff::avfilter_get_by_name("buffer"), name, args,
                                               nullptr, fg->graph);
    if (ret < 0) {
        return ret;
    }
    AVFilterContext* last = ifilter->filter;
    int pad = 0;
    if (ist->framerate.num != 0) {
        std::snprintf(name, sizeof(name), "force CFR for input from stream %d:%d", ist->file_index, ist->st->index);
        if ((ret = insertFilter(fg->graph, "setpts", name, "N", &last, &pad)) < 0) {
            return ret;
        }
    }
    if (do_deinterlace) {
        std::snprintf(name, sizeof(name), "deinterlace input from stream %d:%d", ist->file_index, ist->st->index);
        if ((ret = insertFilter(fg->graph, "yadif", name, "", &last, &pad)) < 0) {
            return ret;
        }
    }
    if ((ret = insertInputTrim(ist, &last, &pad, false)) < 0) {
        return ret;
    }
    return ff::avfilter_link(last, pad, in->filter_ctx, in->pad_idx);
}

int configureInputAudioFilter(FilterGraph* fg, InputFilter* ifilter, AVFilterInOut* in) {
    InputStream* ist = ifilter->ist;
    char name[255];
    char args[512];

    // A count without an order is given a standard layout when the stream allows it.
    AVChannelLayout layout = {};
    ff::av_channel_layout_copy(&layout, &ifilter->ch_layout);
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC && layout.nb_channels > 0 &&
        layout.nb_channels <= ist->guess_layout_max) {
        ff::av_channel_layout_uninit(&layout);
        ff::av_channel_layout_default(&layout, ifilter->ch_layout.nb_channels);
        char text[128] = "";
        ff::av_channel_layout_describe(&layout, text, sizeof(text));
        ff::av_log(nullptr, AV_LOG_WARNING, "Guessed Channel Layout for Input Stream #%d.%d : %s\n", ist->file_index,
                   ist->st->index, text);
    }
    audio_source_args(args, sizeof(args), ifilter->sample_rate, ifilter->format, &layout);
    ff::av_channel_layout_uninit(&layout);
    std::snprintf(name, sizeof(name), "graph %d input from stream %d:%d", fg->index, ist->file_index, ist->st->index);
    int ret = ff::avfilter_graph_create_filter(&ifilter->filter, ff::avfilter_get_by_name("abuffer"), name, args,
                                               nullptr, fg->graph);
    if (ret < 0) {
        return ret;
    }
    AVFilterContext* last = ifilter->filter;
    int pad = 0;
    if (audio_sync_method > 0) {
        // The float threshold never equals the double 0.1, so the minimum is always given.
        std::snprintf(args, sizeof(args), "async=%d", audio_sync_method);
        appendf(args, sizeof(args), ":min_hard_comp=%f", static_cast<double>(audio_drift_threshold));
        if (!fg->reconfiguration) {
            appendf(args, sizeof(args), ":first_pts=0");
        }
        ff::av_log(nullptr, AV_LOG_INFO, "-async is forwarded to lavfi similarly to -af aresample=%s.\n", args);
        std::snprintf(name, sizeof(name), "graph %d aresample for input stream %d:%d", fg->index, ist->file_index,
                      ist->st->index);
        if ((ret = insertFilter(fg->graph, "aresample", name, args, &last, &pad)) < 0) {
            return ret;
        }
    }
    if (audio_volume != 256) {
        ff::av_log(nullptr, AV_LOG_WARNING, "-vol has been deprecated. Use the volume audio filter instead.\n");
        std::snprintf(args, sizeof(args), "%f", audio_volume / 256.0);
        ff::av_log(nullptr, AV_LOG_INFO, "-vol is forwarded to lavfi similarly to -af volume=%s.\n", args);
        std::snprintf(name, sizeof(name), "graph %d volume for input stream %d:%d", fg->index, ist->file_index,
                      ist->st->index);
        if ((ret = insertFilter(fg->graph, "volume", name, args, &last, &pad)) < 0) {
            return ret;
        }
    }
    if ((ret = insertInputTrim(ist, &last, &pad, true)) < 0) {
        return ret;
    }
    return ff::avfilter_link(last, pad, in->filter_ctx, in->pad_idx);
}

int configureInputFilter(FilterGraph* fg, InputFilter* ifilter, AVFilterInOut* in) {
    if (ifilter->ist->dec == nullptr) {
        ff::av_log(nullptr, AV_LOG_ERROR, "No decoder for stream #%d:%d, filtering impossible\n",
                   ifilter->ist->file_index, ifilter->ist->st->index);
        return AVERROR_DECODER_NOT_FOUND;
    }
    ifilterParametersFromDecoder(ifilter);
    switch (ff::avfilter_pad_get_type(in->filter_ctx->input_pads, in->pad_idx)) {
    case AVMEDIA_TYPE_VIDEO: return configureInputVideoFilter(fg, ifilter, in);
    case AVMEDIA_TYPE_AUDIO: return configureInputAudioFilter(fg, ifilter, in);
    default: ff::av_log(nullptr, AV_LOG_FATAL, "Only video and audio filters supported currently.\n"); return -1;
    }
}

// Binds a complex graph's input pad to the input stream its label names, or to the
// first unused stream of the pad's kind.
int initInputFilter(FilterGraph* fg, AVFilterInOut* in) {
    const enum AVMediaType type = ff::avfilter_pad_get_type(in->filter_ctx->input_pads, in->pad_idx);
    if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Only video and audio filters supported currently.\n");
        return -1;
    }
    InputStream* ist = nullptr;
    if (in->name != nullptr) {
        char* p = nullptr;
        const long fileIndex = std::strtol(in->name, &p, 0);
        if (fileIndex < 0 || fileIndex >= nb_input_files) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid file index %ld in filtergraph description %s.\n", fileIndex,
                       fg->graph_desc);
            return -1;
        }
        AVFormatContext* s = input_files[fileIndex]->ctx;
        for (unsigned i = 0; i < s->nb_streams; ++i) {
            const enum AVMediaType streamType = s->streams[i]->codecpar->codec_type;
            // a subtitle stream may feed a picture input (drawn on a canvas)
            if (streamType != type && !(streamType == AVMEDIA_TYPE_SUBTITLE && type == AVMEDIA_TYPE_VIDEO)) {
                continue;
            }
            if (check_stream_specifier(s, s->streams[i], *p == ':' ? p + 1 : p) == 1) {
                ist = input_streams[input_files[fileIndex]->ist_index + static_cast<int>(i)];
                break;
            }
        }
        if (ist == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Stream specifier '%s' in filtergraph description %s matches no streams.\n",
                       p, fg->graph_desc);
            return -1;
        }
    } else {
        for (int i = 0; i < nb_input_streams; ++i) {
            InputStream* candidate = input_streams[i];
            if (candidate->user_set_discard == AVDISCARD_ALL) {
                continue;
            }
            if (candidate->st->codecpar->codec_type == type && candidate->discard) {
                ist = candidate;
                break;
            }
        }
        if (ist == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Cannot find a matching stream for unlabeled input pad %d on filter %s\n",
                       in->pad_idx, in->filter_ctx->name);
            return -1;
        }
    }
    ist->discard = 0;
    ist->decoding_needed |= DECODING_FOR_FILTER;
    ist->st->discard = AVDISCARD_NONE;
    InputFilter* ifilter = newInputFilter(fg, ist, type);
    if (ifilter == nullptr) {
        return AVERROR(ENOMEM);
    }
    ifilter->name = reinterpret_cast<uint8_t*>(describeFilterLink(fg, in, true));
    return 0;
}

bool sameFrameParameters(const InputFilter* ifilter, const AVFrame* frame) {
    if (ifilter->format != frame->format) {
        return false;
    }
    if (ifilter->type == AVMEDIA_TYPE_AUDIO) {
        return ifilter->sample_rate == frame->sample_rate &&
               ff::av_channel_layout_compare(&ifilter->ch_layout, &frame->ch_layout) == 0;
    }
    return ifilter->width == frame->width && ifilter->height == frame->height;
}

void ifilterParametersFromFrame(InputFilter* ifilter, const AVFrame* frame) {
    ifilter->format = frame->format;
    ifilter->width = frame->width;
    ifilter->height = frame->height;
    ifilter->sample_aspect_ratio = frame->sample_aspect_ratio;
    ifilter->sample_rate = frame->sample_rate;
    ff::av_channel_layout_uninit(&ifilter->ch_layout);
    ff::av_channel_layout_copy(&ifilter->ch_layout, &frame->ch_layout);
}

} // namespace

void audio_source_args(char* buf, size_t size, int sampleRate, int format, const AVChannelLayout* layout) {
    std::snprintf(buf, size, "time_base=%d/%d:sample_rate=%d:sample_fmt=%s", 1, sampleRate, sampleRate,
                  ff::av_get_sample_fmt_name(static_cast<AVSampleFormat>(format)));
    char name[128];
    if (layout->order != AV_CHANNEL_ORDER_UNSPEC && ff::av_channel_layout_describe(layout, name, sizeof(name)) >= 0) {
        appendf(buf, size, ":channel_layout=%s", name);
    } else {
        appendf(buf, size, ":channels=%d", layout->nb_channels);
    }
}

int filtergraph_is_simple(FilterGraph* fg) {
    return fg->graph_desc == nullptr ? 1 : 0;
}

int ist_in_filtergraph(FilterGraph* fg, InputStream* ist) {
    for (int i = 0; i < fg->nb_inputs; ++i) {
        if (fg->inputs[i]->ist == ist) {
            return 1;
        }
    }
    return 0;
}

int init_simple_filtergraph(InputStream* ist, OutputStream* ost) {
    const enum AVMediaType type = ist->st->codecpar->codec_type;
    if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Only video and audio filters supported currently.\n");
        return -1;
    }
    FilterGraph* fg = newFilterGraph();
    if (fg == nullptr) {
        return AVERROR(ENOMEM);
    }
    OutputFilter* ofilter = newOutputFilter(fg);
    if (ofilter == nullptr) {
        return AVERROR(ENOMEM);
    }
    ofilter->ost = ost;
    ofilter->type = ost->st->codecpar->codec_type;
    ost->filter = ofilter;
    if (newInputFilter(fg, ist, type) == nullptr) {
        return AVERROR(ENOMEM);
    }
    return 0;
}

int init_complex_filtergraph(FilterGraph* fg) {
    // The description is parsed once into a scratch graph to learn its pads; the real
    // graph is built when the transcode starts.
    AVFilterGraph* graph = ff::avfilter_graph_alloc();
    if (graph == nullptr) {
        return AVERROR(ENOMEM);
    }
    graph->nb_threads = 1;
    AVFilterInOut* inputs = nullptr;
    AVFilterInOut* outputs = nullptr;
    int ret = ff::avfilter_graph_parse2(graph, fg->graph_desc, &inputs, &outputs);
    if (ret < 0) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Error initializing complex filters.\n");
        ff::avfilter_graph_free(&graph);
        return ret;
    }
    for (AVFilterInOut* cur = inputs; cur != nullptr && ret >= 0; cur = cur->next) {
        ret = initInputFilter(fg, cur);
    }
    while (ret >= 0 && outputs != nullptr) {
        AVFilterInOut* cur = outputs;
        outputs = cur->next;
        cur->next = nullptr;
        OutputFilter* ofilter = newOutputFilter(fg);
        if (ofilter == nullptr) {
            ff::avfilter_inout_free(&cur);
            ret = AVERROR(ENOMEM);
            break;
        }
        ofilter->type = ff::avfilter_pad_get_type(cur->filter_ctx->output_pads, cur->pad_idx);
        ofilter->name = reinterpret_cast<uint8_t*>(describeFilterLink(fg, cur, false));
        // Only the label and kind are read once the scratch graph is gone.
        ofilter->out_tmp = cur;
    }
    ff::avfilter_inout_free(&inputs);
    ff::avfilter_inout_free(&outputs);
    for (int i = 0; i < fg->nb_outputs; ++i) {
        if (fg->outputs[i]->out_tmp != nullptr) {
            fg->outputs[i]->out_tmp->filter_ctx = nullptr;
        }
    }
    ff::avfilter_graph_free(&graph);
    return ret;
}

int configure_filtergraph(FilterGraph* fg) {
    const bool simple = filtergraph_is_simple(fg) != 0;
    const char* desc = simple ? fg->outputs[0]->ost->avfilter : fg->graph_desc;

    ff::avfilter_graph_free(&fg->graph);
    fg->graph = ff::avfilter_graph_alloc();
    if (fg->graph == nullptr) {
        return AVERROR(ENOMEM);
    }
    if (simple) {
        OutputStream* ost = fg->outputs[0]->ost;
        char args[512];
        joinDictionary(ost->sws_dict, args, sizeof(args));
        if (args[0] != '\0') {
            fg->graph->scale_sws_opts = ff::av_strdup(args);
        }
        joinDictionary(ost->swr_opts, args, sizeof(args));
        if (args[0] != '\0') {
            ff::av_opt_set(fg->graph, "aresample_swr_opts", args, 0);
        }
    }

    AVFilterInOut* inputs = nullptr;
    AVFilterInOut* outputs = nullptr;
    int ret = ff::avfilter_graph_parse2(fg->graph, desc != nullptr ? desc : "anull", &inputs, &outputs);
    if (ret < 0) {
        goto fail;
    }
    if (simple && (inputs == nullptr || inputs->next != nullptr || outputs == nullptr || outputs->next != nullptr)) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Simple filtergraph '%s' does not have exactly one input and output.\n",
                   desc);
        ret = AVERROR(EINVAL);
        goto fail;
    }
    {
        int i = 0;
        for (AVFilterInOut* cur = inputs; cur != nullptr; cur = cur->next, ++i) {
            if (i >= fg->nb_inputs) {
                ret = AVERROR(EINVAL);
                goto fail;
            }
            if ((ret = configureInputFilter(fg, fg->inputs[i], cur)) < 0) {
                goto fail;
            }
        }
        i = 0;
        for (AVFilterInOut* cur = outputs; cur != nullptr; cur = cur->next, ++i) {
            if (i >= fg->nb_outputs) {
                ret = AVERROR(EINVAL);
                goto fail;
            }
            if ((ret = configureOutputFilter(fg, fg->outputs[i], cur)) < 0) {
                goto fail;
            }
        }
    }
    ff::avfilter_inout_free(&inputs);
    ff::avfilter_inout_free(&outputs);
    if ((ret = ff::avfilter_graph_config(fg->graph, nullptr)) < 0) {
        goto fail;
    }
    // What the sinks settled on is what the encoders will be opened with.
    for (int i = 0; i < fg->nb_outputs; ++i) {
        OutputFilter* ofilter = fg->outputs[i];
        AVFilterContext* sink = ofilter->filter;
        ofilter->format = ff::av_buffersink_get_format(sink);
        ofilter->width = ff::av_buffersink_get_w(sink);
        ofilter->height = ff::av_buffersink_get_h(sink);
        ofilter->sample_rate = ff::av_buffersink_get_sample_rate(sink);
        ff::av_channel_layout_uninit(&ofilter->ch_layout);
        ff::av_buffersink_get_ch_layout(sink, &ofilter->ch_layout);
        // A graph rebuilt in mid-file (the source changed its rate or layout) must
        // again cut frames to the size the open encoder takes.
        const OutputStream* ost = ofilter->ost;
        if (ost != nullptr && ost->enc != nullptr && ost->enc_ctx != nullptr && ost->enc->type == AVMEDIA_TYPE_AUDIO &&
            ost->enc_ctx->frame_size > 0 && !(ost->enc->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) {
            ff::av_buffersink_set_frame_size(sink, static_cast<unsigned>(ost->enc_ctx->frame_size));
        }
    }
    fg->reconfiguration = 1;
    return 0;

fail:
    ff::avfilter_inout_free(&inputs);
    ff::avfilter_inout_free(&outputs);
    ff::avfilter_graph_free(&fg->graph);
    for (int i = 0; i < fg->nb_inputs; ++i) {
        fg->inputs[i]->filter = nullptr;
    }
    for (int i = 0; i < fg->nb_outputs; ++i) {
        fg->outputs[i]->filter = nullptr;
    }
    return ret;
}

int ifilter_send_frame(InputFilter* ifilter, AVFrame* frame) {
    FilterGraph* fg = ifilter->graph;
    InputStream* ist = ifilter->ist;
    bool needReinit = !sameFrameParameters(ifilter, frame);
    if (fg->graph != nullptr && !ist->reinit_filters) {
        needReinit = false;
    }
    if (needReinit || fg->graph == nullptr) {
        if (needReinit) {
            ifilterParametersFromFrame(ifilter, frame);
        }
        if (fg->graph != nullptr) {
            // What the old graph still holds goes out before it is rebuilt.
            const int ret = reap_filters(1);
            if (ret < 0 && ret != AVERROR_EOF) {
                ff::av_log(nullptr, AV_LOG_ERROR, "Error while filtering: %s\n", errorText(ret));
                return ret;
            }
        }
        const int ret = configure_filtergraph(fg);
        if (ret < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error reinitializing filters!\n");
            return -1;
        }
    }
    const int ret = ff::av_buffersrc_add_frame_flags(ifilter->filter, frame, AV_BUFFERSRC_FLAG_PUSH);
    if (ret < 0) {
        if (ret != AVERROR_EOF) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Failed to inject frame into filter network: %s\n", errorText(ret));
        }
        return ret == AVERROR_EOF ? ret : -1;
    }
    return 0;
}

int ifilter_send_eof(InputFilter* ifilter, int64_t pts) {
    ifilter->eof = 1;
    if (ifilter->filter == nullptr) {
        return 0;
    }
    const AVRational tb = ifilter->filter->outputs[0]->time_base;
    const int64_t at = pts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : ff::av_rescale_q(pts, TIME_BASE_Q, tb);
    const int ret = ff::av_buffersrc_close(ifilter->filter, at, AV_BUFFERSRC_FLAG_PUSH);
    return ret == AVERROR_EOF ? 0 : ret;
}

} // namespace s::fftools
