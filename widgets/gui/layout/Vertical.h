#pragma once
#include "widgets/gui/layout/StatelessLayout.h"

namespace s::gui::layout {

// Children in one column, left and top aligned, no gaps; the top-level window's default.
class Vertical : public StatelessLayout<Vertical> {
    friend class ::s::thread::ClassPool<Vertical, 1000>;
    friend class StatelessLayout<Vertical>;

public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_layout_Vertical";
    const wchar_t* className() const override { return CLASS_NAME; }

    void layout(IContainer* container) override;

private:
    Vertical() = default;
};

} // namespace s::gui::layout
