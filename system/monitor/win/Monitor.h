#pragma once
#include <windows.h>

#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/monitor/IMonitor.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::system::monitor::win {

// A monitor of the process-wide monitor list (Monitors.h), by its HMONITOR.
class Monitor : public IMonitor, public thread::IPoolable {
    S_POOLED_CLASS(Monitor, 1000, L"s_system_monitor_win_Monitor")
public:
    ~Monitor() override;
    void reset() override;

    int32_t index() const override { return index_; }
    void setIndex(int32_t index) override { index_ = index; }
    HMONITOR monitorHandle() const { return monitorHandle_; }
    void setMonitorHandle(HMONITOR handle) { monitorHandle_ = handle; }
    const wchar_t* deviceNameText() const override;
    void setDeviceName(const wchar_t* name) override;

    // Rectangle and work area; 0 when the monitor is gone.
    int32_t left() const override { return static_cast<int32_t>(area(false).left); }
    int32_t top() const override { return static_cast<int32_t>(area(false).top); }
    int32_t width() const override;
    int32_t height() const override;
    int32_t workLeft() const override { return static_cast<int32_t>(area(true).left); }
    int32_t workTop() const override { return static_cast<int32_t>(area(true).top); }
    int32_t workWidth() const override;
    int32_t workHeight() const override;

private:
    Monitor();
    RECT area(bool work) const;

    int32_t index_;
    HMONITOR monitorHandle_;
    str::strbuffer::StrBuffer* deviceName_;
};

} // namespace s::system::monitor::win
