#pragma once
#include <cstdint>

#include "engine/sound/ffmpeg/InProcessRunner.h"

namespace s::video { class VideoInfo; }

namespace s::sound::ffmpeg {

class IJobDialog;

// The converter dialog's worker task: converts every queued file, one after another,
// with the dialog's job record. Each file is probed, named, converted in-process or by
// an ffmpeg.exe child, retried once by an ffmpeg.exe child after an in-process failure,
// and logged to "_error.txt" in the output folder when it still fails. A sound job
// succeeds only when its output holds decodable audio, whichever road ran it (the input
// is asked only for headerless raw samples). Progress goes to the dialog's window as
// worker events and to the taskbar.
//
//   // in the dialog's ITask run, on its worker thread:
//   JobLoop::runQueue(this);
class JobLoop {
public:
    typedef bool (*LibrariesBoundFn)();
    typedef video::VideoInfo* (*ProbeFn)(const wchar_t* path);
    typedef bool (*AudioCheckFn)(const wchar_t* path);

    static constexpr const wchar_t* ERROR_LOG_NAME = L"_error.txt";
    static constexpr const wchar_t* DEBUG_MODE_LINE = L"####### Going into Debug Mode #######\n";

    // Runs the whole queue; returns when it is done or the cancel byte stopped it.
    static void runQueue(IJobDialog* dialog);

    // Seams, each answering the one it replaces. The in-process road: null means there
    // is none (every file then needs an ffmpeg.exe). The check that the FFmpeg libraries
    // are bound: null means ffmpegLibrariesLoaded.
    static InProcessRunner setInProcessRunner(InProcessRunner runner);
    static LibrariesBoundFn setLibrariesBoundCheck(LibrariesBoundFn check);
    // The prober of bound libraries (null: probeMediaFile).
    static ProbeFn setProber(ProbeFn probe);
    // The judge of a sound job's success, asked of what the run wrote (of the input too
    // for raw samples). Null: DecodableAudio::holds with bound libraries, else the
    // ffmpeg.exe that ran decoding the file. Video jobs are not judged.
    static AudioCheckFn setAudioCheck(AudioCheckFn check);

private:
    JobLoop() = delete;
};

} // namespace s::sound::ffmpeg
