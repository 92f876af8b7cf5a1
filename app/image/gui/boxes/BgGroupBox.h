#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/gui/events/IEventListener.h"
#include "system/gui/events/ListenerList.h"

namespace s::lang { class Localizer; }
namespace s::gui::win {
class GroupBox;
class RadioButton;
}

namespace s::image::gui::boxes {

class ColorPicker;

// The "Background" group of the option boxes: keep transparency, or fill with the
// colour of its colour field. A colour change is passed on to its listeners (code 0).
class BgGroupBox : public base::IObject, public thread::IPoolable, public s::gui::events::IEventListener {
    S_POOLED_CLASS(BgGroupBox, 1000, L"s_image_gui_boxes_BgGroupBox")
public:
    static constexpr int32_t BACKGROUND_TEXT_ID = 2000000000;
    static constexpr int32_t KEEP_TEXT_ID = 2000001000;
    static constexpr int32_t FILL_TEXT_ID = 2000002000;

    ~BgGroupBox() override;
    void reset() override;

    void setLocalizer(lang::Localizer* localizer) { localizer_ = localizer; }
    // The group: "Keep Transparency" enabled only when keepAllowed and selected when
    // also keep, else "Fill Color"; the colour field at (red, green, blue).
    s::gui::win::GroupBox* build(bool keepAllowed, bool keep, int32_t red, int32_t green, int32_t blue);
    bool keepTransparency() const { return keep_ != 0; }
    ColorPicker* colourField() const { return colour_; }
    s::gui::win::RadioButton* keepButton() const { return keepButton_; }
    s::gui::win::RadioButton* fillButton() const { return fillButton_; }
    void addListener(s::gui::events::IEventListener* listener) { listeners_.add(listener); }

    void onEvent(base::IObject* source, int32_t eventCode) override;

private:
    BgGroupBox();

    lang::Localizer* localizer_;
    ColorPicker* colour_;
    s::gui::win::RadioButton* keepButton_;
    s::gui::win::RadioButton* fillButton_;
    uint8_t keep_;
    s::gui::events::ListenerList listeners_;
};

} // namespace s::image::gui::boxes
