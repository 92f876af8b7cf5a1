#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::gui::events {

// Something told about events of other objects (clicks, drops, language changes...):
// source is the object that fired, eventCode a small number per source.
class IEventListener {
public:
    virtual ~IEventListener() = default;
    virtual void onEvent(base::IObject* source, int32_t eventCode) = 0;
};

} // namespace s::gui::events
