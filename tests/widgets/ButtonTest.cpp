// Push buttons on a real window: clicks, toggles, held repeat, the default style, the
// size grip's drag and painting through a drawer.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "ControlsSupport.h"
#include "support/RealInput.h"
#include "widgets/gui/win/Button.h"

namespace {

using namespace controlstest;
using s::gui::win::Button;

Button* addButton(Window* window, const wchar_t* caption) {
    Button* button = Button::createWithText(caption, 80, 30);
    window->add(button);
    return button;
}

POINT screenCentre(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Press events with the time they came, in milliseconds after the first.
class PressTimes : public s::gui::events::IEventListener {
public:
    void onEvent(s::base::IObject*, int32_t code) override {
        if (code == Button::PRESS) {
            const ULONGLONG now = GetTickCount64();
            if (count_.load() == 0) {
                first_ = now;
            }
            offsets_.push_back(static_cast<int64_t>(now - first_));
            ++count_;
        }
    }
    int count() const { return count_.load(); }
    int64_t offset(int i) const { return offsets_[static_cast<size_t>(i)]; }

private:
    std::atomic<int> count_{0};
    ULONGLONG first_ = 0;
    std::vector<int64_t> offsets_;
};

TEST(ButtonTest, AClickGivesPressThenClickThenAfterClickOnTheUiThread) {
    Released<Window> window(shownWindow());
    Button* button = addButton(window.get(), L"Go");
    Recorder recorder;
    button->addPressListener(&recorder);
    button->addClickListener(&recorder);
    button->addAfterClickListener(&recorder);
    HWND hwnd = button->getNativeHandle();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(L"Go", textOf(hwnd));

    SendMessageW(hwnd, BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<int32_t>{3, 1, 2}), recorder.codes);
    for (DWORD thread : recorder.threads) {
        EXPECT_EQ(window->getUiThreadId(), thread);
    }
    EXPECT_FALSE(button->isPressed());
    EXPECT_EQ(0, button->getVisualState());
}

TEST(ButtonTest, ToggleLatchesAndANonReleasableOneStaysDownAndLetsClicksThrough) {
    struct Case {
        bool releasable;
        bool after[3];
    };
    const Case cases[] = {{true, {true, false, true}}, {false, {true, true, true}}};
    for (const Case& c : cases) {
        Released<Window> window(shownWindow());
        Button* button = addButton(window.get(), L"Latch");
        button->setToggleOptions(true, c.releasable, false, false);
        Recorder recorder;
        button->addClickListener(&recorder);
        button->addAfterClickListener(&recorder);
        HWND hwnd = button->getNativeHandle();
        const POINT centre = screenCentre(hwnd);
        for (int i = 0; i < 3; ++i) {
            SendMessageW(hwnd, BM_CLICK, 0, 0);
            EXPECT_EQ(c.after[i], button->isToggled()) << c.releasable << " click " << i;
            const LRESULT hit = SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y));
            EXPECT_EQ(c.after[i] && !c.releasable ? HTTRANSPARENT : HTCLIENT, hit);
        }
        EXPECT_EQ(3, recorder.count(1));
        EXPECT_EQ(3, recorder.count(2));
    }
}

TEST(ButtonTest, AHeldRepeatButtonFiresAtItsRateAndStopsOnReleaseAndOnCaptureLoss) {
    Released<Window> window(shownWindow());
    Button* button = addButton(window.get(), L"+");
    button->setRepeat(true);
    HWND hwnd = button->getNativeHandle();
    const POINT centre = screenCentre(hwnd);
    SetCursorPos(centre.x, centre.y);

    enum End { RELEASE, CAPTURE_LOST };
    for (End end : {RELEASE, CAPTURE_LOST}) {
        PressTimes presses;
        button->addPressListener(&presses);
        PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        Sleep(1050);
        settle(hwnd);
        // The press, then repeats from 600 ms on every 100 ms (timings within half).
        ASSERT_GE(presses.count(), 4) << end;
        EXPECT_LE(presses.count(), 8) << end;
        EXPECT_GE(presses.offset(1), 300) << end;
        EXPECT_LE(presses.offset(1), 900) << end;
        if (end == RELEASE) {
            SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        } else {
            // Another window takes the mouse away.
            SendMessageW(hwnd, WM_CANCELMODE, 0, 0);
        }
        const int stopped = presses.count();
        Sleep(400);
        settle(hwnd);
        EXPECT_EQ(stopped, presses.count()) << end;
        EXPECT_FALSE(button->isPressed()) << end;
        window->removeListener(&presses);
        s::gui::events::ListenerList::forgetEverywhere(&presses);
    }
}

TEST(ButtonTest, DefaultButtonStyleIsSetAndClearedOnTheControlsThread) {
    Released<Window> window(shownWindow());
    Button* button = addButton(window.get(), L"OK");
    HWND hwnd = button->getNativeHandle();
    for (bool on : {true, false, true}) {
        on ? button->makeDefault() : button->clearDefault();
        EXPECT_EQ(on, button->isDefault());
        EXPECT_EQ(on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, GetWindowLongPtrW(hwnd, GWL_STYLE) & 0xF);
    }
}

TEST(ButtonTest, DraggingTheGripResizesAResizableWindowButNeverBelowItsPreferredSize) {
    struct Case {
        bool resizable;
        int32_t toX, toY;  // where the drag goes, in the grip's coordinates (pressed at 5, 5)
        int32_t grownX, grownY;
        bool toPreferred;  // dragged to the screen's top-left corner instead
    };
    const Case cases[] = {
        {true, 35, 25, 30, 20, false},
        {true, 0, 0, 0, 0, true},
        {false, 35, 25, 0, 0, false},
    };
    for (const Case& c : cases) {
        Released<Window> window(shownWindow());
        if (c.toPreferred) {
            // Far enough from the corner that the drag goes past the least size.
            window->setBounds(700, 600, 320, 240);
        }
        if (!c.resizable) {
            SetWindowLongPtrW(window->getFrameHandle(), GWL_STYLE,
                              GetWindowLongPtrW(window->getFrameHandle(), GWL_STYLE) & ~WS_THICKFRAME);
        }
        Button* grip = Button::createWithText(Button::RESIZER, 12, 12);
        window->add(grip);
        HWND hwnd = grip->getNativeHandle();
        const int32_t width = window->getWidth();
        const int32_t height = window->getHeight();
        settle(hwnd);
        const RECT at = testsupport::screenRect(hwnd);
        const POINT from{at.left + 5, at.top + 5};
        testsupport::drag(from, c.toPreferred ? POINT{0, 0} : POINT{at.left + c.toX, at.top + c.toY});
        settle(hwnd);
        if (c.toPreferred) {
            // The preferred size, or the system's least frame size when that is larger.
            const int32_t leastWidth = GetSystemMetrics(SM_CXMINTRACK);
            const int32_t leastHeight = GetSystemMetrics(SM_CYMINTRACK);
            EXPECT_EQ(std::max(window->getPreferredWidth(), leastWidth), window->getWidth());
            EXPECT_EQ(std::max(window->getPreferredHeight(), leastHeight), window->getHeight());
            EXPECT_LT(window->getWidth(), width);
        } else {
            EXPECT_EQ(width + c.grownX, window->getWidth()) << c.resizable;
            EXPECT_EQ(height + c.grownY, window->getHeight()) << c.resizable;
        }
    }
}

TEST(ButtonTest, PaintsThroughItsDrawerAndTheGripWithout) {
    Released<Window> window(shownWindow());
    ButtonDrawer drawer;
    Button* button = addButton(window.get(), L"Go");
    button->setToggleOptions(true, true, true, false);
    button->setDrawer(&drawer, false);
    Button* grip = Button::createWithText(Button::RESIZER, 16, 16);
    window->add(grip);
    for (HWND hwnd : {button->getNativeHandle(), grip->getNativeHandle()}) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    ASSERT_FALSE(drawer.paints.empty());
    const ButtonPaint& last = drawer.paints.back();
    EXPECT_EQ(L"Go", last.caption);
    EXPECT_TRUE(last.enabled);
    // Inverted: an unlatched button is shown down.
    EXPECT_TRUE(last.shownDown);

    struct Pixel {
        HWND hwnd;
        int32_t x, y;
        COLORREF colour;
    };
    const Pixel pixels[] = {
        {button->getNativeHandle(), 40, 15, RGB(10, 200, 30)},
        {grip->getNativeHandle(), 16 - 3, 16 - 3, 0xFFFFFF},
        {grip->getNativeHandle(), 16 - 4, 16 - 4, 0xA1B5B8},
        {grip->getNativeHandle(), 16 - 11, 16 - 11, GetSysColor(COLOR_BTNFACE)},
    };
    for (const Pixel& p : pixels) {
        HDC dc = GetDC(p.hwnd);
        EXPECT_EQ(p.colour, GetPixel(dc, p.x, p.y)) << p.x << "," << p.y;
        ReleaseDC(p.hwnd, dc);
    }
}

TEST(ButtonTest, ColourCaptionsSpellTheColourWordInHex) {
    struct Case {
        int32_t r, g, b;
        const wchar_t* caption;
    };
    const Case cases[] = {{255, 165, 0, L"#Color-0000a5ff"}, {0, 0, 255, L"#Color-00ff0000"}, {0, 0, 0, L"#Color-00000000"}};
    for (const Case& c : cases) {
        Button* button = Button::createWithText(L"", -1, -1);
        button->setColorCaption(c.r, c.g, c.b);
        EXPECT_STREQ(c.caption, button->getText());
        button->release();
    }
}

} // namespace
