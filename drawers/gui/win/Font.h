#pragma once
#include <windows.h>

#include "core/thread/ClassPool.h"
#include "drawers/gui/IFont.h"
#include "framework/CFont.h"

namespace s::gui::win {

// A widget's font. The pool keeps none, so every widget gets a fresh one. When the
// LOGFONTW changes the GDI font is re-made at once; the previous one stays alive until
// the next change, so a control still holding it until it is sent the new one never
// draws with a deleted font.
class Font : public IFont {
    S_POOLED_CLASS(Font, 0, L"s_gui_win_Font")

public:
    ~Font() override;
    void reset() override;

    int32_t measureTextHeight() override;
    HFONT getHandle() override;
    void bindDeviceContext(HDC dc) override;
    void inheritFromSetting(const IFontSetting* setting) override;
    void inheritFrom(const IFont* font) override;
    void applySetting(const IFontSetting* setting) override;

    bool isCreated() const { return font_.GetSafeHandle() != nullptr; }

protected:
    void logFontChanged() override;
    void textColourChanged() override;

private:
    Font() = default;
    void dropHandles();

    CFont font_;
    // The handle before the last change (see the class comment).
    CFont retired_;
    // The description the current handle was made from.
    LOGFONTW made_ = {};
    HDC dc_ = nullptr;
};

} // namespace s::gui::win
