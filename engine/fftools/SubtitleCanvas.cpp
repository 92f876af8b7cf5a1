#include "engine/fftools/SubtitleCanvas.h"

#include <cstring>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/FilterGraphs.h"
#include "engine/fftools/TranscodeLoop.h"

namespace s::fftools {

namespace ff = s::ffmpeg;

namespace {

// A new transparent canvas: the graph may still hold the previous one.
int blank_canvas(InputStream* ist) {
    AVFrame* frame = ist->sub2video.frame;
    ff::av_frame_unref(frame);
    frame->format = AV_PIX_FMT_RGB32;
    frame->width = ist->sub2video.w;
    frame->height = ist->sub2video.h;
    const int ret = ff::av_frame_get_buffer(frame, 0);
    if (ret < 0) {
        return ret;
    }
    std::memset(frame->data[0], 0, static_cast<size_t>(frame->height) * static_cast<size_t>(frame->linesize[0]));
    return 0;
}

// Sends the current canvas at pts (the stream's time base) to every graph input of ist.
void push_canvas(InputStream* ist, int64_t pts) {
    AVFrame* frame = ist->sub2video.frame;
    ist->sub2video.last_pts = frame->pts = pts;
    for (int i = 0; i < ist->nb_filters; ++i) {
        InputFilter* ifilter = ist->filters[i];
        if (ifilter->filter == nullptr || ifilter->eof) {
            continue;
        }
        const int ret = ff::av_buffersrc_add_frame_flags(ifilter->filter, frame,
                                                         AV_BUFFERSRC_FLAG_KEEP_REF | AV_BUFFERSRC_FLAG_PUSH);
        if (ret < 0 && ret != AVERROR_EOF) {
            ff::av_log(nullptr, AV_LOG_WARNING, "Error while add the frame to buffer source(%s).\n", errorText(ret));
        }
    }
}

} // namespace

bool sub2video_copy_rect(uint8_t* dst, int dstLinesize, int w, int h, const AVSubtitleRect* r) {
    if (r->type != SUBTITLE_BITMAP) {
        ff::av_log(nullptr, AV_LOG_WARNING, "sub2video: non-bitmap subtitle\n");
        return false;
    }
    if (r->x < 0 || r->x + r->w > w || r->y < 0 || r->y + r->h > h) {
        ff::av_log(nullptr, AV_LOG_WARNING, "sub2video: rectangle overflowing\n");
        return false;
    }
    dst += r->y * dstLinesize + r->x * 4;
    const uint8_t* src = r->data[0];
    const uint32_t* palette = reinterpret_cast<const uint32_t*>(r->data[1]);
    for (int y = 0; y < r->h; ++y) {
        uint32_t* line = reinterpret_cast<uint32_t*>(dst);
        for (int x = 0; x < r->w; ++x) {
            line[x] = palette[src[x]];
        }
        dst += dstLinesize;
        src += r->linesize[0];
    }
    return true;
}

int sub2video_prepare(InputStream* ist, InputFilter* ifilter) {
    AVFormatContext* avf = input_files[ist->file_index]->ctx;
    int w = ist->dec_ctx->width;
    int h = ist->dec_ctx->height;
    if (!(w && h)) {
        for (unsigned i = 0; i < avf->nb_streams; ++i) {
            const AVCodecParameters* par = avf->streams[i]->codecpar;
            if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
                w = FFMAX(w, par->width);
                h = FFMAX(h, par->height);
            }
        }
        if (!(w && h)) {
            w = FFMAX(w, 720);
            h = FFMAX(h, 576);
        }
        ff::av_log(avf, AV_LOG_INFO, "sub2video: using %dx%d canvas\n", w, h);
    }
    ist->sub2video.w = ist->dec_ctx->width = w;
    ist->sub2video.h = ist->dec_ctx->height = h;
    // The rectangles are paletted, but their palettes need not agree: the canvas is RGB32.
    ifilter->width = w;
    ifilter->height = h;
    ifilter->format = AV_PIX_FMT_RGB32;
    if (ist->sub2video.frame == nullptr && (ist->sub2video.frame = ff::av_frame_alloc()) == nullptr) {
        return AVERROR(ENOMEM);
    }
    return blank_canvas(ist);
}

void sub2video_update(InputStream* ist, const AVSubtitle* sub) {
    if (ist->sub2video.frame == nullptr) {
        return;
    }
    int64_t pts = 0;
    int64_t endPts = 0;
    unsigned rects = 0;
    if (sub != nullptr) {
        pts = ff::av_rescale_q(sub->pts + sub->start_display_time * 1000LL, TIME_BASE_Q, ist->st->time_base);
        endPts = ff::av_rescale_q(sub->pts + sub->end_display_time * 1000LL, TIME_BASE_Q, ist->st->time_base);
        rects = sub->num_rects;
    } else {
        pts = ist->sub2video.end_pts;
        endPts = INT64_MAX;
    }
    if (blank_canvas(ist) < 0) {
        ff::av_log(ist->dec_ctx, AV_LOG_ERROR, "Impossible to get a blank canvas.\n");
        return;
    }
    AVFrame* frame = ist->sub2video.frame;
    for (unsigned i = 0; i < rects; ++i) {
        sub2video_copy_rect(frame->data[0], frame->linesize[0], frame->width, frame->height, sub->rects[i]);
    }
    push_canvas(ist, pts);
    ist->sub2video.end_pts = endPts;
}

void sub2video_heartbeat(InputStream* ist, int64_t pts) {
    const InputFile* infile = input_files[ist->file_index];
    for (int i = 0; i < infile->nb_streams; ++i) {
        InputStream* other = input_streams[infile->ist_index + i];
        if (other->sub2video.frame == nullptr || other->sub2video.frame->buf[0] == nullptr) {
            continue;
        }
        // Subtitles are usually muxed ahead of the other streams; one tick back is
        // enough not to overtake them.
        const int64_t pts2 = ff::av_rescale_q(pts, ist->st->time_base, other->st->time_base) - 1;
        if (pts2 <= other->sub2video.last_pts) {
            continue;  // the subtitle is ahead already
        }
        if (pts2 >= other->sub2video.end_pts) {
            sub2video_update(other, nullptr);
        }
        unsigned requests = 0;
        for (int j = 0; j < other->nb_filters; ++j) {
            if (other->filters[j]->filter != nullptr) {
                requests += ff::av_buffersrc_get_nb_failed_requests(other->filters[j]->filter);
            }
        }
        if (requests > 0) {
            push_canvas(other, pts2);
        }
    }
}

void sub2video_flush(InputStream* ist) {
    for (int i = 0; i < ist->nb_filters; ++i) {
        ifilter_send_eof(ist->filters[i], ist->next_pts);
    }
}

} // namespace s::fftools
