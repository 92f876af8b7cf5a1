#pragma once
#include "core/thread/ClassPool.h"
#include "widgets/gui/events/TargetSwitch.h"

namespace s::gui::events {

// Makes read-only every target when its trigger fires.
class UnEditabler : public TargetSwitch {
    S_POOLED_CLASS(UnEditabler, 1000, L"s_gui_events_UnEditabler")
protected:
    void apply(IComponent* target) override { target->setEditable(false); }
private:
    UnEditabler() = default;
};

} // namespace s::gui::events
