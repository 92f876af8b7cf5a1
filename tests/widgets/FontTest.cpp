// Fonts and font settings: font codes at every UI scale, explicit choices surviving
// inheritance, settings applied by skins, face names, and the GDI font's lifetime.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "support/Released.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/win/FontSetting.h"
#include "system/monitor/UiScale.h"

using s::gui::win::Font;
using s::gui::win::FontProperties;
using s::gui::win::FontSetting;
namespace monitor = s::system::monitor;

namespace {

int32_t g_width = 1280;
int32_t g_height = 1024;

void screenOfScale(int32_t* width, int32_t* height) {
    *width = g_width;
    *height = g_height;
}

// Pretends a screen of the given UI scale for the holder's scope.
struct ScaleScope {
    explicit ScaleScope(int32_t scale) {
        g_width = scale == 4 ? 4100 : scale == 2 ? 2560 : 1280;
        g_height = scale == 4 ? 3240 : scale == 2 ? 1700 : 1024;
        monitor::setScreenSizeFunction(&screenOfScale);
    }
    ~ScaleScope() { monitor::setScreenSizeFunction(nullptr); }
};

bool isLiveFont(HGDIOBJ handle) {
    return handle != nullptr && GetObjectType(handle) == OBJ_FONT;
}

bool themeWithFace(LOGFONTW* font) {
    font->lfHeight = -11;
    font->lfWeight = 700;
    font->lfItalic = 1;
    wcscpy(font->lfFaceName, L"Themed Face");
    return true;
}

bool themeRefusing(LOGFONTW*) {
    return false;
}

} // namespace

TEST(Font, CodesGiveWeightAndHeightPerScale) {
    struct Case {
        int32_t code, scale, weight, height;
    };
    const Case cases[] = {
        {0, 1, 400, -13},     {0, 2, 400, -27},     {0, 4, 400, -53},   {-2, 1, 400, -11},
        {4, 1, 400, -19},     {104, 1, 700, -24},   {-104, 1, 700, -13}, {-104, 2, 700, -27},
        {100001, 1, 400, -11}, {100001, 4, 400, -43}, {20, 4, 400, -13}, {-9, 1, 400, -1},
        {-9, 2, 400, -3},     {90, 2, 400, -13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " at scale " << c.scale);
        ScaleScope scale(c.scale);
        Released<Font> font(Font::pool());
        font->setWeight(100);
        font->setHeight(-99);
        font->reset();
        font->setFontCode(c.code);
        EXPECT_EQ(c.weight, font->getWeight());
        EXPECT_EQ(c.height, font->getHeight());
        EXPECT_EQ(0, font->getWidth());
        EXPECT_EQ(c.code, font->getFontCode());
        EXPECT_FALSE(font->isCustomised());
    }
}

TEST(Font, CodesOutsideTheRangesChangeNothingButTheCode) {
    for (int32_t code : {5000, -1000, 100000, 100002}) {
        SCOPED_TRACE(code);
        Released<FontSetting> setting(FontSetting::pool());
        setting->setFontCode(104);
        setting->setFontCode(code);
        EXPECT_EQ(700, setting->getWeight());
        EXPECT_EQ(-24, setting->getHeight());
        EXPECT_EQ(code, setting->getFontCode());
    }
}

TEST(Font, ExplicitChoicesOutliveCodesAndInheritance) {
    struct Case {
        const char* name;
        void (*choose)(FontProperties&);
        int32_t weightAfterCode, heightAfterCode;
        int32_t weightInherited, heightInherited;
    };
    // The source is bold at weight 600 and 20 px; font code 0 asks for 400 and -13.
    const Case cases[] = {
        {"nothing chosen", [](FontProperties&) {}, 400, -13, 700, -20},
        {"bold", [](FontProperties& f) { f.setBold(true); }, 700, -13, 700, -20},
        {"not bold", [](FontProperties& f) { f.setBold(false); }, 400, -13, 400, -20},
        {"weight alone", [](FontProperties& f) { f.setWeight(300); }, 400, -13, 700, -20},
        {"height", [](FontProperties& f) { f.setHeight(-30); }, 400, -30, 700, -30},
        {"width", [](FontProperties& f) { f.setWidth(7); }, 400, -13, 700, -13},
        {"points", [](FontProperties& f) { f.setPointSize(30); }, 400, -40, 700, -40},
    };
    Released<FontSetting> source(FontSetting::pool());
    source->setWeight(600);
    source->setHeight(-20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScaleScope scale(1);
        Released<Font> font(Font::pool());
        c.choose(*font);
        font->setFontCode(0);
        EXPECT_EQ(c.weightAfterCode, font->getWeight());
        EXPECT_EQ(c.heightAfterCode, font->getHeight());
        font->inheritFromSetting(source.get());
        EXPECT_EQ(c.weightInherited, font->getWeight());
        EXPECT_EQ(c.heightInherited, font->getHeight());
        EXPECT_EQ(c.choose != cases[0].choose, font->isCustomised());
    }
}

TEST(Font, InheritingAndApplyingTakeTheirOwnShareOfASetting) {
    Released<FontSetting> skin(FontSetting::pool());
    skin->setTextColour(1, 2, 3);
    skin->setUnderline(true);
    skin->setUserValue(2);
    skin->setFontCode(104);

    struct Case {
        const char* name;
        bool inherit;
        bool ownColour;
        uint32_t colour;
        bool underline;
        int32_t weight;
    };
    const Case cases[] = {
        {"applied", false, false, 0x030201, true, 400},
        {"applied over own colour", false, true, 0x030201, true, 400},
        {"inherited", true, false, 0x030201, true, 700},
        {"inherited under own colour", true, true, 0x0000FF, true, 700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Released<Font> font(Font::pool());
        if (c.ownColour) {
            font->setTextColour(255, 0, 0);
        }
        if (c.inherit) {
            font->inheritFromSetting(skin.get());
        } else {
            font->applySetting(skin.get());
        }
        EXPECT_EQ(c.colour, font->getTextColour());
        EXPECT_EQ(c.underline, font->isUnderline());
        EXPECT_EQ(c.weight, font->getWeight());
        EXPECT_EQ(2, font->getUserValue());
        // What the font chose is all it records as chosen.
        EXPECT_EQ(c.ownColour, font->isCustomised());
    }
}

TEST(Font, QualityAndColoursInheritUnlessChosen) {
    Released<Font> source(Font::pool());
    source->setClearType(false);
    source->setSecondaryColour(10, 20, 30);
    source->setItalic(true);
    source->setStrikeOut(true);
    Released<Font> plain(Font::pool());
    plain->inheritFrom(source.get());
    EXPECT_FALSE(plain->isClearType());
    EXPECT_EQ(0x1E140Au, plain->getSecondaryColour());
    EXPECT_TRUE(plain->isItalic());
    EXPECT_TRUE(plain->isStrikeOut());

    Released<Font> chosen(Font::pool());
    chosen->setClearType(true);
    chosen->setSecondaryColour(256 + 1, -1, 0);
    chosen->setItalic(false);
    chosen->inheritFrom(source.get());
    EXPECT_TRUE(chosen->isClearType());
    EXPECT_EQ(0x00FF01u, chosen->getSecondaryColour());
    EXPECT_FALSE(chosen->isItalic());
    EXPECT_TRUE(chosen->isStrikeOut());
}

TEST(Font, FaceNamesAreBoundedAndComeFromTheTheme) {
    const std::wstring forty(40, L'F');
    Released<Font> font(Font::pool());
    font->setFaceName(forty.c_str());
    EXPECT_EQ(forty.substr(0, 31), font->getFaceName());
    EXPECT_TRUE(isLiveFont(font->getHandle()));

    struct Case {
        s::gui::win::CaptionFontSource source;
        const wchar_t* face;
    };
    const Case cases[] = {{nullptr, L"MS Shell Dlg 2"}, {&themeRefusing, L"MS Shell Dlg 2"}, {&themeWithFace, L"Themed Face"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.face);
        ScaleScope scale(2);
        s::gui::win::setCaptionFontSource(c.source);
        Released<FontSetting> setting(FontSetting::pool());
        // A pooled setting was reset when it was given back; reset it under this theme.
        setting->reset();
        EXPECT_STREQ(c.face, setting->getFaceName());
        // Only the face survives from the theme.
        EXPECT_EQ(-27, setting->getHeight());
        EXPECT_EQ(400, setting->getWeight());
        EXPECT_FALSE(setting->isItalic());
        EXPECT_TRUE(setting->isClearType());
        EXPECT_EQ(0u, setting->getTextColour());
        EXPECT_EQ(0xEEEEEEu, setting->getSecondaryColour());
        EXPECT_EQ(0xEEEEEEu, setting->getTertiaryColour());
    }
    s::gui::win::setCaptionFontSource(nullptr);
}

TEST(Font, SettingsMakeFontsWithEverythingCarried) {
    Released<FontSetting> setting(FontSetting::pool());
    setting->setFaceName(L"Carried");
    setting->setBold(true);
    setting->setWordWrap(true);
    setting->setEndEllipsis(true);
    setting->setUserValue(7);
    setting->setFontCode(2);
    Released<Font> font(setting->createFont());
    ASSERT_NE(nullptr, font);
    EXPECT_TRUE(font->isCreated());
    EXPECT_STREQ(L"Carried", font->getFaceName());
    EXPECT_EQ(700, font->getWeight());
    EXPECT_TRUE(font->getWordWrap());
    EXPECT_TRUE(font->getEndEllipsis());
    EXPECT_EQ(7, font->getUserValue());
    EXPECT_EQ(2, font->getFontCode());
    EXPECT_EQ(setting->getExplicitFlags(), font->getExplicitFlags());
    LOGFONTW made = {};
    ASSERT_EQ(int(sizeof(made)), GetObjectW(font->getHandle(), sizeof(made), &made));
    EXPECT_EQ(setting->getHeight(), made.lfHeight);
    EXPECT_EQ(700, made.lfWeight);
}

TEST(Font, GdiFontIsRemadeOnChangeAndTheOldOneOutlivesIt) {
    Released<Font> font(Font::pool());
    EXPECT_FALSE(font->isCreated());
    HFONT first = font->getHandle();
    ASSERT_TRUE(isLiveFont(first));
    const int32_t small = font->measureTextHeight();
    EXPECT_GT(small, 0);

    // The same description keeps the same handle.
    font->setBold(false);
    EXPECT_EQ(first, font->getHandle());

    font->setHeight(font->getHeight() * 3);
    HFONT second = font->getHandle();
    EXPECT_NE(first, second);
    // A control may still hold the first until it is sent the second.
    EXPECT_TRUE(isLiveFont(first));
    EXPECT_GT(font->measureTextHeight(), small * 2);

    font->setItalic(true);
    EXPECT_TRUE(isLiveFont(second));
    EXPECT_FALSE(isLiveFont(first));

    HFONT third = font->getHandle();
    font->reset();
    EXPECT_FALSE(isLiveFont(third));
    EXPECT_FALSE(isLiveFont(second));
}

TEST(Font, BoundDeviceContextFollowsTheTextColour) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(nullptr, dc);
    Released<Font> font(Font::pool());
    Released<FontSetting> skin(FontSetting::pool());
    skin->setTextColour(0, 128, 0);
    font->bindDeviceContext(dc);
    EXPECT_EQ(0u, GetTextColor(dc));
    font->setTextColour(1, 2, 3);
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(dc));
    font->applySetting(skin.get());
    EXPECT_EQ(RGB(0, 128, 0), GetTextColor(dc));
    font->bindDeviceContext(nullptr);
    font->setTextColour(9, 9, 9);
    EXPECT_EQ(RGB(0, 128, 0), GetTextColor(dc));
    DeleteDC(dc);
}
