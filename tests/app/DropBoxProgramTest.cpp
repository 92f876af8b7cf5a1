// Brisquelton.exe's Drop Box as a user meets it: its first start, the view and sizes it
// remembers, the view switch, keep-on-top, closing while minimised, and dropped files.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "DropFiles.h"
#include "ProgramDriver.h"
#include "ProgramScreen.h"
#include "support/RawFile.h"
#include "support/Wav.h"

using namespace apptest;

namespace {

using testsupport::waitFor;

std::wstring sizeGroup() { return savePath(viewGroup()); }

const std::wstring VIEW = savePath(L"MainWindow\\View");

SIZE frameSize(HWND frame) {
    const RECT r = testsupport::screenRect(frame);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

int32_t stored(const std::wstring& key, const wchar_t* name) {
    int32_t value = -1;
    readInt(key, name, &value);
    return value;
}

// Stores the compact and the large view's sizes (width, height).
void storeSizes(const int32_t (&small)[2], const int32_t (&large)[2]) {
    const std::pair<const wchar_t*, int32_t> values[] = {
        {L"SmallWidth", small[0]}, {L"SmallHeight", small[1]}, {L"LargeWidth", large[0]}, {L"LargeHeight", large[1]}};
    for (const auto& [name, value] : values) {
        ASSERT_TRUE(writeInt(sizeGroup(), name, value)) << value;
    }
}

class DropBoxProgramTest : public ::testing::Test {
protected:
    void SetUp() override { freshSettings(); }
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
    // The hidden option column has no native windows yet: no "<< Minimize" either.
    EXPECT_EQ(nullptr, childWithText(frame, L"<< Minimize"));
    EXPECT_NE(nullptr, dropTargetOf(frame));
    // The main window's record keeps it on top until the user says otherwise.
    EXPECT_NE(0, GetWindowLongPtrW(frame, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(program.close(frame));
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
        freshSettings();
        ASSERT_TRUE(writeInt(VIEW, L"CompactView", c.compact));
        ASSERT_TRUE(writeInt(VIEW, L"KeepOnTop", c.keepOnTop));
        ASSERT_NO_FATAL_FAILURE(storeSizes(c.small, c.large));
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
        // The compact view's column is held back: its buttons have no native windows yet.
        if (c.compact != 0) {
            EXPECT_EQ(nullptr, childWithText(frame, L"<< Minimize"));
        } else {
            EXPECT_NE(nullptr, childWithText(frame, c.button));
        }
        ASSERT_TRUE(program.close(frame));
    }
}

// The compact view hides the option column with its button: a right click on the drop
// area opens the large view, "<< Minimize" goes back.
TEST_F(DropBoxProgramTest, TheViewSwitchesBetweenTheTwoRememberedSizes) {
    ASSERT_NO_FATAL_FAILURE(storeSizes({310, 270}, {690, 420}));
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    struct Step {
        const wchar_t* click;  // a button, or null for a right click on the drop area
        int32_t width, height;
        int32_t compact;
    };
    const Step steps[] = {
        {nullptr, 690, 420, 0},
        {L"<< Minimize", 310, 270, 1},
        {nullptr, 690, 420, 0},
    };
    for (const Step& step : steps) {
        HWND target = step.click != nullptr ? showing(frame, step.click) : dropTargetOf(frame);
        ASSERT_NE(nullptr, target);
        ASSERT_TRUE(testsupport::clickOn(target, step.click != nullptr ? testsupport::Button::Left : testsupport::Button::Right));
        EXPECT_TRUE(waitFor([&] { return frameSize(frame).cx == step.width && frameSize(frame).cy == step.height; }, 5000));
        // The flag is stored as the switch ends, a moment after the size changes.
        waitFor([&] { return stored(VIEW, L"CompactView") == step.compact; }, 10000);
        EXPECT_EQ(step.compact, stored(VIEW, L"CompactView"));
        EXPECT_EQ("", screenFaults(frame, step.compact ? L"compact-view" : L"large-view"));
    }
    ASSERT_TRUE(program.close(frame));
    EXPECT_EQ(0, stored(VIEW, L"CompactView"));
}

// Closing saves the size of the view that shows, but never a minimised or maximised one.
TEST_F(DropBoxProgramTest, ClosingWhileMinimisedOrMaximisedKeepsTheOldSizes) {
    for (const bool minimise : {true, false}) {
        SCOPED_TRACE(minimise ? "minimised" : "maximised");
        ASSERT_TRUE(writeInt(sizeGroup(), L"SmallWidth", 320));
        ASSERT_TRUE(writeInt(sizeGroup(), L"SmallHeight", 290));
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        ASSERT_TRUE(minimise ? testsupport::minimiseFrame(frame) : testsupport::maximiseFrame(frame));
        ASSERT_TRUE(program.close(frame));
        EXPECT_EQ(320, stored(sizeGroup(), L"SmallWidth"));
        EXPECT_EQ(290, stored(sizeGroup(), L"SmallHeight"));
    }
}

// Each view at its default size shows every control with its text, uncut, painted, in
// English and in German (whose captions are longer); the run at UI scale 2 repeats it.
TEST_F(DropBoxProgramTest, BothViewsShowAllTheirContentAtTheirDefaultSizes) {
    struct Case {
        const wchar_t* language;
        int32_t compact;
    };
    const Case cases[] = {{L"English", 1}, {L"English", 0}, {L"German", 1}, {L"German", 0}};
    for (const Case& c : cases) {
        const std::wstring name = std::wstring(c.language) + (c.compact ? L"-compact" : L"-large");
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        freshSettings();
        ASSERT_TRUE(writeString(savePath(L"Language"), L"", c.language));
        ASSERT_TRUE(writeInt(VIEW, L"CompactView", c.compact));
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        EXPECT_EQ("", screenFaults(frame, name + L"-x" + std::to_wstring(displayScale())));
        ASSERT_TRUE(program.close(frame));
    }
}

// A right click where no control takes one switches the view: on the drop area, its hint,
// the "Keep on Top" row, the status bar and the window's margin.
TEST_F(DropBoxProgramTest, RightClicksOnFreeSpotsSwitchTheView) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    const int s = displayScale();
    struct Spot {
        const char* what;
        std::function<POINT()> where;
    };
    auto inside = [](HWND window) { return window != nullptr ? testsupport::centreOf(window) : POINT{-1, -1}; };
    auto rightOf = [](HWND window, int by) {
        const RECT r = window != nullptr ? testsupport::screenRect(window) : RECT{-1, -1, -1, -1};
        return POINT{r.right + by, (r.top + r.bottom) / 2};
    };
    const Spot spots[] = {
        {"drop area", [&] { return inside(dropTargetOf(frame)); }},
        {"its hint", [&] { return inside(showing(frame, L"Please drop audio file(s) here!")); }},
        {"beside Keep on Top", [&] { return rightOf(showing(frame, L"Keep on Top"), 6 * s); }},
        {"status bar", [&] { return inside(showing(frame, L"Ready")); }},
        {"left margin", [&] {
             RECT r{};
             GetClientRect(frame, &r);
             MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&r), 2);
             return POINT{r.left + 4 * s, (r.top + r.bottom) / 2};
         }},
    };
    int32_t compact = 1;
    for (const Spot& spot : spots) {
        SCOPED_TRACE(spot.what);
        const POINT at = spot.where();
        ASSERT_TRUE(testsupport::clickAt(at, testsupport::Button::Right));
        EXPECT_TRUE(waitFor([&] { return stored(VIEW, L"CompactView") == 1 - compact; }, 10000));
        compact = stored(VIEW, L"CompactView");
        EXPECT_EQ(compact == 0, showing(frame, L"<< Minimize") != nullptr);
        EXPECT_EQ("", screenFaults(frame, compact == 1 ? L"right-click-compact" : L"right-click-large"));
    }
    ASSERT_TRUE(program.close(frame));
}

// About -> "Version Information" opens the About window above the Drop Box (kept on top);
// its "Close" button closes it.
TEST_F(DropBoxProgramTest, TheAboutWindowOpensFromItsMenuAndClosesByItsButton) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    auto about = [&] { return program.otherFrame(frame); };
    ASSERT_EQ("", chooseMenuItem(frame, 3, 0));
    ASSERT_TRUE(waitFor([&] { return about() != nullptr; }, 5000));
    HWND close = nullptr;
    ASSERT_TRUE(waitFor([&] { return (close = showing(about(), L"Close")) != nullptr; }, 10000));
    EXPECT_TRUE(waitFor([&] { return close == WindowFromPoint(testsupport::centreOf(close)); }, 10000));
    ASSERT_TRUE(testsupport::clickOn(close));
    EXPECT_TRUE(waitFor([&] { return about() == nullptr; }, 10000));
    ASSERT_TRUE(program.close(frame));
}

// The ink of the status bar's rows, from the status text down (hover colours are ink too).
std::vector<bool> statusBarInk(const RECT& area) {
    const testsupport::ScreenShot shot(area);
    std::vector<bool> ink;
    for (uint32_t pixel : shot.pixels()) ink.push_back(testsupport::ScreenShot::dark(pixel));
    return ink;
}

// Whether an MP3 of folder holds data written at or after since.
bool writtenSince(const std::wstring& folder, const FILETIME& since) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*.mp3").c_str(), &found);
    bool seen = false;
    if (h != INVALID_HANDLE_VALUE) {
        do {
            seen = seen || ((found.nFileSizeLow != 0 || found.nFileSizeHigh != 0) &&
                            CompareFileTime(&found.ftLastWriteTime, &since) >= 0);
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    return seen;
}

// Files dropped as the shell drops them: a list runs and a second drop is taken, and after
// each the status bar shows what it showed before (nothing of the progress row stays); a
// list whose output folder cannot exist gets the message, and a drop while it shows
// neither blocks the program nor stops it from closing.
TEST_F(DropBoxProgramTest, DroppedListsRunAndAnUnusableFolderShowsAMessageWithoutBlocking) {
    const std::wstring folder = testsupport::freshTempFolder(L"dropbox-program");
    const std::wstring song = folder + L"\\song.wav";
    // A real 0.1 s of 8 kHz mono silence: the program converts what it is given.
    ASSERT_TRUE(testsupport::writeRaw(song, testsupport::silentWav(8000, 1, 0.1)));

    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    HWND target = dropTargetOf(frame);
    ASSERT_NE(nullptr, target);
    HWND ready = nullptr;
    ASSERT_TRUE(waitFor([&] { return (ready = showing(frame, L"Ready")) != nullptr; }, 5000));
    RECT bar{};
    GetClientRect(frame, &bar);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&bar), 2);
    bar.top = testsupport::screenRect(ready).top;
    // The idle bar as it settles with the cursor away from its link (whose hover is ink):
    // a loaded machine paints a fresh window late.
    ASSERT_TRUE(testsupport::moveMouse(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2));
    std::vector<bool> idle;
    testsupport::waitForSteady([&] { return statusBarInk(bar); }, idle, 10000, 100);
    HWND cancel = childWithText(frame, L"Cancel");
    ASSERT_NE(nullptr, cancel);
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
    auto atRest = [&] {
        return testsupport::messageBoxOf(program.id()) == nullptr && !IsWindowVisible(cancel) &&
               showing(frame, L"Ready") != nullptr;
    };
    for (const Drop& drop : drops) {
        FILETIME dropped{};
        GetSystemTimeAsFileTime(&dropped);
        const bool newBox = drop.boxes > program.boxes();
        ASSERT_TRUE(dropInto(target, drop.paths));
        // What the drop brings: the box, else an output written since.
        EXPECT_TRUE(waitFor([&] { return newBox ? program.boxes() == drop.boxes : writtenSince(folder, dropped); }, 10000));
        ASSERT_TRUE(waitFor(atRest, 10000));
        EXPECT_EQ(drop.boxes, program.boxes());
        if (drop.boxes == 0) {
            EXPECT_TRUE(waitFor([&] { return statusBarInk(bar) == idle; }, 10000))
                << "status bar after the batch (shot " << [&] {
                       const std::wstring shot = keepShot(testsupport::ScreenShot(bar), L"status-bar-after-batch");
                       return std::string(shot.begin(), shot.end());
                   }() << ")";
        }
        EXPECT_FALSE(program.waitForExit(0));
    }
    ASSERT_TRUE(program.close(frame));
    EXPECT_EQ(0u, program.exitCode());
    for (const wchar_t* name : {L"\\song.wav", L"\\song.mp3", L"\\song (1).mp3", L"\\song (2).mp3"}) {
        DeleteFileW((folder + name).c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace
