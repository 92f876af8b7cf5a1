#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IRadioButton.h"
#include "widgets/gui/IRadioButton.h"
#include "widgets/gui/win/Checkable.h"

namespace s::gui::win {

class RadioButton : public Checkable<IRadioButton, drawer::IRadioButton> {
    S_POOLED_CLASS(RadioButton, 1000, L"s_gui_win_RadioButton")
public:
    static RadioButton* createWithText(const wchar_t* caption, bool checked);
    static RadioButton* createWithTextId(int32_t textId, bool checked);

    void reset() override;
    void setChecked(bool checked, bool notify) override;
    void editableWhenChecked(IComponent* component) override;
    void addEditablerOnChecked(IComponent* component) override;
    void addUnEditablerOnUnchecked(IComponent* component) override;
    void setSizeClamped(int32_t, int32_t) override { setSize(getPreferredWidth(), getPreferredHeight()); }

protected:
    drawer::IRadioButton* skinDrawer(drawer::ISkin* skin) const override { return skin->getRadioButton(); }
    DWORD nativeStyle() const override { return WS_CHILD | WS_TABSTOP | BS_NOTIFY | BS_AUTORADIOBUTTON; }
    void measure() override;
    void paint() override;
    void onSetCheck(bool checked) override;

private:
    RadioButton() { reset(); }
};

} // namespace s::gui::win
