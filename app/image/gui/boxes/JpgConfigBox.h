#pragma once
#include <cstdint>

#include "app/image/gui/boxes/ConfigBox.h"
#include "core/thread/ClassPool.h"

namespace s::gui::win {
class Label;
class Slider;
}

namespace s::image::gui::boxes {

// The JPEG options: the quality (a slider with its value beside it) and the fill colour
// (JPEG keeps no transparency).
class JpgConfigBox : public ConfigBox {
    S_POOLED_CLASS(JpgConfigBox, 1000, L"s_image_gui_boxes_JpgConfigBox")
public:
    void reset() override;
    const wchar_t* name() const override { return L"Jpeg"; }
    // The slider's quality, else the setting's.
    int32_t chosenQuality() const;
    s::gui::win::Slider* slider() const { return slider_; }
    s::gui::win::Label* valueLabel() const { return label_; }
    // The slider moved: the label follows.
    void onEvent(base::IObject* source, int32_t eventCode) override;
protected:
    s::gui::IComponent* buildOwn() override;
    bool keepAllowed() const override { return false; }
    void applyOwn() override;

private:
    JpgConfigBox();

    s::gui::win::Slider* slider_;
    s::gui::win::Label* label_;
};

} // namespace s::image::gui::boxes
