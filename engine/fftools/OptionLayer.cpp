#include "engine/fftools/OptionLayer.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/ffmpeg/FfmpegLibraries.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace s::fftools {

namespace ff = s::ffmpeg;

AVDictionary* codec_opts = nullptr;
AVDictionary* format_opts = nullptr;
AVDictionary* sws_dict = nullptr;
AVDictionary* swr_opts = nullptr;
const OptionDef* option_table = nullptr;

namespace {

// The cached UTF-8 argument vector of the current run.
char** cachedArgv = nullptr;
int cachedArgc = 0;

// Options of the library classes, ignoring named constants (they have no flags).
const AVOption* findLibraryOption(const AVClass* cls, const char* name, int searchFlags) {
    const AVOption* o = ff::av_opt_find(&cls, name, nullptr, 0, searchFlags);
    return o != nullptr && o->flags != 0 ? o : nullptr;
}

// "+flag"/"-flag" values of a flags option add to what is already set.
int dictFlagsFor(const AVOption* o, const char* arg) {
    return o->type == AV_OPT_TYPE_FLAGS && (arg[0] == '-' || arg[0] == '+') ? AV_DICT_APPEND : 0;
}

// Stores an option's value where its description says: a global, a field of the
// per-file context, or one more entry of a specifier list there.
int writeOption(void* optctx, const OptionDef* po, const char* opt, const char* arg) {
    void* dst = (po->flags & (OPT_OFFSET | OPT_SPEC)) != 0 ? static_cast<uint8_t*>(optctx) + po->u.off
                                                         : po->u.dst_ptr;
    if ((po->flags & OPT_SPEC) != 0) {
        SpecifierOpt** list = static_cast<SpecifierOpt**>(dst);
        int* count = reinterpret_cast<int*>(list + 1);
        const char* colon = std::strchr(opt, ':');
        char* specifier = ff::av_strdup(colon != nullptr ? colon + 1 : "");
        if (specifier == nullptr || !grow_one(*list, *count)) {
            ff::av_free(specifier);
            return AVERROR(ENOMEM);
        }
        (*list)[*count - 1].specifier = specifier;
        dst = &(*list)[*count - 1].u;
    }
    bool ok = true;
    if ((po->flags & OPT_STRING) != 0) {
        char* copy = ff::av_strdup(arg);
        if (copy == nullptr) {
            return AVERROR(ENOMEM);
        }
        ff::av_freep(dst);
        *static_cast<char**>(dst) = copy;
    } else if ((po->flags & (OPT_BOOL | OPT_INT)) != 0) {
        *static_cast<int*>(dst) = static_cast<int>(parse_number(opt, arg, OPT_INT64, INT_MIN, INT_MAX, &ok));
    } else if ((po->flags & OPT_INT64) != 0) {
        *static_cast<int64_t*>(dst) =
            static_cast<int64_t>(parse_number(opt, arg, OPT_INT64, static_cast<double>(INT64_MIN),
                                              static_cast<double>(INT64_MAX), &ok));
    } else if ((po->flags & OPT_TIME) != 0) {
        *static_cast<int64_t*>(dst) = parse_time(opt, arg, 1, &ok);
    } else if ((po->flags & OPT_FLOAT) != 0) {
        *static_cast<float*>(dst) = static_cast<float>(parse_number(opt, arg, OPT_FLOAT, -INFINITY, INFINITY, &ok));
    } else if ((po->flags & OPT_DOUBLE) != 0) {
        *static_cast<double*>(dst) = parse_number(opt, arg, OPT_DOUBLE, -INFINITY, INFINITY, &ok);
    } else if (po->u.func_arg != nullptr) {
        const int ret = po->u.func_arg(optctx, opt, arg);
        if (ret < 0) {
            char text[128];
            ff::av_strerror(ret, text, sizeof text);
            ff::av_log(nullptr, AV_LOG_ERROR, "Failed to set value '%s' for option '%s': %s\n", arg, opt, text);
            return ret;
        }
    }
    return ok ? 0 : AVERROR(EINVAL);
}

const OptionDef AVOPTION_PASSTHROUGH = {"AVOption passthrough", HAS_ARG, {nullptr, nullptr, 0}, nullptr, nullptr};

void finishGroup(OptionParseContext* octx, int groupIndex, const char* arg, bool* ok) {
    OptionGroupList* list = &octx->groups[groupIndex];
    if (!grow_one(list->groups, list->nb_groups)) {
        *ok = false;
        return;
    }
    OptionGroup* g = &list->groups[list->nb_groups - 1];
    *g = octx->cur_group;
    g->arg = arg;
    g->group_def = list->group_def;
    g->codec_opts = codec_opts;
    g->format_opts = format_opts;
    g->sws_dict = sws_dict;
    g->swr_opts = swr_opts;
    codec_opts = nullptr;
    format_opts = nullptr;
    sws_dict = nullptr;
    swr_opts = nullptr;
    std::memset(&octx->cur_group, 0, sizeof octx->cur_group);
}

// Per-file options wait in the group being filled; the rest are global.
bool addOption(OptionParseContext* octx, const OptionDef* po, const char* key, const char* val) {
    const bool global = (po->flags & (OPT_PERFILE | OPT_SPEC | OPT_OFFSET)) == 0;
    OptionGroup* g = global ? &octx->global_opts : &octx->cur_group;
    if (!grow_one(g->opts, g->nb_opts)) {
        return false;
    }
    g->opts[g->nb_opts - 1] = Option{po, key, val};
    return true;
}

int groupSeparator(const OptionGroupDef* groups, int nbGroups, const char* opt) {
    for (int i = 0; i < nbGroups; ++i) {
        if (groups[i].sep != nullptr && std::strcmp(groups[i].sep, opt) == 0) {
            return i;
        }
    }
    return -1;
}

const OptionGroupDef GLOBAL_GROUP = {"global", nullptr, 0};

} // namespace

const OptionDef* find_option(const OptionDef* po, const char* name) {
    const char* colon = std::strchr(name, ':');
    const size_t length = colon != nullptr ? static_cast<size_t>(colon - name) : std::strlen(name);
    for (; po->name != nullptr; ++po) {
        if (std::strncmp(name, po->name, length) == 0 && po->name[length] == '\0') {
            break;
        }
    }
    return po;
}

double parse_number(const char* context, const char* numstr, int type, double min, double max, bool* ok) {
    char* tail = nullptr;
    const double d = ff::av_strtod(numstr, &tail);
    const char* error;
    if (tail == nullptr || *tail != '\0' || tail == numstr) {
        error = "Expected number for %s but found: %s\n";
    } else if (d < min || d > max) {
        error = "The value for %s was %s which is not within %f - %f\n";
    } else if (type == OPT_INT64 && static_cast<double>(static_cast<int64_t>(d)) != d) {
        error = "Expected int64 for %s but found %s\n";
    } else if (type == OPT_INT && static_cast<double>(static_cast<int>(d)) != d) {
        error = "Expected int for %s but found %s\n";
    } else {
        return d;
    }
    ff::av_log(nullptr, AV_LOG_FATAL, error, context, numstr, min, max);
    *ok = false;
    return 0;
}

int64_t parse_time(const char* context, const char* timestr, int is_duration, bool* ok) {
    int64_t us = 0;
    if (ff::av_parse_time(&us, timestr, is_duration) < 0) {
        ff::av_log(nullptr, AV_LOG_FATAL, "Invalid %s value for %s: %s\n",
                   is_duration ? "duration" : "date", context, timestr);
        *ok = false;
        return 0;
    }
    return us;
}

int parse_option(void* optctx, const char* opt, const char* arg, const OptionDef* options) {
    const OptionDef* po = find_option(options, opt);
    if (po->name == nullptr && opt[0] == 'n' && opt[1] == 'o') {
        // "-nofoo" clears the switch "foo"
        po = find_option(options, opt + 2);
        if (po->name != nullptr && (po->flags & OPT_BOOL) != 0) {
            arg = "0";
        }
    } else if ((po->flags & OPT_BOOL) != 0) {
        arg = "1";
    }
    if (po->name == nullptr) {
        po = &AVOPTION_PASSTHROUGH;
    }
    if ((po->flags & HAS_ARG) != 0 && arg == nullptr) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Missing argument for option '%s'\n", opt);
        return AVERROR(EINVAL);
    }
    const int ret = po == &AVOPTION_PASSTHROUGH ? opt_default(optctx, opt, arg) : writeOption(optctx, po, opt, arg);
    if (ret < 0) {
        return ret;
    }
    return (po->flags & HAS_ARG) != 0 ? 1 : 0;
}

int parse_optgroup(void* optctx, OptionGroup* g) {
    ff::av_log(nullptr, AV_LOG_DEBUG, "Parsing a group of options: %s %s.\n", g->group_def->name, g->arg);
    for (int i = 0; i < g->nb_opts; ++i) {
        const Option* o = &g->opts[i];
        if (g->group_def->flags != 0 && (g->group_def->flags & o->opt->flags) == 0) {
            ff::av_log(nullptr, AV_LOG_ERROR,
                       "Option %s (%s) cannot be applied to %s %s -- you are trying to apply an input option to an "
                       "output file or vice versa. Move this option before the file it belongs to.\n",
                       o->key, o->opt->help, g->group_def->name, g->arg);
            return AVERROR(EINVAL);
        }
        ff::av_log(nullptr, AV_LOG_DEBUG, "Applying option %s (%s) with argument %s.\n", o->key, o->opt->help,
                   o->val);
        const int ret = writeOption(optctx, o->opt, o->key, o->val);
        if (ret < 0) {
            return ret;
        }
    }
    ff::av_log(nullptr, AV_LOG_DEBUG, "Successfully parsed a group of options.\n");
    return 0;
}

int opt_default(void* /*optctx*/, const char* opt, const char* arg) {
    if (std::strcmp(opt, "debug") == 0 || std::strcmp(opt, "fdebug") == 0) {
        ff::av_log_set_level(AV_LOG_DEBUG);
    }
    // The codec layer is asked without the stream specifier ("b" of "b:a").
    char stripped[128];
    const char* colon = std::strchr(opt, ':');
    size_t length = colon != nullptr ? static_cast<size_t>(colon - opt) : std::strlen(opt);
    if (length >= sizeof stripped) {
        length = sizeof stripped - 1;
    }
    std::memcpy(stripped, opt, length);
    stripped[length] = '\0';

    const int search = AV_OPT_SEARCH_CHILDREN | AV_OPT_SEARCH_FAKE_OBJ;
    bool consumed = false;
    const AVOption* o = findLibraryOption(ff::avcodec_get_class(), stripped, search);
    if (o == nullptr && (opt[0] == 'v' || opt[0] == 'a' || opt[0] == 's')) {
        // the old spellings with a media prefix ("ab", "vtag")
        o = findLibraryOption(ff::avcodec_get_class(), opt + 1, AV_OPT_SEARCH_FAKE_OBJ);
    }
    if (o != nullptr) {
        ff::av_dict_set(&codec_opts, opt, arg, dictFlagsFor(o, arg));
        consumed = true;
    }
    o = findLibraryOption(ff::avformat_get_class(), opt, search);
    if (o != nullptr) {
        ff::av_dict_set(&format_opts, opt, arg, dictFlagsFor(o, arg));
        if (consumed) {
            ff::av_log(nullptr, AV_LOG_VERBOSE, "Routing option %s to both codec and muxer layer\n", opt);
        }
        consumed = true;
    }
    if (!consumed && (o = findLibraryOption(ff::sws_get_class(), opt, search)) != nullptr) {
        static const char* const sizes[] = {"srcw", "srch", "dstw", "dsth", "src_format", "dst_format"};
        for (const char* size : sizes) {
            if (std::strcmp(opt, size) == 0) {
                ff::av_log(nullptr, AV_LOG_ERROR,
                           "Directly using swscale dimensions/format options is not supported, please use the -s "
                           "or -pix_fmt options\n");
                return AVERROR(EINVAL);
            }
        }
        ff::av_dict_set(&sws_dict, opt, arg, dictFlagsFor(o, arg));
        consumed = true;
    }
    if (!consumed && (o = findLibraryOption(ff::swr_get_class(), opt, search)) != nullptr) {
        ff::av_dict_set(&swr_opts, opt, arg, dictFlagsFor(o, arg));
        consumed = true;
    }
    return consumed ? 0 : AVERROR_OPTION_NOT_FOUND;
}

void uninit_parse_context(OptionParseContext* octx) {
    for (int i = 0; i < octx->nb_groups; ++i) {
        OptionGroupList* list = &octx->groups[i];
        for (int j = 0; j < list->nb_groups; ++j) {
            OptionGroup* g = &list->groups[j];
            ff::av_freep(&g->opts);
            ff::av_dict_free(&g->codec_opts);
            ff::av_dict_free(&g->format_opts);
            ff::av_dict_free(&g->sws_dict);
            ff::av_dict_free(&g->swr_opts);
        }
        ff::av_freep(&list->groups);
    }
    ff::av_freep(&octx->groups);
    ff::av_freep(&octx->cur_group.opts);
    ff::av_freep(&octx->global_opts.opts);
    octx->nb_groups = 0;
    // Only the options left over from splitting: the argument vector stays until the
    // run's release, as the opened files keep pointers into it (attachment names).
    ff::av_dict_free(&codec_opts);
    ff::av_dict_free(&format_opts);
    ff::av_dict_free(&sws_dict);
    ff::av_dict_free(&swr_opts);
}

int split_commandline(OptionParseContext* octx, int argc, char* argv[], const OptionDef* options,
                      const OptionGroupDef* groups, int nb_groups) {
    prepare_app_arguments(&argc, &argv);

    std::memset(octx, 0, sizeof *octx);
    octx->groups = static_cast<OptionGroupList*>(ff::av_calloc(nb_groups, sizeof *octx->groups));
    if (octx->groups == nullptr || argv == nullptr) {
        return AVERROR(ENOMEM);
    }
    octx->nb_groups = nb_groups;
    for (int i = 0; i < nb_groups; ++i) {
        octx->groups[i].group_def = &groups[i];
    }
    octx->global_opts.group_def = &GLOBAL_GROUP;
    octx->global_opts.arg = "";

    ff::av_log(nullptr, AV_LOG_DEBUG, "Splitting the commandline.\n");
    int index = 1;
    int dashdash = -2;
    bool ok = true;
    while (index < argc && ok) {
        const char* opt = argv[index++];
        ff::av_log(nullptr, AV_LOG_DEBUG, "Reading option '%s' ...", opt);
        if (opt[0] == '-' && opt[1] == '-' && opt[2] == '\0') {
            dashdash = index;
            continue;
        }
        // A plain argument (an output file) ends a group of the first kind.
        if (opt[0] != '-' || opt[1] == '\0' || dashdash + 1 == index) {
            finishGroup(octx, 0, opt, &ok);
            ff::av_log(nullptr, AV_LOG_DEBUG, " matched as %s.\n", groups[0].name);
            continue;
        }
        ++opt;
        const int separator = groupSeparator(groups, nb_groups, opt);
        if (separator >= 0) {
            const char* arg = index < argc ? argv[index++] : nullptr;
            if (arg == nullptr) {
                ff::av_log(nullptr, AV_LOG_ERROR, "Missing argument for option '%s'.\n", opt);
                return AVERROR(EINVAL);
            }
            finishGroup(octx, separator, arg, &ok);
            ff::av_log(nullptr, AV_LOG_DEBUG, " matched as %s with argument '%s'.\n", groups[separator].name, arg);
            continue;
        }
        const OptionDef* po = find_option(options, opt);
        if (po->name != nullptr) {
            const char* arg = "1";
            if ((po->flags & OPT_EXIT) != 0) {
                arg = index < argc ? argv[index++] : nullptr;
            } else if ((po->flags & HAS_ARG) != 0) {
                arg = index < argc ? argv[index++] : nullptr;
                if (arg == nullptr) {
                    ff::av_log(nullptr, AV_LOG_ERROR, "Missing argument for option '%s'.\n", opt);
                    return AVERROR(EINVAL);
                }
            }
            ok = addOption(octx, po, opt, arg);
            ff::av_log(nullptr, AV_LOG_DEBUG, " matched as option '%s' (%s) with argument '%s'.\n", po->name,
                       po->help, arg);
            continue;
        }
        if (index < argc) {
            const int ret = opt_default(nullptr, opt, argv[index]);
            if (ret >= 0) {
                ff::av_log(nullptr, AV_LOG_DEBUG, " matched as AVOption '%s' with argument '%s'.\n", opt,
                           argv[index]);
                ++index;
                continue;
            }
            if (ret != AVERROR_OPTION_NOT_FOUND) {
                ff::av_log(nullptr, AV_LOG_ERROR, "Error parsing option '%s' with argument '%s'.\n", opt,
                           argv[index]);
                return ret;
            }
        }
        if (opt[0] == 'n' && opt[1] == 'o') {
            po = find_option(options, opt + 2);
            if (po->name != nullptr && (po->flags & OPT_BOOL) != 0) {
                ok = addOption(octx, po, opt, "0");
                ff::av_log(nullptr, AV_LOG_DEBUG, " matched as option '%s' (%s) with argument 0.\n", po->name,
                           po->help);
                continue;
            }
        }
        ff::av_log(nullptr, AV_LOG_ERROR, "Unrecognized option '%s'.\n", opt);
        return AVERROR_OPTION_NOT_FOUND;
    }
    if (!ok) {
        return AVERROR(ENOMEM);
    }
    if (octx->cur_group.nb_opts != 0 || codec_opts != nullptr || format_opts != nullptr) {
        ff::av_log(nullptr, AV_LOG_WARNING, "Trailing option(s) found in the command: may be ignored.\n");
    }
    ff::av_log(nullptr, AV_LOG_DEBUG, "Finished splitting the commandline.\n");
    return 0;
}

void print_error(const char* filename, int err) {
    char text[128];
    if (ff::av_strerror(err, text, sizeof text) < 0) {
        std::strncpy(text, std::strerror(AVUNERROR(err)), sizeof text - 1);
        text[sizeof text - 1] = '\0';
    }
    ff::av_log(nullptr, AV_LOG_ERROR, "%s: %s\n", filename, text);
}

int read_yesno() {
    int c = std::getchar();
    const int yes = c == 'y' || c == 'Y';
    while (c != '\n' && c != EOF) {
        c = std::getchar();
    }
    return yes;
}

// FFmpeg's texts are UTF-8; the C library's fopen would read them as ANSI.
FILE* fopen_utf8(const char* name, const wchar_t* mode) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0);
    if (length <= 0) {
        return nullptr;
    }
    wchar_t* wide = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * static_cast<size_t>(length)));
    if (wide == nullptr) {
        return nullptr;
    }
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, length);
    FILE* f = _wfopen(wide, mode);
    std::free(wide);
    return f;
}

int cmdutils_read_file(const char* filename, char** bufptr, size_t* size) {
    FILE* f = fopen_utf8(filename, L"rb");
    if (f == nullptr) {
        const int ret = AVERROR(errno);
        ff::av_log(nullptr, AV_LOG_ERROR, "Cannot read file '%s': %s\n", filename, std::strerror(errno));
        return ret;
    }
    int ret = 0;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        length = std::ftell(f);
    }
    if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        ret = AVERROR(errno != 0 ? errno : EIO);
    } else {
        *size = static_cast<size_t>(length);
        *bufptr = static_cast<char*>(ff::av_malloc(*size + 1));
        if (*bufptr == nullptr) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Could not allocate file buffer\n");
            ret = AVERROR(ENOMEM);
        } else if (std::fread(*bufptr, 1, *size, f) < *size) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error while reading file '%s'\n", filename);
            ff::av_freep(bufptr);
            ret = AVERROR(EIO);
        } else {
            (*bufptr)[*size] = '\0';
        }
    }
    std::fclose(f);
    return ret;
}

void* grow_array(void* array, int elem_size, int* size, int new_size) {
    if (new_size >= INT_MAX / elem_size) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Array too big.\n");
        return nullptr;
    }
    if (*size >= new_size) {
        return array;
    }
    uint8_t* grown = static_cast<uint8_t*>(ff::av_realloc_array(array, static_cast<size_t>(new_size),
                                                                 static_cast<size_t>(elem_size)));
    if (grown == nullptr) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Could not alloc buffer.\n");
        return nullptr;
    }
    std::memset(grown + static_cast<size_t>(*size) * elem_size, 0, static_cast<size_t>(new_size - *size) * elem_size);
    *size = new_size;
    return grown;
}

void* allocate_array_elem(void*** list, size_t elem_size, int* count) {
    void* elem = ff::av_mallocz(elem_size);
    if (elem == nullptr || !grow_one(*list, *count)) {
        ff::av_free(elem);
        return nullptr;
    }
    (*list)[*count - 1] = elem;
    return elem;
}

FILE* get_preset_file(char* filename, size_t filename_size, const char* preset_name, int is_path,
                      const char* /*codec_name*/) {
    if (filename_size == 0) {
        return nullptr;
    }
    if (!is_path) {
        // No base folder is searched for a named preset: a file planted in the user's
        // home or beside the program is never read.
        filename[0] = '\0';
        return nullptr;
    }
    std::strncpy(filename, preset_name, filename_size - 1);
    filename[filename_size - 1] = '\0';
    return fopen_utf8(filename, L"r");
}

int check_stream_specifier(AVFormatContext* s, AVStream* st, const char* specifier) {
    const int ret = ff::avformat_match_stream_specifier(s, st, specifier);
    if (ret < 0) {
        ff::av_log(s, AV_LOG_ERROR, "Invalid stream specifier: %s.\n", specifier);
    }
    return ret;
}

int filter_codec_opts(AVDictionary* opts, int codec_id, AVFormatContext* s, AVStream* st, const AVCodec* codec,
                      AVDictionary** out) {
    *out = nullptr;
    const bool output = s->oformat != nullptr;
    int flags = output ? AV_OPT_FLAG_ENCODING_PARAM : AV_OPT_FLAG_DECODING_PARAM;
    char prefix = 0;
    const AVClass* cc = ff::avcodec_get_class();
    if (codec == nullptr) {
        codec = output ? ff::avcodec_find_encoder(static_cast<AVCodecID>(codec_id))
                       : ff::avcodec_find_decoder(static_cast<AVCodecID>(codec_id));
    }
    switch (st->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        prefix = 'v';
        flags |= AV_OPT_FLAG_VIDEO_PARAM;
        break;
    case AVMEDIA_TYPE_AUDIO:
        prefix = 'a';
        flags |= AV_OPT_FLAG_AUDIO_PARAM;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        prefix = 's';
        flags |= AV_OPT_FLAG_SUBTITLE_PARAM;
        break;
    default: break;
    }
    const AVDictionaryEntry* t = nullptr;
    while ((t = ff::av_dict_get(opts, "", t, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        // The key without its specifier, when the specifier names this stream.
        char key[256];
        const char* colon = std::strchr(t->key, ':');
        size_t length = colon != nullptr ? static_cast<size_t>(colon - t->key) : std::strlen(t->key);
        if (length >= sizeof key) {
            length = sizeof key - 1;
        }
        std::memcpy(key, t->key, length);
        key[length] = '\0';
        if (colon != nullptr) {
            const int match = check_stream_specifier(s, st, colon + 1);
            if (match < 0) {
                ff::av_dict_free(out);
                return match;
            }
            if (match == 0) {
                continue;
            }
        }
        const AVClass* priv = codec != nullptr ? codec->priv_class : nullptr;
        if (ff::av_opt_find(&cc, key, nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ) != nullptr || codec == nullptr ||
            (priv != nullptr && ff::av_opt_find(&priv, key, nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ) != nullptr)) {
            ff::av_dict_set(out, key, t->value, 0);
        } else if (key[0] == prefix && ff::av_opt_find(&cc, key + 1, nullptr, flags, AV_OPT_SEARCH_FAKE_OBJ) != nullptr) {
            ff::av_dict_set(out, key + 1, t->value, 0);
        }
    }
    return 0;
}

int setup_find_stream_info_opts(AVFormatContext* s, AVDictionary* opts, AVDictionary*** out) {
    *out = nullptr;
    if (s->nb_streams == 0) {
        return 0;
    }
    AVDictionary** list = static_cast<AVDictionary**>(ff::av_calloc(s->nb_streams, sizeof *list));
    if (list == nullptr) {
        ff::av_log(nullptr, AV_LOG_ERROR, "Could not alloc memory for stream options.\n");
        return AVERROR(ENOMEM);
    }
    for (unsigned i = 0; i < s->nb_streams; ++i) {
        const int ret = filter_codec_opts(opts, s->streams[i]->codecpar->codec_id, s, s->streams[i], nullptr, &list[i]);
        if (ret < 0) {
            for (unsigned j = 0; j < i; ++j) {
                ff::av_dict_free(&list[j]);
            }
            ff::av_freep(&list);
            return ret;
        }
    }
    *out = list;
    return 0;
}

char** prepare_app_arguments(int* argc, char*** argv) {
    if (cachedArgv == nullptr) {
        // One allocation per argument, and an empty text after the last.
        char** copy = static_cast<char**>(ff::av_calloc(static_cast<size_t>(*argc) + 1, sizeof(char*)));
        if (copy == nullptr) {
            *argv = nullptr;
            return nullptr;
        }
        for (int i = 0; i < *argc; ++i) {
            copy[i] = ff::av_strdup((*argv)[i] != nullptr ? (*argv)[i] : "");
            if (copy[i] == nullptr) {
                for (int j = 0; j < i; ++j) {
                    ff::av_free(copy[j]);
                }
                ff::av_free(copy);
                *argv = nullptr;
                return nullptr;
            }
        }
        copy[*argc] = ff::av_strdup("");
        cachedArgv = copy;
        cachedArgc = *argc;
    }
    *argc = cachedArgc;
    *argv = cachedArgv;
    return cachedArgv;
}

void uninit_opts() {
    ff::av_dict_free(&codec_opts);
    ff::av_dict_free(&format_opts);
    ff::av_dict_free(&sws_dict);
    ff::av_dict_free(&swr_opts);
    if (cachedArgv != nullptr) {
        for (int i = 0; i <= cachedArgc; ++i) {
            ff::av_free(cachedArgv[i]);
        }
        ff::av_freep(&cachedArgv);
        cachedArgc = 0;
    }
}

} // namespace s::fftools
