// Recording drawers and window helpers for the control tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ToolkitTestSupport.h"
#include "WindowTestSupport.h"
#include "drawers/gui/drawer/IButton.h"
#include "drawers/gui/drawer/ICheckBox.h"
#include "support/WaitFor.h"

namespace controlstest {

using windowtest::Recorder;
using s::gui::win::Window;

// A shown window of 320 x 240 on its own UI thread.
inline Window* shownWindow() {
    return toolkittest::shownWindow(100, 100, 320, 240);
}

// Runs on the control's UI thread everything sent to it before: a round trip.
inline void settle(HWND hwnd) {
    SendMessageW(hwnd, WM_NULL, 0, 0);
}

using testsupport::waitFor;

// The shown pop-up menu (#32768) of the test's windows, or null.
inline HWND shownMenu() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu) ? menu : nullptr;
}

inline std::wstring textOf(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

inline RECT placedIn(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// What a button drawer was asked to paint.
struct ButtonPaint {
    int32_t state;
    std::wstring caption;
    bool enabled;
    bool shownDown;
};

class ButtonDrawer : public s::gui::drawer::IButton {
public:
    const wchar_t* className() const override { return L"s_test_ButtonDrawer"; }
    s::base::IObject* newInstance() const override { return nullptr; }
    void release() override {}
    void reset() override {}
    void draw(HDC dc, int32_t, int32_t, int32_t right, int32_t bottom, int32_t state, const wchar_t* caption, bool,
              s::gui::win::Font*, bool enabled, bool toggled, bool) override {
        paints.push_back({state, caption, enabled, toggled});
        const RECT all = {0, 0, right, bottom};
        SetBkColor(dc, RGB(10, 200, 30));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    }
    void setColor(int32_t, int32_t, int32_t) override {}
    void setFirstFlag(bool) override {}
    void setSecondFlag(bool) override {}
    void setCorners(int32_t) override {}
    void setPressShift(bool) override {}
    uint8_t getFrameRed() const override { return 0; }
    uint8_t getFrameGreen() const override { return 0; }
    uint8_t getFrameBlue() const override { return 0; }
    void setFrameColor(int32_t, int32_t, int32_t) override {}
    uint8_t getDisabledFrameRed() const override { return 0; }
    uint8_t getDisabledFrameGreen() const override { return 0; }
    uint8_t getDisabledFrameBlue() const override { return 0; }
    void setDisabledFrameColor(int32_t, int32_t, int32_t) override {}
    void setToggledFrameColor(int32_t, int32_t, int32_t) override {}
    void setFillColor(int32_t, int32_t, int32_t) override {}
    uint8_t getFillRed() const override { return 0; }
    uint8_t getFillGreen() const override { return 0; }
    uint8_t getFillBlue() const override { return 0; }
    bool drawGlyph(HDC, int32_t, int32_t, int32_t, int32_t, const wchar_t*, int32_t, int32_t, int32_t) override {
        return false;
    }
    void applyFonts(s::gui::win::Font*, s::gui::win::Font*) override {}
    s::gui::win::FontSetting* getNormalFontSetting() const override { return nullptr; }
    s::gui::win::FontSetting* getDisabledFontSetting() const override { return nullptr; }
    void setBorderShaded(bool) override {}

    std::vector<ButtonPaint> paints;
};

// Measures every caption as 40 x 16 and records what it paints.
class CheckDrawer : public s::gui::drawer::ICheckBox {
public:
    const wchar_t* className() const override { return L"s_test_CheckDrawer"; }
    s::base::IObject* newInstance() const override { return nullptr; }
    void release() override {}
    void reset() override {}
    void setFirstFlag(bool) override {}
    void setSecondFlag(bool) override {}
    void setTextColor(int32_t, int32_t, int32_t) override {}
    void setDisabledTextColor(int32_t, int32_t, int32_t) override {}
    void setBoxColor(int32_t, int32_t, int32_t) override {}
    void setButtonFrameColor(int32_t, int32_t, int32_t) override {}
    void applyFonts(s::gui::win::Font*, s::gui::win::Font*) override {}
    void draw(HDC, int32_t, int32_t, int32_t, int32_t, int32_t boxSize, bool checked, const wchar_t*,
              s::gui::win::Font*) override {
        boxSizes.push_back(boxSize);
        checks.push_back(checked);
    }
    void measure(HDC, const wchar_t*, s::gui::win::Font*, int32_t* minWidth, int32_t* minHeight,
                 int32_t* preferredWidth, int32_t* preferredHeight) override {
        *minWidth = 30;
        *minHeight = 16;
        *preferredWidth = 40;
        *preferredHeight = 16;
    }

    std::vector<int32_t> boxSizes;
    std::vector<bool> checks;
};

} // namespace controlstest
