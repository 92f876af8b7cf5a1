#pragma once
#include "drawers/gui/drawer/ISkin.h"

namespace s::str::strbuffer {
class StrBuffer;
}

namespace s::gui::drawer::skin {

// What both skin classes share: the name and the fifteen owned drawers.
class Base : public ISkin {
public:
    ~Base() override;
    // Empties the name and gives every drawer back to its pool.
    void reset() override;

    const wchar_t* getName() const override;
    void setName(const wchar_t* name) override;
    IWindow* getWindow() const override { return window_; }
    void setWindow(IWindow* drawer) override { replace(window_, drawer); }
    IButton* getButton() const override { return button_; }
    void setButton(IButton* drawer) override { replace(button_, drawer); }
    IText* getText() const override { return text_; }
    void setText(IText* drawer) override { replace(text_, drawer); }
    IScrollBar* getScrollBar() const override { return scrollBar_; }
    void setScrollBar(IScrollBar* drawer) override { replace(scrollBar_, drawer); }
    ICheckBox* getCheckBox() const override { return checkBox_; }
    void setCheckBox(ICheckBox* drawer) override { replace(checkBox_, drawer); }
    IRadioButton* getRadioButton() const override { return radioButton_; }
    void setRadioButton(IRadioButton* drawer) override { replace(radioButton_, drawer); }
    ISlider* getSlider() const override { return slider_; }
    void setSlider(ISlider* drawer) override { replace(slider_, drawer); }
    ICounter* getCounter() const override { return counter_; }
    void setCounter(ICounter* drawer) override { replace(counter_, drawer); }
    IListHeader* getListHeader() const override { return listHeader_; }
    void setListHeader(IListHeader* drawer) override { replace(listHeader_, drawer); }
    IListBox* getListBox() const override { return listBox_; }
    void setListBox(IListBox* drawer) override { replace(listBox_, drawer); }
    IStatusBar* getStatusBar() const override { return statusBar_; }
    void setStatusBar(IStatusBar* drawer) override { replace(statusBar_, drawer); }
    IMenu* getMenu() const override { return menu_; }
    void setMenu(IMenu* drawer) override { replace(menu_, drawer); }
    ICombo* getCombo() const override { return combo_; }
    void setCombo(ICombo* drawer) override { replace(combo_, drawer); }
    IGroupBox* getGroupBox() const override { return groupBox_; }
    void setGroupBox(IGroupBox* drawer) override { replace(groupBox_, drawer); }
    ITabBox* getTabBox() const override { return tabBox_; }
    void setTabBox(ITabBox* drawer) override { replace(tabBox_, drawer); }

protected:
    Base();

private:
    // Stores the drawer; one it replaces goes back to its pool (setting the held one
    // again keeps it).
    template <class T>
    static void replace(T*& slot, T* drawer) {
        if (slot != drawer && slot != nullptr) {
            slot->release();
        }
        slot = drawer;
    }

    str::strbuffer::StrBuffer* name_ = nullptr;
    IWindow* window_ = nullptr;
    IButton* button_ = nullptr;
    IText* text_ = nullptr;
    IScrollBar* scrollBar_ = nullptr;
    ICheckBox* checkBox_ = nullptr;
    IRadioButton* radioButton_ = nullptr;
    ISlider* slider_ = nullptr;
    ICounter* counter_ = nullptr;
    IListHeader* listHeader_ = nullptr;
    IListBox* listBox_ = nullptr;
    IStatusBar* statusBar_ = nullptr;
    IMenu* menu_ = nullptr;
    ICombo* combo_ = nullptr;
    IGroupBox* groupBox_ = nullptr;
    ITabBox* tabBox_ = nullptr;
};

} // namespace s::gui::drawer::skin
