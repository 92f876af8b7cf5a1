#include "system/monitor/win/Monitor.h"

#include "core/str/strbuffer/StrBuffer.h"

namespace s::system::monitor::win {

using str::strbuffer::StrBuffer;

Monitor::Monitor() : index_(0), monitorHandle_(nullptr), deviceName_(StrBuffer::pool()) {}

Monitor::~Monitor() {
    if (deviceName_ != nullptr) {
        deviceName_->release();
    }
}

void Monitor::reset() {
    index_ = 0;
    monitorHandle_ = nullptr;
    if (deviceName_ != nullptr) {
        deviceName_->clear();
    }
}

const wchar_t* Monitor::deviceNameText() const {
    return deviceName_ != nullptr ? deviceName_->c_str() : L"";
}

void Monitor::setDeviceName(const wchar_t* name) {
    if (deviceName_ != nullptr) {
        deviceName_->assign(name != nullptr ? name : L"");
    }
}

RECT Monitor::area(bool work) const {
    MONITORINFO info;
    info.cbSize = sizeof(info);
    if (monitorHandle_ == nullptr || !GetMonitorInfoW(monitorHandle_, &info)) {
        return RECT{0, 0, 0, 0};
    }
    return work ? info.rcWork : info.rcMonitor;
}

int32_t Monitor::width() const {
    const RECT r = area(false);
    return static_cast<int32_t>(r.right - r.left);
}

int32_t Monitor::height() const {
    const RECT r = area(false);
    return static_cast<int32_t>(r.bottom - r.top);
}

int32_t Monitor::workWidth() const {
    const RECT r = area(true);
    return static_cast<int32_t>(r.right - r.left);
}

int32_t Monitor::workHeight() const {
    const RECT r = area(true);
    return static_cast<int32_t>(r.bottom - r.top);
}

} // namespace s::system::monitor::win
