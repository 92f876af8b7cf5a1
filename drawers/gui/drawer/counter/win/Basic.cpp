#include "drawers/gui/drawer/counter/win/Basic.h"

#include <algorithm>
#include <memory>
#include <new>

#include "drawers/gui/drawer/Paint.h"
#include "drawers/gui/drawer/counter/Series.h"

namespace s::gui::drawer::counter::win {

Basic* Basic::newCounterDrawer(COLORREF first, COLORREF second) {
    Basic* drawer = pool();
    if (drawer != nullptr) {
        drawer->setColor1(GetRValue(first), GetGValue(first), GetBValue(first));
        drawer->setColor2(GetRValue(second), GetGValue(second), GetBValue(second));
    }
    return drawer;
}

void Basic::reset() {
    transparent_ = true;
    background_ = UNSET;
    color1_ = UNSET;
    color2_ = UNSET;
}

void Basic::setBackgroundColor(int32_t red, int32_t green, int32_t blue) {
    background_ = static_cast<int32_t>(Paint::colour(red, green, blue));
    transparent_ = false;
}

void Basic::setColor1(int32_t red, int32_t green, int32_t blue) {
    color1_ = static_cast<int32_t>(Paint::colour(red, green, blue));
}

void Basic::setColor2(int32_t red, int32_t green, int32_t blue) {
    color2_ = static_cast<int32_t>(Paint::colour(red, green, blue));
}

int32_t Basic::columnHeight(int64_t value, int64_t minimum, int64_t maximum, int32_t height) {
    if (maximum <= minimum || height <= 0) {
        return 0;
    }
    const double share = (static_cast<double>(value) - static_cast<double>(minimum)) /
                         (static_cast<double>(maximum) - static_cast<double>(minimum));
    return static_cast<int32_t>(std::min(std::max(share, 0.0), 1.0) * height);
}

void Basic::plot(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const Series* series,
                 int32_t fallback) const {
    if (series == nullptr) {
        return;
    }
    const int32_t colour = series->colour() >= 0 ? series->colour() : fallback;
    if (colour < 0) {
        return;
    }
    const int32_t width = right - left;
    const int32_t height = bottom - top;
    std::unique_ptr<int64_t[]> samples(new (std::nothrow) int64_t[width]);
    if (!samples) {
        return;
    }
    const int32_t count = series->newest(samples.get(), width);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t x = right - 1 - i;
        // A sample at the minimum still marks the bottom row.
        const int32_t y =
            std::min(bottom - columnHeight(samples[i], series->minimum(), series->maximum(), height), bottom - 1);
        const int32_t end = series->ticks() ? std::min(y + TICK, bottom) : bottom;
        Paint::fillRect(dc, x, y, x + 1, end, static_cast<COLORREF>(colour));
    }
}

void Basic::draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, const Series* first,
                 const Series* second) {
    if (dc == nullptr || left >= right || top >= bottom) {
        return;
    }
    if (!transparent_ && background_ >= 0) {
        Paint::fillRect(dc, left, top, right, bottom, static_cast<COLORREF>(background_));
    }
    plot(dc, left, top, right, bottom, first, color1_);
    plot(dc, left, top, right, bottom, second, color2_);
}

} // namespace s::gui::drawer::counter::win
