#include "ScratchDrive.h"

namespace {

const wchar_t MARKER[] = L"scratch-drive.marker";

std::wstring widened(const char* text) {
    std::wstring out;
    for (const char* p = text; *p != 0; ++p) {
        out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    return out;
}

// Polls for up to 5 s: a Unix program started from Wine ends on its own time.
template <class Fn>
bool within5s(Fn&& done) {
    for (int i = 0; i < 100; ++i) {
        if (done()) {
            return true;
        }
        Sleep(50);
    }
    return done();
}

} // namespace

ScratchDrive::ScratchDrive(const std::wstring& folder) : folder_(folder), letter_(0) {
    wchar_t prefix[1024] = {};
    const DWORD n = GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024);
    typedef char*(CDECL * UnixName)(const wchar_t*);
    auto unixName =
        reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (n == 0 || n >= 1024 || unixName == nullptr) {
        reason_ = "not running under Wine with WINEPREFIX set: no drive can be mapped for the test";
        return;
    }
    char* target = unixName(folder.c_str());
    if (target == nullptr) {
        reason_ = "the scratch folder has no Unix name";
        return;
    }
    const std::wstring unixTarget = widened(target);
    HeapFree(GetProcessHeap(), 0, target);
    token_ = "scratch drive " + std::to_string(GetCurrentProcessId()) + " " + std::to_string(GetTickCount64());
    if (!Scratch::write(folder + L"\\" + MARKER, token_)) {
        reason_ = "cannot write the marker file";
        return;
    }
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        const std::wstring link = std::wstring(prefix) + L"/dosdevices/" + static_cast<wchar_t>(towlower(letter)) + L":";
        // A letter in use is left alone; so is any dosdevices entry already there, since
        // ln refuses to replace it and the marker then does not show.
        if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES ||
            !runUnix(L"/bin/ln -s \"" + unixTarget + L"\" \"" + link + L"\"")) {
            continue;
        }
        letter_ = letter;
        if (within5s([this] { return stillMapped(); })) {
            link_ = link;
            return;
        }
        letter_ = 0;
    }
    reason_ = "no drive letter between Q: and Y: could be mapped onto the scratch folder";
}

ScratchDrive::~ScratchDrive() {
    if (letter_ == 0) {
        return;
    }
    // rm without a trailing separator removes the link, never what it points at.
    runUnix(L"/bin/rm -f \"" + link_ + L"\"");
    const std::wstring root = this->root() + L"\\";
    within5s([&] { return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

bool ScratchDrive::stillMapped() const {
    std::string content;
    return letter_ != 0 && Scratch::read(root() + L"\\" + MARKER, content) && content == token_;
}

bool ScratchDrive::runUnix(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
