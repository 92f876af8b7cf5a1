#pragma once
#include <atomic>
#include <cstdint>
#include <cstdio>

#include "engine/fftools/OptionLayer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/eval.h>
#include <libavutil/fifo.h>
}

// The in-process transcoder's process-wide state: the per-file option context, the
// input and output files and streams, the filter graphs, the tool's option globals and
// the run parameters the in-process runner hands over. Every value holds its reset
// value between runs (the clean-up restores them); one run at a time.
namespace s::fftools {

enum VideoSyncMethod { VSYNC_AUTO = -1, VSYNC_PASSTHROUGH, VSYNC_CFR, VSYNC_VFR, VSYNC_VSCFR, VSYNC_DROP };

constexpr int MAX_STREAMS = 1024;

// Which input stream an output stream takes ("-map").
struct StreamMap {
    int disabled;  // a negative map removed it
    int file_index;
    int stream_index;
    int sync_file_index;
    int sync_stream_index;
    char* linklabel;  // a complex graph's output label instead of a stream
};

// One "-map_channel": input file.stream.channel to output file.stream.
struct AudioChannelMap {
    int file_idx, stream_idx, channel_idx;
    int ofile_idx, ostream_idx;
};

// The options of one input or output file, filled from its group and consumed by the
// opener. Every OPT_SPEC list is followed by its count (the option layer relies on it).
struct OptionsContext {
    OptionGroup* g;

    // input and output
    int64_t start_time;
    const char* format;

    SpecifierOpt* codec_names;
    int nb_codec_names;
    SpecifierOpt* audio_channels;
    int nb_audio_channels;
    SpecifierOpt* audio_sample_rate;
    int nb_audio_sample_rate;
    SpecifierOpt* frame_rates;
    int nb_frame_rates;
    SpecifierOpt* frame_sizes;
    int nb_frame_sizes;
    SpecifierOpt* frame_pix_fmts;
    int nb_frame_pix_fmts;

    // input only
    int64_t input_ts_offset;
    int rate_emu;

    SpecifierOpt* ts_scale;
    int nb_ts_scale;
    SpecifierOpt* dump_attachment;
    int nb_dump_attachment;

    // output only
    StreamMap* stream_maps;
    int nb_stream_maps;
    AudioChannelMap* audio_channel_maps;
    int nb_audio_channel_maps;
    int metadata_global_manual;
    int metadata_streams_manual;
    int metadata_chapters_manual;
    const char** attachments;
    int nb_attachments;

    int chapters_input_file;

    int64_t recording_time;
    int64_t stop_time;
    uint64_t limit_filesize;
    float mux_preload;
    float mux_max_delay;
    int shortest;
    int bitexact;

    int video_disable;
    int audio_disable;
    int subtitle_disable;
    int data_disable;

    // indexed by the output file's stream index
    int* streamid_map;
    int nb_streamid_map;

    SpecifierOpt* metadata;
    int nb_metadata;
    SpecifierOpt* max_frames;
    int nb_max_frames;
    SpecifierOpt* bitstream_filters;
    int nb_bitstream_filters;
    SpecifierOpt* codec_tags;
    int nb_codec_tags;
    SpecifierOpt* sample_fmts;
    int nb_sample_fmts;
    SpecifierOpt* qscale;
    int nb_qscale;
    SpecifierOpt* forced_key_frames;
    int nb_forced_key_frames;
    SpecifierOpt* force_fps;
    int nb_force_fps;
    SpecifierOpt* frame_aspect_ratios;
    int nb_frame_aspect_ratios;
    SpecifierOpt* rc_overrides;
    int nb_rc_overrides;
    SpecifierOpt* intra_matrices;
    int nb_intra_matrices;
    SpecifierOpt* inter_matrices;
    int nb_inter_matrices;
    SpecifierOpt* top_field_first;
    int nb_top_field_first;
    SpecifierOpt* metadata_map;
    int nb_metadata_map;
    SpecifierOpt* presets;
    int nb_presets;
    SpecifierOpt* copy_initial_nonkeyframes;
    int nb_copy_initial_nonkeyframes;
    SpecifierOpt* copy_prior_start;
    int nb_copy_prior_start;
    SpecifierOpt* filters;
    int nb_filters;
    SpecifierOpt* reinit_filters;
    int nb_reinit_filters;
    SpecifierOpt* fix_sub_duration;
    int nb_fix_sub_duration;
    SpecifierOpt* pass;
    int nb_pass;
    SpecifierOpt* passlogfiles;
    int nb_passlogfiles;
    SpecifierOpt* guess_layout_max;
    int nb_guess_layout_max;
    SpecifierOpt* max_muxing_queue_size;
    int nb_max_muxing_queue_size;
    SpecifierOpt* channel_layouts;
    int nb_channel_layouts;
};

struct InputStream;
struct OutputStream;
struct FilterGraph;

// A filter graph's input: a buffer source fed by one input stream.
struct InputFilter {
    AVFilterContext* filter;
    InputStream* ist;
    FilterGraph* graph;
    uint8_t* name;
    enum AVMediaType type;

    // Parameters the source was configured with (from the decoder, then from frames).
    int format;
    int width, height;
    AVRational sample_aspect_ratio;
    int sample_rate;
    AVChannelLayout ch_layout;
    int eof;
};

// A filter graph's output: a buffer sink feeding one output stream.
struct OutputFilter {
    AVFilterContext* filter;
    OutputStream* ost;
    FilterGraph* graph;
    uint8_t* name;

    // the dangling pad it was made from, until the streams are mapped
    AVFilterInOut* out_tmp;
    enum AVMediaType type;

    // wanted output properties (0 / -1 when free)
    int width, height;
    AVRational frame_rate;
    int format;
    int sample_rate;
    AVChannelLayout ch_layout;

    // When the options fixed none: the encoder's own lists (null-, -1- or 0-ended, not
    // owned), for the sink's format filter to choose from.
    const int* formats;
    const AVChannelLayout* ch_layouts;
    const int* sample_rates;
};

struct FilterGraph {
    int index;
    // the "-filter_complex" text; null for a simple graph
    const char* graph_desc;

    AVFilterGraph* graph;
    int reconfiguration;

    InputFilter** inputs;
    int nb_inputs;
    OutputFilter** outputs;
    int nb_outputs;
};

struct InputStream {
    int file_index;
    AVStream* st;
    int discard;  // packets of this stream are dropped
    int user_set_discard;
    int decoding_needed;  // DECODING_FOR_OST | DECODING_FOR_FILTER
    AVCodecContext* dec_ctx;
    const AVCodec* dec;
    AVFrame* decoded_frame;
    AVFrame* filter_frame;
    AVPacket* pkt;

    int64_t start;  // wall clock when reading began (-re)
    int64_t next_dts;
    int64_t dts;
    int64_t next_pts;
    int64_t pts;
    int wrap_correction_done;
    int64_t filter_in_rescale_delta_last;
    int64_t min_pts;
    int64_t max_pts;
    int64_t cfr_next_pts;
    int64_t nb_samples;

    double ts_scale;
    int saw_first_ts;
    int showed_multi_packet_warning;
    AVDictionary* decoder_opts;
    AVRational framerate;  // forced with "-r"
    int top_field_first;
    int guess_layout_max;

    int fix_sub_duration;
    struct {
        int got_output;
        int ret;
        AVSubtitle subtitle;
    } prev_sub;

    struct {
        int64_t last_pts;
        int64_t end_pts;
        AVFrame* frame;
        int w, h;
    } sub2video;

    // decoded frames go to all of these
    InputFilter** filters;
    int nb_filters;
    int reinit_filters;

    // statistics
    uint64_t data_size;
    uint64_t nb_packets;
    uint64_t frames_decoded;
    uint64_t samples_decoded;
};

enum { DECODING_FOR_OST = 1, DECODING_FOR_FILTER = 2 };

struct InputFile {
    AVFormatContext* ctx;
    int eof_reached;
    int eagain;
    int ist_index;  // first stream's index in input_streams
    int64_t input_ts_offset;
    int64_t ts_offset;
    int64_t last_ts;
    int64_t start_time;  // "-ss" in AV_TIME_BASE units, or AV_NOPTS_VALUE
    int64_t recording_time;
    int nb_streams;
    int nb_streams_warn;
    int rate_emu;
    int accurate_seek;
    AVPacket* pkt;
};

enum OSTFinished { ENCODER_FINISHED = 1, MUXER_FINISHED = 2 };

enum { FKF_N, FKF_N_FORCED, FKF_PREV_FORCED_N, FKF_PREV_FORCED_T, FKF_T, FKF_NB };

struct OutputStream {
    int file_index;
    int index;         // stream index in the output file
    int source_index;  // index in input_streams, -1 for a complex graph's output
    AVStream* st;
    int encoding_needed;
    int frame_number;
    InputStream* sync_ist;
    int64_t sync_opts;
    int64_t first_pts;
    int64_t last_mux_dts;
    AVRational mux_timebase;
    AVRational enc_timebase;

    AVBSFContext* bsf_ctx;
    // the "-bsf" chain text, made into bsf_ctx when the stream is initialised
    char* bsf_names;

    AVCodecContext* enc_ctx;
    const AVCodec* enc;
    int64_t max_frames;
    AVFrame* filtered_frame;
    AVFrame* last_frame;
    AVPacket* pkt;
    int last_dropped;
    int last_nb0_frames[3];

    // video
    AVRational frame_rate;
    int is_cfr;
    int force_fps;
    int top_field_first;
    AVRational frame_aspect_ratio;

    // forced key frames
    int64_t* forced_kf_pts;
    int forced_kf_count;
    int forced_kf_index;
    char* forced_keyframes;
    AVExpr* forced_keyframes_pexpr;
    double forced_keyframes_expr_const_values[FKF_NB];

    // audio: channels picked from the source ("-map_channel")
    int* audio_channels_map;
    int audio_channels_mapped;

    char* logfile_prefix;
    FILE* logfile;

    OutputFilter* filter;
    char* avfilter;  // the simple graph's text ("null"/"anull" when none was given)

    AVDictionary* encoder_opts;
    AVDictionary* sws_dict;
    AVDictionary* swr_opts;
    AVDictionary* resample_opts;
    int finished;  // OSTFinished bits
    int unavailable;
    int stream_copy;
    int initialized;
    int inputs_done;

    const char* attachment_filename;
    int copy_initial_nonkeyframes;
    int copy_prior_start;

    int keep_pix_fmt;

    // statistics
    uint64_t data_size;
    uint64_t packets_written;
    uint64_t frames_encoded;
    uint64_t samples_encoded;
    // the last encoded picture's figures (the encoder's quality statistics)
    int quality;
    int pict_type;
    int64_t error[4];

    // packets held until the muxer's header is written
    int max_muxing_queue_size;
    AVFifo* muxing_queue;
};

struct OutputFile {
    AVFormatContext* ctx;
    AVDictionary* opts;
    int ost_index;           // first stream's index in output_streams
    int64_t recording_time;  // AV_TIME_BASE units
    int64_t start_time;
    uint64_t limit_filesize;
    int shortest;
    int header_written;
};

// ---- lists (filled by the openers and graphs, freed by the clean-up) ----
extern InputStream** input_streams;
extern int nb_input_streams;
extern InputFile** input_files;
extern int nb_input_files;
extern OutputStream** output_streams;
extern int nb_output_streams;
extern OutputFile** output_files;
extern int nb_output_files;
extern FilterGraph** filtergraphs;
extern int nb_filtergraphs;

// ---- the tool's option globals (reset value in brackets) ----
extern char* vstats_filename;           // [null]
extern float audio_drift_threshold;     // [0.1]
extern float dts_delta_threshold;       // [10]
extern float dts_error_threshold;       // [3600 * 30]
extern int audio_volume;                // [256]
extern int audio_sync_method;           // [0]
extern int video_sync_method;           // [VSYNC_AUTO]
extern int do_deinterlace;              // [0]
extern int do_benchmark;                // [0]
extern int do_benchmark_all;            // [0]
extern int do_hex_dump;                 // [0]
extern int do_pkt_dump;                 // [0]
extern int copy_ts;                     // [0]
extern int copy_tb;                     // [-1]
extern int debug_ts;                    // [0]
extern int exit_on_error;               // [0]
extern int print_stats;                 // [-1]
extern int qp_hist;                     // [0]
extern int stdin_interaction;           // [1]
extern int frame_bits_per_raw_sample;   // [0]
extern int intra_only;                  // [0]
extern int file_overwrite;              // [0]
extern int no_file_overwrite;           // [0]
extern int video_discard;               // [0]
extern int intra_dc_precision;          // [8]
extern int do_psnr;                     // [0]
extern int input_sync;                  // [0]
// An input's "-t", carried to the next output [INT64_MAX].
extern int64_t input_recording_time;
extern AVIOContext* progress_avio;      // [null], closed with avio_close
extern FILE* vstats_file;               // [null]
extern uint8_t* subtitle_out;           // [null]

// ---- report and signal state ----
extern int64_t lastReportTime;          // [-1] microseconds of the last report
extern int nb_frames_dup;               // [0]
extern int nb_frames_drop;              // [0]
extern int64_t video_size;              // [0]
extern int64_t audio_size;              // [0]
extern int64_t subtitle_size;           // [0]
extern int64_t extra_size;              // [0]
extern int received_sigterm;            // [0]
extern int received_nb_signals;         // [0]

// ---- run parameters, set by the in-process runner before each run ----
// position and total in seconds; the result is ignored
typedef int32_t (*ProgressHook)(int32_t position, int32_t total, const wchar_t* name, void* owner);
extern int32_t runPass;                          // [0] 0 single, 1 or 2
extern float passWeight;                         // [0.5] share of pass 1
extern int32_t totalSeconds;                     // [0]
extern void* progressOwner;                      // [null]
extern const wchar_t* progressName;              // [null]
extern const std::atomic<uint8_t>* cancelFlag;   // [null] non-zero asks the run to stop
extern ProgressHook progressHook;                // [null]
extern int32_t runStatus;                        // [1]

// What the last run wrote, for its caller to judge: kept past the clean-up, cleared
// when the next run starts.
struct RunOutcome {
    int audioStreams;      // output streams of audio
    int videoStreams;      // output streams of video
    int64_t audioPackets;  // packets written to the audio streams
};
extern RunOutcome lastRun;

// ---- the option side ----
// The transcoder's option table (ends with an empty entry).
extern const OptionDef transcoder_options[];
// Splits argv, applies the global options and opens every input, then every output.
// 0 or a negative FFmpeg error (the stage's message logged).
int ffmpeg_parse_options(int argc, char** argv);
// The codec a stream decodes with: FFmpeg's first choice, as ffmpeg.exe takes it. For
// MP3 that is the floating-point decoder, which keeps the peaks above full scale of loud
// masters that the fixed-point one ("mp3") clips; both roads then decode alike.
const AVCodec* find_default_decoder(enum AVCodecID id);
// A known channel layout for the decoder when the file gave only a count: the default
// one for counts up to guess_layout_max. 0 when none could be had.
int guess_input_channel_layout(InputStream* ist);

// ---- the filter side ----
// open_output_file makes the simple graph of every encoded audio and video stream
// (init_simple_filtergraph, after flagging its input stream DECODING_FOR_OST) and sets
// that graph's OutputFilter wishes from the encoder context (format, rate, layout, size,
// frame rate) or the encoder's lists; "-filter_complex" graphs are made by the option
// and bound by init_complex_filtergraph after the inputs are open. Configuring them
// (configure_filtergraph) is the transcode's start.
int init_simple_filtergraph(InputStream* ist, OutputStream* ost);
int init_complex_filtergraph(FilterGraph* fg);
int configure_filtergraph(FilterGraph* fg);
int filtergraph_is_simple(FilterGraph* fg);
int ist_in_filtergraph(FilterGraph* fg, InputStream* ist);

// ---- the run ----
int ffmpegMain(int argc, char** argv);
void cleanupTranscoder();
void resetTranscoderState();

} // namespace s::fftools
