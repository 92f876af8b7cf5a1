#pragma once
#include <windows.h>

#include <vector>

#include "framework/CBrush.h"
#include "framework/CComboBox.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/IComboBox.h"
#include "widgets/gui/win/DrawerHold.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"

namespace s::gui::win {

class Font;

// The toolkit's drop-down list. Items and the selection live in the object and are
// pushed into the native control when it is made; entries are drawn from the items (so
// a language change shows at once), the closed field through the skin's combo drawer
// when one is set.
//
//   ComboBox* c = ComboBox::createWithWidthPercent(100, -1);
//   c->addItem(ComboBoxItem::createWithText(L"MP3", 1, 0, 0));
//   c->addSelectionListener(this);
//   box->add(c);
class ComboBox : public Native<Leaf<IComboBox>, CComboBox> {
    S_POOLED_CLASS(ComboBox, 1000, L"s_gui_win_ComboBox")
public:
    static constexpr UINT CONTROL_ID = 1020;
    static constexpr DWORD STYLE = WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    // Past this many entries the open list shows a scroll bar.
    static constexpr int32_t SCROLL_ENTRIES = 30;
    // The open list's frame, top and bottom together.
    static constexpr int32_t LIST_BORDER = 2;
    // Height of the open list for count rows of rowHeight: up to SCROLL_ENTRIES rows, no
    // more than fit in the larger room below or above the field (at least one row).
    static int32_t dropDownHeight(int32_t count, int32_t rowHeight, int32_t below, int32_t above);
    // Preferred width of a field showing text textWidth wide: painted by a drawer (drawn)
    // or natively, at UI scale scale; never below the least 50 x scale.
    static int32_t fieldWidthFor(int32_t textWidth, bool drawn, int32_t scale);

    static ComboBox* createWithWidthPercent(double widthPercent, int32_t fixedHeight);
    static ComboBox* createWithSize(int32_t fixedWidth, int32_t fixedHeight);
    ~ComboBox() override;
    void reset() override;

    void onEvent(base::IObject* source, int32_t code) override;
    void takeSkinDrawer(drawer::ISkin* skin) override;
    void takeBasicDrawer() override;
    // Above UI scale 1 a combo box without a skin paints its own field and arrow, scaled:
    // the native arrow keeps its size at every scale. Null at scale 1.
    static drawer::ICombo* scaledBasicDrawer();
    drawer::ICombo* getDrawer() const { return drawer_.get(); }
    void setParent(IContainer* container) override;
    bool isEnabled() const override { return enabled_ != 0; }
    void setEnabled(bool enabled) override;

    int32_t getItemCount() const override { return static_cast<int32_t>(items_.size()); }
    Item* getItem(int32_t index) const override;
    void addItem(Item* item) override { insertItem(getItemCount(), item); }
    void insertItem(int32_t index, Item* item) override;
    Item* removeItem(Item* item) override;
    Item* removeAt(int32_t index) override;
    bool deleteItem(Item* item) override;
    bool deleteAt(int32_t index) override;
    bool deleteByValue(int32_t value) override;
    bool deleteSelected() override;
    void setSelectedIndex(int32_t index, bool notify) override;
    bool selectByValue(int32_t value, bool notify) override;
    int32_t getSelectedIndex() const override { return current_; }
    Item* getSelectedItem() const override { return getItem(current_); }
    int32_t getPreviousIndex() const override { return previous_; }
    Item* getPreviousItem() const override { return getItem(previous_); }
    void setFontPreview(bool on) override { fontPreview_ = on ? 1 : 0; }
    int32_t getFieldFontCode() const override;
    void setFieldFontCode(int32_t code) override;
    int32_t getFontCode() const override;
    void setFontCode(int32_t code) override;
    const wchar_t* getFaceName() const override;
    void setFaceName(const wchar_t* face) override;
    int32_t getFontHeight() const override;
    void setFontHeight(int32_t height) override;
    uint32_t getTextColour() const override;
    void setTextColour(int32_t red, int32_t green, int32_t blue) override;
    int32_t getFontWidth() const override;
    void setFontWidth(int32_t width) override;
    bool isBold() const override;
    void setBold(bool on) override;
    bool isItalic() const override;
    void setItalic(bool on) override;
    bool isUnderline() const override;
    void setUnderline(bool on) override;
    bool isStrikeOut() const override;
    void setStrikeOut(bool on) override;
    int32_t getFontWeight() const override;
    void setFontWeight(int32_t weight) override;
    void fillParent() override { setPercentSize(100, 100); }
    void setWidthPercent(int32_t percent) override { setPercentSize(percent, state_.heightPercent); }
    void setHeightPercent(int32_t percent) override { setPercentSize(state_.widthPercent, percent); }
    void setFixedWidth(int32_t width) override { setFixedSize(width, state_.fixedHeight); }
    void setFixedHeight(int32_t height) override { setFixedSize(state_.fixedWidth, height); }
    void addSelectionListener(events::IEventListener* listener) override { listeners_.add(listener); }
    void setDrawer(drawer::ICombo* drawer, bool owned) override;

    bool isOpen() const { return open_ != 0; }
    Font* getMainFont() const { return font_; }
    // The font a drawer paints the closed field's caption with.
    Font* getFieldFont() const { return enabled_ != 0 ? fieldFont_ : disabledFieldFont_; }
    // The font the closed field is painted and measured with: the field font, at the main
    // font's size for a drawer the box owns (it stands in for the native field), bold for
    // an entry flagged so. Its own copy: the field fonts stay as set.
    Font* fieldPaintFont(const Item* item) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The first visible row when the list opens: the previous one while the selection
    // stays within a page of it, else the selection centred (with more than 3 rows).
    // -1: leave the list as it is.
    static int32_t topIndexFor(int32_t selection, int32_t rememberedTop, int32_t rows);

private:
    ComboBox();
    void applyFont();
    void applyRowHeights();
    void measureList();
    // All entries, or only an added one.
    void measureField(const Item* added = nullptr);
    // What an entry's caption takes in the closed field; 0 for entries it never shows.
    int32_t fieldTextWidth(HDC dc, const Item* item) const;
    static SIZE textExtent(HDC dc, const wchar_t* text, HFONT font);
    // The caption's size in the entry's font (made bold when bold).
    SIZE entryExtent(HDC dc, const Item* item, bool bold) const;
    void drawEntry(DRAWITEMSTRUCT* draw);
    void fitDropDown();
    // The work area of the field's monitor; false when unknown.
    bool workArea(const RECT& field, RECT* work) const;
    // Rows the open list shows, as fitDropDown sizes it.
    int32_t listRows() const;
    // Puts the open list wholly below or wholly above the field, whatever the control did;
    // true when it moved or resized it.
    bool placeList();
    // On the open list's first draw, of the field or of a row: its place and first row.
    void settleOpenList(bool inListPaint);
    // The list closed: its entry becomes the choice when Enter or a click in the list
    // took it, else the choice stays and the field shows it again.
    void settleChoice();
    void paintField();
    LRESULT colour(HDC dc);
    void fireSelection() { listeners_.fire(this, 0); }
    // Headers and rules take no selection.
    bool selectable(int32_t index) const;
    // A key that moves the selection (arrows, Home, End, pages): the control moves it, and
    // where it lands on a header or rule it goes on in the key's direction to an entry
    // (back the other way at the list's end). One selection event for the move.
    bool moveSelection(WPARAM key, LPARAM lParam);
    void onSelectionChanged();
    // The native strings again after the entries' captions changed.
    void renewStrings();
    // The font an entry is drawn and measured with: its preview face, else the main font.
    HFONT entryFont(const Item* item, bool bold, Font** made) const;

    Font* font_;
    Font* fieldFont_;
    Font* disabledFieldFont_;
    Font* paintFont_;
    CBrush brush_;
    std::vector<Item*> items_;
    int32_t previous_;
    int32_t current_;
    events::ListenerList listeners_;
    DrawerHold<drawer::ICombo> drawer_;
    uint8_t enabled_;
    uint8_t open_;
    int32_t drawCounter_;
    int32_t topIndex_;
    int32_t fieldText_;  // widest caption measured for the field
    uint8_t notify_;
    uint8_t fontPreview_;
    uint8_t transparent_;
    uint8_t moving_;  // a key's move under way: its passing selections are not reported
    // While the open list handles a key: what closing it then means.
    enum Closing : uint8_t { CLOSE_BY_MOUSE, CLOSE_TAKES, CLOSE_CANCELS };
    uint8_t closing_;
};

} // namespace s::gui::win
