#pragma once
#include <cstddef>

#include "engine/fftools/TranscoderState.h"

// The encoder's per-picture figures and what the transcoder makes of them: the lines of
// the "-vstats" file, and the QP histogram ("-qphist") and PSNR ("-psnr") parts of the
// progress report. The figures come with each encoded packet (its quality statistics).
namespace s::fftools {

// Takes the quality, picture type and error sums the encoder attached to pkt into ost.
void read_quality_stats(OutputStream* ost, const AVPacket* pkt);

// Appends the line of one encoded picture of frameSize bytes to the statistics file,
// opened (and truncated) on the first call. 0, or -1 when the file cannot be opened.
int do_video_stats(OutputStream* ost, int frameSize);

// The QP histogram and the PSNR figures of the first video stream, appended to the
// report line (buf) and the progress output (script). isLast: the closing report, whose
// PSNR covers the whole stream.
void append_video_quality(char* buf, size_t size, char* script, size_t scriptSize, OutputStream* ost, int isLast);

// Empties the QP histogram (it counts over one run).
void reset_qp_histogram();

// Peak signal-to-noise ratio in dB of a mean squared error relative to the peak squared.
double psnr(double d);

} // namespace s::fftools
