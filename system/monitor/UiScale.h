#pragma once
#include <cstdint>

namespace s::system::monitor {

// The interface's one size factor, 1, 2 or 4, chosen on the first call from the
// primary screen: 4 from 4097 x 3240, 2 from 1921 x 1620 (widths strictly above
// 4096 and 1920, heights from 3240 and 1620), else 1.
int32_t uiScale();
bool isScreenAtLeast1921x1620();
bool isScreenAtLeast4097x3240();

// The factor a screen of that size gives.
int32_t uiScaleForScreen(int32_t width, int32_t height);

// Where the primary screen size comes from (null: the system metrics). Setting it
// forgets the chosen factor, so tests can run the table without other displays.
typedef void (*ScreenSizeFunction)(int32_t* width, int32_t* height);
void setScreenSizeFunction(ScreenSizeFunction function);

} // namespace s::system::monitor
