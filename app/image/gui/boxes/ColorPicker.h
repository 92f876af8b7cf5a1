#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"
#include "system/gui/events/ListenerList.h"

namespace s::lang { class Localizer; }
namespace s::gui::win {
class Box;
class Button;
class TextField;
}

namespace s::image::gui::boxes {

// The colour field of the option boxes: a swatch in the colour, the colour as six
// hexadecimal digits, and a button that opens the colour dialog. Its listeners are told
// (code 0) when the colour changes.
class ColorPicker : public base::IObject, public thread::IPoolable, public s::gui::events::IEventListener {
    S_POOLED_CLASS(ColorPicker, 1000, L"s_image_gui_boxes_ColorPicker")
public:
    static constexpr uint32_t DEFAULT_COLOUR = 0xFFFFFF;
    static constexpr int32_t CHANGE_COLOR_TEXT_ID = 2000003000;

    ~ColorPicker() override;
    void reset() override;

    void setLocalizer(lang::Localizer* localizer) { localizer_ = localizer; }
    // Creates the row at the colour (each channel 0-255); the field owns no widget.
    s::gui::win::Box* build(int32_t red, int32_t green, int32_t blue);
    // 0xRRGGBB.
    uint32_t colour() const { return colour_; }
    int32_t red() const { return static_cast<int32_t>(colour_ >> 16 & 0xFF); }
    int32_t green() const { return static_cast<int32_t>(colour_ >> 8 & 0xFF); }
    int32_t blue() const { return static_cast<int32_t>(colour_ & 0xFF); }
    void addListener(s::gui::events::IEventListener* listener) { listeners_.add(listener); }

    // The button opens the dialog; the text field's changes are taken when they are six
    // hexadecimal digits.
    void onEvent(base::IObject* source, int32_t eventCode) override;

    // The colour of a text of exactly six hexadecimal digits, else -1.
    static int64_t parseHex(const wchar_t* text);

    s::gui::win::Box* swatch() const { return swatch_; }
    s::gui::win::TextField* field() const { return field_; }
    s::gui::win::Button* button() const { return button_; }

private:
    ColorPicker();
    void changeTo(uint32_t colour, bool setField);
    void chooseWithDialog();

    lang::Localizer* localizer_;
    uint32_t colour_;
    s::gui::win::Box* swatch_;
    s::gui::win::TextField* field_;
    s::gui::win::Button* button_;
    s::gui::events::ListenerList listeners_;
};

} // namespace s::image::gui::boxes
