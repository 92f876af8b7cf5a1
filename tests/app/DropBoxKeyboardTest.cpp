// Brisquelton.exe's Drop Box by keyboard alone: Tab and Shift+Tab reach every enabled
// control of both views in turn, the keys of a focused combo box choose in it, and Alt or
// F10 opens the menus from every control without touching it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProgramScreen.h"
#include "support/XInput.h"

using namespace apptest;
using namespace testsupport;

namespace {

// Tabs once round in the direction and answers the controls in the order they took the focus.
std::vector<HWND> roundTrip(HWND frame, const std::vector<HWND>& stops, bool backwards) {
    std::vector<HWND> visited;
    for (size_t i = 0; i < stops.size(); ++i) {
        const HWND before = focusOf(frame);
        press(VK_TAB, backwards ? VK_SHIFT : 0);
        // A ring of one stop keeps the focus on it.
        waitFor([&] {
            const HWND now = focusOf(frame);
            return now != before || (stops.size() == 1 && now == stops[0]);
        }, 5000);
        visited.push_back(focusOf(frame));
    }
    return visited;
}

// Every value stored below key, one "path\name=value" a line.
std::wstring storedValues(HKEY root, const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return L"";
    std::wstring all;
    wchar_t name[256];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256, size = sizeof(data), type = 0;
        if (RegEnumValueW(handle, i, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        all += key + L"\\" + name + L"=";
        for (DWORD b = 0; b < size; ++b) all += std::to_wstring(data[b]) + L" ";
        all += L"\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        all += storedValues(root, key + L"\\" + name);
    }
    RegCloseKey(handle);
    return all;
}

// What a key could change: the entry every box shows, the texts shown (the panel follows
// the format) and every setting the Drop Box stores.
std::wstring boxesAndSettings(HWND frame) {
    std::wstring state;
    for (HWND child : visibleChildren(frame)) {
        state += classOf(child) + L" " + (isCombo(child) ? shownEntry(child) : textOf(child)) + L"\n";
    }
    return state + storedValues(HKEY_CURRENT_USER, savePath(L"MainWindow"));
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The program's frame once it shows and has the keyboard (the keyboard goes to the window
// a person clicked into), else null.
HWND frameClickedInto(const Program& program) {
    HWND frame = program.waitForFrame();
    if (frame == nullptr || !waitFor([&] { return dropTargetOf(frame) != nullptr; }, 5000)) return nullptr;
    clickOn(dropTargetOf(frame));
    return waitFor([&] { return GetForegroundWindow() == frame; }, 10000) ? frame : nullptr;
}

class DropBoxKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { freshSettings(); }
    void TearDown() override { deleteProductKey(); }
};

TEST_F(DropBoxKeyboardTest, TabAndShiftTabReachEveryEnabledControlOfBothViewsAndArrowsChooseAFormat) {
    Program program;
    ASSERT_TRUE(program.started()) << "the start failed, error " << program.startError();
    HWND frame = frameClickedInto(program);
    ASSERT_NE(nullptr, frame);

    auto comboCount = [&] {
        int n = 0;
        for (HWND stop : tabStops(frame)) {
            n += classOf(stop) == L"ComboBox";
        }
        return n;
    };
    // Each view: every stop once round in either direction, and the same ring both ways.
    auto walkTheRing = [&] {
        const std::vector<HWND> stops = tabStops(frame);
        ASSERT_GE(stops.size(), 1u);
        for (bool backwards : {false, true}) {
            std::vector<HWND> seen = roundTrip(frame, stops, backwards), all = stops;
            std::sort(seen.begin(), seen.end());
            std::sort(all.begin(), all.end());
            EXPECT_EQ(all, seen) << (backwards ? "Shift+Tab" : "Tab");
        }
        const std::vector<HWND> forward = roundTrip(frame, stops, false);
        std::vector<HWND> backward = roundTrip(frame, stops, true);
        std::reverse(backward.begin(), backward.end());
        std::rotate(backward.begin(), backward.begin() + 1, backward.end());
        EXPECT_EQ(forward, backward);
    };
    // The first start shows the compact view; a right click on the drop area opens the large one.
    ASSERT_EQ(0, comboCount());
    {
        SCOPED_TRACE("compact view");
        walkTheRing();
    }
    rightClick(centreOf(dropTargetOf(frame)));
    ASSERT_TRUE(waitFor([&] { return comboCount() > 0; }, 5000)) << "the large view did not open";
    const std::vector<HWND> stops = tabStops(frame);
    {
        SCOPED_TRACE("large view");
        walkTheRing();
    }

    // "Convert to:" is the first combo box in tab order: Down picks the next format.
    HWND combo = nullptr;
    for (size_t i = 0; i < stops.size() * 2 && combo == nullptr; ++i) {
        HWND focus = focusOf(frame);
        if (classOf(focus) == L"ComboBox") {
            combo = focus;
        } else {
            press(VK_TAB);
        }
    }
    ASSERT_NE(nullptr, combo);
    const LRESULT before = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    press(VK_DOWN);
    EXPECT_TRUE(waitFor([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) == before + 1; }, 5000));
    press(VK_DOWN, VK_MENU);
    EXPECT_TRUE(waitFor([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 5000));
    press(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }, 5000));
    EXPECT_TRUE(program.close(frame, 10000));
}

// Alt, then Down, from every control of both views (each tab stop and the drop area) opens
// a menu and changes no box; Escape twice (the menu, then menu mode) gives the keyboard back
// to the control. Alt, Left, Down, Enter from the "Volume" box reaches the About window, and
// F10 typed at the X server does the same.
TEST_F(DropBoxKeyboardTest, AltOrF10OpensTheMenusFromEveryControlAndNoKeyReachesTheControl) {
    Program program;
    ASSERT_TRUE(program.started()) << "the start failed, error " << program.startError();
    HWND frame = frameClickedInto(program);
    ASSERT_NE(nullptr, frame);
    auto menuOpen = [&] { return openMenuOf(program.id()) != nullptr; };
    auto focusOn = [&](HWND target) {
        if (target == dropTargetOf(frame)) return clickOn(target);
        for (int i = 0; i < 30 && focusOf(frame) != target; ++i) {
            const HWND before = focusOf(frame);
            press(VK_TAB);
            waitFor([&] { return focusOf(frame) != before; }, 1000);
        }
        return focusOf(frame) == target;
    };
    auto fromEveryControl = [&] {
        std::vector<HWND> controls = tabStops(frame);
        controls.push_back(dropTargetOf(frame));
        for (HWND control : controls) {
            const std::wstring text = isCombo(control) ? shownEntry(control) : textOf(control);
            SCOPED_TRACE(narrow(classOf(control) + L" \"" + text + L"\""));
            ASSERT_TRUE(focusOn(control));
            const HWND had = focusOf(frame);
            const std::wstring before = boxesAndSettings(frame);
            press(VK_MENU);
            EXPECT_TRUE(waitFor([&] { return focusOf(frame) == menuBarOf(frame); }, 3000)) << "the bar took no keyboard";
            EXPECT_FALSE(menuOpen()) << "Alt alone opened a menu";
            press(VK_DOWN);
            EXPECT_TRUE(waitFor(menuOpen, 3000)) << "Down opened no menu";
            EXPECT_EQ(before, boxesAndSettings(frame));
            press(VK_ESCAPE);
            EXPECT_TRUE(waitFor([&] { return !menuOpen(); }, 3000));
            press(VK_ESCAPE);
            EXPECT_TRUE(waitFor([&] { return focusOf(frame) == had; }, 3000)) << "the keyboard did not come back";
            EXPECT_EQ(before, boxesAndSettings(frame));
        }
    };
    {
        SCOPED_TRACE("compact view");
        fromEveryControl();
    }
    rightClick(centreOf(dropTargetOf(frame)));
    ASSERT_TRUE(waitFor([&] { return formatList(frame) != nullptr; }, 5000)) << "the large view did not open";
    {
        SCOPED_TRACE("large view");
        fromEveryControl();
    }

    int32_t index = -1;
    HWND volume = comboOffering(frame, L"300%", &index);
    ASSERT_NE(nullptr, volume);
    struct Road {
        const char* name;
        bool atX;
    };
    for (const Road road : {Road{"Alt, Left, Down, Enter", false}, Road{"F10 Left Down Return at the display", true}}) {
        SCOPED_TRACE(road.name);
        ASSERT_TRUE(focusOn(volume));
        const std::wstring before = boxesAndSettings(frame);
        if (road.atX) {
            for (const char* key : {"F10", "Left", "Down", "Return"}) ASSERT_TRUE(typeAtX(key)) << "xdotool did not run";
        } else {
            for (WORD key : {WORD(VK_MENU), WORD(VK_LEFT), WORD(VK_DOWN), WORD(VK_RETURN)}) press(key);
        }
        HWND about = nullptr;
        ASSERT_TRUE(waitFor([&] { return (about = program.otherFrame(frame)) != nullptr; }, 5000)) << "no About window";
        EXPECT_EQ(before, boxesAndSettings(frame));
        clickOn(showing(about, L"Close"));
        ASSERT_TRUE(waitFor([&] { return program.otherFrame(frame) == nullptr && IsWindowEnabled(frame); }, 5000));
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

} // namespace
