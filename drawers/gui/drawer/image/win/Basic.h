#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IImage.h"

namespace s::gui::drawer::image::win {

// The image control's default painter: an optional black frame, then the picture (its
// filtered version when it carries filters) blended over what the context holds.
class Basic : public IImage {
    S_POOLED_CLASS(Basic, 1000, L"s_gui_drawer_image_win_Basic")

public:
    void reset() override {}
    void draw(HDC dc, IScaledPainter* painter, int32_t left, int32_t top, int32_t right, int32_t bottom,
              s::image::win::BufferedImage* image, int32_t mode, bool framed, bool scaled) override;

private:
    Basic() = default;
};

} // namespace s::gui::drawer::image::win
