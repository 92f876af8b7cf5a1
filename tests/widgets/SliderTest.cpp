#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "ToolkitStubs.h"
#include "widgets/gui/win/Slider.h"

namespace {

using s::gui::win::Slider;
using windowtest::Recorder;
using windowtest::Window;

TEST(SliderTest, PositionsStayInTheRangeAndBelowTheSecondThumbWithoutTellingListeners) {
    struct Case {
        bool rangeMode;
        int32_t second;
        int32_t set;
        int32_t position;
    } cases[] = {
        {false, 100, 150, 100}, {false, 100, -5, 0}, {false, 100, 42, 42}, {true, 60, 80, 59}, {true, 60, 59, 59},
    };
    for (const Case& c : cases) {
        Released<Slider> slider(Slider::create(-1, -1));
        Recorder changes;
        slider->addChangeListener(&changes);
        EXPECT_EQ(100, slider->getPosition());
        slider->setPosition(0);
        slider->setRangeMode(c.rangeMode);
        slider->setSecondPosition(c.second);
        slider->setPosition(c.set);
        EXPECT_EQ(c.position, slider->getPosition()) << c.set;
        EXPECT_TRUE(changes.codes.empty());
    }
    // The dialogs' form: range, position and ticks.
    Released<Slider> ranged(Slider::create(255, 300, 5));
    EXPECT_EQ(255, ranged->getMaximum());
    EXPECT_EQ(255, ranged->getPosition());

    // The second thumb stays above the first.
    Released<Slider> slider(Slider::create(-1, -1));
    slider->setRangeMode(true);
    slider->setSecondPosition(100);
    slider->setPosition(30);
    slider->setSecondPosition(10);
    EXPECT_EQ(31, slider->getSecondPosition());
}

TEST(SliderTest, ChannelValuesCountFromTheMinimumAndNeverDivideByZero) {
    struct Case {
        int32_t minimum, maximum, coordinate, left, right, value;
    } values[] = {
        {0, 100, 60, 10, 110, 50},   {0, 100, 10, 10, 110, 0},      {0, 100, 500, 10, 110, 100},
        {-50, 50, 60, 10, 110, 0},   {20, 120, 35, 10, 110, 45},    {0, 100, 60, 10, 10, 0},
        {5, 9, 60, 30, 20, 5},       {0, 3, 43, 10, 110, 1},
    };
    for (const Case& c : values) {
        EXPECT_EQ(c.value, Slider::valueAt(c.minimum, c.maximum, c.coordinate, c.left, c.right))
            << c.minimum << ".." << c.maximum << " at " << c.coordinate;
    }
    struct Thumb {
        int32_t width, minimum, maximum, value, x;
    } thumbs[] = {
        {110, 0, 100, 50, 50}, {110, 20, 120, 20, 0}, {110, 20, 120, 120, 100}, {110, 7, 7, 7, 0}, {0, 0, 100, 50, -5},
    };
    for (const Thumb& t : thumbs) {
        EXPECT_EQ(t.x, Slider::thumbX(t.width, t.minimum, t.maximum, t.value)) << t.value;
    }
}

TEST(SliderTest, TheNativeTrackBarGetsRangePagesAndTicksAndArrowKeysMovePages) {
    Released<Window> window(Window::pool());
    window->setBounds(50, 50, 400, 200);
    Slider* slider = Slider::create(100, -1);
    Recorder changes;
    slider->addChangeListener(&changes);
    window->add(slider);
    ASSERT_NE(nullptr, slider->m_hWnd);
    EXPECT_EQ(static_cast<LONG_PTR>(Slider::CONTROL_ID), GetWindowLongPtrW(slider->m_hWnd, GWLP_ID));
    EXPECT_EQ(100, slider->SendMessage(TBM_GETRANGEMAX));
    EXPECT_EQ(100, slider->SendMessage(TBM_GETPOS));
    EXPECT_EQ(100, slider->SendMessage(TBM_GETPAGESIZE));
    EXPECT_EQ(10, slider->SendMessage(TBM_GETLINESIZE));
    EXPECT_NE(0, slider->GetStyle() & TBS_AUTOTICKS);

    slider->setTickFrequency(2);
    slider->setPosition(50);
    EXPECT_EQ(20, slider->SendMessage(TBM_GETPAGESIZE));
    // Up moves a page toward the maximum, Down a page back; the listeners hear of each.
    slider->SendMessage(WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(70, slider->getPosition());
    slider->SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(50, slider->getPosition());
    EXPECT_EQ(2, changes.count(0));
    // The position is read from the control, also past 16 bits.
    slider->setRange(0, 100000);
    slider->SendMessage(TBM_SETPOS, TRUE, 70000);
    SendMessageW(window->getFrameHandle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 70000 & 0xFFFF),
                 reinterpret_cast<LPARAM>(slider->m_hWnd));
    EXPECT_EQ(70000, slider->getPosition());
}

TEST(SliderTest, DrawnThumbsFollowTheMouseAndTheFirstStopsBelowTheSecond) {
    Released<Window> window(Window::pool());
    window->setBounds(50, 50, 400, 200);
    window->setVisible(true);
    stubs::SliderDrawer drawer;
    Slider* slider = Slider::create(-1, -1);
    slider->setFixedWidth(210);
    slider->setFixedHeight(30);
    slider->setDrawer(&drawer, false);
    slider->setRangeMode(true);
    slider->setPosition(0);
    slider->setSecondPosition(60);
    Recorder changes;
    slider->addChangeListener(&changes);
    window->add(slider);
    ASSERT_NE(nullptr, slider->m_hWnd);
    RECT client;
    GetClientRect(slider->m_hWnd, &client);
    ASSERT_EQ(210, client.right);

    // Away from both thumbs nothing moves.
    slider->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(140, 15));
    slider->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 15));
    slider->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(30, 15));
    EXPECT_EQ(0, slider->getPosition());
    EXPECT_TRUE(changes.codes.empty());

    // The first thumb dragged past the second stops one below it.
    slider->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Slider::thumbX(210, 0, 100, 0) + 2, 15));
    slider->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(205, 15));
    slider->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(205, 15));
    EXPECT_EQ(59, slider->getPosition());
    EXPECT_EQ(59, slider->SendMessage(TBM_GETPOS));
    EXPECT_GE(changes.count(0), 1);

    // The second thumb goes to the maximum; painting shows both values.
    const int32_t second = Slider::thumbX(210, 0, 100, 60);  // the first thumb now ends 2 px before
    slider->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second + 10, 15));
    slider->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(209, 15));
    slider->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(209, 15));
    EXPECT_EQ(100, slider->getSecondPosition());
    slider->redrawNow();
    int32_t painted[2] = {-1, -1};
    testsupport::waitOnUiThread(window.get(), [&] {
        if (!drawer.values.empty()) {
            painted[0] = drawer.values.back();
            painted[1] = drawer.seconds.back();
        }
        return painted[0] == 59 && painted[1] == 100;
    });
    EXPECT_EQ(59, painted[0]);
    EXPECT_EQ(100, painted[1]);
}

} // namespace
