#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IRadioButton.h"

namespace s::gui::drawer::text::win {
class Basic;
}

namespace s::gui::drawer::radiobutton::win {

// A flat radio button: a ring drawn at four times the size and shrunk to 13 x 13
// pixels (at every UI scale), a dot inside when selected, the caption to the right.
class Thin : public IRadioButton {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_radiobutton_win_Thin")

public:
    static constexpr int32_t ZOOM = 52;
    static constexpr int32_t CIRCLE = 13;

    // The skins' radio button: ring colour, then text colour.
    static Thin* newRadioButtonDrawer(COLORREF ring, COLORREF text);

    ~Thin() override;
    void reset() override;

    void setFlag(bool on) override { flag_ = on; }
    void setTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setDisabledTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setRingColor(int32_t red, int32_t green, int32_t blue) override;
    void setDotColor(int32_t red, int32_t green, int32_t blue) override;
    void applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) override;
    // Without zoomDc the ring is drawn on a scratch picture of its own.
    void draw(HDC dc, HDC zoomDc, int32_t left, int32_t top, int32_t right, int32_t bottom, bool checked,
              const wchar_t* caption, gui::win::Font* font, uint32_t colour) override;

    COLORREF getRingColor() const { return ring_; }
    COLORREF getDotColor() const { return dot_; }
    gui::win::FontSetting* getNormalFontSetting() const;

private:
    Thin();
    void drawCircle(HDC dc, HDC zoomDc, int32_t x, int32_t y, bool checked, COLORREF background) const;

    bool flag_ = false;
    COLORREF ring_ = 0;
    COLORREF dot_ = 0;
    text::win::Basic* text_ = nullptr;
};

} // namespace s::gui::drawer::radiobutton::win
