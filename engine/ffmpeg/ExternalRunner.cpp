#include "engine/ffmpeg/ExternalRunner.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/str/strbuffer/StrBuffer.h"
#include "engine/ffmpeg/IRunHost.h"
#include "engine/ffmpeg/ProgressParser.h"

namespace s::ffmpeg {

namespace {

typedef str::strbuffer::StrBuffer StrBuffer;

// How often a running child is looked at for output, its end and the cancel byte.
constexpr DWORD kPollMs = 20;
// How long a cancelled child may take to go after it was ended.
constexpr DWORD kEndWaitMs = 5000;
// A line longer than this is cut: no progress line comes near it, and an endless one
// must not grow the buffer for ever.
constexpr size_t kMaxLineBytes = 64 * 1024;
// Room in the pipe, so a child that prints in bursts seldom waits for the reader.
constexpr DWORD kPipeBytes = 64 * 1024;
// Between a start the system refused and the second one.
constexpr DWORD kRestartPauseMs = 200;

std::atomic<ProcessStartFn> processStart{nullptr};

void closeHandle(HANDLE& h) {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
    }
    h = nullptr;
}

// ffmpeg prints UTF-8 (file names included); anything that is not valid UTF-8 is read
// in the ANSI code page instead of turning into replacement characters.
void decodeLine(const std::string& bytes, std::wstring* out) {
    out->clear();
    if (bytes.empty()) {
        return;
    }
    const int n = static_cast<int>(bytes.size());
    UINT codePage = CP_UTF8;
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), n, nullptr, 0);
    if (units <= 0) {
        codePage = CP_ACP;
        units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, nullptr, 0);
    }
    if (units <= 0) {
        return;
    }
    out->resize(static_cast<size_t>(units));
    MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, bytes.data(), n, &(*out)[0],
                        units);
}

// The child, its pipe and the job object that holds it and whatever it starts.
class Child {
public:
    Child() = default;
    ~Child() {
        closeHandle(read_);
        closeHandle(process_);
        // Closing the job ends anything the child left running.
        closeHandle(job_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool start(const wchar_t* command, const wchar_t* workingDirectory);
    // The system's error when start failed.
    DWORD startError() const { return startError_; }
    HANDLE process() const { return process_; }
    HANDLE readEnd() const { return read_; }
    // Ends the child and everything in its job, and waits until the child is gone.
    void end();

private:
    HANDLE read_ = nullptr;
    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    bool inJob_ = false;
    DWORD startError_ = 0;
};

bool Child::start(const wchar_t* command, const wchar_t* workingDirectory) {
    if (command == nullptr || command[0] == L'\0') {
        return false;
    }
    // Both ends start private; only the child's copy of the write end and its null
    // input are made inheritable, and the parent drops them once the child has them, so
    // the pipe breaks when the child's side closes.
    HANDLE write = nullptr;
    if (!CreatePipe(&read_, &write, nullptr, kPipeBytes)) {
        read_ = nullptr;
        return false;
    }
    SECURITY_ATTRIBUTES inheritable = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nullInput = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr);
    if (nullInput == INVALID_HANDLE_VALUE || !SetHandleInformation(write, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
        closeHandle(nullInput);
        closeHandle(write);
        return false;
    }

    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_ != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }

    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof(startup.StartupInfo);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = nullInput;
    startup.StartupInfo.hStdOutput = write;
    startup.StartupInfo.hStdError = write;

    // Where the system can, the child inherits these two handles and nothing else.
    HANDLE inherited[2] = {write, nullInput};
    std::vector<unsigned char> attributeRoom;
    SIZE_T attributeSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &attributeSize);
    if (attributeSize != 0) {
        attributeRoom.resize(attributeSize);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeRoom.data());
        if (InitializeProcThreadAttributeList(list, 1, 0, &attributeSize)) {
            if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof(inherited),
                                          nullptr, nullptr)) {
                startup.lpAttributeList = list;
                startup.StartupInfo.cb = sizeof(startup);
            } else {
                DeleteProcThreadAttributeList(list);
            }
        }
    }

    std::wstring line(command);
    PROCESS_INFORMATION info = {};
    const DWORD flags = BELOW_NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED |
                        (startup.lpAttributeList != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const ProcessStartFn startFn = processStart.load();
    const BOOL started = (startFn != nullptr ? startFn : &CreateProcessW)(
        nullptr, &line[0], nullptr, nullptr, TRUE, flags, nullptr, workingDirectory, &startup.StartupInfo, &info);
    if (startup.lpAttributeList != nullptr) {
        DeleteProcThreadAttributeList(startup.lpAttributeList);
    }
    startError_ = started ? 0 : GetLastError();
    closeHandle(write);
    closeHandle(nullInput);
    if (!started) {
        return false;
    }
    process_ = info.hProcess;
    // Some systems (Wine) ignore the class among the creation flags.
    SetPriorityClass(process_, BELOW_NORMAL_PRIORITY_CLASS);
    // In the job before it runs a single instruction, so nothing it starts escapes.
    // A system that refuses the job (nested jobs) still runs the child, and cancel
    // then ends the child alone.
    inJob_ = job_ != nullptr && AssignProcessToJobObject(job_, process_);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    return true;
}

// A loaded system can refuse a start (error 1359 once in thousands of runs) that it
// takes a moment later: a refused start is made once more, by a fresh child. refused
// gets the first refusal's error, 0 when the first start was taken.
std::unique_ptr<Child> startChild(const wchar_t* command, const wchar_t* workingDirectory, DWORD* refused) {
    *refused = 0;
    auto child = std::make_unique<Child>();
    if (child->start(command, workingDirectory) || child->startError() == 0) {
        return child;
    }
    *refused = child->startError();
    Sleep(kRestartPauseMs);
    child = std::make_unique<Child>();
    child->start(command, workingDirectory);
    return child;
}

void Child::end() {
    if (process_ == nullptr) {
        return;
    }
    if (!inJob_ || !TerminateJobObject(job_, RUN_CANCELLED)) {
        TerminateProcess(process_, RUN_CANCELLED);
    }
    WaitForSingleObject(process_, kEndWaitMs);
}

// Splits the child's output at carriage returns (line feeds stay in the text) and
// sends each line to progress or to the log.
class OutputReader {
public:
    explicit OutputReader(const ExternalRun& run)
        : run_(run), logStart_(run.log != nullptr ? run.log->length() : 0) {}

    void consume(const char* bytes, DWORD count, HANDLE process);
    // The text after the last carriage return, once the child has ended.
    void finish(HANDLE process);

private:
    void handleLine(HANDLE process);

    const ExternalRun& run_;
    std::string pending_;
    std::wstring line_;
    // Where this run's lines start: each attempt on a file has its own share.
    uint32_t logStart_;
    bool headingWritten_ = false;
    bool idle_ = false;
};

void OutputReader::consume(const char* bytes, DWORD count, HANDLE process) {
    for (DWORD i = 0; i < count; ++i) {
        if (bytes[i] == '\r') {
            handleLine(process);
        } else if (pending_.size() < kMaxLineBytes) {
            pending_.push_back(bytes[i]);
        }
    }
}

void OutputReader::finish(HANDLE process) {
    if (!pending_.empty()) {
        handleLine(process);
    }
}

void OutputReader::handleLine(HANDLE process) {
    decodeLine(pending_, &line_);
    pending_.clear();
    if (run_.host != nullptr) {
        const bool idle = run_.host->wantsIdlePriority();
        if (idle != idle_) {
            SetPriorityClass(process, idle ? IDLE_PRIORITY_CLASS : BELOW_NORMAL_PRIORITY_CLASS);
            idle_ = idle;
        }
    }
    const uint32_t length = static_cast<uint32_t>(line_.size());
    Progress progress = {};
    if (parseProgressLine(line_.c_str(), length, run_.durationMs, run_.pass, run_.passWeight, &progress)) {
        if (run_.host != nullptr) {
            run_.host->onProgress(progress.total, progress.position, run_.outputName);
        }
        return;
    }
    if (run_.log == nullptr || run_.log->length() > logStart_ + LOG_CAP) {
        return;
    }
    if (!headingWritten_) {
        run_.log->append(L"[FFmpeg Output]:\n");
        headingWritten_ = true;
    }
    run_.log->appendUnits(line_.c_str(), static_cast<int32_t>(length));
}

// The system error a loader's exit status stands for; 0 for any other exit code. A
// child whose DLLs are missing starts, then its loader ends it with one of these.
DWORD loaderFailure(DWORD exitCode) {
    switch (exitCode) {
    case 0xC0000135: return ERROR_MOD_NOT_FOUND;    // a DLL not found
    case 0xC0000139: return ERROR_PROC_NOT_FOUND;   // an export missing from one
    case 0xC000007B: return ERROR_BAD_EXE_FORMAT;   // a DLL of the wrong machine
    case 0xC0000142: return ERROR_DLL_INIT_FAILED;  // a DLL's start failed
    default: return 0;
    }
}

// The system's own words for an error, with its number.
void appendSystemText(DWORD error, StrBuffer* out) {
    wchar_t text[512] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                             static_cast<DWORD>(sizeof(text) / sizeof(text[0])), nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) {
        text[--n] = 0;
    }
    if (n > 0) {
        out->append(text)->append(L" ");
    }
    out->append(L"(system error ")->appendUInt32(error)->append(L")");
}

int32_t notStarted(const ExternalRun& run, DWORD error, bool triedTwice) {
    if (run.startFailure != nullptr) {
        run.startFailure->clear();
        appendSystemText(error, run.startFailure);
        if (triedTwice) {
            run.startFailure->append(TRIED_TWICE_TEXT);
        }
    }
    if (run.log != nullptr) {
        run.log->append(L"[FFmpeg]: the external tool ffmpeg.exe could not be started: ");
        appendSystemText(error, run.log);
        if (triedTwice) {
            run.log->append(TRIED_TWICE_TEXT);
        }
        run.log->append(L"\n \n");
    }
    return RUN_NOT_STARTED;
}

bool cancelled(const ExternalRun& run) {
    return run.cancel != nullptr && run.cancel->load() != 0;
}

// Reads what the pipe holds now without blocking; false once the pipe is broken.
bool readAvailable(HANDLE pipe, OutputReader& reader, HANDLE process, bool* gotData) {
    char buffer[4096];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) {
            return false;
        }
        if (available == 0) {
            return true;
        }
        DWORD got = 0;
        const DWORD want = available < sizeof(buffer) ? available : static_cast<DWORD>(sizeof(buffer));
        if (!ReadFile(pipe, buffer, want, &got, nullptr)) {
            return false;
        }
        *gotData = *gotData || got != 0;
        reader.consume(buffer, got, process);
    }
}

} // namespace

ProcessStartFn setProcessStart(ProcessStartFn fn) {
    return processStart.exchange(fn);
}

int32_t runExternalFfmpeg(const ExternalRun& run) {
    if (cancelled(run)) {
        return RUN_CANCELLED;
    }
    DWORD refused = 0;
    const std::unique_ptr<Child> started = startChild(run.command, run.workingDirectory, &refused);
    Child& child = *started;
    if (child.process() == nullptr) {
        return child.startError() != 0 ? notStarted(run, child.startError(), refused != 0) : RUN_FAILED;
    }
    if (refused != 0 && run.log != nullptr) {
        run.log->append(L"[FFmpeg]: the system refused the first start of ffmpeg.exe: ");
        appendSystemText(refused, run.log);
        run.log->append(L"; the second was taken\n \n");
    }
    OutputReader reader(run);
    bool pipeOpen = true;
    // The child's end, not the pipe's, ends the run: something the child started may
    // still hold the write end.
    for (;;) {
        if (cancelled(run)) {
            child.end();
            return RUN_CANCELLED;
        }
        const bool exited = WaitForSingleObject(child.process(), 0) == WAIT_OBJECT_0;
        bool gotData = false;
        if (pipeOpen) {
            // Read after looking at the child, so all it wrote before ending is taken.
            pipeOpen = readAvailable(child.readEnd(), reader, child.process(), &gotData);
        }
        if (exited) {
            break;
        }
        if (!gotData) {
            WaitForSingleObject(child.process(), kPollMs);
        }
    }
    reader.finish(child.process());
    if (cancelled(run)) {
        return RUN_CANCELLED;
    }
    if (run.log != nullptr) {
        run.log->append(L"\n\n");
    }
    DWORD code = 1;
    if (!GetExitCodeProcess(child.process(), &code)) {
        return RUN_FAILED;
    }
    if (loaderFailure(code) != 0) {
        return notStarted(run, loaderFailure(code), false);
    }
    return code == 0 ? RUN_SUCCEEDED : RUN_FAILED;
}

bool externalDecodesAudio(const wchar_t* program, const wchar_t* path, const wchar_t* workingDirectory,
                          uint32_t timeoutMs, const std::atomic<uint8_t>* cancel) {
    if (program == nullptr || program[0] == L'\0' || path == nullptr) {
        return false;
    }
    // Quiet but for framecrc's lines: its header lines start with '#', a decoded frame's
    // line with its stream number. One frame is enough.
    const std::wstring command = L"\"" + std::wstring(program) + L"\" -nostdin -v quiet -i \"" + path +
                                 L"\" -map 0:a:0 -frames:a 1 -f framecrc -";
    DWORD refused = 0;
    const std::unique_ptr<Child> started = startChild(command.c_str(), workingDirectory, &refused);
    Child& child = *started;
    if (child.process() == nullptr) {
        return false;
    }
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::string output;
    char buffer[4096];
    for (;;) {
        if (cancel != nullptr && cancel->load() != 0) {
            child.end();
            return false;
        }
        const bool exited = WaitForSingleObject(child.process(), 0) == WAIT_OBJECT_0;
        DWORD available = 0;
        bool gotData = false;
        while (PeekNamedPipe(child.readEnd(), nullptr, 0, nullptr, &available, nullptr) && available != 0) {
            DWORD got = 0;
            if (!ReadFile(child.readEnd(), buffer, available < sizeof(buffer) ? available : sizeof(buffer), &got,
                          nullptr) || got == 0) {
                break;
            }
            gotData = true;
            if (output.size() < kMaxLineBytes) {
                output.append(buffer, got);
            }
        }
        if (exited) {
            break;
        }
        if (GetTickCount64() >= deadline) {
            child.end();
            return false;
        }
        if (!gotData) {
            WaitForSingleObject(child.process(), kPollMs);
        }
    }
    for (size_t at = 0; at < output.size();) {
        if (output[at] >= '0' && output[at] <= '9') {
            return true;
        }
        const size_t end = output.find('\n', at);
        at = end == std::string::npos ? output.size() : end + 1;
    }
    return false;
}

} // namespace s::ffmpeg
