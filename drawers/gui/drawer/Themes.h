#pragma once
#include <windows.h>

#include <cstdint>

namespace s::gui::drawer {

class ISkin;
class Skinner;

// The built-in colour themes: thirteen six-colour "Thin" schemes and sixteen
// fifteen-colour "ThinWindow" themes (the latter known by a theme id), and the builders
// that turn a name and its colours into a skin of freshly pooled drawers.
class Themes {
public:
    static constexpr int32_t THIN_COLOURS = 6;
    static constexpr int32_t THIN_WINDOW_COLOURS = 15;
    static constexpr int32_t THIN_SCHEMES = 13;
    static constexpr int32_t THIN_WINDOW_SCHEMES = 16;

    // In a Thin scheme c1 is the background, c2 the line and frame colour, c3 the text
    // colour, c4 the slider's thumb, c5 and c6 the counter's colours. Null when no skin
    // can be had.
    static ISkin* buildThinSkin(const wchar_t* name, const COLORREF (&c)[THIN_COLOURS]);
    static ISkin* buildThinWindowSkin(const wchar_t* name, const COLORREF (&c)[THIN_WINDOW_COLOURS]);
    // The ThinWindow theme of that id (1-4, 6-13, 16-19); null for any other id.
    static ISkin* thinWindowSchemeById(int32_t id);
    // Appends the schemes in their fixed order.
    static void addThinSchemes(Skinner* skinner);
    static void addThinWindowSchemes(Skinner* skinner);
};

} // namespace s::gui::drawer
