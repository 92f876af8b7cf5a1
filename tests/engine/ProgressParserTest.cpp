#include <gtest/gtest.h>

#include <cwchar>

#include "engine/ffmpeg/ProgressParser.h"

using s::ffmpeg::parseProgressLine;
using s::ffmpeg::parseProgressTime;
using s::ffmpeg::Progress;
using s::ffmpeg::scaleProgress;

namespace {

uint32_t len(const wchar_t* text) {
    return static_cast<uint32_t>(std::wcslen(text));
}

} // namespace

TEST(ProgressParser, TimeTextsGiveMilliseconds) {
    struct Case {
        const wchar_t* text;
        int64_t ms;
    } cases[] = {
        {L"00:01:05.50", 65500},
        {L"01:00:00.00", 3600000},
        {L"100:00:00.5", 360000500},   // more than two hour digits
        {L"00:00:01.005", 1005},       // a third fraction digit is milliseconds
        {L"05.25", 5250},              // seconds alone
        {L"02:03", 123000},            // minutes and seconds, no fraction
        {L"N/A", 0},
        {L"-00:00:00.02", 0},
        {L"-00:01:00.00", 0},
        {L"", 0},
        {L"1:2:3:4", 0},               // four fields is no time
        {L"00:00:01.00kB", 0},         // trailing text
        {L"99999999999999:00:00", 0},  // a field too long to be a time
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseProgressTime(c.text, len(c.text)), c.ms) << testing::PrintToString(c.text);
    }
}

TEST(ProgressParser, PositionsAreScaledWeightedAndClamped) {
    struct Case {
        int64_t positionMs;
        int64_t durationMs;
        int32_t pass;
        double weight;
        int64_t total;
        int64_t position;
    } cases[] = {
        {65500, 130000, 0, 0.0, 1300, 655},    // divided twice, until the total is 10000 or less
        {5000, 10000, 0, 0.0, 10000, 5000},    // 10000 is not divided
        {5000, 10001, 0, 0.0, 1000, 500},
        {0, 5000, 0, 0.0, 5000, 1},            // not yet placed counts as started
        {-20, 5000, 0, 0.0, 5000, 1},
        {7000, 5000, 0, 0.0, 5000, 5000},      // past the end stays at the end
        {500, 0, 0, 0.0, 1, 1},                // no duration: a total of 1
        {500, -40, 0, 0.0, 1, 1},
        {4000, 8000, 1, 0.5, 8000, 2000},      // pass 1 fills the weight's share
        {8000, 8000, 1, 0.25, 8000, 2000},
        {4000, 8000, 2, 0.5, 8000, 6000},      // pass 2 starts where pass 1 ended
        {0, 8000, 2, 0.25, 8000, 2000},
        {8000, 8000, 2, 0.25, 8000, 8000},
        {9000, 8000, 2, 0.25, 8000, 8000},
        {130000, 130000, 2, 0.5, 1300, 1300},
    };
    for (const Case& c : cases) {
        const Progress p = scaleProgress(c.positionMs, c.durationMs, c.pass, c.weight);
        EXPECT_EQ(p.total, c.total) << c.positionMs << " of " << c.durationMs << " pass " << c.pass;
        EXPECT_EQ(p.position, c.position) << c.positionMs << " of " << c.durationMs << " pass " << c.pass;
    }
}

TEST(ProgressParser, OnlyLinesWithATimeAreProgress) {
    struct Case {
        const wchar_t* line;
        bool progress;
        int64_t position;
    } cases[] = {
        {L"size=     256kB time=00:01:05.50 bitrate= 32.0kbits/s speed=  12x", true, 655},
        {L"\nsize=     256kB time=00:01:05.50 bitrate= 32.0kbits/s", true, 655},  // line feed of the line before
        {L"size=N/A time=00:00:00.00 bitrate=N/A speed=N/A", true, 1},
        {L"size=       0kB time=N/A bitrate=N/A speed=N/A", true, 1},
        {L"size=       0kB time=-00:00:00.02 bitrate=N/A", true, 1},
        {L"size=   1kB time=00:02:10.00\tbitrate=1", true, 1300},
        {L"size=   1kB time=00:09:00.00", true, 1300},                           // clamped
        {L"Stream mapping:", false, 0},
        {L"  Stream #0:0 -> #0:0 (pcm_s16le (native) -> mp3 (libmp3lame))", false, 0},
        {L"", false, 0},
        {L"time", false, 0},
    };
    for (const Case& c : cases) {
        Progress p = {-1, -1};
        EXPECT_EQ(parseProgressLine(c.line, len(c.line), 130000, 0, 0.0, &p), c.progress)
            << testing::PrintToString(c.line);
        if (c.progress) {
            EXPECT_EQ(p.total, 1300) << testing::PrintToString(c.line);
            EXPECT_EQ(p.position, c.position) << testing::PrintToString(c.line);
        } else {
            EXPECT_EQ(p.total, -1) << "a line that is not progress leaves the result alone";
        }
    }
    // Only the given length is read.
    const wchar_t* cut = L"Stream #0 time=00:00:01.00";
    EXPECT_FALSE(parseProgressLine(cut, 12, 1000, 0, 0.0, nullptr));
}
