#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IListBox.h"

namespace s::gui::drawer::button::win {
class Thin;
}
namespace s::gui::drawer::text::win {
class Basic;
}
namespace s::image::win {
class BufferedImage;
}

namespace s::gui::drawer::listbox::win {

// One row of a list as the list-box drawers paint it.
struct ListRow {
    RECT bounds;
    const wchar_t* text;
    int32_t index;     // odd rows are striped
    bool selected;
    int32_t depth;     // tree level, indented 15 UI units each
    int32_t expander;  // 0 none, 1 closed, 2 open
    int32_t check;     // -1 no check box, 0 unchecked, 1 checked
    ::s::image::win::BufferedImage* picture;
};

// List rows: stripes, selection, tree expanders, check boxes, a picture and the text.
class Basic : public IListBox {
    S_POOLED_CLASS(Basic, 1000, L"s_gui_drawer_listbox_win_Basic")

public:
    static constexpr int32_t INDENT = 15;

    // Background, item text, selection, selected text and stripe colours.
    static Basic* newListBoxDrawer(COLORREF background, COLORREF text, COLORREF selection, COLORREF selectedText,
                                   COLORREF stripe);

    ~Basic() override;
    void reset() override;
    // The colours newListBoxDrawer sets, all at once.
    void setColours(COLORREF background, COLORREF text, COLORREF selection, COLORREF selectedText, COLORREF stripe);

    void drawBackground(HDC dc, const RECT& rect) override;
    void drawItem(HDC dc, const ListRow& row, gui::win::Font* font, gui::win::Font* selectedFont);
    bool hitExpander(int32_t x, int32_t y, bool hasCheck, int32_t depth) const override;
    bool hitCheck(int32_t x, int32_t y, int32_t depth) const override;
    uint32_t getSelectionColor() const override { return selection_; }
    void setSelectionColor(int32_t red, int32_t green, int32_t blue) override;
    uint32_t getBackgroundColor() const override { return background_; }
    uint8_t getBackgroundRed() const override { return GetRValue(background_); }
    uint8_t getBackgroundGreen() const override { return GetGValue(background_); }
    uint8_t getBackgroundBlue() const override { return GetBValue(background_); }
    void setBackgroundColor(int32_t red, int32_t green, int32_t blue) override;
    void applyFonts(gui::win::Font* font, gui::win::Font* selectedFont) override;
    gui::win::FontSetting* getItemFontSetting() const override;
    gui::win::FontSetting* getSelectedFontSetting() const override;
    void setTextColor(int32_t red, int32_t green, int32_t blue) override;
    void setSelectedTextColor(int32_t red, int32_t green, int32_t blue) override;
    uint8_t getStripeRed() const override { return GetRValue(stripe_); }
    uint8_t getStripeGreen() const override { return GetGValue(stripe_); }
    uint8_t getStripeBlue() const override { return GetBValue(stripe_); }
    uint32_t getStripeColor() const override { return stripe_; }
    void setStripeColor(int32_t red, int32_t green, int32_t blue) override;

private:
    Basic();

    COLORREF selection_ = 0;
    COLORREF background_ = 0;
    COLORREF stripe_ = 0;
    text::win::Basic* itemText_ = nullptr;
    text::win::Basic* selectedText_ = nullptr;
    button::win::Thin* button_ = nullptr;
};

} // namespace s::gui::drawer::listbox::win
