#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::lang { class Localizer; }
namespace s::str::strbuffer { class StrBuffer; }

namespace s::gui::menuitem {

// One command entry of a menu: caption (literal or a language-pack text id), command id,
// check and radio marks, or a separator.
class MenuItem : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(MenuItem, 1000, L"s_gui_menuitem_MenuItem")
public:
    ~MenuItem() override;
    void reset() override;

    static MenuItem* createWithText(const wchar_t* caption, int32_t commandId);
    static MenuItem* createWithTextId(int32_t textId, lang::Localizer* localizer, int32_t commandId, bool checked);
    static MenuItem* createSeparator();

    // Reads the caption again from the pack when it has a text id.
    void recaption();
    const wchar_t* getCaption() const;
    void setCaption(const wchar_t* caption);
    void setTextId(int32_t textId);

    lang::Localizer* localizer;
    int32_t textId;
    int32_t commandId;
    uint8_t checked;
    uint8_t radioSelected;
    uint8_t separator;
    intptr_t value;

private:
    MenuItem();

    str::strbuffer::StrBuffer* caption_;
};

} // namespace s::gui::menuitem
