#include "RunnerTestSupport.h"

#include "core/str/strbuffer/StrBuffer.h"
#include "core/thread/Held.h"
#include "system/file/win/PathWin.h"

void RecordingHost::onProgress(int64_t total, int64_t position, const wchar_t* outputName) {
    reports.push_back(Report{total, position, outputName != nullptr ? outputName : L"",
                             log_ != nullptr ? log_->length() : 0});
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"brisquelton-runner-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    s::thread::Held<s::file::win::PathWin> folder(s::file::win::PathWin::create(path_.c_str()));
    folder->remove(false, false);
}

std::wstring testProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring text(path, n);
    return text.substr(0, text.find_last_of(L'\\'));
}

std::wstring standIn(const std::wstring& steps) {
    return L"\"" + testProgramFolder() + L"\\engine_standin.exe\" " + steps;
}

bool fileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) != FALSE;
    CloseHandle(h);
    return ok;
}

std::string readFile(const std::wstring& path) {
    std::string bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got != 0) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

bool processRunning(const std::wstring& pidFile) {
    const DWORD id = static_cast<DWORD>(strtoul(readFile(pidFile).c_str(), nullptr, 10));
    if (id == 0) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

bool waitForFile(const std::wstring& path, DWORD ms) {
    const ULONGLONG start = GetTickCount64();
    while (!fileExists(path) || readFile(path).empty()) {
        if (GetTickCount64() - start > ms) return false;
        Sleep(10);
    }
    return true;
}
