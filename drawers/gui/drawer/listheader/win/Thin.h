#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IListHeader.h"

namespace s::gui::drawer::button::win {
class Thin;
}

namespace s::gui::drawer::listheader::win {

// A list's column header: a background band and one framed button per column.
class Thin : public IListHeader {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_listheader_win_Thin")

public:
    // The skins' header: content moving with the state, frame and background colours.
    static Thin* newListHeaderDrawer(COLORREF frame, COLORREF background);

    ~Thin() override;
    void reset() override;

    void drawBackground(HDC dc, const RECT& rect, bool useGiven, int32_t red, int32_t green, int32_t blue) override;
    void drawItem(HDC dc, const RECT& rect, int32_t state, const wchar_t* caption, gui::win::Font* font) override;
    void setPressShift(bool on) override;
    uint8_t getFrameRed() const override { return GetRValue(frame_); }
    uint8_t getFrameGreen() const override { return GetGValue(frame_); }
    uint8_t getFrameBlue() const override { return GetBValue(frame_); }
    void setFrameColor(int32_t red, int32_t green, int32_t blue) override;
    uint8_t getBackgroundRed() const override { return GetRValue(background_); }
    uint8_t getBackgroundGreen() const override { return GetGValue(background_); }
    uint8_t getBackgroundBlue() const override { return GetBValue(background_); }
    void setBackgroundColor(int32_t red, int32_t green, int32_t blue) override;
    gui::win::FontSetting* getCaptionFontSetting() const override;
    void setHeight(int32_t height) override { height_ = height; }
    int32_t getHeight() const override { return height_; }
    bool getPressShift() const { return pressShift_; }
    // The caption colour (of the button's caption font setting).
    void setCaptionColor(int32_t red, int32_t green, int32_t blue);

private:
    Thin();

    bool pressShift_ = true;
    int32_t corners_ = 0;
    COLORREF frame_ = 0;
    COLORREF background_ = 0;
    button::win::Thin* button_ = nullptr;
    int32_t height_ = 22;
};

} // namespace s::gui::drawer::listheader::win
