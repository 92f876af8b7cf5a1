// ffmpeg.exe and ffprobe.exe of the third-party build, run from the tests: media made
// for them, and ffprobe.exe's answers about outputs. The test program defines
// FFMPEG_TOOLS_DIR.
#pragma once
#include <map>
#include <sstream>
#include <string>

#include "support/ChildProcess.h"

namespace testsupport {

// Runs one of the tools ("ffmpeg.exe", "ffprobe.exe") with arguments in folder (empty:
// ours); its exit code, output captured.
inline int runTool(const wchar_t* tool, const std::wstring& arguments, const std::wstring& folder,
                   std::string& output) {
    return runCaptured(L"\"" FFMPEG_TOOLS_DIR L"\\" + std::wstring(tool) + L"\" " + arguments, folder, output);
}

// ffmpeg.exe run quietly in folder, overwriting what is there; true when it succeeded.
inline bool makeMedia(const std::wstring& arguments, const std::wstring& folder) {
    std::string output;
    return runTool(L"ffmpeg.exe", L"-hide_banner -loglevel error -y " + arguments, folder, output) == 0;
}

// ffprobe.exe's answers about file for entries (its -show_entries text): "stream.N.key"
// and "format.key" to value, quotes dropped; empty when it fails.
inline std::map<std::string, std::string> probeFile(const std::wstring& file, const std::wstring& entries) {
    std::string output;
    std::map<std::string, std::string> values;
    if (runTool(L"ffprobe.exe", L"-v error -show_entries " + entries + L" -of flat \"" + file + L"\"", L"", output) !=
        0) {
        return values;
    }
    // lines like streams.stream.0.codec_name="mp3" and format.duration="2.000000"
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        if (key.rfind("streams.", 0) == 0) key = key.substr(8);
        if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
        values[key] = value;
    }
    return values;
}

// "stream.N." of the first stream of kind ("video", "audio") among the first eight
// (a DVD starts with its navigation stream); empty when there is none.
inline std::string firstStream(const std::map<std::string, std::string>& values, const std::string& kind) {
    for (int i = 0; i < 8; ++i) {
        const std::string stream = "stream." + std::to_string(i) + ".";
        const auto type = values.find(stream + "codec_type");
        if (type != values.end() && type->second == kind) return stream;
    }
    return {};
}

// One answer, "(none)" when ffprobe.exe gave none.
inline std::string answer(const std::map<std::string, std::string>& values, const std::string& key) {
    const auto it = values.find(key);
    return it != values.end() ? it->second : "(none)";
}

} // namespace testsupport
