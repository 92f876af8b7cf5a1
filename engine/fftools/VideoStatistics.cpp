#include "engine/fftools/VideoStatistics.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/TranscodeLoop.h"

extern "C" {
#include <libavutil/intreadwrite.h>
}

namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

// How often each whole QP was reported.
uint64_t qp_histogram[52];

} // namespace

double psnr(double d) {
    return -10.0 * std::log(d) / std::log(10.0);
}

void read_quality_stats(OutputStream* ost, const AVPacket* pkt) {
    size_t size = 0;
    const uint8_t* stats = ff::av_packet_get_side_data(pkt, AV_PKT_DATA_QUALITY_STATS, &size);
    if (stats == nullptr || size < 6) {
        ost->pict_type = AV_PICTURE_TYPE_NONE;
        return;
    }
    // quality (32-bit), picture type, error count, two reserved bytes, then the errors
    ost->quality = static_cast<int>(AV_RL32(stats));
    ost->pict_type = stats[4];
    const int count = stats[5];
    for (int i = 0; i < 4; ++i) {
        ost->error[i] = i < count && size >= 8 + 8 * static_cast<size_t>(i + 1)
                            ? static_cast<int64_t>(AV_RL64(stats + 8 + 8 * i))
                            : -1;
    }
}

int do_video_stats(OutputStream* ost, int frameSize) {
    if (vstats_file == nullptr) {
        vstats_file = fopen_utf8(vstats_filename, L"w");
        if (vstats_file == nullptr) {
            ff::av_log(nullptr, AV_LOG_FATAL, "fopen: %s\n", std::strerror(errno));
            return -1;
        }
    }
    const AVCodecContext* enc = ost->enc_ctx;
    if (enc->codec_type != AVMEDIA_TYPE_VIDEO) {
        return 0;
    }
    std::fprintf(vstats_file, "frame= %5d q= %2.1f ", ost->frame_number,
                 static_cast<double>(ost->quality / static_cast<float>(FF_QP2LAMBDA)));
    if (enc->flags & AV_CODEC_FLAG_PSNR) {
        std::fprintf(vstats_file, "PSNR= %6.2f ", psnr(ost->error[0] / (enc->width * enc->height * 255.0 * 255.0)));
    }
    std::fprintf(vstats_file, "f_size= %6d ", frameSize);
    double ti1 = ost->sync_opts * av_q2d(enc->time_base);
    if (ti1 < 0.01) {
        ti1 = 0.01;
    }
    const double bitrate = (frameSize * 8) / av_q2d(enc->time_base) / 1000.0;
    const double avgBitrate = static_cast<double>(video_size * 8) / ti1 / 1000.0;
    std::fprintf(vstats_file, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
                 static_cast<double>(video_size) / 1024, ti1, bitrate, avgBitrate);
    std::fprintf(vstats_file, "type= %c\n", ff::av_get_picture_type_char(static_cast<AVPictureType>(ost->pict_type)));
    return 0;
}

void append_video_quality(char* buf, size_t size, char* script, size_t scriptSize, OutputStream* ost, int isLast) {
    const AVCodecContext* enc = ost->enc_ctx;
    if (qp_hist) {
        const int qp = static_cast<int>(std::lrintf(ost->quality / static_cast<float>(FF_QP2LAMBDA)));
        if (qp >= 0 && qp < static_cast<int>(sizeof(qp_histogram) / sizeof(qp_histogram[0]))) {
            ++qp_histogram[qp];
        }
        for (int j = 0; j < 32; ++j) {
            appendf(buf, size, "%X", static_cast<int>(std::lrint(std::log2(static_cast<double>(qp_histogram[j] + 1)))));
        }
    }
    if ((enc->flags & AV_CODEC_FLAG_PSNR) && (ost->pict_type != AV_PICTURE_TYPE_NONE || isLast)) {
        static const char type[3] = {'Y', 'U', 'V'};
        double errorSum = 0;
        double scaleSum = 0;
        appendf(buf, size, "PSNR=");
        for (int j = 0; j < 3; ++j) {
            double error = 0;
            double scale = enc->width * enc->height * 255.0 * 255.0;
            if (isLast) {
                error = static_cast<double>(enc->error[j]);
                scale *= ost->frame_number;
            } else {
                error = static_cast<double>(ost->error[j]);
            }
            if (j != 0) {
                scale /= 4;
            }
            errorSum += error;
            scaleSum += scale;
            const double p = psnr(error / scale);
            appendf(buf, size, "%c:%2.2f ", type[j], p);
            appendf(script, scriptSize, "stream_%d_%d_psnr_%c=%2.2f\n", ost->file_index, ost->index, type[j] | 32, p);
        }
        const double p = psnr(errorSum / scaleSum);
        appendf(buf, size, "*:%2.2f ", p);
        appendf(script, scriptSize, "stream_%d_%d_psnr_all=%2.2f\n", ost->file_index, ost->index, p);
    }
}

void reset_qp_histogram() {
    std::memset(qp_histogram, 0, sizeof(qp_histogram));
}

} // namespace s::fftools
