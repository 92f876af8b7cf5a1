#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/CBrush.h"

namespace s::gui {
class IComponent;
}

namespace s::gui::win {

// The answer of a control to its reflected colour request. The brush is the control's
// own and replaced on every request (the previous one deleted), so none is leaked.
class ReflectedBrush {
public:
    // Transparent: the parent's background colour, or the null brush with a transparent
    // background mode when there is no parent; else the colour. The text colour is set.
    static LRESULT answer(const IComponent* widget, CBrush* brush, HDC dc, bool transparent, uint32_t colour,
                          uint32_t textColour);
};

} // namespace s::gui::win
