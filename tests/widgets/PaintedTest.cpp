// What a person sees of real windows: every widget kind that shows a text, placed inside a
// Box and straight on a window, with no skin and with each skin, read back from the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ControlsSupport.h"
#include "support/FrameInput.h"
#include "support/RealInput.h"
#include "support/ScreenPixels.h"
#include "support/Seams.h"
#include "drawers/gui/drawer/Skinner.h"
#include "system/monitor/UiScale.h"
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
#include "widgets/gui/win/RadioButton.h"
#include "widgets/gui/win/StatusBar.h"
#include "widgets/gui/win/TextField.h"

namespace {

using namespace controlstest;
using s::gui::IBox;
using testsupport::drag;
using testsupport::focusOf;
using testsupport::leftClick;
using testsupport::minimiseFrame;
using testsupport::narrow;
using testsupport::press;
using testsupport::restoreFrame;
using testsupport::ScreenShot;
using testsupport::screenRect;
using s::gui::IComponent;
using s::gui::drawer::Skinner;
namespace win = s::gui::win;

int channelGap(uint32_t a, uint32_t b) {
    int gap = 0;
    for (int shift : {0, 8, 16}) {
        const int d = abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        gap = d > gap ? d : gap;
    }
    return gap;
}

// The strokes of a text on its background in a screen rectangle.
int inkIn(const RECT& area) {
    return testsupport::inkIn(ScreenShot(area), area);
}

// Pixels that differ between two shots of the same rectangle.
int differing(const ScreenShot& a, const ScreenShot& b) {
    if (a.pixels().size() != b.pixels().size()) {
        return -1;
    }
    int count = 0;
    for (size_t i = 0; i < a.pixels().size(); ++i) {
        count += channelGap(a.pixels()[i], b.pixels()[i]) > 24 ? 1 : 0;
    }
    return count;
}

// Lets the window's thread paint everything pending, and waits until the screen shows it:
// the frame's pixels the same twice in a row (paints reach the X server late on a loaded
// machine; a blinking caret only makes it look again).
void painted(HWND frame) {
    std::vector<uint32_t> last;
    testsupport::waitForSteady(
        [&] {
            settle(frame);
            return ScreenShot(screenRect(frame)).pixels();
        },
        last, 5000, 60);
}

// A fresh paint of the whole window, children included.
ScreenShot repaintedShot(HWND frame) {
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    painted(frame);
    return ScreenShot(screenRect(frame));
}

win::ComboBox* makeCombo() {
    win::ComboBox* combo = win::ComboBox::createWithSize(150, 24);
    for (const wchar_t* text : {L"Combo", L"Second", L"Third"}) {
        combo->addItem(s::gui::combobox::ComboBoxItem::createWithText(text, 0, 0, 0));
    }
    return combo;
}

win::MenuEx* makeMenuBar() {
    win::MenuEx* bar = win::MenuEx::create(100);
    for (const wchar_t* caption : {L"File", L"View"}) {
        win::PopupMenu* menu = win::PopupMenu::pool();
        menu->setCaption(caption);
        menu->addItem(s::gui::menuitem::MenuItem::createWithText(L"Entry", 100));
        bar->addSubMenu(menu);
    }
    return bar;
}

// A text-bearing kind: how to make one and where in it (control coordinates, given its
// size) a person reads its text.
struct Kind {
    const char* name;
    std::function<IComponent*()> make;
    std::function<RECT(int w, int h)> textArea;
};

const Kind KINDS[] = {
    {"label", [] { return win::Label::createWithText(L"Label", false, false, 0); },
     [](int w, int h) { return RECT{0, 0, w, h}; }},
    {"button", [] { return win::Button::createWithText(L"Button", 100, 26); },
     [](int w, int h) { return RECT{4, 4, w - 4, h - 4}; }},
    {"check box", [] { return win::CheckBox::createWithText(L"Check", true); },
     [](int w, int h) { return RECT{h + 2, 0, w, h}; }},
    {"radio button", [] { return win::RadioButton::createWithText(L"Radio", true); },
     [](int w, int h) { return RECT{h + 2, 0, w, h}; }},
    {"group box", [] {
         win::GroupBox* group = win::GroupBox::createWithText(IBox::COLUMN, 0, 0, 2, 2, -1, L"Group");
         group->add(win::Label::createWithText(L"", false, false, 0));
         return group;
     },
     [](int, int h) { return RECT{9, 0, 30, h < 14 ? h : 14}; }},
    {"combo box", [] { return makeCombo(); }, [](int w, int h) { return RECT{4, 3, w - 24, h - 3}; }},
    {"text field", [] { return win::TextField::create(L"Field", 24, 60); },
     [](int w, int h) { return RECT{3, 3, w - 3, h - 3}; }},
    {"menu bar", [] { return makeMenuBar(); }, [](int w, int h) { return RECT{0, 0, w < 70 ? w : 70, h}; }},
    {"status bar", [] {
         win::StatusBar* bar = win::StatusBar::createWithResizer(2, 2);
         bar->add(win::Label::createWithText(L"Ready", false, false, 0));
         return bar;
     },
     [](int w, int h) { return RECT{0, 0, w - 30, h}; }},
};
constexpr size_t KIND_COUNT = sizeof(KINDS) / sizeof(KINDS[0]);

// One window per look: the kinds straight on the window, then again inside a Box.
struct Scene {
    Released<Window> window;
    IComponent* straight[KIND_COUNT] = {};
    IComponent* boxed[KIND_COUNT] = {};

    explicit Scene(Skinner* skinner) : window(Window::pool()) {
        window->setSkinHolder(skinner);
        window->setBounds(40, 20, 460, 900);
        window->setVisible(true);
        win::Box* box = win::Box::create(IBox::COLUMN, 0, 100, -1, 0, 0, 4, 4, 4);
        for (size_t i = 0; i < KIND_COUNT; ++i) {
            straight[i] = KINDS[i].make();
            window->add(straight[i]);
            boxed[i] = KINDS[i].make();
            box->add(boxed[i]);
        }
        window->add(box);
        painted(frame());
    }
    HWND frame() const { return window->getFrameHandle(); }
};

// A skinner of the family with its colour schemes, as the skin setting makes one.
Skinner* familySkinner(const wchar_t* family) {
    Skinner* skinner = Skinner::pool();
    skinner->setName(family);
    skinner->addThinColourSchemes();
    return skinner;
}

// Calls check with the scene of each look in turn: no skin (a window without a skinner),
// then each skin (or only the first) of both families, chosen on the skinner of the shown
// window as the skin setting does; one window per family.
template <class Check>
void forEachLook(Check check, bool everySkin = true) {
    {
        Scene scene(nullptr);
        check(scene, std::string("no skin"));
    }
    for (const wchar_t* family : {L"Thin", L"ThinWindow"}) {
        Released<Skinner> skinner(familySkinner(family));
        skinner->selectSkin(skinner->getSkinNameAt(0));
        Scene scene(skinner.get());
        for (uint32_t i = 0; i < (everySkin ? skinner->getSkinCount() : 1u); ++i) {
            skinner->selectSkin(skinner->getSkinNameAt(i));
            painted(scene.frame());
            check(scene, narrow(family) + "/" + narrow(skinner->getSkinNameAt(i)));
        }
    }
}

TEST(PaintedTest, EveryKindShowsItsTextInABoxAndOnTheWindowWithEveryLook) {
    forEachLook([](const Scene& scene, const std::string& look) {
        for (size_t i = 0; i < KIND_COUNT; ++i) {
            for (IComponent* widget : {scene.straight[i], scene.boxed[i]}) {
                const char* where = widget == scene.straight[i] ? "on the window" : "in a box";
                HWND hwnd = widget->getNativeHandle();
                ASSERT_NE(nullptr, hwnd) << KINDS[i].name;
                const RECT r = screenRect(hwnd);
                const int w = r.right - r.left;
                const int h = r.bottom - r.top;
                EXPECT_TRUE(w > 0 && h > 0) << KINDS[i].name << " " << where;
                RECT area = KINDS[i].textArea(w, h);
                OffsetRect(&area, r.left, r.top);
                EXPECT_GE(inkIn(area), 10) << KINDS[i].name << " " << where << " " << look;
            }
        }
        // What show or a change of skin painted is what a fresh paint paints.
        const ScreenShot shown(screenRect(scene.frame()));
        EXPECT_LT(differing(shown, repaintedShot(scene.frame())), 40) << look;
    });
}

TEST(PaintedTest, AnOpenMenuShowsTheBarsEntriesWithTheOpenOneHighlighted) {
    forEachLook([](const Scene& scene, const std::string& look) {
        HWND bar = scene.boxed[7]->getNativeHandle();
        const RECT r = screenRect(bar);
        const RECT file = {r.left, r.top, r.left + 30, r.bottom};
        const RECT view = {r.left + 34, r.top, r.left + 70, r.bottom};
        SetCursorPos(r.right - 5, r.bottom + 40);
        painted(scene.frame());
        const ScreenShot closed(file);
        leftClick({r.left + 8, (r.top + r.bottom) / 2});
        ASSERT_TRUE(waitFor([] { return shownMenu() != nullptr; })) << look;
        painted(scene.frame());
        EXPECT_GT(differing(closed, ScreenShot(file)), 10) << "the open entry is highlighted, " << look;
        EXPECT_GE(inkIn(view), 10) << "the next entry still shows, " << look;
        press(VK_ESCAPE);
        EXPECT_TRUE(waitFor([] { return shownMenu() == nullptr; })) << look;
        // The bar's closing guard.
        Sleep(550);
    }, false);
}

TEST(PaintedTest, AnOpenComboListShowsItsEntriesWithinTheScreenAndLeavesTheFieldFree) {
    for (bool boxed : {false, true}) {
        Scene scene(nullptr);
        win::ComboBox* combo = static_cast<win::ComboBox*>(boxed ? scene.boxed[5] : scene.straight[5]);
        // Taller than the room below the field and the room above it.
        for (int i = 0; i < 60; ++i) {
            combo->addItem(s::gui::combobox::ComboBoxItem::createWithText(L"More", 0, 0, 0));
        }
        HWND hwnd = combo->getNativeHandle();
        const RECT field = screenRect(hwnd);
        const POINT onField = {field.left + 20, (field.top + field.bottom) / 2};
        leftClick(onField);
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetComboBoxInfo(hwnd, &info));
        ASSERT_TRUE(waitFor([&] { return IsWindowVisible(info.hwndList) != FALSE; }));
        painted(scene.frame());
        const RECT list = screenRect(info.hwndList);
        RECT overlap;
        EXPECT_FALSE(IntersectRect(&overlap, &list, &field)) << boxed;
        EXPECT_LE(list.bottom, GetSystemMetrics(SM_CYSCREEN)) << boxed;
        EXPECT_GE(list.top, 0) << boxed;
        EXPECT_GE(inkIn(list), 30) << boxed;
        leftClick(onField);
        EXPECT_TRUE(waitFor([&] { return IsWindowVisible(info.hwndList) == FALSE; })) << boxed;
    }
}

TEST(PaintedTest, TabbingOntoAButtonCheckRadioOrComboMarksTheFocusedOne) {
    forEachLook([](const Scene& scene, const std::string& look) {
        SetForegroundWindow(scene.frame());
        painted(scene.frame());
        const size_t kinds[] = {1, 2, 3, 5};
        std::vector<ScreenShot> plain;
        for (size_t i : kinds) {
            plain.emplace_back(screenRect(scene.straight[i]->getNativeHandle()));
        }
        std::vector<bool> seen(plain.size(), false);
        const HWND first = focusOf(scene.frame());
        for (int presses = 0; presses < 40; ++presses) {
            press(VK_TAB);
            painted(scene.frame());
            const HWND focused = focusOf(scene.frame());
            for (size_t k = 0; k < plain.size(); ++k) {
                if (!seen[k] && focused != first && focused == scene.straight[kinds[k]]->getNativeHandle()) {
                    seen[k] = true;
                    EXPECT_GE(differing(plain[k], ScreenShot(plain[k].area())), 20) << KINDS[kinds[k]].name << ", " << look;
                }
            }
        }
        for (size_t k = 0; k < plain.size(); ++k) {
            EXPECT_TRUE(seen[k] || scene.straight[kinds[k]]->getNativeHandle() == first)
                << KINDS[kinds[k]].name << " never took the focus, " << look;
        }
    }, false);
}

TEST(PaintedTest, AGripResizeAndARestoreLeaveWhatAFreshPaintPaints) {
    forEachLook([](const Scene& scene, const std::string& look) {
        win::StatusBar* status = static_cast<win::StatusBar*>(scene.straight[8]);
        const RECT grip = screenRect(status->getGrip()->getNativeHandle());
        const POINT from = {(grip.left + grip.right) / 2, (grip.top + grip.bottom) / 2};
        drag(from, {from.x + 60, from.y - 80});
        painted(scene.frame());
        const ScreenShot resized(screenRect(scene.frame()));
        EXPECT_LT(differing(resized, repaintedShot(scene.frame())), 40) << "grip resize, " << look;

        ASSERT_TRUE(minimiseFrame(scene.frame())) << look;
        painted(scene.frame());
        ASSERT_TRUE(restoreFrame(scene.frame())) << look;
        painted(scene.frame());
        const ScreenShot restored(screenRect(scene.frame()));
        EXPECT_LT(differing(restored, repaintedShot(scene.frame())), 40) << "restore, " << look;
    }, false);
}

void screenOfScaleTwo(int32_t* width, int32_t* height) {
    *width = 2560;
    *height = 1700;
}

TEST(PaintedTest, WithoutASkinTheCheckSquareGrowsWithTheUiScale) {
    for (int32_t scale : {1, 2}) {
        if (scale == 2) {
            s::system::monitor::setScreenSizeFunction(&screenOfScaleTwo);
        }
        Released<Window> window(toolkittest::shownWindow(40, 40, 400, 200));
        win::CheckBox* check = win::CheckBox::createWithText(L"Check", false);
        // A pooled box keeps the font sized at its last reset; the program's scale never changes.
        check->setFontCode(0);
        window->add(check);
        s::system::monitor::setScreenSizeFunction(nullptr);
        painted(window->getFrameHandle());
        // The square's left edge: a dark column as tall as the square.
        const RECT r = screenRect(check->getNativeHandle());
        const uint32_t ground = ScreenShot(r).at(r.right - 1, r.top);
        int tallest = 0;
        for (int x = r.left; x < r.left + 6; ++x) {
            const ScreenShot column(RECT{x, r.top, x + 1, r.bottom});
            int run = 0;
            for (uint32_t pixel : column.pixels()) {
                run = channelGap(pixel, 0xFFFFFF) > 40 && channelGap(pixel, ground) > 40 ? run + 1 : 0;
                tallest = std::max(tallest, run);
            }
        }
        EXPECT_GE(tallest, scale == 1 ? 9 : 20) << scale;
        EXPECT_LE(tallest, scale == 1 ? 16 : 40) << scale;
    }
}

TEST(PaintedTest, ADropDownMenuGrowsWithTheUiScale) {
    int height[3] = {};
    for (int32_t scale : {1, 2}) {
        s::system::monitor::setScreenSizeFunction(scale == 2 ? &screenOfScaleTwo : nullptr);
        Released<Window> window(toolkittest::shownWindow(40, 40, 400, 200));
        win::MenuEx* bar = makeMenuBar();
        window->add(bar);
        painted(window->getFrameHandle());
        const RECT r = screenRect(bar->getNativeHandle());
        leftClick({r.left + 8, (r.top + r.bottom) / 2});
        ASSERT_TRUE(waitFor([] { return shownMenu() != nullptr; })) << scale;
        painted(window->getFrameHandle());
        const RECT menu = screenRect(shownMenu());
        height[scale] = menu.bottom - menu.top;
        // The entry is drawn, not left blank.
        EXPECT_GE(inkIn(RECT{menu.left + 2, menu.top + 2, menu.right - 2, menu.bottom - 2}), 10) << scale;
        press(VK_ESCAPE);
        EXPECT_TRUE(waitFor([] { return shownMenu() == nullptr; })) << scale;
        s::system::monitor::setScreenSizeFunction(nullptr);
        Sleep(550);
    }
    EXPECT_GE(height[2] * 10, height[1] * 16) << height[1] << " " << height[2];
}

} // namespace
