#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::drawer {

// The six themed system fonts (caption, small caption, menu, status, message box, icon
// title), read once from the visual-styles library, which is looked up at run time so
// the program also starts where it is missing.
class ThemeFonts {
public:
    typedef HANDLE(WINAPI* OpenThemeDataFn)(HWND window, LPCWSTR classes);
    typedef HRESULT(WINAPI* CloseThemeDataFn)(HANDLE theme);
    typedef HRESULT(WINAPI* GetThemeSysFontFn)(HANDLE theme, int fontId, LOGFONTW* font);
    struct Functions {
        OpenThemeDataFn openThemeData;
        CloseThemeDataFn closeThemeData;
        GetThemeSysFontFn getThemeSysFont;
    };
    // Fills the three functions (null where an export is missing); false when the
    // library cannot be loaded.
    typedef bool (*BindFn)(Functions* functions);

    static constexpr int32_t FIRST_FONT_ID = 801; // TMT_CAPTIONFONT
    static constexpr int32_t FONT_COUNT = 6;

    // Binds the library and reads the fonts; true only when they were loaded.
    static bool loadThemeSysFonts();
    // Reads the six fonts through the given functions. Loaded only when the caption
    // font was read with a face; the records are published whole.
    static bool readThemeSysFonts(const Functions& functions);
    static bool themeFontsLoaded();
    // Font `index` (0 caption .. 5 icon title); false while not loaded.
    static bool font(int32_t index, LOGFONTW* out);

    // The caption font as the toolkit's fonts start from it: loaded once per process,
    // and only on Windows Vista or later.
    static bool captionFont(LOGFONTW* out);
    // Makes the toolkit's fonts take their face from captionFont.
    static void install();

    // Tests: another library binder (null: UxTheme.dll), and forgetting what was read.
    static void setBinder(BindFn bind);
    static void forget();
};

} // namespace s::gui::drawer
