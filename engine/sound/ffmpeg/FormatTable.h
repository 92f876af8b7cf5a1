#pragma once
#include <cstdint>

namespace s::video { class StreamInfo; }

namespace s::sound::ffmpeg {

// What an audio format id of the "Convert to:" list (1 to 34) means to FFmpeg: the
// output file's extension, the encoder (by sample-layout code for PCM), and which
// source codecs a file of an extension takes unchanged. All texts are constants in
// lower case and are compared exactly.
class FormatTable {
public:
    // Sample-layout codes of the job record: 8, 16, 24, 32 signed; 100 + n unsigned.
    static constexpr int32_t BITS_FLOAT32 = 1032;
    static constexpr int32_t BITS_FLOAT64 = 1064;

    // The extension with its dot; ".obj" for an id outside the list.
    static const wchar_t* audioOutputExtension(int32_t formatId);
    // The FFmpeg encoder name, or null when the id has none. Ids 201 to 211 name the
    // further audio encoders of video files.
    static const wchar_t* audioCodecForFormat(int32_t formatId, int32_t bitsCode);
    // The code "Same" (0) stands for: the source's own layout as the PCM container of
    // formatId takes it, 16-bit for lossy sources or none.
    static int32_t sourceBitsCode(int32_t formatId, const video::StreamInfo* source);
    // audioCodecForFormat with code 0 taken from the source.
    static const wchar_t* audioCodecForSource(int32_t formatId, int32_t bitsCode, const video::StreamInfo* source);
    // The sample format of FLAC or ALAC for the source: a lossless source's depth, 16 bits
    // for a lossy one; null for other encoders or no source.
    static const wchar_t* depthSampleFormat(const wchar_t* encoder, const video::StreamInfo* source);
    // The raw muxer of a PCM encoder ("pcm_s16le" -> "s16le"); null for other encoders.
    static const wchar_t* rawMuxerForCodec(const wchar_t* encoder);
    // Whether a source sound stream of this codec may be copied unchanged into a file
    // of this extension. Codecs go by the prober's exact names ("mp3", "Unknown").
    static bool codecFitsExtension(const wchar_t* codec, const wchar_t* extension);
    // The same for a source picture stream.
    static bool videoCodecFitsExtension(const wchar_t* codec, const wchar_t* extension);

private:
    FormatTable() = delete;
};

} // namespace s::sound::ffmpeg
