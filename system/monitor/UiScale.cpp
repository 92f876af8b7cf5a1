#include "system/monitor/UiScale.h"

#include <windows.h>

#include <atomic>

namespace s::system::monitor {

namespace {

void systemScreenSize(int32_t* width, int32_t* height) {
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

std::atomic<ScreenSizeFunction> screenSize{&systemScreenSize};
// -1 until computed. Concurrent first calls compute the same value, so no lock.
std::atomic<int32_t> chosenScale{-1};
std::atomic<int32_t> atLeast1921x1620{-1};
std::atomic<int32_t> atLeast4097x3240{-1};

bool cachedTest(std::atomic<int32_t>& cache, int32_t minWidthAbove, int32_t minHeight) {
    int32_t value = cache.load();
    if (value < 0) {
        int32_t width = 0;
        int32_t height = 0;
        screenSize.load()(&width, &height);
        value = width > minWidthAbove && height >= minHeight ? 1 : 0;
        cache.store(value);
    }
    return value != 0;
}

} // namespace

int32_t uiScaleForScreen(int32_t width, int32_t height) {
    if (width > 4096 && height >= 3240) {
        return 4;
    }
    if (width > 1920 && height >= 1620) {
        return 2;
    }
    return 1;
}

bool isScreenAtLeast1921x1620() {
    return cachedTest(atLeast1921x1620, 1920, 1620);
}

bool isScreenAtLeast4097x3240() {
    return cachedTest(atLeast4097x3240, 4096, 3240);
}

int32_t uiScale() {
    int32_t scale = chosenScale.load();
    if (scale < 0) {
        scale = isScreenAtLeast4097x3240() ? 4 : isScreenAtLeast1921x1620() ? 2 : 1;
        chosenScale.store(scale);
    }
    return scale;
}

void setScreenSizeFunction(ScreenSizeFunction function) {
    screenSize.store(function != nullptr ? function : &systemScreenSize);
    chosenScale.store(-1);
    atLeast1921x1620.store(-1);
    atLeast4097x3240.store(-1);
}

} // namespace s::system::monitor
