#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/listbox/win/Basic.h"

namespace s::gui::drawer::listbox::win {

// The flat list box: a Basic list-box drawer with lighter stripes, to which it hands
// every operation.
class Thin : public IListBox {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_listbox_win_Thin")

public:
    // Background, item text, selection, selected text and stripe colours.
    static Thin* newListBoxDrawer(COLORREF background, COLORREF text, COLORREF selection, COLORREF selectedText,
                                  COLORREF stripe);

    ~Thin() override;
    void reset() override;

    void drawBackground(HDC dc, const RECT& rect) override { inner_->drawBackground(dc, rect); }
    void drawItem(HDC dc, const ListRow& row, gui::win::Font* font, gui::win::Font* selectedFont) {
        inner_->drawItem(dc, row, font, selectedFont);
    }
    bool hitExpander(int32_t x, int32_t y, bool hasCheck, int32_t depth) const override {
        return inner_->hitExpander(x, y, hasCheck, depth);
    }
    bool hitCheck(int32_t x, int32_t y, int32_t depth) const override { return inner_->hitCheck(x, y, depth); }
    uint32_t getSelectionColor() const override { return inner_->getSelectionColor(); }
    void setSelectionColor(int32_t red, int32_t green, int32_t blue) override {
        inner_->setSelectionColor(red, green, blue);
    }
    uint32_t getBackgroundColor() const override { return inner_->getBackgroundColor(); }
    uint8_t getBackgroundRed() const override { return inner_->getBackgroundRed(); }
    uint8_t getBackgroundGreen() const override { return inner_->getBackgroundGreen(); }
    uint8_t getBackgroundBlue() const override { return inner_->getBackgroundBlue(); }
    void setBackgroundColor(int32_t red, int32_t green, int32_t blue) override {
        inner_->setBackgroundColor(red, green, blue);
    }
    void applyFonts(gui::win::Font* font, gui::win::Font* selectedFont) override {
        inner_->applyFonts(font, selectedFont);
    }
    gui::win::FontSetting* getItemFontSetting() const override { return inner_->getItemFontSetting(); }
    gui::win::FontSetting* getSelectedFontSetting() const override { return inner_->getSelectedFontSetting(); }
    void setTextColor(int32_t red, int32_t green, int32_t blue) override { inner_->setTextColor(red, green, blue); }
    void setSelectedTextColor(int32_t red, int32_t green, int32_t blue) override {
        inner_->setSelectedTextColor(red, green, blue);
    }
    uint8_t getStripeRed() const override { return inner_->getStripeRed(); }
    uint8_t getStripeGreen() const override { return inner_->getStripeGreen(); }
    uint8_t getStripeBlue() const override { return inner_->getStripeBlue(); }
    uint32_t getStripeColor() const override { return inner_->getStripeColor(); }
    void setStripeColor(int32_t red, int32_t green, int32_t blue) override { inner_->setStripeColor(red, green, blue); }

private:
    Thin();

    Basic* inner_ = nullptr;
};

} // namespace s::gui::drawer::listbox::win
