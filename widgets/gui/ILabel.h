#pragma once
#include <cstdint>

#include "widgets/gui/IComponent.h"

namespace s::gui::drawer { class IText; }
namespace s::gui::win { class Font; }

namespace s::gui {

// One text, measured and painted by a text drawer, given directly or by a language-pack
// text id (then re-read on every language change). A clickable label tracks hover and
// press, opens its URL when released over it and fires event CLICKED.
class ILabel : public IComponent {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_ILabel";
    const wchar_t* className() const override { return CLASS_NAME; }

    enum Event : int32_t { CLICKED = 1 };

    virtual void setWordWrap(bool on) = 0;
    virtual void setEndEllipsis(bool on) = 0;
    // True when the text changed. Any thread: with a native window the change is made on
    // the window's UI thread while the caller waits.
    virtual bool setText(const wchar_t* text, bool redraw) = 0;
    virtual const wchar_t* getText() const = 0;
    // Shows text for the given time, then the text it replaced (or the text set meanwhile).
    virtual void showTemporaryText(const wchar_t* text, uint32_t milliseconds) = 0;
    // -1: no id (the empty text).
    virtual void setTextId(int32_t id) = 0;
    virtual int32_t getTextId() const = 0;

    // The label's font; each setter measures the text again.
    virtual void setFontCode(int32_t code) = 0;
    virtual const wchar_t* getFaceName() const = 0;
    virtual void setFaceName(const wchar_t* face) = 0;
    virtual uint32_t getTextColour() const = 0;
    virtual void setTextColour(int32_t r, int32_t g, int32_t b) = 0;
    virtual void setPointSize(int32_t points) = 0;
    // The font's LOGFONT height and width (the component's own size is getHeight/getWidth).
    virtual int32_t getFontHeight() const = 0;
    virtual void setFontHeight(int32_t height) = 0;
    virtual int32_t getFontWidth() const = 0;
    virtual void setFontWidth(int32_t width) = 0;
    virtual bool isBold() const = 0;
    virtual void setBold(bool bold) = 0;
    virtual bool isItalic() const = 0;
    virtual void setItalic(bool italic) = 0;
    virtual bool isUnderline() const = 0;
    virtual void setUnderline(bool underline) = 0;
    virtual bool isStrikeOut() const = 0;
    virtual void setStrikeOut(bool strikeOut) = 0;
    virtual int32_t getWeight() const = 0;
    virtual void setWeight(int32_t weight) = 0;
    virtual int32_t getUserValue() const = 0;
    virtual void setUserValue(int32_t value) = 0;

    // The drawer styles the fonts, measures and paints; an owned one goes with the label.
    virtual void setDrawer(drawer::IText* drawer, bool owned) = 0;
    virtual drawer::IText* getDrawer() const = 0;
    virtual bool isClickable() const = 0;
    virtual void setClickable(bool clickable) = 0;
    // Opened through the shell when a clickable label is clicked (empty: nothing).
    virtual void setUrl(const wchar_t* url) = 0;
    virtual void addClickListener(events::IEventListener* listener) = 0;
    virtual win::Font* getFont() const = 0;
    // Made on first request, styled by the drawer.
    virtual win::Font* getDisabledFont() = 0;
    virtual win::Font* getNormalFont() = 0;
    virtual win::Font* getHoverFont() = 0;
    virtual win::Font* getPressedFont() = 0;
};

} // namespace s::gui
