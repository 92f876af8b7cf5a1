#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/thread/ClassPool.h"
#include "system/gui/events/ListenerList.h"
#include "widgets/gui/ILabel.h"
#include "widgets/gui/win/Leaf.h"
#include "widgets/gui/win/Native.h"

namespace s::image::win { class BufferedImage; }

namespace s::gui::win {

class Font;

// A text over a transparent child window, measured and painted by a text drawer (none:
// no content size and nothing painted but the background). Text setters may be called
// from any thread; with a native window they run on its UI thread.
//
//   Label* caption = Label::createWithTextId(1001000, false, true, 0);
//   caption->setDrawer(textDrawer, false);
//   box->add(caption);
class Label : public Native<Leaf<ILabel>> {
    S_POOLED_CLASS(Label, 1000, L"s_gui_win_Label")
public:
    enum : UINT {
        // wParam: the text, lParam: the redraw flag; answers 1 when the text changed.
        MSG_SET_TEXT = PM_LABEL_SET_TEXT,
        // wParam: the temporary text, lParam: milliseconds.
        MSG_TEMPORARY_TEXT = PM_LABEL_TEMPORARY_TEXT
    };
    static constexpr UINT_PTR TEMPORARY_TIMER = 100;

    static Label* createWithText(const wchar_t* text, bool wordWrap, bool endEllipsis, int32_t fontCode);
    static Label* createWithTextId(int32_t textId, bool wordWrap, bool endEllipsis, int32_t fontCode);

    ~Label() override;
    void reset() override;
    void onEvent(base::IObject* source, int32_t eventCode) override;
    void takeSkinDrawer(drawer::ISkin* skin) override;
    void takeBasicDrawer() override;

    void setParent(IContainer* container) override;
    void setVisible(bool visible) override;
    bool isEnabled() const override { return enabled_ != 0; }
    void setEnabled(bool enabled) override;
    // The height is ignored: the text is measured wrapped to the width (once per width).
    void setSizeClamped(int32_t w, int32_t h) override;

    void setWordWrap(bool on) override;
    void setEndEllipsis(bool on) override;
    bool setText(const wchar_t* text, bool redraw) override;
    const wchar_t* getText() const override { return text_.c_str(); }
    void showTemporaryText(const wchar_t* text, uint32_t milliseconds) override;
    void setTextId(int32_t id) override;
    int32_t getTextId() const override { return textId_; }

    void setFontCode(int32_t code) override;
    const wchar_t* getFaceName() const override;
    void setFaceName(const wchar_t* face) override;
    uint32_t getTextColour() const override;
    void setTextColour(int32_t r, int32_t g, int32_t b) override;
    void setPointSize(int32_t points) override;
    int32_t getFontHeight() const override;
    void setFontHeight(int32_t height) override;
    int32_t getFontWidth() const override;
    void setFontWidth(int32_t width) override;
    bool isBold() const override;
    void setBold(bool bold) override;
    bool isItalic() const override;
    void setItalic(bool italic) override;
    bool isUnderline() const override;
    void setUnderline(bool underline) override;
    bool isStrikeOut() const override;
    void setStrikeOut(bool strikeOut) override;
    int32_t getWeight() const override;
    void setWeight(int32_t weight) override;
    int32_t getUserValue() const override;
    void setUserValue(int32_t value) override;

    void setDrawer(drawer::IText* drawer, bool owned) override;
    drawer::IText* getDrawer() const override { return drawer_; }
    bool isClickable() const override { return clickable_ != 0; }
    void setClickable(bool clickable) override;
    void setUrl(const wchar_t* url) override { url_ = url != nullptr ? url : L""; }
    void addClickListener(events::IEventListener* listener) override { clickListeners_.add(listener); }
    Font* getFont() const override { return font_; }
    Font* getDisabledFont() override;
    Font* getNormalFont() override;
    Font* getHoverFont() override;
    Font* getPressedFont() override;

    // 0 normal, 1 hover, 2 pressed.
    int32_t getMouseState() const { return mouseState_; }
    bool hasTemporaryText() const { return hasSaved_ != 0; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Label();
    void setDefaults();
    bool onUiThread() const;
    // Stores and shows the text; the saved text of a temporary one is left alone.
    bool showText(const std::wstring& text, bool redraw);
    // A text set while a temporary one shows replaces the text restored later.
    bool applyText(const std::wstring& text, bool redraw);
    void onTemporaryText(const wchar_t* text, UINT milliseconds);
    void endTemporaryText();
    void remeasure();
    Font* stateFont(Font** slot);
    void styleFonts();
    Font* paintFont();
    template <class Fn>
    void eachStateFont(Fn fn);
    void releaseFonts();
    void setMouseState(int32_t state);
    void onMouse(UINT message, LPARAM lParam);
    void paint();

    Font* font_;
    Font* disabledFont_;
    Font* normalFont_;
    Font* hoverFont_;
    Font* pressedFont_;
    std::wstring text_;
    std::wstring saved_;
    std::wstring url_;
    int32_t textId_;
    uint8_t hasSaved_;
    uint8_t enabled_;
    uint8_t drawerOwned_;
    uint8_t clickable_;
    uint8_t pressed_;
    int32_t mouseState_;
    drawer::IText* drawer_;
    std::vector<int32_t> fitWidths_;
    std::vector<int32_t> fitHeights_;
    image::win::BufferedImage* buffer_;
    events::ListenerList clickListeners_;
};

} // namespace s::gui::win
