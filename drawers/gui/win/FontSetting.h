#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/IFontSetting.h"
#include "drawers/gui/win/Font.h"

namespace s::gui::win {

// A font description for skins and drawers; pooled.
class FontSetting : public IFontSetting {
    S_POOLED_CLASS(FontSetting, 1000, L"s_gui_win_FontSetting")

public:
    void reset() override { resetProperties(); }
    void inheritFrom(const IFontSetting* setting) override;
    Font* createFont() const override;

private:
    FontSetting() = default;
};

} // namespace s::gui::win
