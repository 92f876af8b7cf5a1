#pragma once
#include "core/thread/ClassPool.h"
#include "widgets/gui/events/TargetSwitch.h"

namespace s::gui::events {

// Enables every target when its trigger fires.
class Enabler : public TargetSwitch {
    S_POOLED_CLASS(Enabler, 1000, L"s_gui_events_Enabler")
protected:
    void apply(IComponent* target) override { target->setEnabled(true); }
private:
    Enabler() = default;
};

} // namespace s::gui::events
