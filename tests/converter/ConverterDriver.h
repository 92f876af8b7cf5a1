// Driving Brisquelton.exe's converter: generated inputs, choices made in its real combo
// boxes, dropped files, and ffprobe.exe's view of what came out.
#pragma once
#include <windows.h>

#if __has_include(<gtest/gtest.h>)
#include <gtest/gtest.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/DropFiles.h"
#include "app/ProgramDriver.h"
#include "app/ProgramScreen.h"
#include "support/ChildProcess.h"
#include "support/FfmpegTools.h"
#include "support/RawFile.h"
#include "support/WaitFor.h"
#include "support/Wav.h"

namespace convtest {

using apptest::savePath;

const std::wstring VIEW = savePath(L"MainWindow\\View");
inline std::wstring optionKey(const wchar_t* group) { return savePath(std::wstring(L"MainWindow\\ConvertTo2\\") + group); }

using testsupport::waitFor;

inline bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline int64_t fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// An output written and closed: it holds data and nobody has it open. (The program makes
// an empty output before the run, and may still show the last batch's "Ready" then.)
inline bool written(const std::wstring& path) {
    if (fileSize(path) <= 0) return false;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// The names in folder, sorted.
inline std::vector<std::wstring> listFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) {
                names.push_back(found.cFileName);
            }
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A 16-bit PCM WAV of a 440 Hz sine at amplitude (0 to 1).
inline bool writeWav(const std::wstring& path, int32_t rate, int32_t channels, double seconds, double amplitude) {
    const uint32_t frames = static_cast<uint32_t>(rate * seconds);
    const uint32_t dataBytes = frames * channels * 2;
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << testsupport::wavHeader(static_cast<uint32_t>(rate), static_cast<uint32_t>(channels), dataBytes);
    std::vector<int16_t> block;
    block.reserve(static_cast<size_t>(rate) * channels);
    for (uint32_t i = 0; i < frames;) {
        block.clear();
        for (uint32_t j = 0; j < static_cast<uint32_t>(rate) && i < frames; ++j, ++i) {
            const int16_t v = static_cast<int16_t>(std::lround(32767.0 * amplitude * std::sin(2 * 3.141592653589793 * 440.0 * i / rate)));
            for (int32_t c = 0; c < channels; ++c) {
                block.push_back(v);
            }
        }
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 2));
    }
    return static_cast<bool>(out);
}

// The largest absolute 16-bit sample of a canonical PCM WAV (-1 when unreadable).
inline int32_t wavPeak(const std::wstring& path) {
    std::string data;
    return testsupport::findWavData(testsupport::readRaw(path), data) ? testsupport::peakOf(data) : -1;
}

// An MP3 made by the project's ffmpeg.exe from a WAV.
inline bool makeMp3(const std::wstring& wav, const std::wstring& mp3) {
    return testsupport::makeMedia(L"-i \"" + wav + L"\" -c:a libmp3lame -b:a 128k \"" + mp3 + L"\"", L"");
}

// ffprobe.exe's answers: "stream.0.codec_name", "format.bit_rate" ... to value.
inline std::map<std::string, std::string> probe(const std::wstring& file) {
    return testsupport::probeFile(
        file, L"stream=codec_name,sample_rate,channels,bit_rate:format=format_name,bit_rate,duration");
}

using apptest::comboOffering;
using apptest::showing;
using apptest::textOf;

using apptest::captionDrawn;

// Picks entry as a person does: a click opens the combo that offers it, a click on the
// entry chooses it; the combo then draws what it shows. What went wrong, empty when nothing.
inline std::string choose(HWND frame, const std::wstring& entry) {
    int32_t index = -1;
    HWND combo = comboOffering(frame, entry, &index);
    const std::string name(entry.begin(), entry.end());
    if (combo == nullptr) return "no list offers " + name;
    if (!apptest::chooseByClicks(combo, index)) return "could not click " + name;
    if (!testsupport::waitFor([&] { return captionDrawn(combo); }, 10000)) {
        const std::wstring shot = apptest::keepShot(testsupport::ScreenShot(testsupport::screenRect(frame)), L"choose");
        return "the list draws no caption after " + name + " (shot " + std::string(shot.begin(), shot.end()) + ")";
    }
    return "";
}

// The shown entry of the combo that offers entry.
inline std::wstring shownBeside(HWND frame, const std::wstring& entry) {
    int32_t index = -1;
    HWND combo = comboOffering(frame, entry, &index);
    return combo != nullptr ? apptest::shownEntry(combo) : L"?";
}

inline bool drop(HWND frame, const std::vector<std::wstring>& paths) {
    HWND target = apptest::dropTargetOf(frame);
    return target != nullptr && apptest::dropInto(target, paths);
}

// A message box of process: its text (empty when none is up).
inline std::wstring boxText(DWORD processId, HWND* box) {
    *box = nullptr;
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        if (owner == processId && IsWindowVisible(found)) {
            *box = found;
            wchar_t text[4096] = {};
            GetDlgItemTextW(found, 0xFFFF, text, 4096);
            return text;
        }
    }
    return L"";
}

// Brisquelton.exe (the one in folder) started on a clean product key, in the large view,
// with the update check just done. Every box it shows is answered by the test itself.
class Converter {
public:
    explicit Converter(const std::wstring& folder = testsupport::programFolder()) {
        const std::wstring exe = folder + L"\\Brisquelton.exe";
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        started_ = testsupport::startProcess(commandLine, FALSE, 0, nullptr, nullptr, &si, &info_);
        for (DWORD spent = 0; started_ && spent < 20000 && frame_ == nullptr; spent += 50) {
            const std::vector<HWND> frames = apptest::visibleFrames(info_.dwProcessId);
            if (!frames.empty()) {
                frame_ = frames.front();
            } else if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0) {
                break;
            }
        }
    }
    ~Converter() {
        if (started_) {
            // A program that does not close as a person closes it is a failure of the
            // test that started it; it is ended all the same.
            if (!exited(0) && !close(10000)) {
#ifdef ADD_FAILURE
                ADD_FAILURE() << "Brisquelton.exe did not close from its close box";
#else
                std::fprintf(stderr, "Brisquelton.exe did not close from its close box\n");
#endif
            }
            if (!exited(0)) {
                TerminateProcess(info_.hProcess, 9);
                WaitForSingleObject(info_.hProcess, 5000);
            }
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Settings for the next start: a clean key, the large view, no update check.
    static void prepare() {
        apptest::freshSettings();
        apptest::writeInt(VIEW, L"CompactView", 0);
    }

    HWND frame() const { return frame_; }
    HANDLE process() const { return info_.hProcess; }
    DWORD id() const { return info_.dwProcessId; }
    bool exited(DWORD ms) const { return WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }
    bool close(DWORD ms) { return apptest::closeAndWaitForExit(info_.hProcess, frame_, ms); }
    // Waits for the batch to end: the status line is back on "Ready".
    bool waitReady(DWORD ms) const {
        return waitFor([&] { return showing(frame_, L"Ready") != nullptr; }, ms);
    }
    // Drops paths and waits for output to appear and the batch to end.
    bool convert(const std::vector<std::wstring>& paths, const std::wstring& output, DWORD ms = 60000) {
        return drop(frame_, paths) && waitFor([&] { return written(output); }, ms) && waitReady(ms);
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    HWND frame_ = nullptr;
};

} // namespace convtest
