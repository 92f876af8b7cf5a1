#pragma once
#include "engine/fftools/TranscoderState.h"

// A subtitle stream given to a filter graph as a picture input: each subtitle is drawn
// onto a transparent RGB32 canvas of the video's size, and the canvas is sent again
// whenever the file moves on, so that a graph mixing it with video (overlay) is not
// left waiting for the next subtitle while the video piles up.
namespace s::fftools {

// Sets up the canvas of ist for the graph input ifilter: the decoder's size, else the
// largest video of the same file, else 720x576 ("sub2video: using %dx%d canvas").
// 0 or a negative error.
int sub2video_prepare(InputStream* ist, InputFilter* ifilter);

// Draws the subtitle's bitmap rectangles on a fresh canvas and sends it at the
// subtitle's start; null sends a blank canvas at the end of the previous subtitle.
// Nothing happens for a stream without a canvas.
void sub2video_update(InputStream* ist, const AVSubtitle* sub);

// A packet of ist's file was read at pts (ist's time base): every canvas of that file
// whose graph has asked for a picture gets its current one again (a blank one once the
// subtitle has ended).
void sub2video_heartbeat(InputStream* ist, int64_t pts);

// The stream ended: its graph inputs are closed.
void sub2video_flush(InputStream* ist);

// Copies one bitmap rectangle through its palette onto an RGB32 canvas of w x h (dst,
// dstLinesize bytes a line). False, with a warning, for a rectangle that is not a
// bitmap or does not fit.
bool sub2video_copy_rect(uint8_t* dst, int dstLinesize, int w, int h, const AVSubtitleRect* r);

} // namespace s::fftools
