// Brisquelton.exe started as a user starts it: what it shows, how it hands over to a
// running copy, and what it leaves in the settings.
#include <gtest/gtest.h>

#include "ProgramDriver.h"

using namespace apptest;

namespace {

// The hour of the last update check: an int, or the 8 bytes earlier copies wrote.
bool readHour(int64_t* hour) {
    // Each read answers 0 for a value of the other size.
    int32_t value = 0;
    const bool found = readInt(savePath(L"MainWindow\\Version"), L"Update", &value) &&
                       readBinary64(savePath(L"MainWindow\\Version"), L"Update", hour);
    if (value != 0) {
        *hour = value;
    }
    return found;
}

// A geometry group the program must not touch on this display.
std::wstring otherViewGroup() {
    return displayScale() == 1 ? L"MainWindow\\View4K" : L"MainWindow\\View";
}

RECT frameRect(HWND frame) {
    RECT rect{};
    GetWindowRect(frame, &rect);
    return rect;
}

void plantPlacement(const std::wstring& group, int32_t x, int32_t y, int32_t w, int32_t h) {
    ASSERT_TRUE(writeInt(savePath(group), L"X", x));
    ASSERT_TRUE(writeInt(savePath(group), L"Y", y));
    ASSERT_TRUE(writeInt(savePath(group), L"Width", w));
    ASSERT_TRUE(writeInt(savePath(group), L"Height", h));
}

// Where Wine takes the Windows version it reports to one program.
const wchar_t* const APP_DEFAULTS = L"Software\\Wine\\AppDefaults\\Brisquelton.exe";

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { deleteProductKey(); }
    void TearDown() override {
        deleteProductKey();
        RegDeleteTreeW(HKEY_CURRENT_USER, APP_DEFAULTS);
        RegDeleteKeyW(HKEY_CURRENT_USER, APP_DEFAULTS);
    }
};

// The language follows the user's interface language: the run under a German one
// (LC_ALL=de_DE.UTF-8, see tests/CMakeLists.txt) names the language it expects.
TEST_F(ProgramTest, FirstStartShowsOneFrameAndStoresTheProgramsIdentity) {
    wchar_t language[32] = L"English";
    GetEnvironmentVariableW(L"EXPECTED_LANGUAGE", language, 32);
    Program program;
    ASSERT_TRUE(program.started()) << "the start failed, error " << program.startError();
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    Sleep(300);
    EXPECT_EQ(1u, visibleFrames(program.id()).size());
    wchar_t title[100] = {};
    GetWindowTextW(frame, title, 100);
    EXPECT_STREQ(L"Brisquelton v1.38", title);
    const int64_t startHour = currentHour();
    ASSERT_TRUE(program.close(frame));
    EXPECT_EQ(0u, program.exitCode());
    EXPECT_EQ(0, program.boxes());

    struct Stored {
        const wchar_t* group;
        const wchar_t* value;
    };
    const Stored identity[] = {
        {L"SoftwareID", L"Kexo Brisquelton"},
        {L"Version", L"1.38"},
        {L"Language", language},
        {L"MainWindow\\SoftwareID", L"Kexo Brisquelton"},
        {L"MainWindow\\Version", L"1.38"},
    };
    for (const Stored& s : identity) {
        std::wstring text;
        EXPECT_TRUE(readString(savePath(s.group), L"", &text) && text == s.value)
            << std::string(s.group, s.group + wcslen(s.group));
    }
    int64_t hour = 0;
    ASSERT_TRUE(readHour(&hour));
    EXPECT_LE(startHour, hour);
    EXPECT_LE(hour, currentHour());
}

TEST_F(ProgramTest, MovedAndResizedWindowReopensWhereItWasClosedInItsOwnGeometryGroup) {
    // The run on a larger display says which scale it expects.
    wchar_t expected[8] = {};
    if (GetEnvironmentVariableW(L"EXPECTED_UI_SCALE", expected, 8) > 0) {
        ASSERT_EQ(_wtoi(expected), displayScale());
    }
    plantPlacement(otherViewGroup(), 7, 8, 900, 700);
    const RECT target{130, 110, 130 + 420 * displayScale(), 110 + 330 * displayScale()};
    {
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        // A move by the caption, then a resize by the bottom-right corner.
        ASSERT_TRUE(testsupport::dragCaptionTo(frame, POINT{target.left, target.top}));
        const RECT moved = frameRect(frame);
        ASSERT_TRUE(testsupport::dragEdge(frame, HTBOTTOMRIGHT, target.right - moved.right, target.bottom - moved.bottom));
        ASSERT_TRUE(program.close(frame));
    }
    int32_t stored[4] = {};
    const wchar_t* names[4] = {L"X", L"Y", L"Width", L"Height"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(readInt(savePath(viewGroup()), names[i], &stored[i])) << names[i];
    }
    EXPECT_EQ(target.left, stored[0]);
    EXPECT_EQ(target.top, stored[1]);
    EXPECT_EQ(target.right - target.left, stored[2]);
    EXPECT_EQ(target.bottom - target.top, stored[3]);
    const int32_t untouched[4] = {7, 8, 900, 700};
    for (int i = 0; i < 4; ++i) {
        int32_t value = 0;
        ASSERT_TRUE(readInt(savePath(otherViewGroup()), names[i], &value));
        EXPECT_EQ(untouched[i], value) << names[i];
    }

    Program again;
    HWND frame = again.waitForFrame();
    ASSERT_NE(nullptr, frame);
    const RECT reopened = frameRect(frame);
    EXPECT_EQ(target.left, reopened.left);
    EXPECT_EQ(target.top, reopened.top);
    EXPECT_EQ(target.right, reopened.right);
    EXPECT_EQ(target.bottom, reopened.bottom);
    EXPECT_TRUE(again.close(frame));
}

TEST_F(ProgramTest, UnusableStoredGeometryOpensAVisibleWindow) {
    // The converter dialog's compact view: 265 x 280.
    const int32_t width = 265 * displayScale();
    const int32_t height = 280 * displayScale();
    struct Case {
        const char* what;
        int32_t x, y, width, height;
        int32_t expectWidth, expectHeight;
    };
    // Sizes above the least the compact view's content needs, at every scale.
    const int32_t s = displayScale();
    const Case cases[] = {
        {"width of 5", 100, 100, 5, 300 * s, width, 300 * s},
        {"far left and up", -5000, -4000, 300 * s, 200 * s, 300 * s, 200 * s},
        {"far right and down", 30000, 20000, 320 * s, 240 * s, 320 * s, 240 * s},
        {"height beyond the screen", 50, 60, 300 * s, 90000, 300 * s, height},
    };
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProductKey();
        plantPlacement(viewGroup(), c.x, c.y, c.width, c.height);
        // The Drop Box opens at the size of its compact view.
        ASSERT_TRUE(writeInt(savePath(viewGroup()), L"SmallWidth", c.width));
        ASSERT_TRUE(writeInt(savePath(viewGroup()), L"SmallHeight", c.height));
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        const RECT rect = frameRect(frame);
        EXPECT_TRUE(IsWindowVisible(frame));
        EXPECT_EQ(c.expectWidth, rect.right - rect.left);
        EXPECT_EQ(c.expectHeight, rect.bottom - rect.top);
        EXPECT_GE(rect.left, work.left);
        EXPECT_GE(rect.top, work.top);
        EXPECT_LE(rect.right, work.right);
        EXPECT_LE(rect.bottom, work.bottom);
        EXPECT_TRUE(program.close(frame));
    }
}

TEST_F(ProgramTest, SecondStartBringsTheRunningCopyBackAndEndsWithoutAWindow) {
    Program first;
    HWND frame = first.waitForFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(testsupport::minimiseFrame(frame));

    Program second(L"C:\\music\\a.wav");
    EXPECT_TRUE(second.endsWithoutAFrame(5000));
    EXPECT_TRUE(testsupport::waitFor([&] { return IsIconic(frame) == FALSE; }, 10000));
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_EQ(frame, GetForegroundWindow());
    EXPECT_TRUE(first.close(frame));
}

// A close with no batch running ends the process at once, so a start right after the
// close finds no copy to hand over to, and a start during the close still shows a window.
TEST_F(ProgramTest, ClosingEndsPromptlyAndAStartDuringTheCloseShowsAWindow) {
    for (bool startDuringClose : {false, true}) {
        SCOPED_TRACE(startDuringClose);
        Program first;
        HWND frame = first.waitForFrame();
        ASSERT_NE(nullptr, frame);
        // The time runs from the press on the close button.
        const POINT closeBox = testsupport::spotOf(frame, HTCLOSE);
        ASSERT_TRUE(testsupport::moveMouse(closeBox.x, closeBox.y));
        const DWORD closed = GetTickCount();
        ASSERT_TRUE(testsupport::clickAt(closeBox, testsupport::Button::Left, 0));
        if (!startDuringClose) {
            ASSERT_TRUE(first.waitForExit(5000));
            EXPECT_LT(GetTickCount() - closed, 800u);
            continue;
        }
        while (IsWindowVisible(frame) && GetTickCount() - closed < 5000) {
            Sleep(1);
        }
        Program second;
        HWND secondFrame = second.waitForFrame();
        EXPECT_NE(nullptr, secondFrame);
        EXPECT_TRUE(first.waitForExit(5000));
        if (secondFrame != nullptr) {
            EXPECT_TRUE(second.close(secondFrame));
        }
    }
}

TEST_F(ProgramTest, SilentIsDeletedOnlyByAStartWithoutArguments) {
    struct Case {
        const wchar_t* arguments;
        bool kept;
    };
    const Case cases[] = {
        {L"C:\\music\\a.wav", true},
        {L"-x", true},
        {L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "arguments \"" << std::string(c.arguments, c.arguments + wcslen(c.arguments)) << "\"");
        ASSERT_TRUE(writeInt(PRODUCT_KEY, L"Silent", 1));
        Program program(c.arguments);
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        ASSERT_TRUE(program.close(frame));
        EXPECT_EQ(c.kept, hasValue(PRODUCT_KEY, L"Silent"));
        EXPECT_EQ(0, program.boxes());
    }
}

TEST_F(ProgramTest, OnlySupportedWindowsVersionsOpenAWindow) {
    struct Case {
        const wchar_t* version;
        bool runs;
    };
    const Case cases[] = {
        {L"win2k", false},
        {L"winxp64", true},
        {L"win10", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::string(c.version, c.version + wcslen(c.version)));
        ASSERT_TRUE(writeString(APP_DEFAULTS, L"Version", c.version));
        Program program;
        if (c.runs) {
            HWND frame = program.waitForFrame();
            ASSERT_NE(nullptr, frame);
            EXPECT_TRUE(program.close(frame));
        } else {
            EXPECT_TRUE(program.endsWithoutAFrame(10000));
            EXPECT_EQ(0, program.boxes());
        }
    }
}

TEST_F(ProgramTest, UpdateHourIsRewrittenOnlyWhenTheLastCheckIsStale) {
    struct Case {
        const char* what;
        int64_t offset;  // from the current hour
        bool rewritten;
    };
    const Case cases[] = {
        {"721 hours ago", -721, true},
        {"719 hours ago", -719, false},
        {"in the future", 100, true},
        {"far in the future", INT64_MAX / 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProductKey();
        const int64_t planted = currentHour() + c.offset;
        ASSERT_TRUE(writeBinary64(savePath(L"MainWindow\\Version"), L"Update", planted));
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        ASSERT_TRUE(program.close(frame));
        int64_t hour = 0;
        ASSERT_TRUE(readHour(&hour));
        if (c.rewritten) {
            EXPECT_LE(currentHour() - 1, hour);
            EXPECT_LE(hour, currentHour());
        } else {
            EXPECT_EQ(planted, hour);
        }
        EXPECT_EQ(0, program.boxes());
    }
}

} // namespace
