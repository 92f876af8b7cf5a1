#include "engine/fftools/TranscoderState.h"

#include <climits>

namespace s::fftools {

// Initial values are the reset values: a process starts as if a run had just ended.
InputStream** input_streams = nullptr;
int nb_input_streams = 0;
InputFile** input_files = nullptr;
int nb_input_files = 0;
OutputStream** output_streams = nullptr;
int nb_output_streams = 0;
OutputFile** output_files = nullptr;
int nb_output_files = 0;
FilterGraph** filtergraphs = nullptr;
int nb_filtergraphs = 0;

char* vstats_filename = nullptr;
float audio_drift_threshold = 0.1f;
float dts_delta_threshold = 10;
float dts_error_threshold = 3600 * 30;
int audio_volume = 256;
int audio_sync_method = 0;
int video_sync_method = VSYNC_AUTO;
int do_deinterlace = 0;
int do_benchmark = 0;
int do_benchmark_all = 0;
int do_hex_dump = 0;
int do_pkt_dump = 0;
int copy_ts = 0;
int copy_tb = -1;
int debug_ts = 0;
int exit_on_error = 0;
int print_stats = -1;
int qp_hist = 0;
int stdin_interaction = 1;
int frame_bits_per_raw_sample = 0;
int intra_only = 0;
int file_overwrite = 0;
int no_file_overwrite = 0;
int video_discard = 0;
int intra_dc_precision = 8;
int do_psnr = 0;
int input_sync = 0;
int64_t input_recording_time = INT64_MAX;
AVIOContext* progress_avio = nullptr;
FILE* vstats_file = nullptr;
uint8_t* subtitle_out = nullptr;

int64_t lastReportTime = -1;
int nb_frames_dup = 0;
int nb_frames_drop = 0;
int64_t video_size = 0;
int64_t audio_size = 0;
int64_t subtitle_size = 0;
int64_t extra_size = 0;
int received_sigterm = 0;
int received_nb_signals = 0;

int32_t runPass = 0;
float passWeight = 0.5f;
int32_t totalSeconds = 0;
void* progressOwner = nullptr;
const wchar_t* progressName = nullptr;
const std::atomic<uint8_t>* cancelFlag = nullptr;
ProgressHook progressHook = nullptr;
int32_t runStatus = 1;
RunOutcome lastRun{};

} // namespace s::fftools
