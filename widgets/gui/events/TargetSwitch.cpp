#include "widgets/gui/events/TargetSwitch.h"

namespace s::gui::events {

void TargetSwitch::onEvent(base::IObject* source, int32_t) {
    if (trigger_ == nullptr || source != static_cast<base::IObject*>(trigger_)) {
        return;
    }
    for (uint32_t i = 0; i < targets_.count(); ++i) {
        apply(static_cast<IComponent*>(targets_.get(i)));
    }
}

void TargetSwitch::reset() {
    trigger_ = nullptr;
    targets_.clear();
}

void TargetSwitch::addTarget(IComponent* target) {
    if (target != nullptr) {
        targets_.add(target);
    }
}

} // namespace s::gui::events
