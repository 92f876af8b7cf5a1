#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IText.h"

namespace s::gui::drawer::text::win {

// Paints and measures one text with a font and the font's effect kind (its user value:
// 0 none, 1 outline, 2 shadow, 3 to 6 engraved and embossed, 7 outline in the third
// colour). Carries five font settings: normal, disabled and three for link states.
class Basic : public IText {
    S_POOLED_CLASS(Basic, 1000, L"s_gui_drawer_text_win_Basic")

public:
    static constexpr int32_t SETTINGS = 5;

    ~Basic() override;
    void reset() override;

    void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* text,
              gui::win::Font* font) override;
    void measure(HDC dc, RECT* rect, const wchar_t* text, gui::win::Font* font, int32_t* width,
                 int32_t* height) override;
    void applyFonts(gui::win::Font* normal, gui::win::Font* disabled = nullptr, gui::win::Font* third = nullptr,
                    gui::win::Font* fourth = nullptr, gui::win::Font* fifth = nullptr) override;
    void applyFontsInheriting(gui::win::Font* normal, gui::win::Font* disabled = nullptr,
                              gui::win::Font* third = nullptr, gui::win::Font* fourth = nullptr,
                              gui::win::Font* fifth = nullptr) override;
    void measureBlock(HDC dc, const wchar_t* text, gui::win::Font* font, int32_t* width, int32_t* height,
                      int32_t* minWidth, int32_t* minHeight) override;
    gui::win::FontSetting* getNormalFontSetting() const override { return settings_[0]; }
    gui::win::FontSetting* getDisabledFontSetting() const override { return settings_[1]; }
    gui::win::FontSetting* getThirdFontSetting() const override { return settings_[2]; }
    gui::win::FontSetting* getFourthFontSetting() const override { return settings_[3]; }
    gui::win::FontSetting* getFifthFontSetting() const override { return settings_[4]; }
    void setCentred(int32_t centred) override { centred_ = centred; }
    int32_t getCentred() const { return centred_; }

    // The extra width and height an effect kind needs beyond the plain text.
    static void effectMargin(int32_t effect, int32_t* width, int32_t* height);

private:
    Basic();
    UINT drawFormat(const gui::win::Font* font) const;

    gui::win::FontSetting* settings_[SETTINGS] = {};
    int32_t centred_ = 0;
};

} // namespace s::gui::drawer::text::win
