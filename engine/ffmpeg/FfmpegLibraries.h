#pragma once
#include <windows.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
#include <libavutil/rational.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/avstring.h>
#include <libavutil/eval.h>
#include <libavcodec/bsf.h>
#include <libavfilter/avfilter.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/fifo.h>
#include <libavutil/time.h>
}

// The seven FFmpeg DLLs, bound by file name at start-up (no import libraries, so the
// program starts without them). Every FFmpeg function the program calls is one
// process-wide pointer below, named after the function and typed from its header;
// call them qualified (s::ffmpeg::avformat_open_input), and only once
// loadFfmpegLibraries() has answered true. A function the program starts calling is
// added to its library's list here, in the order the binder checks it.
#define S_FFMPEG_AVCODEC_EXPORTS(X) \
    X(avcodec_find_decoder) \
    X(avcodec_find_decoder_by_name) \
    X(avcodec_get_name) \
    X(avcodec_alloc_context3) \
    X(avcodec_parameters_to_context) \
    X(avcodec_open2) \
    X(avcodec_free_context) \
    X(av_get_profile_name) \
    X(av_get_bits_per_sample) \
    X(avcodec_find_encoder) \
    X(avcodec_find_encoder_by_name) \
    X(avcodec_descriptor_get) \
    X(avcodec_descriptor_get_by_name) \
    X(avcodec_get_class) \
    X(avcodec_parameters_from_context) \
    X(avcodec_parameters_copy) \
    X(av_codec_is_encoder) \
    X(av_codec_is_decoder) \
    X(av_bsf_get_by_name) \
    X(av_packet_alloc) \
    X(av_packet_free) \
    X(av_bsf_free) \
    X(av_bsf_init) \
    X(av_bsf_list_parse_str) \
    X(av_bsf_receive_packet) \
    X(av_bsf_send_packet) \
    X(av_packet_get_side_data) \
    X(av_packet_ref) \
    X(av_packet_rescale_ts) \
    X(av_packet_unref) \
    X(avcodec_find_best_pix_fmt_of_list) \
    X(avcodec_receive_frame) \
    X(avcodec_receive_packet) \
    X(avcodec_send_frame) \
    X(avcodec_send_packet) \
    X(avsubtitle_free) \
    X(av_get_exact_bits_per_sample) \
    X(avcodec_decode_subtitle2) \
    X(avcodec_encode_subtitle) \
    X(av_new_packet)
#define S_FFMPEG_AVDEVICE_EXPORTS(X) \
    X(avdevice_register_all)
#define S_FFMPEG_AVFILTER_EXPORTS(X) \
    X(av_buffersink_get_ch_layout) \
    X(av_buffersink_get_format) \
    X(av_buffersink_get_frame_flags) \
    X(av_buffersink_get_frame_rate) \
    X(av_buffersink_get_h) \
    X(av_buffersink_get_sample_aspect_ratio) \
    X(av_buffersink_get_sample_rate) \
    X(av_buffersink_get_time_base) \
    X(av_buffersink_get_w) \
    X(av_buffersink_set_frame_size) \
    X(av_buffersrc_add_frame_flags) \
    X(av_buffersrc_close) \
    X(av_buffersrc_get_nb_failed_requests) \
    X(avfilter_get_by_name) \
    X(avfilter_graph_alloc) \
    X(avfilter_graph_alloc_filter) \
    X(avfilter_graph_config) \
    X(avfilter_graph_create_filter) \
    X(avfilter_graph_free) \
    X(avfilter_graph_parse2) \
    X(avfilter_graph_request_oldest) \
    X(avfilter_init_str) \
    X(avfilter_inout_free) \
    X(avfilter_link) \
    X(avfilter_pad_get_name) \
    X(avfilter_pad_get_type)
#define S_FFMPEG_AVFORMAT_EXPORTS(X) \
    X(avformat_open_input) \
    X(avformat_find_stream_info) \
    X(avformat_close_input) \
    X(avio_size) \
    X(av_guess_sample_aspect_ratio) \
    X(avformat_network_init) \
    X(avformat_network_deinit) \
    X(avformat_alloc_context) \
    X(av_find_input_format) \
    X(avformat_alloc_output_context2) \
    X(avformat_new_stream) \
    X(avformat_get_class) \
    X(avio_open2) \
    X(avio_closep) \
    X(avio_check) \
    X(av_guess_codec) \
    X(avformat_query_codec) \
    X(av_dump_format) \
    X(avformat_free_context) \
    X(avformat_match_stream_specifier) \
    X(av_filename_number_test) \
    X(avformat_seek_file) \
    X(av_match_ext) \
    X(av_codec_get_id) \
    X(av_codec_get_tag2) \
    X(av_guess_frame_rate) \
    X(av_interleaved_write_frame) \
    X(av_read_frame) \
    X(av_stream_get_end_pts) \
    X(av_write_trailer) \
    X(avformat_transfer_internal_stream_timing_info) \
    X(av_stream_get_codec_timebase) \
    X(avformat_write_header) \
    X(avio_flush) \
    X(avio_seek) \
    X(avio_write) \
    X(avio_read) \
    X(av_new_program) \
    X(av_program_add_stream_index)
#define S_FFMPEG_AVUTIL_EXPORTS(X) \
    X(av_log_set_flags) \
    X(av_dict_get) \
    X(av_fourcc_make_string) \
    X(av_reduce) \
    X(av_get_pix_fmt_name) \
    X(av_log) \
    X(av_log_set_level) \
    X(av_log_set_callback) \
    X(av_log_format_line2) \
    X(av_strdup) \
    X(av_free) \
    X(av_freep) \
    X(av_malloc) \
    X(av_mallocz) \
    X(av_calloc) \
    X(av_realloc_array) \
    X(av_asprintf) \
    X(av_strerror) \
    X(av_strtod) \
    X(av_strcasecmp) \
    X(av_get_token) \
    X(av_dict_set) \
    X(av_dict_set_int) \
    X(av_dict_copy) \
    X(av_dict_free) \
    X(av_opt_find) \
    X(av_opt_set) \
    X(av_opt_set_int) \
    X(av_parse_time) \
    X(av_parse_video_size) \
    X(av_parse_video_rate) \
    X(av_parse_ratio) \
    X(av_get_pix_fmt) \
    X(av_get_sample_fmt) \
    X(av_channel_layout_from_string) \
    X(av_channel_layout_default) \
    X(av_channel_layout_from_mask) \
    X(av_channel_layout_copy) \
    X(av_channel_layout_uninit) \
    X(av_rescale_q) \
    X(av_get_media_type_string) \
    X(av_frame_alloc) \
    X(av_frame_free) \
    X(av_channel_layout_compare) \
    X(av_channel_layout_describe) \
    X(av_expr_free) \
    X(av_fifo_freep2) \
    X(av_fifo_read) \
    X(av_frame_ref) \
    X(av_frame_unref) \
    X(av_get_bytes_per_sample) \
    X(av_get_sample_fmt_name) \
    X(av_gettime) \
    X(av_gettime_relative) \
    X(av_mul_q) \
    X(av_add_q) \
    X(av_rescale_delta) \
    X(av_usleep) \
    X(av_fifo_alloc2) \
    X(av_frame_get_buffer) \
    X(av_frame_make_writable) \
    X(av_get_picture_type_char)
#define S_FFMPEG_SWRESAMPLE_EXPORTS(X) \
    X(swr_get_class)
#define S_FFMPEG_SWSCALE_EXPORTS(X) \
    X(sws_get_class)

namespace s::ffmpeg {

#define S_FFMPEG_DECLARE_POINTER(fn) extern decltype(&::fn) fn;
S_FFMPEG_AVCODEC_EXPORTS(S_FFMPEG_DECLARE_POINTER)
S_FFMPEG_AVDEVICE_EXPORTS(S_FFMPEG_DECLARE_POINTER)
S_FFMPEG_AVFILTER_EXPORTS(S_FFMPEG_DECLARE_POINTER)
S_FFMPEG_AVFORMAT_EXPORTS(S_FFMPEG_DECLARE_POINTER)
S_FFMPEG_AVUTIL_EXPORTS(S_FFMPEG_DECLARE_POINTER)
S_FFMPEG_SWRESAMPLE_EXPORTS(S_FFMPEG_DECLARE_POINTER)
S_FFMPEG_SWSCALE_EXPORTS(S_FFMPEG_DECLARE_POINTER)
#undef S_FFMPEG_DECLARE_POINTER

// One library each: loads the DLL (once, held until the process ends) and resolves its
// list. True when the DLL and every function of its list are there. A missing function
// shows "<dll>: <function> not found!"; any failure then shows "Failed to Load <dll>!!"
// with the error code, both as information boxes through the engine's message box.
bool bindAvcodec();
bool bindAvdevice();
bool bindAvfilter();
bool bindAvformat();
bool bindAvutil();
bool bindSwresample();
bool bindSwscale();

// Binds all seven in the order above (every one is tried, so each failing library is
// reported) and, when all are there, starts FFmpeg: repeated log lines skipped, devices
// registered, network initialised. Called once on the main thread at start-up; later
// calls answer the first call's result and show nothing.
bool loadFfmpegLibraries();
// True while the libraries are bound and started: the in-process road is open.
bool ffmpegLibrariesLoaded();
// The start-up's counterpart at shutdown: ends FFmpeg's network layer when it was
// started, and closes the in-process road. The DLLs stay loaded until exit.
void shutdownFfmpegLibraries();

} // namespace s::ffmpeg
