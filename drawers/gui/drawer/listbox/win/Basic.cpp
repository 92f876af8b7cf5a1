#include "drawers/gui/drawer/listbox/win/Basic.h"

#include <initializer_list>

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/button/win/Thin.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/win/FontSetting.h"
#include "images/image/win/BufferedImage.h"

namespace s::gui::drawer::listbox::win {

namespace {

void setColour(gui::win::FontSetting* setting, COLORREF colour) {
    setting->setTextColour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

} // namespace

Basic::Basic()
    : itemText_(text::win::Basic::pool()), selectedText_(text::win::Basic::pool()), button_(button::win::Thin::pool()) {
    reset();
}

Basic::~Basic() {
    for (text::win::Basic* text : {itemText_, selectedText_}) {
        if (text != nullptr) {
            text->release();
        }
    }
    if (button_ != nullptr) {
        button_->release();
    }
}

Basic* Basic::newListBoxDrawer(COLORREF background, COLORREF text, COLORREF selection, COLORREF selectedText,
                               COLORREF stripe) {
    Basic* drawer = pool();
    if (drawer != nullptr) {
        drawer->setColours(background, text, selection, selectedText, stripe);
    }
    return drawer;
}

void Basic::reset() {
    selection_ = RGB(120, 120, 120);
    background_ = RGB(51, 51, 51);
    stripe_ = RGB(224, 224, 224);
    for (text::win::Basic* text : {itemText_, selectedText_}) {
        if (text != nullptr) {
            text->reset();
            text->setCentred(0);
        }
    }
    if (button_ != nullptr) {
        button_->reset();
    }
}

void Basic::setColours(COLORREF background, COLORREF text, COLORREF selection, COLORREF selectedText,
                       COLORREF stripe) {
    background_ = background;
    setColour(itemText_->getNormalFontSetting(), text);
    selection_ = selection;
    setColour(selectedText_->getNormalFontSetting(), selectedText);
    stripe_ = stripe;
}

void Basic::drawBackground(HDC dc, const RECT& rect) {
    Paint::fillRect(dc, rect.left, rect.top, rect.right, rect.bottom, background_);
}

void Basic::drawItem(HDC dc, const ListRow& row, gui::win::Font* font, gui::win::Font* selectedFont) {
    const RECT& b = row.bounds;
    if (dc == nullptr || b.left >= b.right || b.top >= b.bottom) {
        return;
    }
    const int32_t s = Paint::scale();
    if (row.selected) {
        Paint::fillRect(dc, b.left, b.top, b.right, b.bottom, selection_);
    } else if (row.index % 2 != 0) {
        Paint::fillRect(dc, b.left, b.top, b.right, b.bottom, stripe_);
    }
    int32_t x = b.left + row.depth * INDENT * s;
    if (row.check >= 0) {
        // The check box: x in [4s, 17s), y in [s, 16s) of the row, as hitCheck answers.
        Paint::fillRect(dc, x + 4 * s, b.top + s, x + 17 * s, b.top + 14 * s, RGB(255, 255, 255));
        if (row.check > 0) {
            button_->drawGlyph(dc, x + 4 * s, b.top + s, x + 17 * s, b.top + 14 * s, L"#Check", 0, 0, 0);
        }
    }
    const int32_t expanderLeft = x + (row.check >= 0 ? 20 : 4) * s;
    if (row.expander > 0) {
        const COLORREF colour = row.selected ? selectedText_->getNormalFontSetting()->getTextColour()
                                             : itemText_->getNormalFontSetting()->getTextColour();
        button_->drawGlyph(dc, expanderLeft, b.top + s, expanderLeft + 15 * s, b.top + 16 * s,
                           row.expander == 2 ? L"#TreeOpen" : L"#TreeClosed", GetRValue(colour), GetGValue(colour),
                           GetBValue(colour));
    }
    x = expanderLeft + (row.expander > 0 ? 15 * s : 0);
    if (row.picture != nullptr && row.picture->width() > 0) {
        const int32_t side = b.bottom - b.top - 2 * s;
        if (side > 0 && row.picture->blit(dc, x, b.top + s, side, side, true)) {
            x += side + 2 * s;
        }
    }
    text::win::Basic* text = row.selected ? selectedText_ : itemText_;
    gui::win::Font* rowFont = row.selected && selectedFont != nullptr ? selectedFont : font;
    if (row.text != nullptr && row.text[0] != L'\0') {
        text->draw(dc, x + 2 * s, b.top, b.right, b.bottom, row.text, rowFont);
    }
}

bool Basic::hitExpander(int32_t x, int32_t y, bool hasCheck, int32_t depth) const {
    const int32_t s = Paint::scale();
    x -= depth * INDENT * s;
    const int32_t from = (hasCheck ? 20 : 4) * s;
    return x >= from && x < from + 15 * s && y >= s && y < 16 * s;
}

bool Basic::hitCheck(int32_t x, int32_t y, int32_t depth) const {
    const int32_t s = Paint::scale();
    x -= depth * INDENT * s;
    return x >= 4 * s && x < 17 * s && y >= s && y < 16 * s;
}

void Basic::setSelectionColor(int32_t red, int32_t green, int32_t blue) {
    selection_ = Paint::colour(red, green, blue);
}

void Basic::setBackgroundColor(int32_t red, int32_t green, int32_t blue) {
    background_ = Paint::colour(red, green, blue);
}

void Basic::applyFonts(gui::win::Font* font, gui::win::Font* selectedFont) {
    itemText_->applyFonts(font);
    selectedText_->applyFonts(selectedFont);
}

gui::win::FontSetting* Basic::getItemFontSetting() const {
    return itemText_->getNormalFontSetting();
}

gui::win::FontSetting* Basic::getSelectedFontSetting() const {
    return selectedText_->getNormalFontSetting();
}

void Basic::setTextColor(int32_t red, int32_t green, int32_t blue) {
    itemText_->getNormalFontSetting()->setTextColour(red, green, blue);
}

void Basic::setSelectedTextColor(int32_t red, int32_t green, int32_t blue) {
    selectedText_->getNormalFontSetting()->setTextColour(red, green, blue);
}

void Basic::setStripeColor(int32_t red, int32_t green, int32_t blue) {
    stripe_ = Paint::colour(red, green, blue);
}

} // namespace s::gui::drawer::listbox::win
