#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::system::monitor {

// One display monitor: its place in the monitor list, device name, and its
// rectangle and work area, read afresh on every call.
class IMonitor : public base::IObject {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_system_monitor_IMonitor";

    virtual int32_t index() const = 0;
    virtual void setIndex(int32_t index) = 0;
    // The device name ("\\.\DISPLAY1"); empty when unknown.
    virtual const wchar_t* deviceNameText() const = 0;
    virtual void setDeviceName(const wchar_t* name) = 0;

    virtual int32_t left() const = 0;
    virtual int32_t top() const = 0;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    virtual int32_t workLeft() const = 0;
    virtual int32_t workTop() const = 0;
    virtual int32_t workWidth() const = 0;
    virtual int32_t workHeight() const = 0;
};

} // namespace s::system::monitor
