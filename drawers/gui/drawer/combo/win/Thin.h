#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/ICombo.h"

namespace s::gui::drawer::button::win {
class Thin;
}
namespace s::gui::drawer::text::win {
class Basic;
}

namespace s::gui::drawer::combo::win {

// A closed drop-down list: a framed button, the selected text, a separator and the
// "#Down" arrow in the frame colour.
class Thin : public ICombo {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_combo_win_Thin")

public:
    // The skins' combo drawer: text colour, then frame colour.
    static Thin* newComboDrawer(int32_t textRed, int32_t textGreen, int32_t textBlue, int32_t frameRed,
                                int32_t frameGreen, int32_t frameBlue);

    ~Thin() override;
    void reset() override;
    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, const wchar_t* text,
              gui::win::Font* font, bool enabled) override;
    void setTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setDisabledTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setFrameColor(int32_t red, int32_t green, int32_t blue) override;
    void applyFonts(gui::win::Font* font, gui::win::Font* disabledFont) override;
    COLORREF getFrameColor() const { return frame_; }

    // Where the text goes for a state, in the rectangle's coordinates.
    static RECT textArea(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, int32_t scale);

private:
    Thin();

    text::win::Basic* text_ = nullptr;
    button::win::Thin* button_ = nullptr;
    COLORREF frame_ = 0;
};

} // namespace s::gui::drawer::combo::win
