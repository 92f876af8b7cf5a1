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
}

// The seven FFmpeg DLLs, bound by file name at start-up (no import libraries, so the
// program starts without them). Every FFmpeg function the program calls is one
// process-wide pointer below, named after the function and typed from its header;
// call them qualified (s::ffmpeg::avformat_open_input), and only once
// loadFfmpegLibraries() has answered true. A function the program starts calling is
// added to its library's list here, in the order the binder checks it.
#define S_FFMPEG_AVCODEC_EXPORTS(X) \
    X(avcodec_find_decoder)         \
    X(avcodec_find_decoder_by_name) \
    X(avcodec_get_name)             \
    X(avcodec_alloc_context3)       \
    X(avcodec_parameters_to_context) \
    X(avcodec_open2)                \
    X(avcodec_free_context)         \
    X(av_get_profile_name)          \
    X(av_get_bits_per_sample)
#define S_FFMPEG_AVDEVICE_EXPORTS(X) \
    X(avdevice_register_all)
#define S_FFMPEG_AVFILTER_EXPORTS(X)
#define S_FFMPEG_AVFORMAT_EXPORTS(X)  \
    X(avformat_open_input)            \
    X(avformat_find_stream_info)      \
    X(avformat_close_input)           \
    X(avio_size)                      \
    X(av_guess_sample_aspect_ratio)   \
    X(avformat_network_init)          \
    X(avformat_network_deinit)
#define S_FFMPEG_AVUTIL_EXPORTS(X)    \
    X(av_log_set_flags)               \
    X(av_dict_get)                    \
    X(av_fourcc_make_string)          \
    X(av_reduce)                      \
    X(av_get_pix_fmt_name)
#define S_FFMPEG_SWRESAMPLE_EXPORTS(X)
#define S_FFMPEG_SWSCALE_EXPORTS(X)

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
