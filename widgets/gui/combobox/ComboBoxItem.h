#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"

namespace s::lang { class Localizer; }
namespace s::str::strbuffer { class StrBuffer; }

namespace s::gui::combobox {

// One entry of a combo box: caption (literal or a language-pack text id), the value the
// application knows it by, and display flags for the open list and the closed field.
class ComboBoxItem : public events::IEventListener, public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(ComboBoxItem, 1000, L"s_gui_combobox_ComboBoxItem")
public:
    // Display flags (both words).
    enum Flag : int32_t {
        BOLD = 1,
        GREY = 2,
        WHITE = 4,
        HEADER = 8,
        SEPARATOR = 16,
        LIGHT_SEPARATOR = 32
    };
    // The font face of a separator entry in font-preview mode.
    static constexpr wchar_t SEPARATOR_FACE[] = L"Separator";

    ~ComboBoxItem() override;
    void reset() override;

    static ComboBoxItem* createWithText(const wchar_t* text, int32_t value, int32_t listFlags, int32_t fieldFlags);
    static ComboBoxItem* createWithTextId(lang::Localizer* localizer, int32_t textId, int32_t value, int32_t listFlags,
                                          int32_t fieldFlags);

    // A language change of its own pack reads the caption again.
    void onEvent(base::IObject* source, int32_t code) override;
    void recaption();

    const wchar_t* getText() const;
    void setText(const wchar_t* text);

    int32_t textId;
    lang::Localizer* localizer;
    int32_t value;
    // In font-preview mode: the face shown (not owned; SEPARATOR_FACE for a separator).
    const wchar_t* fontFace;
    int32_t listFlags;
    int32_t fieldFlags;

private:
    ComboBoxItem();

    str::strbuffer::StrBuffer* text_;
};

} // namespace s::gui::combobox
