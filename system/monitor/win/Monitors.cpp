#include "system/monitor/win/Monitors.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "core/col/_array/ArrayP.h"
#include "core/thread/ObjLocker.h"
#include "system/monitor/win/Monitor.h"

namespace s::system::monitor::win {

namespace {

struct MonitorList {
    thread::ObjLocker lock;
    col::_array::ArrayP* monitors = nullptr;
};

// Never destroyed: monitors handed out stay valid until the process ends.
MonitorList& monitorList() {
    static MonitorList* const list = new MonitorList();
    return *list;
}

BOOL CALLBACK addMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    col::_array::ArrayP* monitors = reinterpret_cast<col::_array::ArrayP*>(data);
    Monitor* monitor = Monitor::pool();
    if (monitor == nullptr) {
        return TRUE;
    }
    monitor->setIndex(static_cast<int32_t>(monitors->count()));
    monitor->setMonitorHandle(handle);
    MONITORINFOEXW info;
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(handle, &info)) {
        monitor->setDeviceName(info.szDevice);
    }
    if (!monitors->add(monitor)) {
        monitor->release();
    }
    return TRUE;
}

col::_array::ArrayP* builtList() {
    MonitorList& list = monitorList();
    thread::ObjLocker::Guard guard(list.lock);
    if (list.monitors == nullptr) {
        col::_array::ArrayP* monitors = new (std::nothrow) col::_array::ArrayP();
        if (monitors != nullptr) {
            EnumDisplayMonitors(nullptr, nullptr, &addMonitor, reinterpret_cast<LPARAM>(monitors));
        }
        list.monitors = monitors;
    }
    return list.monitors;
}

RECT workArea() {
    RECT area = {0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

} // namespace

int32_t monitorCount() {
    col::_array::ArrayP* monitors = builtList();
    return monitors != nullptr ? static_cast<int32_t>(monitors->count()) : 0;
}

Monitor* monitorAt(int32_t index) {
    col::_array::ArrayP* monitors = builtList();
    if (monitors == nullptr || index < 0 || static_cast<uint32_t>(index) >= monitors->count()) {
        return nullptr;
    }
    return static_cast<Monitor*>(monitors->get(static_cast<uint32_t>(index)));
}

Monitor* monitorFromRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    col::_array::ArrayP* monitors = builtList();
    if (monitors == nullptr) {
        return nullptr;
    }
    const int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + width, INT32_MAX);
    const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + height, INT32_MAX);
    const RECT rect = {x, y, static_cast<LONG>(right), static_cast<LONG>(bottom)};
    const HMONITOR handle = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    for (uint32_t i = 0; i < monitors->count(); ++i) {
        Monitor* monitor = static_cast<Monitor*>(monitors->get(i));
        if (monitor->monitorHandle() == handle) {
            return monitor;
        }
    }
    return nullptr;
}

int32_t workAreaLeft() {
    return static_cast<int32_t>(workArea().left);
}

int32_t workAreaTop() {
    return static_cast<int32_t>(workArea().top);
}

int32_t workAreaWidth() {
    const RECT area = workArea();
    return static_cast<int32_t>(area.right - area.left);
}

int32_t workAreaHeight() {
    const RECT area = workArea();
    return static_cast<int32_t>(area.bottom - area.top);
}

} // namespace s::system::monitor::win
