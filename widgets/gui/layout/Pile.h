#pragma once
#include "widgets/gui/layout/StatelessLayout.h"

namespace s::gui::layout {

// Visible children on top of each other, left and top aligned; a group box's default.
class Pile : public StatelessLayout<Pile> {
    friend class ::s::thread::ClassPool<Pile, 1000>;
    friend class StatelessLayout<Pile>;

public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_layout_Pile";
    const wchar_t* className() const override { return CLASS_NAME; }

    void layout(IContainer* container) override;

private:
    Pile() = default;
};

} // namespace s::gui::layout
