#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/ChildProcess.h"

namespace {

using testsupport::programFolder;

const wchar_t* const DLLS[] = {L"avcodec-59.dll", L"avdevice-59.dll", L"avfilter-8.dll", L"avformat-59.dll",
                               L"avutil-57.dll", L"swresample-4.dll", L"swscale-6.dll"};

// What the helper printed when started in `folder`.
std::string bindIn(const std::wstring& folder) {
    std::string output;
    const std::wstring helper = folder + L"\\engine_bind_helper.exe";
    EXPECT_EQ(testsupport::runCaptured(L"\"" + helper + L"\"", folder, output), 0) << output;
    return output;
}

// A folder holding the helper and the named DLLs (copied from beside this program);
// fakeAvdevice puts the stand-in that lacks avdevice_register_all there as well.
std::wstring bindingFolder(const std::wstring& name, bool realDlls, bool fakeAvdevice) {
    const std::wstring dir = testsupport::freshTempFolder(name);
    const std::wstring from = programFolder();
    EXPECT_TRUE(CopyFileW((from + L"\\engine_bind_helper.exe").c_str(), (dir + L"\\engine_bind_helper.exe").c_str(), FALSE));
    for (const wchar_t* dll : DLLS) {
        const bool fake = fakeAvdevice && std::wstring(dll) == L"avdevice-59.dll";
        if (fake) {
            EXPECT_TRUE(CopyFileW((std::wstring(FAKE_FFMPEG_DIR) + L"\\" + dll).c_str(), (dir + L"\\" + dll).c_str(), FALSE));
        } else if (realDlls) {
            EXPECT_TRUE(CopyFileW((from + L"\\" + dll).c_str(), (dir + L"\\" + dll).c_str(), FALSE));
        }
    }
    return dir;
}

} // namespace

// Each case is one run of the binder in a process of its own: the boxes it shows (all
// information boxes, 64), both answers, which functions got bound, and the shutdown.
TEST(FfmpegBinding, ReportsEveryFailingLibraryOnceAndOnlyOnce) {
    const struct {
        const wchar_t* folder;
        bool realDlls;
        bool fakeAvdevice;
        const char* expected;
    } cases[] = {
        // No DLL at all: every library in binding order, error 126 (module not found).
        {L"bind-empty", false, false,
         "box|64|Failed to Load avcodec-59.dll!!\\nError Code - 126\n"
         "box|64|Failed to Load avdevice-59.dll!!\\nError Code - 126\n"
         "box|64|Failed to Load avfilter-8.dll!!\\nError Code - 126\n"
         "box|64|Failed to Load avformat-59.dll!!\\nError Code - 126\n"
         "box|64|Failed to Load avutil-57.dll!!\\nError Code - 126\n"
         "box|64|Failed to Load swresample-4.dll!!\\nError Code - 126\n"
         "box|64|Failed to Load swscale-6.dll!!\\nError Code - 126\n"
         "first|0\nsecond|0\n"
         "bound|avcodec_open2=0 avformat_open_input=0 avdevice_register_all=0\n"
         "loaded|0\nprobe|probed=0 streams=0\nafter shutdown|0\n"},
        // One library without its export: its two boxes (error 127, procedure not found),
        // while the others are bound all the same.
        {L"bind-no-export", true, true,
         "box|64|avdevice-59.dll: avdevice_register_all not found!\n"
         "box|64|Failed to Load avdevice-59.dll!!\\nError Code - 127\n"
         "first|0\nsecond|0\n"
         "bound|avcodec_open2=1 avformat_open_input=1 avdevice_register_all=0\n"
         "loaded|0\nprobe|probed=0 streams=0\nafter shutdown|0\n"},
        {L"bind-all", true, false,
         "first|1\nsecond|1\n"
         "bound|avcodec_open2=1 avformat_open_input=1 avdevice_register_all=1\n"
         "loaded|1\nprobe|probed=1 streams=0\nafter shutdown|0\n"},
    };
    for (const auto& c : cases) {
        const std::wstring dir = bindingFolder(c.folder, c.realDlls, c.fakeAvdevice);
        EXPECT_EQ(bindIn(dir), c.expected) << std::string(c.folder, c.folder + wcslen(c.folder));
        testsupport::removeTree(dir);
    }
}
