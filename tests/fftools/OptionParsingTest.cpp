#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TranscoderFixture.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/TranscoderState.h"
#include "support/RawFile.h"

namespace ff = s::ffmpeg;
namespace ft = s::fftools;

namespace {

// "{in:name}" and "{out:name}" in an argument become full paths of the media folder.
std::vector<std::string> expand(const std::vector<std::string>& args, const std::string& folder) {
    std::vector<std::string> out;
    for (const std::string& a : args) {
        if (a.rfind("{in:", 0) == 0 || a.rfind("{out:", 0) == 0) {
            const size_t colon = a.find(':');
            out.push_back(folder + "\\" + a.substr(colon + 1, a.size() - colon - 2));
        } else {
            out.push_back(a);
        }
    }
    return out;
}

const char* entry(AVDictionary* dict, const char* key) {
    const AVDictionaryEntry* e = ff::av_dict_get(dict, key, nullptr, 0);
    return e != nullptr ? e->value : "";
}

std::string keys(AVDictionary* dict) {
    std::string text;
    const AVDictionaryEntry* e = nullptr;
    while ((e = ff::av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        text += std::string(e->key) + "=" + e->value + " ";
    }
    return text;
}

ft::OutputStream* firstOutput() {
    return ft::nb_output_streams > 0 ? ft::output_streams[0] : nullptr;
}

} // namespace

class OptionParsing : public TranscoderTest {
protected:
    std::string media() const { return utf8(L""); }
    void TearDown() override {
        ft::cleanupTranscoder();
        TranscoderTest::TearDown();
    }
};

// Command lines the program builds (and a few FFmpeg users write), each with what the
// openers must have made of it.
TEST_F(OptionParsing, AcceptedCommandsOpenWhatTheySay) {
    const std::string folder = utf8(L"").substr(0, utf8(L"").size() - 1);
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::function<void()> check;
    };
    const std::vector<Case> cases = {
        {"audio encoder with rate, channels and bit rate",
         {"-probesize", "100M", "-analyzeduration", "100M", "-i", "{in:tone.wav}", "-y", "-vn", "-max_muxing_queue_size",
          "9999", "-acodec", "libmp3lame", "-ar", "22050", "-ac", "1", "-ab", "64000", "{out:p1.mp3}"},
         [] {
             ASSERT_EQ(1, ft::nb_output_streams);
             ft::OutputStream* ost = firstOutput();
             EXPECT_STREQ("libmp3lame", ost->enc->name);
             EXPECT_EQ(22050, ost->enc_ctx->sample_rate);
             EXPECT_EQ(1, ost->enc_ctx->ch_layout.nb_channels);
             // the codec layer knows the old spelling itself
             EXPECT_STREQ("64000", entry(ost->encoder_opts, "ab")) << keys(ost->encoder_opts);
             EXPECT_EQ(9999, ost->max_muxing_queue_size);
             EXPECT_EQ(ft::DECODING_FOR_OST, ft::input_streams[0]->decoding_needed & ft::DECODING_FOR_OST);
             ASSERT_NE(nullptr, ost->filter) << "encoded audio gets its simple graph";
             EXPECT_EQ(22050, ost->filter->sample_rate);
         }},
        {"stream copy",
         {"-i", "{in:tone.m4a}", "-y", "-vn", "-codec:a", "copy", "{out:p2.m4a}"},
         [] {
             ASSERT_EQ(1, ft::nb_output_streams);
             EXPECT_TRUE(firstOutput()->stream_copy);
             EXPECT_EQ(nullptr, firstOutput()->filter);
             EXPECT_EQ(0, ft::input_streams[0]->decoding_needed);
         }},
        {"WAV, bit-exact, strict for both layers",
         {"-i", "{in:tone.wav}", "-y", "-f", "wav", "-bitexact", "-acodec", "pcm_s24le", "-strict", "experimental",
          "{out:p3.wav}"},
         [] {
             ASSERT_EQ(1, ft::nb_output_files);
             EXPECT_STREQ("wav", ft::output_files[0]->ctx->oformat->name);
             EXPECT_NE(0, ft::output_files[0]->ctx->flags & AVFMT_FLAG_BITEXACT);
             EXPECT_NE(0, firstOutput()->enc_ctx->flags & AV_CODEC_FLAG_BITEXACT);
             EXPECT_STREQ("experimental", entry(firstOutput()->encoder_opts, "strict"));
             EXPECT_STREQ("24", entry(firstOutput()->swr_opts, "output_sample_bits"));
         }},
        {"cover art kept by maps, muxer option to the file",
         {"-i", "{in:song.mp3}", "-y", "-codec:v", "copy", "-map", "0:a:0", "-map", "0:v:0", "-map_metadata", "0",
          "-id3v2_version", "3", "-acodec", "libmp3lame", "{out:p4.mp3}"},
         [] {
             ASSERT_EQ(2, ft::nb_output_streams);
             EXPECT_EQ(AVMEDIA_TYPE_AUDIO, ft::output_streams[0]->st->codecpar->codec_type);
             EXPECT_EQ(AVMEDIA_TYPE_VIDEO, ft::output_streams[1]->st->codecpar->codec_type);
             EXPECT_TRUE(ft::output_streams[1]->stream_copy);
             EXPECT_STREQ("3", entry(ft::output_files[0]->opts, "id3v2_version"));
             EXPECT_STREQ("Song", entry(ft::output_files[0]->ctx->metadata, "title"));
         }},
        {"the input decodes MP3 with FFmpeg's own first choice, as ffmpeg.exe does",
         {"-i", "{in:song.mp3}", "-y", "-vn", "{out:p5.wav}"},
         [] { EXPECT_STREQ("mp3float", ft::input_streams[0]->dec->name); }},
        {"-t before -i limits the next output",
         {"-ss", "0.5", "-t", "1.5", "-i", "{in:tone.wav}", "-y", "{out:p6.wav}"},
         [] {
             EXPECT_EQ(1500000, ft::output_files[0]->recording_time);
             EXPECT_EQ(INT64_MAX, ft::input_files[0]->recording_time);
             EXPECT_EQ(500000, ft::input_files[0]->start_time);
         }},
        {"volume, sync and drift are global settings",
         {"-i", "{in:tone.wav}", "-y", "-vol", "512", "-async", "1", "-adrift_threshold", "0.5", "{out:p7.wav}"},
         [] {
             EXPECT_EQ(512, ft::audio_volume);
             EXPECT_EQ(1, ft::audio_sync_method);
             EXPECT_FLOAT_EQ(0.5f, ft::audio_drift_threshold);
         }},
        {"channel map picks the second channel",
         {"-i", "{in:tone.wav}", "-y", "-map_channel", "0.0.1", "-ac", "1", "{out:p8.wav}"},
         [] {
             ASSERT_EQ(1, firstOutput()->audio_channels_mapped);
             EXPECT_EQ(1, firstOutput()->audio_channels_map[0]);
         }},
        {"a named layout sets the layout and the count",
         {"-i", "{in:six.flac}", "-y", "-channel_layout", "quad", "{out:p9.wav}"},
         [] {
             EXPECT_EQ(4, firstOutput()->enc_ctx->ch_layout.nb_channels);
             EXPECT_EQ(AV_CHANNEL_ORDER_NATIVE, firstOutput()->enc_ctx->ch_layout.order);
         }},
        {"video options: scale, rate, aspect, tag, quality",
         {"-i", "{in:clip.avi}", "-y", "-vcodec", "mpeg4", "-s", "32x24", "-r", "10", "-aspect", "4:3", "-vtag", "XVID",
          "-qscale", "3", "-b:v", "300k", "{out:p10.avi}"},
         [] {
             ft::OutputStream* ost = firstOutput();
             EXPECT_EQ(32, ost->enc_ctx->width);
             EXPECT_EQ(10, ost->frame_rate.num);
             EXPECT_EQ(4, ost->frame_aspect_ratio.num);
             EXPECT_EQ(MKTAG('X', 'V', 'I', 'D'), ost->enc_ctx->codec_tag);
             EXPECT_EQ(3 * FF_QP2LAMBDA, ost->enc_ctx->global_quality);
             EXPECT_STREQ("300k", entry(ost->encoder_opts, "b"));
         }},
        {"-target picks codecs, format and size",
         {"-i", "{in:clip.avi}", "-y", "-target", "pal-dvd", "{out:p11.mpg}"},
         [] {
             EXPECT_STREQ("dvd", ft::output_files[0]->ctx->oformat->name);
             EXPECT_STREQ("mpeg2video", firstOutput()->enc->name);
             EXPECT_EQ(720, firstOutput()->enc_ctx->width);
         }},
        {"metadata set and removed",
         {"-i", "{in:song.mp3}", "-y", "-vn", "-metadata", "title=", "-metadata", "album=Ö", "{out:p12.mp3}"},
         [] {
             EXPECT_EQ(nullptr, ff::av_dict_get(ft::output_files[0]->ctx->metadata, "title", nullptr, 0));
             EXPECT_STREQ("Ö", entry(ft::output_files[0]->ctx->metadata, "album"));
         }},
        {"-map_metadata -1 drops the input's tags",
         {"-i", "{in:song.mp3}", "-y", "-vn", "-map_metadata", "-1", "{out:p13.mp3}"},
         [] { EXPECT_EQ(nullptr, ff::av_dict_get(ft::output_files[0]->ctx->metadata, "title", nullptr, 0)); }},
        {"attachment into Matroska",
         {"-i", "{in:tone.wav}", "-y", "-attach", "{in:cover.jpg}", "-metadata:s:1", "mimetype=image/jpeg",
          "{out:p14.mkv}"},
         [] {
             ASSERT_EQ(2, ft::nb_output_streams);
             EXPECT_EQ(AVMEDIA_TYPE_ATTACHMENT, ft::output_streams[1]->st->codecpar->codec_type);
             EXPECT_STREQ("cover.jpg", entry(ft::output_streams[1]->st->metadata, "filename"));
             // the name points into the run's argument vector, which lives as long as the run
             int argc = 0;
             char** argv = nullptr;
             char** kept = ft::prepare_app_arguments(&argc, &argv);
             ASSERT_GT(argc, 5);
             EXPECT_EQ(kept[5], ft::output_streams[1]->attachment_filename);
             EXPECT_GT(ft::output_streams[1]->st->codecpar->extradata_size, 0);
         }},
        {"limits: frames, size and end time; an input offset",
         {"-itsoffset", "2", "-re", "-i", "{in:tone.wav}", "-y", "-frames:a", "10", "-fs", "100000", "-to", "1",
          "{out:p15.wav}"},
         [] {
             EXPECT_EQ(10, firstOutput()->max_frames);
             EXPECT_EQ(100000u, ft::output_files[0]->limit_filesize);
             EXPECT_EQ(1000000, ft::output_files[0]->recording_time);
             EXPECT_EQ(2000000, ft::input_files[0]->input_ts_offset);
             EXPECT_EQ(1, ft::input_files[0]->rate_emu);
         }},
        {"a negative map takes an earlier one back; a sync stream is kept",
         {"-i", "{in:song.mp3}", "-y", "-map", "0,0:a", "-map", "-0:v", "-acodec", "pcm_s16le", "{out:p16.wav}"},
         [] {
             ASSERT_EQ(1, ft::nb_output_streams);
             EXPECT_EQ(AVMEDIA_TYPE_AUDIO, firstOutput()->st->codecpar->codec_type);
             EXPECT_EQ(ft::input_streams[0], firstOutput()->sync_ist);
         }},
        {"a complex graph's labelled output becomes the stream",
         {"-i", "{in:tone.wav}", "-y", "-filter_complex", "[0:a]volume=2[loud]", "-map", "[loud]", "{out:p17.wav}"},
         [] {
             ASSERT_EQ(1, ft::nb_output_streams);
             EXPECT_EQ(-1, firstOutput()->source_index);
             ASSERT_NE(nullptr, firstOutput()->filter);
             EXPECT_EQ(ft::filtergraphs[0], firstOutput()->filter->graph);
         }},
        {"stream ids, tags, stream metadata and a bitstream filter by their old names",
         {"-i", "{in:tone.m4a}", "-y", "-vn", "-acodec", "copy", "-streamid", "0:33", "-atag", "mp4a",
          "-metadata:s:a", "language=deu", "-absf", "aac_adtstoasc", "{out:p18.m4a}"},
         [] {
             EXPECT_EQ(33, firstOutput()->st->id);
             EXPECT_EQ(MKTAG('m', 'p', '4', 'a'), firstOutput()->st->codecpar->codec_tag);
             EXPECT_STREQ("deu", entry(firstOutput()->st->metadata, "language"));
             EXPECT_STREQ("aac_adtstoasc", firstOutput()->bsf_names);
         }},
        {"audio quality and a profile go to the encoder",
         {"-i", "{in:tone.wav}", "-y", "-acodec", "libvorbis", "-aq", "4", "-profile:a", "aac_low", "{out:p19.ogg}"},
         [] {
             EXPECT_EQ(4 * FF_QP2LAMBDA, firstOutput()->enc_ctx->global_quality);
             EXPECT_STREQ("aac_low", entry(firstOutput()->encoder_opts, "profile"));
         }},
        {"progress output and a time code",
         {"-i", "{in:clip.avi}", "-y", "-progress", "{out:progress.txt}", "-timecode", "01:00:00:00", "{out:p20.avi}"},
         [] {
             EXPECT_NE(nullptr, ft::progress_avio);
             EXPECT_STREQ("01:00:00:00", entry(ft::output_files[0]->ctx->metadata, "timecode"));
         }},
        {"two-pass log prefix and flags",
         {"-i", "{in:clip.avi}", "-y", "-vcodec", "mpeg4", "-pass", "1", "-passlogfile", "{out:stats}", "-f", "avi",
          "NUL"},
         [] {
             EXPECT_NE(0, firstOutput()->enc_ctx->flags & AV_CODEC_FLAG_PASS1);
             EXPECT_NE(nullptr, firstOutput()->logfile);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clearLog();
        const int ret = parse(expand(c.args, folder));
        ASSERT_GE(ret, 0) << logText();
        c.check();
        ft::cleanupTranscoder();
        EXPECT_EQ(nullptr, ft::progress_avio) << "closed with the run";
    }
}

// After the run that set them, the tool's settings are back at their start values.
TEST_F(OptionParsing, SettingsOfOneRunDoNotReachTheNext) {
    const std::string folder = utf8(L"").substr(0, utf8(L"").size() - 1);
    ASSERT_GE(parse(expand({"-t", "1", "-i", "{in:tone.wav}", "-y", "-vol", "512", "-async", "1", "-vsync", "cfr",
                            "{out:r1.wav}"},
                           folder)),
              0);
    ft::cleanupTranscoder();
    EXPECT_EQ(256, ft::audio_volume);
    EXPECT_EQ(0, ft::audio_sync_method);
    EXPECT_EQ(ft::VSYNC_AUTO, ft::video_sync_method);
    EXPECT_EQ(INT64_MAX, ft::input_recording_time);
    ASSERT_GE(parse(expand({"-i", "{in:tone.wav}", "-y", "{out:r2.wav}"}, folder)), 0);
    EXPECT_EQ(INT64_MAX, ft::output_files[0]->recording_time);
}

// Failing command lines: the message FFmpeg's tool gives, a failure, and no file touched
// that the failure comes before.
TEST_F(OptionParsing, RefusedCommandsSayWhyAndTouchNoOutput) {
    const std::string folder = utf8(L"").substr(0, utf8(L"").size() - 1);
    struct Case {
        std::vector<std::string> args;
        const wchar_t* message;
    };
    const std::vector<Case> cases = {
        {{"-loglevel", "quiet", "-i", "{in:tone.wav}", "{out:e.wav}"}, L"Unrecognized option 'loglevel'."},
        {{"-i", "{in:tone.wav}", "-nosuchoption", "1", "{out:e.wav}"}, L"Unrecognized option 'nosuchoption'."},
        {{"-i"}, L"Missing argument for option 'i'."},
        {{"-i", "{in:tone.wav}", "-y", "-sameq", "{out:e.wav}"}, L"Option 'sameq' was removed."},
        {{"-i", "{in:tone.wav}", "-y", "-map", "0:v", "{out:e.wav}"}, L"Stream map '0:v' matches no streams."},
        {{"-i", "{in:tone.wav}", "-y", "-map", "3", "{out:e.wav}"}, L"Invalid input file index: 3."},
        {{"-f", "nosuchformat", "-i", "{in:tone.wav}", "{out:e.wav}"}, L"Unknown input format: 'nosuchformat'"},
        {{"-i", "{in:tone.wav}", "-y", "-acodec", "nosuchcodec", "{out:e.wav}"}, L"Unknown encoder 'nosuchcodec'"},
        {{"-i", "{in:tone.wav}", "-y", "-acodec", "mpeg4", "{out:e.wav}"}, L"Invalid encoder type 'mpeg4'"},
        {{"-i", "{in:clip.avi}", "-y", "-s", "10", "{out:e.avi}"}, L"Invalid frame size: 10."},
        {{"-i", "{in:clip.avi}", "-y", "-pix_fmt", "bogus", "{out:e.avi}"}, L"Unknown pixel format requested: bogus."},
        {{"-i", "{in:tone.wav}", "-y", "-target", "vcd", "{out:e.mpg}"},
         L"Could not determine norm (PAL/NTSC/NTSC-Film) for target."},
        {{"-i", "{in:tone.wav}", "-y", "-map_channel", "0.0.7", "{out:e.wav}"}, L"mapchan: invalid audio channel #0.0.7"},
        {{"-i", "{in:tone.wav}", "-y", "-t", "abc", "{out:e.wav}"}, L"Invalid duration value for t: abc"},
        {{"-i", "{in:tone.wav}", "-y", "-ar", "x", "{out:e.wav}"}, L"Expected number for ar but found: x"},
        {{"-i", "{in:tone.wav}", "-y", "-vol", "9999999999", "{out:e.wav}"}, L"The value for vol was 9999999999"},
        {{"-i", "{in:tone.wav}", "-y", "-bsf:a", "nosuchbsf", "{out:e.wav}"}, L"Unknown bitstream filter nosuchbsf"},
        {{"-i", "{in:missing.wav}", "{out:e.wav}"}, L"missing.wav: No such file or directory"},
        {{"-i", "{in:tone.wav}", "-y", "-an", "{out:e.wav}"}, L"Output file #0 does not contain any stream"},
        {{"-i", "{in:tone.wav}", "-y", "-af", "anull", "-acodec", "copy", "{out:e.wav}"},
         L"Filtering and streamcopy cannot be used together."},
        {{"-i", "{in:tone.wav}", "-y", "-vstats", "-t", "-1x", "{out:e.wav}"}, L"Invalid duration value"},
        {{"-map", "0", "-i", "{in:tone.wav}", "{out:e.wav}"}, L"cannot be applied to input file"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> args = expand(c.args, folder);
        SCOPED_TRACE(std::string(c.message, c.message + wcslen(c.message)));
        DeleteFileW(path(L"e.wav").c_str());
        DeleteFileW(path(L"e.avi").c_str());
        const int before = static_cast<int>(log().size());
        EXPECT_LT(parse(args), 0);
        EXPECT_NE(std::wstring::npos, log().find(c.message, before)) << logText();
        ft::cleanupTranscoder();
    }
    // the failures above that come before the output is opened leave no file behind
    EXPECT_FALSE(exists(path(L"e.mpg")));
}

// An output that exists is kept unless "-y" says otherwise.
TEST_F(OptionParsing, ExistingOutputIsKeptWithoutOverwrite) {
    const std::string folder = utf8(L"").substr(0, utf8(L"").size() - 1);
    const std::wstring keep = path(L"keep.wav");
    ASSERT_TRUE(testsupport::writeRaw(keep, "keep"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-i", "{in:tone.wav}", "-n", "{out:keep.wav}"},
             {"-i", "{in:tone.wav}", "-stdin", "0", "{out:keep.wav}"},
             {"-i", "{in:tone.wav}", "{out:keep.wav}"}}) {
        EXPECT_LT(parse(expand(args, folder)), 0);
        ft::cleanupTranscoder();
        EXPECT_EQ(4, fileSize(keep));
    }
    EXPECT_TRUE(logHas(L"already exists. Exiting.")) << "with -n or no interaction";
    EXPECT_TRUE(logHas(L"Not overwriting - exiting")) << "no console answers the question";
    ASSERT_GE(parse(expand({"-i", "{in:tone.wav}", "-y", "{out:keep.wav}"}, folder)), 0);
    ft::cleanupTranscoder();
}

// Named presets are never looked for; a preset file given by path is read.
TEST_F(OptionParsing, PresetsOnlyByPath) {
    const std::string folder = utf8(L"").substr(0, utf8(L"").size() - 1);
    // where FFmpeg's tool would look for a preset named "fast"
    const std::wstring home = path(L"home");
    CreateDirectoryW(home.c_str(), nullptr);
    CreateDirectoryW((home + L"\\.ffmpeg").c_str(), nullptr);
    const std::string preset = "# video\r\nvcodec=mpeg4\nb=800000\n";
    for (const wchar_t* name : {L"\\.ffmpeg\\fast.ffpreset", L"\\.ffmpeg\\mpeg4-fast.ffpreset", L"\\fast.ffpreset"}) {
        ASSERT_TRUE(testsupport::writeRaw(home + name, preset));
    }
    SetEnvironmentVariableW(L"HOME", home.c_str());
    SetEnvironmentVariableW(L"FFMPEG_DATADIR", home.c_str());

    EXPECT_LT(parse(expand({"-i", "{in:clip.avi}", "-y", "-vcodec", "mpeg4", "-vpre", "fast", "{out:v.avi}"}, folder)),
              0);
    EXPECT_TRUE(logHas(L"File for preset 'fast' not found"));
    ft::cleanupTranscoder();
    EXPECT_LT(parse(expand({"-i", "{in:clip.avi}", "-y", "-vpre", "libx264-lossless_fast", "{out:v.avi}"}, folder)), 0);
    EXPECT_TRUE(logHas(L"Please use -preset <speed> -qp 0"));
    ft::cleanupTranscoder();
    EXPECT_LT(parse(expand({"-i", "{in:clip.avi}", "-y", "-vcodec", "mpeg4", "-pre", "fast", "{out:v.avi}"}, folder)), 0);
    EXPECT_TRUE(logHas(L"Preset fast specified for stream 0:0, but could not be opened."));
    ft::cleanupTranscoder();

    ASSERT_GE(parse(expand({"-i", "{in:clip.avi}", "-y", "-fpre", "{in:home\\fast.ffpreset}", "{out:v.avi}"}, folder)),
              0);
    ASSERT_EQ(1, ft::nb_output_streams);
    EXPECT_STREQ("mpeg4", firstOutput()->enc->name);
    EXPECT_STREQ("800000", entry(firstOutput()->encoder_opts, "b"));
    ft::cleanupTranscoder();

    // a line without "=" stops the run
    ASSERT_TRUE(testsupport::writeRaw(home + L"\\bad.ffpreset", "vcodec\n"));
    EXPECT_LT(parse(expand({"-i", "{in:clip.avi}", "-y", "-fpre", "{in:home\\bad.ffpreset}", "{out:v.avi}"}, folder)), 0);
    EXPECT_TRUE(logHas(L"Invalid syntax: 'vcodec"));
    SetEnvironmentVariableW(L"HOME", nullptr);
    SetEnvironmentVariableW(L"FFMPEG_DATADIR", nullptr);
}
