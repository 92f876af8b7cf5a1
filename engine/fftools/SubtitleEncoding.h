#pragma once
#include "engine/fftools/TranscoderState.h"

// Subtitles that are encoded rather than copied: each decoded subtitle is re-encoded by
// the output stream's encoder (text to text or bitmap to bitmap) and muxed with its
// display times; decoded subtitles also feed the canvases of the graphs that take the
// stream as a picture input.
namespace s::fftools {

// The encoder's set-up before it is opened: millisecond time base, the source's size
// when none was asked for, and the decoder's style header (ASS needs it). A negative
// error when the two codecs are not both text or both bitmap.
int init_subtitle_encoder(OutputStream* ost);

// Decodes one packet of a subtitle stream (null: the input ended) and hands the result
// to the canvas and to every output stream that encodes it. 0, or -1 when the run must
// end (logged).
int transcode_subtitles(InputStream* ist, const AVPacket* pkt);

} // namespace s::fftools
