// Brisquelton.exe's Drop Box handled as a person does, by keys, clicks on the frame's
// buttons and menu choices: the Tab ring, "Convert to:" by keys, a view switch while
// maximised, a live language change, the View menu's options, the layout between formats
// and at the compact view's least size; its boxes, whose field, stored setting and output
// agree, lists placed off their field, keys and focus, the About window's keys and the
// maximised state.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ProgramScreen.h"
#include "support/FfmpegTools.h"
#include "support/FrameInput.h"
#include "support/RawFile.h"
#include "support/Wav.h"
#include "support/XInput.h"

using namespace apptest;
using namespace testsupport;

namespace {

const std::wstring VIEW = savePath(L"MainWindow\\View");
const std::wstring FILE_GROUP = savePath(L"MainWindow\\File");

// The menus of the bar, and lines of theirs (separators draw none).
constexpr size_t VIEW_MENU = 1, LANGUAGE_MENU = 2, ABOUT_MENU = 3;
constexpr size_t EASY_DRAG = 2, CLOSE_BY_WHEEL = 3, ENGLISH = 1, GERMAN = 14;

int32_t stored(const std::wstring& key, const wchar_t* name) {
    int32_t value = -1;
    readInt(key, name, &value);
    return value;
}
std::wstring storedText(const std::wstring& key, const wchar_t* name) {
    std::wstring value;
    readString(key, name, &value);
    return value;
}

RECT clientOnScreen(HWND frame) {
    RECT r{};
    GetClientRect(frame, &r);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The frame's left margin, where no control lies.
POINT freeSpot(HWND frame) {
    const RECT r = clientOnScreen(frame);
    return POINT{r.left + 4 * displayScale(), (r.top + r.bottom) / 2};
}

// Opens the large view with a right click on the drop area, unless it shows.
bool openLargeView(HWND frame) {
    if (stored(VIEW, L"CompactView") == 0 && showing(frame, L"<< Minimize") != nullptr) return true;
    clickAt(centreOf(dropTargetOf(frame)), Button::Right);
    return waitFor([&] { return stored(VIEW, L"CompactView") == 0 && formatList(frame) != nullptr; }, 5000);
}

// What is wrong with the control that has the focus, empty when a person sees it: shown
// whole inside the frame, a control with a caption of its own.
std::string unseenFocus(HWND frame) {
    HWND focus = focusOf(frame);
    if (focus == nullptr) return "the focus is lost";
    if (focus == frame) return "the focus sits on the frame, on no control";
    const std::wstring text = isCombo(focus) ? shownEntry(focus) : textOf(focus);
    const std::wstring kind = classOf(focus);
    const std::string what =
        "\"" + std::string(text.begin(), text.end()) + "\" (" + std::string(kind.begin(), kind.end()) + ")";
    const RECT r = screenRect(focus);
    const RECT seen = visiblePart(focus);
    if (!IsWindowVisible(focus) || IsRectEmpty(&seen) || !EqualRect(&seen, &r)) return what + " is not shown";
    if (!text.empty() && text[0] == L'#') return what + " is no control a person sees";
    return "";
}

class DropBoxHandlingTest : public ::testing::Test {
protected:
    void SetUp() override { freshSettings(); }
    void TearDown() override { deleteProductKey(); }
};

// Tab walks only the controls that show, in both views, and keeps the focus on one; the
// next drop converts.
TEST_F(DropBoxHandlingTest, TheTabRingHoldsOnlyShownControlsAndTheNextDropConverts) {
    const std::wstring folder = freshTempFolder(L"dropbox-tab-ring");
    const std::wstring song = folder + L"\\song.wav";
    ASSERT_TRUE(writeRaw(song, silentWav(8000, 1, 0.1)));
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    for (int view = 0; view < 2; ++view) {
        SCOPED_TRACE(view == 0 ? "compact view" : "large view");
        if (view == 1) {
            ASSERT_TRUE(openLargeView(frame));
        }
        clickAt(freeSpot(frame));
        // Two laps of the shown stops: a ring that held a hidden control would reach it
        // within one. A ring of one keeps the focus, so each wait there runs out.
        const size_t presses = 2 * std::max<size_t>(1, tabStops(frame).size());
        for (size_t press = 0; press < presses; ++press) {
            const HWND before = focusOf(frame);
            testsupport::press(VK_TAB);
            waitFor([&] { return focusOf(frame) != before; }, 5000);
            const std::string fault = unseenFocus(frame);
            EXPECT_EQ("", fault) << "after Tab " << press + 1;
            if (!fault.empty()) break;
        }
    }
    HWND target = dropTargetOf(frame);
    ASSERT_NE(nullptr, target);
    ASSERT_TRUE(dropInto(target, {song}));
    EXPECT_TRUE(waitFor([&] { return GetFileAttributesW((folder + L"\\song.mp3").c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
        << "the drop converted nothing";
    EXPECT_TRUE(waitFor([&] { return showing(frame, L"Ready") != nullptr; }, 20000));
    EXPECT_TRUE(program.close(frame, 10000));
    DeleteFileW((folder + L"\\song.mp3").c_str());
    DeleteFileW(song.c_str());
    RemoveDirectoryW(folder.c_str());
}

// Maximised, a switch of the view keeps the window maximised with its content laid out
// there; Restore gives the view's own size with all its content shown. Both ways.
TEST_F(DropBoxHandlingTest, AViewSwitchWhileMaximisedStaysMaximisedAndRestoreShowsTheWholeView) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(clickCaptionButton(frame, HTMAXBUTTON));
    ASSERT_TRUE(waitFor([&] { return IsZoomed(frame) != FALSE; }, 5000));
    ASSERT_TRUE(settled(frame, 5000));
    const RECT maximised = screenRect(frame);
    for (int32_t compact : {0, 1}) {
        const std::wstring name = compact ? L"maximised-to-compact" : L"maximised-to-large";
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        if (!IsZoomed(frame)) {
            ASSERT_TRUE(clickCaptionButton(frame, HTMAXBUTTON));
            ASSERT_TRUE(waitFor([&] { return IsZoomed(frame) != FALSE; }, 5000));
        }
        clickAt(centreOf(dropTargetOf(frame)), Button::Right);
        ASSERT_TRUE(waitFor([&] { return stored(VIEW, L"CompactView") == compact; }, 5000));
        ASSERT_TRUE(settled(frame, 5000));
        EXPECT_TRUE(IsZoomed(frame));
        const RECT now = screenRect(frame);
        EXPECT_TRUE(EqualRect(&now, &maximised)) << now.left << "," << now.top << " " << now.right - now.left << "x"
                                                 << now.bottom - now.top;
        EXPECT_EQ(compact == 0, showing(frame, L"<< Minimize") != nullptr);
        EXPECT_EQ("", screenFaults(frame, name));
        ASSERT_TRUE(clickCaptionButton(frame, HTMAXBUTTON));
        ASSERT_TRUE(waitFor([&] { return IsZoomed(frame) == FALSE; }, 5000));
        ASSERT_TRUE(settled(frame, 5000));
        EXPECT_EQ("", screenFaults(frame, name + L"-restored"));
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

// "Convert to:" by keys, its list closed and open: the moves skip both section headers
// and land on entries only, the open list stays open until Enter, and the click after
// it reaches the close box.
TEST_F(DropBoxHandlingTest, ConvertToKeysSkipTheSectionHeaders) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(openLargeView(frame));
    HWND combo = formatList(frame);
    ASSERT_NE(nullptr, combo);
    int32_t wma = -1;
    ASSERT_EQ(combo, comboOffering(frame, L".WMA", &wma));
    ASSERT_TRUE(chooseByKeys(combo, wma));
    ASSERT_TRUE(waitFor([&] { return shownEntry(combo) == L".WMA"; }, 10000));
    struct Step {
        WORD key;
        const wchar_t* lands;
    };
    // From the end up over the "Raw" header, down over it, to the start under the
    // "Audio" header and no further, and a page each way.
    const Step steps[] = {
        {VK_END, L".RAW  (u-Law)"}, {VK_UP, L".RAW  (a-Law)"}, {VK_UP, L".RAW  (Big-Endian)"},
        {VK_UP, L".RAW  (Little-Endian)"}, {VK_UP, L".WMA"}, {VK_DOWN, L".RAW  (Little-Endian)"},
        {VK_HOME, L".3G2"}, {VK_UP, L".3G2"}, {VK_NEXT, nullptr}, {VK_PRIOR, nullptr},
    };
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "list open" : "list closed");
        if (open) {
            press(VK_F4);
            ASSERT_TRUE(waitFor([&] { return openListOf(combo) != nullptr; }, 10000));
        }
        for (const Step& step : steps) {
            const std::wstring before = shownEntry(combo);
            press(step.key);
            SCOPED_TRACE(std::string(before.begin(), before.end()) + " + key " + std::to_string(step.key));
            if (step.lands != nullptr) {
                EXPECT_TRUE(waitFor([&] { return shownEntry(combo) == step.lands; }, 10000)) << "shows \""
                    << std::string(shownEntry(combo).begin(), shownEntry(combo).end()) << "\"";
            } else {
                // A page moves, and never onto a header ("Audio", "Raw" lines have no dot).
                EXPECT_TRUE(waitFor([&] { return shownEntry(combo) != before; }, 10000));
                const std::wstring now = shownEntry(combo);
                EXPECT_EQ(L'.', now.empty() ? L' ' : now[0]);
            }
            if (open) {
                EXPECT_NE(nullptr, openListOf(combo)) << "the list closed by itself";
            }
        }
        if (open) {
            const std::wstring taken = shownEntry(combo);
            press(VK_RETURN);
            EXPECT_TRUE(waitFor([&] { return openListOf(combo) == nullptr; }, 10000));
            EXPECT_TRUE(waitFor([&] { return storedText(VIEW, L"ConvertTo") == taken; }, 10000));
        }
    }
    // The list moved by keys has let the mouse go: the close box takes the click.
    ASSERT_TRUE(clickCaptionButton(frame, HTCLOSE));
    EXPECT_TRUE(program.waitForExit(10000)) << "the click after the list did not reach the close box";
}

// Where the ink of the File menu's custom-folder entry (its fifth line: "Browse", three
// fixed choices, then the folder) ends, from the menu's left edge; -1 when not shown.
int customEntryInkEnd(HWND frame) {
    HWND menu = openMenu(frame, 0);
    if (menu == nullptr) return -1;
    const std::vector<RECT> lines = menuItems(menu);
    int end = -1;
    if (lines.size() > 4) {
        const RECT line = lines[4];
        const auto runs = ScreenShot(line).contrastColumns(line, 8, 80);
        if (!runs.empty()) end = runs.back().second - screenRect(menu).left;
    }
    press(VK_ESCAPE);
    DWORD process = 0;
    GetWindowThreadProcessId(frame, &process);
    waitFor([&] { return openMenuOf(process) == nullptr; }, 10000);
    return end;
}

// A live switch to German and back relabels the File menu's custom-folder entry and the
// option lists' own texts (what a screen reader reads), shows everything uncut, and gives
// the window back the width it had.
TEST_F(DropBoxHandlingTest, ALiveLanguageSwitchRelabelsEverythingAndGivesTheSizeBack) {
    const std::wstring folder = freshTempFolder(L"dropbox-language");
    ASSERT_TRUE(writeString(FILE_GROUP, L"OutputDirCustomPath0", folder.c_str()));
    ASSERT_TRUE(writeInt(FILE_GROUP, L"OutputFolderSetting", 0));
    ASSERT_TRUE(writeInt(VIEW, L"CompactView", 0));
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(settled(frame, 5000));
    const RECT first = screenRect(frame);
    const int englishEntry = customEntryInkEnd(frame);
    ASSERT_GT(englishEntry, 0);
    struct Step {
        size_t line;
        const wchar_t* language;
        const wchar_t* quality;
    };
    // "Ausgabe nach:" is wider than "Output to:" before the same folder.
    const Step steps[] = {
        {GERMAN, L"German", L"\u00c4hnliche Qualit\u00e4t  (Standard)"},
        {ENGLISH, L"English", L"Similar Quality  (Default)"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.language, step.language + wcslen(step.language)));
        ASSERT_EQ("", chooseMenuItem(frame, LANGUAGE_MENU, step.line));
        int32_t index = -1;
        EXPECT_TRUE(waitFor([&] { return comboOffering(frame, step.quality, &index) != nullptr; }, 5000))
            << "no option list reads \"" << std::string(step.quality, step.quality + wcslen(step.quality)) << "\"";
        const int entry = customEntryInkEnd(frame);
        if (step.line == GERMAN) {
            EXPECT_GT(entry, englishEntry) << "the custom folder's entry kept its English prefix";
        } else {
            EXPECT_EQ(englishEntry, entry);
        }
        EXPECT_EQ("", screenFaults(frame, std::wstring(L"language-") + step.language));
    }
    const RECT last = screenRect(frame);
    EXPECT_EQ(first.right - first.left, last.right - last.left);
    EXPECT_EQ(first.bottom - first.top, last.bottom - last.top);
    EXPECT_TRUE(program.close(frame, 10000));
    RemoveDirectoryW(folder.c_str());
}

// View -> Easy Drag and View -> close by a wheel click, both on at first: each choice
// turns the option off and on again, and the window follows a drag by a free spot of its
// own, or closes on a middle click, only while it is on.
TEST_F(DropBoxHandlingTest, EasyDragAndWheelClickCloseChosenThroughTheViewMenu) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    for (bool on : {false, true}) {
        SCOPED_TRACE(on ? "easy drag on" : "easy drag off");
        ASSERT_EQ("", chooseMenuItem(frame, VIEW_MENU, EASY_DRAG));
        const RECT before = screenRect(frame);
        const POINT from = freeSpot(frame);
        // At the X server alone, as a person drags (dragCaptionTo says why).
        dragAtX(from, POINT{from.x + 60, from.y + 40});
        auto moved = [&] {
            const RECT now = screenRect(frame);
            return now.left == before.left + 60 && now.top == before.top + 40;
        };
        if (on) {
            EXPECT_TRUE(waitFor(moved, 10000)) << "the window did not follow the drag";
        } else {
            Sleep(500);
            const RECT now = screenRect(frame);
            EXPECT_TRUE(EqualRect(&before, &now)) << "the window moved";
        }
    }
    for (bool on : {false, true}) {
        SCOPED_TRACE(on ? "wheel-click close on" : "wheel-click close off");
        ASSERT_EQ("", chooseMenuItem(frame, VIEW_MENU, CLOSE_BY_WHEEL));
        clickAt(freeSpot(frame), Button::Middle);
        EXPECT_EQ(on, program.waitForExit(on ? 10000 : 1000));
    }
}

// Formats whose panels need different widths leave the option column where it is.
TEST_F(DropBoxHandlingTest, TheOptionColumnStaysPutBetweenFormats) {
    ASSERT_TRUE(writeInt(VIEW, L"CompactView", 0));
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    HWND combo = nullptr;
    ASSERT_TRUE(waitFor([&] { return (combo = formatList(frame)) != nullptr; }, 5000));
    const LONG left = screenRect(combo).left;
    for (const wchar_t* entry : {L".WAV  (GSM)", L".MP3", L".WMA", L".RAW  (a-Law)"}) {
        SCOPED_TRACE(std::string(entry, entry + wcslen(entry)));
        int32_t index = -1;
        ASSERT_EQ(combo, comboOffering(frame, entry, &index));
        ASSERT_TRUE(chooseByClicks(combo, index));
        ASSERT_TRUE(waitFor([&] { return shownEntry(combo) == entry; }, 10000));
        ASSERT_TRUE(settled(combo, 5000));
        EXPECT_EQ(left, screenRect(combo).left);
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

// At the compact view's least size a running conversion still shows the start of the
// file's name beside the progress bar and Cancel.
TEST_F(DropBoxHandlingTest, TheLeastCompactViewShowsTheStartOfTheNameBeingConverted) {
    ASSERT_TRUE(writeInt(savePath(viewGroup()), L"SmallWidth", 10));
    const std::wstring folder = freshTempFolder(L"dropbox-least-compact");
    const std::wstring song = folder + L"\\a rather long file name to convert.wav";
    ASSERT_TRUE(writeRaw(song, silentWav(44100, 2, 600)));
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    HWND cancel = childWithText(frame, L"Cancel");
    ASSERT_NE(nullptr, cancel);
    ASSERT_TRUE(dropInto(dropTargetOf(frame), {song}));
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(cancel) != FALSE; }, 10000));
    HWND status = nullptr;
    EXPECT_TRUE(waitFor([&] { return (status = showing(frame, L"a rather long file name to convert.mp3")) != nullptr; }, 5000));
    if (status != nullptr) {
        const RECT r = visiblePart(status);
        // Three letters and the dots at the least.
        EXPECT_GE(r.right - r.left, 30 * displayScale());
        EXPECT_GE(inkIn(ScreenShot(r), r), 30 * displayScale());
    }
    EXPECT_TRUE(program.close(frame, 10000));
    EXPECT_TRUE(program.waitForExit(10000));
    for (const wchar_t* name : {L"\\a rather long file name to convert.mp3", L"\\a rather long file name to convert.wav"}) {
        DeleteFileW((folder + name).c_str());
    }
    RemoveDirectoryW(folder.c_str());
}



// ---- What a box shows is what is converted ----

// Each starts in the large view, where the boxes show.
class DropBoxChoiceTest : public DropBoxHandlingTest {
protected:
    void SetUp() override {
        DropBoxHandlingTest::SetUp();
        writeInt(VIEW, L"CompactView", 0);
    }
};

// The "Convert to:" list once the window shows it, else null.
HWND shownFormatList(HWND frame) {
    HWND combo = nullptr;
    waitFor([&] { return (combo = formatList(frame)) != nullptr; }, 5000);
    return combo;
}

// The entry rows of an open list in view, first to last.
std::vector<POINT> rowsInView(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    std::vector<POINT> rows;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = SendMessageW(list, LB_GETTOPINDEX, 0, 0); i < count; ++i) {
        RECT item{};
        if (SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)) == LB_ERR || item.bottom > client.bottom) break;
        POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(list, &at);
        rows.push_back(at);
    }
    return rows;
}

// An open list passed over by the pointer and then closed by any road but a choice keeps
// the choice: the field, the stored setting and the converted file agree on it.
TEST_F(DropBoxChoiceTest, AListClosedWithoutAChoiceKeepsTheChoiceThatIsConverted) {
    const std::wstring folder = freshTempFolder(L"dropbox-choice");
    const std::wstring song = folder + L"\\song.wav";
    ASSERT_TRUE(writeRaw(song, silentWav(8000, 1, 0.2)));
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    HWND combo = shownFormatList(frame);
    ASSERT_NE(nullptr, combo);
    int32_t wma = -1;
    ASSERT_EQ(combo, comboOffering(frame, L".WMA", &wma));
    ASSERT_TRUE(chooseByClicks(combo, wma));
    ASSERT_TRUE(waitFor([&] { return storedText(VIEW, L"ConvertTo") == L".WMA"; }, 10000));
    struct Road {
        const char* name;
        WORD key, modifier;  // key 0: a click on a free spot of the frame
    };
    const Road roads[] = {{"Escape", VK_ESCAPE, 0}, {"a click outside", 0, 0}, {"F4", VK_F4, 0}, {"Alt+Up", VK_UP, VK_MENU}};
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        HWND list = openList(combo);
        // A click the machine lost: once more.
        if (list == nullptr) list = openList(combo);
        ASSERT_NE(nullptr, list);
        // The pointer passes over three other entries and rests on the last.
        const std::vector<POINT> rows = rowsInView(list);
        ASSERT_GE(rows.size(), 4u);
        const LRESULT first = SendMessageW(list, LB_GETCURSEL, 0, 0);
        for (size_t i = 0; i < 3; ++i) moveMouse(rows[i].x, rows[i].y);
        EXPECT_TRUE(waitFor([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) != first; }, 10000)) << "no hover";
        const auto close = [&] {
            if (road.key != 0) {
                press(road.key, road.modifier);
            } else {
                clickAt(freeSpot(frame));
            }
        };
        const auto closed = [&] { return openListOf(combo) == nullptr; };
        close();
        // Ten seconds without an answer: the machine lost the input (a program that ignores
        // the road loses the repeat too). Not sooner, as a second F4 or Alt+Up reopens.
        if (!waitFor(closed, 10000)) {
            LostInput::repeated(road.name);
            close();
        }
        ASSERT_TRUE(waitFor(closed, 10000));
        EXPECT_TRUE(waitFor([&] { return shownEntry(combo) == L".WMA"; }, 10000))
            << "the field shows \"" << std::string(shownEntry(combo).begin(), shownEntry(combo).end()) << "\"";
        EXPECT_EQ(L".WMA", storedText(VIEW, L"ConvertTo"));
    }
    ASSERT_TRUE(dropInto(dropTargetOf(frame), {song}));
    const std::wstring out = folder + L"\\song.wma";
    EXPECT_TRUE(waitFor([&] { return GetFileAttributesW(out.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000));
    EXPECT_TRUE(waitFor([&] { return showing(frame, L"Ready") != nullptr; }, 20000));
    EXPECT_EQ("wmav2", answer(probeFile(out, L"stream=codec_name"), "stream.0.codec_name"));
    EXPECT_TRUE(program.close(frame, 10000));
    for (const std::wstring& name : {out, song}) DeleteFileW(name.c_str());
    RemoveDirectoryW(folder.c_str());
}

// With the window at the top and the bottom of the screen and its format list at the
// middle (where neither side has room for the whole list, after it opened whole), each
// list opens wholly below or wholly above its field, on the screen.
TEST_F(DropBoxChoiceTest, AnOpenListNeverCoversItsField) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_NE(nullptr, shownFormatList(frame));
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const RECT start = screenRect(frame);
    const LONG height = start.bottom - start.top;
    const LONG fieldDown = screenRect(formatList(frame)).top - start.top;
    for (const LONG top : {0L, screenHeight / 2 - fieldDown, screenHeight - height}) {
        SCOPED_TRACE("window at " + std::to_string(top));
        // The program may keep a frame a few pixels inside the screen.
        dragCaptionTo(frame, POINT{start.left, top});
        ASSERT_TRUE(settled(frame, 5000));
        ASSERT_NEAR(top, screenRect(frame).top, 16 * uiScale());
        int32_t index = -1;
        // "Convert to:" and the first option box.
        for (HWND combo : {formatList(frame), comboOffering(frame, L"Similar Quality  (Default)", &index)}) {
            ASSERT_NE(nullptr, combo);
            HWND list = openList(combo);
            ASSERT_NE(nullptr, list);
            const RECT field = screenRect(combo), shown = screenRect(list);
            RECT over{};
            EXPECT_FALSE(IntersectRect(&over, &field, &shown))
                << "list " << shown.top << "-" << shown.bottom << " over field " << field.top << "-" << field.bottom;
            EXPECT_GE(shown.top, 0);
            EXPECT_LE(shown.bottom, screenHeight);
            press(VK_ESCAPE);
            ASSERT_TRUE(waitFor([&] { return openListOf(combo) == nullptr; }, 10000));
        }
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

// Opens the combo's list as a person clicks, the button held a moment on the field: by
// SendInput, or at the X server, whose pointer grab keeps a list shown under the pointer
// from taking it as a move into the list. The press at the X server comes about half a
// second after the one before at the same spot, at the edge of the double-click time.
HWND openListByPress(HWND combo, bool atX) {
    const POINT at = centreOf(screenRect(combo));
    HWND list = nullptr;
    for (int attempt = 0; attempt < 2 && list == nullptr; ++attempt) {
        if (attempt > 0) LostInput::repeated(atX ? "list open at X" : "list open");
        if (atX) {
            pressAtX(at);
        } else {
            moveMouse(at.x, at.y);
            leftButton(true);
            Sleep(100);
            leftButton(false);
        }
        waitFor([&] { return (list = openListOf(combo)) != nullptr; }, 3000);
    }
    return list;
}

// What an open list shows unpainted or stale, empty when nothing: a row of one flat colour
// where an entry's caption belongs, a highlight on another row than the field's choice
// (the pointer rests on the field), or a block of the X root's black.
std::string unpaintedRows(HWND combo, HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    const RECT whole = screenRect(list);
    const ScreenShot shot(whole);
    std::string faults;
    POINT black{};
    if (shot.blackBlock(whole, 8 * uiScale(), &black)) faults += "black at " + std::to_string(black.y - whole.top) + "; ";
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const uint32_t marked = (GetRValue(highlight) << 16) | (GetGValue(highlight) << 8) | GetBValue(highlight);
    for (LRESULT i = SendMessageW(list, LB_GETTOPINDEX, 0, 0); i < count; ++i) {
        RECT row{};
        if (SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&row)) == LB_ERR || row.top >= client.bottom) break;
        row.bottom = std::min(row.bottom, client.bottom);
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row), 2);
        const std::wstring text = comboText(combo, static_cast<int32_t>(i));
        const uint32_t ground = shot.commonColour(row);
        if (text.find_first_not_of(L' ') != std::wstring::npos && shot.count(row, [&](uint32_t p) { return p != ground; }) == 0) {
            faults += "\"" + std::string(text.begin(), text.end()) + "\" flat; ";
        } else if ((ground == marked) != (i == chosen)) {
            faults += "\"" + std::string(text.begin(), text.end()) + (i == chosen ? "\" chosen, not marked; " : "\" marked, not chosen; ");
        }
    }
    return faults;
}

// Every list of the large view paints every row it shows when it opens: the format list
// and each box of four panels, with the window where it first opens (after a right click
// to the large view) and at the top, the middle and the bottom of the screen.
TEST_F(DropBoxHandlingTest, EveryListPaintsEveryRowItShowsWhereverItOpens) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(openLargeView(frame));
    ASSERT_TRUE(settled(frame, 5000));
    const RECT start = screenRect(frame);
    const LONG height = start.bottom - start.top;
    const LONG fieldDown = screenRect(formatList(frame)).top - start.top;
    const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const std::pair<const char*, LONG> places[] = {
        {"first place", start.top}, {"top", 0}, {"middle", screenHeight / 2 - fieldDown}, {"bottom", screenHeight - height}};
    for (const auto& [place, top] : places) {
        SCOPED_TRACE(place);
        if (screenRect(frame).top != top) {
            // The program may keep a frame a few pixels inside the screen.
            dragCaptionTo(frame, POINT{start.left, top});
            ASSERT_TRUE(settled(frame, 5000));
            ASSERT_NEAR(top, screenRect(frame).top, 16 * uiScale());
        }
        for (const std::wstring format : {L".MP3", L".AAC", L".WAV", L".OGG"}) {
            SCOPED_TRACE(std::string(format.begin(), format.end()));
            HWND formats = formatList(frame);
            ASSERT_NE(nullptr, formats);
            int32_t index = 0;
            while (index < SendMessageW(formats, CB_GETCOUNT, 0, 0) && comboText(formats, index).rfind(format, 0) != 0) ++index;
            ASSERT_TRUE(chooseByClicks(formats, index));
            ASSERT_TRUE(waitFor([&] { return shownEntry(formats).rfind(format, 0) == 0 && formatList(frame) == formats; }, 3000));
            std::vector<std::pair<HWND, bool>> opens;
            for (HWND combo : visibleChildren(frame)) {
                if (isCombo(combo) && combo != formats) opens.emplace_back(combo, false);
            }
            // The format list at each place once, also pressed at the X server.
            if (format == L".MP3") opens.insert(opens.begin(), {{formats, false}, {formats, true}});
            for (const auto& [combo, atX] : opens) {
                const std::wstring shown = shownEntry(combo);
                SCOPED_TRACE(std::string(shown.begin(), shown.end()) + (atX ? " pressed at X" : ""));
                HWND list = openListByPress(combo, atX);
                ASSERT_NE(nullptr, list);
                std::string faults;
                // Paints reach the screen a moment late; what stays unpainted stays.
                if (!waitFor([&] { return (faults = unpaintedRows(combo, list)).empty(); }, 2000)) {
                    const std::wstring shot = keepShot(ScreenShot(screenRect(list)), L"unpainted-list");
                    faults += "(shot " + std::string(shot.begin(), shot.end()) + ")";
                }
                EXPECT_EQ("", faults);
                press(VK_ESCAPE);
                ASSERT_TRUE(waitFor([&] { return openListOf(combo) == nullptr; }, 3000));
            }
        }
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

// Keys on a box from a fresh start: PageDown and PageUp move in the closed list before it
// was ever opened; Alt+F4 closes the window.
TEST_F(DropBoxChoiceTest, PagesMoveInAFreshBoxAndAltF4ClosesTheWindowFromIt) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    HWND combo = shownFormatList(frame);
    ASSERT_NE(nullptr, combo);
    clickAt(freeSpot(frame));
    ASSERT_TRUE(tabTo(frame, combo));
    const std::wstring first = shownEntry(combo);
    press(VK_NEXT);
    EXPECT_TRUE(waitFor([&] { return shownEntry(combo) != first; }, 10000)) << "PageDown did not move";
    const LRESULT paged = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    press(VK_PRIOR);
    EXPECT_TRUE(waitFor([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) < paged; }, 10000)) << "PageUp did not move";
    EXPECT_TRUE(waitFor([&] { return storedText(VIEW, L"ConvertTo") == shownEntry(combo); }, 10000));
    EXPECT_EQ(nullptr, openListOf(combo));
    press(VK_F4, VK_MENU);
    EXPECT_TRUE(program.waitForExit(10000)) << "Alt+F4 on a box did not close the window";
}

// A view switch or a collapse that hides the focused control gives the focus to a shown
// one, and Down then changes no hidden setting.
TEST_F(DropBoxChoiceTest, TheFocusNeverStaysOnAHiddenControl) {
    struct Case {
        const char* name;
        const wchar_t* focused;  // a combo showing it, or a button captioned so
        bool bySpace;            // the switch by Space on the focused button, else a right click
    };
    const Case cases[] = {{"Convert to:, right click", L".MP3", false},
                          {"Volume, right click", L"300%", false},
                          {"<< Minimize, Space", L"<< Minimize", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        ASSERT_NE(nullptr, shownFormatList(frame));
        int32_t index = -1;
        HWND target = comboOffering(frame, c.focused, &index);
        if (target == nullptr) target = showing(frame, c.focused);
        ASSERT_NE(nullptr, target);
        clickAt(freeSpot(frame));
        ASSERT_TRUE(tabTo(frame, target));
        const std::wstring before = isCombo(target) ? shownEntry(target) : L"";
        if (c.bySpace) {
            press(VK_SPACE);
        } else {
            clickAt(centreOf(dropTargetOf(frame)), Button::Right);
        }
        ASSERT_TRUE(waitFor([&] { return stored(VIEW, L"CompactView") == 1; }, 5000));
        EXPECT_TRUE(waitFor([&] { return unseenFocus(frame).empty(); }, 10000)) << unseenFocus(frame);
        press(VK_DOWN);
        Sleep(300);  // a change that should not come
        if (isCombo(target)) {
            EXPECT_EQ(before, shownEntry(target)) << "Down changed a hidden box";
        }
        EXPECT_EQ(1, stored(VIEW, L"CompactView"));
        EXPECT_TRUE(program.close(frame, 10000));
        freshSettings();
        writeInt(VIEW, L"CompactView", 0);
    }
}

// The About window takes the keyboard a person types on: Escape, Enter (its Close is the
// default button) and Alt+F4 typed at the X server each close it, and the Drop Box takes
// input again after each.
TEST_F(DropBoxChoiceTest, TheAboutWindowClosesByEscapeEnterAndAltF4TypedAtTheDisplay) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    auto about = [&] { return program.otherFrame(frame); };
    for (const char* keys : {"Escape", "Return", "alt+F4"}) {
        SCOPED_TRACE(keys);
        ASSERT_EQ("", chooseMenuItem(frame, ABOUT_MENU, 0));
        ASSERT_TRUE(waitFor([&] { return about() != nullptr && GetForegroundWindow() == about(); }, 5000));
        // A person reads the window before typing.
        Sleep(300);
        ASSERT_TRUE(typeAtX(keys)) << "xdotool did not run";
        EXPECT_TRUE(waitFor([&] { return about() == nullptr; }, 10000));
        if (about() != nullptr) clickOn(showing(about(), L"Close"));
        ASSERT_TRUE(waitFor([&] { return about() == nullptr && IsWindowEnabled(frame) != FALSE; }, 10000));
    }
    EXPECT_TRUE(program.close(frame, 10000));
}

// A window closed maximised comes back maximised.
TEST_F(DropBoxChoiceTest, AWindowClosedMaximisedComesBackMaximised) {
    {
        Program program;
        HWND frame = program.waitForFrame();
        ASSERT_NE(nullptr, frame);
        ASSERT_TRUE(maximiseFrame(frame));
        EXPECT_TRUE(program.close(frame, 10000));
    }
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(waitFor([&] { return IsZoomed(frame) != FALSE; }, 10000)) << "shown at its normal size";
    EXPECT_TRUE(program.close(frame, 10000));
}

// The text in a box is as high as a label's beside it, at every UI scale: the caps of
// ".MP3" and of "Convert to:" (no descenders in either).
TEST_F(DropBoxChoiceTest, ABoxWritesAsLargeAsALabel) {
    Program program;
    HWND frame = program.waitForFrame();
    ASSERT_NE(nullptr, frame);
    HWND combo = shownFormatList(frame);
    ASSERT_NE(nullptr, combo);
    ASSERT_EQ(L".MP3", shownEntry(combo));
    HWND label = firstChild(frame, [](HWND child) { return IsWindowVisible(child) && textOf(child).rfind(L"Convert to:", 0) == 0; });
    ASSERT_NE(nullptr, label);
    clickAt(freeSpot(frame));
    ASSERT_TRUE(settled(frame, 5000));
    auto inkHeight = [](const RECT& r) {
        const auto rows = ScreenShot(r).inkRows(r, 0);
        return rows.empty() ? 0 : rows.back().second - rows.front().first;
    };
    int box = 0, text = 0;
    EXPECT_TRUE(waitFor([&] {
        box = inkHeight(captionArea(combo));
        text = inkHeight(screenRect(label));
        return box > 0 && text > 0;
    }, 10000));
    EXPECT_NEAR(text, box, uiScale()) << "label " << text << " px, box " << box << " px";
    EXPECT_TRUE(program.close(frame, 10000));
}

} // namespace
