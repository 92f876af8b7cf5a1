#pragma once
#include "engine/fftools/TranscoderState.h"

// The filter side of the in-process transcoder beyond what the shared state declares:
// handing decoded frames and end-of-stream to a graph's buffer source. Graphs are built
// and configured by init_simple_filtergraph, init_complex_filtergraph and
// configure_filtergraph (declared with the shared state).
namespace s::fftools {

// Feeds one decoded frame (timestamps in the source's time base) to the input's buffer
// source. A frame whose format, rate, layout or size differs from what the source was
// configured with rebuilds the graph first, unless the stream forbids it
// ("-reinit_filter 0"). 0 or a negative FFmpeg error (-1 after a logged message).
int ifilter_send_frame(InputFilter* ifilter, AVFrame* frame);
// Closes the input's buffer source at pts (AV_TIME_BASE units). 0 or negative.
int ifilter_send_eof(InputFilter* ifilter, int64_t pts);

// The arguments of an audio buffer source: time base 1/rate, rate, sample format, and
// the layout by name (a mask as hex would do as well; a decimal one is misread), or only
// the channel count when the order is unknown. Written into buf (size bytes).
void audio_source_args(char* buf, size_t size, int sample_rate, int format, const AVChannelLayout* layout);

} // namespace s::fftools
