#pragma once
#include <cstdint>

#include "engine/fftools/TranscoderState.h"

// The transcode loop of the in-process transcoder and what its parts share: decoding,
// filtering, encoding and muxing one step at a time, the progress report with the
// run's progress hook, and cancellation between steps. Entered through ffmpegMain
// (declared with the shared state).
namespace s::fftools {

// AV_TIME_BASE_Q without the C compound literal.
constexpr AVRational TIME_BASE_Q{1, AV_TIME_BASE};

// FFmpeg's text for an error code (a buffer per call site is not needed: one run at a
// time, and the text is used at once).
const char* errorText(int err);

// Appends to the text in buf (size bytes), cutting it short rather than overflowing.
void appendf(char* buf, size_t size, const char* format, ...) __attribute__((format(gnu_printf, 3, 4)));

// Marks the stream as having all it will encode (with "-shortest", its file's other
// streams too).
void close_output_stream(OutputStream* ost);
// Through the stream's bitstream filters, if any, to the muxer (pkt in the stream's mux
// time base); eof drains the filters. 0, or -1 after a logged failure.
int output_packet(OutputFile* of, AVPacket* pkt, OutputStream* ost, bool eof);

// Pulls what the filter graphs have ready into their encoders; flush also takes what a
// graph that has ended still holds. 0 or negative.
int reap_filters(int flush);

// The transcode proper, after the files are open: 0 when it completed, negative on
// failure or cancellation (runStatus tells which).
int transcode();

// The position and total the progress hook is given for an output time of secs whole
// seconds, from the run parameters: (1, 1) without a total; in a two-pass job the first
// pass covers 0 .. weight x total and the second the rest. False when the run's pass
// number calls for no report.
bool progressHookValues(int32_t secs, int32_t* position, int32_t* total);

// The report FFmpeg prints while transcoding, throttled to one per 500 ms (the first
// call only starts the clock), and the progress hook. isLast: the closing report.
void print_report(int isLast, int64_t timerStart, int64_t now);

} // namespace s::fftools
