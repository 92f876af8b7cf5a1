// Theme fonts: the live visual-styles library, and through the binder seam every way the
// read can fail; fonts reset after install take the theme's face.
#include <gtest/gtest.h>

#include <cwchar>

#include "drawers/gui/drawer/ThemeFonts.h"
#include "support/Released.h"
#include "drawers/gui/win/FontSetting.h"
#include "system/system/win/OsFacts.h"

using s::gui::drawer::ThemeFonts;
using s::system::win::OsFacts;

namespace {

int g_binds = 0;
int g_opens = 0;
int g_closes = 0;
bool g_openFails = false;
bool g_captionFails = false;
const HANDLE FAKE_THEME = reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x1234));

HANDLE WINAPI fakeOpen(HWND, LPCWSTR classes) {
    ++g_opens;
    return g_openFails || std::wcscmp(classes, L"WINDOW") != 0 ? nullptr : FAKE_THEME;
}
HRESULT WINAPI fakeClose(HANDLE) {
    ++g_closes;
    return S_OK;
}
HRESULT WINAPI fakeFont(HANDLE theme, int id, LOGFONTW* font) {
    if (theme != FAKE_THEME || (id == 801 && g_captionFails)) {
        return E_FAIL;
    }
    std::swprintf(font->lfFaceName, LF_FACESIZE, L"Face %d", id);
    font->lfHeight = -id;
    return S_OK;
}

bool bindAll(ThemeFonts::Functions* f) {
    ++g_binds;
    *f = {&fakeOpen, &fakeClose, &fakeFont};
    return true;
}
bool bindNoLibrary(ThemeFonts::Functions*) {
    ++g_binds;
    return false;
}
bool bindNoExport(ThemeFonts::Functions* f) {
    ++g_binds;
    *f = {&fakeOpen, &fakeClose, nullptr};
    return true;
}

struct Reset {
    Reset() { clear(); }
    ~Reset() {
        clear();
        ThemeFonts::setBinder(nullptr);
        OsFacts::inject(nullptr);
        s::gui::win::setCaptionFontSource(nullptr);
    }
    static void clear() {
        ThemeFonts::forget();
        g_binds = g_opens = g_closes = 0;
        g_openFails = g_captionFails = false;
    }
};

} // namespace

TEST(ThemeFonts, LiveLibraryGivesTheMeasuredFace) {
    Reset reset;
    ASSERT_TRUE(ThemeFonts::loadThemeSysFonts());
    EXPECT_TRUE(ThemeFonts::themeFontsLoaded());
    LOGFONTW caption = {};
    ASSERT_TRUE(ThemeFonts::font(0, &caption));
    EXPECT_STREQ(L"MS Shell Dlg", caption.lfFaceName);
    EXPECT_EQ(-11, caption.lfHeight);
    LOGFONTW outside = {};
    EXPECT_FALSE(ThemeFonts::font(6, &outside));
}

TEST(ThemeFonts, EveryFailureLeavesTheFontsUnloaded) {
    struct Case {
        const char* name;
        ThemeFonts::BindFn bind;
        bool openFails, captionFails, loaded;
        int opens, closes;
    };
    const Case cases[] = {
        {"all there", &bindAll, false, false, true, 1, 1},
        {"no library", &bindNoLibrary, false, false, false, 0, 0},
        {"no export", &bindNoExport, false, false, false, 0, 0},
        {"open fails", &bindAll, true, false, false, 1, 0},
        {"caption read fails", &bindAll, false, true, false, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset reset;
        ThemeFonts::setBinder(c.bind);
        g_openFails = c.openFails;
        g_captionFails = c.captionFails;
        EXPECT_EQ(c.loaded, ThemeFonts::loadThemeSysFonts());
        EXPECT_EQ(c.loaded, ThemeFonts::themeFontsLoaded());
        EXPECT_EQ(c.opens, g_opens);
        EXPECT_EQ(c.closes, g_closes);
        LOGFONTW icon = {};
        EXPECT_EQ(c.loaded, ThemeFonts::font(5, &icon));
        if (c.loaded) {
            EXPECT_STREQ(L"Face 806", icon.lfFaceName);
        }
    }
}

TEST(ThemeFonts, CaptionFontIsReadOnceAndOnlyFromVistaOn) {
    struct Case {
        const char* name;
        uint32_t major, minor;
        bool themed;
        int binds;
    };
    const Case cases[] = {{"XP", 5, 1, false, 0}, {"Server 2003", 5, 2, false, 0}, {"Vista", 6, 0, true, 1}, {"7", 6, 1, true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset reset;
        const OsFacts::Facts facts = OsFacts::derive(c.major, c.minor, 2600, true, false);
        OsFacts::inject(&facts);
        ThemeFonts::setBinder(&bindAll);
        ThemeFonts::install();
        Released<s::gui::win::FontSetting> setting(s::gui::win::FontSetting::pool());
        setting->reset();
        setting->reset();
        EXPECT_STREQ(c.themed ? L"Face 801" : L"MS Shell Dlg 2", setting->getFaceName());
        // Only the face comes from the theme.
        EXPECT_NE(-801, setting->getHeight());
        EXPECT_EQ(c.binds, g_binds);
        EXPECT_EQ(c.binds, g_opens);
    }
}
