// What the in-process transcoder tests share: the FFmpeg libraries bound once, small
// media made by ffmpeg.exe, FFmpeg's messages caught, runs of the option side and of
// the whole tool, and ffprobe.exe as the judge of outputs.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/str/strbuffer/StrBuffer.h"

class TranscoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A file of the media folder, as a wide and as a UTF-8 path.
    static std::wstring path(const std::wstring& name);
    static std::string utf8(const std::wstring& name);
    static bool made(const std::wstring& name);

    // The option side alone: parses and opens, leaves the state for the test to look
    // at; the caller ends with cleanupTranscoder(). Arguments come after "ffmpeg".
    static int parse(const std::vector<std::string>& args);
    // The whole tool, as the runner calls it: 0, 1 or 2.
    static int run(const std::vector<std::string>& args);
    // What FFmpeg said since the test began.
    std::wstring log() const;
    // Forgets what FFmpeg said so far.
    void clearLog();
    // The same, narrowed for failure messages.
    std::string logText() const;
    bool logHas(const wchar_t* text) const { return log().find(text) != std::wstring::npos; }

    // ffprobe.exe's answers for one file: "stream.N.key" and "format.key" to value.
    static std::map<std::string, std::string> probe(const std::wstring& file);
    static bool exists(const std::wstring& file);
    static int64_t fileSize(const std::wstring& file);

    static std::wstring folder_;

private:
    static std::vector<std::wstring> made_;
    s::str::strbuffer::StrBuffer* log_ = nullptr;
};
