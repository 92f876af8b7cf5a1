#pragma once
#include "widgets/gui/layout/StatelessLayout.h"

namespace s::gui::layout {

// Children in rows that wrap at the container's inner width, left and top aligned, no
// gaps; a box's default.
class FlowH : public StatelessLayout<FlowH> {
    friend class ::s::thread::ClassPool<FlowH, 1000>;
    friend class StatelessLayout<FlowH>;

public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_layout_FlowH";
    const wchar_t* className() const override { return CLASS_NAME; }

    void layout(IContainer* container) override;

private:
    FlowH() = default;
};

} // namespace s::gui::layout
