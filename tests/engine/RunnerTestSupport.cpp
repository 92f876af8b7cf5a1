#include "RunnerTestSupport.h"

#include "core/str/strbuffer/StrBuffer.h"
#include "support/ChildProcess.h"
#include "support/RawFile.h"

using testsupport::readRaw;

void RecordingHost::onProgress(int64_t total, int64_t position, const wchar_t* outputName) {
    reports.push_back(Report{total, position, outputName != nullptr ? outputName : L"",
                             log_ != nullptr ? log_->length() : 0});
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    path_ = testsupport::freshTempFolder(L"brisquelton-runner-" + std::to_wstring(++counter));
}

ScratchFolder::~ScratchFolder() {
    testsupport::removeTree(path_);
}

std::wstring standIn(const std::wstring& steps) {
    return L"\"" + testsupport::programFolder() + L"\\engine_standin.exe\" " + steps;
}

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool processRunning(const std::wstring& pidFile) {
    const DWORD id = static_cast<DWORD>(strtoul(readRaw(pidFile).c_str(), nullptr, 10));
    if (id == 0) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

bool waitForFile(const std::wstring& path, DWORD ms) {
    const ULONGLONG start = GetTickCount64();
    while (!fileExists(path) || readRaw(path).empty()) {
        if (GetTickCount64() - start > ms) return false;
        Sleep(10);
    }
    return true;
}
