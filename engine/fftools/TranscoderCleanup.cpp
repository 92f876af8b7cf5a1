#include <windows.h>
#include <psapi.h>

#include <climits>
#include <cstdio>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/TranscoderState.h"
#include "engine/fftools/VideoStatistics.h"

// The end of every run: everything a run allocated is freed and every process-wide
// value goes back to its initial value, so the next run in this process starts exactly
// as the first did. Every free tolerates a list filled only part way (a run that failed
// while opening its files).
namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

void freeFilterGraphs() {
    for (int i = 0; i < nb_filtergraphs; ++i) {
        FilterGraph* fg = filtergraphs[i];
        if (fg == nullptr) {
            continue;
        }
        ff::avfilter_graph_free(&fg->graph);
        for (int j = 0; j < fg->nb_inputs; ++j) {
            InputFilter* ifilter = fg->inputs[j];
            if (ifilter == nullptr) {
                continue;
            }
            ff::av_freep(&ifilter->name);
            ff::av_channel_layout_uninit(&ifilter->ch_layout);
            ff::av_freep(&fg->inputs[j]);
        }
        ff::av_freep(&fg->inputs);
        for (int j = 0; j < fg->nb_outputs; ++j) {
            OutputFilter* ofilter = fg->outputs[j];
            if (ofilter == nullptr) {
                continue;
            }
            ff::avfilter_inout_free(&ofilter->out_tmp);
            ff::av_freep(&ofilter->name);
            ff::av_channel_layout_uninit(&ofilter->ch_layout);
            ff::av_freep(&fg->outputs[j]);
        }
        ff::av_freep(&fg->outputs);
        ff::av_freep(&fg->graph_desc);
        ff::av_freep(&filtergraphs[i]);
    }
    ff::av_freep(&filtergraphs);
}

void freeOutputFiles() {
    for (int i = 0; i < nb_output_files; ++i) {
        OutputFile* of = output_files[i];
        if (of == nullptr) {
            continue;
        }
        AVFormatContext* s = of->ctx;
        if (s != nullptr && s->oformat != nullptr && !(s->oformat->flags & AVFMT_NOFILE)) {
            // Closed without a trailer when the run did not get that far.
            ff::avio_closep(&s->pb);
        }
        ff::avformat_free_context(s);
        ff::av_dict_free(&of->opts);
        ff::av_freep(&output_files[i]);
    }
}

void freeOutputStreams() {
    for (int i = 0; i < nb_output_streams; ++i) {
        OutputStream* ost = output_streams[i];
        if (ost == nullptr) {
            continue;
        }
        ff::av_bsf_free(&ost->bsf_ctx);
        ff::av_freep(&ost->bsf_names);
        ff::av_frame_free(&ost->filtered_frame);
        ff::av_frame_free(&ost->last_frame);
        ff::av_packet_free(&ost->pkt);
        ff::av_freep(&ost->forced_keyframes);
        ff::av_expr_free(ost->forced_keyframes_pexpr);
        ost->forced_keyframes_pexpr = nullptr;
        ff::av_freep(&ost->forced_kf_pts);
        ff::av_freep(&ost->avfilter);
        ff::av_freep(&ost->logfile_prefix);
        ff::av_freep(&ost->audio_channels_map);
        if (ost->logfile != nullptr) {
            std::fclose(ost->logfile);
            ost->logfile = nullptr;
        }
        if (ost->muxing_queue != nullptr) {
            AVPacket* pkt = nullptr;
            while (ff::av_fifo_read(ost->muxing_queue, &pkt, 1) >= 0) {
                ff::av_packet_free(&pkt);
            }
            ff::av_fifo_freep2(&ost->muxing_queue);
        }
        ff::av_dict_free(&ost->encoder_opts);
        ff::av_dict_free(&ost->sws_dict);
        ff::av_dict_free(&ost->swr_opts);
        ff::av_dict_free(&ost->resample_opts);
        ff::avcodec_free_context(&ost->enc_ctx);
        ff::av_freep(&output_streams[i]);
    }
}

void freeInputFiles() {
    for (int i = 0; i < nb_input_files; ++i) {
        InputFile* f = input_files[i];
        if (f == nullptr) {
            continue;
        }
        ff::avformat_close_input(&f->ctx);
        ff::av_packet_free(&f->pkt);
        ff::av_freep(&input_files[i]);
    }
}

void freeInputStreams() {
    for (int i = 0; i < nb_input_streams; ++i) {
        InputStream* ist = input_streams[i];
        if (ist == nullptr) {
            continue;
        }
        ff::av_frame_free(&ist->decoded_frame);
        ff::av_frame_free(&ist->filter_frame);
        ff::av_packet_free(&ist->pkt);
        ff::av_dict_free(&ist->decoder_opts);
        ff::avsubtitle_free(&ist->prev_sub.subtitle);
        ff::av_frame_free(&ist->sub2video.frame);
        ff::av_freep(&ist->filters);
        ff::avcodec_free_context(&ist->dec_ctx);
        ff::av_freep(&input_streams[i]);
    }
}

} // namespace

void resetTranscoderState() {
    runPass = 0;
    passWeight = 0.5f;
    totalSeconds = 0;
    progressOwner = nullptr;
    progressName = nullptr;
    cancelFlag = nullptr;
    progressHook = nullptr;
    runStatus = 1;

    lastReportTime = -1;
    nb_frames_dup = 0;
    nb_frames_drop = 0;
    video_size = 0;
    audio_size = 0;
    subtitle_size = 0;
    extra_size = 0;
    received_sigterm = 0;
    received_nb_signals = 0;

    audio_drift_threshold = 0.1f;
    dts_delta_threshold = 10;
    dts_error_threshold = 3600 * 30;
    audio_volume = 256;
    audio_sync_method = 0;
    video_sync_method = VSYNC_AUTO;
    copy_tb = -1;
    print_stats = -1;
    stdin_interaction = 1;
    intra_dc_precision = 8;

    do_deinterlace = 0;
    do_benchmark = 0;
    do_benchmark_all = 0;
    do_hex_dump = 0;
    do_pkt_dump = 0;
    copy_ts = 0;
    debug_ts = 0;
    exit_on_error = 0;
    qp_hist = 0;
    reset_qp_histogram();
    frame_bits_per_raw_sample = 0;
    intra_only = 0;
    file_overwrite = 0;
    no_file_overwrite = 0;
    video_discard = 0;
    do_psnr = 0;
    input_sync = 0;

    input_recording_time = INT64_MAX;

    input_files = nullptr;
    nb_input_files = 0;
    input_streams = nullptr;
    nb_input_streams = 0;
    output_files = nullptr;
    nb_output_files = 0;
    output_streams = nullptr;
    nb_output_streams = 0;
    filtergraphs = nullptr;
    nb_filtergraphs = 0;
    subtitle_out = nullptr;
    vstats_file = nullptr;

    if (progress_avio != nullptr) {
        ff::avio_closep(&progress_avio);
    }
    progress_avio = nullptr;
}

void cleanupTranscoder() {
    if (do_benchmark) {
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof(memory);
        GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
        ff::av_log(nullptr, AV_LOG_INFO, "bench: maxrss=%ikB\n", static_cast<int>(memory.PeakPagefileUsage / 1024));
    }
    freeFilterGraphs();
    freeOutputFiles();
    freeOutputStreams();
    freeInputFiles();
    freeInputStreams();
    if (vstats_file != nullptr) {
        if (std::fclose(vstats_file) != 0) {
            ff::av_log(nullptr, AV_LOG_ERROR, "Error closing vstats file, loss of information possible\n");
        }
        vstats_file = nullptr;
    }
    ff::av_freep(&vstats_filename);
    ff::av_freep(&subtitle_out);
    ff::av_freep(&input_streams);
    ff::av_freep(&input_files);
    ff::av_freep(&output_streams);
    ff::av_freep(&output_files);
    uninit_opts();
    if (received_sigterm) {
        ff::av_log(nullptr, AV_LOG_INFO, "Received signal %d: terminating.\n", received_sigterm);
    }
    resetTranscoderState();
}

} // namespace s::fftools
