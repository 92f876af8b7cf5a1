#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

struct AVFormatContext;
struct AVStream;
struct AVCodec;

// The command-line machinery the in-process transcoder (and the prober) stand on:
// option descriptions, splitting an argument list into a global group and one group
// per input or output file, applying a group's options, routing options no table knows
// to the codec, format, scaler and resampler libraries, preset files, and the per-run
// release. Every FFmpeg call goes through the bound pointers. Process-wide state, one
// run (or probe) at a time.
namespace s::fftools {

// One option value with the stream specifier it was given for ("-b:a 128k" gives "a").
struct SpecifierOpt {
    char* specifier;
    union {
        uint8_t* str;
        int i;
        int64_t i64;
        float f;
        double dbl;
    } u;
};

// Option description flags.
enum : int {
    HAS_ARG = 0x0001,
    OPT_BOOL = 0x0002,
    OPT_EXPERT = 0x0004,
    OPT_STRING = 0x0008,
    OPT_VIDEO = 0x0010,
    OPT_AUDIO = 0x0020,
    OPT_INT = 0x0080,
    OPT_FLOAT = 0x0100,
    OPT_SUBTITLE = 0x0200,
    OPT_INT64 = 0x0400,
    OPT_EXIT = 0x0800,
    OPT_DATA = 0x1000,
    OPT_PERFILE = 0x2000,  // applies to one file (implied by OPT_OFFSET and OPT_SPEC)
    OPT_OFFSET = 0x4000,   // stored at an offset into the per-file context
    OPT_SPEC = 0x8000,     // stored as a SpecifierOpt list at the offset, its count right after
    OPT_TIME = 0x10000,
    OPT_DOUBLE = 0x20000,
    OPT_INPUT = 0x40000,
    OPT_OUTPUT = 0x80000,
};

// A handler answers 0 or a negative FFmpeg error; it never ends the process.
typedef int (*OptionHandler)(void* optctx, const char* opt, const char* arg);

struct OptionDef {
    const char* name;
    int flags;
    // Where the value goes: a global, a handler, or an offset into the per-file context.
    struct {
        void* dst_ptr;
        OptionHandler func_arg;
        size_t off;
    } u;
    const char* help;
    const char* argname;
};

// One option as found by the splitter, applied later to its group.
struct Option {
    const OptionDef* opt;
    const char* key;
    const char* val;
};

struct OptionGroupDef {
    const char* name;
    // The option that ends a group of this kind ("i" for inputs); null: a plain argument.
    const char* sep;
    // Flags each option of the group must carry (OPT_INPUT or OPT_OUTPUT).
    int flags;
};

struct OptionGroup {
    const OptionGroupDef* group_def;
    const char* arg;
    Option* opts;
    int nb_opts;
    AVDictionary* codec_opts;
    AVDictionary* format_opts;
    AVDictionary* sws_dict;
    AVDictionary* swr_opts;
};

struct OptionGroupList {
    const OptionGroupDef* group_def;
    OptionGroup* groups;
    int nb_groups;
};

struct OptionParseContext {
    OptionGroup global_opts;
    OptionGroupList* groups;
    int nb_groups;
    // The group being filled.
    OptionGroup cur_group;
};

// Library options collected while splitting, handed to the group when it closes.
extern AVDictionary* codec_opts;
extern AVDictionary* format_opts;
extern AVDictionary* sws_dict;
extern AVDictionary* swr_opts;

// The option table of the tool being run; set by its entry point before every run.
extern const OptionDef* option_table;

// The table entry named like name up to a ":" (the stream specifier); the table's
// empty end entry when none is.
const OptionDef* find_option(const OptionDef* po, const char* name);

// Applies one option. Answers 1 when arg was used, 0 when not, negative on error.
int parse_option(void* optctx, const char* opt, const char* arg, const OptionDef* options);
// Applies every option of a group to optctx (0 or negative).
int parse_optgroup(void* optctx, OptionGroup* g);
// An option no table knows: given to the codec, format, scaler and resampler options
// that know it. AVERROR_OPTION_NOT_FOUND when none does.
int opt_default(void* optctx, const char* opt, const char* arg);
// Splits argv into the global group and the groups of `groups` (inputs, outputs).
int split_commandline(OptionParseContext* octx, int argc, char* argv[], const OptionDef* options,
                      const OptionGroupDef* groups, int nb_groups);
// Frees the groups and the library options still unclaimed; the argument vector stays.
void uninit_parse_context(OptionParseContext* octx);

// Logs "<what>: <FFmpeg's text for err>" at error level.
void print_error(const char* filename, int err);
// Reads one answer from standard input: true for "y"/"Y".
int read_yesno();
// Opens a file named in UTF-8 (FFmpeg's texts) with a _wfopen mode.
FILE* fopen_utf8(const char* name, const wchar_t* mode);
// Reads a whole file into a NUL-ended buffer (av_malloc'ed).
int cmdutils_read_file(const char* filename, char** bufptr, size_t* size);

// Grows an array of elem_size elements to new_size, zeroing the new part. Null (after
// logging "Array too big.\n" or no memory) leaves the array as it was; *size is only
// changed on success.
void* grow_array(void* array, int elem_size, int* size, int new_size);
// Appends one zeroed element to a typed array; false when it cannot grow.
template <typename T>
bool grow_one(T*& array, int& count) {
    void* grown = grow_array(array, static_cast<int>(sizeof(T)), &count, count + 1);
    if (grown == nullptr) {
        return false;
    }
    array = static_cast<T*>(grown);
    return true;
}

// A new zeroed record of elem_size bytes appended to a list of pointers; null (the list
// unchanged) when memory runs out.
void* allocate_array_elem(void*** list, size_t elem_size, int* count);
template <typename T>
T* append_new(T**& list, int& count) {
    return static_cast<T*>(allocate_array_elem(reinterpret_cast<void***>(&list), sizeof(T), &count));
}

// Finds a preset file. Named presets are never found here (the search has no base
// folders); a preset given as a path (is_path) is opened for reading. Null when not found;
// filename gets the name tried.
FILE* get_preset_file(char* filename, size_t filename_size, const char* preset_name, int is_path,
                      const char* codec_name);

// 1 when st matches specifier, 0 when not, negative for a malformed specifier (logged).
int check_stream_specifier(AVFormatContext* s, AVStream* st, const char* specifier);
// The codec options of `opts` that apply to one stream of codec `codec_id`: the plain
// ones, and the ones whose specifier matches the stream, into *out (caller frees it).
// 0, or negative for a malformed specifier (logged).
int filter_codec_opts(AVDictionary* opts, int codec_id, AVFormatContext* s, AVStream* st, const AVCodec* codec,
                      AVDictionary** out);
// One dictionary per stream of s (av_calloc'ed array, null for no streams), for
// avformat_find_stream_info. 0 or negative (nothing allocated then).
int setup_find_stream_info_opts(AVFormatContext* s, AVDictionary* codec_opts, AVDictionary*** out);

// Parses a number or a duration. On failure the message is logged and *ok cleared.
double parse_number(const char* context, const char* numstr, int type, double min, double max, bool* ok);
int64_t parse_time(const char* context, const char* timestr, int is_duration, bool* ok);

// The UTF-8 vector of the run's arguments (given in the ANSI code page), made on the
// first call of a run and then cached; ended by an empty text. Freed by uninit_opts.
char** prepare_app_arguments(int* argc, char*** argv);
// Per-run release: the four library option dictionaries and the cached vector.
void uninit_opts();

} // namespace s::fftools
