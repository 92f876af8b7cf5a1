#pragma once
#include "core/thread/ClassPool.h"
#include "widgets/gui/events/TargetSwitch.h"

namespace s::gui::events {

// Makes editable every target when its trigger fires.
class Editabler : public TargetSwitch {
    S_POOLED_CLASS(Editabler, 1000, L"s_gui_events_Editabler")
protected:
    void apply(IComponent* target) override { target->setEditable(true); }
private:
    Editabler() = default;
};

} // namespace s::gui::events
