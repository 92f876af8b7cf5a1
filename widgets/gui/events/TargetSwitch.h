#pragma once
#include "core/col/_array/ArrayP.h"
#include "system/gui/events/IEventListener.h"
#include "widgets/gui/IComponent.h"

namespace s::gui::events {

// A listener that switches a state of its targets whenever its trigger fires an event to
// it; events of any other source, and the event code, are ignored. Targets are not
// owned, and one listed twice is switched twice.
class TargetSwitch : public IEventListener, public ::s::base::IObject, public ::s::thread::IPoolable {
public:
    void onEvent(base::IObject* source, int32_t eventCode) override;
    void reset() override;

    IComponent* getTrigger() const { return trigger_; }
    void setTrigger(IComponent* trigger) { trigger_ = trigger; }
    void addTarget(IComponent* target);
    uint32_t getTargetCount() const { return targets_.count(); }

protected:
    TargetSwitch() = default;
    // What the switch does to one target.
    virtual void apply(IComponent* target) = 0;

private:
    IComponent* trigger_ = nullptr;
    col::_array::ArrayP targets_;
};

} // namespace s::gui::events
