#pragma once
#include <cstdint>

#include "app/image/gui/boxes/ConfigBox.h"
#include "core/thread/ClassPool.h"

namespace s::gui::win { class CheckBox; }

namespace s::image::gui::boxes {

// The PNG options: interlacing and the background.
class PngConfigBox : public ConfigBox {
    S_POOLED_CLASS(PngConfigBox, 1000, L"s_image_gui_boxes_PngConfigBox")
public:
    void reset() override;
    const wchar_t* name() const override { return L"Png"; }
    bool interlace() const;
    s::gui::win::CheckBox* interlaceBox() const { return interlace_; }
protected:
    s::gui::IComponent* buildOwn() override;
    bool keepAllowed() const override { return true; }
    void applyOwn() override;

private:
    PngConfigBox();

    s::gui::win::CheckBox* interlace_;
};

} // namespace s::image::gui::boxes
