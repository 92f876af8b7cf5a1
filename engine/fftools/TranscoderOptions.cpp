#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cstdlib>
#include <initializer_list>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/FileOpeners.h"

namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

// ---- handlers of the option table ----

int opt_audio_codec(void* optctx, const char*, const char* arg) {
    return parse_option(optctx, "codec:a", arg, transcoder_options);
}

int opt_video_codec(void* optctx, const char*, const char* arg) {
    return parse_option(optctx, "codec:v", arg, transcoder_options);
}

int opt_subtitle_codec(void* optctx, const char*, const char* arg) {
    return parse_option(optctx, "codec:s", arg, transcoder_options);
}

int opt_data_codec(void* optctx, const char*, const char* arg) {
    return parse_option(optctx, "codec:d", arg, transcoder_options);
}

// The input stream a map names must not be one the input's options discarded.
bool discardedStream(int file, int stream) {
    return input_streams[input_files[file]->ist_index + stream]->user_set_discard == AVDISCARD_ALL;
}

// "[-]file[:specifier][,syncfile[:specifier]]" or "[label]" of a complex graph's output.
int opt_map(void* optctx, const char*, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    const bool negative = *arg == '-';
    if (negative) {
        ++arg;
    }
    char* map = ff::av_strdup(arg);
    if (map == nullptr) {
        return AVERROR(ENOMEM);
    }
    int ret = 0;
    int syncFile = -1;
    int syncStream = 0;
    bool added = false;
    char* sync = std::strchr(map, ',');
    if (sync != nullptr) {
        *sync = '\0';
        syncFile = static_cast<int>(std::strtol(sync + 1, &sync, 0));
        if (syncFile >= nb_input_files || syncFile < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid sync file index: %d.\n", syncFile);
            ff::av_free(map);
            return -1;
        }
        if (*sync != '\0') {
            ++sync;
        }
        int i = 0;
        for (; i < input_files[syncFile]->nb_streams; ++i) {
            if (check_stream_specifier(input_files[syncFile]->ctx, input_files[syncFile]->ctx->streams[i], sync) == 1) {
                syncStream = i;
                break;
            }
        }
        if (i == input_files[syncFile]->nb_streams) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Sync stream specifier in map %s does not match any streams.\n", arg);
            ff::av_free(map);
            return -1;
        }
    }

    if (map[0] == '[') {
        const char* label = map + 1;
        if (!grow_one(o->stream_maps, o->nb_stream_maps)) {
            ff::av_free(map);
            return AVERROR(ENOMEM);
        }
        StreamMap* m = &o->stream_maps[o->nb_stream_maps - 1];
        m->linklabel = ff::av_get_token(&label, "]");
        if (m->linklabel == nullptr) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Invalid output link label: %s.\n", map);
            ff::av_free(map);
            return -1;
        }
        added = true;
    } else {
        char* specifier = nullptr;
        const int file = static_cast<int>(std::strtol(map, &specifier, 0));
        if (file >= nb_input_files || file < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Invalid input file index: %d.\n", file);
            ff::av_free(map);
            return -1;
        }
        if (*specifier == ':') {
            ++specifier;
        }
        AVFormatContext* ic = input_files[file]->ctx;
        if (negative) {
            // takes earlier maps of this output back
            for (int i = 0; i < o->nb_stream_maps; ++i) {
                StreamMap* m = &o->stream_maps[i];
                if (m->linklabel == nullptr && m->file_index == file && m->stream_index >= 0 &&
                    m->stream_index < input_files[file]->nb_streams &&
                    check_stream_specifier(ic, ic->streams[m->stream_index], specifier) > 0) {
                    m->disabled = 1;
                }
            }
            added = true;
        } else {
            bool disabled = false;
            for (int i = 0; i < input_files[file]->nb_streams && ret == 0; ++i) {
                const int match = check_stream_specifier(ic, ic->streams[i], specifier);
                if (match < 0) {
                    ret = match;
                    break;
                }
                if (match == 0) {
                    continue;
                }
                if (discardedStream(file, i)) {
                    disabled = true;
                    continue;
                }
                if (!grow_one(o->stream_maps, o->nb_stream_maps)) {
                    ret = AVERROR(ENOMEM);
                    break;
                }
                StreamMap* m = &o->stream_maps[o->nb_stream_maps - 1];
                m->file_index = file;
                m->stream_index = i;
                m->sync_file_index = syncFile >= 0 ? syncFile : file;
                m->sync_stream_index = syncFile >= 0 ? syncStream : i;
                added = true;
            }
            if (ret == 0 && !added) {
                ff::av_log(nullptr, AV_LOG_FATAL, disabled ? "Stream map '%s' matches disabled streams.\n"
                                                           : "Stream map '%s' matches no streams.\n",
                           arg);
                ret = -1;
            }
        }
    }
    ff::av_free(map);
    return ret;
}

int opt_attach(void* optctx, const char*, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    if (!grow_one(o->attachments, o->nb_attachments)) {
        return AVERROR(ENOMEM);
    }
    o->attachments[o->nb_attachments - 1] = arg;
    return 0;
}

// "file.stream.channel[:outfile.outstream]", or "-1[:outfile.outstream]" for a muted channel.
int opt_map_channel(void* optctx, const char*, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    if (!grow_one(o->audio_channel_maps, o->nb_audio_channel_maps)) {
        return AVERROR(ENOMEM);
    }
    AudioChannelMap* m = &o->audio_channel_maps[o->nb_audio_channel_maps - 1];
    int n = std::sscanf(arg, "%d:%d.%d", &m->channel_idx, &m->ofile_idx, &m->ostream_idx);
    if ((n == 1 || n == 3) && m->channel_idx == -1) {
        m->file_idx = m->stream_idx = -1;
        if (n == 1) {
            m->ofile_idx = m->ostream_idx = -1;
        }
        return 0;
    }
    n = std::sscanf(arg, "%d.%d.%d:%d.%d", &m->file_idx, &m->stream_idx, &m->channel_idx, &m->ofile_idx,
                    &m->ostream_idx);
    if (n != 3 && n != 5) {
        ff::av_log(nullptr, AV_LOG_FATAL,
                   "Syntax error, mapchan usage: [file.stream.channel|-1][:syncfile:syncstream]\n");
        return -1;
    }
    if (n != 5) {
        m->ofile_idx = m->ostream_idx = -1;
    }
    if (m->file_idx < 0 || m->file_idx >= nb_input_files) {
        ff::av_log(nullptr, AV_LOG_FATAL, "mapchan: invalid input file index: %d\n", m->file_idx);
        return -1;
    }
    if (m->stream_idx < 0 || m->stream_idx >= input_files[m->file_idx]->nb_streams) {
        ff::av_log(nullptr, AV_LOG_FATAL, "mapchan: invalid input file stream index #%d.%d\n", m->file_idx,
                   m->stream_idx);
        return -1;
    }
    const AVStream* st = input_files[m->file_idx]->ctx->streams[m->stream_idx];
    if (st->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) {
        ff::av_log(nullptr, AV_LOG_FATAL, "mapchan: stream #%d.%d is not an audio stream.\n", m->file_idx,
                   m->stream_idx);
        return -1;
    }
    if (m->channel_idx < 0 || m->channel_idx >= st->codecpar->ch_layout.nb_channels) {
        ff::av_log(nullptr, AV_LOG_FATAL, "mapchan: invalid audio channel #%d.%d.%d\n", m->file_idx, m->stream_idx,
                   m->channel_idx);
        return -1;
    }
    return 0;
}

// "-timestamp": the date as the output's creation_time tag.
int opt_recording_timestamp(void* optctx, const char* opt, const char* arg) {
    bool ok = true;
    const int64_t us = parse_time(opt, arg, 0, &ok);
    if (!ok) {
        return AVERROR(EINVAL);
    }
    const time_t seconds = static_cast<time_t>(us / 1000000);
    const std::tm* utc = std::gmtime(&seconds);
    char text[128];
    if (utc == nullptr || std::strftime(text, sizeof text, "creation_time=%Y-%m-%dT%H:%M:%S%z", utc) == 0) {
        return -1;
    }
    const int ret = parse_option(optctx, "metadata", text, transcoder_options);
    ff::av_log(nullptr, AV_LOG_WARNING, "%s is deprecated, set the 'creation_time' metadata tag instead.\n", opt);
    return ret < 0 ? ret : 0;
}

int opt_data_frames(void* optctx, const char*, const char* arg) {
    return parse_option(optctx, "frames:d", arg, transcoder_options);
}

int opt_video_frames(void* optctx, const char*, const char* arg) {
    return parse_option(optctx, "frames:v", arg, transcoder_options);
}

int opt_audio_frames(void* optctx, const char*, const char* arg) {
    return parse_option(optctx, "frames:a", arg, transcoder_options);
}

// "-progress url": key=value progress lines written there.
int opt_progress(void*, const char*, const char* arg) {
    if (std::strcmp(arg, "-") == 0) {
        arg = "pipe:";
    }
    AVIOContext* avio = nullptr;
    const int ret = ff::avio_open2(&avio, arg, AVIO_FLAG_WRITE, nullptr, nullptr);
    if (ret < 0) {
        char text[128];
        ff::av_strerror(ret, text, sizeof text);
        ff::av_log(nullptr, AV_LOG_ERROR, "Failed to open progress URL \"%s\": %s\n", arg, text);
        return ret;
    }
    if (progress_avio != nullptr) {
        ff::avio_closep(&progress_avio);
    }
    progress_avio = avio;
    return 0;
}

// The library options of a preset or target go to the file's own group.
int opt_default_new(OptionsContext* o, const char* opt, const char* arg) {
    AVDictionary* savedCodec = codec_opts;
    AVDictionary* savedFormat = format_opts;
    codec_opts = nullptr;
    format_opts = nullptr;
    const int ret = opt_default(nullptr, opt, arg);
    ff::av_dict_copy(&o->g->codec_opts, codec_opts, 0);
    ff::av_dict_copy(&o->g->format_opts, format_opts, 0);
    ff::av_dict_free(&codec_opts);
    ff::av_dict_free(&format_opts);
    codec_opts = savedCodec;
    format_opts = savedFormat;
    return ret;
}

// "-target [pal-|ntsc-|film-]vcd|svcd|dvd|dv|dv50".
int opt_target(void* optctx, const char*, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    enum { PAL, NTSC, FILM, UNKNOWN } norm = UNKNOWN;
    static const char* const FRAME_RATES[] = {"25", "30000/1001", "24000/1001"};
    if (std::strncmp(arg, "pal-", 4) == 0) {
        norm = PAL;
        arg += 4;
    } else if (std::strncmp(arg, "ntsc-", 5) == 0) {
        norm = NTSC;
        arg += 5;
    } else if (std::strncmp(arg, "film-", 5) == 0) {
        norm = FILM;
        arg += 5;
    } else {
        // the first input video stream's rate decides
        for (int j = 0; j < nb_input_files && norm == UNKNOWN; ++j) {
            for (int i = 0; i < input_files[j]->nb_streams; ++i) {
                const AVStream* st = input_files[j]->ctx->streams[i];
                if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO || st->time_base.num == 0) {
                    continue;
                }
                const int64_t rate = st->time_base.den * 1000LL / st->time_base.num;
                if (rate == 25000) {
                    norm = PAL;
                    break;
                }
                if (rate == 29970 || rate == 23976) {
                    norm = NTSC;
                    break;
                }
            }
        }
        if (norm != UNKNOWN) {
            ff::av_log(nullptr, AV_LOG_INFO, "Assuming %s for target.\n", norm == PAL ? "PAL" : "NTSC");
        }
    }
    if (norm == UNKNOWN) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Could not determine norm (PAL/NTSC/NTSC-Film) for target.\n");
        ff::av_log(nullptr, AV_LOG_FATAL, "Please prefix target with \"pal-\", \"ntsc-\" or \"film-\",\n");
        ff::av_log(nullptr, AV_LOG_FATAL, "or set a framerate with \"-r xxx\".\n");
        return -1;
    }

    struct Setting {
        const char* option;  // a table option, or a library option when `library`
        const char* value;
        bool library;
    };
    const bool pal = norm == PAL;
    int ret = 0;
    auto apply = [&](std::initializer_list<Setting> settings) {
        for (const Setting& s : settings) {
            const int r = s.library ? opt_default(nullptr, s.option, s.value)
                                    : parse_option(o, s.option, s.value, transcoder_options);
            if (r < 0 && ret == 0) {
                ret = r;
            }
        }
    };
    if (std::strcmp(arg, "vcd") == 0) {
        apply({{"codec:v", "mpeg1video", false}, {"codec:a", "mp2", false}, {"f", "vcd", false},
               {"s", pal ? "352x288" : "352x240", false}, {"r", FRAME_RATES[norm], false},
               {"g", pal ? "15" : "18", true}, {"b:v", "1150000", true}, {"maxrate", "1150000", true},
               {"minrate", "1150000", true}, {"bufsize", "327680", true}, {"b:a", "224000", true},
               {"ar", "44100", false}, {"ac", "2", false}, {"packetsize", "2324", true}, {"muxrate", "1411200", true}});
        // the stream's data starts after the first packs (SCR 36000 + 3 * 1200)
        o->mux_preload = (36000 + 3 * 1200) / 90000.0f;
    } else if (std::strcmp(arg, "svcd") == 0) {
        apply({{"codec:v", "mpeg2video", false}, {"codec:a", "mp2", false}, {"f", "svcd", false},
               {"s", pal ? "480x576" : "480x480", false}, {"r", FRAME_RATES[norm], false},
               {"pix_fmt", "yuv420p", false}, {"g", pal ? "15" : "18", true}, {"b:v", "2040000", true},
               {"maxrate", "2516000", true}, {"minrate", "0", true}, {"bufsize", "1835008", true},
               {"scan_offset", "1", true}, {"b:a", "224000", true}, {"ar", "44100", false},
               {"packetsize", "2324", true}});
    } else if (std::strcmp(arg, "dvd") == 0) {
        apply({{"codec:v", "mpeg2video", false}, {"codec:a", "ac3", false}, {"f", "dvd", false},
               {"s", pal ? "720x576" : "720x480", false}, {"r", FRAME_RATES[norm], false},
               {"pix_fmt", "yuv420p", false}, {"g", pal ? "15" : "18", true}, {"b:v", "6000000", true},
               {"maxrate", "9000000", true}, {"minrate", "0", true}, {"bufsize", "1835008", true},
               {"packetsize", "2048", true}, {"muxrate", "10080000", true}, {"b:a", "448000", true},
               {"ar", "48000", false}});
    } else if (std::strncmp(arg, "dv", 2) == 0) {
        apply({{"f", "dv", false}, {"s", pal ? "720x576" : "720x480", false},
               {"pix_fmt", std::strncmp(arg, "dv50", 4) == 0 ? "yuv422p" : pal ? "yuv420p" : "yuv411p", false},
               {"r", FRAME_RATES[norm], false}, {"ar", "48000", false}, {"ac", "2", false}});
    } else {
        ff::av_log(nullptr, AV_LOG_ERROR, "Unknown target: %s\n", arg);
        return AVERROR(EINVAL);
    }
    ff::av_dict_copy(&o->g->codec_opts, codec_opts, AV_DICT_DONT_OVERWRITE);
    ff::av_dict_copy(&o->g->format_opts, format_opts, AV_DICT_DONT_OVERWRITE);
    return ret;
}

int opt_vstats_file(void*, const char*, const char* arg) {
    ff::av_free(vstats_filename);
    vstats_filename = ff::av_strdup(arg);
    return vstats_filename != nullptr ? 0 : AVERROR(ENOMEM);
}

int opt_vstats(void*, const char* opt, const char*) {
    const time_t now = std::time(nullptr);
    const std::tm* today = std::localtime(&now);
    if (today == nullptr) {
        return -1;
    }
    char filename[40];
    std::snprintf(filename, sizeof filename, "vstats_%02d%02d%02d.log", today->tm_hour, today->tm_min, today->tm_sec);
    return opt_vstats_file(nullptr, opt, filename);
}

// "-apre", "-vpre", "-spre" with a preset name (never found here) and "-fpre" with a
// preset file's path: key=value lines, codec keys and library options.
int opt_preset(void* optctx, const char* opt, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    const char kind[2] = {*opt, '\0'};
    const SpecifierOpt* codec = match_per_type(o->codec_names, o->nb_codec_names, kind);
    char filename[1000];
    FILE* f = get_preset_file(filename, sizeof filename, arg, *opt == 'f',
                              codec != nullptr ? reinterpret_cast<const char*>(codec->u.str) : nullptr);
    if (f == nullptr) {
        if (std::strncmp(arg, "libx264-lossless", std::strlen("libx264-lossless")) == 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Please use -preset <speed> -qp 0\n");
        } else {
            ff::av_log(nullptr, AV_LOG_FATAL, "File for preset '%s' not found\n", arg);
        }
        return -1;
    }
    int ret = 0;
    char line[1000];
    while (ret == 0 && std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strcspn(line, "#\n\r") == 0) {
            continue;
        }
        char pair[1000];
        std::memcpy(pair, line, sizeof pair);
        char* equals = std::strchr(pair, '=');
        char* end = equals != nullptr ? equals + 1 + std::strcspn(equals + 1, "\r\n") : nullptr;
        if (equals == nullptr || equals == pair || end == equals + 1) {
            ff::av_log(nullptr, AV_LOG_FATAL, "%s: Invalid syntax: '%s'\n", filename, line);
            ret = -1;
            break;
        }
        *equals = '\0';
        *end = '\0';
        const char* key = pair;
        const char* value = equals + 1;
        ff::av_log(nullptr, AV_LOG_DEBUG, "ffpreset[%s]: set '%s' = '%s'\n", filename, key, value);
        if (std::strcmp(key, "acodec") == 0) {
            ret = opt_audio_codec(o, key, value);
        } else if (std::strcmp(key, "vcodec") == 0) {
            ret = opt_video_codec(o, key, value);
        } else if (std::strcmp(key, "scodec") == 0) {
            ret = opt_subtitle_codec(o, key, value);
        } else if (std::strcmp(key, "dcodec") == 0) {
            ret = opt_data_codec(o, key, value);
        } else if (opt_default_new(o, key, value) < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "%s: Invalid option or argument: '%s', parsed as '%s' = '%s'\n",
                       filename, line, key, value);
            ret = -1;
        }
        ret = ret < 0 ? ret : 0;
    }
    std::fclose(f);
    return ret;
}

// "-vtag x" is "-tag:v x", "-absf x" is "-bsf:a x" and so on.
int opt_old2new(void* optctx, const char* opt, const char* arg) {
    char* name = ff::av_asprintf("%s:%c", opt + 1, *opt);
    if (name == nullptr) {
        return AVERROR(ENOMEM);
    }
    const int ret = parse_option(optctx, name, arg, transcoder_options);
    ff::av_free(name);
    return ret < 0 ? ret : 0;
}

int opt_bitrate(void* optctx, const char* opt, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    if (std::strcmp(opt, "b") == 0) {
        ff::av_log(nullptr, AV_LOG_WARNING, "Please use -b:a or -b:v, -b is ambiguous\n");
        opt = "b:v";
    }
    return ff::av_dict_set(&o->g->codec_opts, opt, arg, 0);
}

int opt_qscale(void* optctx, const char* opt, const char* arg) {
    if (std::strcmp(opt, "qscale") == 0) {
        ff::av_log(nullptr, AV_LOG_WARNING, "Please use -q:a or -q:v, -qscale is ambiguous\n");
        const int ret = parse_option(optctx, "q:v", arg, transcoder_options);
        return ret < 0 ? ret : 0;
    }
    char* name = ff::av_asprintf("q%s", opt + 6);
    if (name == nullptr) {
        return AVERROR(ENOMEM);
    }
    const int ret = parse_option(optctx, name, arg, transcoder_options);
    ff::av_free(name);
    return ret < 0 ? ret : 0;
}

int opt_profile(void* optctx, const char* opt, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    if (std::strcmp(opt, "profile") == 0) {
        ff::av_log(nullptr, AV_LOG_WARNING, "Please use -profile:a or -profile:v, -profile is ambiguous\n");
        opt = "profile:v";
    }
    return ff::av_dict_set(&o->g->codec_opts, opt, arg, 0);
}

int opt_video_filters(void* optctx, const char*, const char* arg) {
    const int ret = parse_option(optctx, "filter:v", arg, transcoder_options);
    return ret < 0 ? ret : 0;
}

int opt_audio_filters(void* optctx, const char*, const char* arg) {
    const int ret = parse_option(optctx, "filter:a", arg, transcoder_options);
    return ret < 0 ? ret : 0;
}

int opt_vsync(void*, const char*, const char* arg) {
    if (ff::av_strcasecmp(arg, "cfr") == 0) {
        video_sync_method = VSYNC_CFR;
    } else if (ff::av_strcasecmp(arg, "vfr") == 0) {
        video_sync_method = VSYNC_VFR;
    } else if (ff::av_strcasecmp(arg, "passthrough") == 0) {
        video_sync_method = VSYNC_PASSTHROUGH;
    } else if (ff::av_strcasecmp(arg, "drop") == 0) {
        video_sync_method = VSYNC_DROP;
    } else {
        bool ok = true;
        video_sync_method = static_cast<int>(parse_number("vsync", arg, OPT_INT, VSYNC_AUTO, VSYNC_VFR, &ok));
        if (!ok) {
            return AVERROR(EINVAL);
        }
    }
    return 0;
}

int opt_timecode(void* optctx, const char*, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    char* tag = ff::av_asprintf("timecode=%s", arg);
    if (tag == nullptr) {
        return AVERROR(ENOMEM);
    }
    int ret = parse_option(o, "metadata:g", tag, transcoder_options);
    if (ret >= 0) {
        ret = ff::av_dict_set(&o->g->codec_opts, "gop_timecode", arg, 0);
    }
    ff::av_free(tag);
    return ret;
}

int opt_audio_qscale(void* optctx, const char*, const char* arg) {
    const int ret = parse_option(optctx, "q:a", arg, transcoder_options);
    return ret < 0 ? ret : 0;
}

// "-channel_layout[:specifier] name": the layout, and the channel count it implies.
int opt_channel_layout(void* optctx, const char* opt, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    AVChannelLayout layout = {};
    if (ff::av_channel_layout_from_string(&layout, arg) < 0) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Unknown channel layout: %s\n", arg);
        return AVERROR(EINVAL);
    }
    const int channels = layout.nb_channels;
    ff::av_channel_layout_uninit(&layout);
    const char* specifier = std::strchr(opt, ':');
    char* specCopy = ff::av_strdup(specifier != nullptr ? specifier + 1 : "");
    char* value = ff::av_strdup(arg);
    if (specCopy == nullptr || value == nullptr || !grow_one(o->channel_layouts, o->nb_channel_layouts)) {
        ff::av_free(specCopy);
        ff::av_free(value);
        return AVERROR(ENOMEM);
    }
    o->channel_layouts[o->nb_channel_layouts - 1].specifier = specCopy;
    o->channel_layouts[o->nb_channel_layouts - 1].u.str = reinterpret_cast<uint8_t*>(value);
    char count[16];
    std::snprintf(count, sizeof count, "%d", channels);
    char* ac = ff::av_asprintf("ac%s", specifier != nullptr ? specifier : "");
    if (ac == nullptr) {
        return AVERROR(ENOMEM);
    }
    const int ret = parse_option(o, ac, count, transcoder_options);
    ff::av_free(ac);
    return ret < 0 ? ret : 0;
}

int opt_filter_complex(void*, const char*, const char* arg) {
    FilterGraph* fg = append_new(filtergraphs, nb_filtergraphs);
    if (fg == nullptr) {
        return AVERROR(ENOMEM);
    }
    fg->index = nb_filtergraphs - 1;
    fg->graph_desc = ff::av_strdup(arg);
    return fg->graph_desc != nullptr ? 0 : AVERROR(ENOMEM);
}

int opt_sameq(void*, const char* opt, const char*) {
    ff::av_log(nullptr, AV_LOG_ERROR,
               "Option '%s' was removed. If you are looking for an option to preserve the quality (which is not what "
               "-%s was for), use -qscale 0 or an equivalent quality factor option.\n",
               opt, opt);
    return AVERROR(EINVAL);
}

// The grab options of old: now the capture device's own options.
int opt_video_channel(void*, const char*, const char* arg) {
    ff::av_log(nullptr, AV_LOG_WARNING, "This option is deprecated, use -channel.\n");
    return opt_default(nullptr, "channel", arg);
}

int opt_video_standard(void*, const char*, const char* arg) {
    ff::av_log(nullptr, AV_LOG_WARNING, "This option is deprecated, use -standard.\n");
    return opt_default(nullptr, "standard", arg);
}

// "output-stream-index:value".
int opt_streamid(void* optctx, const char* opt, const char* arg) {
    OptionsContext* o = static_cast<OptionsContext*>(optctx);
    char index[16];
    std::snprintf(index, sizeof index, "%s", arg);
    char* value = std::strchr(index, ':');
    if (value == nullptr) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Invalid value '%s' for option '%s', required syntax is 'index:value'\n",
                   arg, opt);
        return -1;
    }
    *value++ = '\0';
    bool ok = true;
    const int idx = static_cast<int>(parse_number(opt, index, OPT_INT, 0, MAX_STREAMS - 1, &ok));
    const int id = static_cast<int>(parse_number(opt, value, OPT_INT, 0, INT_MAX, &ok));
    if (!ok) {
        return AVERROR(EINVAL);
    }
    void* grown = grow_array(o->streamid_map, sizeof(int), &o->nb_streamid_map, idx + 1);
    if (grown == nullptr) {
        return AVERROR(ENOMEM);
    }
    o->streamid_map = static_cast<int*>(grown);
    o->streamid_map[idx] = id;
    return 0;
}

#define OFFSET(x) offsetof(OptionsContext, x)
#define GLOBAL(p) {p, nullptr, 0}
#define HANDLER(f) {nullptr, f, 0}
#define FIELD(x) {nullptr, nullptr, OFFSET(x)}

} // namespace

// FFmpeg's option table with its names, flags and texts, plus "bitexact" and
// "max_muxing_queue_size", which the program's own command lines carry.
const OptionDef transcoder_options[] = {
    {"f", HAS_ARG | OPT_STRING | OPT_OFFSET | OPT_INPUT | OPT_OUTPUT, FIELD(format), "force format", "fmt"},
    {"y", OPT_BOOL, GLOBAL(&file_overwrite), "overwrite output files", nullptr},
    {"n", OPT_BOOL, GLOBAL(&no_file_overwrite), "do not overwrite output files", nullptr},
    {"c", HAS_ARG | OPT_STRING | OPT_SPEC | OPT_INPUT | OPT_OUTPUT, FIELD(codec_names), "codec name", "codec"},
    {"codec", HAS_ARG | OPT_STRING | OPT_SPEC | OPT_INPUT | OPT_OUTPUT, FIELD(codec_names), "codec name", "codec"},
    {"pre", HAS_ARG | OPT_STRING | OPT_SPEC | OPT_OUTPUT, FIELD(presets), "preset name", "preset"},
    {"map", HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_map), "set input stream mapping",
     "[-]input_file_id[:stream_specifier][,sync_file_id[:stream_specifier]]"},
    {"map_channel", HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_map_channel),
     "map an audio channel from one stream to another", "file.stream.channel[:syncfile.syncstream]"},
    {"map_metadata", HAS_ARG | OPT_STRING | OPT_SPEC | OPT_OUTPUT, FIELD(metadata_map),
     "set metadata information of outfile from infile", "outfile[,metadata]:infile[,metadata]"},
    {"map_chapters", HAS_ARG | OPT_INT | OPT_EXPERT | OPT_OFFSET | OPT_OUTPUT, FIELD(chapters_input_file),
     "set chapters mapping", "input_file_index"},
    {"t", HAS_ARG | OPT_TIME | OPT_OFFSET | OPT_INPUT | OPT_OUTPUT, FIELD(recording_time),
     "record or transcode \"duration\" seconds of audio/video", "duration"},
    {"to", HAS_ARG | OPT_TIME | OPT_OFFSET | OPT_OUTPUT, FIELD(stop_time), "record or transcode stop time",
     "time_stop"},
    {"fs", HAS_ARG | OPT_INT64 | OPT_OFFSET | OPT_OUTPUT, FIELD(limit_filesize), "set the limit file size in bytes",
     "limit_size"},
    {"ss", HAS_ARG | OPT_TIME | OPT_OFFSET | OPT_INPUT | OPT_OUTPUT, FIELD(start_time), "set the start time offset",
     "time_off"},
    {"itsoffset", HAS_ARG | OPT_TIME | OPT_OFFSET | OPT_EXPERT | OPT_INPUT, FIELD(input_ts_offset),
     "set the input ts offset", "time_off"},
    {"itsscale", HAS_ARG | OPT_DOUBLE | OPT_SPEC | OPT_EXPERT | OPT_INPUT, FIELD(ts_scale), "set the input ts scale",
     "scale"},
    {"timestamp", HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_recording_timestamp),
     "set the recording timestamp ('now' to set the current time)", "time"},
    {"metadata", HAS_ARG | OPT_STRING | OPT_SPEC | OPT_OUTPUT, FIELD(metadata), "add metadata", "string=string"},
    {"dframes", HAS_ARG | OPT_PERFILE | OPT_EXPERT | OPT_OUTPUT, HANDLER(opt_data_frames),
     "set the number of data frames to record", "number"},
    {"benchmark", OPT_BOOL | OPT_EXPERT, GLOBAL(&do_benchmark), "add timings for benchmarking", nullptr},
    {"benchmark_all", OPT_BOOL | OPT_EXPERT, GLOBAL(&do_benchmark_all), "add timings for each task", nullptr},
    {"progress", HAS_ARG | OPT_EXPERT, HANDLER(opt_progress), "write program-readable progress information", "url"},
    {"stdin", OPT_BOOL | OPT_EXPERT, GLOBAL(&stdin_interaction), "enable or disable interaction on standard input",
     nullptr},
    {"dump", OPT_BOOL | OPT_EXPERT, GLOBAL(&do_pkt_dump), "dump each input packet", nullptr},
    {"hex", OPT_BOOL | OPT_EXPERT, GLOBAL(&do_hex_dump), "when dumping packets, also dump the payload", nullptr},
    {"re", OPT_BOOL | OPT_EXPERT | OPT_OFFSET | OPT_INPUT, FIELD(rate_emu), "read input at native frame rate", ""},
    {"target", HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_target),
     "specify target file type (\"vcd\", \"svcd\", \"dvd\", \"dv\", \"dv50\", \"pal-vcd\", \"ntsc-svcd\", ...)",
     "type"},
    {"vsync", HAS_ARG | OPT_EXPERT, HANDLER(opt_vsync), "video sync method", ""},
    {"async", HAS_ARG | OPT_INT | OPT_EXPERT, GLOBAL(&audio_sync_method), "audio sync method", ""},
    {"adrift_threshold", HAS_ARG | OPT_FLOAT | OPT_EXPERT, GLOBAL(&audio_drift_threshold), "audio drift threshold",
     "threshold"},
    {"copyts", OPT_BOOL | OPT_EXPERT, GLOBAL(&copy_ts), "copy timestamps", nullptr},
    {"copytb", HAS_ARG | OPT_INT | OPT_EXPERT, GLOBAL(&copy_tb), "copy input stream time base when stream copying",
     "mode"},
    {"shortest", OPT_BOOL | OPT_EXPERT | OPT_OFFSET | OPT_OUTPUT, FIELD(shortest),
     "finish encoding within shortest input", nullptr},
    {"dts_delta_threshold", HAS_ARG | OPT_FLOAT | OPT_EXPERT, GLOBAL(&dts_delta_threshold),
     "timestamp discontinuity delta threshold", "threshold"},
    {"dts_error_threshold", HAS_ARG | OPT_FLOAT | OPT_EXPERT, GLOBAL(&dts_error_threshold),
     "timestamp error delta threshold", "threshold"},
    {"xerror", OPT_BOOL | OPT_EXPERT, GLOBAL(&exit_on_error), "exit on error", "error"},
    {"copyinkf", OPT_BOOL | OPT_EXPERT | OPT_SPEC | OPT_OUTPUT, FIELD(copy_initial_nonkeyframes),
     "copy initial non-keyframes", nullptr},
    {"copypriorss", OPT_INT | HAS_ARG | OPT_EXPERT | OPT_SPEC | OPT_OUTPUT, FIELD(copy_prior_start),
     "copy or discard frames before start time", nullptr},
    {"frames", OPT_INT64 | HAS_ARG | OPT_SPEC | OPT_OUTPUT, FIELD(max_frames), "set the number of frames to record",
     "number"},
    {"tag", OPT_STRING | HAS_ARG | OPT_SPEC | OPT_EXPERT | OPT_OUTPUT | OPT_INPUT, FIELD(codec_tags),
     "force codec tag/fourcc", "fourcc/tag"},
    {"q", HAS_ARG | OPT_EXPERT | OPT_DOUBLE | OPT_SPEC | OPT_OUTPUT, FIELD(qscale), "use fixed quality scale (VBR)",
     "q"},
    {"qscale", HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_qscale), "use fixed quality scale (VBR)",
     "q"},
    {"profile", HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_profile), "set profile", "profile"},
    {"filter", HAS_ARG | OPT_STRING | OPT_SPEC | OPT_OUTPUT, FIELD(filters), "set stream filtergraph",
     "filter_graph"},
    {"reinit_filter", HAS_ARG | OPT_INT | OPT_SPEC | OPT_INPUT, FIELD(reinit_filters),
     "reinit filtergraph on input parameter changes", ""},
    {"filter_complex", HAS_ARG | OPT_EXPERT, HANDLER(opt_filter_complex), "create a complex filtergraph",
     "graph_description"},
    {"stats", OPT_BOOL, GLOBAL(&print_stats), "print progress report during encoding", nullptr},
    {"attach", HAS_ARG | OPT_PERFILE | OPT_EXPERT | OPT_OUTPUT, HANDLER(opt_attach),
     "add an attachment to the output file", "filename"},
    {"dump_attachment", HAS_ARG | OPT_STRING | OPT_SPEC | OPT_EXPERT | OPT_INPUT, FIELD(dump_attachment),
     "extract an attachment into a file", "filename"},
    {"debug_ts", OPT_BOOL | OPT_EXPERT, GLOBAL(&debug_ts), "print timestamp debugging info", nullptr},

    // video
    {"vframes", OPT_VIDEO | HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_video_frames),
     "set the number of video frames to record", "number"},
    {"r", OPT_VIDEO | HAS_ARG | OPT_STRING | OPT_SPEC | OPT_INPUT | OPT_OUTPUT, FIELD(frame_rates),
     "set frame rate (Hz value, fraction or abbreviation)", "rate"},
    {"s", OPT_VIDEO | HAS_ARG | OPT_SUBTITLE | OPT_STRING | OPT_SPEC | OPT_INPUT | OPT_OUTPUT, FIELD(frame_sizes),
     "set frame size (WxH or abbreviation)", "size"},
    {"aspect", OPT_VIDEO | HAS_ARG | OPT_STRING | OPT_SPEC | OPT_OUTPUT, FIELD(frame_aspect_ratios),
     "set aspect ratio (4:3, 16:9 or 1.3333, 1.7777)", "aspect"},
    {"pix_fmt", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_STRING | OPT_SPEC | OPT_INPUT | OPT_OUTPUT,
     FIELD(frame_pix_fmts), "set pixel format", "format"},
    {"bits_per_raw_sample", OPT_VIDEO | OPT_INT | HAS_ARG, GLOBAL(&frame_bits_per_raw_sample),
     "set the number of bits per raw sample", "number"},
    {"intra", OPT_VIDEO | OPT_BOOL | OPT_EXPERT, GLOBAL(&intra_only), "deprecated use -g 1", nullptr},
    {"vn", OPT_VIDEO | OPT_BOOL | OPT_OFFSET | OPT_INPUT | OPT_OUTPUT, FIELD(video_disable), "disable video",
     nullptr},
    {"vdt", OPT_VIDEO | OPT_INT | HAS_ARG | OPT_EXPERT, GLOBAL(&video_discard), "discard threshold", "n"},
    {"rc_override", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_STRING | OPT_SPEC | OPT_OUTPUT, FIELD(rc_overrides),
     "rate control override for specific intervals", "override"},
    {"vcodec", OPT_VIDEO | HAS_ARG | OPT_PERFILE | OPT_INPUT | OPT_OUTPUT, HANDLER(opt_video_codec),
     "force video codec ('copy' to copy stream)", "codec"},
    {"sameq", OPT_VIDEO | OPT_EXPERT, HANDLER(opt_sameq), "Removed", nullptr},
    {"same_quant", OPT_VIDEO | OPT_EXPERT, HANDLER(opt_sameq), "Removed", nullptr},
    {"timecode", OPT_VIDEO | HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_timecode),
     "set initial TimeCode value.", "hh:mm:ss[:;.]ff"},
    {"pass", OPT_VIDEO | HAS_ARG | OPT_SPEC | OPT_INT | OPT_OUTPUT, FIELD(pass),
     "select the pass number (1 to 3)", "n"},
    {"passlogfile", OPT_VIDEO | HAS_ARG | OPT_STRING | OPT_EXPERT | OPT_SPEC | OPT_OUTPUT, FIELD(passlogfiles),
     "select two pass log file name prefix", "prefix"},
    {"deinterlace", OPT_VIDEO | OPT_BOOL | OPT_EXPERT, GLOBAL(&do_deinterlace),
     "this option is deprecated, use the yadif filter instead", nullptr},
    {"psnr", OPT_VIDEO | OPT_BOOL | OPT_EXPERT, GLOBAL(&do_psnr), "calculate PSNR of compressed frames", nullptr},
    {"vstats", OPT_VIDEO | OPT_EXPERT, HANDLER(opt_vstats), "dump video coding statistics to file", nullptr},
    {"vstats_file", OPT_VIDEO | HAS_ARG | OPT_EXPERT, HANDLER(opt_vstats_file), "dump video coding statistics to file",
     "file"},
    {"vf", OPT_VIDEO | HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_video_filters), "video filters",
     "filter list"},
    {"intra_matrix", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_STRING | OPT_SPEC | OPT_OUTPUT, FIELD(intra_matrices),
     "specify intra matrix coeffs", "matrix"},
    {"inter_matrix", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_STRING | OPT_SPEC | OPT_OUTPUT, FIELD(inter_matrices),
     "specify inter matrix coeffs", "matrix"},
    {"top", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_INT | OPT_SPEC | OPT_OUTPUT, FIELD(top_field_first),
     "top=1/bottom=0/auto=-1 field first", ""},
    {"dc", OPT_VIDEO | OPT_INT | HAS_ARG | OPT_EXPERT, GLOBAL(&intra_dc_precision), "intra_dc_precision",
     "precision"},
    {"vtag", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_old2new),
     "force video tag/fourcc", "fourcc/tag"},
    {"qphist", OPT_VIDEO | OPT_BOOL | OPT_EXPERT, GLOBAL(&qp_hist), "show QP histogram", nullptr},
    {"force_fps", OPT_VIDEO | OPT_BOOL | OPT_EXPERT | OPT_SPEC | OPT_OUTPUT, FIELD(force_fps),
     "force the selected framerate, disable the best supported framerate selection", nullptr},
    {"streamid", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_streamid),
     "set the value of an outfile streamid", "streamIndex:value"},
    {"force_key_frames", OPT_VIDEO | OPT_STRING | HAS_ARG | OPT_EXPERT | OPT_SPEC | OPT_OUTPUT,
     FIELD(forced_key_frames), "force key frames at specified timestamps", "timestamps"},
    {"b", OPT_VIDEO | HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_bitrate), "video bitrate (please use -b:v)",
     "bitrate"},

    // audio
    {"aframes", OPT_AUDIO | HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_audio_frames),
     "set the number of audio frames to record", "number"},
    {"aq", OPT_AUDIO | HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_audio_qscale),
     "set audio quality (codec-specific)", "quality"},
    {"ar", OPT_AUDIO | HAS_ARG | OPT_INT | OPT_SPEC | OPT_INPUT | OPT_OUTPUT, FIELD(audio_sample_rate),
     "set audio sampling rate (in Hz)", "rate"},
    {"ac", OPT_AUDIO | HAS_ARG | OPT_INT | OPT_SPEC | OPT_INPUT | OPT_OUTPUT, FIELD(audio_channels),
     "set number of audio channels", "channels"},
    {"an", OPT_AUDIO | OPT_BOOL | OPT_OFFSET | OPT_INPUT | OPT_OUTPUT, FIELD(audio_disable), "disable audio",
     nullptr},
    {"acodec", OPT_AUDIO | HAS_ARG | OPT_PERFILE | OPT_INPUT | OPT_OUTPUT, HANDLER(opt_audio_codec),
     "force audio codec ('copy' to copy stream)", "codec"},
    {"atag", OPT_AUDIO | HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_old2new),
     "force audio tag/fourcc", "fourcc/tag"},
    {"vol", OPT_AUDIO | HAS_ARG | OPT_INT, GLOBAL(&audio_volume), "change audio volume (256=normal)", "volume"},
    {"sample_fmt", OPT_AUDIO | HAS_ARG | OPT_EXPERT | OPT_SPEC | OPT_STRING | OPT_INPUT | OPT_OUTPUT,
     FIELD(sample_fmts), "set sample format", "format"},
    {"channel_layout", OPT_AUDIO | HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_INPUT | OPT_OUTPUT,
     HANDLER(opt_channel_layout), "set channel layout", "layout"},
    {"af", OPT_AUDIO | HAS_ARG | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_audio_filters), "set audio filters",
     "filter_graph"},
    {"guess_layout_max", OPT_AUDIO | HAS_ARG | OPT_INT | OPT_SPEC | OPT_EXPERT | OPT_INPUT, FIELD(guess_layout_max),
     "set the maximum number of channels to try to guess the channel layout", nullptr},

    // subtitles
    {"sn", OPT_SUBTITLE | OPT_BOOL | OPT_OFFSET | OPT_INPUT | OPT_OUTPUT, FIELD(subtitle_disable),
     "disable subtitle", nullptr},
    {"scodec", OPT_SUBTITLE | HAS_ARG | OPT_PERFILE | OPT_INPUT | OPT_OUTPUT, HANDLER(opt_subtitle_codec),
     "force subtitle codec ('copy' to copy stream)", "codec"},
    {"stag", OPT_SUBTITLE | HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_old2new),
     "force subtitle tag/fourcc", "fourcc/tag"},
    {"fix_sub_duration", OPT_BOOL | OPT_EXPERT | OPT_SUBTITLE | OPT_SPEC | OPT_INPUT, FIELD(fix_sub_duration),
     "fix subtitles duration", nullptr},

    // grabbing
    {"vc", HAS_ARG | OPT_EXPERT | OPT_VIDEO, HANDLER(opt_video_channel), "deprecated, use -channel", "channel"},
    {"tvstd", HAS_ARG | OPT_EXPERT | OPT_VIDEO, HANDLER(opt_video_standard), "deprecated, use -standard",
     "standard"},

    // muxing
    {"muxdelay", OPT_FLOAT | HAS_ARG | OPT_EXPERT | OPT_OFFSET | OPT_OUTPUT, FIELD(mux_max_delay),
     "set the maximum demux-decode delay", "seconds"},
    {"muxpreload", OPT_FLOAT | HAS_ARG | OPT_EXPERT | OPT_OFFSET | OPT_OUTPUT, FIELD(mux_preload),
     "set the initial demux-decode delay", "seconds"},
    {"bsf", HAS_ARG | OPT_STRING | OPT_SPEC | OPT_EXPERT | OPT_OUTPUT, FIELD(bitstream_filters),
     "A comma-separated list of bitstream filters", "bitstream_filters"},
    {"absf", HAS_ARG | OPT_AUDIO | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_old2new), "deprecated",
     "audio bitstream_filters"},
    {"vbsf", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_old2new), "deprecated",
     "video bitstream_filters"},

    {"apre", HAS_ARG | OPT_AUDIO | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_preset),
     "set the audio options to the indicated preset", "preset"},
    {"vpre", OPT_VIDEO | HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_preset),
     "set the video options to the indicated preset", "preset"},
    {"spre", HAS_ARG | OPT_SUBTITLE | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_preset),
     "set the subtitle options to the indicated preset", "preset"},
    {"fpre", HAS_ARG | OPT_EXPERT | OPT_PERFILE | OPT_OUTPUT, HANDLER(opt_preset),
     "set options from indicated preset file", "filename"},

    // data
    {"dcodec", HAS_ARG | OPT_DATA | OPT_PERFILE | OPT_EXPERT | OPT_INPUT | OPT_OUTPUT, HANDLER(opt_data_codec),
     "force data codec ('copy' to copy stream)", "codec"},
    {"dn", OPT_BOOL | OPT_VIDEO | OPT_OFFSET | OPT_INPUT | OPT_OUTPUT, FIELD(data_disable), "disable data", nullptr},

    // what the program's command lines add
    {"bitexact", OPT_BOOL | OPT_EXPERT | OPT_OFFSET | OPT_INPUT | OPT_OUTPUT, FIELD(bitexact),
     "bitexact mode", nullptr},
    {"max_muxing_queue_size", HAS_ARG | OPT_INT | OPT_SPEC | OPT_EXPERT | OPT_OUTPUT, FIELD(max_muxing_queue_size),
     "maximum number of packets that can be buffered while waiting for all streams to initialize", "packets"},

    {nullptr, 0, {nullptr, nullptr, 0}, nullptr, nullptr},
};

#undef OFFSET
#undef GLOBAL
#undef HANDLER
#undef FIELD

void init_options(OptionsContext* o, int is_input) {
    std::memset(o, 0, sizeof *o);
    if (!is_input && input_recording_time != INT64_MAX) {
        o->recording_time = input_recording_time;
        ff::av_log(nullptr, AV_LOG_WARNING,
                   "-t is not an input option, keeping it for the next output; consider fixing your command line.\n");
    } else {
        o->recording_time = INT64_MAX;
    }
    o->stop_time = INT64_MAX;
    o->mux_max_delay = 0.7f;
    o->start_time = AV_NOPTS_VALUE;
    o->limit_filesize = UINT64_MAX;
    o->chapters_input_file = INT_MAX;
}

void uninit_options(OptionsContext* o, int is_input) {
    // Every string and specifier list the table stores is freed the same way.
    for (const OptionDef* po = transcoder_options; po->name != nullptr; ++po) {
        void* dst = reinterpret_cast<uint8_t*>(o) + po->u.off;
        if ((po->flags & OPT_SPEC) != 0) {
            SpecifierOpt** list = static_cast<SpecifierOpt**>(dst);
            int* count = reinterpret_cast<int*>(list + 1);
            for (int i = 0; i < *count; ++i) {
                ff::av_freep(&(*list)[i].specifier);
                if ((po->flags & OPT_STRING) != 0) {
                    ff::av_freep(&(*list)[i].u.str);
                }
            }
            ff::av_freep(list);
            *count = 0;
        } else if ((po->flags & OPT_OFFSET) != 0 && (po->flags & OPT_STRING) != 0) {
            ff::av_freep(dst);
        }
    }
    // the layouts "-channel_layout" keeps
    for (int i = 0; i < o->nb_channel_layouts; ++i) {
        ff::av_freep(&o->channel_layouts[i].specifier);
        ff::av_freep(&o->channel_layouts[i].u.str);
    }
    ff::av_freep(&o->channel_layouts);
    o->nb_channel_layouts = 0;
    for (int i = 0; i < o->nb_stream_maps; ++i) {
        ff::av_freep(&o->stream_maps[i].linklabel);
    }
    ff::av_freep(&o->stream_maps);
    ff::av_freep(&o->audio_channel_maps);
    ff::av_freep(&o->streamid_map);
    ff::av_freep(&o->attachments);
    input_recording_time = is_input ? o->recording_time : INT64_MAX;
}

namespace {

enum { GROUP_OUTFILE, GROUP_INFILE };

const OptionGroupDef FILE_GROUPS[] = {
    {"output file", nullptr, OPT_OUTPUT},
    {"input file", "i", OPT_INPUT},
};

int openFiles(OptionGroupList* l, const char* inout, int (*open)(OptionsContext*, const char*)) {
    const int isInput = open == &open_input_file;
    for (int i = 0; i < l->nb_groups; ++i) {
        OptionGroup* g = &l->groups[i];
        OptionsContext o;
        init_options(&o, isInput);
        o.g = g;
        int ret = parse_optgroup(&o, g);
        if (ret < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error parsing options for %s file %s.\n", inout, g->arg);
            uninit_options(&o, isInput);
            return ret;
        }
        ff::av_log(nullptr, AV_LOG_DEBUG, "Opening an %s file: %s.\n", inout, g->arg);
        ret = open(&o, g->arg);
        uninit_options(&o, isInput);
        if (ret < 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error opening %s file %s.\n", inout, g->arg);
            return ret;
        }
        ff::av_log(nullptr, AV_LOG_DEBUG, "Successfully opened the file.\n");
    }
    return 0;
}

} // namespace

int ffmpeg_parse_options(int argc, char** argv) {
    OptionParseContext octx;
    std::memset(&octx, 0, sizeof octx);
    const char* stage = nullptr;
    int ret = split_commandline(&octx, argc, argv, transcoder_options, FILE_GROUPS, 2);
    if (ret < 0) {
        stage = "Error splitting the argument list: ";
    } else if ((ret = parse_optgroup(nullptr, &octx.global_opts)) < 0) {
        stage = "Error parsing global options: ";
    } else if ((ret = openFiles(&octx.groups[GROUP_INFILE], "input", &open_input_file)) < 0) {
        stage = "Error opening input files: ";
    } else {
        for (int i = 0; i < nb_filtergraphs && ret >= 0; ++i) {
            ret = init_complex_filtergraph(filtergraphs[i]);
        }
        if (ret < 0) {
            ff::av_log(nullptr, AV_LOG_FATAL, "Error initializing complex filters.\n");
        } else if ((ret = openFiles(&octx.groups[GROUP_OUTFILE], "output", &open_output_file)) < 0) {
            stage = "Error opening output files: ";
        }
    }
    uninit_parse_context(&octx);
    if (ret < 0) {
        char error[128];
        ff::av_strerror(ret, error, sizeof error);
        ff::av_log(nullptr, AV_LOG_FATAL, "%s%s\n", stage != nullptr ? stage : "", error);
    }
    return ret;
}

} // namespace s::fftools
