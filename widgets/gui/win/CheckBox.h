#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/ICheckBox.h"
#include "widgets/gui/ICheckBox.h"
#include "widgets/gui/win/Checkable.h"

namespace s::gui::win {

class CheckBox : public Checkable<ICheckBox, drawer::ICheckBox> {
    S_POOLED_CLASS(CheckBox, 1000, L"s_gui_win_CheckBox")
public:
    static CheckBox* createWithText(const wchar_t* caption, bool checked);
    static CheckBox* createWithTextId(int32_t textId, bool checked);

    void reset() override;
    void setWordWrap(bool on) override;
    void setChecked(bool checked) override;
    void setCheckedQuietly(bool checked) override;
    void setSizeClamped(int32_t w, int32_t h) override;
    void takeSkinDrawer(drawer::ISkin* skin) override;
    void takeBasicDrawer() override;
    // Above UI scale 1 a check box without a skin paints its own square, scaled: the
    // native one keeps its size at every scale. Null at scale 1.
    static drawer::ICheckBox* scaledBasicDrawer();

protected:
    drawer::ICheckBox* skinDrawer(drawer::ISkin* skin) const override { return skin->getCheckBox(); }
    DWORD nativeStyle() const override;
    void measure() override;
    void paint() override;
    void onSetCheck(bool checked) override;
    bool kindHook(LRESULT* result, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CheckBox() { reset(); }
    // The box and its gap beside a wrapped caption of line height h.
    static int32_t boxWidth(int32_t h);
    // A wrapped caption's extent for a text width (DT_CALCRECT with word breaks).
    SIZE wrappedExtent(int32_t width) const;
};

} // namespace s::gui::win
