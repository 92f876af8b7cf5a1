#include "drawers/gui/drawer/text/win/Basic.h"

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/win/Font.h"
#include "drawers/gui/win/FontSetting.h"

namespace s::gui::drawer::text::win {

using gui::win::Font;
using gui::win::FontSetting;

namespace {

constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);

struct Pass {
    int32_t dx, dy;
    COLORREF colour;
};

// The passes of an effect, last one in the text colour. Answers the count.
int32_t effectPasses(const Font* font, Pass* passes) {
    const COLORREF text = font->getTextColour();
    switch (font->getUserValue()) {
    case 1:
    case 7: {
        const COLORREF ring = font->getUserValue() == 1 ? font->getSecondaryColour() : font->getTertiaryColour();
        static const int32_t offsets[8][2] = {{0, -1}, {1, -1}, {2, -1}, {2, 0}, {2, 1}, {1, 1}, {0, 1}, {0, 0}};
        for (int32_t i = 0; i < 8; ++i) {
            passes[i] = {offsets[i][0], offsets[i][1], ring};
        }
        passes[8] = {1, 0, text};
        return 9;
    }
    case 2:
        passes[0] = {1, 1, text != BLACK ? RGB(119, 119, 119) : RGB(238, 238, 238)};
        passes[1] = {0, 0, text};
        return 2;
    case 3:
        passes[0] = {2, 2, BLACK};
        passes[1] = {0, 0, WHITE};
        passes[2] = {1, 1, text};
        return 3;
    case 4:
        passes[0] = {0, 0, WHITE};
        passes[1] = {0, 2, BLACK};
        passes[2] = {0, 1, text};
        return 3;
    case 5:
        passes[0] = {2, 2, WHITE};
        passes[1] = {0, 0, BLACK};
        passes[2] = {1, 1, text};
        return 3;
    case 6:
        passes[0] = {0, 0, BLACK};
        passes[1] = {0, 2, WHITE};
        passes[2] = {0, 1, text};
        return 3;
    default:
        passes[0] = {0, 0, text};
        return 1;
    }
}

} // namespace

Basic::Basic() {
    for (FontSetting*& setting : settings_) {
        setting = FontSetting::pool();
    }
    reset();
}

Basic::~Basic() {
    for (FontSetting* setting : settings_) {
        if (setting != nullptr) {
            setting->release();
        }
    }
}

void Basic::reset() {
    for (FontSetting* setting : settings_) {
        if (setting != nullptr) {
            setting->reset();
        }
    }
    if (settings_[1] != nullptr) {
        settings_[1]->setTextColour(161, 161, 146);
    }
    for (int32_t i = 2; i < SETTINGS; ++i) {
        if (settings_[i] != nullptr) {
            settings_[i]->setTextColour(i == 2 ? 0 : 170, 170, 0);
            settings_[i]->setUnderline(true);
        }
    }
    centred_ = 0;
}

UINT Basic::drawFormat(const Font* font) const {
    if (centred_ != 0) {
        return DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    }
    if (font->getWordWrap()) {
        return DT_WORDBREAK | DT_NOPREFIX;
    }
    if (font->getEndEllipsis()) {
        return DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    }
    return DT_SINGLELINE | DT_NOPREFIX;
}

void Basic::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const wchar_t* text, Font* font) {
    if (dc == nullptr || font == nullptr || text == nullptr || left >= right || top >= bottom) {
        return;
    }
    SavedDc saved(dc);
    ::SetBkMode(dc, TRANSPARENT);
    if (HFONT handle = font->getHandle()) {
        ::SelectObject(dc, handle);
    }
    const UINT format = drawFormat(font);
    Pass passes[9];
    const int32_t count = effectPasses(font, passes);
    for (int32_t i = 0; i < count; ++i) {
        RECT rect = {left + passes[i].dx, top + passes[i].dy, right + passes[i].dx, bottom + passes[i].dy};
        ::SetTextColor(dc, passes[i].colour);
        ::DrawTextW(dc, text, -1, &rect, format);
    }
}

void Basic::effectMargin(int32_t effect, int32_t* width, int32_t* height) {
    *width = 0;
    *height = 0;
    if (effect == 0) {
        return;
    }
    *height = 1;
    if (effect == 2) {
        *width = 1;
    } else if (effect == 1 || effect == 3 || effect == 5 || effect == 7) {
        *width = 2;
    }
}

void Basic::measure(HDC dc, RECT* rect, const wchar_t* text, Font* font, int32_t* width, int32_t* height) {
    *width = 0;
    *height = 0;
    if (dc == nullptr || rect == nullptr || font == nullptr || text == nullptr) {
        return;
    }
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE;
    if (font->getWordWrap()) {
        format = DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK;
    } else if (font->getEndEllipsis()) {
        format |= DT_END_ELLIPSIS;
    }
    {
        SavedDc saved(dc);
        if (HFONT handle = font->getHandle()) {
            ::SelectObject(dc, handle);
        }
        ::DrawTextW(dc, text, -1, rect, format);
    }
    int32_t extraWidth;
    int32_t extraHeight;
    effectMargin(font->getUserValue(), &extraWidth, &extraHeight);
    rect->right += extraWidth;
    rect->bottom += extraHeight;
    *width = rect->right - rect->left;
    *height = rect->bottom - rect->top;
}

void Basic::measureBlock(HDC dc, const wchar_t* text, Font* font, int32_t* width, int32_t* height, int32_t* minWidth,
                         int32_t* minHeight) {
    if (dc == nullptr || font == nullptr || text == nullptr) {
        *minWidth = *width;
        *minHeight = *height;
        return;
    }
    SavedDc saved(dc);
    if (HFONT handle = font->getHandle()) {
        ::SelectObject(dc, handle);
    }
    RECT single = {0, 0, *width, *height};
    ::DrawTextW(dc, text, -1, &single, DT_CALCRECT | DT_NOPREFIX);
    const int32_t singleWidth = single.right - single.left;
    if (font->getWordWrap()) {
        RECT wrapped = {0, 0, *width, *height};
        ::DrawTextW(dc, text, -1, &wrapped, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
        const int32_t wrappedWidth = wrapped.right - wrapped.left;
        *minWidth = singleWidth > wrappedWidth ? singleWidth : wrappedWidth;
        *width = wrappedWidth;
        *height = wrapped.bottom - wrapped.top;
        *minHeight = *height;
    } else {
        const int32_t singleHeight = single.bottom - single.top;
        if (singleWidth > *width) {
            *width = singleWidth;
        }
        if (singleHeight > *height) {
            *height = singleHeight;
        }
        *minWidth = font->getEndEllipsis() ? 1 : *width;
        *minHeight = *height;
    }
    int32_t extraWidth;
    int32_t extraHeight;
    effectMargin(font->getUserValue(), &extraWidth, &extraHeight);
    *width += extraWidth;
    *minWidth += extraWidth;
    *height += extraHeight;
    *minHeight += extraHeight;
}

void Basic::applyFonts(Font* normal, Font* disabled, Font* third, Font* fourth, Font* fifth) {
    Font* fonts[SETTINGS] = {normal, disabled, third, fourth, fifth};
    for (int32_t i = 0; i < SETTINGS; ++i) {
        if (fonts[i] != nullptr && settings_[i] != nullptr) {
            settings_[i]->setFontCode(fonts[i]->getFontCode());
            fonts[i]->applySetting(settings_[i]);
        }
    }
}

void Basic::applyFontsInheriting(Font* normal, Font* disabled, Font* third, Font* fourth, Font* fifth) {
    Font* fonts[SETTINGS] = {normal, disabled, third, fourth, fifth};
    for (int32_t i = 0; i < SETTINGS; ++i) {
        if (fonts[i] != nullptr && settings_[i] != nullptr) {
            settings_[i]->setFontCode(fonts[i]->getFontCode());
            fonts[i]->inheritFromSetting(settings_[i]);
        }
    }
}

} // namespace s::gui::drawer::text::win
