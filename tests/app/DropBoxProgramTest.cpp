// Brisquelton.exe's Drop Box as a user meets it: its first start, the view and sizes it
// remembers, the view switch, keep-on-top, closing while minimised, and dropped files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DropFiles.h"
#include "ProgramDriver.h"
#include "support/RawFile.h"
#include "support/Wav.h"

using namespace apptest;

namespace {

std::wstring sizeGroup() {
    return savePath(viewGroup());
}

const std::wstring VIEW = savePath(L"MainWindow\\View");

SIZE frameSize(HWND frame) {
    RECT r{};
    GetWindowRect(frame, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

template <class Pred>
bool waitFor(Pred pred, DWORD ms = 5000) {
    for (DWORD spent = 0; spent < ms; spent += 20) {
        if (pred()) {
            return true;
        }
        Sleep(20);
    }
    return pred();
}

bool closeAndWait(const Program& program, HWND frame) {
    PostMessageW(frame, WM_CLOSE, 0, 0);
    return program.waitForExit(5000);
}

int32_t stored(const std::wstring& key, const wchar_t* name) {
    int32_t value = -1;
    readInt(key, name, &value);
    return value;
}

class DropBoxProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        deleteProductKey();
        // The update check has just run.
        writeBinary64(savePath(L"MainWindow\\Version"), L"Update", currentHour());
    }
    void TearDown() override { deleteProductKey(); }
};

TEST_F(DropBoxProgramTest, FirstStartIsCompactAtTheDefaultSizeAndRemembersIt) {
    // The program runs the converter dialog, whose compact view is 265 x 280.
    const int32_t width = 265 * displayScale();
    const int32_t height = 280 * displayScale();
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    const SIZE size = frameSize(frame);
    EXPECT_EQ(width, size.cx);
    EXPECT_EQ(height, size.cy);
    EXPECT_NE(nullptr, childWithText(frame, L"Advanced Options >>"));
    EXPECT_NE(nullptr, dropTargetOf(frame));
    // The main window's record keeps it on top until the user says otherwise.
    EXPECT_NE(0, GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(closeAndWait(program, frame));
    EXPECT_EQ(0u, program.exitCode());
    EXPECT_EQ(1, stored(VIEW, L"CompactView"));
    EXPECT_EQ(width, stored(sizeGroup(), L"SmallWidth"));
    EXPECT_EQ(height, stored(sizeGroup(), L"SmallHeight"));
    EXPECT_EQ(0, program.boxes());
}

// Sizes take the rule of the window's own width and height: at least 10 and at most the
// virtual screen, else the view's default.
TEST_F(DropBoxProgramTest, StoredViewSizesAndKeepOnTopAreHonouredAndOutOfRangeSizesGiveDefaults) {
    const int32_t s = displayScale();
    struct Case {
        const char* what;
        int32_t compact, keepOnTop;
        int32_t small[2], large[2];
        int32_t expected[2];
        const wchar_t* button;
    };
    const Case cases[] = {
        {"compact, stored", 1, 0, {300, 260}, {680, 440}, {300, 260}, L"Advanced Options >>"},
        {"large, stored", 0, 1, {300, 260}, {680, 440}, {680, 440}, L"<< Minimize"},
        {"compact, too narrow", 1, 0, {5, 260}, {680, 440}, {265 * s, 260}, L"Advanced Options >>"},
        // The large view's default size is below what its content needs: the window grows.
        {"large, too high", 0, 0, {300, 260}, {680, 99999}, {680, -300 * s}, L"<< Minimize"},
        {"large, negative", 0, 1, {300, 260}, {-520, 440}, {-450 * s, 440}, L"<< Minimize"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        deleteProductKey();
        writeBinary64(savePath(L"MainWindow\\Version"), L"Update", currentHour());
        ASSERT_TRUE(writeInt(VIEW, L"CompactView", c.compact));
        ASSERT_TRUE(writeInt(VIEW, L"KeepOnTop", c.keepOnTop));
        ASSERT_TRUE(writeInt(sizeGroup(), L"SmallWidth", c.small[0]));
        ASSERT_TRUE(writeInt(sizeGroup(), L"SmallHeight", c.small[1]));
        ASSERT_TRUE(writeInt(sizeGroup(), L"LargeWidth", c.large[0]));
        ASSERT_TRUE(writeInt(sizeGroup(), L"LargeHeight", c.large[1]));
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        // A negative expectation: at least that (the default), grown to the content.
        const SIZE size = frameSize(frame);
        const int32_t got[2] = {size.cx, size.cy};
        for (int i = 0; i < 2; ++i) {
            if (c.expected[i] >= 0) {
                EXPECT_EQ(c.expected[i], got[i]);
            } else {
                EXPECT_GE(got[i], -c.expected[i]);
            }
        }
        EXPECT_EQ(c.keepOnTop != 0, (GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
        EXPECT_NE(nullptr, childWithText(frame, c.button));
        ASSERT_TRUE(closeAndWait(program, frame));
    }
}

TEST_F(DropBoxProgramTest, AdvancedOptionsSwitchesBetweenTheTwoRememberedSizes) {
    ASSERT_TRUE(writeInt(sizeGroup(), L"SmallWidth", 310));
    ASSERT_TRUE(writeInt(sizeGroup(), L"SmallHeight", 270));
    ASSERT_TRUE(writeInt(sizeGroup(), L"LargeWidth", 690));
    ASSERT_TRUE(writeInt(sizeGroup(), L"LargeHeight", 420));
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    struct Step {
        const wchar_t* click;
        int32_t width, height;
        int32_t compact;
    };
    const Step steps[] = {
        {L"Advanced Options >>", 690, 420, 0},
        {L"<< Minimize", 310, 270, 1},
        {L"Advanced Options >>", 690, 420, 0},
    };
    for (const Step& step : steps) {
        HWND button = childWithText(frame, step.click);
        ASSERT_NE(nullptr, button);
        SendMessageW(button, BM_CLICK, 0, 0);
        EXPECT_TRUE(waitFor([&] { return frameSize(frame).cx == step.width && frameSize(frame).cy == step.height; }));
        EXPECT_EQ(step.compact, stored(VIEW, L"CompactView"));
    }
    ASSERT_TRUE(closeAndWait(program, frame));
    EXPECT_EQ(0, stored(VIEW, L"CompactView"));
}

// Closing saves the size of the view that shows, but never a minimised or maximised one.
TEST_F(DropBoxProgramTest, ClosingWhileMinimisedOrMaximisedKeepsTheOldSizes) {
    const int commands[] = {SW_MINIMIZE, SW_MAXIMIZE};
    for (int command : commands) {
        SCOPED_TRACE(command);
        ASSERT_TRUE(writeInt(sizeGroup(), L"SmallWidth", 320));
        ASSERT_TRUE(writeInt(sizeGroup(), L"SmallHeight", 290));
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        ShowWindow(frame, command);
        ASSERT_TRUE(waitFor([&] { return command == SW_MINIMIZE ? IsIconic(frame) != FALSE : IsZoomed(frame) != FALSE; }));
        ASSERT_TRUE(closeAndWait(program, frame));
        EXPECT_EQ(320, stored(sizeGroup(), L"SmallWidth"));
        EXPECT_EQ(290, stored(sizeGroup(), L"SmallHeight"));
    }
}

// Files dropped as the shell drops them: a list runs and a second drop is taken; a list
// whose output folder cannot exist gets the message, and a drop while it shows neither
// blocks the program nor stops it from closing.
TEST_F(DropBoxProgramTest, DroppedListsRunAndAnUnusableFolderShowsAMessageWithoutBlocking) {
    const std::wstring folder = testsupport::freshTempFolder(L"dropbox-program");
    const std::wstring song = folder + L"\\song.wav";
    // A real 0.1 s of 8 kHz mono silence: the program converts what it is given.
    ASSERT_TRUE(testsupport::writeRaw(song, testsupport::wavHeader(8000, 1, 1600) + std::string(1600, '\0')));

    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    HWND target = dropTargetOf(frame);
    ASSERT_NE(nullptr, target);
    struct Drop {
        std::vector<std::wstring> paths;
        int boxes;
    };
    const Drop drops[] = {
        {{song, song, song}, 0},
        {{song}, 0},
        {{L"Q:\\no\\such\\folder\\a.wav", song}, 1},
        {{song}, 1},
    };
    for (const Drop& drop : drops) {
        ASSERT_TRUE(dropInto(target, drop.paths));
        Sleep(700);
        EXPECT_EQ(drop.boxes, program.boxes());
        EXPECT_FALSE(program.waitForExit(0));
    }
    ASSERT_TRUE(closeAndWait(program, frame));
    EXPECT_EQ(0u, program.exitCode());
    for (const wchar_t* name : {L"\\song.wav", L"\\song.mp3", L"\\song (1).mp3", L"\\song (2).mp3"}) {
        DeleteFileW((folder + name).c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace
