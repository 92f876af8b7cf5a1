#include "engine/sound/ffmpeg/JobLoop.h"

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cwchar>

#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "engine/ffmpeg/ExternalRunner.h"
#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/ffmpeg/FfmpegLocator.h"
#include "engine/ffmpeg/IRunHost.h"
#include "engine/ffmpeg/InProcessRunner.h"
#include "engine/ffmpeg/OutputCleanup.h"
#include "engine/fftools/DecodableAudio.h"
#include "engine/fftools/MediaProber.h"
#include "engine/sound/ffmpeg/CommandBuilder.h"
#include "engine/sound/ffmpeg/FormatTable.h"
#include "engine/sound/ffmpeg/IJobDialog.h"
#include "engine/sound/ffmpeg/ITaskbarProgress.h"
#include "engine/sound/ffmpeg/VideoPresets.h"
#include "engine/sound/ffmpeg/Setting.h"
#include "engine/video/MediaReport.h"
#include "engine/video/VideoInfo.h"
#include "system/file/win/PathWin.h"

namespace s::sound::ffmpeg {

using file::win::PathWin;
using gui::dialogs::mp3conv::Setting;
using s::ffmpeg::RUN_CANCELLED;
using s::ffmpeg::RUN_FAILED;
using s::ffmpeg::RUN_NOT_STARTED;
using s::ffmpeg::RUN_SUCCEEDED;
using str::strarray::StrArray;
using str::strbuffer::StrBuffer;
using thread::Held;
using video::VideoInfo;

namespace {

// The program's own transcoder unless a test puts another in its place.
std::atomic<InProcessRunner> inProcessRunner{&s::ffmpeg::runFfmpegInProcess};
std::atomic<JobLoop::LibrariesBoundFn> librariesBoundCheck{nullptr};
std::atomic<JobLoop::ProbeFn> prober{nullptr};
std::atomic<JobLoop::AudioCheckFn> audioCheck{nullptr};

// Failure kinds the dialog explains on its own; a run that gives one is not retried.
constexpr int32_t STATUS_RESAMPLING_UNSUPPORTED = 3;
constexpr int32_t STATUS_INPUT_UNSUPPORTED = 4;

// How long the judge of an output may look for its first decoded sample through an
// ffmpeg.exe child (the libraries not bound); the libraries' own judge has its own bound.
constexpr uint32_t EXTERNAL_JUDGE_MS = 20000;
// Room a child's working folder leaves within MAX_PATH: the system wants a folder name
// that still takes an 8.3 file name and its backslash.
constexpr size_t WORKING_FOLDER_ROOM = 12;
// " (n)" names tried for an output before the file fails: a folder holding that many
// copies of one name is no place to look further.
constexpr uint32_t OUTPUT_NUMBER_LIMIT = 10000;

// The progress scale the bar starts each file on.
constexpr int32_t START_TOTAL = 100;
// A record width that asks for a relative size (the height holds the factor).
constexpr int32_t RELATIVE_SIZE_WIDTH = 16384;

bool librariesBound() {
    const JobLoop::LibrariesBoundFn check = librariesBoundCheck.load();
    return check != nullptr ? check() : s::ffmpeg::ffmpegLibrariesLoaded();
}

bool isSet(const std::atomic<uint8_t>* flag) {
    return flag != nullptr && flag->load() != 0;
}

// Asks the file system itself: path objects keep what they learnt once.
bool isFileThere(const PathWin* path) {
    if (path == nullptr) {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(path->getApiText());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A short folder that exists, for a child to start in: the one of the program it runs,
// else the system's own.
StrBuffer* shortWorkingFolder(const wchar_t* programPath) {
    Held<PathWin> program(PathWin::create(programPath));
    StrBuffer* folder = program ? program->getFolderNoSlash(StrBuffer::pool(), false) : nullptr;
    if (folder != nullptr && folder->length() != 0 && folder->length() < MAX_PATH - WORKING_FOLDER_ROOM) {
        return folder;
    }
    wchar_t system[MAX_PATH + 1] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH + 1);
    if (folder != nullptr && n != 0 && n <= MAX_PATH) {
        folder->assign(system);
    }
    return folder;
}

// ffmpeg.exe runs report to the dialog as the in-process road does.
class ExternalHost : public s::ffmpeg::IRunHost {
public:
    explicit ExternalHost(IJobDialog* dialog) : dialog_(dialog) {}
    void onProgress(int64_t total, int64_t position, const wchar_t* outputName) override {
        dialog_->reportProgress(total, position, outputName);
    }
    bool wantsIdlePriority() override { return dialog_->wantsIdlePriority(); }

private:
    IJobDialog* dialog_;
};

// One try at converting one file: its probe, its output name, its road.
class Attempt {
public:
    Attempt(IJobDialog* dialog, StrBuffer* log, const wchar_t* inputPath)
        : dialog_(dialog), log_(log), input_(inputPath) {
        // A record of the file's own: a video job rewrites its preset for each source.
        if (job_ && dialog->setting() != nullptr) {
            job_->assign(*dialog->setting());
            setting_ = job_.get();
        }
    }
    ~Attempt() {
        if (info_ != nullptr) info_->release();
        if (output_ != nullptr) output_->release();
    }
    Attempt(const Attempt&) = delete;
    Attempt& operator=(const Attempt&) = delete;

    // Probes, names the output, logs the file and runs its command (both passes of a
    // two-pass job). Answers the run's status; a set cancel byte makes it 2.
    int32_t convert(bool retry);
    // A run that answered 0: tells the shell of the new file. False when the output
    // is not there after all.
    bool finish();
    // Deletes what the run left at the output.
    void removeOutputs();
    // Writes the log to the output folder's next free "_error.txt".
    void writeErrorLog();
    // Adds what the log cannot show by itself about a failed video job.
    void explainFailure();

    bool external() const { return external_; }
    // The system's reason when ffmpeg.exe could not be started; empty otherwise.
    const wchar_t* startFailure() const { return startFailure_ ? startFailure_->c_str() : L""; }
    const wchar_t* outputText() const { return output_ != nullptr ? output_->getText() : L""; }

private:
    bool nameOutput(const wchar_t* folder);
    // Takes the output name in the folder, or its next free " (n)" form.
    bool claimOutput(const wchar_t* folder, const StrBuffer* name);
    // The video road's name: the concrete preset, its copy decisions and the tags.
    bool nameVideoOutput(PathWin* input, StrBuffer* name);
    bool chooseRoad(bool retry);
    int32_t runPass(int32_t pass, StrBuffer* workFolder);
    void announceOutput();
    // A sound job's written output holds decodable audio.
    bool holdsAudio(const wchar_t* written);
    // The judge of one file: the libraries' where they are bound, else the ffmpeg.exe
    // that ran.
    bool decodesAudio(const wchar_t* path);

    IJobDialog* dialog_;
    Held<Setting> job_{Setting::create()};
    Setting* setting_ = nullptr;
    StrBuffer* log_;
    const wchar_t* input_;
    VideoInfo* info_ = nullptr;
    PathWin* output_ = nullptr;
    Held<StrBuffer> program_{StrBuffer::pool()};
    // The output's name and folder, kept apart: the path object answers both in one
    // scratch string of its own.
    Held<StrBuffer> outputName_{StrBuffer::pool()};
    Held<StrBuffer> outputFolder_{StrBuffer::pool()};
    Held<StrBuffer> startFailure_{StrBuffer::pool()};
    bool copyAudio_ = false;
    bool copyVideo_ = false;
    bool external_ = false;
    InProcessRunner runner_ = nullptr;
};

int32_t Attempt::convert(bool retry) {
    if (setting_ == nullptr || !program_ || !outputName_ || !outputFolder_) {
        return RUN_FAILED;
    }
    if (!retry) {
        log_->clear();
    }
    // Without the libraries nothing may be asked of them: an empty record stands in.
    const bool bound = librariesBound();
    const JobLoop::ProbeFn probe = prober.load();
    // The prober opens the file by the form that names it exactly ("end.wav." too).
    Held<PathWin> exact(PathWin::create(input_));
    const wchar_t* inputText = exact ? exact->getApiText() : input_;
    info_ = !bound ? VideoInfo::pool() : probe != nullptr ? probe(inputText) : fftools::probeMediaFile(inputText);
    if (info_ == nullptr) {
        return RUN_FAILED;
    }
    const wchar_t* folderText = dialog_->outputFolder() != nullptr ? dialog_->outputFolder() : L"";
    Held<PathWin> folder(PathWin::create(folderText));
    if (folder && !folder->isDirectory()) {
        folder->makeDirectory(false);
    }
    if (!folder || !nameOutput(folder->getText())) {
        log_->append(L"[Output Path]: the output could not be named in ")->append(folderText)->append(L"\n");
        return RUN_FAILED;
    }
    announceOutput();

    log_->append(L"[Input Path]: ")->append(input_)->append(L"\n");
    log_->append(L"[Output Path]: ")->append(output_->getText())->append(L"\n");
    log_->append(L" \n[Video Info]:\n");
    Held<StrBuffer> report(video::formatMediaReport(info_));
    if (report) {
        log_->append(report.get());
    }
    log_->append(L" \n \n");
    if (setting_->testStart != Setting::TEST_NONE && setting_->testLength > 0 && info_->duration <= 0) {
        log_->append(L"[Test Encode]: the input's length is not known, so no test range can be placed;"
                     L" the whole file is converted.\n \n");
    }

    runner_ = bound ? inProcessRunner.load() : nullptr;
    if (!chooseRoad(retry)) {
        return RUN_FAILED;
    }
    dialog_->setExternalRun(external_);

    int32_t status;
    if (setting_->twoPass != 0) {
        Held<StrBuffer> workFolder(StrBuffer::pool());
        if (!workFolder) {
            return RUN_FAILED;
        }
        status = runPass(1, workFolder.get());
        if (status == RUN_SUCCEEDED) {
            status = runPass(2, workFolder.get());
        }
        s::ffmpeg::removeRetrying(workFolder->c_str());
    } else {
        status = runPass(0, nullptr);
    }
    return isSet(dialog_->cancelFlag()) ? RUN_CANCELLED : status;
}

bool Attempt::nameOutput(const wchar_t* folder) {
    Held<PathWin> input(PathWin::create(input_));
    if (!input) {
        return false;
    }
    Held<StrBuffer> name(StrBuffer::fromText(input->getTitle()));
    if (!name) {
        return false;
    }
    if (setting_->outputId != 0) {
        if (!nameVideoOutput(input.get(), name.get())) {
            return false;
        }
        return claimOutput(folder, name.get());
    }
    const wchar_t* extension = FormatTable::audioOutputExtension(setting_->formatId);
    copyAudio_ = setting_->canCopyAudioStream(info_, extension);
    // A copied stream keeps its codec in the name when the extension does not tell it:
    // song.m4v with AAC audio becomes song.aac.m4a.
    const video::StreamInfo* audio = info_->firstStreamOfType(video::StreamInfo::TYPE_AUDIO);
    if (copyAudio_ && audio != nullptr && audio->codecName.length() != 0 &&
        _wcsicmp(extension + 1, audio->codecName.c_str()) != 0) {
        name->appendChar(L'.')->append(&audio->codecName);
    }
    name->append(extension);
    return claimOutput(folder, name.get());
}

bool Attempt::claimOutput(const wchar_t* folder, const StrBuffer* name) {
    PathWin* candidate = PathWin::createJoined(folder, name->c_str());
    Held<StrBuffer> title(candidate != nullptr ? StrBuffer::fromText(candidate->getTitle()) : nullptr);
    Held<StrBuffer> numbered(StrBuffer::pool());
    // The number goes before the extension even where a folder has the name ("x (1).mp3"
    // beside a folder "x.mp3"): the extension tells FFmpeg the output's format.
    uint32_t n = 1;
    for (; n <= OUTPUT_NUMBER_LIMIT && candidate != nullptr && title && numbered && candidate->exists(); ++n) {
        numbered->assign(title.get())->append(L" (")->appendUInt32(n)->appendChar(L')');
        numbered->append(candidate->getExtensionText());
        PathWin* next = PathWin::createJoined(folder, numbered->c_str());
        candidate->release();
        candidate = next;
    }
    if (candidate == nullptr || !title || !numbered || n > OUTPUT_NUMBER_LIMIT) {
        if (candidate != nullptr) {
            if (n > OUTPUT_NUMBER_LIMIT) {
                log_->append(L"[Output Path]: ")->append(title.get())->append(L" and its numbered names up to (")
                    ->appendUInt32(OUTPUT_NUMBER_LIMIT)->append(L") are all taken\n");
            }
            candidate->release();
        }
        return false;
    }
    output_ = candidate;
    return output_->getName(outputName_.get(), false) != nullptr &&
           output_->getFolderNoSlash(outputFolder_.get(), false) != nullptr;
}

bool Attempt::nameVideoOutput(PathWin* input, StrBuffer* name) {
    Held<StrBuffer> inputExtension(input->getExtension(StrBuffer::pool(), false));
    if (!inputExtension) {
        return false;
    }
    const wchar_t* extension =
        VideoPresets::videoOutputExtension(setting_->outputId, inputExtension->c_str(), info_->formatName.c_str(),
                                           setting_->formatId, setting_->twoPass);
    copyVideo_ = setting_->canCopyVideoStream(info_, extension);
    copyAudio_ = setting_->canCopyAudioStream(info_, extension);
    if (copyVideo_) {
        setting_->twoPass = 0;  // a copy has nothing to analyse
    }

    if (setting_->width > 0 && setting_->height > 0 && setting_->width != RELATIVE_SIZE_WIDTH) {
        name->appendChar(L'.')->appendInt32(setting_->height)->appendChar(L'p');
    }
    const video::StreamInfo* video = info_->firstStreamOfType(video::StreamInfo::TYPE_VIDEO);
    if (copyVideo_ && video != nullptr) {
        const wchar_t* codec = video->codecName.c_str();
        name->appendChar(L'.');
        if (_wcsicmp(codec, L"unknown") == 0) {
            name->append(L"x265");
        } else if (_wcsicmp(codec, L"h264") == 0) {
            name->append(L"x264");
        } else if (_wcsicmp(codec, L"mpeg2video") == 0) {
            name->append(L"mpeg2");
        } else {
            name->append(codec);
        }
    } else {
        name->append(VideoPresets::presetNameSuffix(VideoPresets::codecForPreset(setting_->outputId),
                                                    setting_->outputId));
    }
    const wchar_t* encoder = FormatTable::audioCodecForFormat(setting_->formatId, setting_->bitsPerSample);
    const video::StreamInfo* audio = info_->firstStreamOfType(video::StreamInfo::TYPE_AUDIO);
    if (encoder != nullptr) {
        if (copyAudio_ && info_->hasAudio && audio != nullptr) {
            name->appendChar(L'.')->append(&audio->codecName);
        } else {
            name->append(VideoPresets::audioFormatNameSuffix(encoder));
        }
    }
    if (setting_->testLength > 0) {
        name->append(L".=TEST=");
    }
    name->append(extension);
    return true;
}

bool Attempt::chooseRoad(bool retry) {
    // Presets whose encoders only an ffmpeg.exe of the user's may carry go there first.
    const bool wantsExternal =
        setting_->outputId != 0 && VideoPresets::needsExternalRoute(VideoPresets::codecForPreset(setting_->outputId));
    external_ = retry || wantsExternal || s::ffmpeg::isOptionalToolsFfmpegUsable();
    bool located = false;
    if (external_ || runner_ == nullptr) {
        located = s::ffmpeg::locateFfmpegExecutable(nullptr, nullptr, program_.get());
    }
    if (external_ && !located) {
        external_ = false;
    }
    if (!external_ && runner_ == nullptr) {
        if (!located) {
            log_->append(L"[FFmpeg]: no usable ffmpeg.exe was found and the FFmpeg libraries are not loaded,"
                         L" so the file cannot be converted.\n \n");
            return false;
        }
        external_ = true;
    }
    return true;
}

int32_t Attempt::runPass(int32_t pass, StrBuffer* workFolder) {
    double weight = CommandBuilder::AUDIO_PASS_WEIGHT;
    Held<StrBuffer> command(CommandBuilder::buildFfmpegCommand(
        setting_, info_, input_, output_->getText(), program_->c_str(), external_, pass, copyAudio_, copyVideo_,
        pass == 1 ? workFolder : nullptr, &weight));
    if (!command) {
        if (pass != 1 && !isFileThere(output_)) {
            log_->append(L"[Output Path]: ");
            for (const wchar_t* c = CommandBuilder::CREATE_FAILED_TEXT; *c != 0; ++c) {
                if (*c != L'\r') {
                    log_->appendChar(*c);  // the log's lines end at "\n" alone
                }
            }
            log_->append(L"\n \n");
        } else {
            log_->append(L"[FFmpeg Command]:\nthe command could not be built\n \n");
        }
        return RUN_FAILED;
    }
    log_->append(L"[FFmpeg Command]:\n")->append(command.get())->append(L" \n \n");
    announceOutput();

    const bool twoPass = workFolder != nullptr && workFolder->length() != 0;
    const wchar_t* workingDirectory = twoPass ? workFolder->c_str() : outputFolder_->c_str();
    const int64_t durationMs = info_->duration / 1000;
    const wchar_t* name = outputName_->c_str();
    if (external_) {
        // A child started in a folder the system cannot take as its working folder
        // (a long one) dies; a single pass needs none of its own, as every path is whole.
        Held<StrBuffer> shortFolder(twoPass ? nullptr : shortWorkingFolder(program_->c_str()));
        if (shortFolder) {
            workingDirectory = shortFolder->c_str();
        }
        ExternalHost host(dialog_);
        const s::ffmpeg::ExternalRun run{command->c_str(), name, workingDirectory, pass, weight, durationMs,
                                         dialog_->cancelFlag(), log_, &host, startFailure_.get()};
        return s::ffmpeg::runExternalFfmpeg(run);
    }
    return runner_(command->c_str(), pass, weight, workingDirectory, durationMs, dialog_, name,
                   dialog_->cancelFlag());
}

// The bar starts over for the file: taskbar, progress event, priority rule.
void Attempt::announceOutput() {
    ITaskbarProgress* bar = dialog_->taskbar();
    if (bar != nullptr) {
        bar->taskbarProgress(START_TOTAL, 0);
    }
    dialog_->sendWorkerEvent(EVENT_PROCESS_STATUS_UPDATE, START_TOTAL, 0, outputName_->c_str());
    dialog_->updateWorkerPriority(false);
}

bool Attempt::finish() {
    if (!isFileThere(output_)) {
        log_->append(L"[Output Path]: FFmpeg reported success but left no output\n \n");
        return false;
    }
    if (!holdsAudio(output_->getApiText())) {
        return false;
    }
    SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHW, output_->getText(), nullptr);
    return true;
}

bool Attempt::holdsAudio(const wchar_t* written) {
    if (setting_->outputId != 0) {
        return true;  // a video keeps its pictures without sound
    }
    // Raw samples carry no header a decoder could read: any byte of them is sound when
    // the input holds some.
    const bool raw = wcscmp(FormatTable::audioOutputExtension(setting_->formatId), L".raw") == 0;
    if (raw) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        const bool hasBytes = GetFileAttributesExW(written, GetFileExInfoStandard, &data) &&
                              (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
        // Opened by the form that names it exactly ("end.wav." too).
        Held<PathWin> exactInput(PathWin::create(input_));
        if (hasBytes && !decodesAudio(exactInput ? exactInput->getApiText() : input_)) {
            log_->append(L"[Output Check]: the input gives no decodable audio, so the output cannot hold any\n \n");
            return false;
        }
        if (hasBytes) {
            return true;
        }
    } else if (decodesAudio(written)) {
        return true;
    }
    log_->append(L"[Output Check]: the output holds no decodable audio\n \n");
    return false;
}

bool Attempt::decodesAudio(const wchar_t* path) {
    const JobLoop::AudioCheckFn configured = audioCheck.load();
    if (configured != nullptr) {
        return configured(path);
    }
    if (librariesBound()) {
        return fftools::DecodableAudio::holds(path);
    }
    Held<StrBuffer> folder(shortWorkingFolder(program_->c_str()));
    return s::ffmpeg::externalDecodesAudio(program_->c_str(), path, folder ? folder->c_str() : nullptr,
                                           EXTERNAL_JUDGE_MS, dialog_->cancelFlag());
}

void Attempt::removeOutputs() {
    if (output_ != nullptr) {
        s::ffmpeg::removeRetrying(output_->getText());
    }
}

void Attempt::explainFailure() {
    if (setting_ == nullptr || setting_->outputId == 0) {
        return;
    }
    const wchar_t* codec = VideoPresets::codecForPreset(setting_->outputId);
    int32_t id = setting_->outputId, format = setting_->formatId;
    uint8_t twoPass = setting_->twoPass;
    const wchar_t* extension = VideoPresets::videoOutputExtension(id, nullptr, nullptr, format, twoPass);
    // Xvid is encoded by FFmpeg's own MPEG-4 encoder; disc targets name no encoder.
    if (codec != nullptr && !VideoPresets::isDiscTarget(codec) && wcscmp(codec, L"libxvid") != 0 &&
        s::ffmpeg::ffmpegLibrariesLoaded() && s::ffmpeg::avcodec_find_encoder_by_name != nullptr) {
        char name[32] = {0};
        for (size_t i = 0; codec[i] != 0 && i + 1 < sizeof(name); ++i) {
            name[i] = static_cast<char>(codec[i]);
        }
        if (s::ffmpeg::avcodec_find_encoder_by_name(name) == nullptr) {
            log_->append(L"[Video]: the FFmpeg libraries of this program have no encoder '")->append(codec)->append(
                L"'; this preset needs an ffmpeg.exe that has it.\n \n");
        }
    }
    if (codec != nullptr && wcscmp(extension, L".swf") == 0 && wcscmp(codec, L"flv") != 0) {
        log_->append(L"[Video]: an SWF file takes only FLV1, VP6 or MJPEG pictures and MP3 sound; FFmpeg's SWF writer"
                     L" refuses ")->append(codec)->append(L" pictures.\n \n");
    }
}

void Attempt::writeErrorLog() {
    const wchar_t* folderText = dialog_->outputFolder();
    Held<PathWin> base(PathWin::createJoined(folderText != nullptr ? folderText : L"", JobLoop::ERROR_LOG_NAME));
    Held<PathWin> target(base ? base->uniqueName() : nullptr);
    Held<StrArray> lines(log_->split(L'\n'));
    if (target && lines && lines->saveToFile(target->getText())) {
        dialog_->setErrorLogName(target->getName());
    }
}

// Steps one file through its attempts: the road chosen first and, after an in-process
// failure, once more through an ffmpeg.exe child.
void convertFile(IJobDialog* dialog, StrBuffer* log, const wchar_t* inputPath) {
    {
        Held<PathWin> input(PathWin::create(inputPath));
        if (!input || !input->isFile()) {
            return;
        }
    }
    for (bool retry = false;; retry = true) {
        Attempt attempt(dialog, log, inputPath);
        int32_t status = attempt.convert(retry);
        if (status == RUN_SUCCEEDED) {
            if (attempt.finish()) {
                dialog->setLastFileSucceeded(true);
                return;
            }
            status = RUN_FAILED;
        }
        if (status == RUN_CANCELLED) {
            attempt.removeOutputs();
            dialog->setLastFileSucceeded(false);
            return;
        }
        if (!retry && !attempt.external() && status != STATUS_RESAMPLING_UNSUPPORTED && status != RUN_NOT_STARTED &&
            status != STATUS_INPUT_UNSUPPORTED && s::ffmpeg::locateFfmpegExecutable(nullptr, nullptr, nullptr)) {
            log->append(JobLoop::DEBUG_MODE_LINE)->append(L" \n \n");
            attempt.removeOutputs();
            continue;
        }
        attempt.explainFailure();
        attempt.writeErrorLog();
        // Gone before the box shows: a run that never started leaves an empty file.
        attempt.removeOutputs();
        wchar_t statusText[16];
        swprintf(statusText, 16, L"%d", static_cast<int>(status));
        dialog->setFailureReason(status == RUN_NOT_STARTED ? attempt.startFailure() : L"");
        dialog->sendWorkerEvent(EVENT_REPORT_ERROR, reinterpret_cast<intptr_t>(inputPath),
                                reinterpret_cast<intptr_t>(attempt.outputText()), statusText);
        dialog->setLastFileSucceeded(false);
        return;
    }
}

} // namespace

InProcessRunner JobLoop::setInProcessRunner(InProcessRunner runner) {
    return inProcessRunner.exchange(runner);
}

JobLoop::LibrariesBoundFn JobLoop::setLibrariesBoundCheck(LibrariesBoundFn check) {
    return librariesBoundCheck.exchange(check);
}

JobLoop::ProbeFn JobLoop::setProber(ProbeFn probe) {
    return prober.exchange(probe);
}

JobLoop::AudioCheckFn JobLoop::setAudioCheck(AudioCheckFn check) {
    return audioCheck.exchange(check);
}

void JobLoop::runQueue(IJobDialog* dialog) {
    if (dialog == nullptr) {
        return;
    }
    Held<StrBuffer> ownLog(dialog->jobLog() == nullptr ? StrBuffer::pool() : nullptr);
    StrBuffer* log = ownLog ? ownLog.get() : dialog->jobLog();
    ITaskbarProgress* bar = dialog->taskbar();
    if (bar != nullptr) {
        bar->taskbarStart();
    }
    dialog->sendWorkerEvent(EVENT_PROCESS_STATUS_START, 0, 0, nullptr);
    dialog->updateWorkerPriority(false);

    const std::atomic<uint8_t>* cancel = dialog->cancelFlag();
    for (int32_t i = 0; log != nullptr; ++i) {
        // The window's thread takes this lock to queue dropped files: hold it only to
        // copy the path, never while converting or sending an event.
        StrBuffer* path = nullptr;
        dialog->lockQueue();
        const bool more = i < dialog->queueCount() && !isSet(cancel);
        if (more) {
            path = StrBuffer::fromText(dialog->queuedPath(i));
            dialog->setCurrentIndex(i + 1);
        }
        dialog->unlockQueue();
        if (!more) {
            break;
        }
        Held<StrBuffer> input(path);
        if (input) {
            convertFile(dialog, log, input->c_str());
        }
    }

    dialog->updateWorkerPriority(true);
    if (bar != nullptr) {
        bar->taskbarEnd();
    }
    dialog->sendWorkerEvent(EVENT_PROCESS_STATUS_END, 0, 0, nullptr);
}

} // namespace s::sound::ffmpeg
