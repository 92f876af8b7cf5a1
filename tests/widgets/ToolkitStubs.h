// Recording drawers and helpers for the control tests: the drawers paint nothing and
// remember what they were asked to paint.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "WindowTestSupport.h"
#include "core/col/_array/ArrayS32.h"
#include "core/str/strarray/StrArray.h"
#include "drawers/gui/drawer/ICombo.h"
#include "drawers/gui/drawer/IImage.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/drawer/IMenu.h"
#include "drawers/gui/drawer/ISlider.h"
#include "system/lang/Localizer.h"
#include "system/xml/Node.h"
#include "support/UiThread.h"

namespace stubs {

// The object faces every drawer has; the tests own the stubs (never pooled).
#define STUB_OBJECT(Name)                                                         \
    const wchar_t* className() const override { return L"s_test_" #Name; }      \
    s::base::IObject* newInstance() const override { return nullptr; }          \
    void release() override {}                                                   \
    void reset() override {}

struct ComboDrawer : s::gui::drawer::ICombo {
    STUB_OBJECT(ComboDrawer)
    void draw(HDC, int32_t, int32_t, int32_t, int32_t, int32_t state, const wchar_t* text, s::gui::win::Font* font,
              bool) override {
        texts.push_back(text);
        states.push_back(state);
        bolds.push_back(font != nullptr && font->isBold());
    }
    void setTextColor(int32_t, int32_t, int32_t) override {}
    void setDisabledTextColor(int32_t, int32_t, int32_t) override {}
    void setFrameColor(int32_t, int32_t, int32_t) override {}
    void applyFonts(s::gui::win::Font*, s::gui::win::Font*) override { ++fontsGiven; }
    std::vector<std::wstring> texts;
    std::vector<int32_t> states;
    std::vector<bool> bolds;
    int fontsGiven = 0;
};

// Lays entries out left to right, each `entryWidth` wide and 20 high.
struct MenuDrawer : s::gui::drawer::IMenu {
    STUB_OBJECT(MenuDrawer)
    void draw(HDC, int32_t, int32_t, int32_t, int32_t, const s::str::strarray::StrArray*,
              const s::col::_array::ArrayS32*, s::gui::win::Font*, s::gui::win::Font*, int32_t, int32_t,
              int32_t hotIndex, bool, bool dropDown, bool, bool) override {
        hot.push_back(hotIndex);
        opened.push_back(dropDown);
    }
    void layout(const s::str::strarray::StrArray* texts, s::gui::win::Font*, s::col::_array::ArrayS32* rects,
                int32_t* totalWidth, int32_t* totalHeight, int32_t, int32_t, bool) override {
        for (uint32_t i = 0; i < texts->count(); ++i) {
            for (int32_t v : {static_cast<int32_t>(i) * entryWidth, 0, static_cast<int32_t>(i + 1) * entryWidth, 20}) {
                rects->add(v);
            }
        }
        *totalWidth = static_cast<int32_t>(texts->count()) * entryWidth;
        *totalHeight = 20;
        ++layouts;
    }
    s::gui::win::FontSetting* getFontSetting() const override { return nullptr; }
    s::gui::win::FontSetting* getHighlightFontSetting() const override { return nullptr; }
    s::gui::drawer::ICombo* getComboDrawer() const override { return nullptr; }
    void setHighlightColor(int32_t, int32_t, int32_t) override {}
    void setTextColor(int32_t, int32_t, int32_t) override {}
    void setHighlightTextColor(int32_t, int32_t, int32_t) override {}
    void setFillHot(bool) override {}
    void setShiftHot(bool) override {}
    int32_t entryWidth = 50;
    int layouts = 0;
    std::vector<int32_t> hot;
    std::vector<bool> opened;
};

struct SliderDrawer : s::gui::drawer::ISlider {
    STUB_OBJECT(SliderDrawer)
    void draw(HDC, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t value, bool, int32_t, bool, bool,
              int32_t second, int32_t, int32_t, int32_t) override {
        values.push_back(value);
        seconds.push_back(second);
    }
    uint8_t getThumbRed() const override { return 0; }
    uint8_t getThumbGreen() const override { return 0; }
    uint8_t getThumbBlue() const override { return 0; }
    void setThumbColor(int32_t, int32_t, int32_t) override {}
    void setChannelColor(int32_t, int32_t, int32_t) override {}
    void setDisabledColor(int32_t, int32_t, int32_t) override {}
    std::vector<int32_t> values;
    std::vector<int32_t> seconds;
};

struct ImageDrawer : s::gui::drawer::IImage {
    STUB_OBJECT(ImageDrawer)
    void draw(HDC, s::gui::drawer::IScaledPainter*, int32_t, int32_t, int32_t, int32_t, s::image::win::BufferedImage* image, int32_t,
              bool, bool) override {
        frames.push_back(image);
    }
    std::vector<s::image::win::BufferedImage*> frames;
};

#undef STUB_OBJECT

// Runs fn on the window's UI thread (as a worker-event listener) and waits for it.
inline void runOnUiThread(s::gui::win::Window* window, const std::function<void()>& fn) {
    windowtest::Recorder runner;
    runner.action = [&](int32_t) { fn(); };
    window->addWorkerEventListener(&runner);
    window->sendWorkerEvent(L"run", 0, 0, nullptr);
    window->removeListener(&runner);
}

// A pack of two languages, English current, with the given texts per id.
inline s::lang::Localizer* twoLanguagePack(const wchar_t* entries) {
    s::xml::Node* root = s::xml::Node::pool();
    std::wstring text = L"<lang><languages><entry tagName=\"eng\" engName=\"English\"/>"
                        L"<entry tagName=\"deu\" engName=\"German\"/></languages><entries>";
    root->parse((text + entries + L"</entries></lang>").c_str());
    s::lang::Localizer* localizer = s::lang::Localizer::pool();
    localizer->load(root);
    root->release();
    localizer->setLanguage(L"English");
    return localizer;
}

// The visible system menu window of any thread, or null after waiting up to 10 s.
inline HWND waitForMenuWindow(bool present) {
    HWND menu = nullptr;
    const bool found = testsupport::waitFor(
        [&] {
            menu = FindWindowW(L"#32768", nullptr);
            return (menu != nullptr && IsWindowVisible(menu)) == present;
        },
        10000);
    return found ? menu : nullptr;
}

} // namespace stubs
