#pragma once
#include "core/thread/ClassPool.h"
#include "drawers/gui/drawer/IScrollBar.h"

namespace s::gui::drawer::button::win {
class Thin;
}
namespace s::gui::drawer::border::win {
class Thin;
}

namespace s::gui::drawer::scrollbar::win {

// A flat scroll bar: two square arrow buttons, the track in the background colour and
// a thumb button whose length follows the page against the range, all inside a
// pressed frame.
class Thin : public IScrollBar {
    S_POOLED_CLASS(Thin, 1000, L"s_gui_drawer_scrollbar_win_Thin")

public:
    enum Part : int32_t { FIRST_ARROW = 0, TRACK_BEFORE, THUMB, TRACK_AFTER, SECOND_ARROW, CORNER, PARTS };

    // The skins' scroll bar: thickness (plain pixels), frame and background colours.
    static Thin* newScrollBarDrawer(int32_t thickness, COLORREF frame, COLORREF background);

    ~Thin() override;
    void reset() override;

    int32_t hitTest(POINT point, const ScrollBarGeometry& geometry) override;
    int32_t positionFromDrag(int32_t offset, int32_t startPosition, const ScrollBarGeometry& geometry) override;
    void draw(HDC dc, const ScrollBarGeometry& geometry) override;
    int32_t getThickness() const override { return thickness_; }
    void setThickness(int32_t thickness) override { thickness_ = thickness; }
    void setFrameColor(int32_t red, int32_t green, int32_t blue) override;
    void setBackgroundColor(int32_t red, int32_t green, int32_t blue) override;
    COLORREF getFrameColor() const { return frame_; }
    COLORREF getBackgroundColor() const { return background_; }

    // Splits the bar into its parts (the corner box stays empty); a range not larger
    // than the page leaves the track whole and the thumb empty.
    static void layout(const ScrollBarGeometry& geometry, RECT parts[PARTS]);
    // The part rectangles of the last layout.
    const RECT& partAt(int32_t part) const { return parts_[part]; }

private:
    Thin();

    RECT parts_[PARTS] = {};
    button::win::Thin* button_ = nullptr;
    border::win::Thin* border_ = nullptr;
    COLORREF frame_ = 0;
    COLORREF background_ = 0;
    int32_t thickness_ = 15;
};

} // namespace s::gui::drawer::scrollbar::win
