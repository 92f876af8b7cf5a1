// Widgets of a window with a skin holder: each kind takes its drawer from the current
// skin when attached, takes the new one when the skin changes, and stops listening when
// it leaves the window.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/Skinner.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "support/Released.h"
#include "widgets/gui/IWindowState.h"
#include "widgets/gui/win/Button.h"
#include "widgets/gui/win/CheckBox.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MenuEx.h"
#include "widgets/gui/win/RadioButton.h"
#include "widgets/gui/win/Slider.h"
#include "widgets/gui/win/StatusBar.h"
#include "widgets/gui/win/Window.h"

namespace {

namespace drawer = s::gui::drawer;
namespace win = s::gui::win;
using drawer::ISkin;
using drawer::Skinner;
using s::gui::IComponent;

struct Kind {
    const char* name;
    std::function<IComponent*()> make;
    std::function<const void*(IComponent*)> drawerOf;
    std::function<const void*(ISkin*)> fromSkin;
};

// Keeps the skin name the window hands over.
struct SkinNameRecord : s::gui::IWindowState {
    void setMaximized(bool) override {}
    void setNormalBounds(int32_t, int32_t, int32_t, int32_t) override {}
    void setLanguageName(const wchar_t*) override {}
    void persist() override {}
    void setSkinName(const wchar_t* name) override { skinName = name; }
    std::wstring skinName;
};

template <class W>
const void* drawerOf(IComponent* widget) {
    return static_cast<W*>(widget)->getDrawer();
}

const Kind KINDS[] = {
    {"label", [] { return win::Label::createWithText(L"a", false, false, 0); }, drawerOf<win::Label>,
     [](ISkin* s) -> const void* { return s->getText(); }},
    {"button", [] { return win::Button::createWithText(L"b", 40, 20); }, drawerOf<win::Button>,
     [](ISkin* s) -> const void* { return s->getButton(); }},
    {"check box", [] { return win::CheckBox::createWithText(L"c", false); }, drawerOf<win::CheckBox>,
     [](ISkin* s) -> const void* { return s->getCheckBox(); }},
    {"radio button", [] { return win::RadioButton::createWithText(L"r", false); }, drawerOf<win::RadioButton>,
     [](ISkin* s) -> const void* { return s->getRadioButton(); }},
    {"slider", [] { return win::Slider::create(100, 10, 10); }, drawerOf<win::Slider>,
     [](ISkin* s) -> const void* { return s->getSlider(); }},
    {"menu bar", [] { return win::MenuEx::create(100); }, drawerOf<win::MenuEx>,
     [](ISkin* s) -> const void* { return s->getMenu(); }},
    {"combo box", [] { return win::ComboBox::createWithSize(80, 20); }, drawerOf<win::ComboBox>,
     [](ISkin* s) -> const void* { return s->getCombo(); }},
    {"group box", [] { return win::GroupBox::createWithText(0, 0, 0, 0, 0, 100, L"g"); }, drawerOf<win::GroupBox>,
     [](ISkin* s) -> const void* { return s->getGroupBox(); }},
    {"status bar", [] { return win::StatusBar::createWithResizer(0, 0); }, drawerOf<win::StatusBar>,
     [](ISkin* s) -> const void* { return s->getStatusBar(); }},
};

TEST(SkinRoad, WidgetsTakeTheirKindsDrawerAndFollowTheCurrentSkin) {
    Released<Skinner> skinner(Skinner::createThinWindow());
    ASSERT_GE(skinner->getSkinCount(), 2u);
    skinner->selectSkin(skinner->getSkinNameAt(0));
    Released<win::Window> window(win::Window::pool());
    window->setSkinHolder(skinner.get());
    SkinNameRecord record;
    window->setStateRecord(&record);
    IComponent* widgets[sizeof(KINDS) / sizeof(KINDS[0])];
    for (size_t i = 0; i < sizeof(KINDS) / sizeof(KINDS[0]); ++i) {
        widgets[i] = KINDS[i].make();
        window->add(widgets[i]);
    }
    // The window, every widget and the widgets inside them (a group box's box, a resizer).
    const uint32_t listening = skinner->getListenerCount();
    EXPECT_GT(listening, sizeof(KINDS) / sizeof(KINDS[0]));
    for (uint32_t skinIndex : {0u, 1u}) {
        skinner->selectSkin(skinner->getSkinNameAt(skinIndex));
        ISkin* skin = skinner->getCurrentSkin();
        EXPECT_EQ(skin->getWindow(), window->getFrameDrawer()) << skinIndex;
        EXPECT_EQ(skinIndex == 0 ? L"" : std::wstring(skin->getName()), record.skinName);
        for (size_t i = 0; i < sizeof(KINDS) / sizeof(KINDS[0]); ++i) {
            EXPECT_NE(nullptr, KINDS[i].drawerOf(widgets[i])) << KINDS[i].name;
            EXPECT_EQ(KINDS[i].fromSkin(skin), KINDS[i].drawerOf(widgets[i])) << KINDS[i].name << " " << skinIndex;
        }
    }
    window->remove(widgets[0], true);
    EXPECT_EQ(listening - 1, skinner->getListenerCount()) << "a removed widget stops listening";
    window.reset();
    EXPECT_EQ(0u, skinner->getListenerCount());
}

TEST(SkinRoad, WithoutASkinLentDrawersGiveWayToTheBasicOneAndOwnedOnesStay) {
    for (bool owned : {false, true}) {
        Released<Skinner> skinner(Skinner::createThinWindow());
        skinner->selectSkin(skinner->getSkinNameAt(0));
        Released<win::Window> window(win::Window::pool());
        window->setSkinHolder(skinner.get());
        win::Label* label = win::Label::createWithText(L"a", false, false, 0);
        window->add(label);
        ASSERT_NE(nullptr, label->getDrawer());
        drawer::text::win::Basic* own = owned ? drawer::text::win::Basic::pool() : nullptr;
        if (own != nullptr) {
            label->setDrawer(own, true);
        }
        // Clearing tells the listeners, with no current skin, before the skins go back.
        skinner->clear();
        if (owned) {
            EXPECT_EQ(own, label->getDrawer());
        } else {
            EXPECT_NE(nullptr, dynamic_cast<drawer::text::win::Basic*>(label->getDrawer()));
        }
        EXPECT_EQ(nullptr, window->getFrameDrawer());
    }
}

} // namespace
