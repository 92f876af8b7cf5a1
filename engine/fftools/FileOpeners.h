#pragma once
#include "engine/fftools/TranscoderState.h"

// What the option table's handlers and the two file openers share.
namespace s::fftools {

// The last entry of a specifier list that names stream st of s; null when none does.
// A malformed specifier clears *ok (the error is logged).
const SpecifierOpt* match_per_stream(const SpecifierOpt* list, int count, AVFormatContext* s, AVStream* st,
                                     bool* ok);
// The last entry whose specifier is exactly mediatype ("a", "v", ...); null when none.
const SpecifierOpt* match_per_type(const SpecifierOpt* list, int count, const char* mediatype);

// An encoder or decoder by its name, or by a codec's name ("Matched encoder ..."); null
// after "Unknown encoder '%s'" or "Invalid encoder type '%s'".
const AVCodec* find_codec(const char* name, enum AVMediaType type, bool encoder);

// "-tag": a number, or up to four characters.
uint32_t parse_codec_tag(const char* text);
// "-vn", "-an", "-sn", "-dn" of the file's options leave out streams of that kind.
bool disabled_by_options(const OptionsContext* o, enum AVMediaType type);

// Tests an output name before it is opened for writing: -y overwrites, -n (or no
// console to ask on) refuses a file that exists. 0 or -1 (logged).
int check_file_overwrite(const char* filename);

// Fill one input or output file from its option context (FFmpeg's openers). 0 or a
// negative error (logged); whatever was added to the lists stays for the clean-up.
int open_input_file(OptionsContext* o, const char* filename);
int open_output_file(OptionsContext* o, const char* filename);

// The per-file context before its group's options are applied, and its release. The
// release of an input's context keeps its "-t" for the next output.
void init_options(OptionsContext* o, int is_input);
void uninit_options(OptionsContext* o, int is_input);

} // namespace s::fftools
