#include "drawers/gui/win/Font.h"

#include <cstring>

#include "drawers/gui/IFontSetting.h"

namespace s::gui::win {

Font::~Font() {
    dropHandles();
}

void Font::dropHandles() {
    font_.DeleteObject();
    retired_.DeleteObject();
}

void Font::reset() {
    dc_ = nullptr;
    dropHandles();
    resetProperties();
}

HFONT Font::getHandle() {
    if (!isCreated()) {
        made_ = getLogFont();
        font_.CreateFontIndirect(&made_);
    }
    return font_;
}

void Font::logFontChanged() {
    if (!isCreated() || std::memcmp(&made_, &getLogFont(), sizeof(made_)) == 0) {
        return;
    }
    const LOGFONTW wanted = getLogFont();
    HFONT fresh = ::CreateFontIndirectW(&wanted);
    if (fresh == nullptr) {
        return;
    }
    made_ = wanted;
    retired_.Attach(font_.Detach());
    font_.Attach(fresh);
}

void Font::textColourChanged() {
    if (dc_ != nullptr) {
        ::SetTextColor(dc_, getTextColour());
    }
}

void Font::bindDeviceContext(HDC dc) {
    dc_ = dc;
    textColourChanged();
}

int32_t Font::measureTextHeight() {
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        return 0;
    }
    HFONT font = getHandle();
    HGDIOBJ old = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    RECT rect = {0, 0, 0, 0};
    ::DrawTextW(dc, L"TEST", 4, &rect, DT_CALCRECT | DT_NOPREFIX);
    if (old != nullptr) {
        ::SelectObject(dc, old);
    }
    ::DeleteDC(dc);
    return rect.bottom - rect.top;
}

void Font::inheritFromSetting(const IFontSetting* setting) {
    if (setting != nullptr) {
        inheritProperties(*setting);
    }
}

void Font::inheritFrom(const IFont* font) {
    if (font != nullptr) {
        inheritProperties(*font);
    }
}

void Font::applySetting(const IFontSetting* setting) {
    if (setting != nullptr) {
        applyProperties(*setting);
    }
}

} // namespace s::gui::win
