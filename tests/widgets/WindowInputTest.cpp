// The window as a person uses it, by real mouse and key input: focus moving through the
// controls, keys in a combo box, right clicks and the context menu from every free spot,
// the mouse capture, resizing by the grip, and the menu bar's commands.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ControlsSupport.h"
#include "support/UiThread.h"
#include "support/FrameInput.h"
#include "support/RealInput.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/menuitem/MenuItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MenuEx.h"
#include "widgets/gui/win/PopupMenu.h"
#include "widgets/gui/win/ScreenPlacement.h"
#include "widgets/gui/win/StatusBar.h"
#include "widgets/gui/win/TextField.h"

namespace {

using controlstest::shownMenu;
using controlstest::waitFor;
using s::gui::IBox;
using s::gui::IWindow;
using s::gui::combobox::ComboBoxItem;
using s::gui::menuitem::MenuItem;
using s::gui::win::Box;
using s::gui::win::Button;
using s::gui::win::CheckBox;
using s::gui::win::ComboBox;
using s::gui::win::GroupBox;
using s::gui::win::Label;
using s::gui::win::MenuEx;
using s::gui::win::PopupMenu;
using s::gui::win::StatusBar;
using s::gui::win::TextField;
using s::gui::win::Window;
using windowtest::Recorder;
using namespace testsupport;

// A shown, active window of 360 x 300 at (100, 100).
Window* activeWindow() {
    Window* window = toolkittest::shownWindow(100, 100, 360, 300);
    window->activate(true);
    toolkittest::settle(window);
    return window;
}

ComboBox* comboOf(int items) {
    ComboBox* combo = ComboBox::createWithSize(120, 24);
    for (int i = 0; i < items; ++i) {
        const std::wstring text = L"Entry " + std::to_wstring(i);
        combo->addItem(ComboBoxItem::createWithText(text.c_str(), i, 0, 0));
    }
    combo->setSelectedIndex(0, false);
    return combo;
}

// Focus ----------------------------------------------------------------------------------------

TEST(WindowInputTest, TabAndShiftTabReachEveryEnabledControlInOrderAsSendTabDoes) {
    Released<Window> window(activeWindow());
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 0, 4, 0, 4, 4);
    Button* first = Button::createWithText(L"First", 70, 24);
    ComboBox* combo = comboOf(3);
    CheckBox* check = CheckBox::createWithText(L"Check", false);
    row->add(first);
    row->add(combo);
    row->add(check);
    GroupBox* group = GroupBox::createWithText(IBox::ROW, 4, 0, 6, 6, -1, L"Group");
    TextField* field = TextField::create(L"text", 22, -1);
    field->setFixedWidth(80);
    Button* disabled = Button::createWithText(L"Off", 50, 24);
    Button* last = Button::createWithText(L"Last", 60, 24);
    group->add(field);
    group->add(disabled);
    group->add(last);
    window->add(row);
    window->add(group);
    disabled->setEnabled(false);
    toolkittest::settle(window.get());

    const std::vector<HWND> order = {first->getNativeHandle(), combo->getNativeHandle(), check->getNativeHandle(),
                                     field->getNativeHandle(), last->getNativeHandle()};
    struct Road {
        const char* name;
        bool keys;
        bool backwards;
    };
    const Road roads[] = {{"Tab", true, false}, {"Shift+Tab", true, true}, {"sendTab", false, false},
                          {"sendTab backwards", false, true}};
    window->sendTab(false);  // from the frame itself: the first control
    ASSERT_TRUE(waitFor([&] { return focusOf(window->getFrameHandle()) == order[0]; }));
    // Each road goes round once, back to the first control.
    for (const Road& road : roads) {
        const size_t n = order.size();
        for (size_t step = 1; step <= n; ++step) {
            if (road.keys) {
                press(VK_TAB, road.backwards ? VK_SHIFT : 0);
            } else {
                window->sendTab(road.backwards);
            }
            const size_t expected = road.backwards ? (n - step % n) % n : step % n;
            EXPECT_TRUE(waitFor([&] { return focusOf(window->getFrameHandle()) == order[expected]; }))
                << road.name << " step " << step;
        }
    }
}

// Combo box keys ---------------------------------------------------------------------------------

TEST(WindowInputTest, ComboKeysChooseAndNotifyClosedAndDroppedDown) {
    Released<Window> window(activeWindow());
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 0, 0, 0, 8, 8);
    ComboBox* combo = comboOf(5);
    Recorder selections;
    combo->addSelectionListener(&selections);
    row->add(combo);
    window->add(row);
    Recorder keys;
    window->addKeyListener(&keys);
    window->sendTab(false);
    ASSERT_TRUE(waitFor([&] { return focusOf(window->getFrameHandle()) == combo->getNativeHandle(); }));

    struct Step {
        const char* name;
        WORD vk;
        WORD modifier;
        bool open;
        int32_t selected;
        size_t notices;
    };
    const Step steps[] = {
        {"Down", VK_DOWN, 0, false, 1, 1},
        {"Down again", VK_DOWN, 0, false, 2, 2},
        {"Up", VK_UP, 0, false, 1, 3},
        {"Alt+Down opens", VK_DOWN, VK_MENU, true, 1, 3},
        {"Down in the list", VK_DOWN, 0, true, -1, 0},
        {"Enter picks", VK_RETURN, 0, false, 2, 4},
        {"Alt+Down opens again", VK_DOWN, VK_MENU, true, 2, 4},
        {"Down in the list again", VK_DOWN, 0, true, -1, 0},
        {"Escape closes", VK_ESCAPE, 0, false, -1, 0},
    };
    for (const Step& s : steps) {
        press(s.vk, s.modifier);
        EXPECT_TRUE(waitFor([&] { return combo->GetDroppedState() == s.open; })) << s.name;
        if (s.selected >= 0) {
            EXPECT_TRUE(waitFor([&] { return combo->getSelectedIndex() == s.selected; })) << s.name;
            EXPECT_EQ(s.notices, selections.codes.size()) << s.name;
        }
    }
    // The window heard the keys of the closed field on their way to the control.
    EXPECT_GE(keys.count(IWindow::KEY), 3);
}

// A press on the closed field opens its list, also within the double-click time of the
// press that opened it before and the key that closed it.
TEST(WindowInputTest, APressOpensTheClosedListRightAfterAnotherOpenedIt) {
    Released<Window> window(activeWindow());
    Box* row = Box::create(IBox::ROW, 0, 100, -1, 0, 0, 0, 8, 8);
    ComboBox* combo = comboOf(5);
    row->add(combo);
    window->add(row);
    toolkittest::settle(window.get());
    const POINT field = centreOf(combo->getNativeHandle());
    for (const WORD closer : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(closer == VK_ESCAPE ? "Escape" : "Enter");
        ASSERT_TRUE(clickAt(field, testsupport::Button::Left, 0));
        ASSERT_TRUE(waitFor([&] { return combo->GetDroppedState(); }));
        press(closer);
        ASSERT_TRUE(waitFor([&] { return !combo->GetDroppedState(); }));
        ASSERT_TRUE(clickAt(field, testsupport::Button::Left, 0));
        EXPECT_TRUE(waitFor([&] { return combo->GetDroppedState(); })) << "the second press was lost";
        press(VK_ESCAPE);
        ASSERT_TRUE(waitFor([&] { return !combo->GetDroppedState(); }));
        Sleep(GetDoubleClickTime());
    }
}

// Right clicks, context menu, middle clicks --------------------------------------------------------

// A window of free spots: a plain label, a group box with a label, a pass-through box
// and a status bar. Answers the spots' screen points.
std::vector<std::pair<const char*, POINT>> buildFreeSpots(Window* window) {
    Box* column = Box::create(IBox::COLUMN, 0, 100, 100, 0, 0, 6, 6, 6);
    Label* label = Label::createWithText(L"A plain label", false, false, 0);
    GroupBox* group = GroupBox::createDropBox(100, 60);
    Label* inGroup = Label::createWithText(L"Drop here", true, false, 0);
    group->add(inGroup);
    column->add(label);
    column->add(group);
    window->add(column);
    window->setStatusBar(StatusBar::createWithResizer(0, 0));
    toolkittest::settle(window);
    const RECT groupRect = screenRect(group->getNativeHandle());
    const RECT columnRect = screenRect(column->getNativeHandle());
    const RECT barRect = screenRect(static_cast<StatusBar*>(window->getStatusBar())->getNativeHandle());
    return {{"label", centreOf(label->getNativeHandle())},
            {"label in a group", centreOf(inGroup->getNativeHandle())},
            {"group box", POINT{groupRect.left + 12, groupRect.bottom - 8}},
            {"box margin", POINT{columnRect.left + 2, (columnRect.top + columnRect.bottom) / 2}},
            {"status bar", POINT{barRect.left + 20, (barRect.top + barRect.bottom) / 2}}};
}

TEST(WindowInputTest, RightClicksOnEveryFreeSpotReachTheWindowDraggedByItsClientAreaOrNot) {
    Released<Window> window(activeWindow());
    const auto spots = buildFreeSpots(window.get());
    Recorder downs, ups;
    window->addRightButtonDownListener(&downs);
    window->addRightButtonUpListener(&ups);
    for (bool easyDrag : {true, false}) {
        window->setDragByClientArea(easyDrag);
        for (const auto& spot : spots) {
            const size_t before = downs.codes.size();
            const size_t upsBefore = ups.codes.size();
            rightClick(spot.second);
            EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return downs.codes.size() == before + 1; }))
                << spot.first << (easyDrag ? " dragged by the client area" : "");
            EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return ups.codes.size() == upsBefore + 1; })) << spot.first;
        }
    }
    EXPECT_EQ(downs.codes.size(), static_cast<size_t>(downs.count(IWindow::RIGHT_DOWN)));
}

TEST(WindowInputTest, TheContextMenuOpensAtTheCursorAndItsCommandArrives) {
    Released<Window> window(activeWindow());
    const auto spots = buildFreeSpots(window.get());
    PopupMenu* menu = PopupMenu::pool();
    menu->addItem(MenuItem::createWithText(L"First", 501));
    menu->addItem(MenuItem::createWithText(L"Second", 502));
    window->setContextMenu(menu, 42);
    Recorder opening, commands;
    intptr_t valueSeen = 0;
    opening.action = [&](int32_t) { valueSeen = window->getContextMenuValue(); };
    window->addContextMenuListener(&opening);
    menu->addCommandListener(&commands);
    window->setDragByClientArea(true);

    const POINT at = spots[0].second;
    rightClick(at);
    HWND popup = nullptr;
    ASSERT_TRUE(waitFor([&] { return (popup = shownMenu()) != nullptr; }));
    EXPECT_EQ(1, opening.count(IWindow::CONTEXT_MENU));
    EXPECT_EQ(42, valueSeen);
    RECT shown;
    GetWindowRect(popup, &shown);
    EXPECT_NEAR(at.x, shown.left, 2);
    EXPECT_NEAR(at.y, shown.top, 2);
    // The second entry, by a real click on it.
    leftClick(POINT{shown.left + 20, shown.top + (shown.bottom - shown.top) * 3 / 4});
    ASSERT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return commands.codes.size() == 1; }));
    EXPECT_EQ(502, menu->getLastCommand());
    window->setContextMenu(nullptr);
    menu->release();
}

TEST(WindowInputTest, AMiddleClickOnALabelClosesAWindowDraggedByItsClientArea) {
    Released<Window> window(activeWindow());
    const auto spots = buildFreeSpots(window.get());
    window->setDragByClientArea(true);
    window->setMiddleClickAction(IWindow::MIDDLE_CLOSE);
    testsupport::clickAt(spots[1].second, testsupport::Button::Middle);
    EXPECT_TRUE(waitFor([&] { return window->isClosed(); }));
}

TEST(WindowInputTest, DraggingTheDropAreaMovesAWindowDraggedByItsClientArea) {
    Released<Window> window(activeWindow());
    const auto spots = buildFreeSpots(window.get());
    window->setDragByClientArea(true);
    const int32_t x = window->getX();
    const int32_t y = window->getY();
    // At the X server alone, as a person drags (dragCaptionTo says why).
    dragAtX(spots[2].second, POINT{spots[2].second.x + 40, spots[2].second.y + 30});
    EXPECT_TRUE(waitFor([&] { return window->getX() == x + 40 && window->getY() == y + 30; }))
        << window->getX() << "," << window->getY();
}

// Menu bar -----------------------------------------------------------------------------------------

TEST(WindowInputTest, TheMenuBarShowsOnTheFrameAndMenuCommandsReachTheMenuOwningThem) {
    Released<Window> window(activeWindow());
    PopupMenu* bar = PopupMenu::pool();
    PopupMenu* file = PopupMenu::pool();
    file->setCaption(L"File");
    file->addItem(MenuItem::createWithText(L"Open", 601));
    bar->addSubMenu(file);
    PopupMenu* context = PopupMenu::pool();
    context->addItem(MenuItem::createWithText(L"Switch", 701));
    Recorder barCommands, contextCommands;
    bar->addCommandListener(&barCommands);
    context->addCommandListener(&contextCommands);
    window->setMenuBar(bar);
    window->setContextMenu(context);
    HWND frame = window->getFrameHandle();
    EXPECT_EQ(bar->getNativeMenu(), GetMenu(frame));
    EXPECT_TRUE(bar->hasCommandListener(window.get()));

    // What the system sends for a chosen entry: the id, no control, notification 0.
    struct Case {
        WPARAM id;
        size_t barCount;
        size_t contextCount;
    };
    const Case cases[] = {{601, 1, 0}, {701, 1, 1}, {999, 1, 1}};
    for (const Case& c : cases) {
        SendMessageW(frame, WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
        EXPECT_EQ(c.barCount, barCommands.codes.size()) << c.id;
        EXPECT_EQ(c.contextCount, contextCommands.codes.size()) << c.id;
    }
    EXPECT_EQ(601, bar->getLastCommand());
    EXPECT_EQ(701, context->getLastCommand());

    window->setMenuBar(nullptr);
    window->setContextMenu(nullptr);
    EXPECT_EQ(nullptr, GetMenu(frame));
    EXPECT_FALSE(bar->hasCommandListener(window.get()));
    // The frame gave the menu back rather than destroying it.
    EXPECT_TRUE(IsMenu(bar->getNativeMenu()));
    bar->release();
    context->release();
}

// F10 puts the bar in menu mode: it takes the keyboard and opens nothing yet. Left and Right
// move along it, Down opens the highlighted menu on its first entry, Left and Right in an
// open menu open the neighbour's the same way, and the keyboard goes back after a choice.
TEST(WindowInputTest, TheOwnerDrawnMenuBarOpensByF10AndLeftRightMoveBetweenItsMenus) {
    Released<Window> window(activeWindow());
    MenuEx* bar = MenuEx::create(100);
    PopupMenu* names[3] = {PopupMenu::pool(), PopupMenu::pool(), PopupMenu::pool()};
    const wchar_t* captions[3] = {L"File", L"View", L"Help"};
    for (int i = 0; i < 3; ++i) {
        names[i]->setCaption(captions[i]);
        names[i]->addItem(MenuItem::createWithText(L"First", 800 + 10 * i));
        names[i]->addItem(MenuItem::createWithText(L"Second", 801 + 10 * i));
        bar->addSubMenu(names[i]);
    }
    Recorder commands;
    bar->addCommandListener(&commands);
    window->add(bar);
    toolkittest::settle(window.get());
    // Keys go to the window clicked into; the cursor stays away from the bar, whose open
    // menu follows the cursor to the entry under it.
    clickAt(280, 370);

    struct Case {
        const char* name;
        std::vector<WORD> onBar, inMenu;
        int32_t command;
    };
    const Case cases[] = {
        {"first menu", {}, {}, 801},
        {"right", {VK_RIGHT}, {}, 811},
        {"left wraps to the last", {VK_LEFT}, {}, 821},
        {"right twice", {VK_RIGHT, VK_RIGHT}, {}, 821},
        {"right in the open menu", {}, {VK_RIGHT}, 811},
    };
    const DWORD thread = window->getUiThreadId();
    const HWND had = focusOfThread(thread);
    for (const Case& c : cases) {
        const size_t before = commands.codes.size();
        press(VK_F10);
        ASSERT_TRUE(waitFor([&] { return focusOfThread(thread) == bar->getNativeHandle(); })) << c.name;
        EXPECT_EQ(nullptr, shownMenu()) << c.name;
        for (WORD move : c.onBar) press(move);
        press(VK_DOWN);
        ASSERT_TRUE(waitFor([] { return shownMenu() != nullptr; })) << c.name;
        for (WORD move : c.inMenu) press(move);
        press(VK_DOWN);
        press(VK_RETURN);
        ASSERT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return commands.codes.size() == before + 1; })) << c.name;
        EXPECT_EQ(c.command, bar->getLastCommand()) << c.name;
        EXPECT_TRUE(waitFor([] { return shownMenu() == nullptr; }));
        EXPECT_TRUE(waitFor([&] { return focusOfThread(thread) == had; })) << c.name;
    }
}

// Capture ------------------------------------------------------------------------------------------

TEST(WindowInputTest, ACaptureEndsWithTheNextClickWhereverItLandsAndListenersHearIt) {
    Released<Window> window(activeWindow());
    Recorder captures;
    window->addCaptureListener(&captures);
    window->captureMouse();
    EXPECT_EQ(window->getFrameHandle(), [&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(window->getUiThreadId(), &info);
        return info.hwndCapture;
    }());
    const POINT outside = {600, 500};
    leftClick(outside);
    ASSERT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return captures.count(IWindow::CAPTURE_ENDED) == 1; }));
    EXPECT_EQ(outside.x, window->getCaptureEndX());
    EXPECT_EQ(outside.y, window->getCaptureEndY());
    // A click without a capture asked for tells nothing.
    leftClick(POINT{200, 200});
    Sleep(100);
    EXPECT_EQ(1u, captures.codes.size());
}

// Sizing -------------------------------------------------------------------------------------------

TEST(WindowInputTest, TheGripResizesOnlyAResizableWindowAndNeverBelowTheMinimum) {
    struct Case {
        const char* name;
        bool resizable;
        int dx;
        int dy;
        bool grows;
    };
    const Case cases[] = {
        {"resizable grows", true, 40, 30, true},
        {"fixed stays", false, 40, 30, false},
        {"resizable shrinks to the minimum", true, -300, -260, false},
    };
    for (const Case& c : cases) {
        Released<Window> window(activeWindow());
        Box* content = Box::create(IBox::ROW, 0, -1, -1, 0, 0, 0, 0, 0);
        content->setFixedWidth(200);
        content->setFixedHeight(120);
        window->add(content);
        StatusBar* bar = StatusBar::createWithResizer(0, 0);
        window->setStatusBar(bar);
        window->setResizable(c.resizable);
        window->setMinimumSizeRules(true);
        EXPECT_EQ(c.resizable, window->isResizable()) << c.name;
        toolkittest::settle(window.get());
        const int32_t width = window->getWidth();
        const int32_t height = window->getHeight();
        const RECT barRect = screenRect(bar->getNativeHandle());
        const POINT grip = {barRect.right - 5, barRect.bottom - 5};
        drag(grip, POINT{grip.x + c.dx, grip.y + c.dy});
        toolkittest::settle(window.get());
        // The drag's moves reach the window late on a loaded machine: a growth is waited for.
        if (c.grows) {
            testsupport::waitOnUiThread(window.get(), [&] {
                return window->getWidth() == width + c.dx && window->getHeight() == height + c.dy;
            });
            EXPECT_EQ(width + c.dx, window->getWidth()) << c.name;
            EXPECT_EQ(height + c.dy, window->getHeight()) << c.name;
        } else if (!c.resizable) {
            EXPECT_EQ(width, window->getWidth()) << c.name;
            EXPECT_EQ(height, window->getHeight()) << c.name;
        } else {
            EXPECT_EQ(window->getPreferredWidth(), window->getWidth()) << c.name;
            EXPECT_EQ(window->getPreferredHeight(), window->getHeight()) << c.name;
        }
    }
}

TEST(WindowInputTest, MinimumRulesHoldWhereTheyAreSwitchedOnAndEnforceAndFitUseThePreferredSize) {
    Released<Window> window(activeWindow());
    window->setResizable(true);
    window->setDefaultWidth(260);
    window->setDefaultHeight(200);
    HWND frame = window->getFrameHandle();
    // Each edge dragged far inward from 300 x 240 at (100, 100): the rules hold the default
    // size where they are on; without them the system's least size is the limit.
    const LONG leastWidth = GetSystemMetrics(SM_CXMINTRACK);
    struct Case {
        bool width;
        bool height;
        LRESULT edge;
        int dx, dy;
        RECT expected;
    };
    const Case cases[] = {
        {true, true, HTBOTTOMRIGHT, -200, -190, {100, 100, 360, 300}},
        {true, true, HTTOPLEFT, 200, 190, {140, 140, 400, 340}},
        {true, false, HTLEFT, 200, 0, {140, 100, 400, 340}},
        {false, false, HTRIGHT, -200, 0, {100, 100, 100 + std::max<LONG>(100, leastWidth), 340}},
    };
    for (const Case& c : cases) {
        window->setBounds(100, 100, 300, 240);
        toolkittest::settle(window.get());
        window->setMinimumSizeRules(c.width, c.height);
        ASSERT_TRUE(dragEdge(frame, c.edge, c.dx, c.dy)) << c.edge;
        const RECT rect = screenRect(frame);
        EXPECT_TRUE(EqualRect(&c.expected, &rect)) << c.edge << ": " << rect.left << "," << rect.top << ","
                                                   << rect.right << "," << rect.bottom;
    }
    window->setSize(100, 300);
    window->enforceMinimumSize();
    EXPECT_EQ(260, window->getWidth());
    EXPECT_EQ(300, window->getHeight());
    window->fitToPreferredSize();
    EXPECT_EQ(260, window->getWidth());
    EXPECT_EQ(200, window->getHeight());
}

TEST(WindowInputTest, FrameStyleSettersSwitchTheirStyleBothWays) {
    Released<Window> window(Window::pool());
    HWND frame = window->getFrameHandle();
    struct Case {
        void (IWindow::*setter)(bool);
        int index;
        LONG_PTR bits;
    };
    const Case cases[] = {
        {&IWindow::setMaximizeBox, GWL_STYLE, WS_MAXIMIZEBOX}, {&IWindow::setMinimizeBox, GWL_STYLE, WS_MINIMIZEBOX},
        {&IWindow::setSystemMenu, GWL_STYLE, WS_SYSMENU},      {&IWindow::setCaption, GWL_STYLE, WS_CAPTION},
        {&IWindow::setResizable, GWL_STYLE, WS_THICKFRAME},    {&IWindow::setStandardFrame, GWL_STYLE, WS_OVERLAPPEDWINDOW},
        {&IWindow::setToolWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW}, {&IWindow::setClientEdge, GWL_EXSTYLE, WS_EX_CLIENTEDGE},
        {&IWindow::setShowInTaskbar, GWL_EXSTYLE, WS_EX_APPWINDOW},
    };
    // The frame's parent is its hidden owner.
    EXPECT_EQ(GetWindow(frame, GW_OWNER), window->getFrameParent());
    EXPECT_NE(nullptr, window->getFrameParent());
    IWindow* w = window.get();
    for (const Case& c : cases) {
        for (bool on : {false, true, false}) {
            (w->*c.setter)(on);
            EXPECT_EQ(on ? c.bits : 0, GetWindowLongPtrW(frame, c.index) & c.bits) << c.bits << " " << on;
        }
    }
}

TEST(WindowInputTest, ACloserClosesTheWindowWithItsClick) {
    Released<Window> window(activeWindow());
    Button* close = Button::createWithText(L"Close", 80, 26);
    window->add(close);
    window->addCloser(close);
    toolkittest::settle(window.get());
    leftClick(centreOf(close->getNativeHandle()));
    EXPECT_TRUE(waitFor([&] { return window->isClosed(); }));
}

// Listener codes of a person's mouse --------------------------------------------------------------

// The codes heard, a run of moves (a move's many WM_MOUSEMOVEs) as one; moves after the
// last button are the system's (the pointer at rest after a caption's move loop).
std::vector<int32_t> runsOf(const std::vector<int32_t>& codes) {
    std::vector<int32_t> runs;
    for (int32_t code : codes) {
        if (runs.empty() || code != IWindow::MOUSE_MOVE || runs.back() != code) {
            runs.push_back(code);
        }
    }
    if (runs.size() > 1 && runs.back() == IWindow::MOUSE_MOVE) {
        runs.pop_back();
    }
    return runs;
}

TEST(WindowInputTest, APersonsMouseGivesTheListenersExactlyItsEventsInOrder) {
    Released<Window> window(activeWindow());
    const auto spots = buildFreeSpots(window.get());
    Recorder heard;
    window->addMouseMoveListener(&heard);
    window->addLeftButtonDownListener(&heard);
    window->addLeftButtonUpListener(&heard);
    window->addMiddleButtonListener(&heard);
    window->addDoubleClickListener(&heard);
    const POINT at = spots[0].second;
    // Each step at its own spot, so that no two clicks make a double click.
    struct Step {
        const char* name;
        bool easyDrag;
        int dx;
        std::function<void(POINT)> act;
        std::vector<int32_t> events;
    };
    const Step steps[] = {
        {"move", false, -20, [](POINT p) { moveMouse(p.x, p.y); }, {IWindow::MOUSE_MOVE}},
        {"left click", false, -10, [](POINT p) { clickAt(p); },
         {IWindow::MOUSE_MOVE, IWindow::LEFT_DOWN, IWindow::LEFT_UP}},
        {"middle click", false, 0, [](POINT p) { clickAt(p, testsupport::Button::Middle); },
         {IWindow::MOUSE_MOVE, IWindow::MIDDLE_DOWN}},
        {"middle click dragged by the client area", true, 10,
         [](POINT p) { clickAt(p, testsupport::Button::Middle); }, {IWindow::MOUSE_MOVE, IWindow::MIDDLE_DOWN}},
        {"drag", false, -30, [](POINT p) { drag(p, POINT{p.x + 20, p.y + 10}); },
         {IWindow::MOUSE_MOVE, IWindow::LEFT_DOWN, IWindow::MOUSE_MOVE, IWindow::LEFT_UP}},
        {"double click dragged by the client area", true, 20, [](POINT p) { doubleClickAt(p); },
         {IWindow::MOUSE_MOVE, IWindow::LEFT_DOWN, IWindow::DOUBLE_CLICKED, IWindow::LEFT_UP}},
    };
    for (const Step& step : steps) {
        window->setDragByClientArea(step.easyDrag);
        const POINT p = {at.x + step.dx, at.y};
        moveMouse(p.x - 3, p.y - 1);
        toolkittest::settle(window.get());
        heard.codes.clear();
        step.act(p);
        EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return heard.count(step.events.back()) > 0; })) << step.name;
        toolkittest::settle(window.get());
        EXPECT_EQ(step.events, runsOf(heard.codes)) << step.name;
    }
    // Swallowed by default: the double click did not maximise.
    EXPECT_FALSE(window->isMaximized());
}

TEST(WindowInputTest, ADoubleClickPassedOnMaximisesAndTheNextRestoresTellingTheRestoreListeners) {
    Released<Window> window(activeWindow());
    window->setDragByClientArea(true);
    window->setPassDoubleClicks(true);
    Recorder doubles, restores;
    window->addDoubleClickListener(&doubles);
    window->addRestoreListener(&restores);
    doubleClickAt(centreOf(window->getFrameHandle()));
    ASSERT_TRUE(waitFor([&] { return window->isMaximized(); }));
    EXPECT_EQ(1, doubles.count(IWindow::DOUBLE_CLICKED));
    Sleep(GetDoubleClickTime() + 50);  // the next clicks begin a double click of their own
    doubleClickAt(centreOf(window->getFrameHandle()));
    EXPECT_TRUE(waitFor([&] { return !window->isMaximized() && restores.count(IWindow::RESTORED) > 0; }));
    EXPECT_EQ(2, doubles.count(IWindow::DOUBLE_CLICKED));
}

TEST(WindowInputTest, DraggingPastTheScreensEdgeTellsMovingListenersTheCorrectedPlace) {
    Released<Window> window(activeWindow());
    const auto spots = buildFreeSpots(window.get());
    window->setDragByClientArea(true);
    window->setKeepInsideScreen(true);
    const RECT area = s::gui::win::ScreenPlacement::keepArea();
    Recorder moving, moved;
    std::vector<POINT> seen;
    moving.action = [&](int32_t) { seen.push_back(POINT{window->getMovingX(), window->getMovingY()}); };
    window->addMovingListener(&moving);
    window->addMovedListener(&moved);
    const POINT from = spots[2].second;
    dragAtX(from, POINT{from.x - (window->getX() - area.left) - 60, from.y - (window->getY() - area.top) - 40});
    ASSERT_TRUE(waitFor([&] { return window->getX() == area.left && window->getY() == area.top; }))
        << window->getX() << "," << window->getY();
    EXPECT_GT(moved.count(IWindow::MOVED), 0);
    ASSERT_FALSE(seen.empty());
    for (const POINT& p : seen) {
        EXPECT_GE(p.x, area.left);
        EXPECT_GE(p.y, area.top);
    }
    EXPECT_EQ(area.left, seen.back().x);
    EXPECT_EQ(area.top, seen.back().y);
}

} // namespace
