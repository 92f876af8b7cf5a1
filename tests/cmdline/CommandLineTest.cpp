#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "core/str/strbuffer/StrBuffer.h"
#include "system/process/commandline/CommandLineInfo.h"
#include "system/process/commandline/win/CommandLine.h"

using s::process::commandline::CommandLineInfo;
using s::process::commandline::win::CommandLine;

namespace {

// Records what the parser hands on.
struct Recorder : CommandLineInfo {
    struct Param {
        std::wstring text;
        bool flag;
        bool last;
    };
    std::vector<Param> params;
    void parseParam(const wchar_t* param, bool flag, bool last) override { params.push_back({param, flag, last}); }
};

std::vector<std::wstring> argumentsOf(const CommandLine* line) {
    std::vector<std::wstring> out;
    for (uint32_t i = 0; i < line->argumentCount(); ++i) {
        out.push_back(line->argument(i)->c_str());
    }
    return out;
}

} // namespace

TEST(CommandLineInfoTest, SplitsQuotedArgumentsStripsFlagMarksAndMarksTheLast) {
    Recorder recorder;
    uint32_t count = 99;
    ASSERT_TRUE(CommandLineInfo::parse(
        L"\"C:\\Program Files\\Brisquelton\\Brisquelton.exe\" /x -silent \"C:\\My Music\\a b.mp3\" "
        L"say\\\"hi\\\" plain",
        recorder, &count));
    ASSERT_EQ(5u, count);
    ASSERT_EQ(5u, recorder.params.size());
    EXPECT_EQ(L"x", recorder.params[0].text);
    EXPECT_TRUE(recorder.params[0].flag);
    EXPECT_EQ(L"silent", recorder.params[1].text);
    EXPECT_TRUE(recorder.params[1].flag);
    // A quoted path stays one argument, its spaces kept.
    EXPECT_EQ(L"C:\\My Music\\a b.mp3", recorder.params[2].text);
    EXPECT_FALSE(recorder.params[2].flag);
    EXPECT_EQ(L"say\"hi\"", recorder.params[3].text);
    EXPECT_EQ(L"plain", recorder.params[4].text);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_FALSE(recorder.params[i].last) << i;
    }
    EXPECT_TRUE(recorder.params[4].last);

    // The program name alone, or nothing at all, hands on nothing.
    recorder.params.clear();
    ASSERT_TRUE(CommandLineInfo::parse(L"\"C:\\Program Files\\Brisquelton\\Brisquelton.exe\"", recorder, &count));
    EXPECT_EQ(0u, count);
    ASSERT_TRUE(CommandLineInfo::parse(L"", recorder, &count));
    ASSERT_TRUE(CommandLineInfo::parse(nullptr, recorder, &count));
    EXPECT_TRUE(recorder.params.empty());
}

// Where the program name stands alone the system's splitter is not asked: what is handed on
// must still be what it would have split.
TEST(CommandLineInfoTest, HandsOnWhatTheSystemSplitterFindsAroundALoneProgramName) {
    const wchar_t* const lines[] = {
        L"app.exe", L"app.exe  \t ", L"\"C:\\Program Files\\a b.exe\"", L"\"C:\\a b.exe\"\t",
        L"\"C:\\unclosed quote.exe", L"app.exe x", L"\"a b.exe\"x", L"\"a b.exe\" \"\"", L"app.exe\n",
        L"app.exe\r\nx", L"  app.exe", L"\t", L"\"\"", L"app\"x y\".exe", L"app.exe \t -x",
    };
    for (const wchar_t* line : lines) {
        Recorder recorder;
        uint32_t count = 99;
        ASSERT_TRUE(CommandLineInfo::parse(line, recorder, &count)) << line;
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(line, &argc);
        ASSERT_NE(nullptr, argv) << line;
        ASSERT_EQ(static_cast<uint32_t>(argc - 1), count) << line;
        ASSERT_EQ(static_cast<size_t>(argc - 1), recorder.params.size()) << line;
        for (int i = 1; i < argc; ++i) {
            const wchar_t* arg = argv[i];
            const bool flag = arg[0] == L'-' || arg[0] == L'/';
            EXPECT_EQ(std::wstring(flag ? arg + 1 : arg), recorder.params[i - 1].text) << line;
        }
        LocalFree(argv);
    }
}

TEST(CommandLineTest, StoresFlagsWithDashKeepsPathsAndComesBackEmptyFromItsPool) {
    CommandLine* line = CommandLine::pool();
    ASSERT_NE(nullptr, line);
    EXPECT_EQ(0u, line->argumentCount());
    ASSERT_TRUE(CommandLineInfo::parse(L"app.exe /x -x \"D:\\Out Folder\\song.ogg\" / \"-quoted\"", *line));
    EXPECT_EQ(5u, line->finishParse());
    EXPECT_EQ(5u, line->argumentCount());
    const std::vector<std::wstring> expected = {L"-x", L"-x", L"D:\\Out Folder\\song.ogg", L"-", L"-quoted"};
    EXPECT_EQ(expected, argumentsOf(line));
    EXPECT_EQ(nullptr, line->argument(5));
    line->release();
    CommandLine* again = CommandLine::pool();
    ASSERT_EQ(line, again);  // the one just released
    EXPECT_EQ(0u, again->argumentCount());
    EXPECT_EQ(nullptr, again->argument(0));
    again->release();
}

TEST(CommandLineTest, ProcessCommandLineMatchesTheRuntimeArgumentCount) {
    CommandLine* line = CommandLine::pool();
    ASSERT_NE(nullptr, line);
    ASSERT_TRUE(CommandLineInfo::parseProcess(*line));
    // The C runtime split the same command line for main().
    EXPECT_EQ(static_cast<uint32_t>(__argc - 1), line->argumentCount());
    EXPECT_STREQ(L"s_process_commandline_win_CommandLine", line->className());
    line->release();
}
