// Binds the FFmpeg libraries from the folder it is started in and prints, one line each,
// every message box it was shown ("box|<type>|<text>", line breaks as "\n") and the
// binder's answers. The binder's state lives for the process, so each scenario of the
// tests is one run of this program in a folder of its own.
#include <windows.h>

#include <cstdio>
#include <string>

#include "engine/ffmpeg/FfmpegLibraries.h"
#include "engine/fftools/MediaProber.h"
#include "engine/system/win/MessageBoxSeam.h"

namespace {

int WINAPI printBox(HWND, LPCWSTR text, LPCWSTR, UINT type) {
    std::wstring escaped;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        escaped += *p == L'\n' ? std::wstring(L"\\n") : std::wstring(1, *p);
    }
    std::printf("box|%u|%ls\n", type, escaped.c_str());
    return IDOK;
}

} // namespace

int main() {
    namespace ff = s::ffmpeg;
    s::system::win::MessageBoxSeam::set(&printBox);
    std::printf("first|%d\n", ff::loadFfmpegLibraries() ? 1 : 0);
    std::printf("second|%d\n", ff::loadFfmpegLibraries() ? 1 : 0);
    std::printf("bound|avcodec_open2=%d avformat_open_input=%d avdevice_register_all=%d\n",
                ff::avcodec_open2 != nullptr, ff::avformat_open_input != nullptr,
                ff::avdevice_register_all != nullptr);
    std::printf("loaded|%d\n", ff::ffmpegLibrariesLoaded() ? 1 : 0);
    // Without the libraries a probe must not reach FFmpeg at all. A short text beside
    // this program is a file, though not a media file (the program itself is no good:
    // some demuxer may find a stream in a large enough binary).
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring plain(self, length);
    plain = plain.substr(0, plain.find_last_of(L'\\') + 1) + L"plain.bin";
    HANDLE file = CreateFileW(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, "no media here, only words.\n", 27, &wrote, nullptr);
    CloseHandle(file);
    s::video::VideoInfo* info = s::fftools::probeMediaFile(plain.c_str());
    std::printf("probe|probed=%d streams=%u\n", info->probed, info->streamCount());
    info->release();
    ff::shutdownFfmpegLibraries();
    std::printf("after shutdown|%d\n", ff::ffmpegLibrariesLoaded() ? 1 : 0);
    return 0;
}
