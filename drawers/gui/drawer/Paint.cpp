#include "drawers/gui/drawer/Paint.h"

#include "system/monitor/UiScale.h"

namespace s::gui::drawer {

void Paint::fill(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, COLORREF colour) {
    if (dc == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const RECT rect = {x, y, x + width, y + height};
    const COLORREF previous = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
}

COLORREF Paint::scaled(COLORREF colour, double factor) {
    auto channel = [factor](int32_t value) {
        const int32_t v = static_cast<int32_t>(value * factor);
        return v > 255 ? 255 : v;
    };
    return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

int32_t Paint::scale() {
    return system::monitor::uiScale();
}

} // namespace s::gui::drawer
