#include "engine/ffmpeg/InProcessRunner.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/ffmpeg/ExternalRunner.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/FfmpegLog.h"
#include "engine/fftools/TranscoderState.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "engine/sound/ffmpeg/IJobDialog.h"

namespace s::ffmpeg {

namespace {

// One piece of the command as UTF-8 (the transcoder opens files by UTF-8 names, so no
// character is lost on the way).
char* pieceToUtf8(const std::wstring& text) {
    const int units = static_cast<int>(text.size());
    const int bytes =
        units == 0 ? 0 : WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    char* piece = static_cast<char*>(std::malloc(static_cast<size_t>(bytes) + 1));
    if (piece == nullptr) {
        return nullptr;
    }
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), units, piece, bytes, nullptr, nullptr);
    }
    piece[bytes] = '\0';
    return piece;
}

// Restores the current directory when the run ends, however it ends.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const wchar_t* workingDirectory) {
        const DWORD length = GetCurrentDirectoryW(0, nullptr);
        saved_ = static_cast<wchar_t*>(std::calloc(length + 1, sizeof(wchar_t)));
        if (saved_ != nullptr) {
            GetCurrentDirectoryW(length + 1, saved_);
        }
        if (workingDirectory != nullptr && *workingDirectory != L'\0') {
            SetCurrentDirectoryW(workingDirectory);
        }
    }
    ~CurrentDirectory() {
        if (saved_ != nullptr) {
            SetCurrentDirectoryW(saved_);
            std::free(saved_);
        }
    }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    wchar_t* saved_ = nullptr;
};

} // namespace

char** splitInProcessCommand(const wchar_t* command, int* argc) {
    *argc = 0;
    if (command == nullptr) {
        command = L"";
    }
    // A blank outside quotes ends a piece, so n such blanks give n + 1 pieces (empty
    // ones included); quote characters only group and are dropped.
    std::vector<std::wstring> pieces(1);
    bool quoted = false;
    for (const wchar_t* p = command; *p != L'\0'; ++p) {
        if (*p == L'"') {
            quoted = !quoted;
        } else if (*p == L' ' && !quoted) {
            pieces.emplace_back();
        } else {
            pieces.back().push_back(*p);
        }
    }
    char** argv = static_cast<char**>(std::calloc(pieces.size() + 1, sizeof(char*)));
    if (argv == nullptr) {
        return nullptr;
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        argv[i] = pieceToUtf8(pieces[i]);
        if (argv[i] == nullptr) {
            freeInProcessArguments(argv);
            return nullptr;
        }
    }
    *argc = static_cast<int>(pieces.size());
    return argv;
}

void freeInProcessArguments(char** argv) {
    if (argv == nullptr) {
        return;
    }
    for (char** p = argv; *p != nullptr; ++p) {
        std::free(*p);
    }
    std::free(argv);
}

int32_t durationSeconds(int64_t durationMs) {
    const int64_t seconds = durationMs / 1000;
    if (seconds <= 0) {
        return 1;
    }
    return seconds > INT32_MAX ? INT32_MAX : static_cast<int32_t>(seconds);
}

int32_t onFfmpegProgress(int32_t position, int32_t total, const wchar_t* name, void* owner) {
    if (owner == nullptr) {
        return 0;
    }
    // The output's clock may run past the probed length (padding, a longer stream).
    return static_cast<sound::ffmpeg::IJobDialog*>(owner)->reportProgress(total, position > total ? total : position,
                                                                           name);
}

int32_t runFfmpegInProcess(const wchar_t* command, int32_t pass, double passWeight, const wchar_t* workingDirectory,
                           int64_t durationMs, sound::ffmpeg::IJobDialog* owner, const wchar_t* outputName,
                           const std::atomic<uint8_t>* cancel) {
    if (!ffmpegLibrariesLoaded()) {
        return RUN_FAILED;
    }
    CurrentDirectory directory(workingDirectory);
    int argc = 0;
    char** argv = splitInProcessCommand(command, &argc);
    if (argv == nullptr) {
        return RUN_FAILED;
    }
    namespace ft = s::fftools;
    ft::runPass = pass;
    ft::passWeight = static_cast<float>(passWeight);
    ft::totalSeconds = durationSeconds(durationMs);
    ft::progressOwner = owner;
    ft::progressName = outputName;
    ft::cancelFlag = cancel;
    ft::progressHook = &onFfmpegProgress;

    FfmpegLog::install();
    FfmpegLog::setTarget(owner != nullptr ? owner->jobLog() : nullptr);
    int32_t status = ft::ffmpegMain(argc, argv);
    FfmpegLog::setTarget(nullptr);
    freeInProcessArguments(argv);
    // A sound file without one audio packet (tags only) is no conversion. Pass 1
    // writes nothing; a video keeps its pictures without sound.
    if (status == RUN_SUCCEEDED && pass != 1 && ft::lastRun.videoStreams == 0 && ft::lastRun.audioPackets == 0) {
        if (owner != nullptr && owner->jobLog() != nullptr) {
            owner->jobLog()->append(NO_AUDIO_TEXT)->append(L"\n \n");
        }
        status = RUN_FAILED;
    }
    return status;
}

} // namespace s::ffmpeg
