#pragma once
#include <windows.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui::drawer {

// Background (and size grip) of the status bar.
class IStatusBar : public base::IObject, public thread::IPoolable {
public:
    virtual void draw(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    // The bar's height when it has no fixed height.
    virtual int32_t preferredHeight() const = 0;
};

} // namespace s::gui::drawer
