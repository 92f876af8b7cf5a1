#include "drawers/gui/drawer/ThemeFonts.h"

#include <atomic>
#include <mutex>

#include "drawers/gui/win/FontProperties.h"
#include "system/system/win/DllLocater.h"
#include "system/system/win/OsFacts.h"

namespace s::gui::drawer {

namespace {

std::mutex g_lock;
LOGFONTW g_fonts[ThemeFonts::FONT_COUNT];
std::atomic<bool> g_loaded{false};
// The once-flag of captionFont: 0 not tried, 1 tried.
std::atomic<bool> g_tried{false};
ThemeFonts::BindFn g_bind = nullptr;

bool bindUxTheme(ThemeFonts::Functions* functions) {
    static system::win::DllLocater library(L"UxTheme.dll");
    HMODULE module = library.handle();
    if (module == nullptr) {
        return false;
    }
    functions->openThemeData = reinterpret_cast<ThemeFonts::OpenThemeDataFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "OpenThemeData")));
    functions->closeThemeData = reinterpret_cast<ThemeFonts::CloseThemeDataFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "CloseThemeData")));
    functions->getThemeSysFont = reinterpret_cast<ThemeFonts::GetThemeSysFontFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "GetThemeSysFont")));
    return true;
}

} // namespace

bool ThemeFonts::loadThemeSysFonts() {
    Functions functions = {};
    BindFn bind = g_bind != nullptr ? g_bind : &bindUxTheme;
    if (!bind(&functions)) {
        return false;
    }
    return readThemeSysFonts(functions);
}

bool ThemeFonts::readThemeSysFonts(const Functions& functions) {
    if (functions.openThemeData == nullptr || functions.closeThemeData == nullptr ||
        functions.getThemeSysFont == nullptr) {
        return false;
    }
    HANDLE theme = functions.openThemeData(nullptr, L"WINDOW");
    if (theme == nullptr) {
        return false;
    }
    LOGFONTW read[FONT_COUNT] = {};
    bool captionRead = false;
    for (int32_t i = 0; i < FONT_COUNT; ++i) {
        const HRESULT result = functions.getThemeSysFont(theme, FIRST_FONT_ID + i, &read[i]);
        if (i == 0) {
            captionRead = SUCCEEDED(result) && read[0].lfFaceName[0] != L'\0';
        }
    }
    functions.closeThemeData(theme);
    if (!captionRead) {
        return false;
    }
    std::lock_guard<std::mutex> hold(g_lock);
    for (int32_t i = 0; i < FONT_COUNT; ++i) {
        g_fonts[i] = read[i];
    }
    g_loaded = true;
    return true;
}

bool ThemeFonts::themeFontsLoaded() {
    return g_loaded;
}

bool ThemeFonts::font(int32_t index, LOGFONTW* out) {
    if (index < 0 || index >= FONT_COUNT || out == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> hold(g_lock);
    if (!g_loaded) {
        return false;
    }
    *out = g_fonts[index];
    return true;
}

bool ThemeFonts::captionFont(LOGFONTW* out) {
    if (!g_tried.exchange(true) && system::win::OsFacts::isVistaOrLater()) {
        loadThemeSysFonts();
    }
    return font(0, out);
}

void ThemeFonts::install() {
    win::setCaptionFontSource(&ThemeFonts::captionFont);
}

void ThemeFonts::setBinder(BindFn bind) {
    g_bind = bind;
}

void ThemeFonts::forget() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_loaded = false;
    g_tried = false;
}

} // namespace s::gui::drawer
