#pragma once
#include <cstdint>

namespace s::str::strbuffer { class StrBuffer; }
namespace s::video { class VideoInfo; }
namespace s::sound::gui::dialogs::mp3conv { class Setting; }

namespace s::sound::ffmpeg {

class IVideoRoad;

// Builds the FFmpeg command line of one file and pass, for an ffmpeg.exe child or for
// the in-process tool, from the job record and the probed input. Every path is named
// exactly and quoted on both roads (never by a short form, which may name another
// file). It also prepares the output: creates it empty beforehand (no command when it
// cannot).
//
//   StrBuffer* command = CommandBuilder::buildFfmpegCommand(setting, info, input, output,
//       ffmpegExe, true, 0, copyAudio, copyVideo, workFolder, &weight);
class CommandBuilder {
public:
    typedef str::strbuffer::StrBuffer StrBuffer;
    typedef void (*SleepFn)(uint32_t milliseconds);

    // The in-process tool's program name (its first argument).
    static constexpr const wchar_t* IN_PROCESS_PROGRAM = L"ffmpeg";
    // Working folder of two-pass jobs inside the output's folder (FFmpeg's pass log), or
    // inside the temporary folder when the output's folder is too long for one.
    static constexpr const wchar_t* WORK_FOLDER_NAME = L"Pass1.TMP~";
    static constexpr const wchar_t* CREATE_FAILED_TEXT =
        L"Failed to create the output file.\r\nProblem in the file system permissions?";
    // Share of the progress scale given to pass 1.
    static constexpr double AUDIO_PASS_WEIGHT = 0.5;

    // The command as a new pooled string (the caller releases it); null when no string
    // could be had or the output could not be created.
    //   setting, info: the job record and the input's media information (info may be
    //       null: nothing known of the source).
    //   inputPath, outputPath: full paths; outputPath is the final name.
    //   programPath: the ffmpeg.exe to start (external only).
    //   external: for an ffmpeg.exe child or the in-process tool.
    //   pass: 0 single pass, 1 or 2.
    //   copyAudio, copyVideo: the caller's stream-copy decisions
    //       (Setting::canCopyAudioStream, Setting::canCopyVideoStream; the latter only
    //       matters to video jobs).
    //   workFolder (may be null): pass 1 sets it to the working folder it created.
    //   passWeight (may be null): set to the share of pass 1.
    static StrBuffer* buildFfmpegCommand(const gui::dialogs::mp3conv::Setting* setting, const video::VideoInfo* info,
                                         const wchar_t* inputPath, const wchar_t* outputPath,
                                         const wchar_t* programPath, bool external, int32_t pass, bool copyAudio,
                                         bool copyVideo, StrBuffer* workFolder, double* passWeight);
    // The same for callers that never copy a video stream.
    static StrBuffer* buildFfmpegCommand(const gui::dialogs::mp3conv::Setting* setting, const video::VideoInfo* info,
                                         const wchar_t* inputPath, const wchar_t* outputPath,
                                         const wchar_t* programPath, bool external, int32_t pass, bool copyAudio,
                                         StrBuffer* workFolder, double* passWeight) {
        return buildFfmpegCommand(setting, info, inputPath, outputPath, programPath, external, pass, copyAudio, false,
                                  workFolder, passWeight);
    }

    // The audio options of a file whose audio is re-encoded by the encoder or copied:
    // rates and channels after the audio rules, or the copy, and the volume; for
    // ffmpeg.exe, the sample guard over float samples the file stores.
    static void appendAudioOptions(StrBuffer* command, const gui::dialogs::mp3conv::Setting* setting,
                                   const video::VideoInfo* info, const wchar_t* encoder, bool copyAudio,
                                   bool external = false);

    // Seams: the waits of the output preparation (null: Sleep), and the video road
    // (null: the engine's own, VideoRoad). Each returns the one it replaces.
    static SleepFn setSleepFunction(SleepFn fn);
    static IVideoRoad* setVideoRoad(IVideoRoad* road);

private:
    CommandBuilder() = delete;

    static void appendTestRange(StrBuffer* command, int64_t kind, int64_t length, int64_t duration);
    static void appendClock(StrBuffer* command, int64_t milliseconds);
    static void appendPath(StrBuffer* command, const wchar_t* path, bool quoted);
    // The path quoted, in the form the system takes exactly as it stands.
    static bool appendExactPath(StrBuffer* command, const wchar_t* path);
    static void appendStreamChoice(StrBuffer* command, const video::VideoInfo* info, const wchar_t* extension);
    static void appendContainer(StrBuffer* command, int32_t formatId, const wchar_t* encoder);
    // Creates the output when missing, waiting for a slow volume; false (after the
    // information box) when it cannot be had.
    static bool createOutput(const wchar_t* outputPath);
    static bool createWorkFolder(const wchar_t* outputPath, StrBuffer* workFolder);
    static void sleep(uint32_t milliseconds);
};

} // namespace s::sound::ffmpeg
