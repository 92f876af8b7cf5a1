#include "engine/fftools/SampleGuard.h"

#include <cmath>

#include "engine/ffmpeg/FfmpegLibraries.h"

namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

template <class T>
size_t bound(T* samples, size_t count, double held) {
    const T limit = static_cast<T>(held);
    size_t changed = 0;
    for (size_t i = 0; i < count; ++i) {
        const T v = samples[i];
        // One compare keeps the common case fast; NaN fails it too.
        if (v >= -limit && v <= limit) {
            continue;
        }
        samples[i] = std::isnan(v) ? T(0) : v > 0 ? limit : -limit;
        ++changed;
    }
    return changed;
}

} // namespace

double SampleGuard::limitBeforeVolume(int volume) {
    return volume > 256 ? LIMIT * 256 / volume : LIMIT;
}

size_t SampleGuard::boundFloats(float* samples, size_t count, double limit) {
    return bound(samples, count, limit);
}

size_t SampleGuard::boundDoubles(double* samples, size_t count, double limit) {
    return bound(samples, count, limit);
}

int64_t SampleGuard::boundFrame(AVFrame* frame, double limit) {
    if (frame == nullptr || frame->nb_samples <= 0) {
        return 0;
    }
    const AVSampleFormat format = static_cast<AVSampleFormat>(frame->format);
    const bool isFloat = format == AV_SAMPLE_FMT_FLT || format == AV_SAMPLE_FMT_FLTP;
    const bool isDouble = format == AV_SAMPLE_FMT_DBL || format == AV_SAMPLE_FMT_DBLP;
    if (!isFloat && !isDouble) {
        return 0;
    }
    const int channels = frame->ch_layout.nb_channels > 0 ? frame->ch_layout.nb_channels : 1;
    const bool planar = format == AV_SAMPLE_FMT_FLTP || format == AV_SAMPLE_FMT_DBLP;
    const int planes = planar ? channels : 1;
    const size_t perPlane = static_cast<size_t>(frame->nb_samples) * (planar ? 1 : channels);
    // Look before writing: a frame that needs nothing keeps its shared buffers.
    int64_t outside = 0;
    for (int p = 0; p < planes && outside == 0; ++p) {
        const uint8_t* data = frame->extended_data[p];
        for (size_t i = 0; i < perPlane; ++i) {
            const double v = isFloat ? reinterpret_cast<const float*>(data)[i] : reinterpret_cast<const double*>(data)[i];
            if (!(v >= -limit && v <= limit)) {
                outside = 1;
                break;
            }
        }
    }
    if (outside == 0) {
        return 0;
    }
    const int err = ff::av_frame_make_writable(frame);
    if (err < 0) {
        return err;
    }
    int64_t changed = 0;
    for (int p = 0; p < planes; ++p) {
        uint8_t* data = frame->extended_data[p];
        changed += static_cast<int64_t>(isFloat ? boundFloats(reinterpret_cast<float*>(data), perPlane, limit)
                                                : boundDoubles(reinterpret_cast<double*>(data), perPlane, limit));
    }
    return changed;
}

} // namespace s::fftools
