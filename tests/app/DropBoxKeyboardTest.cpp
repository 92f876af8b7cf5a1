// Brisquelton.exe's Drop Box by keyboard alone: Tab and Shift+Tab reach every enabled
// control of both views in turn, and the keys of a focused combo box choose in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProgramScreen.h"

using namespace apptest;
using namespace testsupport;

namespace {

// The controls a keyboard user must reach: visible, enabled, tab stops, shown inside the
// frame (every ancestor visible).
std::vector<HWND> tabStops(HWND frame) {
    struct Search {
        HWND frame;
        std::vector<HWND> found;
    } search{frame, {}};
    EnumChildWindows(
        frame,
        [](HWND child, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            if ((GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) == 0 || !IsWindowEnabled(child)) {
                return TRUE;
            }
            for (HWND up = child; up != s->frame; up = GetParent(up)) {
                if (!IsWindowVisible(up) || !IsWindowEnabled(up)) {
                    return TRUE;
                }
            }
            s->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

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

class DropBoxKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { freshSettings(); }
    void TearDown() override { deleteProductKey(); }
};

TEST_F(DropBoxKeyboardTest, TabAndShiftTabReachEveryEnabledControlOfBothViewsAndArrowsChooseAFormat) {
    Program program;
    ASSERT_TRUE(program.started());
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    // The keyboard goes to the window a person clicked into.
    ASSERT_TRUE(waitFor([&] { return dropTargetOf(frame) != nullptr; }, 5000));
    clickOn(dropTargetOf(frame));
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == frame; }, 10000));

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

} // namespace
