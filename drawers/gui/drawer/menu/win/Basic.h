#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IMenu.h"

namespace s::gui::drawer::text::win {
class Basic;
}
namespace s::gui::drawer::combo::win {
class Thin;
}

namespace s::gui::drawer::menu::win {

// A horizontal menu bar (or its drop-down form): entries left to right, the hot one
// filled with the highlight colour, an optional last entry shown as a link.
class Basic : public IMenu {
    S_POOLED_CLASS(Basic, 1000, L"s_gui_drawer_menu_win_Basic")

public:
    static constexpr COLORREF LINK_COLOUR = RGB(0, 0, 204);

    // The skins' menu drawer: text, highlight and highlighted-text colours; no fill
    // behind the hot entry, which moves instead.
    static Basic* newMenuDrawer(COLORREF text, COLORREF highlight, COLORREF highlightText);

    ~Basic() override;
    void reset() override;
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const str::strarray::StrArray* texts,
              const col::_array::ArrayS32* rects, gui::win::Font* font, gui::win::Font* hotFont, int32_t paddingX,
              int32_t paddingY, int32_t hotIndex, bool pressed, bool dropDown, bool rightAlignLast,
              bool lastAsLink) override;
    void layout(const str::strarray::StrArray* texts, gui::win::Font* font, col::_array::ArrayS32* rects,
                int32_t* totalWidth, int32_t* totalHeight, int32_t paddingX, int32_t paddingY, bool extra) override;
    gui::win::FontSetting* getFontSetting() const override { return font_; }
    gui::win::FontSetting* getHighlightFontSetting() const override { return highlightFont_; }
    ICombo* getComboDrawer() const override;
    void setHighlightColor(int32_t red, int32_t green, int32_t blue) override;
    void setTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setHighlightTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setFillHot(bool on) override { fillHot_ = on; }
    void setShiftHot(bool on) override { shiftHot_ = on; }
    COLORREF getHighlightColor() const { return highlight_; }

private:
    Basic();

    gui::win::FontSetting* font_ = nullptr;
    gui::win::FontSetting* highlightFont_ = nullptr;
    COLORREF highlight_ = 0;
    bool fillHot_ = true;
    bool shiftHot_ = false;
    text::win::Basic* text_ = nullptr;
    combo::win::Thin* combo_ = nullptr;
};

} // namespace s::gui::drawer::menu::win
