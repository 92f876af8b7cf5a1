// Brisquelton.exe's Drop Box by keyboard alone: Tab and Shift+Tab reach every enabled
// control of both views in turn, the keys of a focused combo box choose in it, Alt or F10
// opens the menus from every control without touching it, Enter opens a highlighted menu
// and presses a focused button, and the keyboard goes back to its control after a menu or
// a window opened from one.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
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

// The program's frame once it started, shows and has the keyboard (the keyboard goes to the
// window a person clicked into), else null.
HWND frameClickedInto(const Program& program) {
    if (!program.started()) {
        ADD_FAILURE() << "the start failed, error " << program.startError();
        return nullptr;
    }
    HWND frame = program.waitForFrame();
    if (frame == nullptr || !waitFor([&] { return dropTargetOf(frame) != nullptr; }, 5000)) return nullptr;
    clickOn(dropTargetOf(frame));
    return waitFor([&] { return GetForegroundWindow() == frame; }, 10000) ? frame : nullptr;
}

// The large view (opened by a right click when compact), its "Convert to:" list given the
// keyboard by Tab.
HWND focusedFormatList(HWND frame) {
    if (formatList(frame) == nullptr) rightClick(centreOf(dropTargetOf(frame)));
    HWND list = nullptr;
    if (!waitFor([&] { return (list = formatList(frame)) != nullptr; }, 5000)) return nullptr;
    return tabTo(frame, list) ? list : nullptr;
}

// Whether Down moves the focused combo to its next entry; Up takes it back.
bool downMoves(HWND combo) {
    const LRESULT before = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    press(VK_DOWN);
    const bool moved = waitFor([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) == before + 1; }, 3000);
    if (moved) press(VK_UP);
    return moved && waitFor([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) == before; }, 3000);
}

// Pixels of the rectangle that differ between two shots of it.
int changedPixels(const ScreenShot& a, const ScreenShot& b, const RECT& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) n += a.at(x, y) != b.at(x, y);
    }
    return n;
}

// Whether the display's keyboard focus is on window's X window (always, with managed
// windows: no manager runs to hand it over, and keys go to the window under the pointer).
bool displayKeyboardOn(HWND window, bool managed) {
    typedef LONG(__cdecl * Spawn)(char* const argv[], int wait);
    static const Spawn spawn =
        reinterpret_cast<Spawn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    const uintptr_t id = reinterpret_cast<uintptr_t>(GetPropW(window, L"__wine_x11_whole_window"));
    std::string sh = "sh", c = "-c", test = "[ \"$(xdotool getwindowfocus)\" = " + std::to_string(id) + " ]";
    char* argv[] = {sh.data(), c.data(), test.data(), nullptr};
    return managed || (spawn != nullptr && id != 0 && spawn(argv, 1) == 0);
}

// Wine's windows of Brisquelton.exe managed as under a window manager while it lives.
class ManagedWindows {
public:
    ManagedWindows() {
        RegCreateKeyExW(HKEY_CURRENT_USER, KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_, nullptr);
        RegSetValueExW(key_, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Y"), 4);
    }
    ~ManagedWindows() {
        RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, KEY);
    }

private:
    static constexpr const wchar_t* KEY = L"Software\\Wine\\AppDefaults\\Brisquelton.exe\\X11 Driver";
    HKEY key_ = nullptr;
};

class DropBoxKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override { freshSettings(); }
    void TearDown() override { deleteProductKey(); }
};

TEST_F(DropBoxKeyboardTest, TabAndShiftTabReachEveryEnabledControlOfBothViewsAndArrowsChooseAFormat) {
    Program program;
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
    HWND frame = frameClickedInto(program);
    ASSERT_NE(nullptr, frame);
    auto menuOpen = [&] { return openMenuOf(program.id()) != nullptr; };
    auto focusOn = [&](HWND target) { return target == dropTargetOf(frame) ? clickOn(target) : tabTo(frame, target); };
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

// Alt or F10, Right to each title, Enter: the title's menu opens and nothing in it runs.
TEST_F(DropBoxKeyboardTest, EnterOnAHighlightedTitleOpensItsMenuAndRunsNothing) {
    Program program;
    HWND frame = frameClickedInto(program);
    ASSERT_NE(nullptr, frame);
    HWND combo = focusedFormatList(frame);
    ASSERT_NE(nullptr, combo);
    const size_t titles = menuBarEntries(menuBarOf(frame)).size();
    ASSERT_EQ(4u, titles);
    const std::wstring before = boxesAndSettings(frame);
    for (const bool atX : {false, true}) {
        for (size_t title = 0; title < titles; ++title) {
            SCOPED_TRACE(std::string(atX ? "F10 at the display" : "Alt") + ", title " + std::to_string(title));
            std::vector<std::string> keys{atX ? "F10" : "Alt"};
            keys.insert(keys.end(), title, "Right");
            keys.push_back("Return");
            for (const std::string& key : keys) {
                if (atX) {
                    ASSERT_TRUE(typeAtX(key)) << "xdotool did not run";
                } else {
                    press(key == "Alt" ? VK_MENU : key == "Right" ? VK_RIGHT : VK_RETURN);
                }
            }
            // A command run in the menu's place closes it: the menu opens and stays open.
            HWND menu = nullptr;
            EXPECT_TRUE(waitFor([&] { return openMenuOf(program.id()) != nullptr; }, 10000)) << "no menu opened";
            EXPECT_TRUE(waitForSteady([&] { return openMenuOf(program.id()); }, menu, 10000, 300));
            EXPECT_NE(nullptr, menu) << "the menu closed";
            EXPECT_EQ(nullptr, program.otherFrame(frame)) << "a window opened";
            EXPECT_EQ(before, boxesAndSettings(frame));
            for (int i = 0; i < 3 && focusOf(frame) != combo; ++i) {
                press(VK_ESCAPE);
                waitFor([&] { return focusOf(frame) == combo && program.otherFrame(frame) == nullptr; }, 2000);
            }
            EXPECT_EQ(combo, focusOf(frame)) << "the keyboard did not come back";
        }
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

// A menu opened by a click on each title leaves the keyboard with "Convert to:" however it
// closes: Escape (the title then unmarked under the resting pointer), a click on a free spot
// of the window, or a command chosen by a click.
TEST_F(DropBoxKeyboardTest, AMenuOpenedByTheMouseLeavesTheKeyboardWithTheBoxHoweverItCloses) {
    Program program;
    HWND frame = frameClickedInto(program);
    ASSERT_NE(nullptr, frame);
    HWND combo = focusedFormatList(frame);
    ASSERT_NE(nullptr, combo);
    HWND bar = menuBarOf(frame);
    const std::vector<RECT> titles = menuBarEntries(bar);
    ASSERT_EQ(4u, titles.size());
    const RECT barArea = screenRect(bar);
    const ScreenShot unmarked(barArea);
    // Right of "Convert to:", clear of the open menus: a spot of the window with no control.
    const POINT freeSpot{screenRect(frame).right - 6 * uiScale(), centreOf(formatList(frame)).y};
    enum How { ESCAPE, FREE_SPOT, COMMAND };
    struct Row {
        size_t title;
        How how;
    };
    // View's first command is "Keep on Top", chosen twice to leave it as it was.
    const Row rows[] = {{0, ESCAPE}, {1, ESCAPE}, {2, ESCAPE}, {3, ESCAPE}, {0, FREE_SPOT},
                        {2, FREE_SPOT}, {1, COMMAND}, {1, COMMAND}};
    for (const Row& row : rows) {
        SCOPED_TRACE("title " + std::to_string(row.title) + ", closed by " +
                     (row.how == ESCAPE ? "Escape" : row.how == FREE_SPOT ? "a click on a free spot" : "a command"));
        ASSERT_TRUE(focusOf(frame) == combo || tabTo(frame, combo));
        HWND menu = openMenu(frame, row.title);
        ASSERT_NE(nullptr, menu);
        if (row.how == ESCAPE) {
            press(VK_ESCAPE);
        } else if (row.how == FREE_SPOT) {
            leftClick(freeSpot);
        } else {
            leftClick(centreOf(menuItems(menu).at(0)));
        }
        EXPECT_TRUE(waitFor([&] { return openMenuOf(program.id()) == nullptr; }, 3000));
        EXPECT_TRUE(waitFor([&] { return focusOf(frame) == combo; }, 3000)) << "the keyboard left the box";
        EXPECT_TRUE(downMoves(combo));
        if (row.how == ESCAPE) {
            EXPECT_TRUE(waitFor([&] { return changedPixels(unmarked, ScreenShot(barArea), titles[row.title]) == 0; }, 10000))
                << "the title stays marked";
        }
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

// About > Version Information and File > Browse and Process..., opened by keys or clicks,
// hold the keyboard while open and give it back to "Convert to:" however they close.
// Escape typed at the display with the pointer on the Drop Box reaches the About window,
// with Wine's windows unmanaged and managed as under a window manager.
TEST_F(DropBoxKeyboardTest, AWindowOpenedFromAMenuHoldsTheKeyboardAndGivesItBackWhenItCloses) {
    enum Close { ESCAPE, ESCAPE_AT_X, ENTER, CLOSE_BUTTON, CLOSE_GLYPH };
    struct Row {
        const char* name;
        size_t title, item;  // the menu entry that opens the window
        bool byKeys;
        Close close;
        bool managed;
    };
    const Row rows[] = {
        {"About by clicks, Escape", 3, 0, false, ESCAPE, false},
        {"About by keys, Enter", 3, 0, true, ENTER, false},
        {"About by clicks, Close", 3, 0, false, CLOSE_BUTTON, false},
        {"About by keys, the X glyph", 3, 0, true, CLOSE_GLYPH, false},
        {"About by keys, Escape at the display", 3, 0, true, ESCAPE_AT_X, false},
        {"Open by clicks, Escape", 0, 0, false, ESCAPE, false},
        {"Open by keys, Escape", 0, 0, true, ESCAPE, false},
        {"About by clicks, managed, Escape at the display", 3, 0, false, ESCAPE_AT_X, true},
    };
    std::unique_ptr<Program> program;
    std::unique_ptr<ManagedWindows> managed;
    HWND frame = nullptr, combo = nullptr;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (program == nullptr || row.managed != (managed != nullptr)) {
            if (program != nullptr) {
                EXPECT_TRUE(program->close(frame, 10000));
            }
            program.reset();
            managed.reset(row.managed ? new ManagedWindows : nullptr);
            program.reset(new Program);
            frame = frameClickedInto(*program);
            ASSERT_NE(nullptr, frame);
            combo = focusedFormatList(frame);
            ASSERT_NE(nullptr, combo);
        }
        ASSERT_TRUE(focusOf(frame) == combo || tabTo(frame, combo));
        if (row.byKeys) {
            press(VK_MENU);
            for (size_t i = 0; i < row.title; ++i) press(VK_RIGHT);
            press(VK_DOWN);
            for (size_t i = 0; i < row.item; ++i) press(VK_DOWN);
            press(VK_RETURN);
        } else {
            ASSERT_EQ("", chooseMenuItem(frame, row.title, row.item));
        }
        HWND window = nullptr;
        ASSERT_TRUE(waitFor([&] { return (window = program->otherFrame(frame)) != nullptr; }, 10000)) << "no window";
        EXPECT_TRUE(waitFor([&] {
            const HWND focus = focusOf(window);
            return focus != nullptr && GetAncestor(focus, GA_ROOT) == window;
        }, 5000)) << "the window holds no keyboard";
        switch (row.close) {
        case ESCAPE: press(VK_ESCAPE); break;
        case ENTER: press(VK_RETURN); break;
        case CLOSE_BUTTON: clickOn(showing(window, L"Close")); break;
        case CLOSE_GLYPH: clickOn(showing(window, L"#X")); break;
        case ESCAPE_AT_X:
            // The display hands its keyboard over a moment after the window took Windows'.
            EXPECT_TRUE(waitFor([&] { return displayKeyboardOn(window, row.managed); }, 5000)) << "not the display's";
            ASSERT_TRUE(moveMouse(centreOf(dropTargetOf(frame)).x, centreOf(dropTargetOf(frame)).y));
            ASSERT_TRUE(typeAtX("Escape")) << "xdotool did not run";
            break;
        }
        EXPECT_TRUE(waitFor([&] { return program->otherFrame(frame) == nullptr && IsWindowEnabled(frame); }, 10000))
            << "the window did not close";
        EXPECT_TRUE(waitFor([&] { return focusOf(frame) == combo; }, 5000)) << "the keyboard did not come back";
        EXPECT_TRUE(downMoves(combo));
    }
    // Without a window manager the managed frame's close button is the manager's to
    // draw: that program is ended, not closed.
}

// Enter presses a focused push button; a check box keeps Space.
TEST_F(DropBoxKeyboardTest, EnterPressesTheFocusedButtonAndSpaceTicksTheCheckBox) {
    Program program;
    HWND frame = frameClickedInto(program);
    ASSERT_NE(nullptr, frame);
    auto keepOnTopTicked = [&] { return SendMessageW(showing(frame, L"Keep on Top"), BM_GETCHECK, 0, 0) == BST_CHECKED; };
    const bool ticked = keepOnTopTicked();
    struct Row {
        const wchar_t* control;
        const char* key;  // at the display, else by SendInput
        WORD vk;
        std::function<bool()> done;
    };
    const Row rows[] = {
        {L"<< Minimize", nullptr, VK_RETURN, [&] { return formatList(frame) == nullptr; }},
        {L"<< Minimize", "Return", 0, [&] { return formatList(frame) == nullptr; }},
        {L"Keep on Top", nullptr, VK_SPACE, [&] { return keepOnTopTicked() != ticked; }},
        {L"Keep on Top", nullptr, VK_SPACE, [&] { return keepOnTopTicked() == ticked; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(narrow(row.control) + (row.key != nullptr ? " at the display" : ""));
        if (formatList(frame) == nullptr && std::wstring(row.control) == L"<< Minimize") {
            rightClick(centreOf(dropTargetOf(frame)));
            ASSERT_TRUE(waitFor([&] { return formatList(frame) != nullptr; }, 5000)) << "the large view did not open";
        }
        ASSERT_TRUE(tabTo(frame, showing(frame, row.control)));
        if (row.key != nullptr) {
            ASSERT_TRUE(typeAtX(row.key)) << "xdotool did not run";
        } else {
            press(row.vk);
        }
        EXPECT_TRUE(waitFor(row.done, 3000));
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

} // namespace
