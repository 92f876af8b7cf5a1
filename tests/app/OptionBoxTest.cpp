// The image option boxes on a real window: the depth, quality and interlace widgets show
// the stored options, the background group and colour field take real clicks and typing
// and the colour dialog (through its seam), applying stores the choices, and box and setting
// forget each other when either goes back to its pool.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/image/gui/boxes/BgGroupBox.h"
#include "app/image/gui/boxes/BmpConfigBox.h"
#include "app/image/gui/boxes/ColorPicker.h"
#include "app/image/gui/boxes/GifConfigBox.h"
#include "app/image/gui/boxes/JpgConfigBox.h"
#include "app/image/gui/boxes/PngConfigBox.h"
#include "framework/CommonDialogs.h"
#include "images/EncodeSettingsSupport.h"
#include "images/image/gui/BoxFactory.h"
#include "support/RealInput.h"
#include "support/WaitFor.h"
#include "widgets/ToolkitTestSupport.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/RadioButton.h"
#include "widgets/gui/win/Slider.h"
#include "widgets/gui/win/TextField.h"

using s::gui::win::Window;
using s::image::gui::boxes::BmpConfigBox;
using s::image::gui::boxes::ColorPicker;
using s::image::gui::boxes::ConfigBox;
using s::image::gui::boxes::GifConfigBox;
using s::image::gui::boxes::JpgConfigBox;
using s::image::gui::boxes::PngConfigBox;
using settingstest::PREFIX;

namespace {

// An XML store on a file that does not exist yet.
s::xml::MappedData* freshStore() {
    return codectest::freshStore(L"option-boxes");
}

// The box of a setting built into a shown window.
template <class Setting, class Box>
struct Shown {
    explicit Shown(s::map::IMappedData* store = nullptr) {
        if (store != nullptr) {
            setting->bind(PREFIX, store);
        }
    }
    void show() {
        box = static_cast<Box*>(ConfigBox::create(setting));
        window = toolkittest::shownWindow(50, 50, 520, 360);
        window->add(box->build());
        toolkittest::settle(window);
    }
    ~Shown() {
        if (box != nullptr) {
            box->release();
        }
        if (window != nullptr) {
            window->release();
        }
        setting->release();
    }
    Setting* setting = Setting::pool();
    Box* box = nullptr;
    Window* window = nullptr;
};

// A click on the widget; true once took() shows the window's thread has handled it.
template <class Took>
bool click(s::gui::IComponent* widget, Took took) {
    return testsupport::clickOn(widget->getNativeHandle()) && testsupport::waitFor(took, 10000);
}

// Types the text into the field as a person would: a click into it, then the keys, after
// emptying it quietly. True once the field holds all of it.
bool type(s::gui::win::TextField* field, const std::wstring& text) {
    HWND hwnd = field->getNativeHandle();
    const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
    if (!testsupport::clickOn(hwnd) || !testsupport::waitFor([&] { return testsupport::focusOfThread(thread) == hwnd; }, 10000)) {
        return false;
    }
    field->setText(L"", false);
    return testsupport::typeText(text) && testsupport::waitFor([&] { return field->getText() == text; }, 10000);
}

RECT placed(s::gui::IComponent* child) {
    HWND hwnd = child->getNativeHandle();
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Answers the colour dialog with a colour, counting the calls; no dialog is shown.
struct ColourDialogRecorder {
    explicit ColourDialogRecorder(COLORREF answer) {
        chosen() = answer;
        calls() = 0;
        previous = AfxSetCommonDialogFunctions({nullptr, nullptr, &record, nullptr});
    }
    ~ColourDialogRecorder() { AfxSetCommonDialogFunctions(previous); }
    static BOOL WINAPI record(CHOOSECOLORW* cc) {
        ++calls();
        initial() = cc->rgbResult;
        cc->rgbResult = chosen();
        return TRUE;
    }
    static COLORREF& chosen() {
        static COLORREF c;
        return c;
    }
    static COLORREF& initial() {
        static COLORREF c;
        return c;
    }
    static int& calls() {
        static int n;
        return n;
    }
    AfxCommonDialogFunctions previous;
};

struct Counter : s::gui::events::IEventListener {
    void onEvent(s::base::IObject*, int32_t) override { ++count; }
    int count = 0;
};

} // namespace

TEST(OptionBoxTest, BitmapBoxShowsTheStoredDepth) {
    for (int32_t bpp : {4, 8, 24, 32}) {
        SCOPED_TRACE(bpp);
        Shown<bmp::EncodeSetting, BmpConfigBox> shown;
        shown.setting->setBpp(bpp);
        shown.show();
        EXPECT_STREQ(L"Bitmap", shown.box->name());
        const int32_t depths[] = {4, 8, 24, 32};
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(depths[i] == bpp, shown.box->depthButton(i)->isChecked());
            EXPECT_EQ(depths[i] == bpp ? BST_CHECKED : BST_UNCHECKED,
                      SendMessageW(shown.box->depthButton(i)->getNativeHandle(), BM_GETCHECK, 0, 0));
        }
        EXPECT_EQ(bpp, shown.box->chosenBpp());
    }
}

TEST(OptionBoxTest, GroupsFollowTheToolkitGeometry) {
    Shown<bmp::EncodeSetting, BmpConfigBox> shown;
    shown.show();
    // Paddings 20 x 3, 5 pixels between the depth buttons (UI scale 1 here).
    const RECT first = placed(shown.box->depthButton(0));
    const RECT second = placed(shown.box->depthButton(1));
    EXPECT_EQ(20, first.left);
    EXPECT_EQ(3, first.top);
    EXPECT_EQ(5, second.top - first.bottom);
    EXPECT_EQ(first.left, second.left);
    // The background group under the depth group, 10 pixels apart.
    s::image::gui::boxes::BgGroupBox* background = shown.box->background();
    EXPECT_EQ(20, placed(background->keepButton()).left);
    RECT depthGroup, backgroundGroup;
    GetWindowRect(GetParent(GetParent(shown.box->depthButton(0)->getNativeHandle())), &depthGroup);
    GetWindowRect(GetParent(GetParent(background->keepButton()->getNativeHandle())), &backgroundGroup);
    EXPECT_EQ(10, backgroundGroup.top - depthGroup.bottom);
}

TEST(OptionBoxTest, DepthButtonsStayExclusive) {
    Shown<bmp::EncodeSetting, BmpConfigBox> shown;
    shown.setting->setBpp(32);
    shown.show();
    for (int32_t pick : {0, 3, 2, 1, 1}) {
        SCOPED_TRACE(pick);
        ASSERT_TRUE(click(shown.box->depthButton(pick), [&] { return shown.box->depthButton(pick)->isChecked(); }));
        int32_t checked = 0;
        for (int32_t i = 0; i < 4; ++i) {
            checked += shown.box->depthButton(i)->isChecked() ? 1 : 0;
        }
        EXPECT_EQ(1, checked);
        EXPECT_TRUE(shown.box->depthButton(pick)->isChecked());
    }
    EXPECT_EQ(8, shown.box->chosenBpp());
}

TEST(OptionBoxTest, FillColourTypedAndAppliedIsStored) {
    Released<s::xml::MappedData> store(freshStore());
    Shown<bmp::EncodeSetting, BmpConfigBox> shown(store.get());
    shown.setting->setBpp(32);
    shown.show();
    ASSERT_TRUE(shown.box->depthButton(3)->isChecked());
    s::image::gui::boxes::BgGroupBox* background = shown.box->background();
    EXPECT_TRUE(background->keepButton()->isChecked());
    ASSERT_TRUE(click(background->fillButton(), [&] { return background->fillButton()->isChecked(); }));
    EXPECT_FALSE(background->keepButton()->isChecked());
    EXPECT_FALSE(background->keepTransparency());
    ASSERT_TRUE(type(background->colourField()->field(), L"102030"));
    EXPECT_EQ(0x102030u, background->colourField()->colour());
    EXPECT_TRUE(shown.setting->applyBox());
    EXPECT_FALSE(shown.setting->keepTransparency());
    EXPECT_EQ(16, shown.setting->backgroundRed());
    EXPECT_EQ(32, shown.setting->backgroundGreen());
    EXPECT_EQ(48, shown.setting->backgroundBlue());
    EXPECT_EQ(32, shown.setting->bpp());
    // Saved: a fresh setting bound to the store reads the same.
    Released<bmp::EncodeSetting> reread(bmp::EncodeSetting::pool());
    reread->bind(PREFIX, store.get());
    EXPECT_FALSE(reread->keepTransparency());
    EXPECT_EQ(48, reread->backgroundBlue());
    EXPECT_EQ(32, reread->bpp());
}

TEST(OptionBoxTest, OnlySixHexadecimalDigitsChangeTheColour) {
    Shown<png::EncodeSetting, PngConfigBox> shown;
    shown.setting->setBackground(1, 2, 3);
    shown.show();
    ColorPicker* colour = shown.box->background()->colourField();
    EXPECT_STREQ(L"010203", colour->field()->getText());
    Counter told;
    shown.box->background()->addListener(&told);
    struct Case {
        const wchar_t* typed;
        uint32_t colour;
        int told;
    };
    const Case cases[] = {
        {L"12345", 0x010203, 0},   {L"12345G", 0x010203, 0}, {L"GG0000", 0x010203, 0},
        {L"12 456", 0x010203, 0},  {L"", 0x010203, 0},        {L"a0B0c0", 0xA0B0C0, 1},
        {L"A0b0C0", 0xA0B0C0, 1},  // the same colour again tells nobody
        {L"ffffff", 0xFFFFFF, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "typed \"" << std::string(c.typed, c.typed + wcslen(c.typed)) << "\"");
        ASSERT_TRUE(type(colour->field(), c.typed));
        EXPECT_EQ(c.colour, colour->colour());
        EXPECT_EQ(c.told, told.count);
    }
}

TEST(OptionBoxTest, ColourDialogRunsThroughItsSeam) {
    ColourDialogRecorder recorder(RGB(0x12, 0x34, 0x56));
    Shown<gif::EncodeSetting, GifConfigBox> shown;
    shown.setting->setBackground(200, 100, 50);
    shown.show();
    ColorPicker* colour = shown.box->background()->colourField();
    Counter told;
    colour->addListener(&told);
    EXPECT_TRUE(colour->button()->isEnabled());
    // The colour's listeners are told last.
    ASSERT_TRUE(click(colour->button(), [&] { return told.count > 0; }));
    EXPECT_EQ(1, ColourDialogRecorder::calls());
    EXPECT_EQ(RGB(200, 100, 50), ColourDialogRecorder::initial());
    EXPECT_EQ(0x123456u, colour->colour());
    EXPECT_STREQ(L"123456", colour->field()->getText());
    EXPECT_EQ(1, told.count);
    // No dialog window was left behind.
    EXPECT_EQ(nullptr, FindWindowW(L"#32770", nullptr));
    EXPECT_TRUE(shown.setting->applyBox());
    EXPECT_EQ(0x12, shown.setting->backgroundRed());
    EXPECT_EQ(0x56, shown.setting->backgroundBlue());
}

TEST(OptionBoxTest, JpegBoxShowsTheStoredQuality) {
    for (int32_t quality : {0, 42, 100}) {
        SCOPED_TRACE(quality);
        Shown<jpg::EncodeSetting, JpgConfigBox> shown;
        shown.setting->setQuality(quality);
        shown.show();
        EXPECT_EQ(std::to_wstring(quality), shown.box->valueLabel()->getText());
        EXPECT_EQ(quality, shown.box->slider()->getPosition());
        // No transparency to keep: "Fill Color" chosen, the keep button disabled.
        EXPECT_FALSE(shown.box->background()->keepButton()->isEnabled());
        EXPECT_TRUE(shown.box->background()->fillButton()->isChecked());
        shown.box->slider()->setPosition(90);
        EXPECT_TRUE(shown.setting->applyBox());
        EXPECT_EQ(90, shown.setting->quality());
    }
}

TEST(OptionBoxTest, GifDepthAndPngInterlaceAreApplied) {
    Shown<gif::EncodeSetting, GifConfigBox> gifShown;
    gifShown.show();
    EXPECT_TRUE(gifShown.box->depthButton(1)->isChecked());
    ASSERT_TRUE(click(gifShown.box->depthButton(0), [&] { return gifShown.box->depthButton(0)->isChecked(); }));
    EXPECT_FALSE(gifShown.box->depthButton(1)->isChecked());
    EXPECT_TRUE(gifShown.setting->applyBox());
    EXPECT_EQ(4, gifShown.setting->bpp());

    Shown<png::EncodeSetting, PngConfigBox> pngShown;
    pngShown.show();
    EXPECT_TRUE(pngShown.box->interlaceBox()->isChecked());
    ASSERT_TRUE(click(pngShown.box->interlaceBox(), [&] { return !pngShown.box->interlaceBox()->isChecked(); }));
    ASSERT_TRUE(click(pngShown.box->background()->fillButton(), [&] { return pngShown.box->background()->fillButton()->isChecked(); }));
    EXPECT_TRUE(pngShown.setting->applyBox());
    EXPECT_FALSE(pngShown.setting->withInterlace());
    EXPECT_FALSE(pngShown.setting->keepTransparency());
}

TEST(OptionBoxTest, BoxAndSettingForgetEachOtherOnRelease) {
    // The box goes first: the setting no longer reads it.
    Released<bmp::EncodeSetting> setting(bmp::EncodeSetting::pool());
    auto* box = static_cast<BmpConfigBox*>(ConfigBox::create(setting.get()));
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(box, setting->box());
    EXPECT_EQ(setting.get(), box->setting());
    box->release();
    EXPECT_EQ(nullptr, setting->box());
    EXPECT_TRUE(setting->applyBox());
    // The setting goes first: the box no longer writes to it.
    box = static_cast<BmpConfigBox*>(ConfigBox::create(setting.get()));
    setting->reset();
    EXPECT_EQ(nullptr, box->setting());
    EXPECT_EQ(nullptr, setting->box());
    // A second box replaces the first, which is told.
    auto* first = static_cast<BmpConfigBox*>(ConfigBox::create(setting.get()));
    auto* second = static_cast<BmpConfigBox*>(ConfigBox::create(setting.get()));
    EXPECT_EQ(nullptr, first->setting());
    EXPECT_EQ(second, setting->box());
    for (ConfigBox* b : {static_cast<ConfigBox*>(box), static_cast<ConfigBox*>(first), static_cast<ConfigBox*>(second)}) {
        b->release();
    }
    EXPECT_EQ(nullptr, setting->box());
}

// Each format's setting makes its own box through its interface, once the boxes' maker
// is registered as the program registers it, linked both ways.
TEST(OptionBoxTest, EachSettingCreatesItsFormatsBoxLinkedBothWays) {
    const std::pair<s::image::EncodeSettingBase*, const wchar_t*> names[] = {
        {bmp::EncodeSetting::pool(), L"Bitmap"}, {gif::EncodeSetting::pool(), L"Gif"},
        {jpg::EncodeSetting::pool(), L"Jpeg"},   {png::EncodeSetting::pool(), L"Png"}};
    ConfigBox::registerAsMaker();
    for (const auto& n : names) {
        s::image::IEncodeSetting* setting = n.first;
        s::image::gui::IEncodeSettingBox* box = setting->createBox();
        ASSERT_NE(nullptr, box) << n.second;
        EXPECT_STREQ(n.second, box->name());
        EXPECT_EQ(box, n.first->box());
        EXPECT_EQ(n.first, static_cast<ConfigBox*>(box)->setting());
        box->release();
        EXPECT_EQ(nullptr, n.first->box());
    }
    s::image::gui::BoxFactory::setMaker(nullptr);
    EXPECT_EQ(nullptr, names[0].first->createBox()) << "no maker, no box";
    ConfigBox::registerAsMaker();
    for (const auto& n : names) {
        n.first->release();
    }
}
