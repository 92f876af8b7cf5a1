// Text fields on a real window: typing, Enter, focus loss, read-only and password styles.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ControlsSupport.h"
#include "support/UiThread.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/TextField.h"

namespace {

using namespace controlstest;
using s::gui::win::Button;
using s::gui::win::TextField;

COLORREF brushColour(LRESULT brush) {
    LOGBRUSH info = {};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(info), &info);
    return info.lbColor;
}

TEST(TextFieldTest, TypingTellsOnceACharacterAndTheProgramOnlyWhenAsked) {
    Released<Window> window(shownWindow());
    TextField* field = TextField::create(L"start", -1, -1);
    Recorder changes;
    field->addChangeListener(&changes);
    window->add(field);
    HWND hwnd = field->getNativeHandle();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(0, changes.count(1));
    EXPECT_STREQ(L"start", field->getText());

    field->setText(L"", false);
    EXPECT_EQ(0, changes.count(1));
    for (wchar_t c : std::wstring(L"abc")) {
        PostMessageW(hwnd, WM_CHAR, c, 1);
    }
    ASSERT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return changes.count(1) >= 3; }));
    settle(hwnd);
    EXPECT_EQ(3, changes.count(1));
    // Read from the control: no event stored it.
    EXPECT_STREQ(L"abc", field->getText());
    field->setText(L"x", true);
    EXPECT_EQ(4, changes.count(1));
    field->clear();
    EXPECT_EQ(5, changes.count(1));
    EXPECT_TRUE(field->isEmpty());

    // A text far longer than any fixed buffer comes back whole.
    const std::wstring longText(20000, L'q');
    field->setText(longText.c_str(), false);
    EXPECT_EQ(longText, std::wstring(field->getText()));
}

TEST(TextFieldTest, EnterIsTheFieldsAndNeverClicksTheDefaultButton) {
    Released<Window> window(shownWindow());
    TextField* field = TextField::create(L"", -1, -1);
    Button* ok = Button::createWithText(L"OK", 60, 24);
    window->add(field);
    window->add(ok);
    ok->makeDefault();
    Recorder enters, clicks, keys;
    field->addEnterListener(&enters);
    ok->addClickListener(&clicks);
    window->addKeyListener(&keys);
    field->requestFocusAndSelectAll();
    HWND hwnd = field->getNativeHandle();
    PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(hwnd, WM_KEYUP, VK_RETURN, 0xC0000001);
    ASSERT_TRUE(testsupport::waitOnUiThread(window.get(), [&] { return enters.count(2) == 1; }));
    Sleep(100);
    settle(hwnd);
    EXPECT_EQ(1, enters.count(2));
    EXPECT_EQ(0, clicks.count(1));
    EXPECT_EQ(0, keys.count(s::gui::IWindow::KEY));
}

TEST(TextFieldTest, LosingTheFocusIsTold) {
    Released<Window> window(shownWindow());
    TextField* first = TextField::create(L"one", -1, -1);
    TextField* second = TextField::create(L"two", -1, -1);
    window->add(first);
    window->add(second);
    Recorder lost;
    first->addFocusLostListener(&lost);
    first->requestFocusAndSelectAll();
    EXPECT_EQ(0, lost.count(3));
    second->requestFocusAndSelectAll();
    EXPECT_EQ(1, lost.count(3));
    EXPECT_EQ(window->getUiThreadId(), lost.threads.at(0));
}

TEST(TextFieldTest, ReadOnlyAndPasswordStylesAndTheirColours) {
    Released<Window> window(shownWindow());
    TextField* field = TextField::create(L"secret", -1, -1);
    window->add(field);
    HWND hwnd = field->getNativeHandle();
    HWND frame = window->getFrameHandle();
    struct Case {
        bool editable, enabled, password;
        COLORREF background;
    };
    const Case cases[] = {
        {true, true, false, 0xFFFFFF},
        {false, true, true, GetSysColor(COLOR_BTNFACE)},
        {true, false, false, GetSysColor(COLOR_BTNFACE)},
        {true, true, true, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        field->setEditable(c.editable);
        field->setEnabled(c.enabled);
        field->setPassword(c.password);
        EXPECT_EQ(!c.editable, (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY) != 0);
        EXPECT_EQ(c.enabled, IsWindowEnabled(hwnd) != FALSE);
        EXPECT_EQ(c.password ? L'*' : 0, static_cast<wchar_t>(SendMessageW(hwnd, EM_GETPASSWORDCHAR, 0, 0)));
        HDC dc = GetDC(hwnd);
        const LRESULT brush = SendMessageW(frame, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
        ReleaseDC(hwnd, dc);
        EXPECT_EQ(c.background, brushColour(brush)) << c.editable << c.enabled;
    }
    EXPECT_STREQ(L"secret", field->getText());
}

} // namespace
