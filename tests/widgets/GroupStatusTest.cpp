// Group boxes, spacers, the status bar and the progress bar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "ControlsSupport.h"
#include "support/UiThread.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/monitor/UiScale.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/ProgressBar.h"
#include "widgets/gui/win/Spacer.h"
#include "widgets/gui/win/StatusBar.h"

namespace {

using namespace controlstest;
using s::gui::IBox;
using s::gui::win::Box;
using s::gui::win::Button;
using s::gui::win::GroupBox;
using s::gui::win::ProgressBar;
using s::gui::win::Spacer;
using s::gui::win::StatusBar;

TEST(GroupBoxTest, CaptionShowsItsAmpersandAndTheContentSitsUnderIt) {
    Released<Window> window(shownWindow());
    GroupBox* group = GroupBox::createWithText(IBox::COLUMN, 0, 0, 0, 0, 100, L"Salt & pepper");
    window->add(group);
    HWND hwnd = group->getNativeHandle();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(L"Salt && pepper", textOf(hwnd));
    const int32_t captionHeight = group->getCaptionHeight();
    ASSERT_GT(captionHeight, 0);
    EXPECT_GT(group->getCaptionWidth(), 0);
    IBox* content = group->getContent();
    ASSERT_NE(nullptr, content->getNativeHandle());
    EXPECT_EQ(hwnd, GetParent(content->getNativeHandle()));
    const RECT placed = placedIn(content->getNativeHandle());
    EXPECT_EQ(4, placed.left);
    EXPECT_EQ(captionHeight + 1, placed.top);
    // The content fills the frame inside its insets.
    EXPECT_EQ(group->getWidth() - 8, placed.right - placed.left);
    EXPECT_EQ(group->getHeight() - captionHeight - 5, placed.bottom - placed.top);
    EXPECT_GE(group->getPreferredWidth(), group->getCaptionWidth() + 24);
}

TEST(GroupBoxTest, AFileDropOnTheContentIsRelayedAsTheGroupsOwn) {
    Released<Window> window(shownWindow());
    GroupBox* group = GroupBox::createDropBox(100, 100);
    group->setAcceptFiles(true);
    window->add(group);
    Recorder drops;
    group->addDropListener(&drops);
    HWND content = group->getContent()->getNativeHandle();
    ASSERT_NE(nullptr, content);
    SendMessageW(content, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(toolkittest::dropFiles({L"C:\\a.mp3", L"C:\\b.wav"})), 0);
    ASSERT_EQ(1u, drops.codes.size());
    EXPECT_EQ(1, drops.codes[0]);
    EXPECT_EQ(static_cast<s::base::IObject*>(group), drops.sources[0]);
    ASSERT_EQ(2u, group->getDroppedPaths()->count());
    EXPECT_STREQ(L"C:\\b.wav", group->getDroppedPaths()->get(1)->c_str());
}

TEST(SpacerTest, ASpacerTakesNoRoomAcrossItsBoxAndKeepsItsOrientation) {
    struct Case {
        int32_t orientation, size, arrangement;
        int32_t width, height;  // preferred, also the layout size
    };
    const Case cases[] = {
        {Spacer::HORIZONTAL, 20, IBox::COLUMN, 20, 0},
        {Spacer::HORIZONTAL, 20, IBox::ROW, 20, 1},
        {Spacer::VERTICAL, 10, IBox::ROW, 0, 10},
        {Spacer::VERTICAL, 10, IBox::COLUMN, 1, 10},
    };
    for (const Case& c : cases) {
        Released<Box> box(Box::create(c.arrangement, 0, -1, -1, 0, 0, 0, 0, 0));
        Spacer* spacer = Spacer::create(c.orientation, c.size);
        // Asking for the orientation it has changes nothing.
        c.orientation == Spacer::VERTICAL ? spacer->setVertical() : spacer->setHorizontal();
        box->add(spacer);
        EXPECT_EQ(c.width, spacer->getPreferredWidth()) << c.orientation << c.arrangement;
        EXPECT_EQ(c.height, spacer->getPreferredHeight()) << c.orientation << c.arrangement;
        EXPECT_EQ(c.width, spacer->getLayoutWidth());
        EXPECT_EQ(c.height, spacer->getLayoutHeight());
    }
    // A horizontal spacer alone leaves a column without height.
    Released<Box> column(Box::create(IBox::COLUMN, 0, -1, -1, 0, 0, 0, 0, 0));
    column->add(Spacer::create(Spacer::HORIZONTAL, 20));
    column->doLayout();
    EXPECT_EQ(0, column->getPreferredHeight());
    EXPECT_EQ(20, column->getPreferredWidth());
}

TEST(GroupBoxTest, APercentWidthTruncatesTheParentsInnerWidth) {
    Released<Box> parent(Box::create(IBox::ROW, 0, -1, -1, 0, 0, 0, 0, 0));
    parent->setSize(200, 100);
    GroupBox* group = GroupBox::createWithText(IBox::ROW, 0, 0, 0, 0, 33, L"");
    parent->add(group);
    EXPECT_EQ(66, group->getLayoutWidth());
}

int32_t g_screenWidth = 1280;
int32_t g_screenHeight = 1024;
void fakeScreen(int32_t* width, int32_t* height) {
    *width = g_screenWidth;
    *height = g_screenHeight;
}

TEST(StatusBarTest, TheBarLiesAlongTheBottomWithAGripSizedByTheUiScale) {
    struct Case {
        int32_t screenWidth, screenHeight, grip;
    };
    const Case cases[] = {{1280, 1024, 12}, {2560, 1700, 24}};
    for (const Case& c : cases) {
        g_screenWidth = c.screenWidth;
        g_screenHeight = c.screenHeight;
        s::system::monitor::setScreenSizeFunction(&fakeScreen);
        Released<Window> window(shownWindow());
        StatusBar* bar = StatusBar::createWithResizer(2, 1);
        window->setStatusBar(bar);
        HWND hwnd = bar->getNativeHandle();
        ASSERT_NE(nullptr, hwnd);
        RECT client;
        GetClientRect(window->getFrameHandle(), &client);
        const RECT placed = placedIn(hwnd);
        EXPECT_EQ(0, placed.left);
        EXPECT_EQ(client.right, placed.right);
        EXPECT_EQ(client.bottom, placed.bottom);
        EXPECT_EQ(client.bottom - bar->getHeight(), window->getInnerHeight());
        // The grip at the bar's bottom right corner.
        HWND grip = bar->getGrip()->getNativeHandle();
        RECT gripRect, barRect;
        GetWindowRect(grip, &gripRect);
        GetWindowRect(hwnd, &barRect);
        EXPECT_EQ(c.grip, gripRect.right - gripRect.left);
        EXPECT_EQ(c.grip, gripRect.bottom - gripRect.top);
        EXPECT_EQ(barRect.right, gripRect.right);
        EXPECT_EQ(barRect.bottom, gripRect.bottom);
        // The program's scale never changes while its windows live.
        s::system::monitor::setScreenSizeFunction(nullptr);
    }
}

TEST(StatusBarTest, AClickOnItsEmptyPartReachesTheWindow) {
    Released<Window> window(shownWindow());
    StatusBar* bar = StatusBar::createWithResizer(0, 0);
    window->setStatusBar(bar);
    Recorder downs;
    window->addLeftButtonDownListener(&downs);
    window->activate(true);
    RECT barRect;
    GetWindowRect(bar->getNativeHandle(), &barRect);
    const POINT empty = {barRect.left + 20, (barRect.top + barRect.bottom) / 2};
    EXPECT_EQ(HTTRANSPARENT, SendMessageW(bar->getNativeHandle(), WM_NCHITTEST, 0, MAKELPARAM(empty.x, empty.y)));

    SetCursorPos(empty.x, empty.y);
    INPUT clicks[2] = {};
    clicks[0].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].type = INPUT_MOUSE;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    EXPECT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return downs.count(5) == 1; }));
}

TEST(ProgressBarTest, RangeAndPositionSetBeforeTheControlExistsAreShownOnceMade) {
    Released<Window> window(shownWindow());
    ProgressBar* progress = ProgressBar::pool();
    progress->setRange(10, 50);
    progress->setProgress(30);
    progress->setFixedHeight(12);
    window->add(progress);
    HWND hwnd = progress->getNativeHandle();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(ProgressBar::CONTROL_ID, static_cast<UINT>(GetDlgCtrlID(hwnd)));
    EXPECT_EQ(10, SendMessageW(hwnd, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(50, SendMessageW(hwnd, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(30, SendMessageW(hwnd, PBM_GETPOS, 0, 0));
    progress->setProgress(45);
    EXPECT_EQ(45, SendMessageW(hwnd, PBM_GETPOS, 0, 0));
}

} // namespace
