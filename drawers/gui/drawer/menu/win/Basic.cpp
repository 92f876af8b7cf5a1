#include "drawers/gui/drawer/menu/win/Basic.h"

#include <initializer_list>

#include "core/col/_array/ArrayS32.h"
#include "core/str/strarray/StrArray.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/combo/win/Thin.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/win/FontSetting.h"

namespace s::gui::drawer::menu::win {

namespace {

const wchar_t* textAt(const str::strarray::StrArray* texts, uint32_t i) {
    const str::strbuffer::StrBuffer* text = texts->get(i);
    return text != nullptr ? text->c_str() : L"";
}

} // namespace

Basic::Basic()
    : font_(gui::win::FontSetting::pool()), highlightFont_(gui::win::FontSetting::pool()),
      text_(text::win::Basic::pool()), combo_(combo::win::Thin::pool()) {
    reset();
}

Basic::~Basic() {
    if (font_ != nullptr) {
        font_->release();
    }
    if (highlightFont_ != nullptr) {
        highlightFont_->release();
    }
    if (text_ != nullptr) {
        text_->release();
    }
    if (combo_ != nullptr) {
        combo_->release();
    }
}

Basic* Basic::newMenuDrawer(COLORREF text, COLORREF highlight, COLORREF highlightText) {
    Basic* menu = pool();
    if (menu != nullptr) {
        menu->setTextColor(GetRValue(text), GetGValue(text), GetBValue(text));
        menu->setHighlightColor(GetRValue(highlight), GetGValue(highlight), GetBValue(highlight));
        menu->setHighlightTextColor(GetRValue(highlightText), GetGValue(highlightText), GetBValue(highlightText));
        menu->setFillHot(false);
        menu->setShiftHot(true);
    }
    return menu;
}

void Basic::reset() {
    for (gui::win::FontSetting* setting : {font_, highlightFont_}) {
        if (setting != nullptr) {
            setting->reset();
            setting->setFontCode(-2);
        }
    }
    const COLORREF highlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    if (highlightFont_ != nullptr) {
        highlightFont_->setTextColour(GetRValue(highlightText), GetGValue(highlightText), GetBValue(highlightText));
    }
    highlight_ = ::GetSysColor(COLOR_HIGHLIGHT);
    fillHot_ = true;
    shiftHot_ = false;
    if (text_ != nullptr) {
        text_->reset();
    }
    if (combo_ != nullptr) {
        combo_->reset();
    }
}

ICombo* Basic::getComboDrawer() const {
    return combo_;
}

void Basic::setHighlightColor(int32_t red, int32_t green, int32_t blue) {
    highlight_ = Paint::colour(red, green, blue);
}

void Basic::setTextColor(int32_t red, int32_t green, int32_t blue) {
    font_->setTextColour(red, green, blue);
}

void Basic::setHighlightTextColor(int32_t red, int32_t green, int32_t blue) {
    highlightFont_->setTextColour(red, green, blue);
}

void Basic::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const str::strarray::StrArray* texts,
                 const col::_array::ArrayS32* rects, gui::win::Font* font, gui::win::Font* hotFont, int32_t paddingX,
                 int32_t paddingY, int32_t hotIndex, bool pressed, bool dropDown, bool rightAlignLast, bool lastAsLink) {
    if (dc == nullptr || texts == nullptr || left >= right || top >= bottom) {
        return;
    }
    const uint32_t count = texts->count();
    if (dropDown) {
        if (count > 0) {
            const int32_t state = hotIndex == 0 ? (pressed ? 2 : 1) : 0;
            combo_->draw(dc, left, top, right, bottom, state, textAt(texts, 0), font, true);
        }
        return;
    }
    if (rects == nullptr || font == nullptr) {
        return;
    }
    for (uint32_t i = 0; i < count && 4 * i + 3 < rects->count(); ++i) {
        RECT item = {rects->get(4 * i), rects->get(4 * i + 1), rects->get(4 * i + 2), rects->get(4 * i + 3)};
        const bool last = i + 1 == count;
        if (last && rightAlignLast) {
            OffsetRect(&item, right - item.right, 0);
        }
        const bool link = last && lastAsLink;
        const bool hot = static_cast<int32_t>(i) == hotIndex;
        gui::win::Font* itemFont = font;
        if (hot && fillHot_ && !link) {
            Paint::fillRect(dc, item.left, item.top, item.right, item.bottom, highlight_);
            if (hotFont != nullptr) {
                itemFont = hotFont;
            }
        }
        RECT inner = {item.left + paddingX, item.top + paddingY, item.right - paddingX, item.bottom - paddingY};
        if (hot && shiftHot_) {
            const int32_t d = pressed ? 1 : -1;
            OffsetRect(&inner, d, d);
        }
        if (!link) {
            text_->draw(dc, inner.left, inner.top, inner.right, inner.bottom, textAt(texts, i), itemFont);
            continue;
        }
        // The link look on a copy, so the bar's font keeps its own colour and underline;
        // the copy and its GDI font go when it is released.
        gui::win::Font* linkFont = gui::win::Font::pool();
        if (linkFont == nullptr) {
            continue;
        }
        linkFont->copyProperties(*font);
        linkFont->setTextColour(GetRValue(LINK_COLOUR), GetGValue(LINK_COLOUR), GetBValue(LINK_COLOUR));
        linkFont->setUnderline(hot);
        text_->draw(dc, inner.left, inner.top, inner.right, inner.bottom, textAt(texts, i), linkFont);
        linkFont->release();
    }
}

void Basic::layout(const str::strarray::StrArray* texts, gui::win::Font* font, col::_array::ArrayS32* rects,
                   int32_t* totalWidth, int32_t* totalHeight, int32_t paddingX, int32_t paddingY, bool extra) {
    *totalWidth = 0;
    *totalHeight = 0;
    if (texts == nullptr || rects == nullptr) {
        return;
    }
    rects->clear();
    HDC dc = ::CreateCompatibleDC(nullptr);
    const uint32_t count = texts->count();
    int32_t tallest = 0;
    int32_t x = 0;
    for (uint32_t i = 0; i < count; ++i) {
        int32_t width = 0;
        int32_t height = 0;
        RECT measured = {0, 0, 0, 0};
        if (dc != nullptr) {
            text_->measure(dc, &measured, textAt(texts, i), font, &width, &height);
        }
        tallest = height > tallest ? height : tallest;
        rects->add(x);
        rects->add(0);
        rects->add(x + width + 2 * paddingX);
        rects->add(0);
        x += width + 2 * paddingX;
    }
    if (dc != nullptr) {
        ::DeleteDC(dc);
    }
    const int32_t itemHeight = tallest + 2 * paddingY;
    for (uint32_t i = 0; i < count; ++i) {
        rects->set(4 * i + 3, itemHeight);
    }
    *totalWidth = x + (extra ? 15 : 0);
    *totalHeight = (count > 0 ? itemHeight : 0) + (extra ? 4 : 0);
}

} // namespace s::gui::drawer::menu::win
