// The label on a real window with a recording text drawer: texts from other threads,
// temporary texts, measuring per width, clicks and links, and painting with a box.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ToolkitTestSupport.h"
#include "drawers/gui/drawer/IText.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/win/Font.h"
#include "images/image/win/BufferedImage.h"
#include "system/lang/Localizer.h"
#include "system/shell/win/Shell.h"
#include "system/xml/Node.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MemDC.h"
#include "support/WaitFor.h"

namespace {

using s::gui::IBox;
using s::gui::win::Box;
using s::gui::win::Font;
using s::gui::win::Label;
using s::gui::win::MemDC;
using s::gui::win::Window;
using namespace toolkittest;
using windowtest::Recorder;

// Measures 7 pixels a character on 13-pixel lines and records what it is asked.
class StubText : public s::gui::drawer::IText {
public:
    const wchar_t* className() const override { return L"s_gui_test_StubText"; }
    s::base::IObject* newInstance() const override { return nullptr; }
    void release() override {}
    void reset() override {}

    void draw(HDC, int32_t, int32_t, int32_t, int32_t, const wchar_t* text, Font* font) override {
        drawn.push_back(text);
        drawThreads.push_back(GetCurrentThreadId());
        fonts.push_back(font);
    }
    void measure(HDC, RECT* rect, const wchar_t* text, Font*, int32_t* width, int32_t* height) override {
        measuredWidths.push_back(rect->right - rect->left);
        const int32_t full = 7 * static_cast<int32_t>(wcslen(text));
        const int32_t room = rect->right - rect->left > 0 ? rect->right - rect->left : 1;
        const int32_t lines = full == 0 ? 1 : (full + room - 1) / room;
        *width = full < room ? full : room;
        *height = 13 * lines;
    }
    void applyFonts(Font*, Font*, Font*, Font*, Font*) override {}
    void applyFontsInheriting(Font*, Font*, Font*, Font*, Font*) override { ++stylings; }
    void measureBlock(HDC, const wchar_t* text, Font*, int32_t* width, int32_t* height, int32_t* minWidth,
                      int32_t* minHeight) override {
        *width = *minWidth = 7 * static_cast<int32_t>(wcslen(text));
        *height = *minHeight = 13;
        ++blocks;
    }
    s::gui::win::FontSetting* getNormalFontSetting() const override { return nullptr; }
    s::gui::win::FontSetting* getDisabledFontSetting() const override { return nullptr; }
    s::gui::win::FontSetting* getThirdFontSetting() const override { return nullptr; }
    s::gui::win::FontSetting* getFourthFontSetting() const override { return nullptr; }
    s::gui::win::FontSetting* getFifthFontSetting() const override { return nullptr; }
    void setCentred(int32_t) override {}

    std::vector<std::wstring> drawn;
    std::vector<DWORD> drawThreads;
    std::vector<Font*> fonts;
    std::vector<int32_t> measuredWidths;
    int blocks = 0;
    int stylings = 0;
};

struct LabelOnWindow {
    explicit LabelOnWindow(const wchar_t* text) : window(shownWindow(100, 100, 320, 240)) {
        label = Label::createWithText(text, false, false, 0);
        label->setDrawer(&drawer, false);
        window->add(label);
        settle(window.get());
    }
    HWND hwnd() const { return label->getNativeHandle(); }
    Released<Window> window;
    StubText drawer;
    Label* label;
};

TEST(LabelTest, TextsSetFromAWorkerAreAppliedOnTheUiThread) {
    LabelOnWindow f(L"");
    struct Step {
        const wchar_t* text;
        bool changed;
    } steps[] = {{L"first", true}, {L"first", false}, {L"second", true}, {L"", true}, {L"", false}};
    for (const Step& s : steps) {
        bool changed = false;
        std::thread([&] { changed = f.label->setText(s.text, true); }).join();
        EXPECT_EQ(s.changed, changed) << s.text;
        EXPECT_STREQ(s.text, f.label->getText());
    }
    ASSERT_FALSE(f.drawer.drawThreads.empty());
    for (DWORD thread : f.drawer.drawThreads) {
        EXPECT_EQ(f.window->getUiThreadId(), thread);
    }
    // The size follows the measured text.
    f.label->setText(L"four", true);
    EXPECT_EQ(28, f.label->getPreferredWidth());
    EXPECT_EQ(13, f.label->getPreferredHeight());
}

TEST(LabelTest, TemporaryTextsRestoreTheTextTheyFoundOrTheOneSetMeanwhile) {
    LabelOnWindow f(L"");
    // Overlapping on an empty label: the empty text comes back.
    f.label->showTemporaryText(L"A", 150);
    EXPECT_STREQ(L"A", f.label->getText());
    Sleep(50);
    f.label->showTemporaryText(L"B", 150);
    EXPECT_STREQ(L"B", f.label->getText());
    EXPECT_TRUE(testsupport::waitFor([&] { return !f.label->hasTemporaryText(); }, 10000));
    EXPECT_STREQ(L"", f.label->getText());

    // A text set while the temporary one shows is what comes back.
    f.label->setText(L"base", true);
    f.label->showTemporaryText(L"Saved!", 150);
    EXPECT_TRUE(f.label->setText(L"newer", true));
    EXPECT_STREQ(L"Saved!", f.label->getText());
    EXPECT_TRUE(testsupport::waitFor([&] { return !f.label->hasTemporaryText(); }, 10000));
    EXPECT_STREQ(L"newer", f.label->getText());
}

TEST(LabelTest, AFitIsMeasuredOncePerWidthUntilTheTextChanges) {
    LabelOnWindow f(L"a text of twenty-four ch");
    f.drawer.measuredWidths.clear();
    struct Step {
        int32_t width;
        size_t measures;  // measuring calls so far
        int32_t height;
    } steps[] = {{84, 1, 26}, {84, 1, 26}, {200, 2, 13}, {84, 2, 26}, {42, 3, 52}};
    for (const Step& s : steps) {
        f.label->fitSize(s.width, 0);
        EXPECT_EQ(s.measures, f.drawer.measuredWidths.size()) << s.width;
        EXPECT_EQ(s.height, f.label->getHeight()) << s.width;
    }
    // A new text empties the cache (the window's own layout may have fitted it already).
    f.label->setText(L"short", true);
    const size_t before = f.drawer.measuredWidths.size();
    f.label->fitSize(84, 0);
    EXPECT_EQ(before + 1, f.drawer.measuredWidths.size());
    EXPECT_EQ(13, f.label->getHeight());
}

TEST(LabelTest, ALanguageChangeReReadsOnlyLabelsWithATextId) {
    s::xml::Node* root = s::xml::Node::pool();
    root->parse(L"<lang><languages><entry tagName=\"eng\" engName=\"English\"/>"
                L"<entry tagName=\"deu\" engName=\"German\"/></languages><entries>"
                L"<entry id=\"1\"><eng>Converter</eng><deu>Konverter</deu></entry></entries></lang>");
    Released<s::lang::Localizer> localizer(s::lang::Localizer::pool());
    localizer->load(root);
    root->release();
    localizer->setLanguage(L"English");
    Released<Window> window(Window::pool());
    window->setLocalizer(localizer.get());
    struct Case {
        Label* label;
        const wchar_t* english;
        const wchar_t* german;
    } cases[] = {
        {Label::createWithTextId(1, false, false, 0), L"Converter", L"Konverter"},
        {Label::createWithText(L"plain", false, false, 0), L"plain", L"plain"},
        {Label::createWithTextId(-1, false, false, 0), L"", L""},
    };
    for (const Case& c : cases) {
        window->add(c.label);
        EXPECT_STREQ(c.english, c.label->getText());
    }
    localizer->setLanguage(L"German");
    for (const Case& c : cases) {
        EXPECT_STREQ(c.german, c.label->getText());
    }
    window->setLocalizer(nullptr);
}

TEST(LabelTest, WithoutASkinALabelMeasuresWithTheBasicDrawerAndKeepsOneHandedToIt) {
    Released<Window> window(shownWindow(100, 100, 200, 120));
    Label* label = Label::createWithText(L"no skin", true, false, 4);
    window->add(label);
    settle(window.get());
    ASSERT_NE(nullptr, label->getNativeHandle());
    EXPECT_NE(nullptr, dynamic_cast<s::gui::drawer::text::win::Basic*>(label->getDrawer()));
    EXPECT_GT(label->getPreferredWidth(), 0);
    EXPECT_GT(label->getPreferredHeight(), 0);
    // A drawer handed over before the label joins its window stays.
    StubText handed;
    Label* own = Label::createWithText(L"own", false, false, 0);
    own->setDrawer(&handed, false);
    window->add(own);
    EXPECT_EQ(&handed, own->getDrawer());
    window->remove(own, true);
}

// The shell's start-a-program call, recorded instead of run.
std::vector<std::wstring>& opened() {
    static std::vector<std::wstring> list;
    return list;
}

BOOL WINAPI recordOpen(SHELLEXECUTEINFOW* info) {
    opened().push_back(info->lpFile);
    return TRUE;
}

TEST(LabelTest, AClickableLabelClicksOnlyWhenPressedAndReleasedInside) {
    LabelOnWindow f(L"a link");
    f.label->setClickable(true);
    f.label->setUrl(L"https://example.org/");
    f.label->setBounds(0, 0, 60, 20);
    Recorder clicks;
    f.label->addClickListener(&clicks);
    auto previous = s::shell::win::setShellExecute(&recordOpen);
    opened().clear();

    struct Press {
        const char* name;
        POINT down, up;
        bool lostCapture;  // the capture is taken away between press and release
        size_t clicks;
    } presses[] = {
        {"inside", {10, 10}, {20, 10}, false, 1},
        {"released outside", {10, 10}, {200, 10}, false, 0},
        {"capture lost", {10, 10}, {20, 10}, true, 0},
    };
    size_t total = 0;
    for (const Press& p : presses) {
        SCOPED_TRACE(p.name);
        SendMessageW(f.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.down.x, p.down.y));
        EXPECT_EQ(2, f.label->getMouseState());
        if (p.lostCapture) {
            SendMessageW(f.hwnd(), WM_CANCELMODE, 0, 0);
            EXPECT_EQ(0, f.label->getMouseState());
        }
        SendMessageW(f.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.up.x, p.up.y));
        total += p.clicks;
        EXPECT_EQ(total, clicks.codes.size());
        EXPECT_EQ(total, opened().size());
        EXPECT_EQ(0, f.label->getMouseState());
    }
    ASSERT_EQ(1u, opened().size());
    EXPECT_EQ(L"https://example.org/", opened()[0]);
    // A plain label lets the mouse through to what lies beneath.
    f.label->setClickable(false);
    EXPECT_EQ(HTTRANSPARENT, SendMessageW(f.hwnd(), WM_NCHITTEST, 0, 0));
    s::shell::win::setShellExecute(previous);
}

TEST(LabelTest, WindowsThatCannotBeMadeAreReportedThroughTheMessageBoxSeam) {
    BoxRecorder boxes;
    BoxRecorder::clear();
    Released<DeadParent> parent(DeadParent::pool());
    parent->dead = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(parent->dead);
    s::gui::IComponent* widgets[] = {Box::pool(), Label::createWithText(L"x", false, false, 0)};
    for (s::gui::IComponent* widget : widgets) {
        widget->setParent(parent.get());
        EXPECT_EQ(nullptr, widget->getNativeHandle());
        widget->setParent(nullptr);
        widget->release();
    }
    ASSERT_EQ(2u, BoxRecorder::texts().size());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(L"Window Creation Failed!", BoxRecorder::texts()[i]);
        EXPECT_EQ(L"Error!", BoxRecorder::captions()[i]);
    }
}

// A context or GDI object kept per repaint shows as thousands here, far over the slack.
TEST(LabelTest, TwoThousandRepaintsOfABoxWithALabelLeaveNoContextBehind) {
    Released<Window> window(shownWindow(100, 100, 320, 240));
    Box* box = Box::create(IBox::COLUMN, 0, 100, 100, 0, 0, 0, 4, 4);
    box->setColour(0, 0, 255, false);
    StubText drawer;
    Label* label = Label::createWithText(L"painted", false, false, 0);
    label->setDrawer(&drawer, false);
    box->add(label);
    window->add(box);
    settle(window.get());
    const int32_t live = MemDC::liveContexts();
    const DWORD gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    drawer.drawn.clear();
    for (int i = 0; i < 2000; ++i) {
        RedrawWindow(window->getFrameHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    // A paint the system started meanwhile may still be running: let it end first.
    settle(window.get());
    EXPECT_TRUE(testsupport::waitFor([&] { return MemDC::liveContexts() == live; }, 10000)) << MemDC::liveContexts();
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiObjects + 5);
    EXPECT_LE(2000u, drawer.drawn.size());
    // The label was painted over the box's own colour, which the box keeps in its buffer.
    ASSERT_NE(nullptr, box->getBackBuffer());
    EXPECT_EQ(0x000000FFu, box->getBackBuffer()->pixel(1, 1) & 0x00FFFFFFu);
}

} // namespace
