#pragma once
#include <cstdint>

#include "widgets/gui/IComponent.h"

namespace s::gui::combobox { class ComboBoxItem; }
namespace s::gui::drawer { class ICombo; }

namespace s::gui {

// A drop-down list of owner-drawn entries. Selection listeners get code 0 whenever the
// current entry changes by the user, by a notifying setter, or by removing it.
class IComboBox : public IComponent {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_IComboBox";
    const wchar_t* className() const override { return CLASS_NAME; }
    typedef combobox::ComboBoxItem Item;

    virtual int32_t getItemCount() const = 0;
    virtual Item* getItem(int32_t index) const = 0;
    // The box owns the items it holds; the remove operations hand them back to the caller.
    virtual void addItem(Item* item) = 0;
    virtual void insertItem(int32_t index, Item* item) = 0;
    virtual Item* removeItem(Item* item) = 0;
    virtual Item* removeAt(int32_t index) = 0;
    virtual bool deleteItem(Item* item) = 0;
    virtual bool deleteAt(int32_t index) = 0;
    virtual bool deleteByValue(int32_t value) = 0;
    virtual bool deleteSelected() = 0;
    virtual void setSelectedIndex(int32_t index, bool notify) = 0;
    // The name the dialogs call it by.
    void selectIndex(int32_t index, bool notify) { setSelectedIndex(index, notify); }
    virtual bool selectByValue(int32_t value, bool notify) = 0;
    virtual int32_t getSelectedIndex() const = 0;
    virtual Item* getSelectedItem() const = 0;
    virtual int32_t getPreviousIndex() const = 0;
    virtual Item* getPreviousItem() const = 0;
    virtual void setFontPreview(bool on) = 0;
    virtual int32_t getFieldFontCode() const = 0;
    virtual void setFieldFontCode(int32_t code) = 0;
    virtual int32_t getFontCode() const = 0;
    virtual void setFontCode(int32_t code) = 0;
    virtual const wchar_t* getFaceName() const = 0;
    virtual void setFaceName(const wchar_t* face) = 0;
    virtual int32_t getFontHeight() const = 0;
    virtual void setFontHeight(int32_t height) = 0;
    virtual uint32_t getTextColour() const = 0;
    virtual void setTextColour(int32_t red, int32_t green, int32_t blue) = 0;
    virtual int32_t getFontWidth() const = 0;
    virtual void setFontWidth(int32_t width) = 0;
    virtual bool isBold() const = 0;
    virtual void setBold(bool on) = 0;
    virtual bool isItalic() const = 0;
    virtual void setItalic(bool on) = 0;
    virtual bool isUnderline() const = 0;
    virtual void setUnderline(bool on) = 0;
    virtual bool isStrikeOut() const = 0;
    virtual void setStrikeOut(bool on) = 0;
    virtual int32_t getFontWeight() const = 0;
    virtual void setFontWeight(int32_t weight) = 0;
    virtual void fillParent() = 0;
    virtual void setWidthPercent(int32_t percent) = 0;
    virtual void setHeightPercent(int32_t percent) = 0;
    virtual void setFixedWidth(int32_t width) = 0;
    virtual void setFixedHeight(int32_t height) = 0;
    virtual void addSelectionListener(events::IEventListener* listener) = 0;
    virtual void setDrawer(drawer::ICombo* drawer, bool owned) = 0;
};

} // namespace s::gui
