#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "ToolkitStubs.h"
#include "support/RealInput.h"
#include "support/WaitFor.h"
#include "system/time/Clock.h"
#include "widgets/gui/menuitem/MenuItem.h"
#include "widgets/gui/win/MenuEx.h"
#include "widgets/gui/win/PopupMenu.h"

namespace {

using s::gui::menuitem::MenuItem;
using s::gui::win::MenuEx;
using s::gui::win::PopupMenu;
using windowtest::Recorder;
using windowtest::Window;

std::wstring captionAt(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

UINT stateOf(HMENU menu, UINT position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return info.fType | info.fState;
}

// Open (10), Save (11, checked), separator, Quit (12), and a sub-menu "View" with
// Small (20) and Large (21).
PopupMenu* buildMenu() {
    PopupMenu* menu = PopupMenu::pool();
    menu->addItem(MenuItem::createWithText(L"Open", 10));
    menu->addItem(MenuItem::createWithText(L"Save", 11));
    menu->addItem(MenuItem::createSeparator());
    menu->addItem(MenuItem::createWithText(L"Quit", 12));
    PopupMenu* view = PopupMenu::pool();
    view->setCaption(L"View");
    view->addItem(MenuItem::createWithText(L"Small", 20));
    view->addItem(MenuItem::createWithText(L"Large", 21));
    menu->addSubMenu(view);
    return menu;
}

TEST(MenuTest, ChecksRadioMarksAndCaptionsReadBackFromTheNativeMenus) {
    Released<PopupMenu> menu(buildMenu());
    HMENU native = menu->getNativeMenu();
    HMENU view = menu->subMenuAt(4)->getNativeMenu();
    ASSERT_EQ(5, GetMenuItemCount(native));

    struct Check {
        int32_t id;
        bool checked;
        bool found;
        HMENU in;
        UINT position;
    } checks[] = {
        {11, true, true, native, 1}, {21, true, true, view, 1}, {21, false, true, view, 1}, {99, true, false, native, 0},
    };
    for (const Check& c : checks) {
        EXPECT_EQ(c.found, menu->setChecked(c.id, c.checked)) << c.id;
        EXPECT_EQ(c.found && c.checked, menu->isChecked(c.id)) << c.id;
        EXPECT_EQ(c.found && c.checked, (stateOf(c.in, c.position) & MFS_CHECKED) != 0) << c.id;
    }

    // A radio mark among all entries skips the separator.
    EXPECT_TRUE(menu->setRadioById(12));
    EXPECT_EQ(static_cast<UINT>(MFT_RADIOCHECK | MFS_CHECKED), stateOf(native, 3) & (MFT_RADIOCHECK | MFS_CHECKED));
    EXPECT_EQ(0u, stateOf(native, 1) & MFS_CHECKED);
    EXPECT_NE(0u, stateOf(native, 2) & MFT_SEPARATOR);
    EXPECT_EQ(0u, stateOf(native, 2) & MFS_CHECKED);
    EXPECT_TRUE(menu->setRadioByPosition(0));
    EXPECT_TRUE(menu->isChecked(10));
    EXPECT_FALSE(menu->isChecked(12));
    EXPECT_FALSE(menu->setRadioByPosition(2));

    // A new caption keeps the mark; disabling the sub-menu keeps its caption.
    EXPECT_TRUE(menu->setItemText(10, L"Open..."));
    EXPECT_EQ(L"Open...", captionAt(native, 0));
    EXPECT_NE(0u, stateOf(native, 0) & MFS_CHECKED);
    EXPECT_TRUE(menu->setSubMenuEnabled(menu->subMenuAt(4), false));
    EXPECT_EQ(L"View", captionAt(native, 4));
    EXPECT_NE(0u, stateOf(native, 4) & MFS_GRAYED);
    EXPECT_EQ(view, GetSubMenu(native, 4));
    EXPECT_TRUE(menu->setItemEnabled(20, false));
    EXPECT_NE(0u, stateOf(view, 0) & MFS_GRAYED);

    // Inserting at the count appends; removing by id takes the entry out.
    menu->insertItem(menu->getItemCount(), MenuItem::createWithText(L"Last", 13));
    EXPECT_EQ(L"Last", captionAt(native, 5));
    EXPECT_TRUE(menu->removeById(11));
    EXPECT_EQ(L"", captionAt(native, 1));
    EXPECT_EQ(5, GetMenuItemCount(native));
    EXPECT_TRUE(menu->ownsCommand(21));
    EXPECT_FALSE(menu->ownsCommand(11));
}

TEST(MenuTest, ASubMenuTakenOutAndReusedFromThePoolHasAValidMenu) {
    Released<PopupMenu> menu(buildMenu());
    PopupMenu* view = menu->subMenuAt(4);
    ASSERT_NE(nullptr, view);
    ASSERT_TRUE(menu->removeAt(4));
    EXPECT_EQ(4, GetMenuItemCount(menu->getNativeMenu()));
    // The pool gives the same object back: it makes a fresh menu of its own.
    Released<PopupMenu> again(PopupMenu::pool());
    again->addItem(MenuItem::createWithText(L"Fresh", 30));
    EXPECT_TRUE(IsMenu(again->getNativeMenu()));
    EXPECT_EQ(1, GetMenuItemCount(again->getNativeMenu()));
    EXPECT_EQ(L"Fresh", captionAt(again->getNativeMenu(), 0));
    EXPECT_FALSE(again->ownsCommand(20));
}

TEST(MenuTest, ALanguageChangeRecaptionsItemsAndSubMenusKeepingMarks) {
    Released<s::lang::Localizer> pack(stubs::twoLanguagePack(
        L"<entry id=\"1\"><eng>File</eng><deu>Datei</deu></entry>"
        L"<entry id=\"2\"><eng>Open</eng><deu>Offnen</deu></entry>"));
    Released<PopupMenu> menu(PopupMenu::pool());
    menu->setLocalizer(pack.get());
    PopupMenu* file = PopupMenu::createWithTextId(pack.get(), 1);
    file->addItem(MenuItem::createWithTextId(2, pack.get(), 40, true));
    file->addItem(MenuItem::createSeparator());
    menu->addSubMenu(file);
    EXPECT_EQ(L"File", captionAt(menu->getNativeMenu(), 0));
    pack->setLanguage(L"German");
    EXPECT_EQ(L"Datei", captionAt(menu->getNativeMenu(), 0));
    EXPECT_EQ(L"Offnen", captionAt(file->getNativeMenu(), 0));
    EXPECT_NE(0u, stateOf(file->getNativeMenu(), 0) & MFS_CHECKED);
    EXPECT_NE(0u, stateOf(file->getNativeMenu(), 1) & MFT_SEPARATOR);
}

TEST(MenuTest, AContextMenuAnsweredByAWatchdogReturnsItsCommand) {
    Released<Window> window(Window::pool());
    window->setBounds(100, 100, 300, 200);
    window->setVisible(true);
    Released<PopupMenu> menu(PopupMenu::pool());
    menu->addItem(MenuItem::createWithText(L"Only", 77));
    Recorder commands;
    menu->addCommandListener(&commands);
    // The window gets the keyboard as a person gives it: a click into it.
    testsupport::clickAt(POINT{250, 250});
    // A person answers the menu: Down to its entry, Enter.
    HANDLE watchdog = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            HWND popup = stubs::waitForMenuWindow(true);
            if (popup == nullptr) {
                return 1;
            }
            testsupport::press(VK_DOWN);
            testsupport::press(VK_RETURN);
            return 0;
        },
        nullptr, 0, nullptr);
    int32_t command = -1;
    stubs::runOnUiThread(window.get(), [&] {
        command = menu->openAt(150, 150, window.get());
        if (command != 0) {
            menu->runCommand(command);
        }
    });
    WaitForSingleObject(watchdog, 10000);
    CloseHandle(watchdog);
    EXPECT_EQ(77, command);
    EXPECT_EQ(77, menu->getLastCommand());
    EXPECT_EQ(1, commands.count(0));
}

// A bar drawn by the stub drawer whose "File" menu holds "Open" (command 10).
MenuEx* barWithFileMenu(stubs::MenuDrawer* drawer, PopupMenu** fileMenu = nullptr) {
    MenuEx* bar = MenuEx::create(100);
    bar->setDrawer(drawer, false);
    PopupMenu* file = PopupMenu::pool();
    if (fileMenu != nullptr) *fileMenu = file;
    file->setCaption(L"File");
    file->addItem(MenuItem::createWithText(L"Open", 10));
    bar->addSubMenu(file);
    return bar;
}

TEST(MenuTest, TheBarOpensAndClosesItsPopupWithoutSendingItselfTheMenuStartForEver) {
    Released<Window> window(Window::pool());
    window->setBounds(100, 100, 300, 200);
    window->setVisible(true);
    stubs::MenuDrawer drawer;
    PopupMenu* file = nullptr;
    MenuEx* bar = barWithFileMenu(&drawer, &file);
    bar->addItem(MenuItem::createWithText(L"Help", 11));
    Recorder opens;
    Recorder commands;
    bar->addBeforeOpenListener(&opens);
    bar->addCommandListener(&commands);
    window->add(bar);
    ASSERT_NE(nullptr, bar->m_hWnd);
    EXPECT_EQ(0, bar->entryAt(10, 10));
    EXPECT_EQ(1, bar->entryAt(60, 10));
    EXPECT_EQ(-1, bar->entryAt(110, 10));

    // The menu start reaching the frame is handed to the bar, which keeps it.
    file->SetMenuData(reinterpret_cast<ULONG_PTR>(bar->m_hWnd));
    SendMessageW(window->getFrameHandle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->getNativeMenu()), 0);

    // A click opens the pop-up under the entry; Escape closes it.
    bool openSeen = false;
    HANDLE watchdog = CreateThread(
        nullptr, 0,
        [](LPVOID data) -> DWORD {
            HWND popup = stubs::waitForMenuWindow(true);
            *static_cast<bool*>(data) = popup != nullptr;
            if (popup != nullptr) {
                testsupport::press(VK_ESCAPE);
            }
            return 0;
        },
        &openSeen, 0, nullptr);
    const auto onBar = [&](int x, int y) {
        POINT at = {x, y};
        ClientToScreen(bar->m_hWnd, &at);
        return at;
    };
    testsupport::clickAt(onBar(10, 10));
    WaitForSingleObject(watchdog, 10000);
    CloseHandle(watchdog);
    EXPECT_TRUE(openSeen);
    EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return !bar->isPopupOpen(); }));
    EXPECT_EQ(1, opens.count(1));
    EXPECT_TRUE(commands.codes.empty());

    // A command entry runs on release.
    ASSERT_TRUE(testsupport::moveMouse(onBar(60, 10).x, onBar(60, 10).y));
    ASSERT_TRUE(testsupport::leftButton(true));
    stubs::runOnUiThread(window.get(), [] {});
    EXPECT_EQ(0, commands.count(0));
    ASSERT_TRUE(testsupport::leftButton(false));
    EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return commands.count(0) == 1; }));
    EXPECT_EQ(11, bar->getLastCommand());
    EXPECT_EQ(1, commands.count(0));

    // A hot entry goes cold when another window takes the mouse (a dialog, a pop-up).
    // The drawer's record is read on the UI thread that writes it.
    ASSERT_TRUE(testsupport::moveMouse(onBar(10, 10).x, onBar(10, 10).y));
    ASSERT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return !drawer.hot.empty() && drawer.hot.back() == 0; }));
    HWND frame = window->getFrameHandle();
    size_t taken = 0;
    stubs::runOnUiThread(window.get(), [&] {
        taken = drawer.hot.size();
        SetCapture(frame);
        ReleaseCapture();
    });
    // Cold once the loss is handled; a late move over the entry may heat it again, rightly.
    EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] {
        return std::find(drawer.hot.begin() + static_cast<std::ptrdiff_t>(taken), drawer.hot.end(), -1) != drawer.hot.end();
    }));
}

std::atomic<int64_t> g_menuNow{0};
int64_t menuClock() {
    return g_menuNow.load();
}

TEST(MenuTest, TheClickThatClosesTheBarsMenuDoesNotReopenItButAClick600MsLaterDoes) {
    const s::time::MillisFn previous = s::time::setClockSource(&menuClock);
    g_menuNow = 100000;
    Released<Window> window(Window::pool());
    window->setBounds(100, 100, 300, 200);
    window->setVisible(true);
    window->activate(true);
    stubs::MenuDrawer drawer;
    MenuEx* bar = barWithFileMenu(&drawer);
    Recorder opens;
    bar->addBeforeOpenListener(&opens);
    window->add(bar);
    ASSERT_NE(nullptr, bar->m_hWnd);
    POINT entry = {10, 10};
    ClientToScreen(bar->m_hWnd, &entry);
    struct Step {
        const char* name;
        int64_t advance;  // ms on the clock before the click
        bool open;
        int opened;
    };
    const Step steps[] = {
        {"a click opens", 0, true, 1},
        {"a click on the open entry closes", 0, false, 1},
        {"a click 600 ms later opens", 600, true, 2},
        {"closed again", 0, false, 2},
    };
    for (const Step& step : steps) {
        g_menuNow += step.advance;
        testsupport::clickAt(entry);
        EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return bar->isPopupOpen() == step.open; })) << step.name;
        if (!step.open) {
            // Given time to come back, it stays closed.
            Sleep(300);
            EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return !bar->isPopupOpen(); }, 0)) << step.name;
        }
        int opened = 0;
        stubs::runOnUiThread(window.get(), [&] { opened = opens.count(1); });
        EXPECT_EQ(step.opened, opened) << step.name;
    }
    s::time::setClockSource(previous);
}

} // namespace
