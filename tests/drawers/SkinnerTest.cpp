// Skins and the skinner: the two theme families and their order, lookups by id and by
// name, selection and its listeners, replacing and clearing giving drawers back to their
// pools, and a caption repainted in the new skin's colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Canvas.h"
#include "drawers/gui/drawer/ISkin.h"
#include "drawers/gui/drawer/Skinner.h"
#include "drawers/gui/drawer/Themes.h"
#include "drawers/gui/drawer/button/win/Thin.h"
#include "drawers/gui/drawer/checkbox/win/Thin.h"
#include "drawers/gui/drawer/combo/win/Thin.h"
#include "drawers/gui/drawer/counter/win/Basic.h"
#include "drawers/gui/drawer/groupbox/win/Thin.h"
#include "drawers/gui/drawer/listbox/win/Thin.h"
#include "drawers/gui/drawer/listheader/win/Thin.h"
#include "drawers/gui/drawer/menu/win/Basic.h"
#include "drawers/gui/drawer/radiobutton/win/Thin.h"
#include "drawers/gui/drawer/scrollbar/win/Thin.h"
#include "drawers/gui/drawer/skin/Thin.h"
#include "drawers/gui/drawer/skin/ThinWindow.h"
#include "drawers/gui/drawer/slider/win/Thin.h"
#include "drawers/gui/drawer/statusbar/win/Thin.h"
#include "drawers/gui/drawer/tabbox/win/Thin.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/drawer/window/win/Thin.h"
#include "support/Released.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/win/FontSetting.h"

namespace drawer = s::gui::drawer;
using drawer::ISkin;
using drawer::Skinner;
using drawer::Themes;
using s::gui::win::Font;

namespace {

// Stands in for a widget: holds the current skin's text drawer without owning it and
// fetches it again when told; leaves the skinner's listeners when released.
struct Caption : s::gui::events::IEventListener {
    explicit Caption(Skinner* skinner) : skinner(skinner) {
        skinner->addListener(this);
        refetch();
    }
    ~Caption() override { skinner->removeListener(this); }
    void onEvent(s::base::IObject* source, int32_t code) override {
        ++events;
        EXPECT_EQ(skinner, source);
        EXPECT_EQ(0, code);
        // The skins are still whole when the listeners hear of a change.
        skinsWhenTold = skinner->getSkinCount();
        refetch();
    }
    void refetch() {
        ISkin* skin = skinner->getCurrentSkin();
        text = skin != nullptr ? skin->getText() : nullptr;
    }
    Skinner* skinner;
    drawer::IText* text = nullptr;
    int32_t events = 0;
    uint32_t skinsWhenTold = 0;
};

std::vector<std::wstring> namesOf(const Skinner* skinner) {
    std::vector<std::wstring> names;
    for (uint32_t i = 0; i < skinner->getSkinCount(); ++i) {
        names.push_back(skinner->getSkinNameAt(i));
        EXPECT_STREQ(skinner->getSkinNameAt(i), skinner->getSkinAt(i)->getName());
    }
    return names;
}

Skinner* filled(const wchar_t* family) {
    Skinner* skinner = Skinner::pool();
    skinner->setName(family);
    skinner->addThinColourSchemes();
    return skinner;
}

// Pixels of a caption painted with the drawer's normal font setting on grey.
struct Painted {
    int32_t black = 0, white = 0;
};
Painted paintCaption(drawer::IText* text) {
    canvas::Canvas canvas(120, 30);
    canvas.clear(RGB(128, 128, 128));
    Released<Font> font(Font::pool());
    font->setClearType(false);
    text->applyFonts(font.get());
    const canvas::DcState before(canvas.dc());
    text->draw(canvas.dc(), 0, 0, 120, 30, L"Skin", font.get());
    EXPECT_TRUE(canvas::DcState(canvas.dc()) == before);
    return {canvas.countColour(RGB(0, 0, 0)), canvas.countColour(RGB(255, 255, 255))};
}

template <class T>
int32_t idle() {
    return T::pooler().idleCount();
}

} // namespace

TEST(Skinner, FamiliesHoldTheirSchemesInOrder) {
    struct Case {
        const wchar_t* family;
        const wchar_t* skinClass;
        std::vector<std::wstring> names;
    };
    const Case cases[] = {
        {L"ThinWindow", drawer::skin::ThinWindow::CLASS_NAME,
         {L"White", L"Ivory", L"Black", L"Black II", L"Black Black", L"Black Black II", L"Classic LG", L"Beige",
          L"Sky Blue", L"Pink", L"Salmon Red", L"Yellow", L"Green", L"Orange", L"Khaki", L"Indigo"}},
        {L"thinwindow", drawer::skin::ThinWindow::CLASS_NAME, {}},
        {L"Thin", drawer::skin::Thin::CLASS_NAME,
         {L"White", L"Light Gray", L"Black", L"Ivory", L"Sky Blue", L"Pink", L"Green", L"Green2", L"Yellow",
          L"Orange", L"Khaki", L"Indigo", L"Salmon Red"}},
        {L"Basic", nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.family);
        Released<Skinner> skinner(filled(c.family));
        const std::vector<std::wstring> names = namesOf(skinner.get());
        if (c.skinClass == nullptr) {
            EXPECT_TRUE(names.empty());
            continue;
        }
        if (!c.names.empty()) {
            EXPECT_EQ(c.names, names);
        } else {
            EXPECT_EQ(static_cast<size_t>(Themes::THIN_WINDOW_SCHEMES), names.size());
        }
        for (uint32_t i = 0; i < skinner->getSkinCount(); ++i) {
            EXPECT_EQ(c.skinClass, skinner->getSkinAt(i)->className());
        }
    }
    Released<Skinner> about(Skinner::createThinWindow());
    EXPECT_STREQ(L"ThinWindow", about->getName());
    EXPECT_EQ(16u, about->getSkinCount());
}

TEST(Themes, ThinWindowIdsGiveTheirRowsAndOthersNothing) {
    for (int32_t id : {-1, 0, 5, 14, 15, 20, 1000}) {
        EXPECT_EQ(nullptr, Themes::thinWindowSchemeById(id)) << id;
    }
    struct Case {
        int32_t id;
        const wchar_t* name;
        COLORREF background, frame, counterSecond, listStripe, slider;
    };
    const Case cases[] = {
        {19, L"Classic LG", RGB(116, 116, 116), RGB(17, 17, 17), RGB(25, 25, 25), RGB(56, 56, 56), RGB(17, 17, 17)},
        {1, L"Black", RGB(51, 51, 51), RGB(85, 85, 85), RGB(255, 165, 0), RGB(238, 238, 238), RGB(176, 176, 176)},
        {18, L"Black Black II", RGB(0, 0, 0), RGB(51, 51, 51), RGB(255, 165, 0), RGB(238, 238, 238),
         RGB(176, 176, 176)},
        {6, L"Sky Blue", RGB(194, 223, 255), RGB(87, 133, 255), RGB(255, 165, 0), RGB(238, 238, 238),
         RGB(87, 133, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Released<ISkin> skin(Themes::thinWindowSchemeById(c.id));
        ASSERT_NE(nullptr, skin);
        EXPECT_STREQ(c.name, skin->getName());
        drawer::IWindow* window = skin->getWindow();
        EXPECT_EQ(c.background, window->getBackgroundColor());
        EXPECT_EQ(c.frame, RGB(window->getFrameRed(), window->getFrameGreen(), window->getFrameBlue()));
        drawer::ICounter* counter = skin->getCounter();
        EXPECT_EQ(c.counterSecond, RGB(counter->getColor2Red(), counter->getColor2Green(), counter->getColor2Blue()));
        EXPECT_EQ(c.listStripe, skin->getListBox()->getStripeColor());
        auto* slider = static_cast<drawer::slider::win::Thin*>(skin->getSlider());
        EXPECT_EQ(c.slider, slider->getChannelColor());
    }
}

TEST(Themes, BuildersFillEverySlotWithItsKind) {
    const COLORREF thin[Themes::THIN_COLOURS] = {RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3),
                                                 RGB(4, 4, 4), RGB(5, 5, 5), RGB(6, 6, 6)};
    Released<ISkin> a(Themes::buildThinSkin(L"Mine", thin));
    Released<ISkin> b(Themes::buildThinSkin(L"Mine", thin));
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    const std::pair<const s::base::IObject*, const wchar_t*> slots[] = {
        {a->getWindow(), drawer::window::win::Thin::CLASS_NAME},
        {a->getButton(), drawer::button::win::Thin::CLASS_NAME},
        {a->getText(), drawer::text::win::Basic::CLASS_NAME},
        {a->getScrollBar(), drawer::scrollbar::win::Thin::CLASS_NAME},
        {a->getCheckBox(), drawer::checkbox::win::Thin::CLASS_NAME},
        {a->getRadioButton(), drawer::radiobutton::win::Thin::CLASS_NAME},
        {a->getSlider(), drawer::slider::win::Thin::CLASS_NAME},
        {a->getCounter(), drawer::counter::win::Basic::CLASS_NAME},
        {a->getListHeader(), drawer::listheader::win::Thin::CLASS_NAME},
        {a->getListBox(), drawer::listbox::win::Thin::CLASS_NAME},
        {a->getStatusBar(), drawer::statusbar::win::Thin::CLASS_NAME},
        {a->getMenu(), drawer::menu::win::Basic::CLASS_NAME},
        {a->getCombo(), drawer::combo::win::Thin::CLASS_NAME},
        {a->getGroupBox(), drawer::groupbox::win::Thin::CLASS_NAME},
        {a->getTabBox(), drawer::tabbox::win::Thin::CLASS_NAME},
    };
    for (const auto& slot : slots) {
        ASSERT_NE(nullptr, slot.first) << slot.second;
        EXPECT_EQ(slot.second, slot.first->className());
    }
    // Two builds of one scheme share nothing.
    EXPECT_NE(a->getText(), b->getText());
    EXPECT_NE(a->getButton(), b->getButton());
    // The colours go where the scheme says: text c3, counter c5 and c6, stripes fixed.
    EXPECT_EQ(RGB(3, 3, 3), a->getText()->getNormalFontSetting()->getTextColour());
    EXPECT_EQ(RGB(3, 3, 3), a->getText()->getDisabledFontSetting()->getTextColour());
    drawer::ICounter* counter = a->getCounter();
    EXPECT_EQ(RGB(5, 5, 5), RGB(counter->getColor1Red(), counter->getColor1Green(), counter->getColor1Blue()));
    EXPECT_EQ(RGB(6, 6, 6), RGB(counter->getColor2Red(), counter->getColor2Green(), counter->getColor2Blue()));
    EXPECT_EQ(RGB(243, 243, 243), a->getListBox()->getStripeColor());
    EXPECT_EQ(RGB(2, 2, 2), a->getListBox()->getSelectionColor());
    EXPECT_EQ(RGB(4, 4, 4), RGB(a->getSlider()->getThumbRed(), a->getSlider()->getThumbGreen(),
                                a->getSlider()->getThumbBlue()));
}

TEST(Skinner, LooksSkinsUpByNameIgnoringCase) {
    Released<Skinner> skinner(Skinner::createThinWindow());
    struct Case {
        const wchar_t* name;
        bool found;
        int32_t index;
    };
    const Case cases[] = {
        {L"White", true, 0}, {L"white", true, 0},   {L"CLASSIC lg", true, 6}, {L"Indigo", true, 15},
        {L"", false, -1},    {L"Whit", false, -1}, {L"White ", false, -1},   {nullptr, false, -1},
    };
    for (const Case& c : cases) {
        int32_t index = 99;
        EXPECT_EQ(c.found, skinner->indexOfSkin(c.name, &index));
        EXPECT_EQ(c.index, index);
    }
    Released<Skinner> empty(Skinner::pool());
    int32_t index = 99;
    EXPECT_FALSE(empty->indexOfSkin(L"White", &index));
    EXPECT_EQ(-1, index);
    EXPECT_FALSE(empty->selectSkin(L"White"));
    EXPECT_EQ(nullptr, empty->getCurrentSkin());
}

TEST(Skinner, SelectingTellsListenersOnlyOfChanges) {
    Released<Skinner> skinner(Skinner::createThinWindow());
    Caption caption(skinner.get());
    EXPECT_FALSE(skinner->addListener(&caption)) << "a listener is added once";
    EXPECT_EQ(1u, skinner->getListenerCount());
    struct Step {
        const wchar_t* name;
        const wchar_t* current;
        int32_t events;
    };
    const Step steps[] = {
        {L"Unknown", L"White", 1},     // an unknown name selects the first skin
        {L"white", L"White", 1},       // already current: nobody is told
        {L"Black", L"Black", 2},       //
        {L"Black", L"Black", 2},       //
        {L"", L"White", 3},            //
        {L"Classic LG", L"Classic LG", 4},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.name);
        skinner->selectSkin(step.name);
        EXPECT_STREQ(step.current, skinner->getCurrentSkin()->getName());
        EXPECT_EQ(step.events, caption.events);
        EXPECT_EQ(skinner->getCurrentSkin()->getText(), caption.text);
    }
    EXPECT_TRUE(skinner->removeListener(&caption));
    EXPECT_FALSE(skinner->removeListener(&caption)) << "absent is no error";
    skinner->selectSkin(L"Indigo");
    EXPECT_EQ(4, caption.events);
    skinner->addListener(&caption);
}

TEST(Skinner, SwitchingWhiteToBlackRepaintsACaptionInTheNewColours) {
    Released<Skinner> skinner(Skinner::createThinWindow());
    skinner->selectSkin(L"White");
    Caption caption(skinner.get());
    const Painted white = paintCaption(caption.text);
    EXPECT_GT(white.black, 10);
    EXPECT_EQ(0, white.white);
    skinner->selectSkin(L"Black");
    EXPECT_EQ(1, caption.events);
    const Painted black = paintCaption(caption.text);
    EXPECT_EQ(0, black.black);
    EXPECT_GT(black.white, 10);
}

TEST(Skinner, AddingNullIsRefusedAndAddedSkinsAreOwned) {
    Released<Skinner> skinner(Skinner::pool());
    EXPECT_STREQ(L"Basic", skinner->getName());
    EXPECT_FALSE(skinner->addSkin(nullptr));
    EXPECT_EQ(0u, skinner->getSkinCount());
    EXPECT_FALSE(skinner->addSkin(Themes::thinWindowSchemeById(5)));
    EXPECT_EQ(0u, skinner->getSkinCount());
    EXPECT_TRUE(skinner->addSkin(Themes::thinWindowSchemeById(19)));
    const int32_t skinsIdle = idle<drawer::skin::ThinWindow>();
    ASSERT_EQ(1u, skinner->getSkinCount());
    EXPECT_STREQ(L"Classic LG", skinner->getSkinNameAt(0));
    skinner->clear();
    EXPECT_EQ(skinsIdle + 1, idle<drawer::skin::ThinWindow>());
}

TEST(Skinner, ClearingGivesEveryDrawerBackToItsPool) {
    Released<Skinner> skinner(Skinner::createThinWindow());
    skinner->selectSkin(L"Black");
    struct Count {
        const char* kind;
        int32_t (*idle)();
        int32_t before;
    };
    Count counts[] = {
        {"skin", &idle<drawer::skin::ThinWindow>, 0},
        {"window", &idle<drawer::window::win::Thin>, 0},
        {"text", &idle<drawer::text::win::Basic>, 0},
        {"scroll bar", &idle<drawer::scrollbar::win::Thin>, 0},
        {"check box", &idle<drawer::checkbox::win::Thin>, 0},
        {"radio button", &idle<drawer::radiobutton::win::Thin>, 0},
        {"slider", &idle<drawer::slider::win::Thin>, 0},
        {"counter", &idle<drawer::counter::win::Basic>, 0},
        {"list header", &idle<drawer::listheader::win::Thin>, 0},
        {"list box", &idle<drawer::listbox::win::Thin>, 0},
        {"status bar", &idle<drawer::statusbar::win::Thin>, 0},
        {"menu", &idle<drawer::menu::win::Basic>, 0},
        {"combo", &idle<drawer::combo::win::Thin>, 0},
        {"group box", &idle<drawer::groupbox::win::Thin>, 0},
        {"tab box", &idle<drawer::tabbox::win::Thin>, 0},
        {"button", &idle<drawer::button::win::Thin>, 0},
    };
    for (Count& c : counts) {
        c.before = c.idle();
    }
    skinner->clear();
    for (const Count& c : counts) {
        SCOPED_TRACE(c.kind);
        // Sixteen skins; drawers held inside other drawers come back too.
        EXPECT_GE(c.idle() - c.before, 16);
    }
    EXPECT_STREQ(L"Basic", skinner->getName());
    EXPECT_EQ(0u, skinner->getSkinCount());
    EXPECT_EQ(nullptr, skinner->getCurrentSkin());
    EXPECT_EQ(0u, skinner->getListenerCount());
}

TEST(Skinner, WidgetsLetGoOfDrawersBeforeTheyAreRecycled) {
    struct Case {
        const char* name;
        bool widgetReleasedFirst;
    };
    for (const Case c : {Case{"windows released first", true}, Case{"skinner cleared under a widget", false}}) {
        SCOPED_TRACE(c.name);
        Released<Skinner> skinner(Skinner::createThinWindow());
        skinner->selectSkin(L"Black");
        auto* caption = new Caption(skinner.get());
        ASSERT_NE(nullptr, caption->text);
        if (c.widgetReleasedFirst) {
            delete caption;
            caption = nullptr;
            EXPECT_EQ(0u, skinner->getListenerCount());
        }
        skinner->clear();
        if (caption != nullptr) {
            EXPECT_EQ(1, caption->events);
            EXPECT_EQ(16u, caption->skinsWhenTold) << "told before the skins went back";
            EXPECT_EQ(nullptr, caption->text);
            delete caption;
        }
    }
}

TEST(Skin, ReplacingADrawerGivesTheOldOneBack) {
    Released<drawer::skin::Thin> skin(drawer::skin::Thin::pool());
    auto* first = drawer::text::win::Basic::pool();
    auto* second = drawer::text::win::Basic::pool();
    skin->setName(L"Scratch");
    skin->setText(first);
    const int32_t before = idle<drawer::text::win::Basic>();
    skin->setText(first);
    EXPECT_EQ(before, idle<drawer::text::win::Basic>()) << "setting the held drawer again keeps it";
    skin->setText(second);
    EXPECT_EQ(before + 1, idle<drawer::text::win::Basic>());
    EXPECT_EQ(second, skin->getText());
    skin->reset();
    EXPECT_EQ(before + 2, idle<drawer::text::win::Basic>());
    EXPECT_EQ(nullptr, skin->getText());
    EXPECT_STREQ(L"", skin->getName());
}
