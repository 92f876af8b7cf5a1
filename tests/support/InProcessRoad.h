// What tests of whole batches on the in-process road share: once per suite, message
// boxes refused, the FFmpeg libraries bound with their log caught by the program's own
// route, and a media folder; for each test, no ffmpeg.exe anywhere and the program's own
// transcoder as the in-process runner.
#pragma once
#include <windows.h>

#include <string>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/FfmpegLocator.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/sound/ffmpeg/JobLoop.h"
#include "engine/system/win/MessageBoxSeam.h"
#include "support/ChildProcess.h"
#include "support/Seams.h"

namespace testsupport {

class InProcessRoad {
public:
    // For a suite's set-up: true when the libraries are bound; media is a fresh folder.
    static bool bind(const wchar_t* mediaName, std::wstring& media) {
        s::system::win::MessageBoxSeam::set(&refuseBox);
        const bool loaded = s::ffmpeg::loadFfmpegLibraries();
        if (loaded) {
            s::ffmpeg::FfmpegLog::install();
        }
        media = freshTempFolder(mediaName);
        return loaded;
    }
    // For a suite's tear-down.
    static void unbind(const std::wstring& media) {
        removeTree(media);
        s::system::win::MessageBoxSeam::set(nullptr);
    }

    // One test's road: an empty program folder named tag and keys that do not exist.
    explicit InProcessRoad(const wchar_t* tag) : empty_(freshTempFolder(tag)) {
        sources_ = {empty_.c_str(), HKEY_CURRENT_USER, NO_KEY, HKEY_CURRENT_USER, NO_KEY, NO_KEY};
        s::ffmpeg::FfmpegLocator::inject(&sources_);
        previousRunner_ = s::sound::ffmpeg::JobLoop::setInProcessRunner(&s::ffmpeg::runFfmpegInProcess);
    }
    ~InProcessRoad() {
        s::sound::ffmpeg::JobLoop::setInProcessRunner(previousRunner_);
        s::ffmpeg::FfmpegLocator::inject(nullptr);
        removeTree(empty_);
    }
    InProcessRoad(const InProcessRoad&) = delete;
    InProcessRoad& operator=(const InProcessRoad&) = delete;

private:
    static constexpr wchar_t NO_KEY[] = L"Software\\BrisqueltonInProcessRoad\\none";

    std::wstring empty_;
    s::ffmpeg::FfmpegLocator::Sources sources_{};
    s::sound::ffmpeg::InProcessRunner previousRunner_ = nullptr;
};

} // namespace testsupport
