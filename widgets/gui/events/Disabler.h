#pragma once
#include "core/thread/ClassPool.h"
#include "widgets/gui/events/TargetSwitch.h"

namespace s::gui::events {

// Disables every target when its trigger fires.
class Disabler : public TargetSwitch {
    S_POOLED_CLASS(Disabler, 1000, L"s_gui_events_Disabler")
protected:
    void apply(IComponent* target) override { target->setEnabled(false); }
private:
    Disabler() = default;
};

} // namespace s::gui::events
